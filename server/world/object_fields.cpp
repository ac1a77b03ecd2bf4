#include "server/world/object_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/custr.h"
#include "core/log_sink.h"
#include "script/language/script_class.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/triggers.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/resource_entry.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr u32 kMobileSerialBit = 0x40000000u;
constexpr int kFragmentLimit = 120;
constexpr u32 kSavedPlayerFlags = 0x2D47A;

void LogOnce(bool& said, const char* text) {
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "save", "error", text);
}

// --- numbers ----------------------------------------------------------------------------

// Reads up to n decimal numbers in turn (leading blanks skipped, an optional sign); a
// number with no digits is 0 and reading goes on from the same place.
void ScanNumbers(const std::string& text, long long* out, int n) {
    const char* p = text.c_str();
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        out[i] = std::strtoll(p, &end, 10);
        p = end;
    }
}

long long Number(const std::string& text) {
    long long v = 0;
    ScanNumbers(text, &v, 1);
    return v;
}

Location ScanLocation(const std::string& text) {
    long long v[3];
    ScanNumbers(text, v, 3);
    Location at;
    at.x = static_cast<s16>(v[0]);
    at.y = static_cast<s16>(v[1]);
    at.z = static_cast<s16>(v[2]);
    return at;
}

// --- field strings ------------------------------------------------------------------------

void Letter(std::string& out, char letter) {
    out += "@=";
    out += letter;
    out += '\0';
}

void Key(std::string& out, const char* key) {
    out += key;
    out += '=';
}

void IntField(std::string& out, const char* key, long long value) {
    Key(out, key);
    out += std::to_string(value);
    out += '\0';
}

void NumbersField(std::string& out, const char* key, std::initializer_list<long long> values) {
    Key(out, key);
    bool first = true;
    for (long long v : values) {
        if (!first) out += ' ';
        first = false;
        out += std::to_string(v);
    }
    out += '\0';
}

void LocField(std::string& out, const char* key, const Location& at) {
    NumbersField(out, key, {at.x, at.y, at.z});
}

void TextField(std::string& out, const char* key, const std::string& text) {
    Key(out, key);
    out += text;
    out += '\0';
}

// The text form of a dice value that Dice::Parse reads back.
std::string DiceText(const Dice& d) {
    char text[32];
    if (d.GetCount() == 0 && d.GetSides() == 0) {
        std::snprintf(text, sizeof text, "%d", d.GetBonus());
    } else if (d.GetBonus() == 0) {
        std::snprintf(text, sizeof text, "%dd%d", d.GetCount(), d.GetSides());
    } else {
        std::snprintf(text, sizeof text, "%dd%d%+d", d.GetCount(), d.GetSides(), d.GetBonus());
    }
    return text;
}

const char* TypeWord(int type) {
    return GetTypeInfo(type).name;
}

// One script value in its save form (after its type word and name).
void AppendValue(std::string& out, int type, s32 i, const CStr* s, const CUStr* q,
                 const Location* c, const CScriptList* l) {
    switch (type) {
        case kTypeInt:
            out += std::to_string(i);
            break;
        case kTypeObject:
            out += std::to_string(static_cast<u32>(i));
            break;
        case kTypeLocation:
            if (c) {
                char text[24];
                std::snprintf(text, sizeof text, "%d %d %d", c->x, c->y, c->z);
                out += text;
            } else {
                out += "-1 -1 -1";
            }
            break;
        case kTypeString:
            AppendEscapedText(out, s ? s->GetText() : "");
            break;
        case kTypeUString:
            AppendHexUnits(out, q ? q->GetText() : u"");
            break;
        case kTypeList:
            out += std::to_string(l ? l->Count() : 0);
            AppendListText(out, l);
            break;
        default:
            break;
    }
}

// One value read by its type word into a list-value holder. Answers the position after
// the value; `kept` false when the type has no value reader.
struct ReadValue {
    u8 type = kTypeVoid;
    bool kept = false;
    s32 i = 0;
    std::string s;
    std::u16string q;
    Location c;
    CScriptList* l = nullptr;  // owned by the caller once read

    ScriptListValue AsListValue(CStr& str, CUStr& ustr) const {
        switch (type) {
            case kTypeInt:
            case kTypeObject:
                return ScriptListValue::Int(i);
            case kTypeString:
                str = s.c_str();
                return ScriptListValue::Ptr(&str);
            case kTypeUString:
                ustr = q.c_str();
                return ScriptListValue::Ptr(&ustr);
            case kTypeLocation:
                return ScriptListValue::Ptr(&c);
            case kTypeList:
                return ScriptListValue::Ptr(l);
            default:
                return ScriptListValue::Int(0);
        }
    }
};

const char* SkipBlank(const char* p, const char* end) {
    return (p < end && *p == ' ') ? p + 1 : p;
}

const char* ReadNumber(const char* p, const char* end, long long& out) {
    // Bounded decimal read: blanks, a sign, digits.
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    long long v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (v < (1LL << 40)) v = v * 10 + (*p - '0');
        ++p;
    }
    out = negative ? -v : v;
    return p;
}

const char* ReadTypedValue(const char* p, const char* end, int type, ReadValue& v, int depth) {
    v.type = static_cast<u8>(type);
    v.kept = true;
    long long n = 0;
    switch (type) {
        case kTypeInt:
            p = ReadNumber(p, end, n);
            v.i = static_cast<s32>(n);
            break;
        case kTypeObject:
            p = ReadNumber(p, end, n);
            v.i = static_cast<s32>(static_cast<u32>(n));
            break;
        case kTypeLocation: {
            long long xyz[3];
            for (long long& k : xyz)
                p = ReadNumber(p, end, k);
            v.c = Location(static_cast<int>(xyz[0]), static_cast<int>(xyz[1]),
                           static_cast<int>(xyz[2]));
            break;
        }
        case kTypeString:
            p = UnescapeWord(p, end, v.s);
            break;
        case kTypeUString:
            p = DecodeHexUnits(p, end, v.q);
            break;
        case kTypeList: {
            p = ReadNumber(p, end, n);
            v.l = new CScriptList();
            const int count = static_cast<int>(std::clamp<long long>(n, 0, end - p));
            p = ReadListText(p, end, *v.l, count, depth + 1);
            break;
        }
        default:
            v.kept = false;
            break;
    }
    return p;
}

