// The painted menu bar.
#include "skin/menu_bar_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "skin/skin_error_win.h"

namespace quorlax::skin {
namespace {

constexpr size_t kTextLimit = 127;    // characters of an item's text that are read
constexpr int kFirstTitleX = 8;       // where the first title starts in the row
constexpr int kTitleGap = 11;         // from one title's text to the next one's
constexpr int kTitleTop = 2;          // text top within the row
constexpr int kFrameMargin = 2;       // frame around a title's text
constexpr long kHoverPollMs = 50;     // how often a hot or pressed title is looked at again
constexpr double kSymbolScale = 1.2;  // check-mark font size to the menu font's
constexpr wchar_t kSymbolFace[] = L"Marlett";
constexpr wchar_t kCheckGlyph[] = L"b";  // Marlett's check mark
constexpr wchar_t kRadioGlyph[] = L"h";  // Marlett's bullet
constexpr wchar_t kOpenTitleMessage[] = L"Quorlax.Skin.OpenMenuTitle";
// Item data of the items this bar draws: a tag and the item's store index.
constexpr ULONG_PTR kItemTag = 0x51A40000u;
constexpr ULONG_PTR kItemTagMask = 0xFFFF0000u;
// Drop-down item layout.
constexpr int kCaptionX = 24;
constexpr int kShortcutGap = 8;
constexpr int kWidthWithoutShortcut = 30;
constexpr int kWidthWithShortcut = 38;
constexpr int kSeparatorHeight = 6;
constexpr int kItemPadding = 8;
constexpr int kSeparatorInset = 8;
constexpr int kCheckLeft = 6;
constexpr int kCheckInset = 4;
constexpr int kHighlightInset = 2;

constexpr UINT kBarMessages[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_DRAWITEM,
                                 WM_MEASUREITEM, WM_MENUCHAR,  WM_SYSCOMMAND};

// The text of an item of a menu, by position.
std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[kTextLimit + 1] = {};
    GetMenuStringW(menu, position, text, static_cast<int>(kTextLimit + 1), MF_BYPOSITION);
    return text;
}

// The upper-cased character after the first "&" that is not the last one; 0 if none.
wchar_t AcceleratorOf(const std::wstring& text) {
    const size_t amp = text.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= text.size()) return 0;
    return static_cast<wchar_t>(std::towupper(text[amp + 1]));
}

bool LeftButtonDown() {
    int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

SIZE TextSize(HDC dc, const std::wstring& text) {
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

cMenuBar::cMenuBar()
    : open_title_message_(RegisterWindowMessageW(kOpenTitleMessage)), alive_(std::make_shared<bool>(true)) {
    MenuFont(menu_font_);
}

cMenuBar::~cMenuBar() { Detach(); }

void cMenuBar::Attach(HWND lhWnd) {
    Detach();
    hwnd_ = lhWnd;
    try {
        tracker_ = std::make_unique<cToolbarMenu>();
        tracker_->Init(lhWnd, this);
        for (UINT msg : kBarMessages) MSubclass::AttachMessage(this, lhWnd, msg);
        MSubclass::AttachMessage(this, lhWnd, open_title_message_);
    } catch (...) {
        Detach();
        throw;
    }
}

void cMenuBar::Detach() {
    if (hwnd_) {
        for (UINT msg : kBarMessages) MSubclass::DetachMessage(this, hwnd_, msg);
        MSubclass::DetachMessage(this, hwnd_, open_title_message_);
    }
    if (m_cTmr) m_cTmr->Interval(0);
    if (tracker_) tracker_->Reset();
    tracker_.reset();
    hwnd_ = nullptr;
    pressed_ = hot_ = 0;
}

void cMenuBar::MenuFont(const StdFont& font) {
    menu_font_ = font;
    HDC screen = GetDC(nullptr);
    item_font_ = CreateSkinFont(font, screen);
    StdFont symbol;
    symbol.Name = kSymbolFace;
    symbol.Size = font.Size * kSymbolScale;
    symbol.Charset = SYMBOL_CHARSET;
    symbol_font_ = CreateSkinFont(symbol, screen);
    ReleaseDC(nullptr, screen);
}

LRESULT cMenuBar::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) {
    return MSubclass::CallOldWindowProc(hwnd_, msg, wParam, lParam);
}

void cMenuBar::Repaint() {
    if (hwnd_) SendMessageW(hwnd_, WM_NCPAINT, 1, 0);
}

void cMenuBar::PressTitle(int n) {
    if (n == pressed_) return;
    pressed_ = n;
    Repaint();
}

void cMenuBar::HotTitle(int n) {
    if (n == hot_) return;
    hot_ = n;
    Repaint();
}

RECT cMenuBar::TitleScreenRect(int n) const {
    RECT r = TitleRect(n);
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    OffsetRect(&r, wr.left, wr.top);
    return r;
}

int cMenuBar::TitleAt(POINT screen) const {
    if (!hwnd_) return 0;
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    return TitleAtWindowPoint(POINT{screen.x - wr.left, screen.y - wr.top});
}

int cMenuBar::TitleAtWindowPoint(POINT p) const {
    for (size_t i = 0; i < titles_.size(); ++i)
        if (PtInRect(&titles_[i].rect, p)) return static_cast<int>(i) + 1;
    return 0;
}

void cMenuBar::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (iMsg) {
        case WM_MOUSEMOVE:
            lResult = CallOld(iMsg, wParam, lParam);
            ClientToScreen(hwnd_, &screen);
            TrackHot(screen);
            return;
        case WM_LBUTTONDOWN: {
            lResult = CallOld(iMsg, wParam, lParam);
            ClientToScreen(hwnd_, &screen);
            const int n = TitleAt(screen);
            if (n > 0 && TitleEnabled(n))
                OpenTitle(n);
            else
                PressTitle(0);
            return;
        }
        case WM_SYSCOMMAND:
            // F10, or Alt pressed and released alone: the first title that
            // is not greyed opens (none if all are).
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && TitleCount() > 0) {
                for (int n = 1; n <= TitleCount(); ++n) {
                    if (!TitleEnabled(n)) continue;
                    OpenTitle(n);
                    break;
                }
                lResult = 0;
                return;
            }
            lResult = CallOld(iMsg, wParam, lParam);
            return;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (mis->CtlType == ODT_MENU && MeasureItem(*mis)) {
                lResult = TRUE;
                return;
            }
            lResult = CallOld(iMsg, wParam, lParam);
            return;
        }
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType == ODT_MENU && DrawItem(*dis)) {
                lResult = TRUE;
                return;
            }
            lResult = CallOld(iMsg, wParam, lParam);
            return;
        }
        case WM_MENUCHAR: lResult = MenuChar(wParam, lParam); return;
        default:
            if (iMsg == open_title_message_) {
                OpenTitle(static_cast<int>(wParam));
                lResult = 0;
            }
            return;
    }
}

