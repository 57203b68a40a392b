// The record window "练习记录" on screen: created while its RecordForm is
// loaded, topmost over the game, with the chart, the totals and the weakest
// characters painted at the screen's DPI, and its three buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/button_host_win.h"
#include "forms/render_win.h"
#include "practice/record_form.h"

namespace quorlax::win {

inline constexpr wchar_t kRecordClass[] = L"QuorlaxRecord";

class RecordWindow {
public:
    static constexpr wchar_t kFaultSource[] = L"RecordForm";

    // `codeTable` and `mainBackColor` are the main window's.
    RecordWindow(HINSTANCE instance, HWND owner, PracticeHistory& history, const std::wstring& codeTable,
                 const forms::Color& mainBackColor, forms::Painter& painter);
    ~RecordWindow();
    RecordWindow(const RecordWindow&) = delete;
    RecordWindow& operator=(const RecordWindow&) = delete;

    RecordForm& Form() { return form_; }
    HWND Handle() const { return hwnd_; }
    HWND DrillButton() const { return drill_.Handle(); }
    HWND ClearButton() const { return clear_.Handle(); }
    HWND CloseButton() const { return close_.Handle(); }
    // Where the speed of shown run i is drawn, in the client area (for tests).
    POINT SpeedPoint(std::size_t run) const;
    // Where weak character `row` (0..19) shows column 0..3 (字, 编码, 次数, 最近).
    RECT WeakCell(std::size_t row, int column) const;
    static constexpr COLORREF kSpeedColor = RGB(214, 64, 32);
    static constexpr COLORREF kAccuracyColor = RGB(24, 140, 72);

private:
    static constexpr int kDrillId = 101, kClearId = 102, kCloseId = 103;
    template <class T>
    friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd);
    void OnDetach();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool Create();
    void Destroy();
    void Sync();
    void Paint(HDC dc);
    void PaintChart(HDC dc);
    void PaintTotals(HDC dc);
    void PaintWeakest(HDC dc);
    ChartBox PlotBox() const;
    // Where the names of the marked runs go, measured in `dc`.
    std::vector<ChartBox> TagBoxes(HDC dc);
    ChartGeometry Geometry() const;

    HINSTANCE instance_;
    HWND owner_;
    RecordForm form_;
    forms::Painter& painter_;
    HWND hwnd_ = nullptr;
    forms::ButtonHost drill_;  // cmdDrill
    forms::ButtonHost clear_;  // cmdClear
    forms::ButtonHost close_;  // cmdClose
    COLORREF text_ = 0;        // the text colour on the window's background
};

}  // namespace quorlax::win