// The class letter of an object's most derived class.
char LetterOf(CItem& object) {
    if (object.IsPlayer()) return 'P';
    if (object.IsShopKeeper()) return 'S';
    if (object.IsGuard()) return 'G';
    if (object.IsNPC()) return 'N';
    if (object.IsMobile()) return 'M';
    if (object.IsCorpse()) return 'X';
    if (object.IsBulletinBoard()) return 'B';
    if (object.IsContainer()) return 'C';
    if (object.IsMap()) return 'Z';
    if (object.IsWeapon()) return 'W';
    if (object.IsSectorResources()) return 'E';
    return 'D';
}

void WriteContents(CItem& object, std::string& out) {
    CContainer* holder = object.AsContainer();
    if (!holder) return;
    for (CItem* child = holder->GetFirstChild(); child; child = child->GetNextSibling())
        WriteObjectRecord(*child, out, true);
}

void WriteWorn(CItem& object, std::string& out) {
    CMobile* mobile = object.AsMobile();
    if (!mobile) return;
    for (int layer = 0; layer < kLayerCount; ++layer) {
        if (CItem* worn = mobile->GetLayer(layer)) WriteObjectRecord(*worn, out, true);
    }
}

struct DeferredFollower {
    CItem* follower;
    u32 serial;
    u32 leader;
};
std::vector<DeferredFollower> g_deferredFollowers;

}  // namespace

// --- encodings ----------------------------------------------------------------------------

void AppendEscapedText(std::string& out, const char* text) {
    if (!text) return;
    for (const char* p = text; *p; ++p) {
        if (*p == ' ' || *p == '\\') out += '\\';
        out += *p;
    }
}

const char* UnescapeWord(const char* p, const char* end, std::string& out) {
    out.clear();
    while (p < end && *p != '\0' && *p != ' ') {
        if (*p == '\\') {
            ++p;
            if (p >= end || *p == '\0') break;
        }
        out += *p++;
    }
    return p;
}

void AppendHexUnits(std::string& out, const char16_t* units) {
    if (!units) return;
    for (const char16_t* u = units; *u; ++u) {
        const unsigned v = *u;
        out += kHexDigits[(v >> 12) & 15];
        out += kHexDigits[(v >> 8) & 15];
        out += kHexDigits[(v >> 4) & 15];
        out += kHexDigits[v & 15];
    }
}

const char* DecodeHexUnits(const char* p, const char* end, std::u16string& out) {
    out.clear();
    while (p < end && *p != '\0' && *p != ' ') {
        unsigned unit = 0;
        int digits = 0;
        for (; digits < 4 && p < end && *p != '\0' && *p != ' '; ++digits, ++p) {
            const char c = *p;
            unit = unit * 16 + static_cast<unsigned>(c >= 'a' ? c - 'a' + 10 : c - '0') % 16;
        }
        if (digits == 4) out += static_cast<char16_t>(unit);
    }
    return p;
}

int TypeOfWord(const char* p, const char* end) {
    static const char* const kWords[] = {"int", "str", "ust", "loc", "obj", "lis", "voi"};
    if (end - p < 3) return -1;
    for (int t = 0; t < 7; ++t) {
        if (std::strncmp(p, kWords[t], 3) == 0) return t;
    }
    return -1;
}

void AppendListText(std::string& out, const CScriptList* list) {
    if (!list) return;
    list->CheckValid();
    for (const CScriptListNode* n = list->Head(); n; n = n->next) {
        out += ' ';
        out += TypeWord(n->tag);
        out += ' ';
        const ScriptPayload& v = n->value;
        switch (n->tag) {
            case kTypeInt:
            case kTypeObject:
                AppendValue(out, n->tag, v.i, nullptr, nullptr, nullptr, nullptr);
                break;
            case kTypeString:
                AppendValue(out, n->tag, 0, v.s, nullptr, nullptr, nullptr);
                break;
            case kTypeUString:
                AppendValue(out, n->tag, 0, nullptr, v.q, nullptr, nullptr);
                break;
            case kTypeLocation:
                AppendValue(out, n->tag, 0, nullptr, nullptr, v.c, nullptr);
                break;
            case kTypeList:
                AppendValue(out, n->tag, 0, nullptr, nullptr, nullptr, v.l);
                break;
            default:
                break;
        }
    }
}

const char* ReadListText(const char* p, const char* end, CScriptList& list, int count, int depth) {
    if (depth > kMaxListDepth) return end;
    for (int k = 0; k < count && p < end && *p != '\0'; ++k) {
        p = SkipBlank(p, end);
        const int type = TypeOfWord(p, end);
        // To just after the next blank (past the type word).
        while (p < end && *p != '\0' && *p != ' ')
            ++p;
        p = SkipBlank(p, end);
        if (type < 0 || type > kTypeList) continue;
        ReadValue v;
        p = ReadTypedValue(p, end, type, v, depth);
        if (!v.kept) continue;
        CStr s;
        CUStr q;
        list.Append(static_cast<u8>(type), v.AsListValue(s, q));
        delete v.l;
    }
    return p;
}

// --- writers --------------------------------------------------------------------------------

