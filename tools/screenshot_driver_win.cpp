// Drives the running game for the README's screenshots and prints the
// rectangle to crop, as WIDTHxHEIGHT+X+Y. "game" (the default) starts a
// Chinese game with its shortcut and lets the words fall for a while;
// "practice" types part of a chosen text, a few characters wrong, looks a
// code up and shows the chart; "chooser" opens the background picture
// chooser (Ctrl+I) and "about" the About box (帮助 › 关于), each over the
// main window.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/drive_win.h"

namespace {

HWND WaitForClass(const wchar_t* cls) {
    HWND w = nullptr;
    quorlax::drive::WaitFor([&] { return (w = FindWindowW(cls, nullptr)) != nullptr; }, 20000);
    return w;
}

using namespace quorlax::drive;

// The practice text of the screenshot, in the program's own words.
constexpr wchar_t kSample[] =
    L"熟能生巧。每天练上一会儿，打字就会越来越快。五笔输入法把每个汉字拆成几个字根，"
    L"字根分布在二十五个键上：横起笔的在左手上排，竖起笔的在右手上排，撇起笔的在左手下排，"
    L"点起笔的在右手下排，折起笔的在右手最下面。记住字根表，再按书写顺序取码，"
    L"一个字最多敲四下。看不清下一个字怎么拆时，按一下F1，练习框旁边就会显示它的编码。"
    L"打错的字会变成红色，按退格键改正以后，再打一遍就行了。";

BOOL CALLBACK FindNameBox(HWND h, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (lstrcmpiW(cls, L"Edit") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;  // the dialog's one visible edit: the file name box
    return FALSE;
}

// Finds the open-file dialog of the game and answers it with `path`.
bool AnswerOpenDialog(DWORD pid, const std::wstring& path) {
    HWND dialog = nullptr, name = nullptr;
    if (!WaitFor(
            [&] {
                dialog = FindWindowOf(pid, L"#32770");
                if (dialog) EnumChildWindows(dialog, FindNameBox, reinterpret_cast<LPARAM>(&name));
                return name != nullptr;
            },
            20000))
        return false;
    Sleep(300);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 10000);
}

// Writes the sample text as UTF-8 beside the driver; its full path.
std::wstring WriteSample() {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(L"practice_sample.txt", MAX_PATH, full, nullptr);
    const int n = WideCharToMultiByte(CP_UTF8, 0, kSample, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, kSample, -1, bytes.data(), n, nullptr, nullptr);
    bytes.pop_back();  // no terminating NUL in the file
    HANDLE f = CreateFileW(full, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return full;
}

bool PracticeScene(HWND main) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    const std::wstring sample = WriteSample();
    PressCtrl(main, 'G');
    if (!AnswerOpenDialog(pid, sample)) return false;
    Sleep(500);
    SetForegroundWindow(main);
    // The first 67 characters, three of them wrong.
    std::wstring typed(kSample, 67);
    typed[9] = L'会';
    typed[30] = L'子';
    typed[52] = L'x';
    for (wchar_t c : typed) {
        TypeText(std::wstring(1, c));
        Sleep(15);
    }
    PressKey(VK_F1);
    // The chart link, clicked and left lit under the mouse.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const LPARAM link = MAKELPARAM(MulDiv(3210 + 600, dpi, 1440), MulDiv(6480 + 510 + 140, dpi, 1440));
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, link);
    PostMessageW(main, WM_LBUTTONUP, 0, link);
    PostMessageW(main, WM_MOUSEMOVE, 0, link);
    Sleep(1500);
    DeleteFileW(sample.c_str());
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace quorlax::drive;
    const std::wstring mode = argc > 1 ? argv[1] : L"game";
    HWND main = WaitForClass(L"QuorlaxMainWindow");
    if (!main) return 1;
    Sleep(500);
    RECT r{};
    GetWindowRect(main, &r);
    if (mode == L"game") {
        PressCtrl(main, 'H');
        Sleep(9000);
    } else if (mode == L"practice") {
        if (!PracticeScene(main)) return 1;
    } else {
        if (mode == L"chooser")
            PressCtrl(main, 'I');
        else
            PickMenuItem(main, 3, 1);
        HWND shown = WaitForClass(mode == L"chooser" ? L"QuorlaxPictureChooser" : L"QuorlaxAbout");
        if (!shown) return 1;
        Sleep(1000);
        RECT s{};
        GetWindowRect(shown, &s);
        UnionRect(&r, &r, &s);
    }
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}
