// `make bench`, the battle: two real boards in this process battle over
// 127.0.0.1 through their real links and message loop. A hit on one board
// to the other board's floor line moved and painted; a closed peer found by
// the heartbeat; a 10 MiB flood of garbage against a board playing a game.
#include <windows.h>
#include <winsock2.h>
// The process memory API needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "forms/main_window_ids_win.h"
#include "app/main_window_win.h"
#include "net/battle_link_win.h"
#include "platform/message_loop_win.h"

using namespace quorlax;

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Max(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

// Message boxes noted, not shown: nobody is there to close them.
struct NotedMessages final : IMessageBox {
    void Show(std::wstring_view text) override { shown.emplace_back(text); }
    std::vector<std::wstring> shown;
};

// One side of the battle: a main window with its own link, on the shared services.
struct Side {
    Side(Services& base, PracticeFiles files)
        : services{base.random, messages, base.files,   base.settings, base.sound,
                   link,        base.dialogs, base.pictures, base.shell, base.folders, base.clock},
          window(GetModuleHandleW(nullptr), services, files) {}
    bool Create() {
        if (!window.Create()) return false;
        link.Attach(window.Handle(), win::kBattleReadTimerId, window.Chain(),
                    [this] { window.AfterEvent(); });
        return true;
    }
    Program& form() { return window.Form(); }
    BattleRoom& room() { return window.Form().battle; }
    bool Told(const wchar_t* text) const {
        return std::count(messages.shown.begin(), messages.shown.end(), std::wstring(text)) > 0;
    }

    NotedMessages messages;
    win::BattleLinkWin link;  // goes after the window
    Services services;
    win::MainWindow window;
};

// Runs the program's message loop until `done`, for at most `seconds`.
bool PumpUntil(const std::function<bool()>& done, double seconds) {
    const double end = Now() + seconds;
    while (!done()) {
        if (Now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
        win::MessageLoop::Instance().Pump(std::chrono::milliseconds(0));
    }
    return true;
}

void Join(Side& joiner) {
    joiner.room().OnJoinOption();
    joiner.room().addressBox.SetText(L"127.0.0.1");
    joiner.room().OnConnect();
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return m;
}

double KiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1024; }

// A raw peer joins `board` (hosting), says "ljcg" and sends 10 MiB of bytes
// no message contains, a 64 KiB chunk every `pace_ms` (0: as fast as it
// goes); the board's fall ticks and memory are watched meanwhile.
void Flood(Side& board, double pace_ms) {
    constexpr size_t kFlood = 10u << 20;
    std::string chunk(64 * 1024, '\0');
    std::mt19937 random(1);
    for (char& c : chunk) c = static_cast<char>(0x80 | (random() & 0x7F));
    std::atomic<bool> go{false}, done{false};
    std::thread flooder([&] {
        win::UniqueSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(kBattlePort);
        if (connect(s.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return;
        send(s.get(), "ljcg", 4, 0);
        while (!go) Sleep(1);
        const double start = Now();
        for (size_t sent = 0, n = 0; sent < kFlood; ++n) {
            while (Now() < start + n * pace_ms / 1000) Sleep(1);
            int k = send(s.get(), chunk.data(), static_cast<int>(std::min(chunk.size(), kFlood - sent)), 0);
            if (k <= 0) break;
            sent += static_cast<size_t>(k);
        }
        while (!done) Sleep(5);
    });
    const bool connected = PumpUntil([&] { return board.room().startButton.Enabled; }, 10);
    std::vector<double> ticks;
    auto tick = board.form().game.fallTimer.Tick;
    board.form().game.fallTimer.Tick = [&] {
        ticks.push_back(Now());
        tick();
    };
    PumpUntil([] { return false; }, 0.5);
    const auto memory_before = Memory();
    const std::uint64_t read_before = board.link.BytesRead();
    const std::uint64_t put_off_before = board.link.ReadsPutOff();
    const double flood_start = Now();
    go = true;
    const bool all_read =
        connected && PumpUntil([&] { return board.link.BytesRead() - read_before >= kFlood; }, 60);
    const double flood_end = Now();
    const auto memory_after = Memory();
    done = true;
    flooder.join();
    PumpUntil([] { return false; }, 0.4);  // the tick after the flood closes the last gap
    board.form().game.fallTimer.Tick = tick;
    std::vector<double> gaps;
    for (size_t i = 1; i < ticks.size(); ++i)
        if (ticks[i] >= flood_start && ticks[i - 1] <= flood_end)
            gaps.push_back((ticks[i] - ticks[i - 1]) * 1000);
    std::printf(
        "battle_flood_%s: %s 10 MiB of garbage read in %.0f ms, %llu reads put off for ticks or paints; "
        "tick gaps over it %zu, median %.0f, max %.0f ms at interval %d (goal: on time); working set %.0f -> "
        "%.0f KiB, peak %.0f KiB (goal flat)\n",
        pace_ms > 0 ? "paced" : "full_speed", all_read ? "all" : "NOT all", (flood_end - flood_start) * 1000,
        static_cast<unsigned long long>(board.link.ReadsPutOff() - put_off_before), gaps.size(), Median(gaps),
        Max(gaps), board.form().game.fallTimer.Interval(), KiB(memory_before.WorkingSetSize),
        KiB(memory_after.WorkingSetSize), KiB(memory_after.PeakWorkingSetSize));
}

}  // namespace

void BenchBattle(Services& base, PracticeFiles files) {
    auto host = std::make_unique<Side>(base, files);
    auto joiner = std::make_unique<Side>(base, files);
    if (!host->Create() || !joiner->Create()) {
        std::printf("battle: the boards could not be created\n");
        return;
    }
    host->room().OnOpenPanel();
    host->room().OnConnect();
    joiner->room().OnOpenPanel();
    Join(*joiner);
    if (!PumpUntil([&] { return host->room().startButton.Enabled; }, 10)) {
        std::printf("battle: no connection on 127.0.0.1:%d (port in use?)\n", kBattlePort);
        return;
    }
    host->room().englishOption.Click();
    host->room().OnStart();
    PumpUntil([&] { return joiner->form().game.englishGameItem.Checked; }, 5);
    joiner->form().game.OnUnlimitedLives();  // the raised floor costs lives; the game must go on

    // 1. A shot lands on the host's board; the joiner's floor line moves up.
    std::vector<double> hit_ms, landing_ms;
    for (int round = 0; round < 50; ++round) {
        Program& form = host->form();
        joiner->form().game.floorLine.Top = kFloorRest;
        joiner->window.AfterEvent();
        form.game.fallingLabels(3).Top = 5000;  // the next shot tick reaches it
        form.game.fallingLabels(3).SetCaption(L"ab");
        form.game.typingBox.SetText(L"ab");  // typed: the shot is on its way
        const float before = joiner->form().game.floorLine.Top;
        const double t0 = Now();
        SendMessageW(host->window.Handle(), WM_TIMER, 6, 0);  // the shot timer: the landing, "jia200" sent
        landing_ms.push_back((Now() - t0) * 1000);
        // The socket event runs the room and repaints the board in one message.
        if (PumpUntil([&] { return joiner->form().game.floorLine.Top != before; }, 2))
            hit_ms.push_back((Now() - t0) * 1000);
    }
    std::printf(
        "battle_hit_to_floor_painted_ms: median %.1f, max %.1f over %zu hits on loopback, of which the "
        "landing "
        "board's own tick and repaint median %.1f (goal median <= 30)\n",
        Median(hit_ms), Max(hit_ms), hit_ms.size(), Median(landing_ms));

    // 2. The joiner closes (断开); the host's heartbeat finds out.
    std::vector<double> detect_ms;
    for (int round = 0; round < 6; ++round) {
        host->messages.shown.clear();
        // Closes at different points of the heartbeat's second.
        PumpUntil([] { return false; }, 0.2 * round);
        const double t0 = Now();
        joiner->room().OnDisconnect();
        if (PumpUntil([&] { return host->Told(kBattleLost); }, 3)) detect_ms.push_back((Now() - t0) * 1000);
        // Both sides back to choosing, then connected again.
        PumpUntil([&] { return joiner->Told(kBattleLost); }, 3);
        joiner->messages.shown.clear();
        host->room().OnDisconnect();
        host->room().OnConnect();
        joiner->room().OnConnect();
        if (!PumpUntil([&] { return host->room().startButton.Enabled; }, 10)) break;
    }
    std::printf("battle_closed_peer_told_ms: median %.0f, max %.0f over %zu closes (goal <= 1200)\n",
                Median(detect_ms), Max(detect_ms), detect_ms.size());

    // 3. Floods of garbage from a raw peer while the host plays at 十速: one
    // as fast as loopback takes it, one paced at about 10 MB/s (a fast LAN).
    joiner->room().OnLeave();
    PumpUntil([&] { return host->Told(kBattleLost); }, 3);
    host->form().game.OnSpeed(10);
    host->form().game.StartGame(GamePool::English);
    host->form().game.OnUnlimitedLives();
    for (double pace_ms : {0.0, 6.0}) {
        host->room().OnDisconnect();
        host->room().OnConnect();
        Flood(*host, pace_ms);
        host->room().OnDisconnect();
        PumpUntil([] { return false; }, 0.3);
    }
    host->room().OnLeave();
    joiner.reset();
    host.reset();
}
