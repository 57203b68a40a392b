// The thread's keyboard hook and the list of frames it serves.
#include "skin/declares_win.h"

#include <algorithm>
#include <vector>

#include "skin/nc_calc_size_win.h"
#include "skin/skin_error_win.h"
#include "skin/skin_handles_win.h"
#include "skin/toolbar_menu_win.h"

namespace quorlax::skin::mDeclares {
namespace {

constexpr LPARAM kAltContextBit = LPARAM{1} << 29;
constexpr LPARAM kKeyUpBit = LPARAM{1} << 31;

UniqueHook g_keyboardHook;
std::vector<cNCCalcSize*> g_frames;  // in attach order, no duplicates
UniqueHook g_msgFilterHook;
cToolbarMenu* g_tracker = nullptr;  // gets the drop-downs' messages

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_keyboardHook) {
        bool swallow = false;
        bool ok = Guarded(L"skin keyboard hook", [&] {
            // The key state as of this key's message, not of the moment it is read.
            if (!IsAltAccelerator(wParam, lParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0)) return;
            for (cNCCalcSize* frame : g_frames) {
                if (!frame->WindowActive()) continue;
                INCAreaModifier* painter = nullptr;
                if (frame->GetImplementation(painter)) {
                    LRESULT answer = 0;
                    painter->AltKeyAccelerator(static_cast<UINT>(wParam), answer);
                    swallow = answer != 0;
                }
                break;
            }
        });
        if (!ok) return 0;
        if (swallow) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MsgFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU && g_tracker) {
        bool used = false;
        Guarded(L"skin menu filter", [&] {
            const MSG copy = *reinterpret_cast<const MSG*>(lParam);
            used = g_tracker->MenuInput(copy);
        });
        if (used) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void AttachMsgFilterHook(cToolbarMenu* tracker) {
    g_msgFilterHook.reset();
    g_msgFilterHook.reset(SetWindowsHookExW(WH_MSGFILTER, MsgFilterProc, nullptr, GetCurrentThreadId()));
    g_tracker = tracker;
}

void DetachMsgFilterHook() {
    g_msgFilterHook.reset();
    g_tracker = nullptr;
}

bool IsAltAccelerator(WPARAM vKey, LPARAM keyInfo, bool ctrlDown) {
    if (!(keyInfo & kAltContextBit) || (keyInfo & kKeyUpBit) || ctrlDown) return false;
    if (vKey == VK_MENU || vKey == VK_LMENU || vKey == VK_RMENU) return false;
    if (vKey >= VK_F1 && vKey <= VK_F12) return false;
    return vKey != VK_ESCAPE && vKey != VK_DELETE;
}

void AttachKeyboardHook(cNCCalcSize* frame) {
    if (!g_keyboardHook)
        g_keyboardHook.reset(SetWindowsHookExW(WH_KEYBOARD, KeyboardProc, nullptr, GetCurrentThreadId()));
    if (std::find(g_frames.begin(), g_frames.end(), frame) == g_frames.end()) g_frames.push_back(frame);
}

void DetachKeyboardHook(cNCCalcSize* frame) {
    g_frames.erase(std::remove(g_frames.begin(), g_frames.end(), frame), g_frames.end());
    if (g_frames.empty()) g_keyboardHook.reset();
}

}  // namespace quorlax::skin::mDeclares