int WriteObjectRecord(CItem& object, std::string& out, bool withLetter) {
    const size_t start = out.size();
    if (withLetter) Letter(out, LetterOf(object));
    if (object.IsPlayer()) ObjectFieldAccess::WritePlayerFields(object, out);
    if (CShopKeeper* shop = dynamic_cast<CShopKeeper*>(&object))
        IntField(out, "restockCounter", shop->restockCounter);
    if (object.IsNPC()) ObjectFieldAccess::WriteNpcFields(object, out);
    if (object.IsMobile()) ObjectFieldAccess::WriteMobileFields(object, out);
    if (CCorpse* corpse = dynamic_cast<CCorpse*>(&object)) {
        IntField(out, "corpsetype", corpse->GetCorpseType());
        for (int layer = 0; layer < 26; ++layer) {
            if (corpse->worn[layer]) {
                NumbersField(out, "corpitem", {layer, corpse->worn[layer]->GetSerial()});
            }
        }
    }
    if (CWeapon* weapon = object.AsWeapon()) {
        if (weapon->GetWeaponTemplate() != 0) IntField(out, "wtemp", weapon->GetWeaponTemplate());
        if (!weapon->GetWeaponClass().IsZero())
            TextField(out, "wcstr", DiceText(weapon->GetWeaponClass()));
        if (weapon->GetArmorClass() != 0) IntField(out, "mac", weapon->GetArmorClass());
        if (weapon->GetHitPoints() != 0) IntField(out, "chp", weapon->GetHitPoints());
        if (weapon->GetMaxHitPoints() != 0) IntField(out, "mhp", weapon->GetMaxHitPoints());
    }
    ObjectFieldAccess::WriteItemFields(object, out);
    WriteContents(object, out);
    WriteWorn(object, out);
    return static_cast<int>(out.size() - start);
}

void ObjectFieldAccess::WriteItemFields(CItem& o, std::string& out) {
    if (o.serial_ != 0) IntField(out, "id", static_cast<s32>(o.serial_));
    if (o.type_ != 0) IntField(out, "type", o.type_);
    if (o.status_ != 0) IntField(out, "stat", o.status_);
    if (o.hue_ != 0) IntField(out, "hue", o.hue_);
    Location home;
    if (o.GetHome(home)) LocField(out, "home", home);
    if (const PlacementRecord* p = o.placement_) {
        if (p->lastContainer != 0) IntField(out, "lastcont", p->lastContainer);
        if (p->lastWearer != 0) IntField(out, "lastmob", p->lastWearer);
        if (p->lastLayer != kNoLayer) IntField(out, "lastmobeqpos", p->lastLayer);
        if (!p->lastLocation.IsUnset()) LocField(out, "lastloc", p->lastLocation);
        if (!p->lastContainerLocation.IsUnset())
            LocField(out, "lastcontloc", p->lastContainerLocation);
    }
    if (o.template_ != kNoTemplate) IntField(out, "template", o.template_);
    if (o.decayCount_ != 0) IntField(out, "decayCount", o.decayCount_);
    if (!o.cloc_.IsUnset()) LocField(out, "cloc", o.cloc_);
    for (const ResourceEntry* r = o.resources_; r; r = r->next) {
        if (r->type == 0) continue;
        NumbersField(
            out, "r",
            {r->type, static_cast<s8>(r->kind), r->amounts[0], r->amounts[1], r->amounts[2]});
    }
    LocField(out, "loc", o.loc_);
    if (o.container_) {
        IntField(out, "cont", o.container_->GetSerial());
        if (const CMobile* wearer = o.container_->AsMobile()) {
            for (int layer = 0; layer < kLayerCount; ++layer) {
                if (wearer->GetLayer(layer) == &o) {
                    IntField(out, "eqpos", layer);
                    break;
                }
            }
        }
    }
    if (o.attachments_) {
        std::vector<CScriptInstance*> scripts;
        ObjScripts::Collect(o.attachments_, scripts);
        for (CScriptInstance* instance : scripts) {
            if (instance->IsTornDown()) continue;
            const CScriptClass* cls = instance->GetClass();
            const auto& entries = cls->members.entries;
            Key(out, "wom_scr");
            out += cls->name + " " + std::to_string(entries.size());
            for (size_t k = 0; k < entries.size(); ++k) {
                const ScriptSlot& slot = instance->Member(static_cast<int>(k));
                out += ' ';
                out += TypeWord(entries[k].type);
                out += ' ';
                out += entries[k].name;
                out += ' ';
                const Location at = LocationOf(slot);
                AppendValue(out, entries[k].type, slot.i, slot.s, slot.q, &at, slot.l);
            }
            out += '\0';
        }
        std::vector<CScriptValue*> vars;
        ObjVars::Collect(o.attachments_, vars);
        for (const CScriptValue* v : vars) {
            if (v->released || v->type > kTypeList) continue;
            Key(out, "wom_var");
            out += TypeWord(v->type);
            out += ' ';
            out += v->name ? v->name : "";
            out += ' ';
            AppendValue(out, v->type, v->value.i, v->value.s, v->value.q, v->value.c, v->value.l);
            out += '\0';
        }
    }
    CStr callbacks;
    if (WriteCallbacks(o.callbacks_, callbacks)) {
        out += callbacks.GetText();
        out += '\0';
    }
    out += '\0';
}

