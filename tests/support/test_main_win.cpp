// The main of the Win32 test programs. They write the game's own registry
// keys (the hall of fame, the appearance), so they run only inside the
// private Wine prefix made for them, never on a player's Windows or in
// another prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool InTestPrefix() {
    wchar_t text[8] = {};
    DWORD bytes = sizeof text;
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\QuorlaxTests", L"PrivatePrefix", RRF_RT_REG_SZ,
                        nullptr, text, &bytes) == ERROR_SUCCESS &&
           text[0] == L'1';
}

}  // namespace

int main(int argc, char** argv) {
    if (!UnderWine() || !InTestPrefix()) {
        std::fprintf(stderr,
                     "These tests change HKEY_CURRENT_USER\\Software\\Quorlax and refuse to run here.\n"
                     "Run them with `make test`, which gives them a private Wine prefix "
                     "(tools/wine-prefix.sh PREFIX test).\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
