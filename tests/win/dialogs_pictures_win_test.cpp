// The common dialogs with their titles, and loading background pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/dialogs_win.h"
#include "platform/pictures_win.h"
#include "drive/drive_win.h"

namespace quorlax::win {
namespace {

// What the timer saw of the dialog, and how it answered.
struct DialogProbe {
    std::wstring title;
    WPARAM answer = IDOK;
};
DialogProbe* g_probe = nullptr;

BOOL CALLBACK FindDialog(HWND h, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
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
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(f);
        written_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (auto& p : written_) DeleteFileW(p.c_str());
    }
    // A 24-bit BMP of one colour.
    static std::string Bmp(int w, int h, BYTE r, BYTE g, BYTE b) {
        int row = (w * 3 + 3) & ~3;
        std::string data(static_cast<size_t>(row) * h, '\0');
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                data[static_cast<size_t>(y * row + x * 3)] = static_cast<char>(b);
                data[static_cast<size_t>(y * row + x * 3 + 1)] = static_cast<char>(g);
                data[static_cast<size_t>(y * row + x * 3 + 2)] = static_cast<char>(r);
            }
        BITMAPFILEHEADER fh{};
        BITMAPINFOHEADER ih{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = static_cast<DWORD>(fh.bfOffBits + data.size());
        ih.biSize = sizeof ih;
        ih.biWidth = w;
        ih.biHeight = h;
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        ih.biSizeImage = static_cast<DWORD>(data.size());
        return std::string(reinterpret_cast<const char*>(&fh), sizeof fh) +
               std::string(reinterpret_cast<const char*>(&ih), sizeof ih) + data;
    }
    ComScope com_;
    OlePictures pictures_;
    std::wstring folder_;
    std::vector<std::wstring> written_;
};

TEST_F(PicturesTest, ABitmapLoadsAtItsNaturalSizeWithItsColours) {
    auto image = pictures_.Load(Write(L"quorlax_red.bmp", Bmp(40, 30, 255, 0, 0)));
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

// A 16 x 12 JPEG of pure green, made with ImageMagick.
const char kGreenJpeg[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x03\x02\x02\x03\x02\x02\x03\x03\x03\x03\x04\x03\x03\x04\x05\x08\x05\x05\x04\x04\x05\x0a\x07"
    "\x07\x06\x08\x0c\x0a\x0c\x0c\x0b\x0a\x0b\x0b\x0d\x0e\x12\x10\x0d\x0e\x11\x0e\x0b\x0b\x10\x16\x10"
    "\x11\x13\x14\x15\x15\x15\x0c\x0f\x17\x18\x16\x14\x18\x12\x14\x15\x14\xff\xdb\x00\x43\x01\x03\x04"
    "\x04\x05\x04\x05\x09\x05\x05\x09\x14\x0d\x0b\x0d\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\xff\xc0\x00\x11\x08\x00\x0c\x00\x10\x03"
    "\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x06\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\xff\xc4\x00\x16\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x08\x09\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\xbb\x43\xec\xe2\x00\x00"
    "\x1f\xff\xd9";

TEST_F(PicturesTest, AJpegLoadsToo) {
    auto image = pictures_.Load(Write(L"quorlax_green.jpg", std::string(kGreenJpeg, sizeof kGreenJpeg - 1)));
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
    auto cut = pictures_.Load(Write(L"quorlax_cut.bmp", Bmp(40, 30, 0, 0, 255).substr(0, 60)));
    if (cut) {
        EXPECT_GT(cut->Width(), 0);
    }
}

}  // namespace
}  // namespace quorlax::win
