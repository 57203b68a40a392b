// Drives the running game for the README's screenshots and prints the
// rectangle to crop, as WIDTHxHEIGHT+X+Y. "game" (the default) starts a
// Chinese game with its shortcut and lets the words fall for a while;
// "practice" types part of a chosen text, a few characters wrong, looks a
// code up and shows the chart; "chooser" opens the background picture
// chooser (Ctrl+I) and "about" the About box (帮助 › 关于), each over the
// main window; "record" writes a fortnight of practice into the prefix's
// practice files (the runs, the per-character and the per-key record) and
// opens the record window (Ctrl+R); "card" types the start of a text over
// those files and ends the run (Ctrl+T) for its card; "code" types by
// five-stroke code (Ctrl+W) with the radical chart shown, up to a wrong key.
// The prefix's own practice files and code-mode choice are put back.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/stored_names.h"
#include "drive/drive_win.h"
#include "platform/product.h"
#include "practice/char_record.h"
#include "practice/history.h"
#include "practice/key_record.h"
#include "practice/record_file.h"

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

// The chart link of the practice panel, clicked and left lit under the mouse.
void ClickChartLink(HWND main) {
    const int dpi = ScreenDpi();
    const LPARAM link = MAKELPARAM(MulDiv(3210 + 600, dpi, 1440), MulDiv(6480 + 510 + 140, dpi, 1440));
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, link);
    PostMessageW(main, WM_LBUTTONUP, 0, link);
    PostMessageW(main, WM_MOUSEMOVE, 0, link);
}

// The prefix's %APPDATA%\Quorlax, where the game keeps its practice files.
std::wstring PracticeFolder() {
    wchar_t appdata[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH);
    const std::wstring folder = std::wstring(appdata) + L"\\Quorlax";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// A calendar day `n` days before today, as the record files write it.
std::string DaysAgo(int n) {
    const std::wstring day = quorlax::DayText(quorlax::Today() - n);
    return std::string(day.begin(), day.end());
}

std::string Utf8(std::wstring_view text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                        nullptr);
    return bytes;
}

// The characters the prepared record has the player miss.
constexpr wchar_t kHard[] = L"鬼段舞凸母既敖乘爽兆嘴戴载曲典身";

// A small generator, the same pictures every time.
struct Dice {
    unsigned seed = 7;
    int operator()(int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    }
};

