// Form1, the main window of the game as a portable object: its controls and
// menus (as models), the shared game state and the event handlers of the
// game. The Win32 side (main_window_win) renders it and forwards events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/generators.h"
#include "forms/controls.h"
#include "platform/services.h"
#include "scores/form2.h"

namespace quorlax {

// The character pool a game draws from; the checked game menu item.
enum class GameMode { Chinese, English, Digits };

// Texts of the program's own, written once.
inline constexpr wchar_t kProductName[] = L"Quorlax";
inline constexpr wchar_t kAlreadyRunning[] = L"程序已运行";
inline constexpr wchar_t kGameOver[] = L"GAME OVER";
inline constexpr wchar_t kWordPoolFile[] = L"vbyx.dll";
inline constexpr wchar_t kCodeTableFile[] = L"vbcx.dll";
inline constexpr wchar_t kSectionRegister[] = L"register";

// Geometry and colours the rules rely on.
inline constexpr float kSpawnTop = -400;   // falling labels wait here
inline constexpr float kFallStep = 100;    // twips per fall tick
inline constexpr float kFloorRest = 6390;  // the floor line at rest
inline constexpr float kShotRest = 6500;   // shots rest behind the panel
inline constexpr float kShotStep = 2000;   // twips per shot tick
inline constexpr forms::Color kDefaultBackColor = 0x00FF8000;
inline constexpr int kGridCells = 406;

class Form1 {
public:
    explicit Form1(Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // --- the form itself ---
    std::wstring Caption;                               // window caption
    forms::Color BackColor = forms::kSystemButtonFace;  // window background
    bool Visible = false;                               // shown on screen
    std::function<void()> Unload;                       // asks the host to close the window
    std::function<void(float, float)> HitFlash;         // a shot met its label here (for the flash)
    std::shared_ptr<forms::Image> Picture;              // background picture, drawn under the play area

    // --- play area ---
    forms::ControlArray<forms::Label, 1, 5> Label;        // the five falling labels, one per column
    forms::Picture Image1;                                // the floor line
    forms::ControlArray<forms::Picture, 1, 5> Image3;     // the five shots
    forms::Picture Image4;                                // the hit flash
    forms::Picture Image2;                                // the practice cursor
    forms::Picture Image5;                                // the radical-table picture
    forms::Label Label15;                                 // the GAME OVER banner
    forms::Label Label13;                                 // elapsed seconds (hidden)
    forms::Label Label19;                                 // difficulty level (hidden)
    forms::TextBox Text2;                                 // last English or digit string (hidden)
    forms::TextBox Text3;                                 // last Chinese word (hidden)
    forms::ControlArray<forms::Label, 0, kGridCells> La;  // practice grid; La(0) is the template

    // --- statistics panel ---
    forms::Panel Frame4;   // the statistics panel
    forms::TextBox Text1;  // the typing box
    forms::Label Label7;   // "得  分："
    forms::Label Label6;   // the score
    forms::Label Label17;  // "附加分："
    forms::Label Label16;  // the bonus
    forms::Label Label8;   // "速度："
    forms::Label Label9;   // the speed, characters per minute
    forms::Label Label14;  // "字/分"
    forms::Label Label10;  // "生命："
    forms::Label Label11;  // the lives

    // --- other panels ---
    forms::Panel Frame3;   // the practice panel
    forms::Label Label22;  // code look-up result (practice panel)
    forms::Panel Frame1;   // the battle panel "连接"

    // --- timers ---
    forms::Timer Timer1{100, true};  // the fall tick
    forms::Timer Timer2{1000};       // the one-second clock
    forms::Timer Timer3{300};        // practice-cursor blink
    forms::Timer Timer4{2000};       // battle join retry
    forms::Timer Timer5{1000};       // battle heartbeat
    forms::Timer Timer6{1};          // the shot animation

    // --- menus ---
    forms::MenuItem mnuFile, mnuGame, s2, yw1, sz1, wldz;  // " 文 件", "游 戏" and the game items
    forms::MenuItem mnuPractice, chi, zixuan;              // "练 习" and its items
    forms::MenuItem mnuSettings, ys, tt, wzys, wzzt;       // "设 置" and its items
    forms::MenuItem p1, exit;                              // "排 名", "退 出"
    forms::MenuItem s0;                                    // " 速 度"
    forms::ControlArray<forms::MenuItem, 1, 11> sd;        // "一速".."十速", "飞速"
    forms::MenuItem sm1, wx1;                              // " 生 命 " and "无限制"
    forms::MenuItem bz1, bang, guanyu;                     // " 帮 助", "帮 助", "关 于"
    std::vector<forms::MenuItem*> MenuBar;                 // the top-level menus in order

    // --- module-level state ---
    std::wstring charPool;          // the Chinese word pool, lines joined
    std::wstring codeTable;         // the five-stroke code table, lines joined
    std::int16_t hitIndex = 0;      // column 1..5 of the label being shot
    std::int16_t hitLength = 0;     // characters of the text that hit
    std::int32_t netBattle = 0;     // 1 while a network battle is up
    std::int32_t battleWins = 0;    // battle tally: won
    std::int32_t battleLosses = 0;  // battle tally: lost
    std::int16_t typedPos = 1;      // practice position

    // --- other windows ---
    Form2 form2;  // the hall-of-fame window

    // --- start-up and shut-down ---
    // Runs the load sequence; false when the program cannot run (a data file
    // is missing) and has told the user so.
    bool Form_Load();
    void exit_Click();

    // --- game modes, speed, lives ---
    void s2_Click();
    void yw1_Click();
    void sz1_Click();
    void sd_Click(int index);
    void wx1_Click();
    void StartGame(GameMode mode);
    void ApplySpeed();

    // --- fall tick and generators ---
    void Timer1_Timer();
    void PickHanzi();
    void PickLetters();
    void PickDigits();
    void Respawn(int i);

    // --- hits, shots, sound ---
    void Text1_Change();
    void Timer6_Timer();
    void ShotLanded();
    void ScoreHit();
    void fasheng();

    // --- clock, score and lives reactions ---
    void Timer2_Timer();
    void Label6_Change();
    void Label11_Change();

    // --- appearance, hall of fame ---
    void xuantu();
    void ys_Click();
    void wzys_Click();
    void wzzt_Click();
    void p1_Click();
    // Score plus bonus, each taken as a 32-bit integer.
    std::int32_t GameTotal() const;

    // The checked game mode, read in the order 英文, 汉字, 数字.
    bool GameModeChecked() const { return yw1.Checked || s2.Checked || sz1.Checked; }
    // The speed item's Timer1 interval.
    static int SpeedInterval(int index);

private:
    void BuildControls();
    void BuildMenus();
    void ApplyStoredAppearance();
    bool LoadDataFile(const wchar_t* name, std::wstring& target);
    void CreatePracticeGrid();
    void LandShot();
    void LevelLadder();
    void BattleHit();
    void BattleDefeat();
    void GameOver();
    void QualifyFor(Pool pool);
    std::vector<forms::Label*> FontTargets(bool whole_grid);

    Services& services_;
    WordPool pool_;
};

}  // namespace quorlax