void ObjectFieldAccess::WriteMobileFields(CItem& object, std::string& out) {
    CMobile& m = *object.AsMobile();
    for (int n = 0; n < kMobileSkills; ++n) {
        if (m.skills_[n] != 0) NumbersField(out, "skill", {n, m.skills_[n]});
        if (m.skillMods_[n] != 0) NumbersField(out, "skillmod", {n, m.skillMods_[n]});
    }
    if (m.skillPool_ != 0) IntField(out, "skillslush", m.skillPool_);
    if (m.statusFlags_ != 0) IntField(out, "state", m.statusFlags_);
    static const char* const kStats[] = {"str", "dex", "int"};
    static const char* const kMods[] = {"strmod", "dexmod", "intmod"};
    for (int i = 0; i < 3; ++i) {
        if (m.stats_[i] != 0) IntField(out, kStats[i], static_cast<u16>(m.stats_[i]));
    }
    for (int i = 0; i < 3; ++i) {
        if (m.statMods_[i] != 0) IntField(out, kMods[i], m.statMods_[i]);
    }
    if (m.maxHits_ != 0) IntField(out, "hp", m.maxHits_);
    if (m.curHits_ != m.maxHits_) IntField(out, "curhp", m.curHits_);
    if (m.maxMana_ != 0) IntField(out, "mana", m.maxMana_);
    if (m.curMana_ != m.maxMana_) IntField(out, "curmana", m.curMana_);
    if (m.maxFatigue_ != 0) IntField(out, "fat", m.maxFatigue_);
    if (m.curFatigue_ != m.maxFatigue_) IntField(out, "curfat", m.curFatigue_);
    NumbersField(out, "clocks", {m.clocks_[0], m.clocks_[1], m.clocks_[2], m.clocks_[3]});
    const MobileSaveExtras& x = m.saveExtras;
    if (m.notoriety_ != 0) IntField(out, "not", m.notoriety_);
    if (m.fame_ != 0) IntField(out, "fame", m.fame_);
    if (m.karma_ != 0) IntField(out, "karma", m.karma_);
    if (x.hunger != 0) IntField(out, "hung", x.hunger);
    if (x.attitude != 0) IntField(out, "att", x.attitude);
    if (m.defaultTextHue_ != 946) IntField(out, "deftexthue", m.defaultTextHue_);
    if (m.direction_ != 0) IntField(out, "dir", m.direction_);
    if (x.stomachClock != 0) IntField(out, "stclk", x.stomachClock);
    if (x.stomach != 0) IntField(out, "stom", x.stomach);
    if (m.follows_ && m.leader_) IntField(out, "master", m.leader_->GetSerial());
    const int sex = object.IsPlayer() ? object.AsPlayer()->GetSex() : x.sex;
    if (sex != 0) IntField(out, "sex", sex);
    TextField(out, "name", m.GetRealName());
    if (m.lightDuration_ != 0) IntField(out, "lt", m.lightDuration_);
    if (m.lightLevel_ != 0) IntField(out, "lv", m.lightLevel_);
    if (x.lifeClock != 0) IntField(out, "lifeclock", x.lifeClock);
    static const char* const kSounds[] = {"sfxdie", "sfxnotice", "sfxidle", "sfxhit", "sfxwashit"};
    for (int i = 0; i < 5; ++i) {
        if (x.sounds[i] != 0xFFFF) IntField(out, kSounds[i], x.sounds[i]);
    }
    if (m.moveType_ != 1) IntField(out, "movetype", m.moveType_);
    if (m.savedRiding_ != 0) IntField(out, "savedriding", static_cast<s32>(m.savedRiding_));
    // A ghost is never saved frozen: it would come back unable to leave its death menu.
    const u8 flags = m.IsGhost() ? static_cast<u8>(m.mobFlags_ & ~kMobFrozen) : m.mobFlags_;
    if (flags != 0) IntField(out, "mobflags", flags);
    for (const SerialTimer& e : m.attacking_.Entries())
        NumbersField(out, "attacking", {e.serial, e.timeout});
    for (const SerialTimer& e : m.attackedBy_.Entries())
        NumbersField(out, "attackedby", {e.serial, e.timeout});
}

void ObjectFieldAccess::WriteNpcFields(CItem& object, std::string& out) {
    CNPC& npc = *object.AsNPC();
    const NpcSaveFields& f = npc.npc;
    if (npc.npcFlags_ != 0) IntField(out, "flags", npc.npcFlags_);
    for (const std::string& fragment : f.fragments) {
        if (!fragment.empty() && fragment.size() < kFragmentLimit) TextField(out, "frag", fragment);
    }
    if (f.job != "no job") TextField(out, "job", f.job);
    if (f.town != "no town") TextField(out, "town", f.town);
    if (f.fleeValue != 16) IntField(out, "npcflee", f.fleeValue);
    LocField(out, "desireLoc", f.desireLoc);
    LocField(out, "lastDesireLoc", f.lastDesireLoc);
    LocField(out, "homeLoc", f.homeLoc);
    NumbersField(out, "followObjs", {f.follow[0], f.follow[1], f.follow[2]});
    NumbersField(out, "npcInfo1", {f.state, f.info1[0], f.info1[1], f.info1[2]});
    NumbersField(out, "homeInfo", {f.homeBytes[0], f.homeBytes[1], f.homeValue});
    NumbersField(out, "npcInfo2", {f.info2Byte, f.info2Value});
    NumbersField(out, "loiterInfo", {f.loiter[0], f.loiter[1], f.loiter[2], f.loiterValue});
    NumbersField(out, "stateInfo", {f.state, f.stateInfo[0], f.stateInfo[1], f.stateInfo[2]});
}

void ObjectFieldAccess::WritePlayerFields(CItem& object, std::string& out) {
    CPlayer& p = *object.AsPlayer();
    const PlayerSaveExtras& x = p.playerExtras;
    IntField(out, "cct", static_cast<s32>(p.characterKey_));
    if (!x.password.empty()) TextField(out, "pswd", x.password);
    for (u32 id : x.sessionIds) {
        if (id == 0) break;
        IntField(out, "sid", id);
    }
    if (x.ownBody >= 0 && x.ownBody != p.GetType()) IntField(out, "ltype", x.ownBody);
    if (x.deathCount != 0) IntField(out, "dc", x.deathCount);
    static const char* const kFaction[] = {"fs", "fa", "fw"};
    for (int i = 0; i < 3; ++i) {
        if (x.faction[i] != 0) IntField(out, kFaction[i], x.faction[i]);
    }
    if ((p.flags_ & kSavedPlayerFlags) != 0) IntField(out, "pflags", p.flags_ & kSavedPlayerFlags);
    for (u32 f : x.friends) {
        if (f != 0) IntField(out, "frnd", static_cast<s32>(f));
    }
    for (u32 a : x.allowed) {
        if (a != 0) IntField(out, "frndallw", static_cast<s32>(a));
    }
    LocField(out, "lastvalidloc", p.lastValidTerrain_);
    NumbersField(out, "acct", {x.accountValue, static_cast<s32>(p.accountKey_)});
    IntField(out, "playage", x.playAge);
    for (int n = 0; n < kMobileSkills; ++n)
        NumbersField(out, "tsk", {n, p.skillTimes_[n]});
}

