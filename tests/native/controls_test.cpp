// The control models: the nested change rules the game relies on.
#include "forms/controls.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(TextBoxTest, SettingTextInsideChangeRunsChangeAgainNested) {
    TextBox box;
    std::vector<std::wstring> seen;
    int depth = 0, max_depth = 0;
    box.Change = [&] {
        ++depth;
        max_depth = std::max(max_depth, depth);
        seen.push_back(box.Text());
        if (box.Text() == L"ab") box.SetText(L"");
        --depth;
    };
    box.SetText(L"ab");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"ab", L""}));
    EXPECT_EQ(max_depth, 2);
    EXPECT_EQ(box.Text(), L"");
}

TEST(TextBoxTest, SameTextIsNoChangeAndHostHearsBeforeHandler) {
    TextBox box;
    std::vector<std::wstring> order;
    box.OnTextPushed = [&](const std::wstring& t) { order.push_back(L"host:" + t); };
    box.Change = [&] { order.push_back(L"change:" + box.Text()); };
    box.SetText(L"x");
    box.SetText(L"x");
    EXPECT_EQ(order, (std::vector<std::wstring>{L"host:x", L"change:x"}));
}

TEST(LabelTest, EveryCaptionWriteRunsChangeEvenWithSameText) {
    Label l;
    int runs = 0;
    l.Change = [&] { ++runs; };
    l.SetCaption(L"0");
    l.SetCaption(L"0");
    EXPECT_EQ(runs, 2);
}

TEST(TimerTest, HostIsToldOnlyOfRealChanges) {
    Timer t(100, false);
    int told = 0;
    t.OnChange = [&](Timer&) { ++told; };
    t.SetEnabled(false);
    t.SetInterval(100);
    EXPECT_EQ(told, 0);
    t.SetEnabled(true);
    t.SetInterval(0);
    EXPECT_EQ(told, 2);
    EXPECT_FALSE(t.Running()) << "interval 0 never ticks";
    t.SetInterval(-5);
    EXPECT_EQ(t.Interval(), 0);
}

// The screen may still show a button the rules have just greyed or hidden
// (its panel too): a press then does nothing.
TEST(CommandButtonTest, APressRunsClickOnlyWhileEnabledAndShown) {
    Panel panel;
    CommandButton button;
    button.Container = &panel;
    int clicks = 0;
    button.Click = [&] { ++clicks; };
    button.Press();
    button.Enabled = false;
    button.Press();
    button.Enabled = true;
    panel.Visible = false;
    button.Press();
    EXPECT_EQ(clicks, 1);
}

TEST(ControlTest, PositionAndVisibilityFollowTheContainer) {
    Panel panel;
    panel.Left = 100;
    panel.Top = 6480;
    Label child;
    child.Container = &panel;
    child.Left = 450;
    child.Top = 300;
    EXPECT_FLOAT_EQ(child.FormLeft(), 550);
    EXPECT_FLOAT_EQ(child.FormTop(), 6780);
    panel.Visible = false;
    EXPECT_FALSE(child.Shown());
}

TEST(ControlArrayTest, IndexOutsideTheArrayThrows) {
    ControlArray<Label, 1, 5> labels;
    EXPECT_NO_THROW(labels(1));
    EXPECT_NO_THROW(labels(5));
    EXPECT_THROW(labels(0), std::out_of_range);
    EXPECT_THROW(labels(6), std::out_of_range);
}

}  // namespace
}  // namespace forms