void cMenuBar::TrackHot(POINT screen) {
    HotTitle(TitleAt(screen));
    if (!m_cTmr) {
        m_cTmr = std::make_unique<CTimer>();
        m_cTmr->ThatTime = [this] {
            POINT cursor{};
            GetCursorPos(&cursor);
            TrackHot(cursor);
        };
    }
    if (hot_ > 0 || pressed_ > 0) {
        if (pressed_ > 0 && !LeftButtonDown()) PressTitle(0);
        m_cTmr->Interval(kHoverPollMs);
    } else {
        m_cTmr->Interval(0);
    }
}

bool cMenuBar::TitleEnabled(int n) const {
    if (n < 1 || n > TitleCount() || !menu_) return false;
    const UINT state = GetMenuState(menu_, titles_[static_cast<size_t>(n - 1)].position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void cMenuBar::OpenTitle(int n) {
    if (!TitleEnabled(n) || !tracker_ || tracker_->Busy()) return;
    const std::weak_ptr<bool> alive = alive_;
    PressTitle(n);
    if (m_cTmr) m_cTmr->Interval(0);
    tracker_->Loop(n);
    if (alive.expired()) return;
    ExitMenuLoop();
}

bool cMenuBar::AltKeyAccelerator(UINT vKey) {
    if (!menu_ || !hwnd_ || (tracker_ && tracker_->Busy())) return false;
    const int count = GetMenuItemCount(menu_);
    const wchar_t key = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(vKey)));
    for (int p = 0; p < count; ++p) {
        if (AcceleratorOf(ItemText(menu_, static_cast<UINT>(p))) != key) continue;
        HMENU popup = GetSubMenu(menu_, p);
        for (int n = 1; popup && n <= TitleCount(); ++n) {
            if (TitleMenu(n) != popup) continue;
            if (!TitleEnabled(n)) return false;  // a greyed title's letter opens nothing
            // Opened from the message loop, not from inside the keyboard hook.
            PressTitle(n);
            PostMessageW(hwnd_, open_title_message_, static_cast<WPARAM>(n), 0);
            return true;
        }
    }
    return false;
}

