// The common dialogs with their titles, and loading background pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "drive/drive_win.h"
#include "platform/dialogs_win.h"
#include "platform/pictures_win.h"
#include "support/sample_pictures_win.h"

namespace quorlax::win {
namespace {

// What the timer saw of the dialog, and how it answered.
struct DialogProbe {
    std::wstring title;
    WPARAM answer = IDOK;
};
DialogProbe* g_probe = nullptr;

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = drive::FindShownThreadWindow(L"#32770");
    if (!dialog) return;
    KillTimer(nullptr, id);
    g_probe->title = drive::WindowText(dialog);
    PostMessageW(dialog, WM_COMMAND, g_probe->answer, 0);
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { g_probe = &probe; }
    void Arm(WPARAM answer) {
        probe.answer = answer;
        SetTimer(nullptr, 0, 100, AnswerDialog);  // runs inside the dialog's own loop
    }
    DialogProbe probe;
    CommonDialogs dialogs;
};

TEST_F(DialogsTest, ColourDialogCarriesItsTitleAndReturnsTheChoice) {
    Arm(IDOK);
    auto color = dialogs.PickColor(L"Background...", 0x000000FF);
    EXPECT_EQ(probe.title, L"Background...");
    ASSERT_TRUE(color.has_value());
    EXPECT_EQ(*color, 0x000000FFu);
}

TEST_F(DialogsTest, CancelIsNoChoice) {
    Arm(IDCANCEL);
    EXPECT_FALSE(dialogs.PickColor(L"Background...", 0x00FF8000).has_value());
    Arm(IDCANCEL);
    EXPECT_FALSE(dialogs.PickFont(L"字体", Font{L"宋体", 12}).has_value());
}

TEST_F(DialogsTest, FontDialogCarriesItsTitleAndReturnsTheFace) {
    Arm(IDOK);
    auto face = dialogs.PickFont(L"字体", Font{L"Tahoma", 12});
    EXPECT_EQ(probe.title, L"字体");
    ASSERT_TRUE(face.has_value());
    EXPECT_FALSE(face->empty());
}

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        folder_ = tmp;
    }
    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        std::wstring path = folder_ + name;
        test::WriteBytes(path, bytes);
        written_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (auto& p : written_) DeleteFileW(p.c_str());
    }
    ComScope com_;
    OlePictures pictures_;
    std::wstring folder_;
    std::vector<std::wstring> written_;
};

TEST_F(PicturesTest, ABitmapLoadsAtItsNaturalSizeWithItsColours) {
    auto image = pictures_.Load(Write(L"quorlax_red.bmp", test::Bmp(40, 30, RGB(255, 0, 0))));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 40);
    EXPECT_EQ(image->Height(), 30);
    auto* bitmap = dynamic_cast<BitmapImage*>(image.get());
    ASSERT_NE(bitmap, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap->Bitmap());
    EXPECT_EQ(GetPixel(mem, 5, 5), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);
}

TEST_F(PicturesTest, AJpegLoadsToo) {
    auto image = pictures_.Load(
        Write(L"quorlax_green.jpg", std::string(test::kGreenJpeg, sizeof test::kGreenJpeg - 1)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 16);
    EXPECT_EQ(image->Height(), 12);
    auto* bitmap = dynamic_cast<BitmapImage*>(image.get());
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap->Bitmap());
    COLORREF c = GetPixel(mem, 8, 6);
    SelectObject(mem, old);
    DeleteDC(mem);
    EXPECT_LT(GetRValue(c), 30);
    EXPECT_GT(GetGValue(c), 220);
    EXPECT_LT(GetBValue(c), 30);
}

TEST_F(PicturesTest, MissingEmptyOrBrokenFilesGiveNoPicture) {
    EXPECT_EQ(pictures_.Load(folder_ + L"no_such_picture.jpg"), nullptr);
    EXPECT_EQ(pictures_.Load(L""), nullptr);
    EXPECT_EQ(pictures_.Load(Write(L"quorlax_text.bmp", "this is not a picture")), nullptr);
    // A cut-off bitmap may load partly or not at all, but never crashes.
    auto cut = pictures_.Load(Write(L"quorlax_cut.bmp", test::Bmp(40, 30, RGB(0, 0, 255)).substr(0, 60)));
    if (cut) {
        EXPECT_GT(cut->Width(), 0);
    }
}

}  // namespace
}  // namespace quorlax::win
