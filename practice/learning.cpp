// The per-character record as practice keeps it.
#include "practice/learning.h"

#include <algorithm>
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

Learning::Learning(Board& board, IRecordFile& file, PracticeHistory& history, ISettingsStore& settings,
                   IMessageBox& messages)
    : board_(board), file_(file), history_(history), settings_(settings), messages_(messages) {
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

void Learning::Tell(bool& told, std::wstring_view text) {
    if (told || quiet_) return;
    told = true;
    messages_.Show(text);
}

const CharRecord& Learning::Record() {
    if (loaded_) return record_;
    loaded_ = true;
    // What the last run of the program could not write is newer than the file.
    IRecordFile::Bytes bytes = file_.ReadPending();
    const bool fromPending = bytes.ok && !bytes.bytes.empty();
    if (!fromPending) bytes = file_.Read(kHistoryReadLimit);
    if (!bytes.ok) {
        Tell(readTold_, std::wstring(L"无法读取练习记录文件 ") + kCharRecordFileName + Where(file_) +
                            L"：\n它也许被别的程序占用。练习可以照常继续；本次运行中不再提示。");
        return record_;
    }
    if (!bytes.bytes.empty()) {
        CharRecord::Parsed parsed = CharRecord::Parse(bytes.bytes);
        record_ = std::move(parsed.record);
        dirty_ = fromPending;
        if (parsed.skipped > 0)
            Tell(readTold_, std::wstring(L"练习记录文件 ") + kCharRecordFileName + Where(file_) + L"中有 " +
                                std::to_wstring(parsed.skipped) +
                                L" 行无法读取，已跳过；下次写入时原文件会另存为 .old.tsv。\n本次运行中不再提示。");
        if (dirty_ && Save()) file_.RemovePending();
        return record_;
    }
    // No record yet: it starts from what the practice history says was missed.
    std::vector<CharRecord::PastMiss> misses;
    for (const RunRecord& run : history_.Load().runs) {
        const auto day = ParseDay(std::wstring_view(run.when).substr(0, 10));
        for (const Miss& m : run.misses) misses.push_back({m.ch, m.count, day.value_or(0)});
    }
    record_.Seed(misses);
    if (!record_.Empty()) {
        dirty_ = true;
        Save();
    }
    return record_;
}

void Learning::RunEnded(std::span<const Attempt> attempts, Day today) {
    if (attempts.empty()) return;
    Record();
    record_.Apply(attempts, today, TargetMs());
    dirty_ = true;
    Save();
}

bool Learning::Save() {
    if (file_.Replace(record_.Format())) {
        dirty_ = false;
        return true;
    }
    Tell(writeTold_, std::wstring(L"无法写入练习记录文件 ") + kCharRecordFileName + Where(file_) +
                         L"：\n它也许被别的程序占用，或者不可写。\n\n"
                         L"这次练习已经记在内存里，等文件可以写入时会一并写进去。练习可以照常继续；本次运行中不再提示。");
    return false;
}

void Learning::AtExit() {
    if (!dirty_ || Save()) return;
    // Still held: the whole record waits beside it for the next start.
    std::string text = record_.Format();
    const std::string header = CharRecord::Header();
    file_.RemovePending();
    file_.AppendPending(header, std::string_view(text).substr(header.size()));
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