// Two weeks of practice up to today, getting faster, with the same few
// characters missed: built-in texts, chosen files and drills.
std::string SampleHistory() {
    std::string bytes = quorlax::HistoryHeader();
    Dice next;
    for (int i = 0; i < 42; ++i) {
        quorlax::RunRecord run;
        // Three runs a day.
        const std::string day = DaysAgo(13 - i / 3);
        wchar_t clock[16];
        swprintf(clock, 16, L" %02d:%02d:%02d", 9 + (i % 3) * 5, next(60), next(60));
        run.when = std::wstring(day.begin(), day.end()) + clock;
        run.kind = i % 5 == 4   ? quorlax::RunKind::Drill
                   : i % 3 == 1 ? quorlax::RunKind::Chosen
                                : quorlax::RunKind::BuiltIn;
        if (run.kind == quorlax::RunKind::Chosen) run.file = L"练习文章.txt";
        run.speed = 24 + i * 4 / 5 + next(9);
        run.seconds = 180 + next(240);
        run.typed = run.speed * run.seconds / 60;
        run.accuracy = 84 + i / 4 + next(5);
        run.correct = run.typed * run.accuracy / 100;
        for (int m = 0; m < 3; ++m) {
            const wchar_t ch = kHard[(next(4) + next(13)) % 16];
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

// One line of practice-chars.tsv.
std::string CharLine(wchar_t ch, int attempts, int misses, double rate, int ms, int box, int due, int last,
                     int graduated = -1) {
    char figures[160];
    std::snprintf(figures, sizeof figures, "\t%d\t%d\t%.4f\t%d\t%d\t%s\t%s\t%s\t\n", attempts, misses, rate,
                  ms, box, DaysAgo(due).c_str(), DaysAgo(last).c_str(),
                  graduated < 0 ? "" : DaysAgo(graduated).c_str());
    return Utf8(std::wstring(1, ch)) + figures;
}

// The per-character record of that fortnight: the missed characters weak
// and due, a few graduated this week or due for review, the lessons' key
// names learnt and the first-level short codes under way.
std::string SampleChars() {
    std::string bytes = quorlax::CharRecord::Header();
    Dice next;
    for (int i = 0; i < 16; ++i) {
        const int attempts = 14 + next(40), misses = 3 + next(8);
        bytes +=
            CharLine(kHard[i], attempts, misses, 0.06 + next(40) / 100.0, 900 + next(1700), 0, i % 3, i % 3);
    }
    // Learnt this week, and not due again for a while.
    for (wchar_t ch : std::wstring_view(L"学段落练习")) {
        if (ch == L'段') continue;  // still weak above
        bytes += CharLine(ch, 30 + next(30), 2, 0.01 + next(3) / 100.0, 600 + next(300), 3, -4, 1 + next(4),
                          1 + next(4));
    }
    // Learnt before, due for review today.
    for (wchar_t ch : std::wstring_view(L"输入法字根键盘"))
        bytes +=
            CharLine(ch, 20 + next(30), 1, 0.01, 700 + next(250), 1 + next(3), 0, 1 + next(3), 9 + next(3));
    // The lessons: the key names learnt, the short codes under way.
    for (wchar_t ch : std::wstring_view(L"王土大木工目日口田山禾白月人金言立水火之已子女又纟"))
        bytes += CharLine(ch, 12 + next(20), 0, 0.0, 500 + next(400), 4, -8, 2 + next(5), 12);
    const std::wstring_view shortCodes = L"一地在要上是中国同和的有我主产不为这民了发以经";
    for (size_t i = 0; i < shortCodes.size(); ++i)
        bytes += i < 15 ? CharLine(shortCodes[i], 8 + next(10), 0, 0.0, 600 + next(350), 2, -2, 1, 8)
                        : CharLine(shortCodes[i], 1 + next(2), 0, 0.0, 900 + next(500), 0, 0, 0);
    return bytes;
}

// The per-key record of typing by code: most keys sure and quick, a few
// slow or often wrong.
std::string SampleKeys() {
    std::string bytes = quorlax::KeyRecord::Header();
    struct Weak {
        char key;
        double rate;
        int ms;
    };
    const Weak weak[] = {{'q', 0.21, 430}, {'x', 0.14, 390}, {'n', 0.11, 350}, {'v', 0.09, 320},
                         {'b', 0.07, 300}, {'y', 0.05, 290}, {'c', 0.04, 280}};
    Dice next;
    for (char key = 'a'; key <= 'y'; ++key) {
        double rate = 0.01 + next(3) / 100.0;
        int ms = 170 + next(70);
        for (const Weak& w : weak)
            if (w.key == key) rate = w.rate, ms = w.ms;
        const int attempts = 120 + next(500);
        char line[96];
        std::snprintf(line, sizeof line, "%c\t%d\t%d\t%.4f\t%d\n", key, attempts,
                      static_cast<int>(attempts * rate * 1.3), rate, ms);
        bytes += line;
    }
    return bytes;
}

// The practice files a scene works on: the prefix's own are set aside
// while it runs and put back afterwards, with whatever the game wrote in
// their place removed.
class PreparedRecords {
public:
    PreparedRecords() : folder_(PracticeFolder()) {
        for (const quorlax::RecordFileNames& names :
             {quorlax::kHistoryFiles, quorlax::kCharRecordFiles, quorlax::kKeyRecordFiles})
            for (const wchar_t* name : {names.file, names.old, names.pending}) {
                const std::wstring path = folder_ + L"\\" + name;
                paths_.push_back(path);
                MoveFileExW(path.c_str(), (path + L".screenshot").c_str(), MOVEFILE_REPLACE_EXISTING);
            }
        WriteBytes(Path(quorlax::kHistoryFiles.file), SampleHistory());
        WriteBytes(Path(quorlax::kCharRecordFiles.file), SampleChars());
        WriteBytes(Path(quorlax::kKeyRecordFiles.file), SampleKeys());
    }
    ~PreparedRecords() {
        for (const std::wstring& path : paths_) {
            DeleteFileW(path.c_str());
            MoveFileExW((path + L".screenshot").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    PreparedRecords(const PreparedRecords&) = delete;
    PreparedRecords& operator=(const PreparedRecords&) = delete;

    // Whether the prepared files read back whole, as the game reads them.
    bool Readable() const {
        const auto chars = quorlax::CharRecord::Parse(SampleChars());
        const auto keys = quorlax::KeyRecord::Parse(SampleKeys());
        return chars.skipped == 0 && !chars.record.Empty() && keys.skipped == 0 && keys.record.AnyAttempt();
    }

private:
    std::wstring Path(const wchar_t* name) const { return folder_ + L"\\" + name; }
    std::wstring folder_;
    std::vector<std::wstring> paths_;
};

// Opens the record window over the prepared records.
HWND RecordScene(HWND main) {
    PreparedRecords records;
    if (!records.Readable()) return nullptr;
    PressCtrl(main, 'R');
    HWND shown = WaitForClass(L"QuorlaxRecord");
    Sleep(1000);
    return shown;
}

// Waits for the open-file dialog and answers it with the sample text.
bool OpenSample(HWND main, const std::wstring& sample) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    PressCtrl(main, 'G');
    if (!AnswerOpenDialog(pid, sample)) return false;
    Sleep(500);
    SetForegroundWindow(main);
    return true;
}

// Writes `text` as UTF-8 beside the driver; its full path.
std::wstring WriteText(const wchar_t* name, std::wstring_view text) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(name, MAX_PATH, full, nullptr);
    WriteBytes(full, Utf8(text));
    return full;
}

bool PracticeScene(HWND main) {
    const std::wstring sample = WriteText(L"practice_sample.txt", kSample);
    if (!OpenSample(main, sample)) return false;
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
    ClickChartLink(main);
    Sleep(1500);
    DeleteFileW(sample.c_str());
    return true;
}

// Types the start of a chosen text at a person's pace, a few characters
// wrong and put right, a few slow, then ends the run (练习 › 结束) for its card.
bool CardScene(HWND main) {
    PreparedRecords records;
    const std::wstring sample = WriteText(L"practice_sample.txt", kSample);
    if (!OpenSample(main, sample)) return false;
    Dice next;
    const std::wstring_view text(kSample, 36);
    for (size_t i = 0; i < text.size(); ++i) {
        // 五 and 笔 keep the player thinking.
        Sleep(text[i] == L'五' || text[i] == L'笔' ? 1800 + next(600) : 650 + next(500));
        // 巧 and 越 typed as a look-alike first, erased and typed again;
        // 拆 left wrong.
        const wchar_t wrong = i == 3 ? L'功' : i == 17 ? L'赵' : i == 32 ? L'折' : 0;
        if (wrong) {
            TypeText(std::wstring(1, wrong));
            if (i == 32) continue;
            Sleep(500 + next(300));
            PressKey(VK_BACK);
            Sleep(300);
        }
        TypeText(std::wstring(1, text[i]));
    }
    Sleep(500);
    PressCtrl(main, 'T');
    Sleep(1500);
    DeleteFileW(sample.c_str());
    return true;
}

// The stored code-mode choice, put back after the scene.
class StoredCodeMode {
public:
    StoredCodeMode()
        : path_(std::wstring(L"Software\\") + quorlax::kProductName + L"\\" + quorlax::kChoicesSection) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return;
        wchar_t value[16] = {};
        DWORD bytes = sizeof value - sizeof(wchar_t), type = 0;
        had_ = RegQueryValueExW(key, quorlax::kCodeModeKey, nullptr, &type, reinterpret_cast<BYTE*>(value),
                                &bytes) == ERROR_SUCCESS &&
               type == REG_SZ;
        value_ = value;
        RegCloseKey(key);
    }
    ~StoredCodeMode() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        if (had_)
            RegSetValueExW(key, quorlax::kCodeModeKey, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value_.c_str()),
                           static_cast<DWORD>((value_.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, quorlax::kCodeModeKey);
        RegCloseKey(key);
    }
    StoredCodeMode(const StoredCodeMode&) = delete;
    StoredCodeMode& operator=(const StoredCodeMode&) = delete;

private:
    std::wstring path_;
    bool had_ = false;
    std::wstring value_;
};

// The text of the code-mode scene.
constexpr wchar_t kCodeSample[] =
    L"常言道画鬼容易画人难。五笔也是这样：常用字天天打，越打越快；生字要先拆成字根，再按书写顺序取码。";

// Typing by code with no input method (设置 › 五笔编码输入, Ctrl+W), the
// chart shown: four characters typed by their codes (常 ipkh, 言 yyyy,
// 道 uthp, 画 by its short code gl and Space), then 鬼 begun with r and
// w pressed where q is due.
bool CodeModeScene(HWND main) {
    StoredCodeMode stored;
    PressCtrl(main, 'W');
    Sleep(500);
    const std::wstring sample = WriteText(L"code_sample.txt", kCodeSample);
    if (!OpenSample(main, sample)) return false;
    ClickChartLink(main);
    Sleep(500);
    SetForegroundWindow(main);
    for (wchar_t key : std::wstring_view(L"ipkhyyyyuthpgl rw")) {
        TypeText(std::wstring(1, key));
        Sleep(120);
    }
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
    } else if (mode == L"card") {
        if (!CardScene(main)) return 1;
    } else if (mode == L"code") {
        if (!CodeModeScene(main)) return 1;
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
