// What practice learns from every character and every code key: the
// per-character record, the per-key record of typing by code, their files,
// the target speed the player aims at, and the drill's picks (the
// characters due for review first, then the weakest, each weighted by its
// weakness). Each file follows the practice history's rules: rewritten whole
// through a new file, a failure told once while practice goes on, and at
// exit what could not be written is left in a pending file that the next
// start takes in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/board.h"
#include "forms/controls.h"
#include "platform/services.h"
#include "practice/char_record.h"
#include "practice/drill.h"
#include "practice/history.h"
#include "practice/key_record.h"

namespace quorlax {

// One record file kept by those rules, whatever record it holds.
class KeptRecordFile {
public:
    KeptRecordFile(IRecordFile& file, const wchar_t* name, IMessageBox& messages, const bool& quiet)
        : file_(file), name_(name), messages_(messages), quiet_(quiet) {}
    // What to read the record from: what the last run left pending, else the
    // file (empty when there is none); nothing when it cannot be read (told).
    // A record read from the pending file is dirty until written.
    std::optional<std::string> Read();
    void Skipped(int lines);
    // Rewrites the file with `text`; a failure is told once.
    bool Save(const std::string& text);
    // The program ends: a dirty record is written, or left pending.
    void AtExit(const std::string& text, const std::string& header);
    // Moves the file aside and drops what was pending; false (told) when it stays.
    bool Clear();
    bool dirty = false;  // the record holds what the file does not

private:
    void Tell(bool& told, std::wstring_view text);
    IRecordFile& file_;
    const wchar_t* name_;
    IMessageBox& messages_;
    const bool& quiet_;
    bool readTold_ = false, writeTold_ = false;
};

class Learning {
public:
    // `history` seeds a missing record from its misses.
    Learning(Board& board, IRecordFile& file, IRecordFile& keysFile, PracticeHistory& history,
             ISettingsStore& settings, IMessageBox& messages);
    Learning(const Learning&) = delete;
    Learning& operator=(const Learning&) = delete;

    forms::MenuItem targetSpeedMenu;                              // 设置 › "目标速度"
    forms::ControlArray<forms::MenuItem, 1, 6> targetSpeedItems;  // "30 字/分" .. "120 字/分"

    // Start-up: the stored target speed.
    void Load();
    int TargetSpeed() const { return target_; }
    double TargetMs() const { return quorlax::TargetMs(target_); }

    // The record, read on first use.
    const CharRecord& Record();
    // A run ended on `today`: its attempts go into the record and the file.
    void RunEnded(std::span<const Attempt> attempts, Day today);
    // The key record, read on first use.
    const KeyRecord& Keys();
    // Code keys pressed in a run that ended: into the key record and its file.
    void KeysPressed(std::span<const KeyPress> presses);
    // The drill's characters; empty when nothing is ranked or due.
    // The attempts of a run still open count as if it were recorded.
    std::vector<DrillPick> Picks(Day today, std::span<const Attempt> open = {});
    // 清除记录: both records move aside as their backups and start empty;
    // false (told) when a file stays.
    bool Clear();
    // The program ends: the record is written, or left pending.
    void AtExit();
    // Nothing is told from now on (the Windows session ends).
    void Quiet() { quiet_ = true; }

private:
    void OnTargetSpeed(int index);

    Board& board_;
    PracticeHistory& history_;
    ISettingsStore& settings_;
    bool quiet_ = false;
    KeptRecordFile file_, keysFile_;
    int target_ = kDefaultTargetSpeed;
    CharRecord record_;
    KeyRecord keys_;
    bool loaded_ = false, keysLoaded_ = false;
};

}  // namespace quorlax