void cMenuBar::Render(HFONT hFnt, HDC lhDC, int lLeft, int lTop, int lWidth, int lHeight) {
    titles_.clear();
    if (!menu_ || lWidth <= 0 || lHeight <= 0) return;
    const int count = GetMenuItemCount(menu_);
    if (count <= 0) return;
    buffer_.Width(lWidth);
    buffer_.Height(lHeight);
    HDC dc = buffer_.hdc();
    if (!dc) return;
    SelectGuard font(dc, hFnt);
    // The titles go over the caption artwork that is already there.
    BitBlt(dc, 0, 0, lWidth, lHeight, lhDC, lLeft, lTop + kTitleTop, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF normal = TranslateColor(active_colour_), over = TranslateColor(over_colour_);
    int x = kFirstTitleX;
    for (int p = 0; p < count; ++p) {
        HMENU popup = GetSubMenu(menu_, p);
        if (!popup) continue;  // a plain command is not drawn in the bar
        const std::wstring text = ItemText(menu_, static_cast<UINT>(p));
        const SIZE size = TextSize(dc, text);
        RECT place{x, kTitleTop, x + size.cx, kTitleTop + size.cy};
        RECT frame = place;
        InflateRect(&frame, kFrameMargin, kFrameMargin);
        const int n = TitleCount() + 1;
        const UINT state = GetMenuState(menu_, static_cast<UINT>(p), MF_BYPOSITION);
        const bool greyed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        const bool pressed = !greyed && n == pressed_, hot = !greyed && n == hot_;
        if (pressed && hot) {
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&place, 1, 1);
        } else if (pressed || hot) {
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
        // A greyed title is embossed like a disabled item, with no frame.
        DrawItemText(dc, text, place, DT_SINGLELINE, greyed, pressed || hot ? over : normal);
        OffsetRect(&frame, lLeft, lTop + kTitleTop);
        titles_.push_back({frame, popup, static_cast<UINT>(p)});
        x += size.cx + kTitleGap;
    }
    BitBlt(lhDC, lLeft, lTop + kTitleTop, lWidth, lHeight, dc, 0, 0, SRCCOPY);
}

void cMenuBar::ReadItem(Item& item) {
    wchar_t text[kTextLimit + 1] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(kTextLimit + 1);
    GetMenuItemInfoW(item.menu, item.position, TRUE, &info);
    item.type = info.fType;
    item.id = info.wID;
    item.data = info.dwItemData;
    item.text = text;
    const size_t tab = item.text.find(L'\t');
    item.caption = item.text.substr(0, tab);
    item.shortcut = tab == std::wstring::npos ? L"" : item.text.substr(tab + 1);
    item.accelerator = AcceleratorOf(item.text);
}

void cMenuBar::InitMenuPopup(HMENU popup) {
    if (!popup) return;
    const bool again = std::find(prepared_.begin(), prepared_.end(), popup) != prepared_.end();
    if (!again) prepared_.push_back(popup);
    buffer_.Width(1);  // only its DC is needed here, for measuring
    buffer_.Height(1);
    HDC dc = buffer_.hdc();
    if (!dc) return;
    SelectGuard font(dc, item_font_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    text_height_ = metrics.tmHeight;

    std::vector<size_t> members;
    int widest_caption = 0, widest_shortcut = 0;
    const int count = GetMenuItemCount(popup);
    for (int p = 0; p < count; ++p) {
        const UINT position = static_cast<UINT>(p);
        MENUITEMINFOW now{};
        now.cbSize = sizeof now;
        now.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoW(popup, position, TRUE, &now);
        size_t index = items_.size();
        if (again && (now.fType & MFT_OWNERDRAW) && ItemOf(now.dwItemData, popup)) {
            index = now.dwItemData & ~kItemTagMask;
        } else {
            auto found = std::find_if(items_.begin(), items_.end(), [&](const Item& i) {
                return i.menu == popup && i.position == position;
            });
            if (found == items_.end()) {
                items_.push_back(Item{popup, position, 0, 0, 0, L"", L"", L"", 0, false, 0, 0});
            } else {
                index = static_cast<size_t>(found - items_.begin());
            }
            Item& item = items_[index];
            ReadItem(item);
            item.made_owner_drawn = (item.type & MFT_OWNERDRAW) == 0;
            if (item.made_owner_drawn) {
                MENUITEMINFOW drawn{};
                drawn.cbSize = sizeof drawn;
                drawn.fMask = MIIM_FTYPE | MIIM_DATA;
                drawn.fType = item.type | MFT_OWNERDRAW;
                drawn.dwItemData = kItemTag | index;
                SetMenuItemInfoW(popup, position, TRUE, &drawn);
            }
        }
        const Item& item = items_[index];
        widest_caption = std::max(widest_caption, static_cast<int>(TextSize(dc, item.caption).cx));
        if (!item.shortcut.empty())
            widest_shortcut = std::max(widest_shortcut, static_cast<int>(TextSize(dc, item.shortcut).cx));
        members.push_back(index);
    }
    for (size_t index : members) {
        items_[index].widest_caption = widest_caption;
        items_[index].widest_shortcut = widest_shortcut;
    }
}

void cMenuBar::ExitMenuLoop() {
    for (const Item& item : items_) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        info.fType = item.type;
        info.wID = item.id;
        info.dwItemData = item.data;
        std::wstring text = item.text;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        SetMenuItemInfoW(item.menu, item.position, TRUE, &info);
    }
    items_.clear();
    prepared_.clear();
}

cMenuBar::Item* cMenuBar::ItemOf(ULONG_PTR data, HMENU menu) {
    if ((data & kItemTagMask) != kItemTag) return nullptr;
    const size_t index = data & ~kItemTagMask;
    if (index >= items_.size() || !items_[index].made_owner_drawn) return nullptr;
    if (menu && items_[index].menu != menu) return nullptr;
    return &items_[index];
}

bool cMenuBar::MeasureItem(MEASUREITEMSTRUCT& mis) {
    const Item* item = ItemOf(mis.itemData, nullptr);
    if (!item) return false;
    mis.itemWidth = static_cast<UINT>(item->widest_shortcut > 0
                                          ? item->widest_caption + item->widest_shortcut + kWidthWithShortcut
                                          : item->widest_caption + kWidthWithoutShortcut);
    mis.itemHeight =
        static_cast<UINT>((item->type & MFT_SEPARATOR) ? kSeparatorHeight : text_height_ + kItemPadding);
    return true;
}

void cMenuBar::DrawItemText(HDC dc, const std::wstring& text, RECT r, UINT format, bool disabled,
                            COLORREF colour) {
    if (disabled) {
        // Embossed: a light copy one pixel down-right under the shadow-coloured text.
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, text.c_str(), -1, &shifted, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, colour);
    }
    DrawTextW(dc, text.c_str(), -1, &r, format);
}