// --- readers ----------------------------------------------------------------------------------

CItem* NewObjectOfLetter(char letter) {
    switch (letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter) {
        case 'b':
            return new CBulletinBoard();
        case 'c':
            return new CContainer();
        case 'e':
            return new CSectorResources();
        case 'g':
            return new CGuard();
        case 'm':
            return new CMobile();
        case 'n':
            return new CNPC();
        case 'p':
            return new CPlayer();
        case 's':
            return new CShopKeeper();
        case 'w':
            return new CWeapon();
        case 'x':
            return new CCorpse();
        case 'z':
            return new CMapItem();
        default:
            return new CItem();
    }
}

namespace {

void ApplyScriptRecord(CItem* object, const std::string& value) {
    const char* p = value.c_str();
    const char* end = p + value.size();
    std::string className;
    p = UnescapeWord(p, end, className);
    long long count = 0;
    p = ReadNumber(p, end, count);
    AttachScript(object, className.c_str(), 0);
    CScriptInstance* instance =
        ObjScripts::FindClassNamed(object->ScriptAttachments(), className.c_str());
    if (!instance) return;
    const ScriptVarTable& table = instance->GetClass()->members;
    for (long long k = 0; k < count && p < end; ++k) {
        p = SkipBlank(p, end);
        const int type = TypeOfWord(p, end);
        while (p < end && *p != ' ')
            ++p;
        p = SkipBlank(p, end);
        std::string name;
        p = UnescapeWord(p, end, name);
        p = SkipBlank(p, end);
        if (type < 0 || type > kTypeList) continue;
        ReadValue v;
        p = ReadTypedValue(p, end, type, v, 0);
        const int index = table.Find(name);
        if (index >= 0 && table.entries[static_cast<size_t>(index)].type == type) {
            ScriptSlot& slot = instance->Member(index);
            switch (type) {
                case kTypeInt:
                case kTypeObject:
                    slot.i = v.i;
                    break;
                case kTypeLocation:
                    SetSlotLocation(slot, v.c);
                    break;
                case kTypeString:
                    if (slot.s) *slot.s = v.s.c_str();
                    break;
                case kTypeUString:
                    if (slot.q) *slot.q = v.q.c_str();
                    break;
                case kTypeList:
                    if (slot.l && v.l) {
                        slot.l->Clear();
                        slot.l->AppendCopyOf(*v.l);
                    }
                    break;
                default:
                    break;
            }
        }
        delete v.l;
    }
}

void ApplyVariableRecord(CItem* object, const std::string& value) {
    const char* p = value.c_str();
    const char* end = p + value.size();
    const int type = TypeOfWord(p, end);
    while (p < end && *p != ' ')
        ++p;
    p = SkipBlank(p, end);
    std::string name;
    p = UnescapeWord(p, end, name);
    p = SkipBlank(p, end);
    if (type < 0 || type > kTypeList || name.empty()) return;
    ReadValue v;
    ReadTypedValue(p, end, type, v, 0);
    CStr s;
    CUStr q;
    ObjVars::Set(object->ScriptAttachments(), name.c_str(), static_cast<u8>(type),
                 v.AsListValue(s, q));
    delete v.l;
}

void AddSavedResource(CItem* object, long long type, long long kind, long long a, long long b,
                      long long c) {
    object->AddResource(static_cast<int>(type), static_cast<int>(kind), static_cast<s32>(a),
                        static_cast<s32>(b), static_cast<s32>(c));
}

}  // namespace

