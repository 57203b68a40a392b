// Form1, the main window of the game as a portable object: the play area,
// the statistics panel, the menus and timers of the game, and the rooms of
// the other subsystems it owns. The Win32 side (main_window_win) renders it
// and forwards events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/generators.h"
#include "forms/controls.h"
#include "net/battle_room.h"
#include "platform/services.h"
#include "practice/practice_room.h"
#include "scores/scoreboard.h"
#include "settings/appearance.h"

namespace quorlax {

// The character pool a game draws from; the checked game menu item.
enum class GameMode { Chinese, English, Digits };

// Texts of the program's own, written once.
inline constexpr wchar_t kProductName[] = L"Quorlax";
inline constexpr wchar_t kAlreadyRunning[] = L"程序已运行";
inline constexpr wchar_t kGameOver[] = L"GAME OVER";
inline constexpr wchar_t kWordPoolFile[] = L"vbyx.dll";
inline constexpr wchar_t kCodeTableFile[] = L"vbcx.dll";

// Geometry and colours the rules rely on.
inline constexpr float kSpawnTop = -400;   // falling labels wait here
inline constexpr float kFallStep = 100;    // twips per fall tick
inline constexpr float kFloorRest = 6390;  // the floor line at rest
inline constexpr float kShotRest = 6500;   // shots rest behind the panel
inline constexpr float kShotStep = 2000;   // twips per shot tick
inline constexpr forms::Color kDefaultBackColor = 0x00FF8000;

class Form1 {
public:
    explicit Form1(Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // --- the form itself ---
    std::wstring Caption;                               // window caption
    forms::Color BackColor = forms::kSystemButtonFace;  // window background
    bool Visible = false;                               // shown on screen
    std::shared_ptr<forms::Image> Picture;              // background picture, drawn under the play area
    std::function<void()> Unload;                       // asks the host to close the window
    std::function<void(float, float)> HitFlash;         // a shot met its label here (for the flash)
    std::function<void()> SetupSkin;                    // gives the window its painted caption and menu bar
    forms::Scene scene;  // every windowless control below, in drawing order; declared first

    // --- play area ---
    forms::ControlArray<forms::Label, 1, 5> Label{
        scene, forms::Layer::Play, forms::kFontSetting | forms::kColorSetting};    // the falling labels
    forms::Picture Image1{scene, forms::Layer::Play};                              // the floor line
    forms::ControlArray<forms::Picture, 1, 5> Image3{scene, forms::Layer::Shots};  // the five shots
    forms::Picture Image4{scene, forms::Layer::Shots};                             // the hit flash
    forms::Label Label15{scene, forms::Layer::Banner};                             // the GAME OVER banner
    forms::Label Label13{scene, forms::Layer::Banner};                             // elapsed seconds (hidden)
    forms::Label Label19{scene, forms::Layer::Banner};  // difficulty level (hidden)
    forms::TextBox Text2;                               // last English or digit string (hidden)
    forms::TextBox Text3;                               // last Chinese word (hidden)

    // --- statistics panel ---
    forms::Panel Frame4{scene, forms::Layer::Panel};                               // the statistics panel
    forms::TextBox Text1;                                                          // the typing box
    forms::Label Label7{scene, forms::Layer::PanelContent, forms::kFontSetting};   // "得  分："
    forms::Label Label6{scene, forms::Layer::PanelContent, forms::kFontSetting};   // the score
    forms::Label Label17{scene, forms::Layer::PanelContent, forms::kFontSetting};  // "附加分："
    forms::Label Label16{scene, forms::Layer::PanelContent, forms::kFontSetting};  // the bonus
    forms::Label Label8{scene, forms::Layer::PanelContent, forms::kFontSetting};   // "速度："
    forms::Label Label9{scene, forms::Layer::PanelContent,
                        forms::kFontSetting};  // the speed, characters per minute
    forms::Label Label14{scene, forms::Layer::PanelContent, forms::kFontSetting};  // "字/分"
    forms::Label Label10{scene, forms::Layer::PanelContent, forms::kFontSetting};  // "生命："
    forms::Label Label11{scene, forms::Layer::PanelContent, forms::kFontSetting};  // the lives

    // --- timers of the game ---
    forms::Timer Timer1{100, true};  // the fall tick
    forms::Timer Timer2{1000};       // the one-second clock
    forms::Timer Timer6{1};          // the shot animation

    // --- menus of the game ---
    forms::MenuItem mnuFile;                         // " 文 件"
    forms::MenuItem mnuGame, s2, yw1, sz1;           // "游 戏" and its three pools
    forms::MenuItem exit;                            // "退 出"
    forms::MenuItem s0;                              // " 速 度"
    forms::ControlArray<forms::MenuItem, 1, 11> sd;  // "一速".."十速", "飞速"
    forms::MenuItem sm1, wx1;                        // " 生 命 " and "无限制"
    forms::MenuItem bz1;                             // " 帮 助" (its items are the settings room's)
    std::vector<forms::MenuItem*> MenuBar;           // the top-level menus in order

    // --- module-level state of the game ---
    std::wstring charPool;       // the Chinese word pool, lines joined
    std::wstring codeTable;      // the five-stroke code table, lines joined
    std::int16_t hitIndex = 0;   // column 1..5 of the label being shot
    std::int16_t hitLength = 0;  // characters of the text that hit

    // --- the rooms of the other subsystems ---
    AppearanceRoom appearance;  // colours, font, background picture
    PracticeRoom practice;      // the practice grid and panel
    BattleRoom battle;          // the network battle panel and its link
    Scoreboard scores;          // score and lives reactions, the hall of fame

    // --- start-up and shut-down ---
    // Runs the load sequence; false when the program cannot run (a data file
    // is missing) and has told the user so.
    bool Form_Load();
    void exit_Click();
    // Tells the player that something could not be stored, once per run for
    // each such message; the game goes on.
    void ReportUnsaved(std::wstring_view message);

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

    // --- the one-second clock ---
    void Timer2_Timer();

    // True while one of the three game items is checked.
    bool GameModeChecked() const { return yw1.Checked || s2.Checked || sz1.Checked; }
    // The speed item's Timer1 interval.
    static int SpeedInterval(int index);
    // Every timer of the form and its rooms, for the host to run.
    std::vector<forms::Timer*> Timers();
    Services& services() { return services_; }
    const WordPool& Pool() const { return pool_; }  // charPool with its character classes

private:
    void BuildControls();
    void BuildMenus();
    bool LoadDataFile(const wchar_t* name, std::wstring& target);
    void LandShot();

    Services& services_;
    WordPool pool_;
    std::vector<std::wstring> unsaved_told_;  // the messages ReportUnsaved has shown
};

}  // namespace quorlax
