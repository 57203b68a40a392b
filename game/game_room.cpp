// The game room: its controls and menus, game starts, the fall, hits,
// scoring, the level ladder and game over. The order of the steps matters:
// writing the score or the lives runs its reaction inside the write, and
// setting the typing box's text runs its change handler nested.
#include "game/game_room.h"

#include <algorithm>

#include "core/counters.h"
#include "game/generators.h"
#include "platform/nearest.h"

namespace quorlax {
namespace {

constexpr float kLabelLefts[] = {525, 2715, 5085, 7350, 10035};
constexpr float kLabelTops[] = {-300, -330, -330, -360, -330};
constexpr float kLabelWidths[] = {1365, 1365, 1365, 1350, 1350};
constexpr float kShotLefts[] = {900, 3120, 5490, 7740, 10410};

// Fall intervals of "一速".."十速" and the hidden "飞速", in ms.
constexpr int kSpeedIntervals[] = {1000, 800, 640, 512, 410, 328, 262, 210, 200, 168, 134};
const wchar_t* const kSpeedCaptions[] = {L"一速", L"二速", L"三速", L"四速", L"五速", L"六速",
                                         L"七速", L"八速", L"九速", L"十速", L"飞速"};

// Score each ladder step needs; step k applies at level k - 1.
constexpr double kLadder[] = {10000, 20000, 30000,  40000,  50000,  60000,  70200,
                              80000, 90000, 100000, 110000, 120000, 130000, 140000};
constexpr double kLadderFrom = 1000;  // below this score the ladder is not consulted

const forms::Font kPanelFont{L"宋体", 14.25f, true};

// A caption or value label of the statistics panel.
void PanelLabel(forms::Label& l, forms::Panel& panel, float left, float top, const wchar_t* caption,
                forms::Color color) {
    l.ForeColor = color;
    forms::PlaceInPanel(l, panel, left, top, 1300, 360, kPanelFont, caption);
}

}  // namespace

GameRoom::GameRoom(Board& board, IRandom& random, ISound& sound)
    : fallingLabels(board.scene, forms::Layer::Play, forms::kFontSetting | forms::kColorSetting),
      floorLine(board.scene, forms::Layer::Play),
      shots(board.scene, forms::Layer::Shots),
      hitFlash(board.scene, forms::Layer::Shots),
      gameOverBanner(board.scene, forms::Layer::Banner),
      statsPanel(board.scene, forms::Layer::Panel),
      scoreCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      scoreLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      bonusCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      bonusLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      speedCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      speedLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      speedUnit(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      livesCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      livesLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      codeLetters(board.scene, forms::Layer::PanelContent),
      board_(board),
      random_(random),
      sound_(sound) {
    BuildControls();
    BuildMenus();
    board_.SetTextSample(fallingLabels(1));

    board_.clockTicked.Listen([this](double seconds) { OnClockTick(seconds); });
    board_.practiceShown.Listen([this](bool chosen) { LeaveForPractice(chosen); });
    board_.gameModesCleared.Listen(
        [this] { chineseGameItem.Checked = englishGameItem.Checked = digitsGameItem.Checked = false; });
    board_.battlePanelShown.Listen([this] { statsPanel.Visible = true; });
    board_.codeModeChanged.Listen([this](bool on) {
        typingBox.InputMethod = !on;
        composer_.Clear();
        codeLetters.SetCaption(L"");
    });
    board_.menusLocked.Listen([this](bool locked) { speedMenu.Enabled = !locked; });
    board_.startGame = [this](GamePool pool) { StartGame(pool); };
    board_.raiseFloor = [this](float twips) { floorLine.Top -= twips; };
    board_.restFloor = [this] { floorLine.Top = kFloorRest; };
    board_.stopPlay = [this] {
        fallTimer.SetEnabled(false);
        board_.clock.SetEnabled(false);
    };
    board_.standing = [this] {
        return GameStanding{CheckedPool(), CounterValue(livesLabel.Caption()), GameTotal()};
    };
}

void GameRoom::BuildControls() {
    for (int i = 1; i <= 5; ++i) {
        auto& l = fallingLabels(i);
        l.Place(kLabelLefts[i - 1], kLabelTops[i - 1], kLabelWidths[i - 1], 435);
        l.Alignment = forms::Alignment::Center;
        l.ForeColor = forms::kYellow;
        l.BackStyle = forms::BackStyle::Transparent;
        l.Font = {L"仿宋_GB2312", 21.75f};
        l.SetCaption(L"Label" + std::to_wstring(i));

        auto& shot = shots(i);
        shot.Place(kShotLefts[i - 1], kShotRest, 480, 480);
        shot.Art = forms::Art::Shot;
    }
    floorLine.Place(0, kFloorRest, 12000, 90);
    floorLine.Art = forms::Art::FloorLine;
    hitFlash.Place(450, 3810, 480, 480);
    hitFlash.Art = forms::Art::HitFlash;
    hitFlash.Visible = false;

    gameOverBanner.Place(2550, 2580, 6705, 1455);
    gameOverBanner.SetCaption(kGameOver);
    gameOverBanner.ForeColor = forms::kRed;
    gameOverBanner.Font = {L"黑体", 72};
    gameOverBanner.Alignment = forms::Alignment::Center;

    statsPanel.Place(0, 6480, 11835, 1455);
    statsPanel.BackColor = kDefaultBackColor;
    typingBox.Container = &statsPanel;
    typingBox.Place(4860, 450, 1905, 435);
    typingBox.BackColor = kDefaultBackColor;
    typingBox.ForeColor = forms::kYellow;
    typingBox.Font = {L"宋体", 18};
    typingBox.MaxLength = 10;
    PanelLabel(scoreCaption, statsPanel, 450, 300, L"得  分：", forms::kWhite);
    PanelLabel(scoreLabel, statsPanel, 1710, 300, L"0", forms::kYellow);
    PanelLabel(bonusCaption, statsPanel, 480, 690, L"附加分：", forms::kWhite);
    PanelLabel(bonusLabel, statsPanel, 1710, 720, L"0", forms::kYellow);
    PanelLabel(speedCaption, statsPanel, 8730, 300, L"速度：", forms::kWhite);
    PanelLabel(speedLabel, statsPanel, 9660, 300, L"0", forms::kYellow);
    PanelLabel(speedUnit, statsPanel, 10410, 300, L"字/分", forms::kWhite);
    PanelLabel(livesCaption, statsPanel, 8730, 690, L"生命：", forms::kWhite);
    PanelLabel(livesLabel, statsPanel, 9660, 690, L"5", forms::kYellow);
    speedLabel.Width = livesLabel.Width = 750;
    PanelLabel(codeLetters, statsPanel, 6930, 450, L"", forms::kYellow);

    // The reactions and handlers run inside every write, as the rules rely on.
    scoreLabel.Change = [this] { OnScoreChange(); };
    livesLabel.Change = [this] { OnLivesChange(); };
    typingBox.Change = [this] { OnTypingBoxChange(); };
    typingBox.CharTyped = [this](wchar_t key) { return OnTypingBoxChar(key); };
    fallTimer.Tick = [this] { OnFallTick(); };
    shotTimer.Tick = [this] { OnShotTick(); };
}

void GameRoom::BuildMenus() {
    chineseGameItem.Define(L"汉字", L"Ctrl+H");
    englishGameItem.Define(L"英文", L"Ctrl+Y");
    digitsGameItem.Define(L"数字", L"Ctrl+S");
    chineseGameItem.Click = [this] { StartGame(GamePool::Chinese); };
    englishGameItem.Click = [this] { StartGame(GamePool::English); };
    digitsGameItem.Click = [this] { StartGame(GamePool::Digits); };

    speedMenu.Define(L" 速 度");
    for (int i = 1; i <= 11; ++i) {
        speedItems(i).Define(kSpeedCaptions[i - 1]);
        speedItems(i).Click = [this, i] { OnSpeed(i); };
        speedMenu.Items.push_back(&speedItems(i));
    }
    speedItems(11).Visible = false;  // the hidden "飞速"
    speedItems(11).Enabled = false;

    livesMenu.Define(L" 生 命 ");
    unlimitedLivesItem.Define(L"无限制");
    livesMenu.Items = {&unlimitedLivesItem};
    livesMenu.Enabled = false;  // stands greyed in the menu bar, as designed
    unlimitedLivesItem.Click = [this] { OnUnlimitedLives(); };
}

bool GameRoom::Load() {
    const bool canDraw = board_.Pool().CanDrawWord();
    if (!canDraw) chineseGameItem.Enabled = false;
    speedMenu.Enabled = true;
    gameOverBanner.Visible = false;
    for (int i = 1; i <= 11; ++i) speedItems(i).Checked = (i == 1);
    speedLabel.SetCaption(L"0");
    bonusLabel.SetCaption(L"0");
    level_ = 0;
    board_.SetElapsedSeconds(1);
    // The score is written once: its reaction only moves a raised floor line,
    // and at start-up the line lies at rest. The designed fall timer runs at
    // 100 ms; it is both stopped and left without an interval until a game
    // applies the chosen speed.
    scoreLabel.SetCaption(L"0");
    fallTimer.SetEnabled(false);
    livesLabel.SetCaption(L"5");
    fallTimer.SetInterval(0);
    for (auto& l : fallingLabels) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    return canDraw;
}

// --- game starts, speed and lives ---

int GameRoom::SpeedInterval(int index) { return kSpeedIntervals[index - 1]; }

std::optional<GamePool> GameRoom::CheckedPool() const {
    if (chineseGameItem.Checked) return GamePool::Chinese;
    if (englishGameItem.Checked) return GamePool::English;
    if (digitsGameItem.Checked) return GamePool::Digits;
    return std::nullopt;
}

void GameRoom::StartGame(GamePool pool) {
    // The other rooms leave the play area first: practice ends its run and
    // clears the grid, the stored picture comes back, tool windows close.
    board_.gameStarting(pool);
    statsPanel.Visible = true;
    livesCaption.Visible = livesLabel.Visible = bonusLabel.Visible = bonusCaption.Visible = true;
    for (auto& l : fallingLabels) l.Visible = true;
    chineseGameItem.Checked = pool == GamePool::Chinese;
    englishGameItem.Checked = pool == GamePool::English;
    digitsGameItem.Checked = pool == GamePool::Digits;

    level_ = 0;
    board_.SetElapsedSeconds(1);
    bonusLabel.SetCaption(L"0");
    speedLabel.SetCaption(L"0");
    gameOverBanner.Visible = false;
    livesLabel.SetCaption(L"5");
    scoreLabel.SetCaption(L"0");
    // The clock and the fall start once, after the counters are reset: a
    // reaction to those writes could otherwise stop them again.
    board_.clock.SetEnabled(true);
    fallTimer.SetEnabled(true);
    typingBox.SetText(L"");
    for (auto& l : fallingLabels) {
        l.Top = kSpawnTop;
        l.Font.Size = 22;
    }
    for (int i = 1; i <= 5; ++i) fallingLabels(i).SetCaption(Draw(pool));
    ApplySpeed();
}

void GameRoom::ApplySpeed() {
    for (int i = 1; i <= 11; ++i)
        if (speedItems(i).Checked) fallTimer.SetInterval(SpeedInterval(i));
}

void GameRoom::OnSpeed(int index) {
    for (int i = 1; i <= 11; ++i) speedItems(i).Checked = (i == index);
}

void GameRoom::OnUnlimitedLives() { livesLabel.SetCaption(L"-1"); }

void GameRoom::LeaveForPractice(bool chosen) {
    statsPanel.Visible = false;
    gameOverBanner.Visible = false;
    if (chosen) livesCaption.Visible = livesLabel.Visible = bonusLabel.Visible = bonusCaption.Visible = false;
    fallTimer.SetEnabled(false);
    for (auto& l : fallingLabels) l.Visible = false;
}

// --- the fall and the generators ---

void GameRoom::OnFallTick() {
    for (int i = 1; i <= 5; ++i) {
        const float floor = floorLine.Top;
        const float top = fallingLabels(i).Top;
        if (top <= floor) {
            fallingLabels(i).Top = top + kFallStep;
            continue;
        }
        // A miss: the lives reaction runs inside this write and may end the
        // game; the label respawns all the same.
        livesLabel.SetCaption(CounterText(nearest(CounterValue(livesLabel.Caption())) - 1));
        Respawn(i);
    }
}

void GameRoom::Respawn(int column) {
    if (auto pool = CheckedPool()) {
        fallingLabels(column).Top = kSpawnTop;
        fallingLabels(column).SetCaption(Draw(*pool));
    }
}

std::wstring GameRoom::Draw(GamePool pool) {
    switch (pool) {
        case GamePool::English: lastString_ = DrawLetters(random_); return lastString_;
        case GamePool::Digits: lastString_ = DrawDigits(random_); return lastString_;
        case GamePool::Chinese: break;
    }
    // A pick that lands on five or more wide characters gives the word before.
    if (auto word = DrawHanzi(board_.Pool(), random_)) lastWord_ = *word;
    return lastWord_;
}

// --- hits, shots and the sound ---

void GameRoom::OnTypingBoxChange() {
    for (int i = 1; i <= 5; ++i) {
        const std::wstring& typed = typingBox.Text();
        // An empty box is not a typed string, whatever a label shows.
        if (typed.empty() || typed != fallingLabels(i).Caption()) continue;
        // A shot still in flight to another label lands at once, so that a
        // second correct string never costs the player the first one.
        if (shotTimer.Enabled() && shotColumn_ != i) LandShot();
        shotLength_ = static_cast<std::int16_t>(std::min<size_t>(typed.size(), INT16_MAX));
        typingBox.SetText(L"");
        shotColumn_ = static_cast<std::int16_t>(i);
        shotTimer.SetEnabled(true);
    }
}

void GameRoom::OnShotTick() {
    const int k = shotColumn_;
    if (k < 1 || k > 5) {
        shotTimer.SetEnabled(false);
        return;
    }
    fallTimer.SetEnabled(false);
    auto& shot = shots(k);
    shot.Visible = true;
    shot.Top -= kShotStep;
    if (shot.Top > fallingLabels(k).Top) return;
    LandShot();
}

void GameRoom::LandShot() {
    const int k = shotColumn_;
    auto& shot = shots(k);
    shot.Top = fallingLabels(k).Top;
    hitFlash.Visible = true;
    hitFlash.Top = shot.Top;
    hitFlash.Left = shot.Left;
    if (onHitFlash) onHitFlash(hitFlash.Left, hitFlash.Top);
    ShotLanded();
    shot.Visible = false;
    shot.Top = kShotRest;
    shotTimer.SetEnabled(false);
    fallTimer.SetEnabled(true);
    hitFlash.Visible = false;
}

void GameRoom::ShotLanded() {
    sound_.PlayHit();
    board_.hitLanded();
    ScoreHit();
}

void GameRoom::ScoreHit() {
    if (shotLength_ >= 1 && shotLength_ <= 9) {
        scoreLabel.SetCaption(CounterText(nearest(CounterValue(scoreLabel.Caption())) + 100 * shotLength_));
        bonusLabel.SetCaption(CounterText(nearest(CounterValue(bonusLabel.Caption())) +
                                          nearest(CounterValue(speedLabel.Caption()))));
    }
    Respawn(shotColumn_);
}

bool GameRoom::OnTypingBoxChar(wchar_t key) {
    // English and digit games take their letters as they are.
    if (!board_.CodeMode() || !chineseGameItem.Checked) return false;
    const FiveStrokeCodes* codes = board_.Codes();
    if (!codes) return false;
    const std::wstring box = typingBox.Text();
    // A label whose caption goes on from the box is what the code is for.
    const Composed step = composer_.Press(*codes, key, [&](std::wstring_view text) {
        const std::wstring typed = box + std::wstring(text);
        for (const auto& l : fallingLabels)
            if (l.Caption().compare(0, typed.size(), typed) == 0) return true;
        return false;
    });
    const std::string_view letters = composer_.Pending();
    codeLetters.SetCaption(std::wstring(letters.begin(), letters.end()));
    switch (step.step) {
        case Composed::Step::NotTaken:
        case Composed::Step::NothingToErase: return false;  // the box erases a character
        case Composed::Step::Pending:
        case Composed::Step::Erased:
        case Composed::Step::NoEntry: return true;
        case Composed::Step::Text:
            // No label goes on with it: it blocks as a wrong letter does.
            if (box.size() + step.text.size() <= static_cast<size_t>(typingBox.MaxLength))
                typingBox.SetText(box + std::wstring(step.text));
            return true;
    }
    return true;
}

// --- the clock ---

void GameRoom::OnClockTick(double seconds) {
    if (!GameModeChecked()) return;
    const double score = CounterValue(scoreLabel.Caption());
    speedLabel.SetCaption(CounterText(nearest(score / 100 / seconds * 60)));
}

// --- the score and lives reactions ---

void GameRoom::OnScoreChange() {
    if (CounterValue(scoreLabel.Caption()) >= kLadderFrom) LevelLadder();
    if (floorLine.Top < kFloorRest) floorLine.Top = floorLine.Top + 100;
}

void GameRoom::LevelLadder() {
    for (int k = 1; k <= 14; ++k) {
        const double score = CounterValue(scoreLabel.Caption());
        if (score >= kLadder[k - 1] && level_ == k - 1) {
            fallTimer.SetInterval(static_cast<int>(nearest(fallTimer.Interval() * 0.8)));
            level_ = k;
        }
    }
}

void GameRoom::OnLivesChange() {
    if (CounterValue(livesLabel.Caption()) != 0) return;
    board_.livesOut();  // a battle tells the peer it lost
    GameOver();
}

void GameRoom::GameOver() {
    board_.gameEnding();
    level_ = 0;
    gameOverBanner.Visible = true;
    board_.clock.SetEnabled(false);
    fallTimer.SetEnabled(false);
    for (auto& l : fallingLabels) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    if (auto pool = CheckedPool()) board_.gameOver(*pool);
}

std::int32_t GameRoom::GameTotal() const {
    auto whole = [](const std::wstring& text) {
        double v = static_cast<double>(nearest(CounterValue(text)));
        return static_cast<std::int64_t>(
            std::clamp(v, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
    };
    std::int64_t total = whole(scoreLabel.Caption()) + whole(bonusLabel.Caption());
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

}  // namespace quorlax
