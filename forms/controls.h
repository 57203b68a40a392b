// Portable models of the few form controls the game uses: labels, pictures,
// panels, text boxes, push buttons, timers and menu items. The Win32 side
// renders them and forwards events; the game rules only ever touch these
// models.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/look.h"
#include "platform/non_copyable.h"

namespace forms {

// The appearance types live below the forms; the controls speak of them
// as their own.
using quorlax::Color;
using quorlax::Font;
using quorlax::Image;
using quorlax::kBlack;
using quorlax::kGb2312Charset;
using quorlax::kRed;
using quorlax::kSystemButtonFace;
using quorlax::kSystemButtonText;
using quorlax::kSystemWindow;
using quorlax::kSystemWindowText;
using quorlax::kWhite;
using quorlax::kYellow;

enum class BackStyle { Transparent, Opaque };
enum class Alignment { Left, Center };

class Panel;
class Scene;

// Where a control is drawn among the others: later layers cover earlier ones;
// within a layer, the order the controls were declared in.
enum class Layer { Grid, Play, Shots, Banner, Panel, PanelContent, Overlay, OverlayContent };

// Which appearance settings reach a control (bit flags).
enum Reach : unsigned {
    kNoSetting = 0,
    kFontSetting = 1,   // the text font setting changes its face
    kColorSetting = 2,  // the text colour setting changes its colour
};

// Anything with a rectangle in twips, relative to its container's client area.
struct Control {
    Control() = default;
    Control(const Control&) = default;
    Control& operator=(const Control&) = default;

    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    Panel* Container = nullptr;  // null: the form itself

    void Place(float left, float top, float width, float height) {
        Left = left;
        Top = top;
        Width = width;
        Height = height;
    }
    // Position in the form's client area, adding the containers' offsets.
    float FormLeft() const;
    float FormTop() const;
    // Visible on screen: itself and every container visible.
    bool Shown() const;
};

// A windowless label. Every write of Caption runs Change at once, inside the
// writing statement, even when the text stays the same.
class Label : public Control {
public:
    Label() = default;
    // Declares the label as part of a form's scene.
    Label(Scene& scene, Layer layer, unsigned reach = kNoSetting);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring text);

    forms::Font Font;
    Color ForeColor = kSystemWindowText;
    Color BackColor = kSystemButtonFace;
    forms::BackStyle BackStyle = forms::BackStyle::Transparent;
    forms::Alignment Alignment = forms::Alignment::Left;
    std::function<void()> Change;  // the label's change handler, if any

private:
    std::wstring caption_;
};

// Which of the program's own pictures a picture control shows.
// KeyDue and KeyPressed frame a key of the radical chart: the key a code
// called for, and the key pressed instead.
enum class Art { None, FloorLine, Shot, HitFlash, PracticeCursor, RadicalTable, KeyDue, KeyPressed };

struct Picture : Control {
    Picture() = default;
    Picture(Scene& scene, Layer layer);
    forms::Art Art = forms::Art::None;
};

// A panel (frame) that holds other controls and covers what lies beneath it.
class Panel : public Control {
public:
    Panel() = default;
    Panel(Scene& scene, Layer layer);
    Color BackColor = kSystemButtonFace;
    std::wstring Caption;
};

// A text box. Setting Text to a different value runs Change at once, nested
// inside the setter; the host (the real edit control) is told first.
class TextBox : public Control {
public:
    const std::wstring& Text() const { return text_; }
    void SetText(std::wstring text);

    forms::Font Font;
    Color ForeColor = kSystemWindowText;
    Color BackColor = kSystemWindow;
    int MaxLength = 0;  // characters the user may type; 0 is unlimited
    std::function<void()> Change;
    std::function<void(int)> KeyDown;                       // a key pressed, before the change it makes
    // A character key before the box takes it; true when the model took it
    // (the box never sees it): typing by codes rather than by characters.
    std::function<bool(wchar_t)> CharTyped;
    bool InputMethod = true;  // false: the input method is detached from the box
    std::function<void(const std::wstring&)> OnTextPushed;  // host sync

private:
    std::wstring text_;
};

// A push button. The host shows it in its own colours and runs Click when
// it is pressed: by the mouse, Space, or Enter while it has the focus or is
// the window's default button.
struct CommandButton : Control {
    std::wstring Caption;
    bool Enabled = true;
    bool Default = false;  // Enter presses it while no other push button has the focus
    forms::Font Font;
    Color BackColor = kSystemButtonFace;  // the face
    Color ForeColor = kSystemButtonText;  // the caption
    std::function<void()> Click;          // the button was pressed

    // Runs Click, unless the button is greyed or hidden in the model (the
    // screen may not have caught up yet).
    void Press();
};

// Puts a control (a label or a button) into a panel at its place, in
// its font and with its caption: the rooms lay out their panels with it. A
// label's caption is set through SetCaption, so its Change runs.
template <class C>
void PlaceInPanel(C& control, Panel& panel, float left, float top, float width, float height,
                  const forms::Font& font, const wchar_t* caption) {
    control.Container = &panel;
    control.Place(left, top, width, height);
    control.Font = font;
    if constexpr (requires { control.SetCaption(caption); })
        control.SetCaption(caption);
    else
        control.Caption = caption;
}