bool cMenuBar::DrawItem(const DRAWITEMSTRUCT& dis) {
    const Item* item = ItemOf(dis.itemData, reinterpret_cast<HMENU>(dis.hwndItem));
    if (!item) return false;
    const int w = dis.rcItem.right - dis.rcItem.left, h = dis.rcItem.bottom - dis.rcItem.top;
    buffer_.Width(w);
    buffer_.Height(h);
    HDC dc = buffer_.hdc();
    if (!dc || w <= 0 || h <= 0) return true;
    RECT all{0, 0, w, h};
    UniqueBrush background(CreateSolidBrush(TranslateColor(background_colour_)));
    FillRect(dc, &all, background.get());
    SetBkMode(dc, TRANSPARENT);
    SelectGuard font(dc, item_font_.get());
    if (item->type & MFT_SEPARATOR) {
        RECT band{kSeparatorInset, h / 2 - 1, w - kSeparatorInset, h / 2 + 1};
        DrawEdge(dc, &band, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);
    } else {
        const bool highlighted = (dis.itemState & ODS_SELECTED) != 0;
        const bool disabled = (dis.itemState & ODS_GRAYED) != 0;
        const COLORREF colour = TranslateColor(highlighted ? over_colour_ : active_colour_);
        if (dis.itemState & ODS_CHECKED) {
            const int side = h - 2 * kCheckInset;
            RECT box{kCheckLeft, kCheckInset, kCheckLeft + side + 1, h - kCheckInset};
            DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
            SelectGuard symbol(dc, symbol_font_.get());
            DrawItemText(dc, (item->type & MFT_RADIOCHECK) ? kRadioGlyph : kCheckGlyph, box,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE, disabled, colour);
        }
        DrawItemText(dc, item->caption, RECT{kCaptionX, 0, w, h}, DT_VCENTER | DT_SINGLELINE, disabled,
                     colour);
        if (!item->shortcut.empty())
            DrawItemText(dc, item->shortcut, RECT{kCaptionX + item->widest_caption + kShortcutGap, 0, w, h},
                         DT_VCENTER | DT_SINGLELINE, disabled, colour);
        if (highlighted && !disabled) {
            RECT frame{kHighlightInset, 0, w - kHighlightInset, h};
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
    }
    BitBlt(dis.hDC, dis.rcItem.left, dis.rcItem.top, w, h, dc, 0, 0, SRCCOPY);
    return true;
}

LRESULT cMenuBar::MenuChar(WPARAM wParam, LPARAM lParam) {
    if (!(HIWORD(wParam) & MF_SYSMENU)) {
        const wchar_t typed = static_cast<wchar_t>(std::towupper(LOWORD(wParam)));
        HMENU popup = reinterpret_cast<HMENU>(lParam);
        for (const Item& item : items_)
            if (item.menu == popup && item.accelerator != 0 && item.accelerator == typed)
                return MAKELRESULT(item.position, MNC_EXECUTE);
    }
    return CallOld(WM_MENUCHAR, wParam, lParam);
}

}  // namespace quorlax::skin
