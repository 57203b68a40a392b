// The practice room: its controls, the grid layout, the two practice starts
// and what the panel does. The run (practice_run) keeps the cells' states;
// this room shows them in the grid's labels after every event.
#include "practice/practice_room.h"

#include "core/code_table.h"
#include "core/counters.h"
#include "core/stored_names.h"
#include "practice/builtin_text.h"
#include "practice/chosen_text.h"
#include "practice/radical_keys.h"
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

PracticeRoom::PracticeRoom(Board& board, Services& services, PracticeFiles files)
    : cells(board.scene, forms::Layer::Grid, forms::kFontSetting | forms::kColorSetting),
      radicalChart(board.scene, forms::Layer::Grid),
      keyDue(board.scene, forms::Layer::Grid),
      keyPressed(board.scene, forms::Layer::Grid),
      cursor(board.scene, forms::Layer::Grid),
      panel(board.scene, forms::Layer::Panel),
      typedCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      typedLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      correctCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      correctLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      chartLink(board.scene, forms::Layer::PanelContent),
      codeLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting | forms::kColorSetting),
      speedCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      speedLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      speedUnit(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      accuracyCaption(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      accuracyLabel(board.scene, forms::Layer::PanelContent, forms::kFontSetting),
      hintLine(board.scene, forms::Layer::PanelContent),
      board_(board),
      services_(services),
      history_(files.history, services.messages),
      learning(board, files.chars, files.keys, history_, services.settings, services.messages),
      record(history_, learning, board.CodeTable(), board.backColor),
      card(board.scene) {
    record.StartDrill = [this] { OnDrill(); };
    practiceMenu.Define(L"练 习");
    builtInItem.Define(L"汉字", L"Ctrl+D");
    chosenItem.Define(L"选择", L"Ctrl+G");
    drillItem.Define(L"错字", L"Ctrl+E");
    recordItem.Define(L"记录", L"Ctrl+R");
    practiceMenu.Items = {&builtInItem, &chosenItem, &drillItem, &recordItem};
    builtInItem.Click = [this] { OnBuiltInPractice(); };
    chosenItem.Click = [this] { OnChosenPractice(); };
    drillItem.Click = [this] { OnDrill(); };
    recordItem.Click = [this] { OnRecord(); };
    endItem.Define(L"结束", L"Ctrl+T");
    endItem.Click = [this] { OnEnd(); };
    endItem.Enabled = false;
    lessonItem.Define(L"入门", L"Ctrl+L");
    lessonItem.Click = [this] { OnLesson(); };
    practiceMenu.Items.push_back(&endItem);
    practiceMenu.Items.push_back(&lessonItem);
    codeHintItem.Define(L"错字提示编码");
    codeHintItem.Click = [this] { OnCodeHint(); };

    auto& cell = cells(0);
    cell.Place(-310, 60, 400, 400);
    cell.Alignment = forms::Alignment::Center;
    cell.Font = {L"宋体", 18};
    cell.BackStyle = forms::BackStyle::Opaque;
    cell.BackColor = forms::kSystemWindow;
    cell.ForeColor = forms::kSystemWindowText;
    for (int i = 1; i <= kGridCells; ++i) cells(i).Visible = false;  // created at load

    radicalChart.Place(1200, 3450, 9315, 2895);
    radicalChart.Art = forms::Art::RadicalTable;
    radicalChart.Visible = false;
    cursor.Place(870, 2300, 480, 480);
    cursor.Art = forms::Art::PracticeCursor;
    cursor.Visible = false;
    cursorBlink.Tick = [this] { OnCursorBlink(); };
    BuildPanel();

    board_.gameStarting.Listen([this](GamePool pool) { LeaveForGame(pool); });
    board_.battlePanelShown.Listen([this] {
        HideForGame();
        panel.Visible = false;
    });
    board_.backColorChanged.Listen([this] { BackColorChanged(); });
    board_.codeModeChanged.Listen([this](bool on) { OnCodeMode(on); });
    board_.textColorChanged.Listen([this] { TextColorChanged(); });
    board_.clockTicked.Listen([this](double seconds) { ClockTick(seconds); });
    // Recorded while the window can still own a message; what cannot be
    // written goes to the pending file.
    board_.programClosing.Listen([this] {
        EndRun();
        history_.AtExit();
        learning.AtExit();
    });
    // Silently: a message box now would hold up the logoff.
    board_.sessionEnding.Listen([this] {
        history_.Quiet();
        learning.Quiet();
        EndRun();
        history_.AtExit();
        learning.AtExit();
    });
}

bool PracticeRoom::Load() {
    learning.Load();
    codeHintItem.Checked = services_.settings.Get(kChoicesSection, kCodeHintKey) == L"1";
    const bool usable = CanBuildPracticeText(board_.Pool());
    builtInItem.Enabled = usable;
    // The template takes the window's colour and the panel's white text.
    cells(0).BackColor = board_.backColor;
    cells(0).ForeColor = forms::kWhite;
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
    panel.Visible = false;
    codeLabel.Visible = false;
    ClearGrid();
    builtInItem.Checked = false;
    if (pool == GamePool::Digits) chosenItem.Checked = false;
}

void PracticeRoom::BuildPanel() {
    panel.Place(0, 6480, 11865, 1485);
    panel.BackColor = kPanelColor;
    panel.Visible = false;
    PanelLabel(typedCaption, panel, 600, 270, 1245, 375, L"总字数：", kCaptionFont);
    PanelLabel(typedLabel, panel, 1860, 285, 1545, 375, L"0", kCaptionFont);
    PanelLabel(correctCaption, panel, 600, 660, 1215, 465, L"正确数：", kCaptionFont);
    PanelLabel(correctLabel, panel, 1860, 690, 1305, 315, L"0", kCaptionFont);
    PanelLabel(chartLink, panel, 3210, 510, 1500, 285, kShowChart, kKaiFont);
    chartLink.ForeColor = forms::kRed;
    chartLink.BackColor = kPanelColor;
    chartLink.BackStyle = forms::BackStyle::Opaque;
    PanelLabel(codeLabel, panel, 6930, 510, 1755, 315, kCodeHintCaption, kKaiFont);
    PanelLabel(speedCaption, panel, 8850, 300, 1335, 375, L"速  度：", kCaptionFont);
    PanelLabel(speedLabel, panel, 9960, 300, 735, 375, L"0", kValueFont);
    PanelLabel(speedUnit, panel, 10710, 300, 825, 375, L"字/分", kCaptionFont);
    PanelLabel(accuracyCaption, panel, 8850, 720, 1275, 405, L"正确率：", kCaptionFont);
    PanelLabel(accuracyLabel, panel, 9960, 720, 1125, 465, L"0", kValueFont);
    PanelLabel(hintLine, panel, 600, 1110, 10700, 330, L"", {L"宋体", 10.5f});
    keyDue.Art = forms::Art::KeyDue;
    keyPressed.Art = forms::Art::KeyPressed;
    keyDue.Visible = keyPressed.Visible = false;

    practiceBox.Container = &panel;
    practiceBox.Place(4860, 450, 1905, 435);
    practiceBox.BackColor = kPanelColor;
    practiceBox.ForeColor = forms::kYellow;
    practiceBox.Font = {L"宋体", 18};
    // One cell per character: a paste can never jump past the restart at 406.
    practiceBox.MaxLength = kGridCells;
    practiceBox.Change = [this] { OnPracticeBoxChange(); };
    practiceBox.KeyDown = [this](int key) { OnPracticeBoxKey(key); };
    practiceBox.CharTyped = [this](wchar_t key) { return OnPracticeBoxChar(key); };
}

void PracticeRoom::CreatePracticeGrid() {
    auto& tmpl = cells(0);
    for (int i = 1; i <= kGridCells; ++i) {
        auto& cell = cells(i);
        auto& prev = cells(i - 1);
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
    HideCard();
    radicalChart.Visible = false;
    cursor.Visible = false;
    cursorBlink.SetEnabled(false);
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

void PracticeRoom::OnBuiltInPractice() { StartGrid(RunKind::BuiltIn, std::nullopt); }

void PracticeRoom::StartGrid(RunKind kind, std::optional<std::wstring> text, bool keepCard) {
    EndRun();
    if (!keepCard) HideCard();
    // The generator was seeded from the time of day at start-up; seeding it
    // again from the clock would only repeat a text within the same second.
    plainColor_.fill(board_.TextColor());  // the run resets the styles with the text
    board_.picture.reset();
    panel.Visible = true;
    board_.practiceShown(false);
    codeLabel.Visible = true;
    codeLabel.SetCaption(kCodeHintCaption);  // the last run's code hint is no hint for this one
    board_.SetElapsedSeconds(0);
    cursorBlink.SetEnabled(true);
    board_.clock.SetEnabled(true);
    // A pool that gives no text gives the empty one at once (the restart
    // comes here even while the command is greyed).
    run_.StartBuiltIn(
        *this, text ? std::move(*text) : BuildPracticeText(board_.Pool(), services_.random, lastWord_));
    builtInItem.Checked = true;
    chosenItem.Checked = false;
    board_.gameModesCleared();
    drillShown_ = kind == RunKind::Drill;
    kind_ = kind;
    SetRunOpen(true);
    Render();
}

void PracticeRoom::OnChosenPractice() {
    EndRun();
    HideCard();
    board_.picture.reset();
    panel.Visible = true;
    board_.practiceShown(true);
    codeLabel.Visible = true;
    codeLabel.SetCaption(kCodeHintCaption);
    board_.clock.SetEnabled(false);
    run_.BeginChosen(*this);
    if (auto text = ChooseText()) {
        builtInItem.Checked = false;
        chosenItem.Checked = true;
        board_.gameModesCleared();
        run_.ShowChosenText(std::move(*text));
        drillShown_ = false;
    }
    board_.SetElapsedSeconds(0);
    board_.clock.SetEnabled(true);
    run_.MarkStart();
    // Cancelled, the grid keeps its text and a checked item goes on with it.
    kind_ = chosenItem.Checked ? RunKind::Chosen : drillShown_ ? RunKind::Drill : RunKind::BuiltIn;
    SetRunOpen(chosenItem.Checked || builtInItem.Checked);
    Render();
}

void PracticeRoom::OnDrill() {
    // The open run's attempts count, as they would once it is recorded.
    const std::vector<DrillPick> picks = learning.Picks(
        Today(), runOpen_ ? std::span<const Attempt>(run_.Attempts()) : std::span<const Attempt>());
    StartDrill(picks);
}

bool PracticeRoom::StartDrill(std::span<const DrillPick> picks, bool keepCard) {
    if (picks.empty()) {
        services_.messages.Show(kNoMissesYet);
        return false;
    }
    StartGrid(RunKind::Drill, BuildDrill(picks, Words(), services_.random), keepCard);
    return true;
}

const std::vector<std::wstring>& PracticeRoom::Words() {
    if (poolWords_.empty()) poolWords_ = PoolWords(board_.Pool());
    return poolWords_;
}

const std::vector<Band>& PracticeRoom::Bands() {
    // The first-level short codes are the standard ones: the record window
    // names the band without loading the codes file for it.
    if (bands_.empty()) bands_ = MakeBands(board_.CodeTable(), nullptr, board_.Pool());
    return bands_;
}

void PracticeRoom::OnLesson() { StartLesson(false); }

void PracticeRoom::StartLesson(bool keepCard) {
    EndRun();  // its attempts count towards the band before the lesson is chosen
    const CharRecord& record = learning.Record();
    const LessonStanding standing = Standing(Bands(), record, learning.TargetMs());
    StartGrid(RunKind::Lesson,
              BuildLesson(Bands(), standing, record, learning.TargetMs(), Words(), services_.random),
              keepCard);
}

std::wstring PracticeRoom::LessonLine() {
    return StandingLine(Bands(), Standing(Bands(), learning.Record(), learning.TargetMs()),
                        learning.TargetMs());
}

void PracticeRoom::OnEnd() {
    if (!runOpen_) return;
    EndRun(true);
    builtInItem.Checked = chosenItem.Checked = false;
    board_.clock.SetEnabled(false);
    cursorBlink.SetEnabled(false);
    cursor.Visible = false;
    Render();
}

void PracticeRoom::OnCardKey() { HideCard(); }

void PracticeRoom::OnCardClick(bool onDrillLink) {
    if (!card.Shown()) return;
    const std::vector<wchar_t> missed = card.Card().missed;
    HideCard();
    if (!onDrillLink || missed.empty()) return;
    // This run's misses, the most missed weighing most.
    std::vector<DrillPick> picks;
    for (size_t i = 0; i < missed.size() && i < kDrillChars; ++i)
        picks.push_back({missed[i], static_cast<double>(missed.size() - i)});
    StartDrill(picks);
}

void PracticeRoom::HideCard() { card.Hide(); }

void PracticeRoom::SetRunOpen(bool open) {
    runOpen_ = open;
    endItem.Enabled = open;
    if (!open) {
        board_.scene.CancelPrepare();
        return;
    }
    // A cell typed right turns bold, slanted and underlined: the grid's
    // characters in that face are made ahead, while the player reads.
    forms::Font typed = cells(1).Font;
    typed.Bold = typed.Italic = typed.Underline = true;
    std::wstring text;
    for (int i = 1; i <= kGridCells; ++i) text += run_.Caption(i);
    board_.scene.Prepare(typed, text);
}

void PracticeRoom::OnRecord() {
    const KeyRecord& keys = learning.Keys();
    record.SetKeyRecord(keys.AnyAttempt() ? &keys : nullptr);
    record.lessonLine = LessonLine();
    record.Load();
}

void PracticeRoom::StartBuiltInRun() {
    // The run that reached the grid's end shows its card over the next one.
    const bool drill = runOpen_ && kind_ == RunKind::Drill;
    const bool lesson = runOpen_ && kind_ == RunKind::Lesson;
    EndRun(true);
    // The next lesson, with the band this one may have opened.
    if (lesson) return StartLesson(true);
    // The restart after a drill drills again, on the record with this run in.
    if (drill) {
        const std::vector<DrillPick> picks = learning.Picks(Today());
        if (!picks.empty() && StartDrill(picks, true)) return;
    }
    StartGrid(RunKind::BuiltIn, std::nullopt, true);
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
    r.attempts = run_.Attempts();
    std::stable_sort(r.misses.begin(), r.misses.end(),
                     [](const Miss& a, const Miss& b) { return a.count > b.count; });
    return r;
}

void PracticeRoom::EndRun(bool showCard) {
    if (!runOpen_) return;
    SetRunOpen(false);
    learning.KeysPressed(keyPresses_);
    keyPresses_.clear();
    lastKeyAt_ = 0;
    if (!run_.AnyTyped()) return;
    RunRecord run = CurrentRecord();
    learning.Record();  // a record seeded from the history is seeded before this run is in it
    history_.Record(run);
    learning.RunEnded(run.attempts, Today());
    if (showCard)
        card.Show(BuildRunCard(run, history_.Runs().runs, board_.CodeTable()), board_.backColor,
                  board_.TextColor());
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

void PracticeRoom::OnPracticeBoxChange() {
    run_.InputChanged(*this, practiceBox.Text());
    // The code hint: the missed character's code, as F1 shows it.
    if (codeHintItem.Checked && run_.TurnedWrong() > 0) {
        if (auto code = LookUpCode(board_.CodeTable(), run_.Caption(run_.TurnedWrong())))
            codeLabel.SetCaption(*code);
    }
    Render();
}

void PracticeRoom::OnPracticeBoxKey(int keyCode) {
    if (card.Shown()) OnCardKey();  // and the key goes on to the box
    if (keyCode == kKeyF1) {
        if (auto code = LookUpCode(board_.CodeTable(), run_.Caption(typedPos() + 1)))
            codeLabel.SetCaption(*code);
    }
    // Backspace makes the two cells plain in the text colour of the moment.
    const int pos = typedPos();
    if (keyCode == kKeyBackspace && pos != 0 && (chosenItem.Checked || builtInItem.Checked)) {
        plainColor_[static_cast<size_t>(pos)] = board_.TextColor();
        if (pos < kGridCells) plainColor_[static_cast<size_t>(pos) + 1] = board_.TextColor();
    }
    run_.KeyDown(*this, keyCode);
    Render();
}

void PracticeRoom::OnCursorBlink() { cursor.Visible = !cursor.Visible; }

void PracticeRoom::ClockTick(double seconds) {
    if (!chosenItem.Checked && !builtInItem.Checked) return;
    if (auto speed = PracticeSpeedText(run_.typedCount(), seconds)) speedLabel.SetCaption(*speed);
}

void PracticeRoom::OnChartLinkClick() {
    if (chartLink.Caption() != kShowChart) {
        radicalChart.Visible = false;
        chartLink.SetCaption(kShowChart);
    } else {
        radicalChart.Visible = true;
        chartLink.SetCaption(kHideChart);
    }
}

void PracticeRoom::OnChartLinkHover() { chartLink.BackColor = kLinkHoverColor; }

void PracticeRoom::OnPanelHover() { chartLink.BackColor = kPanelColor; }

forms::Color PracticeRoom::WindowBackColor() const { return board_.backColor; }

void PracticeRoom::AskRestart() { services_.messages.Show(kRestartPrompt); }

void PracticeRoom::StopClock() { board_.clock.SetEnabled(false); }

void PracticeRoom::Render() {
    const forms::Color back = board_.backColor;
    const forms::Color text = board_.TextColor();
    const auto style = run_.Opaque() ? forms::BackStyle::Opaque : forms::BackStyle::Transparent;
    for (int i = 0; i <= kGridCells; ++i) {
        const PracticeCell& cell = run_.Cell(i);
        forms::Label& l = cells(i);
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
    if (typedLabel.Caption() != run_.TypedCaption()) typedLabel.SetCaption(run_.TypedCaption());
    if (correctLabel.Caption() != run_.CorrectCaption()) correctLabel.SetCaption(run_.CorrectCaption());
    if (accuracyLabel.Caption() != run_.AccuracyCaption()) accuracyLabel.SetCaption(run_.AccuracyCaption());
    if (const int c = run_.CursorCell(); c >= 1 && c <= kGridCells) {
        cursor.Left = cells(c).Left - kCursorOffset;
        cursor.Top = cells(c).Top - kCursorOffset;
    }
}

// --- typing by five-stroke codes ---

void PracticeRoom::OnCodeMode(bool on) {
    // The box takes the keys themselves while letters are codes.
    practiceBox.InputMethod = !on;
    composer_.Clear();
    HideKeyMarks();
    hintLine.SetCaption(L"");
    codeLabel.SetCaption(kCodeHintCaption);
}

std::wstring PracticeRoom::ExpectedFrom(int from) const {
    std::wstring text;
    for (int i = from; i < from + 4; ++i) {
        const std::wstring c = run_.Caption(i);
        if (c.empty()) break;
        text += c;
    }
    return text;
}

void PracticeRoom::ShowPending() {
    const std::string_view letters = composer_.Pending();
    codeLabel.SetCaption(letters.empty() ? std::wstring(kCodeHintCaption)
                                         : std::wstring(letters.begin(), letters.end()));
}

void PracticeRoom::HideKeyMarks() { keyDue.Visible = keyPressed.Visible = false; }

void PracticeRoom::NoteKey(int cell, wchar_t key, bool right, std::uint64_t now,
                           const FiveStrokeCodes& codes) {
    // Timed from the key before in this run; a wrong press counts against
    // the key the code wanted there. Space is no code key of its own.
    const int ms =
        lastKeyAt_ ? static_cast<int>(std::min<std::uint64_t>(now - lastKeyAt_, kLongestGapMs + 1)) : -1;
    lastKeyAt_ = now;
    wchar_t due = key;
    if (!right) {
        const auto miss = FindMiss(codes, run_.Caption(cell), composer_.Pending(), key);
        due = miss ? miss->should : 0;
    }
    if (due >= L'a' && due <= L'y') keyPresses_.push_back({static_cast<char>(due), !right, ms});
}

void PracticeRoom::KeyWrong(int cell, wchar_t key, const FiveStrokeCodes& codes) {
    const std::wstring expected = run_.Caption(cell);
    run_.KeyMissed(cell);
    hintLine.SetCaption(MissHint(codes, expected, composer_.Pending(), key));
    HideKeyMarks();
    // On the chart, when it is shown: the key due framed, the key pressed marked.
    if (!radicalChart.Visible) return;
    if (auto miss = FindMiss(codes, expected, composer_.Pending(), key)) {
        if (auto due = KeyOnChart(miss->should, radicalChart)) {
            static_cast<forms::Control&>(keyDue) = *due;
            keyDue.Visible = true;
        }
        if (auto pressed = KeyOnChart(miss->pressed, radicalChart)) {
            static_cast<forms::Control&>(keyPressed) = *pressed;
            keyPressed.Visible = true;
        }
    }
}

bool PracticeRoom::OnPracticeBoxChar(wchar_t key) {
    if (!board_.CodeMode() || !(builtInItem.Checked || chosenItem.Checked)) return false;
    const FiveStrokeCodes* codes = board_.Codes();
    if (!codes) return false;
    if (card.Shown()) OnCardKey();
    const int next = typedPos() + 1;
    const std::wstring expected = ExpectedFrom(next);
    const std::uint64_t now = services_.clock.Milliseconds();
    // A mark has no code: its key types it, as an input method would.
    if (composer_.Pending().empty())
        if (const wchar_t mark = ChinesePunctuation(key, expected.empty() ? L'\0' : expected[0])) {
            practiceBox.SetText(practiceBox.Text() + mark);
            Render();
            return true;
        }
    // A key is judged before it joins the code: against the next
    // character, or a word that starts there.
    if (!expected.empty() && key != kBackspaceKey) {
        bool right = false, judged = false;
        for (size_t length = 1; length <= expected.size() && !right; ++length) {
            const KeyVerdict verdict = JudgeKey(*codes, expected.substr(0, length), composer_.Pending(), key);
            judged = judged || verdict != KeyVerdict::NotJudged;
            right = verdict == KeyVerdict::Right;
        }
        if (judged && runOpen_) NoteKey(next, key, right, now, *codes);
        if (judged && !right) {
            KeyWrong(next, key, *codes);
            Render();
            return true;
        }
    }
    if (runOpen_ && key != kBackspaceKey) lastKeyAt_ = now;
    if (composer_.Pending().empty()) codeStarted_ = now;
    const Composed step = composer_.Press(*codes, key, [&](std::wstring_view text) {
        return std::wstring_view(expected).substr(0, text.size()) == text;
    });
    switch (step.step) {
        case Composed::Step::NotTaken: return false;
        case Composed::Step::NothingToErase: ShowPending(); return false;  // the box erases a character
        case Composed::Step::Pending:
        case Composed::Step::Erased:
        case Composed::Step::NoEntry: ShowPending(); break;
        case Composed::Step::Text:
            HideKeyMarks();
            hintLine.SetCaption(L"");
            run_.SetKeyTime(static_cast<int>(std::min<std::uint64_t>(now - codeStarted_, kLongestGapMs)));
            ShowPending();
            // Judged as typed; the change renders the grid, the hint and the letters.
            practiceBox.SetText(practiceBox.Text() + std::wstring(step.text));
            return true;
    }
    Render();
    return true;
}

}  // namespace quorlax