// The model of a tool window of the game (the hall of fame, the About box,
// the picture chooser, the practice record): loaded while its window is on
// screen. The window follows it through the hooks, which its host sets.
class ToolForm : quorlax::NonCopyable {
public:
    virtual ~ToolForm() = default;
    bool Loaded() const { return loaded_; }
    // Loads the form (OnLoad), and so shows its window; when it is loaded
    // already, brings the window to the front.
    void LoadOrFront() {
        if (loaded_)
            Front();
        else
            OnLoad();
    }
    // Closes the window; nothing when it is not loaded.
    void Unload();

    Color BackColor = kSystemButtonFace;  // the main window's, copied as it loads
    std::function<bool()> OnLoaded;       // create, place topmost and show; false when it could not
    std::function<void()> OnUnloaded;     // destroy
    std::function<void()> OnChanged;      // bring the window up to date
    std::function<void()> OnFront;        // bring the shown window to the front

protected:
    // Marks the form loaded and shows its window. A window that cannot be
    // made leaves the form unloaded, so that the next command tries again.
    bool Show();
    void Changed() const {
        if (OnChanged) OnChanged();
    }
    void Front() const {
        if (OnFront) OnFront();
    }
    // What loading does: the form fills itself in and shows its window.
    virtual void OnLoad() { Show(); }
    // What the form lets go of as its window closes.
    virtual void OnUnload() {}

private:
    bool loaded_ = false;
};

// A timer: ticks every Interval ms while Enabled and Interval > 0. The host
// is told about every change so it can start or stop the real timer.
class Timer {
public:
    explicit Timer(int interval = 0, bool enabled = false) : interval_(interval), enabled_(enabled) {}
    int Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    bool Running() const { return enabled_ && interval_ > 0; }
    void SetInterval(int ms);
    void SetEnabled(bool on);

    std::function<void()> Tick;            // the timer's handler
    std::function<void(Timer&)> OnChange;  // host sync

private:
    int interval_;
    bool enabled_;
};

// A menu item; top-level menus and submenus are items with children.
struct MenuItem {
    std::wstring Caption;
    std::wstring Shortcut;  // "Ctrl+H", or empty
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    std::vector<MenuItem*> Items;
    std::function<void()> Click;

    // Gives the item its caption and shortcut.
    void Define(const wchar_t* caption, const wchar_t* shortcut = L"") {
        Caption = caption;
        Shortcut = shortcut;
    }
};

// A fixed array of controls indexed from First, like Label(1)..Label(5).
template <class T, int First, int Last>
class ControlArray {
public:
    ControlArray() = default;
    // Declares every element, in index order, as part of a form's scene.
    template <class... Args>
    ControlArray(Scene& scene, Layer layer, Args... args);
    T& operator()(int index) { return items_[Slot(index)]; }
    const T& operator()(int index) const { return items_[Slot(index)]; }
    static constexpr int LBound() { return First; }
    static constexpr int UBound() { return Last; }
    T* begin() { return items_; }
    T* end() { return items_ + (Last - First + 1); }

private:
    static int Slot(int index);
    T items_[Last - First + 1];
};

void ThrowIndexOutOfRange(int index);

// The windowless controls of one form in drawing order, with the settings
// that reach each. A control joins it where it is declared, and lives as long
// as the form; the window draws the scene and the settings walk it.
class Scene : quorlax::NonCopyable {
public:
    enum class Kind { Label, Picture, Panel };
    struct Entry {
        Control* control;
        Kind kind;
        Layer layer;
        unsigned reach;
    };
    Scene();

    void Add(Label& label, Layer layer, unsigned reach = kNoSetting);
    void Add(Picture& picture, Layer layer);
    void Add(Panel& panel, Layer layer);
    // Every control, back to front.
    const std::vector<Entry>& Entries() const;
    // The labels a setting reaches, in drawing order.
    std::vector<Label*> Reached(Reach setting) const;

    // Text about to be drawn in a face the window has not drawn it in yet
    // (a practice cell's typed look): the window draws it off-screen, a few
    // characters at each tick of prepareTimer, so that the keystroke that
    // shows it does not wait for its glyphs to be made. A new request
    // replaces the one pending; characters already prepared in that face
    // are passed over.
    void Prepare(const Font& font, std::wstring_view text);
    void CancelPrepare();
    // The window's part, after a tick: the face and up to `most` characters
    // still to prepare, or nothing.
    std::optional<std::pair<Font, std::wstring>> TakePrepareSlice(size_t most);
    Timer prepareTimer{10};

private:
    void Insert(Entry entry);
    std::vector<Entry> entries_;
    Font prepareFont_;
    std::wstring preparing_;               // still to prepare, each character once
    std::vector<bool> taken_ = std::vector<bool>(0x10000);  // prepared in prepareFont_, or pending
    bool sliceDue_ = false;                // a tick came since the last slice
};

template <class T, int First, int Last>
template <class... Args>
ControlArray<T, First, Last>::ControlArray(Scene& scene, Layer layer, Args... args) {
    for (T& item : items_) scene.Add(item, layer, args...);
}

template <class T, int First, int Last>
int ControlArray<T, First, Last>::Slot(int index) {
    if (index < First || index > Last) ThrowIndexOutOfRange(index);
    return index - First;
}

}  // namespace forms
