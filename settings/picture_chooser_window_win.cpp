// The picture chooser.
#include "settings/picture_chooser_window_win.h"

#include "platform/window_win.h"

namespace quorlax::win {
namespace {

// The designed outer 500 x 300 pixels are smaller than the client area the
// controls are laid out in: the window is sized from that area at the
// screen's DPI, so nothing is cut off.
const forms::ToolWindowLook kLook{kChooserClass,
                                  kChooserTitle,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  POINT{150, 130},
                                  PictureChooserForm::kWidth,
                                  PictureChooserForm::kHeight};
constexpr int kDropRows = 8;  // entries a drop-down shows
const forms::Font kControlFont{L"宋体", 9};

}  // namespace

PictureChooserWindow::PictureChooserWindow(HINSTANCE instance, HWND owner, PictureChooserForm& form,
                                           forms::Painter& painter)
    : ToolWindow(instance, owner, form, painter, kLook),
      clear_(form.clearButton, painter),
      ok_(form.okButton, painter),
      exit_(form.exitButton, painter) {
    clear_.AfterClick = ok_.AfterClick = [this] {
        if (AfterPictureChange) AfterPictureChange();
    };
}

HWND PictureChooserWindow::Child(const wchar_t* cls, const wchar_t* text, DWORD style,
                                 const forms::Control& place, int id, int list_rows) {
    RECT r = painter_.Rect(place);
    int height = r.bottom - r.top;
    // A drop-down's height includes its open list.
    if (list_rows) height += list_rows * height;
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r.left, r.top,
                             r.right - r.left, height, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(kControlFont)), FALSE);
    return h;
}

HWND PictureChooserWindow::OnCreated() {
    // In the designed tab order: the lists, the boxes, then the buttons.
    Child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, form_.driveList, kDriveId, kDropRows);
    Child(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, form_.folderList,
          kDirId);
    Child(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, form_.fileList,
          kFileId);
    Child(L"COMBOBOX", form_.patternBox.Text.c_str(), CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL,
          form_.patternBox, kPatternId, kDropRows);
    path_box_ = std::make_unique<forms::TextBoxHost>(form_.pathBox, painter_);
    path_box_->Create(instance_, hwnd_, WS_TABSTOP);
    path_box_->Place();
    clear_.Create(instance_, hwnd_, kClearId);
    ok_.Create(instance_, hwnd_, kOkId);
    exit_.Create(instance_, hwnd_, kExitId);
    return Control(kFileId);
}

void PictureChooserWindow::OnDestroyed() {
    path_box_.reset();
    shown_drives_ = shown_dirs_ = shown_files_ = shown_patterns_ = 0;
}

void PictureChooserWindow::SyncList(HWND list, const ListControl& model, std::uint64_t& shown, bool combo) {
    if (!list) return;
    const UINT reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
    const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
    const UINT select = combo ? CB_SETCURSEL : LB_SETCURSEL;
    if (shown != model.Version) {
        shown = model.Version;
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, reset, 0, 0);
        for (const auto& entry : model.List)
            SendMessageW(list, add, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    SendMessageW(list, select, static_cast<WPARAM>(model.ListIndex), 0);
}

void PictureChooserWindow::Sync() {
    if (!hwnd_) return;
    syncing_ = true;
    SyncList(Control(kDriveId), form_.driveList, shown_drives_, true);
    SyncList(Control(kDirId), form_.folderList, shown_dirs_, false);
    SyncList(Control(kFileId), form_.fileList, shown_files_, false);
    HWND pattern = Control(kPatternId);
    SyncList(pattern, form_.patternBox, shown_patterns_, true);
    if (WindowTextOf(pattern) != form_.patternBox.Text)
        SetWindowTextW(pattern, form_.patternBox.Text.c_str());
    syncing_ = false;
}

bool PictureChooserWindow::OnCommand(int id, int code) {
    auto selected = [this](int control, UINT msg) {
        return static_cast<int>(SendMessageW(Control(control), msg, 0, 0));
    };
    switch (id) {
        case kOkId:
            // Enter in the folder list opens the folder, as a double click
            // does; anything else goes on to the button.
            if (code != BN_CLICKED || GetFocus() != Control(kDirId)) return false;
            form_.OpenFolder(selected(kDirId, LB_GETCURSEL));
            return true;
        case kDriveId:
            if (code == CBN_SELCHANGE) form_.ChooseDrive(selected(kDriveId, CB_GETCURSEL));
            return true;
        case kDirId:
            if (code == LBN_DBLCLK) form_.OpenFolder(selected(kDirId, LB_GETCURSEL));
            return true;
        case kFileId:
            if (code == LBN_SELCHANGE) form_.OnFileClick(selected(kFileId, LB_GETCURSEL));
            return true;
        case kPatternId:
            if (code == CBN_EDITCHANGE) {
                form_.patternBox.Text = WindowTextOf(Control(kPatternId));
                form_.OnPatternEdit();
            } else if (code == CBN_SELCHANGE) {
                form_.OnPatternPick(selected(kPatternId, CB_GETCURSEL));
            }
            return true;
        default: return false;
    }
}

bool PictureChooserWindow::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (path_box_ && path_box_->Filter(msg, wp, lp, result)) return true;
    if (msg == WM_COMMAND && !syncing_ && OnCommand(LOWORD(wp), HIWORD(wp))) {
        result = 0;
        return true;
    }
    // A button's press may destroy this window (退出); touch nothing after.
    for (forms::ButtonHost* button : {&clear_, &ok_, &exit_})
        if (button->Filter(msg, wp, lp, result)) return true;
    return false;
}

void PictureChooserWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    painter_.Fill(dc, client, form_.BackColor);
}

}  // namespace quorlax::win
