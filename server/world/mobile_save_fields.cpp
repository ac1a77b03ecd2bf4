// The save fields of mobiles, NPCs, shopkeepers and players: one row per key, its writer beside
// its reader.
#include <type_traits>

#include "core/log_sink.h"
#include "server/world/mobile.h"
#include "server/world/guard.h"
#include "server/world/npc.h"
#include "server/world/object_fields.h"
#include "server/world/player.h"

namespace {

constexpr int kFragmentLimit = 120;
constexpr u32 kSavedPlayerFlags = 0x2D47A;

// An array slot by its index, for the rows of an array's members.
template <int I>
using Slot = std::integral_constant<int, I>;

// A skill number as written before a skill's value; false outside the skill table.
bool SkillNumber(long long n) {
    return n >= 0 && n < kMobileSkills;
}

}  // namespace

std::span<const SaveField<CMobile>> ObjectFieldAccess::MobileFields() {
    // The rows of one slot of the stats (written unsigned), the stat modifiers and the sounds
    // (0xFFFF: none).
    constexpr auto stat = [](auto slot, const char* key) {
        constexpr int i = decltype(slot)::value;
        SaveField<CMobile> row{key, nullptr, nullptr};
        row.write = [](CMobile& m, const FieldOut& out) {
            if (m.stats_[i] != 0) out.Int(static_cast<u16>(m.stats_[i]));
        };
        row.read = [](CMobile& m, const FieldIn& in) {
            m.stats_[i] = static_cast<s16>(in.Number());
        };
        return row;
    };
    constexpr auto statMod = [](auto slot, const char* key) {
        constexpr int i = decltype(slot)::value;
        SaveField<CMobile> row{key, nullptr, nullptr};
        row.write = [](CMobile& m, const FieldOut& out) {
            if (m.statMods_[i] != 0) out.Int(m.statMods_[i]);
        };
        row.read = [](CMobile& m, const FieldIn& in) {
            m.statMods_[i] = static_cast<s16>(in.Number());
        };
        return row;
    };
    constexpr auto sound = [](auto slot, const char* key) {
        constexpr int i = decltype(slot)::value;
        SaveField<CMobile> row{key, nullptr, nullptr};
        row.write = [](CMobile& m, const FieldOut& out) {
            if (m.saveExtras.sounds[i] != 0xFFFF) out.Int(m.saveExtras.sounds[i]);
        };
        row.read = [](CMobile& m, const FieldIn& in) {
            m.saveExtras.sounds[i] = static_cast<u16>(in.Number());
        };
        return row;
    };
    static constexpr SaveField<CMobile> kRows[] = {
        // Each skill's value and its modifier, in pairs by skill number.
        {"skill",
         [](CMobile& m, const FieldOut& out) {
             for (int n = 0; n < kMobileSkills; ++n) {
                 if (m.skills_[n] != 0) out.Numbers({n, m.skills_[n]});
                 if (m.skillMods_[n] != 0) out.NumbersOf("skillmod", {n, m.skillMods_[n]});
             }
         },
         [](CMobile& m, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             if (SkillNumber(v[0])) m.skills_[v[0]] = static_cast<u16>(v[1]);
         }},
        {"skillmod", nullptr,  // written with "skill"
         [](CMobile& m, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             if (SkillNumber(v[0])) m.skillMods_[v[0]] = static_cast<s16>(v[1]);
         }},
        {"skillslush",
         [](CMobile& m, const FieldOut& out) {
             if (m.skillPool_ != 0) out.Int(m.skillPool_);
         },
         [](CMobile& m, const FieldIn& in) { m.skillPool_ = static_cast<s32>(in.Number()); }},
        // Read for every item (the item's table).
        {"state",
         [](CMobile& m, const FieldOut& out) {
             if (m.statusFlags_ != 0) out.Int(m.statusFlags_);
         },
         nullptr},
        stat(Slot<0>{}, "str"),
        stat(Slot<1>{}, "dex"),
        stat(Slot<2>{}, "int"),
        statMod(Slot<0>{}, "strmod"),
        statMod(Slot<1>{}, "dexmod"),
        statMod(Slot<2>{}, "intmod"),
        // A maximum read back sets the current value too; "cur…" follows when they differ.
        {"hp",
         [](CMobile& m, const FieldOut& out) {
             if (m.maxHits_ != 0) out.Int(m.maxHits_);
         },
         [](CMobile& m, const FieldIn& in) {
             m.maxHits_ = m.curHits_ = static_cast<s32>(in.Number());
         }},
        {"curhp",
         [](CMobile& m, const FieldOut& out) {
             if (m.curHits_ != m.maxHits_) out.Int(m.curHits_);
         },
         [](CMobile& m, const FieldIn& in) { m.curHits_ = static_cast<s32>(in.Number()); }},
        {"mana",
         [](CMobile& m, const FieldOut& out) {
             if (m.maxMana_ != 0) out.Int(m.maxMana_);
         },
         [](CMobile& m, const FieldIn& in) {
             m.maxMana_ = m.curMana_ = static_cast<s32>(in.Number());
         }},
        {"curmana",
         [](CMobile& m, const FieldOut& out) {
             if (m.curMana_ != m.maxMana_) out.Int(m.curMana_);
         },
         [](CMobile& m, const FieldIn& in) { m.curMana_ = static_cast<s32>(in.Number()); }},
        {"fat",
         [](CMobile& m, const FieldOut& out) {
             if (m.maxFatigue_ != 0) out.Int(m.maxFatigue_);
         },
         [](CMobile& m, const FieldIn& in) {
             m.maxFatigue_ = m.curFatigue_ = static_cast<s32>(in.Number());
         }},
        {"curfat",
         [](CMobile& m, const FieldOut& out) {
             if (m.curFatigue_ != m.maxFatigue_) out.Int(m.curFatigue_);
         },
         [](CMobile& m, const FieldIn& in) { m.curFatigue_ = static_cast<s32>(in.Number()); }},
        {"clocks",
         [](CMobile& m, const FieldOut& out) {
             out.Numbers({m.clocks_[0], m.clocks_[1], m.clocks_[2], m.clocks_[3]});
         },
         [](CMobile& m, const FieldIn& in) {
             long long v[4];
             in.Numbers(v, 4);
             for (int i = 0; i < 4; ++i)
                 m.clocks_[i] = static_cast<s32>(v[i]);
         }},
        {"not",
         [](CMobile& m, const FieldOut& out) {
             if (m.notoriety_ != 0) out.Int(m.notoriety_);
         },
         [](CMobile& m, const FieldIn& in) { m.notoriety_ = static_cast<s8>(in.Number()); }},
        {"fame",
         [](CMobile& m, const FieldOut& out) {
             if (m.fame_ != 0) out.Int(m.fame_);
         },
         [](CMobile& m, const FieldIn& in) { m.fame_ = static_cast<u16>(in.Number()); }},
        {"karma",
         [](CMobile& m, const FieldOut& out) {
             if (m.karma_ != 0) out.Int(m.karma_);
         },
         [](CMobile& m, const FieldIn& in) { m.karma_ = static_cast<s16>(in.Number()); }},
        {"hung",
         [](CMobile& m, const FieldOut& out) {
             if (m.saveExtras.hunger != 0) out.Int(m.saveExtras.hunger);
         },
         [](CMobile& m, const FieldIn& in) { m.saveExtras.hunger = static_cast<u8>(in.Number()); }},
        {"att",
         [](CMobile& m, const FieldOut& out) {
             if (m.saveExtras.attitude != 0) out.Int(m.saveExtras.attitude);
         },
         [](CMobile& m, const FieldIn& in) {
             m.saveExtras.attitude = static_cast<u8>(in.Number());
         }},
        {"deftexthue",
         [](CMobile& m, const FieldOut& out) {
             if (m.defaultTextHue_ != 946) out.Int(m.defaultTextHue_);
         },
         [](CMobile& m, const FieldIn& in) { m.defaultTextHue_ = static_cast<u16>(in.Number()); }},
        {"dir",
         [](CMobile& m, const FieldOut& out) {
             if (m.direction_ != 0) out.Int(m.direction_);
         },
         [](CMobile& m, const FieldIn& in) { m.direction_ = static_cast<int>(in.Number()); }},
        {"stclk",
         [](CMobile& m, const FieldOut& out) {
             if (m.saveExtras.stomachClock != 0) out.Int(m.saveExtras.stomachClock);
         },
         [](CMobile& m, const FieldIn& in) {
             m.saveExtras.stomachClock = static_cast<s32>(in.Number());
         }},
        {"stom",
         [](CMobile& m, const FieldOut& out) {
             if (m.saveExtras.stomach != 0) out.Int(m.saveExtras.stomach);
         },
         [](CMobile& m, const FieldIn& in) {
             m.saveExtras.stomach = static_cast<u8>(in.Number());
         }},
        // The leader a follower joins once every record is read.
        {"master",
         [](CMobile& m, const FieldOut& out) {
             if (m.follows_ && m.leader_) out.Int(m.leader_->GetSerial());
         },
         [](CMobile&, const FieldIn& in) { in.state.master = static_cast<u32>(in.Number()); }},
        {"sex",
         [](CMobile& m, const FieldOut& out) {
             const int sex = m.IsPlayer() ? m.AsPlayer()->GetSex() : m.saveExtras.sex;
             if (sex != 0) out.Int(sex);
         },
         [](CMobile& m, const FieldIn& in) {
             if (CPlayer* player = m.AsPlayer()) {
                 player->SetSex(static_cast<int>(in.Number()));
             } else {
                 m.saveExtras.sex = static_cast<u8>(in.Number());
             }
         }},
        {"name", [](CMobile& m, const FieldOut& out) { out.Text(m.GetRealName()); },
         [](CMobile& m, const FieldIn& in) {
             if (CPlayer* player = m.AsPlayer()) {
                 player->SetName(in.value.c_str());
             } else {
                 m.SetName(in.value.c_str());
             }
         }},
        {"lt",
         [](CMobile& m, const FieldOut& out) {
             if (m.lightDuration_ != 0) out.Int(m.lightDuration_);
         },
         [](CMobile& m, const FieldIn& in) { m.lightDuration_ = static_cast<u8>(in.Number()); }},
        {"lv",
         [](CMobile& m, const FieldOut& out) {
             if (m.lightLevel_ != 0) out.Int(m.lightLevel_);
         },
         [](CMobile& m, const FieldIn& in) { m.lightLevel_ = static_cast<u8>(in.Number()); }},
        {"lifeclock",
         [](CMobile& m, const FieldOut& out) {
             if (m.saveExtras.lifeClock != 0) out.Int(m.saveExtras.lifeClock);
         },
         [](CMobile& m, const FieldIn& in) {
             m.saveExtras.lifeClock = static_cast<s32>(in.Number());
         }},
        sound(Slot<0>{}, "sfxdie"),
        sound(Slot<1>{}, "sfxnotice"),
        sound(Slot<2>{}, "sfxidle"),
        sound(Slot<3>{}, "sfxhit"),
        sound(Slot<4>{}, "sfxwashit"),
        {"movetype",
         [](CMobile& m, const FieldOut& out) {
             if (m.moveType_ != 1) out.Int(m.moveType_);
         },
         [](CMobile& m, const FieldIn& in) {
             const u8 type = static_cast<u8>(in.Number());
             m.SetMoveType(type);
             if (type == 0) m.mobFlags_ |= kMobFrozen;
         }},
        {"savedriding",
         [](CMobile& m, const FieldOut& out) {
             if (m.savedRiding_ != 0) out.Int(static_cast<s32>(m.savedRiding_));
         },
         [](CMobile& m, const FieldIn& in) { m.savedRiding_ = static_cast<u32>(in.Number()); }},
        {"mobflags",
         [](CMobile& m, const FieldOut& out) {
             // A ghost is never saved frozen: it would come back unable to leave its death
             // menu.
             const u8 flags =
                 m.IsGhost() ? static_cast<u8>(m.mobFlags_ & ~kMobFrozen) : m.mobFlags_;
             if (flags != 0) out.Int(flags);
         },
         [](CMobile& m, const FieldIn& in) { m.mobFlags_ = static_cast<u8>(in.Number()); }},
        {"attacking",
         [](CMobile& m, const FieldOut& out) {
             for (const SerialTimer& e : m.attacking_.Entries())
                 out.Numbers({e.serial, e.timeout});
         },
         [](CMobile& m, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             m.attacking_.AddSaved(static_cast<u32>(v[0]), static_cast<u16>(v[1]));
         }},
        {"attackedby",
         [](CMobile& m, const FieldOut& out) {
             for (const SerialTimer& e : m.attackedBy_.Entries())
                 out.Numbers({e.serial, e.timeout});
         },
         [](CMobile& m, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             m.attackedBy_.AddSaved(static_cast<u32>(v[0]), static_cast<u16>(v[1]));
         }},
    };
    static_assert(SaveFieldKeysAreUnique<CMobile>(kRows));
    return kRows;
}

