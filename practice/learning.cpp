// The per-character record as practice keeps it.
#include "practice/learning.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "core/counters.h"
#include "core/stored_names.h"

namespace quorlax {
namespace {

// A due character that is no longer weak still comes up in a drill, as
// often as one missed a tenth of the time.
constexpr double kReviewWeight = 0.1;

std::wstring Where(IRecordFile& file) {
    const std::wstring folder = file.Folder();
    return folder.empty() ? std::wstring(L"（你的应用数据文件夹）") : L"（在 " + folder + L" 文件夹里）";
}

}  // namespace

std::optional<std::string> KeptRecordFile::Read() {
    // What the last run of the program could not write is newer than the file.
    IRecordFile::Bytes bytes = file_.ReadPending();
    const bool fromPending = bytes.ok && !bytes.bytes.empty();
    if (!fromPending) bytes = file_.Read(kHistoryReadLimit);
    if (!bytes.ok) {
        Tell(readTold_, std::wstring(L"无法读取练习记录文件 ") + name_ + Where(file_) +
                            L"：\n它也许被别的程序占用。练习可以照常继续；本次运行中不再提示。");
        return std::nullopt;
    }
    dirty = fromPending;
    return std::move(bytes.bytes);
}

void KeptRecordFile::Skipped(int lines) {
    if (lines > 0)
        Tell(readTold_,
             std::wstring(L"练习记录文件 ") + name_ + Where(file_) + L"中有 " + std::to_wstring(lines) +
                 L" 行无法读取，已跳过；下次写入时原文件会另存为 .old.tsv。\n本次运行中不再提示。");
}

bool KeptRecordFile::Save(const std::string& text) {
    if (file_.Replace(text)) {
        if (dirty) file_.RemovePending();  // what was pending is in the file now
        dirty = false;
        return true;
    }
    dirty = true;
    Tell(writeTold_,
         std::wstring(L"无法写入练习记录文件 ") + name_ + Where(file_) +
             L"：\n它也许被别的程序占用，或者不可写。\n\n"
             L"这次练习已经记在内存里，等文件可以写入时会一并写进去。练习可以照常继续；本次运行中不再提示。");
    return false;
}

void KeptRecordFile::AtExit(const std::string& text, const std::string& header) {
    if (!dirty || Save(text)) return;
    // Still held: the whole record waits beside it for the next start.
    file_.RemovePending();
    file_.AppendPending(header, std::string_view(text).substr(header.size()));
}

bool KeptRecordFile::Clear() {
    file_.RemovePending();
    if (!file_.MoveAside()) {
        Tell(writeTold_, std::wstring(L"无法清除练习记录文件 ") + name_ + Where(file_) +
                             L"：\n它也许被别的程序占用。本次运行中不再提示。");
        return false;
    }
    dirty = false;
    return true;
}

void KeptRecordFile::Tell(bool& told, std::wstring_view text) {
    if (told || quiet_) return;
    told = true;
    messages_.Show(text);
}

Learning::Learning(Board& board, IRecordFile& file, IRecordFile& keysFile, PracticeHistory& history,
                   ISettingsStore& settings, IMessageBox& messages)
    : board_(board),
      history_(history),
      settings_(settings),
      file_(file, kCharRecordFileName, messages, quiet_),
      keysFile_(keysFile, kKeyRecordFileName, messages, quiet_) {
    targetSpeedMenu.Define(L"目标速度");
    for (int i = 1; i <= 6; ++i) {
        targetSpeedItems(i).Define((std::to_wstring(kTargetSpeeds[i - 1]) + L" 字/分").c_str());
        targetSpeedItems(i).Click = [this, i] { OnTargetSpeed(i); };
        targetSpeedMenu.Items.push_back(&targetSpeedItems(i));
    }
}

void Learning::Load() {
    // A hand-edited value that is none of the speeds offered counts as absent.
    target_ = kDefaultTargetSpeed;
    if (auto stored = ParseInt32(settings_.Get(kChoicesSection, kTargetSpeedKey)))
        for (int speed : kTargetSpeeds)
            if (speed == *stored) target_ = speed;
    for (int i = 1; i <= 6; ++i) targetSpeedItems(i).Checked = kTargetSpeeds[i - 1] == target_;
}

void Learning::OnTargetSpeed(int index) {
    target_ = kTargetSpeeds[index - 1];
    for (int i = 1; i <= 6; ++i) targetSpeedItems(i).Checked = i == index;
    if (!settings_.Save(kChoicesSection, kTargetSpeedKey, std::to_wstring(target_)))
        board_.TellOnce(kAppearanceUnsaved);
}

const CharRecord& Learning::Record() {
    if (loaded_) return record_;
    loaded_ = true;
    const std::optional<std::string> bytes = file_.Read();
    if (!bytes) return record_;
    if (!bytes->empty()) {
        CharRecord::Parsed parsed = CharRecord::Parse(*bytes);
        record_ = std::move(parsed.record);
        file_.Skipped(parsed.skipped);
        if (file_.dirty) file_.Save(record_.Format());
        return record_;
    }
    // No record yet: it starts from what the practice history says was missed.
    std::vector<CharRecord::PastMiss> misses;
    for (const RunRecord& run : history_.Load().runs) {
        const auto day = ParseDay(std::wstring_view(run.when).substr(0, 10));
        for (const Miss& m : run.misses) misses.push_back({m.ch, m.count, day.value_or(0)});
    }
    record_.Seed(misses);
    if (!record_.Empty()) file_.Save(record_.Format());
    return record_;
}

void Learning::RunEnded(std::span<const Attempt> attempts, Day today) {
    if (attempts.empty()) return;
    Record();
    record_.Apply(attempts, today, TargetMs());
    file_.Save(record_.Format());
}

const KeyRecord& Learning::Keys() {
    if (keysLoaded_) return keys_;
    keysLoaded_ = true;
    const std::optional<std::string> bytes = keysFile_.Read();
    if (!bytes || bytes->empty()) return keys_;
    KeyRecord::Parsed parsed = KeyRecord::Parse(*bytes);
    keys_ = std::move(parsed.record);
    keysFile_.Skipped(parsed.skipped);
    if (keysFile_.dirty) keysFile_.Save(keys_.Format());
    return keys_;
}

void Learning::KeysPressed(std::span<const KeyPress> presses) {
    if (presses.empty()) return;
    Keys();
    keys_.Apply(presses);
    keysFile_.Save(keys_.Format());
}

bool Learning::Clear() {
    const bool chars = file_.Clear(), keys = keysFile_.Clear();
    if (chars) record_ = {}, loaded_ = true;
    if (keys) keys_ = {}, keysLoaded_ = true;
    return chars && keys;
}

void Learning::AtExit() {
    if (loaded_) file_.AtExit(record_.Format(), CharRecord::Header());
    if (keysLoaded_) keysFile_.AtExit(keys_.Format(), KeyRecord::Header());
}

std::vector<DrillPick> Learning::Picks(Day today, std::span<const Attempt> open) {
    CharRecord withOpen;
    if (!open.empty()) {
        withOpen = Record();
        withOpen.Apply(open, today, TargetMs());
    }
    const CharRecord& record = open.empty() ? Record() : withOpen;
    const double target = TargetMs();
    std::vector<DrillPick> picks;
    std::unordered_set<wchar_t> taken;
    std::vector<const CharStats*> due = record.Due(today, target);
    std::stable_sort(due.begin(), due.end(), [&](const CharStats* a, const CharStats* b) {
        return Weakness(*a, target) > Weakness(*b, target);
    });
    for (const CharStats* c : due) {
        if (picks.size() >= kDrillChars) break;
        picks.push_back({c->ch, std::max(Weakness(*c, target), kReviewWeight)});
        taken.insert(c->ch);
    }
    for (const CharStats* c : record.Weakest(target, kDrillChars)) {
        if (picks.size() >= kDrillChars) break;
        if (taken.insert(c->ch).second) picks.push_back({c->ch, Weakness(*c, target)});
    }
    return picks;
}

}  // namespace quorlax
