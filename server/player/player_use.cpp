#include "server/player/player_use.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/cstr.h"
#include "core/spatial_grid.h"
#include "script/language/trigger_table.h"
#include "script/runtime/trigger_services.h"
#include "server/net/object_senders.h"
#include "server/net/player_senders.h"
#include "server/world/container.h"
#include "server/world/doors.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/rules_services.h"
#include "server/world/world_utilities.h"

namespace {

constexpr const char* kCannotReach = "I can't reach that.";
constexpr const char* kDead = "I am dead and cannot do that.";
constexpr const char* kFailedPeek = "You failed to peek into the container.";
// The objaccess trigger's first number: 9 asks whether an item on another mobile may be
// used, 8 whether the holder of a container lets it be used.
constexpr int kAccessOnMobile = 9;
constexpr int kAccessHolder = 8;
constexpr int kHighAbove = 16;
constexpr int kLowBelow = 8;
// Snooping moves the snooper's karma toward this.
constexpr int kSnoopKarmaTarget = -500;
constexpr int kSnoopDifficulty = 100;
constexpr int kSnoopCrimeKind = 2;
constexpr int kPaperdollTitleLength = 59;
constexpr int kFamousLevel = 3;
constexpr int kSpellbookGump = 0xFFFF;
constexpr int kFirstHumanBody = 400;
constexpr int kFirstBookGraphic = 4079;
constexpr int kLastBookGraphic = 4082;
constexpr int kChessBoard = 0xFA6;
constexpr int kBoardGraphics[] = {0xFAD, 0xE1C};

void Tell(CPlayer& player, const char* text) {
    GetPacketServices().SendSystemMessage(&player, text);
}

// The outermost container holding the object; null for an object lying in the world.
CItem* OutermostHolder(CItem* object) {
    CItem* holder = nullptr;
    for (CItem* up = object->GetContainer(); up; up = up->GetContainer())
        holder = up;
    return holder;
}

int SendAccessTrigger(CItem* owner, int question, u32 user, u32 object) {
    TriggerArgs args;
    const int ints[3] = {question, static_cast<int>(user), static_cast<int>(object)};
    args.value = question;
    args.serial = user;
    args.other = object;
    args.ints = ints;
    args.intCount = 3;
    return GetTriggerServices().SendTrigger(owner, kTriggerObjAccess, args);
}

int SendUseTrigger(CItem* object, int trigger, u32 user) {
    TriggerArgs args;
    args.serial = user;
    return GetTriggerServices().SendTrigger(object, trigger, args);
}

// Snooping into a container on another mobile; answers whether the container may open.
bool Snoop(CPlayer& player, u32 playerSerial, CItem* owner, CContainer* container) {
    if (CPlayer* held = owner->AsPlayer(); held && held->IsEditing()) {
        Tell(player, held->IsGameMaster() ? "You can not peek into the container." : kFailedPeek);
        return false;
    }
    player.ChangeKarma(kSnoopKarmaTarget);
    if (!IsObjectAlive(playerSerial, &player)) return false;
    const int chance = (1000 - player.GetEffectiveSkill(kSnoopingSkill, 0)) / 50;
    RulesServices& rules = GetRulesServices();
    rules.WitnessCrime(player.GetWorldLocation(), player, owner, "", chance, 0, kSnoopCrimeKind);
    if (!IsObjectAlive(playerSerial, &player)) return false;
    if (rules.TestSkill(player, kSnoopingSkill, container, kSnoopDifficulty) < 0) {
        Tell(player, kFailedPeek);
        return false;
    }
    player.SetActionDelay(kLookActionDelay);
    return true;
}

void NotBuiltUse(bool& logged, const char* what) {
    LogNotBuiltOnce(logged, "players", what);
}

}  // namespace

void CPlayer::UseObjectRequest(CItem* object, int flag) {
    ::UseObjectRequest(*this, object, flag);
}

void UseObjectRequest(CPlayer& player, CItem* object, int flag) {
    if (!object) return;
    const Location at = player.GetWorldLocation();
    if (player.IsNonCombatant()) {
        // Staff only look: a counselor at any mobile, anyone at a counselor.
        const Location there = object->GetWorldLocation();
        const bool near = ChebyshevDistanceXY(there.x, there.y, at.x, at.y) < kLookReach;
        CMobile* mobile = object->AsMobile();
        CPlayer* other = object->AsPlayer();
        if (near && mobile && (player.IsCounselor() || (other && other->IsCounselor()))) {
            SendPaperdoll(player, player.GetSerial(), *mobile);
            player.SetActionDelay(kLookActionDelay);
        }
        return;
    }
    if (player.IsActionDelayed()) return;
    const u32 serial = player.GetSerial();
    UseObject(&player, serial, at, object, flag);
    if (IsObjectAlive(serial, &player)) player.SetActionDelay(kUseActionDelay);
}

