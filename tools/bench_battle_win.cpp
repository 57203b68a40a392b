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

// A board: a main window with its own link, on the shared services.
struct Board {
    explicit Board(Services& base)
        : services{base.random, messages, base.files,   base.settings,
                   base.sound,  link,     base.dialogs, base.pictures},
          window(GetModuleHandleW(nullptr), services) {}
    bool Create() {
        if (!window.Create()) return false;
        link.Attach(window.Handle(), window.Chain(), [this] { window.AfterEvent(); });
        return true;
    }
    Form1& form() { return window.Form(); }
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

void Join(Board& joiner) {
    joiner.room().Option2_Click();
    joiner.room().Text7.SetText(L"127.0.0.1");
    joiner.room().Command1_Click();
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m.PrivateUsage;
}

}  // namespace

void BenchBattle(Services& base) {
    auto host = std::make_unique<Board>(base);
    auto joiner = std::make_unique<Board>(base);
    if (!host->Create() || !joiner->Create()) {
        std::printf("battle: the boards could not be created\n");
        return;
    }
    host->room().wldz_Click();
    host->room().Command1_Click();
    joiner->room().wldz_Click();
    Join(*joiner);
    if (!PumpUntil([&] { return host->room().Command4.Enabled; }, 10)) {
        std::printf("battle: no connection on 127.0.0.1:%d (port in use?)\n", kBattlePort);
        return;
    }
    host->room().Option4.Click();
    host->room().Command4_Click();
    PumpUntil([&] { return joiner->form().yw1.Checked; }, 5);
    joiner->form().wx1_Click();  // the raised floor costs lives; the game must go on

    // 1. A shot lands on the host's board; the joiner's floor line moves up.
    std::vector<double> hit_ms;
    for (int round = 0; round < 50; ++round) {
        Form1& form = host->form();
        joiner->form().Image1.Top = kFloorRest;
        joiner->window.AfterEvent();
        form.Label(3).Top = 5000;  // the next shot tick reaches it
        form.Label(3).SetCaption(L"ab");
        form.hitIndex = 3;
        form.hitLength = 2;
        form.Timer6.SetEnabled(true);
        const float before = joiner->form().Image1.Top;
        const double t0 = Now();
        SendMessageW(host->window.Handle(), WM_TIMER, 6, 0);  // Timer6: the landing, "jia200" sent
        // The socket event runs the room and repaints the board in one message.
        if (PumpUntil([&] { return joiner->form().Image1.Top != before; }, 2))
            hit_ms.push_back((Now() - t0) * 1000);
    }
    std::printf(
        "battle_hit_to_floor_painted_ms: median %.1f, max %.1f over %zu hits on loopback (goal median <= "
        "30)\n",
        Median(hit_ms), Max(hit_ms), hit_ms.size());

    // 2. The joiner closes (断开); the host's heartbeat finds out.
    std::vector<double> detect_ms;
    for (int round = 0; round < 5; ++round) {
        host->messages.shown.clear();
        const double t0 = Now();
        joiner->room().Command3_Click();
        if (PumpUntil([&] { return host->Told(kBattleLost); }, 3)) detect_ms.push_back((Now() - t0) * 1000);
        // Both sides back to choosing, then connected again.
        PumpUntil([&] { return joiner->Told(kBattleLost); }, 3);
        joiner->messages.shown.clear();
        host->room().Command3_Click();
        host->room().Command1_Click();
        joiner->room().Command1_Click();
        if (!PumpUntil([&] { return host->room().Command4.Enabled; }, 10)) break;
    }
    std::printf("battle_closed_peer_told_ms: median %.0f, max %.0f over %zu closes (goal <= 1200)\n",
                Median(detect_ms), Max(detect_ms), detect_ms.size());

    // 3. A flood of garbage from a raw peer while the host plays at 十速.
    joiner->room().Command2_Click();
    PumpUntil([&] { return host->Told(kBattleLost); }, 3);
    host->room().Command3_Click();
    host->room().Command1_Click();
    constexpr size_t kFlood = 10u << 20;
    std::string chunk(64 * 1024, '\0');
    std::mt19937 random(5238);
    for (char& c : chunk) c = static_cast<char>(0x80 | (random() & 0x7F));  // no message has such bytes
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
        for (size_t sent = 0; sent < kFlood;) {
            int n = send(s.get(), chunk.data(), static_cast<int>(std::min(chunk.size(), kFlood - sent)), 0);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        while (!done) Sleep(5);
    });
    const bool connected = PumpUntil([&] { return host->room().Command4.Enabled; }, 10);
    host->form().sd_Click(10);
    host->form().yw1_Click();
    host->form().wx1_Click();
    std::vector<double> ticks;
    auto tick = host->form().Timer1.Tick;
    host->form().Timer1.Tick = [&] {
        ticks.push_back(Now());
        tick();
    };
    PumpUntil([] { return false; }, 1.0);
    const SIZE_T memory_before = PrivateBytes();
    const std::uint64_t read_before = host->link.BytesRead();
    const double flood_start = Now();
    go = true;
    const bool all_read =
        connected && PumpUntil([&] { return host->link.BytesRead() - read_before >= kFlood; }, 60);
    const double flood_end = Now();
    const SIZE_T memory_after = PrivateBytes();
    done = true;
    flooder.join();
    std::vector<double> gaps;
    for (size_t i = 1; i < ticks.size(); ++i)
        if (ticks[i] >= flood_start && ticks[i - 1] <= flood_end)
            gaps.push_back((ticks[i] - ticks[i - 1]) * 1000);
    host->form().Timer1.Tick = tick;
    std::printf(
        "battle_flood: %s 10 MiB of garbage read in %.0f ms; fall ticks during it %zu, gap median %.0f ms, "
        "max "
        "%.0f ms at interval %d (goal: on time); private bytes %+.0f KiB (goal flat)\n",
        all_read ? "all" : "NOT all", (flood_end - flood_start) * 1000, gaps.size(), Median(gaps), Max(gaps),
        host->form().Timer1.Interval(),
        (static_cast<double>(memory_after) - static_cast<double>(memory_before)) / 1024);
    host->room().Command2_Click();
    joiner.reset();
    host.reset();
}
