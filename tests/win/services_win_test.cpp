// The Win32 services against the real platform: registry, files, sound.
#include "platform/services_win.h"

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <sddl.h>
#include <windows.h>

#include <string>

#include "app/program.h"
#include "platform/lazy_dll_win.h"

namespace quorlax::win {
namespace {

// A registry application name of this test's own, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuorlaxTest"); }
    RegistrySettings store{L"QuorlaxTest"};
};

TEST_F(RegistryTest, AbsentKeysReadAsEmpty) {
    EXPECT_EQ(store.Get(L"register", L"ys1"), L"");
    EXPECT_EQ(store.Get(L"nosuchsection", L"x"), L"");
}

TEST_F(RegistryTest, ValuesRoundTripIncludingChineseAndSurviveANewStore) {
    store.Save(L"123", L"m1", L"张三丰");
    store.Save(L"register", L"ys1", L"16744448");
    store.Save(L"register", L"ys1", L"255");
    RegistrySettings again(L"QuorlaxTest");
    EXPECT_EQ(again.Get(L"123", L"m1"), L"张三丰");
    EXPECT_EQ(again.Get(L"register", L"ys1"), L"255");
    EXPECT_EQ(again.Get(L"123", L"ys1"), L"") << "sections are separate";
}

TEST_F(RegistryTest, ValuesLiveUnderSoftwareApplicationSection) {
    store.Save(L"register", L"wzzt", L"黑体");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuorlaxTest\\register", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t buf[32] = {};
    DWORD type = 0, bytes = sizeof buf;
    EXPECT_EQ(RegQueryValueExW(key, L"wzzt", nullptr, &type, reinterpret_cast<BYTE*>(buf), &bytes),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buf, L"黑体");
}

TEST_F(RegistryTest, AHandEditedNonTextValueReadsAsEmpty) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuorlaxTest\\register", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD value = 255;
    RegSetValueExW(key, L"ys1", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
    // A string stored without its terminating NUL still reads whole.
    const wchar_t raw[] = {L'1', L'2', L'3'};
    RegSetValueExW(key, L"wz1", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
    RegCloseKey(key);
    EXPECT_EQ(store.Get(L"register", L"ys1"), L"");
    EXPECT_EQ(store.Get(L"register", L"wz1"), L"123");
}

TEST_F(RegistryTest, AWriteTheKeyRefusesSaysSoAndStoresNothing) {
    // The section's key lets everyone read and nobody write, as a policy may.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuorlaxTest\\123", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR read_only = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                     &read_only, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, read_only), ERROR_SUCCESS);
    LocalFree(read_only);
    HKEY probe = nullptr;
    const bool enforced = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuorlaxTest\\123", 0, KEY_SET_VALUE,
                                        &probe) == ERROR_ACCESS_DENIED;
    if (probe) RegCloseKey(probe);

    const bool stored = store.Save(L"123", L"f1", L"1234");
    const std::wstring read = store.Get(L"123", L"f1");
    EXPECT_TRUE(store.Save(L"register", L"ys1", L"255")) << "other sections still take writes";

    SECURITY_DESCRIPTOR open{};  // a null DACL, so that TearDown can remove the key
    InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &open);
    RegCloseKey(key);
    if (!enforced) GTEST_SKIP() << "this Wine does not enforce a key's security";
    EXPECT_FALSE(stored);
    EXPECT_EQ(read, L"");
}

class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        folder_ = std::wstring(tmp) + L"quorlax_data_test";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        DeleteFileW((folder_ + L"\\vbyx.dll").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    void Write(const std::string& bytes) {
        HANDLE f = CreateFileW((folder_ + L"\\vbyx.dll").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                               nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(f);
    }
    std::wstring folder_;
};

TEST_F(DataFilesTest, ReadsGbkWhateverTheAnsiCodePage) {
    Write(" \xD6\xD0\xB9\xFA \xC8\xCB\xC3\xF1\r\n \xCE\xD2\r\n");  // " 中国 人民" / " 我"
    DataFilesWin files(folder_);
    DataFile f = files.Read(L"vbyx.dll");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.text, L" 中国 人民\r\n 我\r\n");
}

TEST_F(DataFilesTest, EmptyFileIsAnEmptyText) {
    Write("");
    DataFilesWin files(folder_);
    DataFile f = files.Read(L"vbyx.dll");
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.text, L"");
}

TEST_F(DataFilesTest, MissingFileSaysWhereItWasLookedFor) {
    DataFilesWin files(folder_);
    DataFile f = files.Read(L"vbcx.dll");
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.folder, folder_);
}

TEST(ProgramFolderTest, IsTheFolderOfTheRunningExe) {
    std::wstring folder = ProgramFolder();
    EXPECT_NE(GetFileAttributesW((folder + L"\\vbyx.dll").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the build copies the data files beside the programs";
}

TEST(SoundTest, AMissingSoundFileIsSilent) {
    MciSound sound(ProgramFolder() + L"\\no-such-sound.wav");
    sound.PlayHit();
    sound.PlayHit();
    EXPECT_NE(sound.LastError(), 0u);
    EXPECT_FALSE(sound.Playable());
}

TEST(SoundTest, PlayingTheHitNeverWaitsForTheSoundToEnd) {
    // hit.wav lasts 300 ms: a hit that returns while MCI still reports the
    // sound playing has not waited for its end. Only a real sound device
    // can show that.
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no wave output device (test prefixes have no audio driver)";
    MciSound sound(ProgramFolder() + L"\\hit.wav");
    sound.PlayHit();  // the first hit opens the device
    if (!sound.Playable())
        GTEST_SKIP() << "the wave device did not open hit.wav, MCI error " << sound.LastError();
    for (int hit = 1; hit <= 3; ++hit) {
        if (hit > 1) sound.PlayHit();  // restarts from the beginning, cutting off the last one
        EXPECT_EQ(sound.LastError(), 0u) << "hit " << hit;
        EXPECT_EQ(sound.Mode(), L"playing") << "hit " << hit << " waited for its sound to end";
    }
}

TEST(SystemLibraryTest, ALibraryPlantedBesideTheProgramIsNeverLoaded) {
    // A loadable image beside the program, under a name the system folder
    // does not have: found there by its bare name, refused by the loader.
    const std::wstring planted = ProgramFolder() + L"\\quorlax_planted_test.dll";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\baseline_window.exe").c_str(), planted.c_str(), FALSE));
    HMODULE bare = LoadLibraryW(L"quorlax_planted_test.dll");
    EXPECT_NE(bare, nullptr) << "a bare name finds the planted copy";
    if (bare) FreeLibrary(bare);
    EXPECT_EQ(SystemLibrary(L"quorlax_planted_test.dll"), nullptr);
    EXPECT_NE(SystemLibrary(L"version.dll"), nullptr) << "a system library is found";
    DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace quorlax::win