void ApplyObjectField(ObjectLoadState& state, const std::string& key, const std::string& value) {
    CItem* o = state.object;
    static bool saidMulti = false;
    static bool saidMap = false;
    if (key == "id") {
        u32 s = static_cast<u32>(Number(value));
        if (o->IsMobile() && s != 0) s &= ~kMobileSerialBit;
        if (o->IsPlayer()) {
            state.discard = false;
            if (s != 0 && g_objectManager.SerialExistsEitherForm(s)) state.playerSerialTaken = true;
        } else if (g_objectManager.SerialExistsEitherForm(s)) {
            s = 0;
            state.discard = true;
            state.reason = DropReason::kDuplicate;
        } else {
            state.discard = false;
        }
        state.serial = s;
        if (!state.playerSerialTaken) o->SetSerial(s);
        const u32 withBit = o->GetSerial() | kMobileSerialBit;
        if (withBit >= g_objectManager.PeekSerialCounter())
            g_objectManager.SetSerialCounter(withBit + 1);
    } else if (key == "type") {
        o->SetType(static_cast<int>(Number(value)));
    } else if (key == "stat") {
        o->SetStatus(static_cast<u8>(Number(value) | kStatusNoTriggers));
    } else if (key == "hue") {
        o->SetHue(static_cast<u16>(Number(value)));
    } else if (key == "home") {
        state.hasHome = true;
        state.home = ScanLocation(value);
    } else if (key == "lastloc") {
        const Location at = ScanLocation(value);
        state.hasPlacement = true;
        state.placement.lastLocation = at;
    } else if (key == "lastcontloc") {
        state.hasPlacement = true;
        state.placement.lastContainerLocation = ScanLocation(value);
    } else if (key == "lastcont") {
        state.hasPlacement = true;
        state.placement.lastContainer = static_cast<u32>(Number(value));
    } else if (key == "lastmob") {
        state.hasPlacement = true;
        state.placement.lastWearer = static_cast<u32>(Number(value));
    } else if (key == "lastmobeqpos") {
        state.hasPlacement = true;
        state.placement.lastLayer = static_cast<u16>(Number(value));
    } else if (key == "template") {
        if (o->IsDynamic()) o->SetTemplateId(static_cast<int>(Number(value)) & 0xFFFF);
    } else if (key == "decayCount") {
        const long long v = Number(value);
        state.decayCount = v < 0 ? 255 : static_cast<u8>(v);
        o->SetDecayCount(state.decayCount);
    } else if (key == "cloc") {
        o->SetCreationLocation(ScanLocation(value));
    } else if (key == "loc") {
        o->SetLocationField(ScanLocation(value));
    } else if (key == "r") {
        long long v[5];
        ScanNumbers(value, v, 5);
        AddSavedResource(o, v[0], v[1], v[2], v[3], v[4]);
    } else if (key == "newres" || key == "nres2") {
        long long v[5];
        ScanNumbers(value, v, 5);
        AddSavedResource(o, v[0], v[1], v[2], v[3], v[4]);
    } else if (key == "res") {
        long long v[9];
        ScanNumbers(value, v, 9);
        AddSavedResource(o, v[8], v[3], v[0], v[1], v[2]);
    } else if (key == "cont") {
        state.container = static_cast<u32>(Number(value));
    } else if (key == "eqpos") {
        state.layer = static_cast<int>(Number(value));
    } else if (key == "state") {
        o->ApplyStatusFlags(static_cast<u8>(Number(value)));
    } else if (key == "owner") {
        SetObjectVariable(o, "msgOwner", kTypeObject,
                          ScriptListValue::Int(static_cast<s32>(Number(value))));
    } else if (key == "qual") {
        state.bookStatus = static_cast<int>(Number(value));
    } else if (key == "quan") {
        state.bookCount = static_cast<int>(Number(value));
    } else if (key == "shopscr") {
        if (!value.empty()) {
            const CStr text(value.c_str());
            SetObjectVariable(o, "afterShopScript", kTypeString, ScriptListValue::Ptr(&text));
        }
    } else if (key == "callback") {
        ReadCallbacks(o->TimedCallbacks(), o->GetSerial(), value.c_str());
    } else if (key == "wom_scr") {
        ApplyScriptRecord(o, value);
    } else if (key == "wom_var") {
        ApplyVariableRecord(o, value);
    } else if (key == "multitype" || key == "multiflags" || key == "multislave" ||
               key == "multioffset" || key == "multicomponent" || key == "mtypeid" ||
               key == "mcarry" || key == "mrange") {
        LogOnce(saidMulti, "multi links in the world save are not built: their keys are ignored");
    } else if (key == "mapextents" || key == "vect") {
        LogOnce(saidMap, "map items' courses in the world save are not built: ignored");
    } else if (key == "frame") {
        if (o->IsDoor()) {
            o->SetStatus(Number(value) != 0
                             ? static_cast<u8>(o->GetStatus() | kStatusShowsNextGraphic)
                             : static_cast<u8>(o->GetStatus() & ~kStatusShowsNextGraphic));
        }
    } else if (key == "corpitem" || key == "corpsetype") {
        CCorpse* corpse = dynamic_cast<CCorpse*>(o);
        if (!corpse) return;
        long long v[2];
        ScanNumbers(value, v, 2);
        if (key == "corpsetype") {
            corpse->SetCorpseType(static_cast<u16>(v[0]));
        } else if (v[0] >= 0 && v[0] < 26) {
            state.corpseItems.emplace_back(static_cast<int>(v[0]), static_cast<u32>(v[1]));
        }
    } else if (key == "weapontemplate" || key == "wtemp" || key == "wcstr" || key == "mac" ||
               key == "chp" || key == "mhp") {
        CWeapon* weapon = o->AsWeapon();
        if (!weapon) return;
        const char* text = value.c_str();
        char* end = nullptr;
        long long n = std::strtoll(text, &end, 10);
        if (end == text && (key == "weapontemplate" || key == "wtemp")) n = kNoWeaponTemplate;
        if (key == "weapontemplate") {
            state.weaponRequest = static_cast<int>(n);
        } else if (key == "wtemp") {
            if (n >= 0 && n < WeaponTemplateTable::kSlots &&
                g_weaponTemplates.Get(static_cast<int>(n))) {
                weapon->SetTemplateNumber(static_cast<int>(n));
            } else {
                weapon->SetTemplateNumber(kNoWeaponTemplate);
                state.discard = true;
                state.reason = DropReason::kBadWeaponTemplate;
            }
        } else if (key == "wcstr") {
            std::string word;
            UnescapeWord(value.c_str(), value.c_str() + std::min<size_t>(value.size(), 255), word);
            weapon->SetWeaponClass(Dice(word.c_str()));
        } else if (key == "mac") {
            weapon->SetArmorClass(static_cast<int>(n));
        } else if (key == "chp") {
            weapon->SetHitPoints(static_cast<int>(n));
        } else {
            weapon->SetMaxHitPoints(static_cast<int>(n));
        }
    } else if (o->IsMobile()) {
        ObjectFieldAccess::ApplyMobileField(state, key, value);
        if (o->IsNPC()) ObjectFieldAccess::ApplyNpcField(state, key, value);
        if (o->IsPlayer()) ObjectFieldAccess::ApplyPlayerField(state, key, value);
    }
}

