// SetupSkin: the game's caption colours and fonts, then Attach.
#include "skin/setup_skin_win.h"

#include "platform/resource_ids.h"
#include "skin/skin_handles_win.h"

namespace quorlax::skin {
namespace {

HBITMAP LoadArt(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

std::unique_ptr<cNeoCaption> SetupSkin(HINSTANCE instance, HWND window, SIZE client) {
    UniqueBitmap caption(LoadArt(instance, IDB_CAPTION)), border(LoadArt(instance, IDB_BORDER));
    if (!caption || !border) return nullptr;
    auto skin = std::make_unique<cNeoCaption>();
    skin->ActiveCaptionColor(0x00FFFFFF);
    skin->InActiveCaptionColor(0x00C0FFC0);
    skin->ActiveMenuColor(0x00C00000);
    skin->ActiveMenuColorOver(0x000000FF);
    skin->MenuBackgroundColor(0x8000000F);
    StdFont song;
    song.Name = L"宋体";
    song.Size = 9;
    song.Charset = GB2312_CHARSET;
    skin->CaptionFont(song);
    skin->MenuFont(song);
    // Attach copies the pictures; ours go when this returns.
    skin->Attach(window, caption.get(), border.get(), 19, 20, 90, 140, 240, 400);
    SIZE outer = skin->WindowSizeFor(client);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return skin;
}

}  // namespace quorlax::skin
