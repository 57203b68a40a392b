// The practice room: its controls, the grid layout, the two practice starts
// and what the panel does. The run (practice_run) keeps the cells' states;
// this room shows them in the grid's labels after every event.
#include "practice/practice_room.h"

#include "core/counters.h"
#include "core/stored_names.h"
#include "practice/builtin_text.h"
#include "practice/chosen_text.h"
#include "core/code_table.h"
#include "practice/stats.h"

namespace quorlax {
namespace {

constexpr float kGridRight = 11602;  // a cell whose Left passes this starts a new row
constexpr float kCursorOffset = 20;  // the cursor sits this far up and left of its cell
constexpr forms::Color kPanelText = forms::kYellow;

// A caption or value label of the practice panel.
void PanelLabel(forms::Label& l, forms::Panel& panel, float left, float top, float width, float height,
                const wchar_t* caption, forms::Font font) {
    l.Container = &panel;
    l.Place(left, top, width, height);
    l.Font = std::move(font);
    l.ForeColor = kPanelText;
    l.SetCaption(caption);
}

const forms::Font kCaptionFont{L"宋体", 14.25f, true};
const forms::Font kValueFont{L"黑体", 14.25f};
const forms::Font kKaiFont{L"楷体_GB2312", 14.25f};

}  // namespace

PracticeRoom::PracticeRoom(Board& board, Services& services, IHistoryFile& historyFile)
    : La(board.scene, forms::Layer::Grid, forms::kFontSetting | forms::kColorSetting),
      Image5(board.scene, forms::Layer::Grid),
      Image2(board.scene, forms::Layer::Grid),
      Frame3(board.scene, forms::Layer::Panel),
      Label33(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label34(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label31(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label32(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label1(board.scene, forms::Layer::PanelContent),
      Label22(board.scene, forms::Layer::PanelContent, forms::kFontSetting | forms::kColorSetting),
      Label40(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label39(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label36(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label38(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      Label37(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      board_(board),
      services_(services),
      history_(historyFile, services.messages),
      record(history_, board.CodeTable(), board.backColor) {
    record.StartDrill = [this] { cuozi_Click(); };
    mnuPractice.Define(L"练 习");
    chi.Define(L"汉字", L"Ctrl+D");
    zixuan.Define(L"选择", L"Ctrl+G");
    cuozi.Define(L"错字", L"Ctrl+E");
    jilu.Define(L"记录", L"Ctrl+R");
    mnuPractice.Items = {&chi, &zixuan, &cuozi, &jilu};
    chi.Click = [this] { chi_Click(); };
    zixuan.Click = [this] { zixuan_Click(); };
    cuozi.Click = [this] { cuozi_Click(); };
    jilu.Click = [this] { jilu_Click(); };
    codeHintItem.Define(L"错字提示编码");
    codeHintItem.Click = [this] { OnCodeHint(); };

    auto& cell = La(0);
    cell.Place(-310, 60, 400, 400);
    cell.Alignment = forms::Alignment::Center;
    cell.Font = {L"宋体", 18};
    cell.BackStyle = forms::BackStyle::Opaque;
    cell.BackColor = forms::kSystemWindow;
    cell.ForeColor = forms::kSystemWindowText;
    for (int i = 1; i <= kGridCells; ++i) La(i).Visible = false;  // created at load

    Image5.Place(1200, 3450, 9315, 2895);
    Image5.Art = forms::Art::RadicalTable;
    Image5.Visible = false;
    Image2.Place(870, 2300, 480, 480);
    Image2.Art = forms::Art::PracticeCursor;
    Image2.Visible = false;
    Timer3.Tick = [this] { Timer3_Timer(); };
    BuildPanel();

    board_.gameStarting.Listen([this](GamePool pool) { LeaveForGame(pool); });
    board_.battlePanelShown.Listen([this] {
        HideForGame();
        Frame3.Visible = false;
    });
    board_.backColorChanged.Listen([this] { BackColorChanged(); });
    board_.textColorChanged.Listen([this] { TextColorChanged(); });
    board_.clockTicked.Listen([this](double seconds) { ClockTick(seconds); });
    board_.programClosing.Listen([this] { EndRun(); });
    board_.sessionEnding.Listen([this] { EndRun(); });
}

bool PracticeRoom::Load() {
    codeHintItem.Checked = services_.settings.Get(kChoicesSection, kCodeHintKey) == L"1";
    const bool usable = CanBuildPracticeText(board_.Pool());
    chi.Enabled = usable;
    // The template takes the window's colour and the panel's white text.
    La(0).BackColor = board_.backColor;
    La(0).ForeColor = forms::kWhite;
    CreatePracticeGrid();
    return usable;
}

void PracticeRoom::OnCodeHint() {
    codeHintItem.Checked = !codeHintItem.Checked;
    // The choice holds for this run either way; the player learns, once,
    // that it will not outlive it.
    if (!services_.settings.Save(kChoicesSection, kCodeHintKey, codeHintItem.Checked ? L"1" : L"0"))
        board_.TellOnce(kAppearanceUnsaved);
}

void PracticeRoom::LeaveForGame(GamePool pool) {
    HideForGame();
    Frame3.Visible = false;
    Label22.Visible = false;
    ClearGrid();
    chi.Checked = false;
    if (pool == GamePool::Digits) zixuan.Checked = false;
}

void PracticeRoom::BuildPanel() {
    Frame3.Place(0, 6480, 11865, 1485);
    Frame3.BackColor = kPanelColor;
    Frame3.Visible = false;
    PanelLabel(Label33, Frame3, 600, 270, 1245, 375, L"总字数：", kCaptionFont);
    PanelLabel(Label34, Frame3, 1860, 285, 1545, 375, L"0", kCaptionFont);
    PanelLabel(Label31, Frame3, 600, 660, 1215, 465, L"正确数：", kCaptionFont);
    PanelLabel(Label32, Frame3, 1860, 690, 1305, 315, L"0", kCaptionFont);
    PanelLabel(Label1, Frame3, 3210, 510, 1500, 285, kShowChart, kKaiFont);
    Label1.ForeColor = forms::kRed;
    Label1.BackColor = kPanelColor;
    Label1.BackStyle = forms::BackStyle::Opaque;
    PanelLabel(Label22, Frame3, 6930, 510, 1755, 315, kCodeHintCaption, kKaiFont);
    PanelLabel(Label40, Frame3, 8850, 300, 1335, 375, L"速  度：", kCaptionFont);
    PanelLabel(Label39, Frame3, 9960, 300, 735, 375, L"0", kValueFont);
    PanelLabel(Label36, Frame3, 10710, 300, 825, 375, L"字/分", kCaptionFont);
    PanelLabel(Label38, Frame3, 8850, 720, 1275, 405, L"正确率：", kCaptionFont);
    PanelLabel(Label37, Frame3, 9960, 720, 1125, 465, L"0", kValueFont);

    Text4.Container = &Frame3;
    Text4.Place(4860, 450, 1905, 435);
    Text4.BackColor = kPanelColor;
    Text4.ForeColor = forms::kYellow;
    Text4.Font = {L"宋体", 18};
    // One cell per character: a paste can never jump past the restart at 406.
    Text4.MaxLength = kGridCells;
    Text4.Change = [this] { Text4_Change(); };
    Text4.KeyDown = [this](int key) { Text4_KeyDown(key); };
}

void PracticeRoom::CreatePracticeGrid() {
    auto& tmpl = La(0);
    for (int i = 1; i <= kGridCells; ++i) {
        auto& cell = La(i);
        auto& prev = La(i - 1);
        cell.Left = tmpl.Left;
        cell.Top = tmpl.Top;
        cell.Width = tmpl.Width;
        cell.Height = tmpl.Height;
        cell.Font = tmpl.Font;
        cell.ForeColor = tmpl.ForeColor;
        cell.BackColor = tmpl.BackColor;
        cell.BackStyle = tmpl.BackStyle;
        cell.Alignment = tmpl.Alignment;
        cell.Container = tmpl.Container;
        cell.SetCaption(L"");
        cell.Left = prev.Left + prev.Width;
        cell.Visible = true;
        if (cell.Left > kGridRight && cell.Top == prev.Top) {
            tmpl.Top += tmpl.Height + 50;
            cell.Left = tmpl.Left + tmpl.Width;
            cell.Top = tmpl.Top;
        }
    }
    plainColor_.fill(tmpl.ForeColor);
    Render();
}

void PracticeRoom::HideForGame() {
    EndRun();
    Image5.Visible = false;
    Image2.Visible = false;
    Timer3.SetEnabled(false);
    record.Unload();
}

void PracticeRoom::ClearGrid() {
    run_.ClearForGame();
    Render();
}

void PracticeRoom::BackColorChanged() {
    run_.ResetBackgrounds();
    Render();
}

void PracticeRoom::TextColorChanged() {
    run_.ResetTextColors();
    plainColor_.fill(board_.TextColor());
    Render();
}

void PracticeRoom::chi_Click() { StartGrid(RunKind::BuiltIn, std::nullopt); }

void PracticeRoom::StartGrid(RunKind kind, std::optional<std::wstring> text) {
    EndRun();
    // The generator was seeded from the time of day at start-up; seeding it
    // again from the clock would only repeat a text within the same second.
    plainColor_.fill(board_.TextColor());  // the run resets the styles with the text
    board_.picture.reset();
    Frame3.Visible = true;
    board_.practiceShown(false);
    Label22.Visible = true;
    Label22.SetCaption(kCodeHintCaption);  // the last run's code hint is no hint for this one
    board_.SetElapsedSeconds(0);
    Timer3.SetEnabled(true);
    board_.clock.SetEnabled(true);
    // A pool that gives no text gives the empty one at once (the restart
    // comes here even while the command is greyed).
    run_.StartBuiltIn(*this,
                      text ? std::move(*text) : BuildPracticeText(board_.Pool(), services_.random, lastWord_));
    chi.Checked = true;
    zixuan.Checked = false;
    board_.gameModesCleared();
    drillShown_ = kind == RunKind::Drill;
    kind_ = kind;
    runOpen_ = true;
    Render();
}

void PracticeRoom::zixuan_Click() {
    EndRun();
    board_.picture.reset();
    Frame3.Visible = true;
    board_.practiceShown(true);
    Label22.Visible = true;
    Label22.SetCaption(kCodeHintCaption);
    board_.clock.SetEnabled(false);
    run_.BeginChosen(*this);
    if (auto text = ChooseText()) {
        chi.Checked = false;
        zixuan.Checked = true;
        board_.gameModesCleared();
        run_.ShowChosenText(std::move(*text));
        drillShown_ = false;
    }
    board_.SetElapsedSeconds(0);
    board_.clock.SetEnabled(true);
    run_.MarkStart();
    // Cancelled, the grid keeps its text and a checked item goes on with it.
    kind_ = zixuan.Checked ? RunKind::Chosen : drillShown_ ? RunKind::Drill : RunKind::BuiltIn;
    runOpen_ = zixuan.Checked || chi.Checked;
    Render();
}

void PracticeRoom::cuozi_Click() {
    std::vector<WeakChar> weak = WeakestNow();
    if (weak.empty()) {
        services_.messages.Show(kNoMissesYet);
        return;
    }
    EndRun();
    StartGrid(RunKind::Drill, BuildDrillText(weak, board_.Pool(), services_.random));
}

void PracticeRoom::jilu_Click() {
    record.Load();
}

void PracticeRoom::StartBuiltInRun() {
    // The restart after a drill drills again, on the record with this run in.
    if (runOpen_ && kind_ == RunKind::Drill) {
        EndRun();
        std::vector<WeakChar> weak = WeakestChars(history_.Load().runs);
        if (!weak.empty())
            return StartGrid(RunKind::Drill, BuildDrillText(weak, board_.Pool(), services_.random));
    }
    chi_Click();
}

std::vector<WeakChar> PracticeRoom::WeakestNow() {
    std::vector<RunRecord> runs = history_.Load().runs;
    if (runOpen_ && run_.AnyTyped()) runs.push_back(CurrentRecord());
    return WeakestChars(runs);
}

RunRecord PracticeRoom::CurrentRecord() const {
    RunRecord r;
    r.when = LocalDateTimeNow();
    r.kind = kind_;
    if (kind_ == RunKind::Chosen) r.file = chosenName_;
    // The counts as the panel shows them; the speed over the typing time,
    // as of the last character typed (the panel's counts idle time too).
    r.typed = run_.Typed();
    r.correct = run_.Correct();
    r.accuracy = r.typed > 0 ? run_.Accuracy() : 0;
    r.seconds = std::max(0, board_.ElapsedSeconds());
    r.speed = run_.TypingSpeed();
    for (const auto& [ch, n] : run_.Misses()) r.misses.push_back({ch, n});
    std::stable_sort(r.misses.begin(), r.misses.end(),
                     [](const Miss& a, const Miss& b) { return a.count > b.count; });
    return r;
}

void PracticeRoom::EndRun() {
    if (!runOpen_) return;
    runOpen_ = false;
    if (run_.AnyTyped()) history_.Record(CurrentRecord());
}

std::optional<std::wstring> PracticeRoom::ChooseText() {
    auto path = services_.dialogs.OpenFile(kOpenPracticeTitle, kPracticeFilterName, kPracticeFilterPattern);
    if (!path) return std::nullopt;
    ChosenFile chosen;
    FileBytes file = services_.files.ReadBytes(*path, kMaxPracticeFileBytes);
    switch (file.status) {
        case FileBytes::Status::Ok: chosen = DecodePracticeFile(file.bytes); break;
        case FileBytes::Status::TooLarge: chosen.error = PracticeFileError::TooLarge; break;
        case FileBytes::Status::Unreadable: chosen.error = PracticeFileError::Unreadable; break;
    }
    if (chosen.error != PracticeFileError::None) {
        // As if cancelled: the panel is up, the grid keeps what it showed.
        services_.messages.Show(PracticeFileMessage(chosen.error, *path));
        return std::nullopt;
    }
    const size_t slash = path->find_last_of(L"\\/");
    chosenName_ = slash == std::wstring::npos ? *path : path->substr(slash + 1);
    return std::move(chosen.text);
}

void PracticeRoom::Text4_Change() {
    run_.InputChanged(*this, Text4.Text());
    // The code hint: the missed character's code, as F1 shows it.
    if (codeHintItem.Checked && run_.TurnedWrong() > 0) {
        if (auto code = LookUpCode(board_.CodeTable(), run_.Caption(run_.TurnedWrong())))
            Label22.SetCaption(*code);
    }
    Render();
}

void PracticeRoom::Text4_KeyDown(int keyCode) {
    if (keyCode == kKeyF1) {
        if (auto code = LookUpCode(board_.CodeTable(), run_.Caption(typedPos() + 1))) Label22.SetCaption(*code);
    }
    // Backspace makes the two cells plain in the text colour of the moment.
    const int pos = typedPos();
    if (keyCode == kKeyBackspace && pos != 0 && (zixuan.Checked || chi.Checked)) {
        plainColor_[static_cast<size_t>(pos)] = board_.TextColor();
        if (pos < kGridCells) plainColor_[static_cast<size_t>(pos) + 1] = board_.TextColor();
    }
    run_.KeyDown(*this, keyCode);
    Render();
}

void PracticeRoom::Timer3_Timer() { Image2.Visible = !Image2.Visible; }

void PracticeRoom::ClockTick(double seconds) {
    if (!zixuan.Checked && !chi.Checked) return;
    if (auto speed = PracticeSpeedText(run_.typedCount(), seconds)) Label39.SetCaption(*speed);
}

void PracticeRoom::Label1_Click() {
    if (Label1.Caption() != kShowChart) {
        Image5.Visible = false;
        Label1.SetCaption(kShowChart);
    } else {
        Image5.Visible = true;
        Label1.SetCaption(kHideChart);
    }
}

void PracticeRoom::Label1_MouseMove() { Label1.BackColor = kLinkHoverColor; }

void PracticeRoom::Frame3_MouseMove() { Label1.BackColor = kPanelColor; }

forms::Color PracticeRoom::WindowBackColor() const { return board_.backColor; }

void PracticeRoom::AskRestart() { services_.messages.Show(kRestartPrompt); }

void PracticeRoom::StopClock() { board_.clock.SetEnabled(false); }

void PracticeRoom::Render() {
    const forms::Color back = board_.backColor;
    const forms::Color text = board_.TextColor();
    const auto style = run_.Opaque() ? forms::BackStyle::Opaque : forms::BackStyle::Transparent;
    for (int i = 0; i <= kGridCells; ++i) {
        const PracticeCell& cell = run_.Cell(i);
        forms::Label& l = La(i);
        const std::wstring& shown = l.Caption();
        if (i > 0 && (cell.ch ? shown.size() != 1 || shown[0] != cell.ch : !shown.empty()))
            l.SetCaption(cell.ch ? std::wstring(1, cell.ch) : std::wstring());
        l.BackColor = CellBackColor(cell.back, back);
        if (i > 0) l.BackStyle = style;
        l.Font.Bold = l.Font.Italic = l.Font.Underline = cell.styled;
        // A cell leaves the correct colour only for the text colour itself.
        if (cell.correctColor) plainColor_[static_cast<size_t>(i)] = text;
        l.ForeColor = cell.correctColor ? CorrectTextColor(text) : plainColor_[static_cast<size_t>(i)];
    }
    if (Label34.Caption() != run_.TypedCaption()) Label34.SetCaption(run_.TypedCaption());
    if (Label32.Caption() != run_.CorrectCaption()) Label32.SetCaption(run_.CorrectCaption());
    if (Label37.Caption() != run_.AccuracyCaption()) Label37.SetCaption(run_.AccuracyCaption());
    if (const int c = run_.CursorCell(); c >= 1 && c <= kGridCells) {
        Image2.Left = La(c).Left - kCursorOffset;
        Image2.Top = La(c).Top - kCursorOffset;
    }
}

}  // namespace quorlax
