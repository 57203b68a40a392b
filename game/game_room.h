// The game room: the falling labels, the floor line, the shots, the typing
// box and the statistics panel; starting a game in one of the three pools,
// the speed and lives menus; the fall, hits and scoring, the level ladder and
// game over. It stands on the board and tells the other rooms what happens
// through it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/board.h"
#include "core/code_composer.h"
#include "forms/controls.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr wchar_t kGameOver[] = L"GAME OVER";

// Geometry the rules rely on, in twips.
inline constexpr float kSpawnTop = -400;   // falling labels wait here
inline constexpr float kFallStep = 100;    // twips per fall tick
inline constexpr float kFloorRest = 6390;  // the floor line at rest
inline constexpr float kShotRest = 6500;   // shots rest behind the panel
inline constexpr float kShotStep = 2000;   // twips per shot tick

class GameRoom : NonCopyable {
public:
    GameRoom(Board& board, IRandom& random, ISound& sound);

    // --- menus ---
    forms::MenuItem chineseGameItem;                         // 游戏 › 汉字
    forms::MenuItem englishGameItem;                         // 游戏 › 英文
    forms::MenuItem digitsGameItem;                          // 游戏 › 数字
    forms::MenuItem speedMenu;                               // " 速 度"
    forms::ControlArray<forms::MenuItem, 1, 11> speedItems;  // "一速".."十速", the hidden "飞速"
    forms::MenuItem livesMenu;                               // " 生 命 ", greyed by design
    forms::MenuItem unlimitedLivesItem;                      // "无限制"

    // --- the play area ---
    forms::ControlArray<forms::Label, 1, 5> fallingLabels;
    forms::Picture floorLine;
    forms::ControlArray<forms::Picture, 1, 5> shots;
    forms::Picture hitFlash;
    forms::Label gameOverBanner;

    // --- the statistics panel ---
    forms::Panel statsPanel;
    forms::TextBox typingBox;
    forms::Label scoreCaption;  // "得  分："
    forms::Label scoreLabel;    // the score; every write runs OnScoreChange
    forms::Label bonusCaption;  // "附加分："
    forms::Label bonusLabel;    // the bonus
    forms::Label speedCaption;  // "速度："
    forms::Label speedLabel;    // characters per minute
    forms::Label speedUnit;     // "字/分"
    forms::Label livesCaption;  // "生命："
    forms::Label livesLabel;    // the lives; every write runs OnLivesChange
    forms::Label codeLetters;   // typing by codes: the letters typed so far

    // --- timers ---
    forms::Timer fallTimer{100, true};  // the fall tick, as designed; stopped at load
    forms::Timer shotTimer{1};          // the shot animation (the fall pauses meanwhile)

    // A shot met its label here (the window keeps the flash up a moment).
    std::function<void(float, float)> onHitFlash;

    // --- start-up ---
    // The designed state before any game; false when the word pool gives no
    // word (the Chinese game is greyed; the caller tells the player).
    bool Load();

    // --- handlers ---
    void StartGame(GamePool pool);
    void OnSpeed(int index);
    void OnUnlimitedLives();
    void OnFallTick();
    void OnTypingBoxChange();
    // Typing by codes in a Chinese game: a character key before the box
    // takes it; true when the code took it.
    bool OnTypingBoxChar(wchar_t key);
    void OnShotTick();
    void OnScoreChange();
    void OnLivesChange();

    // The checked game item's pool, if any.
    std::optional<GamePool> CheckedPool() const;
    // True while one of the three game items is checked.
    bool GameModeChecked() const { return CheckedPool().has_value(); }
    // The speed item's fall interval, in ms.
    static int SpeedInterval(int index);
    // Score plus bonus, each taken as a 32-bit integer.
    std::int32_t GameTotal() const;
    // Where the level ladder stands: the steps it has taken this game.
    int Level() const { return level_; }
    void SetLevel(int level) { level_ = level; }
    std::int16_t ShotColumn() const { return shotColumn_; }  // column 1..5 of the label being shot
    std::int16_t ShotLength() const { return shotLength_; }  // characters of the text that hit
    // A label back at the top with a new string of the checked pool.
    void Respawn(int column);

private:
    void BuildControls();
    void BuildMenus();
    void ApplySpeed();
    std::wstring Draw(GamePool pool);
    void LandShot();
    void ShotLanded();
    void ScoreHit();
    void LevelLadder();
    void GameOver();
    void OnClockTick(double seconds);
    void LeaveForPractice(bool chosen);

    Board& board_;
    IRandom& random_;
    ISound& sound_;
    std::int16_t shotColumn_ = 0;  // column 1..5 of the label being shot
    std::int16_t shotLength_ = 0;  // characters of the text that hit
    int level_ = 0;                // steps of the level ladder taken
    CodeComposer composer_;        // typing by codes: the code being typed
    std::wstring lastString_;      // the last letters or digits drawn
    // The last word drawn: a pick that finds no word shows it again (the
    // hidden box that carried it was designed holding its own name).
    std::wstring lastWord_ = L"Text3";
};

}  // namespace quorlax