void UseObject(CPlayer* player, u32 playerSerial, const Location& playerAt, CItem* object,
               int flag) {
    if (!object) return;
    if (!player) player = FindLivePlayerBySerial(playerSerial);
    if (!player) return;
    const u32 serial = object->GetSerial();
    auto gone = [&]() {
        return !IsObjectAlive(serial, object) || !IsObjectAlive(playerSerial, player);
    };

    if (!SendUseTrigger(object, kTriggerOorUse, playerSerial) || gone()) return;

    CItem* owner = OutermostHolder(object);
    if (!player->IsEditing()) {
        const Location where = object->GetWorldLocation();
        const int d = ChebyshevDistanceXY(where.x, where.y, playerAt.x, playerAt.y);
        CMobile* mobile = object->AsMobile();
        if (mobile) {
            // Mobiles are looked at (and mounts approached) from afar: a horse 10 tiles away
            // is reached, and riding it then answers that it is too far. Only the dead may
            // not use a creature that can be ridden.
            if (d > kLookReach) {
                GetPacketServices().TellSelf(player, kCannotReach);
                return;
            }
            if (player->IsGhost() && mobile->IsRidable()) {
                GetPacketServices().TellSelf(player, kDead);
                return;
            }
        } else {
            if (player->IsGhost()) {
                GetPacketServices().TellSelf(player, kDead);
                return;
            }
            if (d > kUseReach || where.z > playerAt.z + kHighAbove ||
                where.z + object->GetHeight() < playerAt.z - kLowBelow ||
                !ItemCanSee(*player, *object, kSightWalls)) {
                GetPacketServices().TellSelf(player, kCannotReach);
                return;
            }
        }
        if (!object->IsContainer() || object->IsSpellbook()) {
            if (owner && owner->IsMobile() && owner != player) {
                if (SendAccessTrigger(owner, kAccessOnMobile, playerSerial, serial) != 0) return;
                if (gone()) return;
            }
        }
        if (owner) {
            if (SendAccessTrigger(owner, kAccessHolder, playerSerial, serial) == 0) return;
            if (gone()) return;
        }
    }

    if (!SendUseTrigger(object, kTriggerUse, playerSerial) || gone()) return;

    const int graphic = object->GetType();
    if (object->IsMap()) {
        static bool logged = false;
        NotBuiltUse(logged, "using a map is not built yet");
    } else if (object->IsBulletinBoard()) {
        if (CContainer* board = object->AsContainer()) SendBoardOpen(*player, *board);
    } else if (CMobile* mobile = object->AsMobile()) {
        UseMobile(*player, playerSerial, playerAt, mobile, flag);
    } else if (object->IsSpellbook()) {
        OpenSpellbook(*player, playerSerial, object);
    } else if (graphic >= kFirstBookGraphic && graphic <= kLastBookGraphic) {
        static bool logged = false;
        NotBuiltUse(logged, "reading a book is not built yet");
    } else if (graphic == kChessBoard || graphic == kBoardGraphics[0] ||
               graphic == kBoardGraphics[1]) {
        static bool logged = false;
        NotBuiltUse(logged, "game boards are not built yet");
    } else if (CContainer* container = object->AsContainer()) {
        CItem* top = OutermostHolder(object);
        if (top && top->IsMobile() && top != player && !player->IsEditing()) {
            if (!Snoop(*player, playerSerial, top, container) || gone()) return;
        }
        SendContainerOpen(*player, *container, container->GetGumpId());
    } else {
        UseGenericObject(player, object);
    }
}

void UseMobile(CPlayer& player, u32 playerSerial, const Location& playerAt, CMobile* mobile,
               int flag) {
    if (!mobile || mobile->IsContained()) return;
    const bool self = mobile == &player;
    if (self || mobile->GetBody() >= kFirstHumanBody) {
        if (self && player.IsMounted() && flag == 0) {
            player.Dismount();
        } else {
            SendPaperdoll(player, playerSerial, *mobile);
        }
        return;
    }
    if (!mobile->IsRidable() || mobile->IsPlayer()) return;
    if (!mobile->GetCombatList().IsEmpty() || !mobile->GetAggressorList().IsEmpty()) {
        Tell(player, "You can't get on a horse that's fighting.");
        return;
    }
    const Location there = mobile->GetWorldLocation();
    if (Distance2D(playerAt.x, playerAt.y, there.x, there.y) < 2) {
        player.Mount(mobile);
    } else {
        Tell(player, "That is too far away to ride.");
    }
}

void SendPaperdoll(CPlayer& viewer, u32, CMobile& mobile) {
    CStr titled;
    mobile.GetTitledName(titled);
    std::string title(titled.CText() ? titled.CText() : "");
    if (title.size() > kPaperdollTitleLength) title.resize(kPaperdollTitleLength);
    if (mobile.IsPlayer() && &mobile != &viewer && !viewer.IsEditing() &&
        mobile.GetFameLevel() < kFamousLevel) {
        // The skill title (", Grandmaster Mage") is for the famous.
        const size_t comma = title.rfind(',');
        if (comma != std::string::npos) title.resize(comma);
    }
    const int war = mobile.IsPlayer() ? mobile.AsPlayer()->GetWarModeBytes()[0]
                                      : (mobile.HasStatusFlag(kMobileFighting) ? 1 : 0);
    SendPaperdollTo(viewer, mobile.GetSerial(), title.c_str(), war);
}

void OpenSpellbook(CPlayer& player, u32, CItem* book) {
    CContainer* spells = book ? book->AsContainer() : nullptr;
    if (!spells) return;
    CItem* holder = book->GetContainer();
    CContainer* pack = nullptr;
    bool allowed = holder == nullptr || holder == &player;
    if (!allowed && holder->GetContainer() == &player && holder->IsEquipped()) {
        allowed = true;
        pack = holder->AsContainer();
    }
    if (!allowed) {
        Tell(player,
             "The spellbook must be in your backpack (and not in a container within) to open.");
        return;
    }
    if (pack) SendContainerOpen(player, *pack, pack->GetGumpId());
    SendObjectTo(player, *book, true);
    SendContainerOpen(player, *spells, kSpellbookGump);
}
