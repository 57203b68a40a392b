// Starting a game in one of the three pools, the speed menu and "无限制".
#include "app/counters.h"
#include "app/form1.h"

namespace quorlax {
namespace {

// Timer1 intervals of "一速".."十速" and the hidden "飞速", in ms.
constexpr int kSpeedIntervals[] = {1000, 800, 640, 512, 410, 328, 262, 210, 200, 168, 134};

}  // namespace

int Form1::SpeedInterval(int index) { return kSpeedIntervals[index - 1]; }

void Form1::s2_Click() { StartGame(GameMode::Chinese); }
void Form1::yw1_Click() { StartGame(GameMode::English); }
void Form1::sz1_Click() { StartGame(GameMode::Digits); }

void Form1::StartGame(GameMode mode) {
    practice.HideForGame();
    Frame4.Visible = true;
    practice.Frame3.Visible = false;
    appearance.xuantu();
    Label10.Visible = Label11.Visible = Label16.Visible = Label17.Visible = true;
    practice.Label22.Visible = false;
    practice.ClearGrid();
    for (auto& l : Label) l.Visible = true;

    switch (mode) {
        case GameMode::Chinese:
            s2.Checked = true;
            practice.chi.Checked = yw1.Checked = sz1.Checked = false;
            break;
        case GameMode::English:
            yw1.Checked = true;
            s2.Checked = sz1.Checked = practice.chi.Checked = false;
            break;
        case GameMode::Digits:
            sz1.Checked = true;
            yw1.Checked = s2.Checked = practice.chi.Checked = practice.zixuan.Checked = false;
            break;
    }

    Label19.SetCaption(L"0");
    Label13.SetCaption(L"1");
    Label16.SetCaption(L"0");
    Label9.SetCaption(L"0");
    Label15.Visible = false;
    Label11.SetCaption(L"5");
    scores.form2.Unload();
    appearance.CloseWindows();
    Label6.SetCaption(L"0");
    // The clock and the fall start once, after the counters are reset: a
    // reaction to those writes could otherwise stop them again.
    Timer2.SetEnabled(true);
    Timer1.SetEnabled(true);
    Text1.SetText(L"");
    for (auto& l : Label) {
        l.Top = kSpawnTop;
        l.Font.Size = 22;
    }
    for (int i = 1; i <= 5; ++i) {
        switch (mode) {
            case GameMode::Chinese:
                PickHanzi();
                Label(i).SetCaption(Text3.Text());
                break;
            case GameMode::English:
                PickLetters();
                Label(i).SetCaption(Text2.Text());
                break;
            case GameMode::Digits:
                PickDigits();
                Label(i).SetCaption(Text2.Text());
                break;
        }
    }
    ApplySpeed();
}

void Form1::ApplySpeed() {
    for (int i = 1; i <= 11; ++i)
        if (sd(i).Checked) Timer1.SetInterval(SpeedInterval(i));
}

void Form1::sd_Click(int index) {
    for (int i = 1; i <= 11; ++i) sd(i).Checked = (i == index);
}

void Form1::wx1_Click() { Label11.SetCaption(L"-1"); }

}  // namespace quorlax
