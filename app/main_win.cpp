// The program's entry: one copy at a time, the main window, the message loop.
#include <windows.h>

#include "app/program.h"
#include "forms/main_window_ids_win.h"
#include "app/main_window_win.h"
#include "net/battle_link_win.h"
#include "platform/barrier_win.h"
#include "platform/dialogs_win.h"
#include "platform/handles_win.h"
#include "platform/message_loop_win.h"
#include "platform/pictures_win.h"
#include "platform/product.h"
#include "platform/random.h"
#include "platform/services_win.h"
#include "practice/record_file_win.h"
#include "settings/shell_win.h"
#include "skin/skin_error_win.h"

namespace {

// Named for the program, so a second copy finds the first one.
constexpr wchar_t kInstanceMutex[] = L"Quorlax.SingleInstance";
constexpr wchar_t kAlreadyRunning[] = L"程序已运行";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quorlax;
    win::UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, kAlreadyRunning, kProductName, MB_OK | MB_SETFOREGROUND);
        return 0;
    }

    const std::wstring folder = win::ProgramFolder();
    SeededRandom random(win::SecondsSinceMidnight());
    win::MessageBoxService messages;
    win::DataFilesWin files(folder);
    win::RegistrySettings settings(kProductName);
    win::MciSound sound(folder + L"\\hit.wav");
    win::BattleLinkWin battle;  // outlives the window: it closes the connection last
    win::CommonDialogs dialogs;
    win::OlePictures pictures;
    win::ShellService shell(folder);
    win::FolderService folders;
    win::RecordFileWin history(kHistoryFiles);
    win::RecordFileWin chars(kCharRecordFiles);
    win::RecordFileWin keys(kKeyRecordFiles);
    win::TickClock clock;
    Services services{random, messages, files, settings, sound, battle, dialogs, pictures, shell, folders, clock};

    win::MainWindow window(instance, services, PracticeFiles{history, chars, keys});
    // Faults are told from the start: the window's load runs before the loop.
    win::SetFaultSink([&window](const std::wstring& text) {
        MessageBoxW(window.Handle(), text.c_str(), kProductName, MB_OK | MB_ICONERROR);
    });
    // The skin's own barriers report to the program's.
    skin::SetFailureHook([](const std::wstring& what) { win::ReportFault(L"skin", what); });
    // Start-up runs outside any window procedure: it gets a barrier of its own.
    if (!win::Guarded(L"start-up", false, [&window] { return window.Create(); })) return 1;
    battle.Attach(window.Handle(), win::kBattleReadTimerId, window.Chain(),
                  [&window] { window.AfterEvent(); });
    messages.SetOwner(window.Handle());
    dialogs.SetOwner(window.Handle());
    shell.SetOwner(window.Handle());
    return win::MessageLoop::Instance().Run();
}
