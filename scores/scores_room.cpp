// The scores room: the hall of fame as the other rooms meet it.
#include "scores/scores_room.h"

namespace quorlax {

ScoresRoom::ScoresRoom(Board& board, ISettingsStore& store)
    : hallOfFame(board, store), board_(board), store_(store) {
    rankingItem.Define(L"排 名");
    rankingItem.Click = [this] { OnRanking(); };
    board_.gameStarting.Listen([this](GamePool) { hallOfFame.Unload(); });
    board_.gameEnding.Listen([this] { hallOfFame.Unload(); });
    board_.gameOver.Listen([this](GamePool pool) { OnGameOver(pool); });
    board_.closeAsked.Listen([this](ToolWindow window) {
        if (window == ToolWindow::HallOfFame) hallOfFame.Unload();
    });
}

void ScoresRoom::Load() { HallOfFame(store_).StartupFill(); }

void ScoresRoom::OnGameOver(GamePool pool) {
    if (HallOfFame(store_).Qualifies(pool, board_.standing().total)) hallOfFame.ShowNameBox();
}

void ScoresRoom::OnRanking() { hallOfFame.RankingMenu(); }

}  // namespace quorlax
