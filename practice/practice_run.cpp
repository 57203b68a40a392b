// The practice run state machine. The order of the steps matters: a restart
// nests whole input changes inside one, and the outer one reads the state
// they leave.
#include "practice/practice_run.h"

#include <algorithm>
#include <limits>

#include "platform/nearest.h"

namespace quorlax {
namespace {

std::int32_t Count32(size_t n) {
    return static_cast<std::int32_t>(std::min<size_t>(n, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::wstring PracticeRun::Caption(int i) const {
    if (i < 0 || i > kPracticeCells) return {};
    const wchar_t c = cells_[static_cast<size_t>(i)].ch;
    return c ? std::wstring(1, c) : std::wstring();
}

void PracticeRun::ClearBox(IPracticeHost& host) {
    const unsigned before = changes_;
    host.ClearInput();
    if (changes_ == before) InputChanged(host, {});  // a box that was empty already
}

void PracticeRun::FillCaptions(std::wstring_view text) {
    for (int i = 1; i <= kPracticeCells; ++i) {
        const auto pos = static_cast<size_t>(i);
        cells_[pos].ch = pos <= text.size() ? text[pos - 1] : 0;
    }
}

void PracticeRun::MarkCorrect(int i) {
    PracticeCell& cell = cells_[static_cast<size_t>(i)];
    cell.back = CellBack::Window;
    cell.styled = true;
    cell.correctColor = true;
}

void PracticeRun::RestorePlain(int i) {
    PracticeCell& cell = cells_[static_cast<size_t>(i)];
    cell.back = CellBack::Window;
    cell.styled = false;
    cell.correctColor = false;
}

void PracticeRun::ResetTally() {
    misses_.clear();
    anyTyped_ = false;
    typing_ = false;
    typingSpeed_ = 0;
    attempts_.clear();
    timed_ = false;
    keyMissed_ = 0;
    keyMs_ = -1;
}

void PracticeRun::StartBuiltIn(IPracticeHost& host, std::wstring text) {
    ResetTally();
    for (PracticeCell& cell : cells_) cell.styled = cell.correctColor = false;
    practiceText_ = std::move(text);
    typedCount_ = 0;
    ClearBox(host);
    opaque_ = true;
    FillCaptions(practiceText_);
    for (int i = 1; i <= kPracticeCells; ++i) cells_[static_cast<size_t>(i)].back = CellBack::Window;
    cells_[0].back = CellBack::Window;
    cursorCell_ = 1;
}

void PracticeRun::BeginChosen(IPracticeHost& host) {
    ResetTally();
    typedCount_ = 0;
    ClearBox(host);
    opaque_ = true;
    for (int i = 1; i <= kPracticeCells; ++i) cells_[static_cast<size_t>(i)].back = CellBack::Window;
    chosenText_.clear();
}

void PracticeRun::ShowChosenText(std::wstring text) {
    chosenText_ = std::move(text);
    chosenLength_ = Count32(chosenText_.size());
    cells_[0].back = CellBack::Window;
    FillCaptions(chosenText_);
}

void PracticeRun::MarkStart() { cells_[1].back = CellBack::StartMark; }

void PracticeRun::InputChanged(IPracticeHost& host, std::wstring_view box) {
    ++changes_;
    turnedWrong_ = 0;
    // Each added character but the last, as if typed alone; none of these
    // reaches the restart, so `box` stays valid through them.
    const size_t end = std::min<size_t>(box.size(), kPracticeCells);
    // Each new character's share of the time since the one typed before.
    const std::uint64_t now = host.Milliseconds();
    const size_t added = end > lastLength_ ? end - lastLength_ : 1;
    share_ = timed_ && now >= typedAt_ && now - typedAt_ <= static_cast<std::uint64_t>(kLongestGapMs)
                 ? static_cast<int>((now - typedAt_) / added)
                 : -1;
    keyShare_ = keyMs_ >= 0 ? keyMs_ / static_cast<int>(added) : -1;
    keyMs_ = -1;
    for (size_t n = lastLength_ + 1; n < end; ++n) Step(host, box.substr(0, n), false);
    Step(host, box, true);
}

void PracticeRun::Step(IPracticeHost& host, std::wstring_view box, bool whole) {
    // Taken now: a restart below empties the box that `box` may point into.
    size_t length = box.size();
    wchar_t last = box.empty() ? 0 : box.back();

    // Counts. A paste past the grid's end counts as reaching its end.
    typedCount_ = Count32(length);
    const auto modelLength = static_cast<std::int64_t>(practiceText_.size());
    typedPos_ = static_cast<std::int16_t>(std::min<size_t>(length, kPracticeCells));

    // The restart; its nested changes leave typedPos 0 and an empty box, and
    // the 406th character is never compared. The run it ends is recorded
    // with the counts shown before it.
    if (typedPos_ == kPracticeCells) {
        host.AskRestart();
        host.StartBuiltInRun();
        ClearBox(host);
        length = 0;
        last = 0;
    }
    typed_ = typedPos_;
    typedCaption_ = std::to_wstring(typedPos_);

    // A character newly typed, not one compared again after an erasure.
    const bool typedNew = length > lastLength_ || (length == lastLength_ && length > 0 && last != lastChar_);
    lastLength_ = length;
    lastChar_ = last;
    if (length > 0) anyTyped_ = true;
    if (whole && typedNew) NoteTyping(host.Milliseconds(), length);
    if (typedNew && length > 0) {
        timed_ = true;
        typedAt_ = host.Milliseconds();
    }

    // Compare the newest character with its cell (cell 0, empty, for an
    // empty box).
    if (host.BuiltInChecked() || (host.ChosenChecked() && typedPos_ <= kPracticeCells)) {
        PracticeCell& cell = cells_[static_cast<size_t>(typedPos_)];
        if (last == cell.ch) {
            MarkCorrect(typedPos_);
            cursorCell_ = typedPos_ + 1;
            if (typedNew && cell.ch != 0) attempts_.push_back({cell.ch, false, share_, keyShare_});
        } else {
            cursorCell_ = typedPos_ + 1;
            if (cell.back != CellBack::Wrong) turnedWrong_ = typedPos_;
            cell.back = CellBack::Wrong;
            if (typedNew && cell.ch != 0 && keyMissed_ != typedPos_) {
                ++misses_[cell.ch];
                attempts_.push_back({cell.ch, true, share_, keyShare_});
            }
        }
    }

    // A cell a wrong key counted against is judged now: the next wrong key counts again.
    if (typedNew && keyMissed_ == typedPos_) keyMissed_ = 0;

    // Statistics rebuilt from the grid; 0 / 0 leaves the accuracy as it was.
    correct_ = CountCorrect(cells_, typedPos_, host.WindowBackColor());
    correctCaption_ = std::to_wstring(correct_);
    if (auto accuracy = AccuracyPercent(correct_, typedPos_)) {
        accuracy_ = *accuracy;
        accuracyCaption_ = *AccuracyText(correct_, typedPos_);
    }

    // Completion, then the count the clock's speed uses.
    if (RunComplete(host.BuiltInChecked(), host.ChosenChecked(), modelLength, typedCount_, chosenLength_))
        host.StopClock();
    typedCount_ = Count32(length);
}

void PracticeRun::NoteTyping(std::uint64_t now, size_t length) {
    if (!typing_) {
        typing_ = true;
        firstAt_ = now;
        firstLength_ = length;
        return;
    }
    if (now <= firstAt_) return;
    const double gained = length > firstLength_ ? static_cast<double>(length - firstLength_) : 0.0;
    typingSpeed_ = static_cast<int>(nearest(gained * 60000 / static_cast<double>(now - firstAt_)));
}

void PracticeRun::KeyDown(IPracticeHost& host, int keyCode) {
    if (keyCode != kKeyBackspace || typedPos_ == 0) return;
    if (!host.ChosenChecked() && !host.BuiltInChecked()) return;
    RestorePlain(typedPos_);
    if (typedPos_ + 1 <= kPracticeCells) RestorePlain(typedPos_ + 1);
}

void PracticeRun::KeyMissed(int cell) {
    if (cell < 1 || cell > kPracticeCells) return;
    PracticeCell& c = cells_[static_cast<size_t>(cell)];
    if (!c.ch) return;
    if (c.back != CellBack::Wrong) turnedWrong_ = cell;
    c.back = CellBack::Wrong;
    if (keyMissed_ == cell) return;
    keyMissed_ = cell;
    anyTyped_ = true;
    ++misses_[c.ch];
    attempts_.push_back({c.ch, true, -1, -1});
}

void PracticeRun::ClearForGame() {
    opaque_ = false;
    for (int i = 1; i <= kPracticeCells; ++i) {
        cells_[static_cast<size_t>(i)].ch = 0;
        cells_[static_cast<size_t>(i)].back = CellBack::Window;
    }
}

void PracticeRun::ResetBackgrounds() {
    for (PracticeCell& cell : cells_) cell.back = CellBack::Window;
}

void PracticeRun::ResetTextColors() {
    for (PracticeCell& cell : cells_) cell.correctColor = false;
}

}  // namespace quorlax
