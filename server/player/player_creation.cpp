#include "server/player/player_creation.h"

#include "platform/clock.h"
#include "server/player/player_life.h"
#include "server/world/object_manager.h"
#include "server/world/mobile_alignment.h"
#include "server/world/player.h"
#include "server/world/resource_type.h"

namespace {

constexpr int kHairLayer = 11;
constexpr int kBeardLayer = 16;
constexpr int kBackpackLayer = 21;
constexpr int kBackpackGraphic = 0xE75;
constexpr int kSkillCount = 50;
// Starting-kit templates: 3000 + skill number, 2998 (male) and 2999 (female).
constexpr int kSkillKitTemplate = 3000;
constexpr int kMaleKitTemplate = 2998;
// A new character starts well fed.
constexpr int kNewCharacterSatiety = 25;

bool ValidHair(int style, bool female) {
    if (style == 0) return true;
    if (style == 8262 && !female) return false;
    return (style >= 8251 && style <= 8253) || (style >= 8260 && style <= 8266);
}

bool ValidBeard(int style) {
    return (style >= 8254 && style <= 8257) || (style >= 8267 && style <= 8269);
}

// Makes the item and wears it on the layer; an item that cannot be worn is deleted.
void WearNew(CPlayer* player, int graphic, u16 hue, int layer, bool container) {
    CItem* item =
        container ? g_objectManager.CreateContainer(graphic) : g_objectManager.CreateItem(graphic);
    if (!item) return;
    item->SetHue(hue);
    if (!item->EquipOn(player, layer)) item->DeleteSelf();
}

// A character is meat and one of the humans (what hunters and the hostile look for) and
// starts on the good side.
void GiveCreationResources(CPlayer& player) {
    const CResourceTypeTable& types = GetResourceTypes();
    const std::pair<const char*, s32> held[] = {{"meat", 10}, {"humans", 10}, {"good", 1}};
    for (const auto& [name, amount] : held) {
        const int type = types.FindNumber(name);
        if (type != 0) player.AddResource(type, 3, amount, 0, amount);
    }
    player.SetAlignmentFlag(0, kSideMeat | kSideHumans | kSideGood, true);
}

}  // namespace

NewCharacter ClampNewCharacter(const NewCharacter& request) {
    NewCharacter c = request;
    c.sex = c.sex ? 1 : 0;
    const int str = c.strength, dex = c.dexterity, intel = c.intelligence;
    const auto badStat = [](int v) { return v > 50 || v < 10; };
    if (str + dex + intel > 100 || badStat(str) || badStat(dex) || badStat(intel)) {
        c.strength = 34;
        c.dexterity = 33;
        c.intelligence = 33;
    }
    const int skillSum = c.skillValue[0] + c.skillValue[1] + c.skillValue[2];
    if (skillSum > 100 || c.skillValue[0] > 50 || c.skillValue[1] > 50 || c.skillValue[2] > 50) {
        c.skillValue[0] = 34;
        c.skillValue[1] = 33;
        c.skillValue[2] = 33;
    }
    if (c.skinHue < 1002 || c.skinHue > 1058) c.skinHue = 1002;
    if (c.hairHue < 1102 || c.hairHue > 1149) c.hairHue = 1102;
    if (c.beardHue < 1102 || c.beardHue > 1149) c.beardHue = 1102;
    if (!ValidHair(c.hairStyle, c.sex == 1)) c.hairStyle = 0;
    if (c.sex == 1 || !ValidBeard(c.beardStyle)) c.beardStyle = 0;
    return c;
}

CPlayer* CPlayerRegistry::CreatePlayer(const NewCharacter& request) {
    const NewCharacter c = ClampNewCharacter(request);
    // The serial is the one the construction issued, without bit 30 like every mobile's: the
    // form the save keeps, so the character's serial stays the same across restarts.
    CPlayer* player = new CPlayer;
    Location start = request.x == 0xFFFF ? ConfiguredStartLocation() : Location(c.x, c.y, c.z);
    player->SetSex(c.sex);
    player->SetBodyType(400 + c.sex);
    player->SetName(c.name);
    const int stats[3] = {c.strength, c.dexterity, c.intelligence};
    for (int i = 0; i < 3; ++i)
        player->SetRealStat(i, stats[i]);
    player->SetMaxHits(c.strength);
    player->SetCurHits(c.strength);
    player->SetMaxMana(c.intelligence);
    player->SetCurMana(c.intelligence);
    player->SetMaxFatigue(c.dexterity);
    player->SetCurFatigue(c.dexterity);
    for (int n = 0; n < kSkillCount; ++n)
        player->SetSkill(n, 0);
    player->SetNotoriety(0);
    player->SetSatiety(kNewCharacterSatiety);
    player->SetAttitude(0);
    player->SetHue(static_cast<u16>(c.skinHue | 0x8000));
    for (int i = 0; i < 3; ++i)
        if (c.skill[i] < kSkillCount) player->SetSkill(c.skill[i], c.skillValue[i] * 10);
    player->SetCharacterKey(c.characterKey);
    player->SetAccountKey(c.accountKey);
    if (c.hairStyle) WearNew(player, c.hairStyle, c.hairHue, kHairLayer, false);
    if (c.beardStyle) WearNew(player, c.beardStyle, c.beardHue, kBeardLayer, false);
    WearNew(player, kBackpackGraphic, 0, kBackpackLayer, true);
    GiveCreationResources(*player);
    // The starting kit: a template per skill the character has, then one per sex, applied
    // while the player stands quietly at the world corner (templates create where their
    // target stands).
    PlayerLifeServices& life = GetPlayerLifeServices();
    player->PlaceInWorldQuiet(WorldCorner());
    for (int n = 0; n < kSkillCount; ++n)
        if (player->GetBaseSkill(n) != 0) life.ApplyTemplate(*player, kSkillKitTemplate + n);
    life.ApplyTemplate(*player, kMaleKitTemplate + c.sex);
    player->MarkContentsValueless();
    if (!player->IsDetached()) player->RemoveFromWorldQuiet();
    // The request's start is kept: the character enters the world where it was asked for.
    player->PlaceInWorldQuiet(start);
    player->SetCreationTime(platform::NowMs());
    life.AttachLoginScripts(*player);
    return player;
}
