// The program: the rooms on their board, the menu bar, start-up.
#include "app/program.h"

#include "platform/product.h"

namespace quorlax {

Program::Program(Services& services, PracticeFiles files)
    : board(services.messages),
      game(board, services.random, services.sound),
      practice(board, services, files),
      scores(board, services.settings),
      settings(board, services),
      battle(board, services),
      services_(services) {
    fileMenu.Define(L" 文 件");
    gameMenu.Define(L"游 戏");
    settingsMenu.Define(L"设 置");
    exitItem.Define(L"退 出");
    helpMenu.Define(L" 帮 助");
    gameMenu.Items = {&game.chineseGameItem, &game.englishGameItem, &game.digitsGameItem, &battle.battleItem};
    settingsMenu.Items = {&settings.backColorItem, &settings.backPictureItem, &settings.textColorItem,
                          &settings.textFontItem, &practice.codeHintItem, &practice.learning.targetSpeedMenu,
                          &settings.codeModeItem};
    fileMenu.Items = {&gameMenu, &practice.practiceMenu, &settingsMenu, &scores.rankingItem, &exitItem};
    helpMenu.Items = {&settings.helpItem, &settings.aboutItem};
    menuBar = {&fileMenu, &game.speedMenu, &game.livesMenu, &helpMenu};
    exitItem.Click = [this] { OnExit(); };
    board.menusLocked.Listen([this](bool locked) { fileMenu.Enabled = !locked; });
    board.clock.Tick = [this] { board.OnClockTick(); };
}

bool Program::Load() {
    if (setupSkin) setupSkin();
    settings.Load();
    scores.Load();
    if (!board.LoadData(services_.files)) return false;
    const bool canDraw = game.Load();
    const bool canPractise = practice.Load();
    // Drawing would never find a word, or a practice text never be built:
    // say so once instead of hanging; the rooms grey what cannot work.
    if (!canDraw) {
        services_.messages.Show(std::wstring(L"数据文件 ") + kWordPoolFile +
                                L" 中没有可抽取的词语（每个词语前面应有一个空格之类的单字节字符）。\n"
                                L"“汉字”游戏暂不可用。" +
                                (canPractise ? L"" : L"\n“练习 › 汉字”也不可用。"));
    } else if (!canPractise) {
        services_.messages.Show(std::wstring(L"数据文件 ") + kWordPoolFile +
                                L" 太短（不足 30 个字）或其中没有可抽取的词语，无法生成练习文本。\n"
                                L"“练习 › 汉字”暂不可用；“练习 › 选择”仍可使用。");
    }
    board.caption = kProductName;
    board.visible = true;
    return true;
}

void Program::OnExit() {
    scores.hallOfFame.Unload();
    settings.CloseWindows();
    if (onQuit) onQuit();
}

std::vector<forms::Timer*> Program::Timers() {
    return {&game.fallTimer,  &board.clock,     &practice.cursorBlink,   &battle.joinRetry,
            &battle.heartbeat, &game.shotTimer, &battle.joinLimit, &board.scene.prepareTimer};
}

}  // namespace quorlax
