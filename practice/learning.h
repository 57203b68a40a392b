// What practice learns from every character: the per-character record and
// its file, the target speed the player aims at, and the drill's picks (the
// characters due for review first, then the weakest, each weighted by its
// weakness). The file follows the practice history's rules: rewritten whole
// through a new file, a failure told once while practice goes on, and at
// exit what could not be written is left in a pending file that the next
// start takes in.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/board.h"
#include "forms/controls.h"
#include "platform/services.h"
#include "practice/char_record.h"
#include "practice/drill.h"
#include "practice/history.h"

namespace quorlax {

class Learning {
public:
    // `history` seeds a missing record from its misses.
    Learning(Board& board, IRecordFile& file, PracticeHistory& history, ISettingsStore& settings,
             IMessageBox& messages);
    Learning(const Learning&) = delete;
    Learning& operator=(const Learning&) = delete;

    forms::MenuItem targetSpeedMenu;                             // 设置 › "目标速度"
    forms::ControlArray<forms::MenuItem, 1, 6> targetSpeedItems;  // "30 字/分" .. "120 字/分"

    // Start-up: the stored target speed.
    void Load();
    int TargetSpeed() const { return target_; }
    double TargetMs() const { return quorlax::TargetMs(target_); }

    // The record, read on first use.
    const CharRecord& Record();
    // A run ended on `today`: its attempts go into the record and the file.
    void RunEnded(std::span<const Attempt> attempts, Day today);
    // The drill's characters; empty when nothing is ranked or due.
    // The attempts of a run still open count as if it were recorded.
    std::vector<DrillPick> Picks(Day today, std::span<const Attempt> open = {});
    // The program ends: the record is written, or left pending.
    void AtExit();
    // Nothing is told from now on (the Windows session ends).
    void Quiet() { quiet_ = true; }

private:
    void OnTargetSpeed(int index);
    bool Save();
    void Tell(bool& told, std::wstring_view text);

    Board& board_;
    IRecordFile& file_;
    PracticeHistory& history_;
    ISettingsStore& settings_;
    IMessageBox& messages_;
    int target_ = kDefaultTargetSpeed;
    CharRecord record_;
    bool loaded_ = false;
    bool dirty_ = false;  // the record holds what the file does not
    bool quiet_ = false;
    bool readTold_ = false, writeTold_ = false;
};

}  // namespace quorlax