void ObjectFieldAccess::ApplyMobileField(ObjectLoadState& state, const std::string& key,
                                         const std::string& value) {
    CMobile& m = *state.object->AsMobile();
    MobileSaveExtras& x = m.saveExtras;
    const long long n = Number(value);
    if (key == "skill" || key == "skillmod") {
        long long v[2];
        ScanNumbers(value, v, 2);
        if (v[0] < 0 || v[0] >= kMobileSkills) return;
        if (key == "skill") {
            m.skills_[v[0]] = static_cast<u16>(v[1]);
        } else {
            m.skillMods_[v[0]] = static_cast<s16>(v[1]);
        }
    } else if (key == "skillslush") {
        m.skillPool_ = static_cast<s32>(n);
    } else if (key == "dir") {
        m.direction_ = static_cast<int>(n);
    } else if (key == "stclk") {
        x.stomachClock = static_cast<s32>(n);
    } else if (key == "lifeclock") {
        x.lifeClock = static_cast<s32>(n);
    } else if (key == "savedriding") {
        m.savedRiding_ = static_cast<u32>(n);
    } else if (key == "str" || key == "dex" || key == "int") {
        m.stats_[key == "str" ? 0 : key == "dex" ? 1 : 2] = static_cast<s16>(n);
    } else if (key == "strmod" || key == "dexmod" || key == "intmod") {
        m.statMods_[key == "strmod" ? 0 : key == "dexmod" ? 1 : 2] = static_cast<s16>(n);
    } else if (key == "fame") {
        m.fame_ = static_cast<u16>(n);
    } else if (key == "karma") {
        m.karma_ = static_cast<s16>(n);
    } else if (key == "deftexthue") {
        m.defaultTextHue_ = static_cast<u16>(n);
    } else if (key == "sfxdie" || key == "sfxnotice" || key == "sfxidle" || key == "sfxhit" ||
               key == "sfxwashit") {
        static const char* const kSounds[] = {"sfxdie", "sfxnotice", "sfxidle", "sfxhit",
                                              "sfxwashit"};
        for (int i = 0; i < 5; ++i) {
            if (key == kSounds[i]) x.sounds[i] = static_cast<u16>(n);
        }
    } else if (key == "not") {
        m.notoriety_ = static_cast<s8>(n);
    } else if (key == "hung") {
        x.hunger = static_cast<u8>(n);
    } else if (key == "att") {
        x.attitude = static_cast<u8>(n);
    } else if (key == "stom") {
        x.stomach = static_cast<u8>(n);
    } else if (key == "sex") {
        if (CPlayer* player = m.AsPlayer()) {
            player->SetSex(static_cast<int>(n));
        } else {
            x.sex = static_cast<u8>(n);
        }
    } else if (key == "lt") {
        m.lightDuration_ = static_cast<u8>(n);
    } else if (key == "lv") {
        m.lightLevel_ = static_cast<u8>(n);
    } else if (key == "hp") {
        m.maxHits_ = m.curHits_ = static_cast<s32>(n);
    } else if (key == "mana") {
        m.maxMana_ = m.curMana_ = static_cast<s32>(n);
    } else if (key == "fat") {
        m.maxFatigue_ = m.curFatigue_ = static_cast<s32>(n);
    } else if (key == "curhp") {
        m.curHits_ = static_cast<s32>(n);
    } else if (key == "curmana") {
        m.curMana_ = static_cast<s32>(n);
    } else if (key == "curfat") {
        m.curFatigue_ = static_cast<s32>(n);
    } else if (key == "clocks") {
        long long v[4];
        ScanNumbers(value, v, 4);
        for (int i = 0; i < 4; ++i)
            m.clocks_[i] = static_cast<s32>(v[i]);
    } else if (key == "name") {
        if (CPlayer* player = m.AsPlayer()) {
            player->SetName(value.c_str());
        } else {
            m.SetName(value.c_str());
        }
    } else if (key == "movetype") {
        m.SetMoveType(static_cast<u8>(n));
        if (static_cast<u8>(n) == 0) m.mobFlags_ |= kMobFrozen;
    } else if (key == "mobflags") {
        m.mobFlags_ = static_cast<u8>(n);
    } else if (key == "master") {
        state.master = static_cast<u32>(n);
    } else if (key == "attacking" || key == "attackedby") {
        long long v[2];
        ScanNumbers(value, v, 2);
        AttackList& list = key == "attacking" ? m.attacking_ : m.attackedBy_;
        list.AddSaved(static_cast<u32>(v[0]), static_cast<u16>(v[1]));
    }
}

void ObjectFieldAccess::ApplyNpcField(ObjectLoadState& state, const std::string& key,
                                      const std::string& value) {
    CNPC& npc = *state.object->AsNPC();
    NpcSaveFields& f = npc.npc;
    long long v[4];
    ScanNumbers(value, v, 4);
    if (key == "flags") {
        npc.npcFlags_ = static_cast<int>(v[0]);
    } else if (key == "frag") {
        f.fragments.push_back(value.substr(0, kFragmentLimit - 1));
    } else if (key == "job") {
        f.job = value;
    } else if (key == "town") {
        f.town = value;
    } else if (key == "npcflee") {
        f.fleeValue = static_cast<u8>(v[0]);
    } else if (key == "desireLoc") {
        f.desireLoc = ScanLocation(value);
    } else if (key == "lastDesireLoc") {
        f.lastDesireLoc = ScanLocation(value);
    } else if (key == "homeLoc") {
        f.homeLoc = ScanLocation(value);
    } else if (key == "followObjs") {
        for (int i = 0; i < 3; ++i)
            f.follow[i] = static_cast<s32>(v[i]);
    } else if (key == "npcInfo1") {
        f.state = static_cast<s32>(v[0]);
        for (int i = 0; i < 3; ++i)
            f.info1[i] = static_cast<s32>(v[i + 1]);
    } else if (key == "homeInfo") {
        f.homeBytes[0] = static_cast<u8>(v[0]);
        f.homeBytes[1] = static_cast<u8>(v[1]);
        f.homeValue = static_cast<s32>(v[2]);
    } else if (key == "npcInfo2") {
        f.info2Byte = static_cast<u8>(v[0]);
        f.info2Value = static_cast<s32>(v[1]);
    } else if (key == "loiterInfo") {
        for (int i = 0; i < 3; ++i)
            f.loiter[i] = static_cast<s16>(v[i]);
        f.loiterValue = static_cast<s32>(v[3]);
    } else if (key == "stateInfo") {
        f.state = static_cast<s32>(v[0]);
        for (int i = 0; i < 3; ++i)
            f.stateInfo[i] = static_cast<s32>(v[i + 1]);
    } else if (key == "restockCounter") {
        if (CShopKeeper* shop = dynamic_cast<CShopKeeper*>(&npc))
            shop->restockCounter = static_cast<s32>(v[0]);
    }
}