std::span<const SaveField<CNPC>> ObjectFieldAccess::NpcFields() {
    static constexpr SaveField<CNPC> kRows[] = {
        {"flags",
         [](CNPC& npc, const FieldOut& out) {
             if (npc.npcFlags_ != 0) out.Int(npc.npcFlags_);
         },
         [](CNPC& npc, const FieldIn& in) { npc.npcFlags_ = static_cast<int>(in.Number()); }},
        {"frag",
         [](CNPC& npc, const FieldOut& out) {
             for (const std::string& fragment : npc.ai.fragments) {
                 if (!fragment.empty() && fragment.size() < kFragmentLimit) out.Text(fragment);
             }
         },
         [](CNPC& npc, const FieldIn& in) {
             npc.ai.fragments.push_back(in.value.substr(0, kFragmentLimit - 1));
         }},
        {"job",
         [](CNPC& npc, const FieldOut& out) {
             if (npc.ai.job != "no job") out.Text(npc.ai.job);
         },
         [](CNPC& npc, const FieldIn& in) { npc.ai.job = in.value; }},
        {"town",
         [](CNPC& npc, const FieldOut& out) {
             if (npc.ai.town != "no town") out.Text(npc.ai.town);
         },
         [](CNPC& npc, const FieldIn& in) { npc.ai.town = in.value; }},
        {"npcflee",
         [](CNPC& npc, const FieldOut& out) {
             if (npc.ai.fleeValue != 16) out.Int(npc.ai.fleeValue);
         },
         [](CNPC& npc, const FieldIn& in) { npc.ai.fleeValue = static_cast<u8>(in.Number()); }},
        {"desireLoc", [](CNPC& npc, const FieldOut& out) { out.Loc(npc.ai.desireLoc); },
         [](CNPC& npc, const FieldIn& in) { npc.ai.desireLoc = in.Loc(); }},
        {"lastDesireLoc", [](CNPC& npc, const FieldOut& out) { out.Loc(npc.ai.lastDesireLoc); },
         [](CNPC& npc, const FieldIn& in) { npc.ai.lastDesireLoc = in.Loc(); }},
        {"homeLoc", [](CNPC& npc, const FieldOut& out) { out.Loc(npc.ai.homeLoc); },
         [](CNPC& npc, const FieldIn& in) { npc.ai.homeLoc = in.Loc(); }},
        {"followObjs",
         [](CNPC& npc, const FieldOut& out) {
             const ::NpcFields& f = npc.ai;
             out.Numbers({f.followSerial, f.lastFollowSerial, f.followTimeout});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[3];
             in.Numbers(v, 3);
             npc.ai.followSerial = static_cast<u32>(v[0]);
             npc.ai.lastFollowSerial = static_cast<u32>(v[1]);
             npc.ai.followTimeout = static_cast<s32>(v[2]);
         }},
        // The state is written twice, first in each of the two rows that carry it.
        {"npcInfo1",
         [](CNPC& npc, const FieldOut& out) {
             const ::NpcFields& f = npc.ai;
             out.Numbers({f.state, f.desireLevel, f.thinkCount, f.litter});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[4];
             in.Numbers(v, 4);
             npc.ai.state = static_cast<s32>(v[0]);
             npc.ai.desireLevel = static_cast<s32>(v[1]);
             npc.ai.thinkCount = static_cast<s32>(v[2]);
             npc.ai.litter = static_cast<s32>(v[3]);
         }},
        {"homeInfo",
         [](CNPC& npc, const FieldOut& out) {
             const ::NpcFields& f = npc.ai;
             out.Numbers({f.claimType, f.claimAmount, f.claimSerial});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[3];
             in.Numbers(v, 3);
             npc.ai.claimType = static_cast<u8>(v[0]);
             npc.ai.claimAmount = static_cast<u8>(v[1]);
             npc.ai.claimSerial = static_cast<u32>(v[2]);
         }},
        {"npcInfo2",
         [](CNPC& npc, const FieldOut& out) {
             out.Numbers({npc.ai.shelterUrge, npc.ai.shelterUrgeCountdown});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             npc.ai.shelterUrge = static_cast<u8>(v[0]);
             npc.ai.shelterUrgeCountdown = static_cast<s32>(v[1]);
         }},
        {"loiterInfo",
         [](CNPC& npc, const FieldOut& out) {
             const ::NpcFields& f = npc.ai;
             out.Numbers({f.loiterLoc.x, f.loiterLoc.y, f.loiterLoc.z, f.loiterTime});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[4];
             in.Numbers(v, 4);
             npc.ai.loiterLoc.Set(static_cast<int>(v[0]), static_cast<int>(v[1]),
                                 static_cast<int>(v[2]));
             npc.ai.loiterTime = static_cast<s32>(v[3]);
         }},
        {"stateInfo",
         [](CNPC& npc, const FieldOut& out) {
             const ::NpcFields& f = npc.ai;
             out.Numbers({f.state, f.resumeState, f.blockedState, f.previousState});
         },
         [](CNPC& npc, const FieldIn& in) {
             long long v[4];
             in.Numbers(v, 4);
             npc.ai.state = static_cast<s32>(v[0]);
             npc.ai.resumeState = static_cast<s32>(v[1]);
             npc.ai.blockedState = static_cast<s32>(v[2]);
             npc.ai.previousState = static_cast<s32>(v[3]);
         }},
    };
    static_assert(SaveFieldKeysAreUnique<CNPC>(kRows));
    return kRows;
}

