// The picture chooser on screen: created while PictureChooserForm is loaded, topmost,
// with a drop-down of drives, the folder and file lists, the pattern box,
// the path box and the three buttons. The main window stays usable.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "forms/button_host_win.h"
#include "forms/textbox_host_win.h"
#include "forms/tool_window_win.h"
#include "settings/picture_chooser_form.h"

namespace quorlax::win {

inline constexpr wchar_t kChooserClass[] = L"QuorlaxPictureChooser";

class PictureChooserWindow final : public forms::ToolWindow<PictureChooserWindow, PictureChooserForm> {
public:
    static constexpr wchar_t kFaultSource[] = L"PictureChooserWindow";
    // Control ids: Enter presses 确定, Escape 退出.
    static constexpr int kOkId = IDOK, kExitId = IDCANCEL, kClearId = 103;
    static constexpr int kDriveId = 104, kDirId = 105, kFileId = 106, kPatternId = 107;

    PictureChooserWindow(HINSTANCE instance, HWND owner, PictureChooserForm& form, forms::Painter& painter);
    ~PictureChooserWindow() { Destroy(); }

    HWND Control(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }
    HWND PathBox() const { return path_box_ ? path_box_->Handle() : nullptr; }

    std::function<void()> AfterPictureChange;  // the main window repaints

    // The skeleton's parts.
    HWND OnCreated();
    void OnDestroyed();
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Paint(HDC dc);
    // Brings the real lists and boxes up to date with the model.
    void Sync();

private:
    bool OnCommand(int id, int code);
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, const forms::Control& place, int id,
               int list_rows = 0);
    void SyncList(HWND list, const ListControl& model, std::uint64_t& shown, bool combo);

    std::unique_ptr<forms::TextBoxHost> path_box_;  // while the window exists
    forms::ButtonHost clear_, ok_, exit_;
    std::uint64_t shown_drives_ = 0, shown_dirs_ = 0, shown_files_ = 0, shown_patterns_ = 0;
    bool syncing_ = false;  // our own changes to the controls are not the user's
};

}  // namespace quorlax::win