void ObjectFieldAccess::ApplyPlayerField(ObjectLoadState& state, const std::string& key,
                                         const std::string& value) {
    CPlayer& p = *state.object->AsPlayer();
    PlayerSaveExtras& x = p.playerExtras;
    long long v[2];
    ScanNumbers(value, v, 2);
    static bool saidPassword = false;
    if (key == "cct") {
        p.characterKey_ = static_cast<u32>(v[0]);
    } else if (key == "pswd") {
        x.password = value.substr(0, PlayerSaveExtras::kPasswordCapacity);
        if (value.size() > PlayerSaveExtras::kPasswordCapacity)
            LogOnce(saidPassword, "a saved password longer than its field was cut");
    } else if (key == "sid") {
        for (u32& slot : x.sessionIds) {
            if (slot == 0) {
                slot = static_cast<u32>(v[0]);
                break;
            }
        }
    } else if (key == "ltype") {
        x.ownBody = static_cast<s32>(v[0]);
    } else if (key == "dc") {
        x.deathCount = static_cast<s32>(v[0]);
    } else if (key == "fs" || key == "fa" || key == "fw") {
        x.faction[key == "fs" ? 0 : key == "fa" ? 1 : 2] = static_cast<s8>(v[0]);
    } else if (key == "pflags") {
        p.flags_ = static_cast<u32>(v[0]);
    } else if (key == "frnd") {
        x.friends.push_back(static_cast<u32>(v[0]));
    } else if (key == "frndallw") {
        x.allowed.push_back(static_cast<u32>(v[0]));
    } else if (key == "lastvalidloc") {
        p.lastValidTerrain_ = ScanLocation(value);
    } else if (key == "acct") {
        x.accountValue = static_cast<s32>(v[0]);
        p.accountKey_ = static_cast<u32>(v[1]);
    } else if (key == "playage") {
        x.playAge = static_cast<u32>(v[0]);
    } else if (key == "tsk") {
        if (v[0] < 0 || v[0] >= kMobileSkills) return;
        p.skillTimes_[v[0]] = v[1] == 0 ? kSkillBaseTime : static_cast<u32>(v[1]);
    }
}

// --- load helpers ---------------------------------------------------------------------------

void ObjectFieldAccess::MoveAfter(CItem* item, CItem* after) {
    if (!item || !after || item == after || item->prevSibling_) return;
    // The item is the head of its chain: the chain's head becomes its next sibling.
    CItem* next = item->nextSibling_;
    if (item->container_) {
        CContainer* holder = item->container_->AsContainer();
        if (!holder || holder->firstChild_ != item) return;
        holder->firstChild_ = next;
    } else {
        SectorCell* cell = g_sectorGrid.CellAt(item->loc_.x, item->loc_.y);
        if (!cell || cell->objects != item) return;
        cell->objects = next;
    }
    if (next) next->prevSibling_ = nullptr;
    item->prevSibling_ = after;
    item->nextSibling_ = after->nextSibling_;
    if (after->nextSibling_) after->nextSibling_->prevSibling_ = item;
    after->nextSibling_ = item;
}

namespace {

// The chain through `link` in the opposite order; answers its new head.
template <class Node>
Node* ReversedChain(Node* head, Node* Node::*link) {
    Node* reversed = nullptr;
    while (head) {
        Node* next = head->*link;
        head->*link = reversed;
        reversed = head;
        head = next;
    }
    return reversed;
}

}  // namespace

void ObjectFieldAccess::ReverseObjectLists(CItem* object) {
    if (CObjAttachments* set = object->attachments_) {
        set->scripts = ReversedChain(set->scripts, &CScriptInstance::nextAttached);
        set->vars = ReversedChain(set->vars, &CScriptValue::next);
    }
    object->resources_ = ReversedChain(object->resources_, &ResourceEntry::next);
    ResourceEntry* previous = nullptr;
    for (ResourceEntry* r = object->resources_; r; r = r->next) {
        r->prev = previous;
        previous = r;
    }
    object->callbacks_ = ReversedChain(object->callbacks_, &TimedCallback::next);
}

void ObjectFieldAccess::RestoreAfterLinking(const ObjectLoadState& state) {
    CItem* o = state.object;
    o->decayCount_ = state.decayCount;
    if (state.hasPlacement) {
        if (!o->placement_) o->placement_ = GetPlacementPool().Acquire();
        PlacementRecord* keep = o->placement_;
        PlacementRecord* poolNext = keep->poolNext;
        *keep = state.placement;
        keep->poolNext = poolNext;
    }
}

void DeferFollower(CItem* follower, u32 leaderSerial) {
    g_deferredFollowers.push_back({follower, follower->GetSerial(), leaderSerial});
}

int ResolveDeferredFollowers() {
    int linked = 0;
    for (const DeferredFollower& d : g_deferredFollowers) {
        CItem* follower = IsObjectAlive(d.serial, d.follower);
        CMobile* leader = g_objectManager.FindMobile(d.leader);
        if (!follower || !follower->AsMobile() || !leader) continue;
        leader->AddFollower(follower->AsMobile());
        ++linked;
    }
    g_deferredFollowers.clear();
    return linked;
}

void ClearDeferredFollowers() {
    g_deferredFollowers.clear();
}