std::span<const SaveField<CShopKeeper>> ObjectFieldAccess::ShopKeeperFields() {
    static constexpr SaveField<CShopKeeper> kRows[] = {
        {"restockCounter",
         [](CShopKeeper& shop, const FieldOut& out) { out.Int(shop.restockCounter); },
         [](CShopKeeper& shop, const FieldIn& in) {
             shop.restockCounter = static_cast<s32>(in.Number());
         }},
    };
    return kRows;
}

std::span<const SaveField<CGuard>> ObjectFieldAccess::GuardFields() {
    // Only a guard that leaves writes its countdown; one that stays has nothing to say.
    static constexpr SaveField<CGuard> kRows[] = {
        {"guardLeave",
         [](CGuard& guard, const FieldOut& out) {
             if (guard.GetLeaveCountdown() != kGuardStays) out.Int(guard.GetLeaveCountdown());
         },
         [](CGuard& guard, const FieldIn& in) {
             const s64 pulses = in.Number();
             guard.SetLeaveCountdown(pulses >= 0 && pulses < kGuardStays ? static_cast<u16>(pulses)
                                                                         : kGuardStays);
         }},
    };
    return kRows;
}

std::span<const SaveField<CPlayer>> ObjectFieldAccess::PlayerFields() {
    // The rows of the three faction standings.
    constexpr auto faction = [](auto slot, const char* key) {
        constexpr int i = decltype(slot)::value;
        SaveField<CPlayer> row{key, nullptr, nullptr};
        row.write = [](CPlayer& p, const FieldOut& out) {
            if (p.playerExtras.faction[i] != 0) out.Int(p.playerExtras.faction[i]);
        };
        row.read = [](CPlayer& p, const FieldIn& in) {
            p.playerExtras.faction[i] = static_cast<s8>(in.Number());
        };
        return row;
    };
    static constexpr SaveField<CPlayer> kRows[] = {
        {"cct", [](CPlayer& p, const FieldOut& out) { out.Int(static_cast<s32>(p.characterKey_)); },
         [](CPlayer& p, const FieldIn& in) { p.characterKey_ = static_cast<u32>(in.Number()); }},
        {"pswd",
         [](CPlayer& p, const FieldOut& out) {
             if (!p.playerExtras.password.empty()) out.Text(p.playerExtras.password);
         },
         [](CPlayer& p, const FieldIn& in) {
             static bool said = false;
             p.playerExtras.password = in.value.substr(0, PlayerSaveExtras::kPasswordCapacity);
             if (in.value.size() > PlayerSaveExtras::kPasswordCapacity && !said) {
                 said = true;
                 GetLogSink().Log(0, 0, 0, "", "save", "error",
                                  "a saved password longer than its field was cut");
             }
         }},
        {"sid",
         [](CPlayer& p, const FieldOut& out) {
             for (u32 id : p.playerExtras.sessionIds) {
                 if (id == 0) break;
                 out.Int(id);
             }
         },
         [](CPlayer& p, const FieldIn& in) {
             for (u32& slot : p.playerExtras.sessionIds) {
                 if (slot == 0) {
                     slot = static_cast<u32>(in.Number());
                     break;
                 }
             }
         }},
        // The body of the player's own (a ghost or a polymorph wears another).
        {"ltype",
         [](CPlayer& p, const FieldOut& out) {
             const s32 own = p.playerExtras.ownBody;
             if (own >= 0 && own != p.GetType()) out.Int(own);
         },
         [](CPlayer& p, const FieldIn& in) {
             p.playerExtras.ownBody = static_cast<s32>(in.Number());
         }},
        {"dc",
         [](CPlayer& p, const FieldOut& out) {
             if (p.playerExtras.deathCount != 0) out.Int(p.playerExtras.deathCount);
         },
         [](CPlayer& p, const FieldIn& in) {
             p.playerExtras.deathCount = static_cast<s32>(in.Number());
         }},
        faction(Slot<0>{}, "fs"),
        faction(Slot<1>{}, "fa"),
        faction(Slot<2>{}, "fw"),
        {"pflags",
         [](CPlayer& p, const FieldOut& out) {
             if ((p.flags_ & kSavedPlayerFlags) != 0) out.Int(p.flags_ & kSavedPlayerFlags);
         },
         [](CPlayer& p, const FieldIn& in) { p.flags_ = static_cast<u32>(in.Number()); }},
        {"frnd",
         [](CPlayer& p, const FieldOut& out) {
             for (u32 f : p.playerExtras.friends) {
                 if (f != 0) out.Int(static_cast<s32>(f));
             }
         },
         [](CPlayer& p, const FieldIn& in) {
             p.playerExtras.friends.push_back(static_cast<u32>(in.Number()));
         }},
        {"frndallw",
         [](CPlayer& p, const FieldOut& out) {
             for (u32 a : p.playerExtras.allowed) {
                 if (a != 0) out.Int(static_cast<s32>(a));
             }
         },
         [](CPlayer& p, const FieldIn& in) {
             p.playerExtras.allowed.push_back(static_cast<u32>(in.Number()));
         }},
        {"lastvalidloc", [](CPlayer& p, const FieldOut& out) { out.Loc(p.lastValidTerrain_); },
         [](CPlayer& p, const FieldIn& in) { p.lastValidTerrain_ = in.Loc(); }},
        {"acct",
         [](CPlayer& p, const FieldOut& out) {
             out.Numbers({p.playerExtras.accountValue, static_cast<s32>(p.accountKey_)});
         },
         [](CPlayer& p, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             p.playerExtras.accountValue = static_cast<s32>(v[0]);
             p.accountKey_ = static_cast<u32>(v[1]);
         }},
        {"playage", [](CPlayer& p, const FieldOut& out) { out.Int(p.playerExtras.playAge); },
         [](CPlayer& p, const FieldIn& in) {
             p.playerExtras.playAge = static_cast<u32>(in.Number());
         }},
        // When each skill was last used, one record per skill; 0 reads as the base time.
        {"tsk",
         [](CPlayer& p, const FieldOut& out) {
             for (int n = 0; n < kMobileSkills; ++n)
                 out.Numbers({n, p.skillTimes_[n]});
         },
         [](CPlayer& p, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             if (!SkillNumber(v[0])) return;
             p.skillTimes_[v[0]] = v[1] == 0 ? kSkillBaseTime : static_cast<u32>(v[1]);
         }},
    };
    static_assert(SaveFieldKeysAreUnique<CPlayer>(kRows));
    return kRows;
}
