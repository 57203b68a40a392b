// The battle room: the panel and the messages a game sends.
#include "net/battle_room.h"

#include "app/form1.h"

namespace quorlax {

BattleRoom::BattleRoom(Form1& form, Services& services)
    : Frame1(form.scene, forms::Layer::Overlay), services_(services) {
    wldz.Define(L"wldz", L"网络对战");
    Frame1.Place(2200, 2000, 7455, 3015);
    Frame1.Caption = L"连接";
    Frame1.Visible = false;
}

void BattleRoom::BattleHit() {
    if (netBattle == 1) services_.battle.Send("jia200");
}

void BattleRoom::BattleDefeat() {
    services_.battle.Send("bai");
    ++battleLosses;
    Frame1.Visible = true;
}

}  // namespace quorlax
