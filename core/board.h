// The board: the play area every room stands on. It holds what rooms share
// (the scene, the window's colours and picture, the word pool and code table,
// the one-second clock) and the signals by which a room hears what another
// did without knowing it. Rooms never include each other; they meet here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/five_stroke.h"
#include "core/game_pool.h"
#include "core/word_pool.h"
#include "forms/controls.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr wchar_t kWordPoolFile[] = L"vbyx.dll";   // the Chinese word pool, beside the program
inline constexpr wchar_t kCodeTableFile[] = L"vbcx.dll";  // the five-stroke code table

// Signals run their listeners at once, in the order they began to listen.
template <class... Args>
class Signal {
public:
    void Listen(std::function<void(Args...)> listener) { listeners_.push_back(std::move(listener)); }
    void operator()(Args... args) const {
        for (const auto& listener : listeners_) listener(args...);
    }

private:
    std::vector<std::function<void(Args...)>> listeners_;
};

// The window's background colour until the player chooses one.
inline constexpr forms::Color kDefaultBackColor = 0x00FF8000;

// How the game now on the board stands, as the hall of fame reads it.
struct GameStanding {
    std::optional<GamePool> pool;  // the checked game item, if any
    double lives = 0;              // as the lives counter reads
    std::int32_t total = 0;        // score plus bonus, each taken as a 32-bit integer
};

// A tool window a room may ask another to close.
enum class ToolWindow { HallOfFame, About };

class Board : NonCopyable {
public:
    explicit Board(IMessageBox& messages) : messages_(messages) {}

    // --- the play area as the main window draws it ---
    forms::Scene scene;  // every windowless control of every room, back to front
    std::wstring caption;
    bool visible = false;
    forms::Color backColor = forms::kSystemButtonFace;
    std::shared_ptr<forms::Image> picture;  // drawn under the play area
    // The text colour and font the appearance settings give: the sample's.
    void SetTextSample(const forms::Label& sample) { textSample_ = &sample; }
    forms::Color TextColor() const { return textSample_ ? textSample_->ForeColor : forms::kYellow; }
    const forms::Font& TextFont() const;

    // --- the data files beside the program, read once at start-up ---
    // False (the player told why) when one cannot be read.
    bool LoadData(IDataFiles& files);
    // The two texts with their line ends dropped, as loading leaves them.
    void SetData(std::wstring poolText, std::wstring codeTable);
    const WordPool& Pool() const { return pool_; }
    const std::wstring& CodeTable() const { return codeTable_; }

    // --- typing by five-stroke codes, without an input method ---
    bool CodeMode() const { return codeMode_; }
    void SetCodeMode(bool on);
    Signal<bool> codeModeChanged;
    // The codes of the characters and words (wubi86-codes.txt beside the
    // program), read on first use; null, the player told once, when the file
    // cannot be read.
    const FiveStrokeCodes* Codes();

    // --- the one-second clock that times games and practice runs ---
    forms::Timer clock{1000};
    int ElapsedSeconds() const { return elapsed_; }
    void SetElapsedSeconds(int seconds) { elapsed_ = seconds; }
    // Counts a second and tells the rooms, unless the count reads 0.
    void OnClockTick();
    Signal<double> clockTicked;

    // --- the player is told something once per run ---
    void TellOnce(std::wstring_view message);

    // --- what rooms tell each other ---
    Signal<GamePool> gameStarting;  // a game takes the play area
    Signal<bool> practiceShown;     // the practice panel takes it (true: for a chosen text)
    Signal<> gameModesCleared;      // a practice text is in the grid: no game item stays checked
    Signal<> battlePanelShown;      // the battle panel opens over it
    Signal<bool> menusLocked;       // the battle panel greys (true) or frees the file and speed menus
    Signal<> hitLanded;             // a shot hit its label: after the sound, before the score
    Signal<> livesOut;              // the lives reached 0: before the game-over steps
    Signal<> gameEnding;            // game over, before the board stops
    Signal<GamePool> gameOver;      // game over of this pool, the board stopped
    Signal<ToolWindow> closeAsked;  // a room asks the owner of that window to close it
    Signal<> backColorChanged;      // the window's background colour was chosen
    Signal<> textColorChanged;      // the text colour was chosen
    Signal<> programClosing;        // the main window closes: finish what is open
    Signal<> sessionEnding;         // Windows ends the session: finish silently

    // --- what a room may ask of the game (bound by the game room) ---
    std::function<void(GamePool)> startGame;
    std::function<void(float)> raiseFloor;  // twips up; a negative value lowers
    std::function<void()> restFloor;        // the floor line back at rest
    std::function<void()> stopPlay;         // the fall and the clock stop
    std::function<GameStanding()> standing;

private:
    IMessageBox& messages_;
    const forms::Label* textSample_ = nullptr;
    WordPool pool_;
    std::wstring codeTable_;
    IDataFiles* files_ = nullptr;
    std::wstring folder_;  // where the data files lie
    bool codeMode_ = false;
    std::unique_ptr<FiveStrokeCodes> codes_;
    bool codesRead_ = false;
    int elapsed_ = 0;
    std::vector<std::wstring> told_;
};

}  // namespace quorlax
