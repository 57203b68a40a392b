// Loading a picture file into a bitmap of its natural size.
#include "platform/pictures_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "platform/handles_win.h"
#include "platform/non_copyable.h"

namespace quorlax::win {
namespace {

constexpr int kHimetricPerInch = 2540;
constexpr size_t kMaxPathChars = 32767;

// Releases a COM interface on scope exit.
template <class T>
class ComPtr : NonCopyable {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace

std::shared_ptr<Image> OlePictures::Load(std::wstring_view path) {
    if (path.empty() || path.size() > kMaxPathChars) return nullptr;
    std::wstring file(path);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    // COM is started on the first picture, not at every start-up: under
    // Wine it costs as much as the rest of the start-up together.
    if (!com_) com_ = std::make_unique<ComScope>();
    static const auto load_picture =
        LazyFunction<decltype(&OleLoadPicturePath)>(L"oleaut32.dll", "OleLoadPicturePath");
    ComPtr<IPicture> picture;
    if (!load_picture ||
        FAILED(load_picture(file.data(), nullptr, 0, 0, IID_IPicture,
                            reinterpret_cast<void**>(picture.Out()))) ||
        !picture)
        return nullptr;
    OLE_XSIZE_HIMETRIC hw = 0;
    OLE_YSIZE_HIMETRIC hh = 0;
    picture->get_Width(&hw);
    picture->get_Height(&hh);
    WindowDc screen(nullptr);
    int width = MulDiv(hw, GetDeviceCaps(screen.get(), LOGPIXELSX), kHimetricPerInch);
    int height = MulDiv(hh, GetDeviceCaps(screen.get(), LOGPIXELSY), kHimetricPerInch);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueMemDc mem(CreateCompatibleDC(screen.get()));
    if (!bitmap || !mem) return nullptr;
    HRESULT hr;
    {
        SelectGuard select(mem.get(), bitmap.get());
        // IPicture draws upside down in HIMETRIC: start at the top edge.
        hr = picture->Render(mem.get(), 0, 0, width, height, 0, hh, hw, -hh, nullptr);
    }
    if (FAILED(hr)) return nullptr;
    return std::make_shared<BitmapImage>(bitmap.release(), width, height);
}

}  // namespace quorlax::win
