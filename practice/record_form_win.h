// The record window "练习记录" on screen: created while its RecordForm is
// loaded, topmost over the game, with the chart and its filter buttons, the
// totals, the weakest characters and the code mode's keyboard painted at the
// screen's DPI, and its three buttons.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "forms/button_host_win.h"
#include "forms/tool_window_win.h"
#include "practice/record_form.h"

namespace quorlax::win {

inline constexpr wchar_t kRecordClass[] = L"QuorlaxRecord";

class RecordWindow final : public forms::ToolWindow<RecordWindow, RecordForm> {
public:
    static constexpr wchar_t kFaultSource[] = L"RecordWindow";

    RecordWindow(HINSTANCE instance, HWND owner, RecordForm& form, forms::Painter& painter);
    ~RecordWindow() { Destroy(); }

    RecordForm& Form() { return form_; }
    HWND DrillButton() const { return drill_.Handle(); }
    HWND ClearButton() const { return clear_.Handle(); }
    HWND CloseButton() const { return close_.Handle(); }
    HWND FilterButton(ChartKind kind) const { return filters_[static_cast<std::size_t>(kind)].Handle(); }
    // Where the speed of shown run i is drawn, in the client area (for tests).
    POINT SpeedPoint(std::size_t run) const;
    // Where weak character `row` (0..19) shows column 0..5 (字, 编码, 错率,
    // 用时, 次数, 复习盒).
    RECT WeakCell(std::size_t row, int column) const;
    // Where the code mode's keyboard draws key `letter` (a–y).
    RECT KeyCell(char letter) const;
    static constexpr COLORREF kSpeedColor = RGB(214, 64, 32);
    static constexpr COLORREF kAccuracyColor = RGB(24, 140, 72);
    static constexpr COLORREF kAverageColor = RGB(40, 96, 200);

    // The main window catches up once the drill has started.
    std::function<void()> AfterDrill;

    // The skeleton's parts.
    HWND OnCreated();
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Paint(HDC dc);
    void Sync();

private:
    static constexpr int kDrillId = 101, kClearId = 102, kCloseId = 103, kFilterId = 110;
    void PaintChart(HDC dc);
    void PaintTotals(HDC dc);
    void PaintWeakest(HDC dc);
    void PaintKeyboard(HDC dc);
    // Every button of the window, the filter's first.
    std::array<forms::ButtonHost*, kChartKinds + 3> Buttons();
    ChartBox PlotBox() const;
    // Where the names of the marked runs go, measured in `dc`.
    std::vector<ChartBox> TagBoxes(HDC dc);
    ChartGeometry Geometry() const;

    RecordForm& form_;
    std::array<forms::ButtonHost, kChartKinds> filters_;
    forms::ButtonHost drill_;
    forms::ButtonHost clear_;
    forms::ButtonHost close_;
    COLORREF text_ = 0;  // the text colour on the window's background
};

}  // namespace quorlax::win
