// Drives the running game for the README's screenshots and prints the
// rectangle to crop, as WIDTHxHEIGHT+X+Y. "game" (the default) starts a
// Chinese game with its shortcut and lets the words fall for a while;
// "practice" types part of a chosen text, a few characters wrong, looks a
// code up and shows the chart; "chooser" opens the background picture
// chooser (Ctrl+I) and "about" the About box (帮助 › 关于), each over the
// main window; "record" writes a fortnight of practice into the prefix's
// record file and opens the record window (Ctrl+R).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "drive/drive_win.h"
#include "practice/history.h"

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

// Finds the open-file dialog of the game and answers it with `path`.
bool AnswerOpenDialog(DWORD pid, const std::wstring& path) {
    HWND dialog = nullptr, name = nullptr;
    if (!WaitFor(
            [&] {
                dialog = FindWindowOf(pid, L"#32770");
                // The dialog's one visible edit: the file name box.
                if (dialog) name = FindShownChild(dialog, L"Edit");
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

// The record file the game reads, in this prefix's %APPDATA%\Quorlax.
std::wstring HistoryPath() {
    wchar_t appdata[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH);
    const std::wstring folder = std::wstring(appdata) + L"\\Quorlax";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + quorlax::kHistoryFiles.file;
}

// Two weeks of practice, getting faster, with the same few characters missed.
std::string SampleHistory() {
    const wchar_t hard[] = L"鬼段舞凸母既敖乘爽兆嘴戴载曲典身";
    std::string bytes = quorlax::HistoryHeader();
    unsigned seed = 7;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    for (int i = 0; i < 42; ++i) {
        quorlax::RunRecord run;
        // Three runs a day from 25 November.
        const int day = 25 + i / 3, month = day > 30 ? 12 : 11;
        wchar_t when[32];
        swprintf(when, 32, L"2026-%02d-%02d %02d:%02d:%02d", month, day > 30 ? day - 30 : day,
                 9 + (i % 3) * 5, next(60), next(60));
        run.when = when;
        run.kind = i % 5 == 4 ? quorlax::RunKind::Drill : quorlax::RunKind::BuiltIn;
        run.speed = 24 + i * 4 / 5 + next(9);
        run.seconds = 180 + next(240);
        run.typed = run.speed * run.seconds / 60;
        run.accuracy = 84 + i / 4 + next(5);
        run.correct = run.typed * run.accuracy / 100;
        for (int m = 0; m < 3; ++m) {
            const wchar_t ch = hard[(next(4) + next(13)) % 16];
            auto found =
                std::find_if(run.misses.begin(), run.misses.end(), [ch](auto& x) { return x.ch == ch; });
            if (found != run.misses.end())
                ++found->count;
            else
                run.misses.push_back({ch, 1 + next(2)});
        }
        bytes += quorlax::FormatRun(run);
    }
    return bytes;
}

// Opens the record window over a prepared record; the player's own record
// (if any) is put back afterwards.
HWND RecordScene(HWND main) {
    const std::wstring path = HistoryPath(), kept = path + L".screenshot";
    MoveFileExW(path.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING);
    const std::string bytes = SampleHistory();
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    PressCtrl(main, 'R');
    HWND shown = WaitForClass(L"QuorlaxRecord");
    Sleep(1000);
    DeleteFileW(path.c_str());
    MoveFileExW(kept.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return shown;
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
    } else if (mode == L"record") {
        HWND shown = RecordScene(main);
        if (!shown) return 1;
        GetWindowRect(shown, &r);  // the window alone
    } else {
        if (mode == L"chooser")
            PressCtrl(main, 'I');
        else
            PickMenuItem(main, 2, 1);  // 帮 助: Right skips the greyed 生 命
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
