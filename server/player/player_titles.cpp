#include "server/player/player_titles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/log_sink.h"
#include "core/service_slot.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/triggers.h"
#include "server/net/player_senders.h"
#include "server/net/socket.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/reputation.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/skill_table.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_utilities.h"

namespace {

ServiceSlot<StaffServices> g_staffServices;

// Rows by karma level 5 down to -5, columns by fame level 0..4.
const char* const kFameKarmaTitles[11][5] = {
    {"Trustworthy", "Estimable", "Great", "Glorious", "Glorious"},
    {"Honest", "Commendable", "Famed", "Illustrious", "Illustrious"},
    {"Good", "Honorable", "Admirable", "Noble", "Noble"},
    {"Fair", "Respectable", "Proper", "Eminent", "Eminent"},
    {"", "Upstanding", "Reputable", "Distinguished", "Distinguished"},
    {"", "", "Notable", "Renowned", ""},
    {"", "Disreputable", "Notorious", "Infamous", "Dishonored"},
    {"Unsavory", "Dishonorable", "Ignoble", "Sinister", "Sinister"},
    {"Scoundrel", "Malicious", "Vile", "Villainous", "Dark"},
    {"Despicable", "Dastardly", "Wicked", "Evil", "Evil"},
    {"Outcast", "Wretched", "Nefarious", "Dread", "Dread"},
};

// Rank words by the best skill value / 100 (2..10; 10 and above: grandmaster).
const char* const kRankWords[] = {
    ", ",        ", Neophyte ", ", Novice ", ", Apprentice ", ", Journeyman ",
    ", Expert ", ", Adept ",    ", Master ", ", Grandmaster "};
constexpr int kFirstRankedSkillValue = 250;

// Profession words by skill number 0..45.
const char* const kProfessions[] = {
    "Alchemist", "Healer",  "Scholar",   "Merchant",  "Warrior",    "Warrior", "Beggar",   "Smith",
    "Bowyer",    "Bard",    "Ranger",    "Carpenter", "Scholar",    "Chef",    "Ranger",   "Bard",
    "Scholar",   "Healer",  "Fisherman", "Scholar",   "Ranger",     "Rogue",   "Bard",     "Mage",
    "Rogue",     "Mage",    "Mage",      "Warrior",   "Rogue",      "Bard",    "Assassin", "Archer",
    "Medium",    "Rogue",   "Tailor",    "Ranger",    "Chef",       "Tinker",  "Ranger",   "Healer",
    "Swordsman", "Armsman", "Fencer",    "Wrestler",  "Lumberjack", "Miner"};
constexpr int kProfessionCount = sizeof kProfessions / sizeof kProfessions[0];
constexpr int kSwordsmanSkill = 40;
constexpr int kArmsmanSkill = 41;

// The timed callbacks that end a fresh membership of chaos (18) and order (19).
constexpr int kJoinChaosCallbackAction = 18;
constexpr int kJoinOrderCallbackAction = 19;

// Alignment: the units of the old side taken away, and the bits of alignment byte A.
constexpr s32 kAlignmentUnitsRemoved = 1000;
constexpr u8 kAlignmentEvilBit = 0x04;
constexpr u8 kAlignmentGoodBit = 0x08;

constexpr int kStatAuditTotal = 275;
constexpr int kStatAuditCeiling = 50;

const char* CounselorTitleOf(int counType) {
    switch (counType) {
        case 1:
            return "Seer";
        case 2:
            return "Counselor";
        case 3:
            return "Senior Counselor";
        default:
            return "";
    }
}

// The best base skill and the first skill holding it.
void BestSkill(const CPlayer& player, int& skill, int& value) {
    skill = 0;
    value = player.GetBaseSkill(0);
    for (int s = 1; s < kMobileSkills; ++s) {
        const int v = player.GetBaseSkill(s);
        if (v > value) {
            value = v;
            skill = s;
        }
    }
}

}  // namespace

const char* FameKarmaTitle(int karmaLevel, int fameLevel) {
    if (karmaLevel < -5 || karmaLevel > 5 || fameLevel < 0 || fameLevel > 4) return "";
    return kFameKarmaTitles[5 - karmaLevel][fameLevel];
}

const char* SkillRankWord(int value) {
    if (value < kFirstRankedSkillValue) return "";
    const int step = value / 100;
    return kRankWords[(step > 10 ? 10 : step) - 2];
}

const char* ProfessionWord(int skill, bool female) {
    if (skill < 0 || skill >= kProfessionCount) return "";
    if (female && skill == kSwordsmanSkill) return "Swordswoman";
    if (female && skill == kArmsmanSkill) return "Armswoman";
    return kProfessions[skill];
}

int NotorietyCompare(const CMobile* a, const CMobile* b) {
    if (!a || !b) return -1;
    const int ta = a->GetNotorietyTitle();
    const int tb = b->GetNotorietyTitle();
    if (tb < 0) {
        const int d = ta <= 0 ? ta - tb : -tb;
        return d > 1 ? 1 : d == 1 ? 0 : -1;
    }
    return !b->IsHumanBody() && tb <= 0 ? 0 : -1;
}

StaffServices& GetStaffServices() {
    return g_staffServices.Get();
}

StaffServices* SetStaffServices(StaffServices* services) {
    return g_staffServices.Set(services);
}

// ------------------------------------------------------------------------ names

void CPlayer::GetCounselorTitle(CStr& out) const {
    s32 counType = 0;
    ObjVars::GetInt(attachments_, "counType", counType);
    out = CounselorTitleOf(counType);
}

void CPlayer::GetTitledName(CStr& out) const {
    const bool gmForm = IsGameMasterInGmBody();
    const bool counselorForm = !gmForm && IsCounselorInGmBody();
    const u16 body = GetBody();
    if (body != 400 && body != 401 && !gmForm && !counselorForm) {
        out = GetRealName();
        return;
    }
    CStr counselorTitle;
    if (counselorForm) GetCounselorTitle(counselorTitle);
    std::string text;
    if (gmForm) {
        text = "GM ";
    } else if (counselorForm) {
        text = std::string(counselorTitle.CText()) + " ";
    } else if (IsMurderer()) {
        text = "The Murderer ";
    } else {
        const int fame = GetFameLevel();
        const char* word = FameKarmaTitle(GetKarmaLevel(), fame);
        if (word[0]) {
            text = std::string("The ") + word + " ";
            if (fame == 4) text += GetSex() ? "Lady " : "Lord ";
        }
    }
    text += GetRealName();
    if (gmForm) {
        text += ", Game Master";
    } else if (counselorForm) {
        text += std::string(", ") + counselorTitle.CText();
    } else {
        int skill = 0, value = 0;
        BestSkill(*this, skill, value);
        if (value >= kFirstRankedSkillValue)
            text += std::string(SkillRankWord(value)) + ProfessionWord(skill, GetSex() != 0);
    }
    out = text.c_str();
}

const char* CPlayer::GetName(int) const {
    std::string text;
    if (IsGameMasterInGmBody()) {
        text = "GM ";
    } else if (IsCounselorInGmBody()) {
        CStr title;
        GetCounselorTitle(title);
        text = std::string(title.CText()) + " ";
    } else if (GetBody() >= 400 && GetBody() <= 403 && GetFameLevel() >= 4) {
        text = GetSex() ? "Lady " : "Lord ";
    }
    const char* name = GetRealName();
    text.append(name, std::min<size_t>(std::strlen(name), kDisplayNameNameChars));
    std::snprintf(displayName_, sizeof displayName_, "%s", text.c_str());
    return displayName_;
}

// ------------------------------------------------------------------------ roles

void CPlayer::LogStaffEvent(const char* text) const {
    GetLogSink().Log(accountKey_, static_cast<u8>(characterKey_), serial_, name_, "godmode", "misc",
                     text);
}

void CPlayer::SetEditing() {
    if (!HasGodRights()) return;
    SetFlag(kPlayerEditing, true);
    LogStaffEvent("god mode enabled");
}

void CPlayer::ClearEditing() {
    SetFlag(kPlayerEditing, false);
    LogStaffEvent("god mode disabled");
}

bool CPlayer::SetGameMaster() {
    if (IsGameMaster()) return false;
    SetFlag(kPlayerGameMaster, true);
    GetStaffServices().AddGameMaster(*this);
    return true;
}

bool CPlayer::ClearGameMaster() {
    if (!IsGameMaster()) return false;
    SetFlag(kPlayerGameMaster, false);
    GetStaffServices().RemoveGameMaster(*this);
    return true;
}

void CPlayer::AnnounceLoadedGameMaster() {
    if (IsGameMaster()) GetStaffServices().RelayGameMaster(serial_);
}

bool CPlayer::IsStaffExempt() const {
    return IsEditing() || IsCounselor() || IsGameMaster();
}

int CPlayer::ApplySkillCap(int skill, int count) {
    return IsStaffExempt() ? 0 : CMobile::ApplySkillCap(skill, count);
}

int CPlayer::ApplyStatCapIfAllowed(int stat, int count) {
    return IsStaffExempt() ? 0 : CMobile::ApplyStatCap(stat, count);
}

int CPlayer::AdjustStatIfAllowed(int stat, int value) {
    return IsStaffExempt() ? 0 : CMobile::AdjustStat(stat, value);
}

// ------------------------------------------------------------------------ reputation

void CPlayer::ReceiveUnhealthyActionFrom(CMobile* doer, bool report) {
    ControllerInfo info;
    if (!RecordHarmFrom(doer, info) || !report || !info.serial) return;
    // A crime against this player: it may report the one who answers for it.
    s32 defensive = 0;
    ObjVars::GetInt(attachments_, "defensive", defensive);
    if (defensive != 0) return;
    const CScriptList* reported = ObjVars::GetList(attachments_, "recentlyReported");
    const ScriptListValue who = ScriptListValue::Int(static_cast<s32>(info.serial));
    if (reported && reported->Contains(kTypeObject, who)) return;
    AppendToListVar("canReportIdList", kTypeObject, who);
    AppendToListVar("canReportNameList", kTypeString, ScriptListValue::Ptr(&info.name));
}

void CPlayer::AppendToListVar(const char* name, u8 tag, ScriptListValue value) {
    ListVarMadeIfMissing(attachments_, name).Append(tag, value);
}

void CPlayer::ReceiveHelpfulActionFrom(CMobile* helper) {
    if (!helper || helper == this || !helper->AsPlayer()) return;
    if (IsCriminal() || IsMurderer()) helper->CommitCrimeAt(GetLocation(), kReputationTicks);
}

void CPlayer::HandleHealthGain() {
    if (!CheckHealthy()) return;
    ObjVars::Remove(attachments_, "canReportIdList");
    ObjVars::Remove(attachments_, "canReportNameList");
}

void CPlayer::ChangeReputation(int fame, int karma) {
    ChangeFame(fame);
    ChangeKarma(karma);
}

void CPlayer::SetMurderCount(int count) {
    const int before = GetMurderCount();
    if (before > kMurdererAbove && count <= kMurdererAbove) ChooseAlignmentSide(1);
    if (before <= kMurdererAbove && count > kMurdererAbove) ChooseAlignmentSide(2);
    CItem::SetMurderCount(count);
}

void CPlayer::ChooseAlignmentSide(int side) {
    const CResourceTypeTable& types = GetResourceTypes();
    const int good = types.FindNumber("good");
    const int evil = types.FindNumber("evil");
    // Whatever the side, the old one's units go first.
    if (good) RemoveResourceAmount(kAlignmentUnitsRemoved, good);
    if (evil) RemoveResourceAmount(kAlignmentUnitsRemoved, evil);
    if (!good || !evil || (side != 1 && side != 2)) return;
    const bool isGood = side == 1;
    AddResource(isGood ? good : evil, kResourceHeld, 1, 0, 1);
    SetAlignmentFlag(0, kAlignmentEvilBit, !isGood);
    SetAlignmentFlag(0, kAlignmentGoodBit, isGood);
}

void CPlayer::AdjustNotoriety(int delta) {
    const int n = GetNotoriety();
    int d = (n < 0 ? -n : n) / 10;
    if (d == 0) d = 1;
    SetNotoriety(n + delta / d);
}

void CPlayer::GetControllerInfo(ControllerInfo& out) {
    out = ControllerInfo{};
    out.player = this;
    out.serial = serial_;
    ObjVars::GetObject(attachments_, "guildstoneId", out.guild);
    ObjVars::GetInt(attachments_, "guildType", out.guildType);
    out.name = name_;
}

void CPlayer::JoinOrder() {
    ObjVars::Set(attachments_, "order", kTypeInt, ScriptListValue::Int(1));
    ScheduleCallback(kReputationTicks, serial_, kJoinOrderCallbackAction, 0, nullptr);
}

void CPlayer::JoinChaos() {
    ObjVars::Set(attachments_, "chaos", kTypeInt, ScriptListValue::Int(1));
    ScheduleCallback(kReputationTicks, serial_, kJoinChaosCallbackAction, 0, nullptr);
}

// ------------------------------------------------------------------------ small services

void CPlayer::SetCombatTarget(u32 serial) {
    if (serial == combatTarget_) return;
    combatTarget_ = serial;
    SendCombatTarget(*this, serial);
}

const char* CPlayer::GetAddressText() const {
    static char text[16];
    const CUserSock* connection = UserSockOf(this);
    const u32 a = connection ? connection->PeerAddress() : 0;
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (a >> 24) & 0xFF, (a >> 16) & 0xFF,
                  (a >> 8) & 0xFF, a & 0xFF);
    return text;
}

bool CPlayer::IsOverloaded() const {
    return GetWeight() > GetMaxWeight();
}

bool CPlayer::TellOverloaded() {
    if (!IsOverloaded()) return false;
    char text[128];
    std::snprintf(text, sizeof text,
                  "You are overloaded.  You can carry %d stones, but are carrying %d stones.",
                  GetMaxWeight(), GetWeight());
    GetPacketServices().SendSystemMessage(this, text);
    return true;
}

void CPlayer::TellThree(CMobile* a, CMobile* b, CMobile* c, const char* format) {
    if (!a || !b || !c || !format) return;
    CStr na, nb, nc;
    a->GetTitledName(na);
    b->GetTitledName(nb);
    c->GetTitledName(nc);
    char text[512];
    std::snprintf(text, sizeof text, format, na.CText(), nb.CText(), nc.CText());
    if (CPlayer* p = a->AsPlayer()) GetPacketServices().SendSystemMessage(p, text);
    if (CPlayer* p = b->AsPlayer()) GetPacketServices().SendSystemMessage(p, text);
    if (c != a && c != b)
        if (CPlayer* p = c->AsPlayer()) GetPacketServices().SendSystemMessage(p, text);
}

int CPlayer::SumBaseStats() const {
    return GetBaseStat(kStatStrength) + GetBaseStat(kStatDexterity) +
           GetBaseStat(kStatIntelligence);
}

void CPlayerRegistry::CollectByCategory(std::vector<u32>& out, int kind) {
    std::vector<CPlayer*> players;
    CollectOnline(players);
    for (CPlayer* p : players) {
        bool take = true;
        switch (kind) {
            case kCategoryCounselors:
                take = p->IsLoggedIn() && p->IsCounselor();
                break;
            case kCategoryGameMasters:
                take = p->IsLoggedIn() && p->IsGameMaster();
                break;
            case kCategoryOrdinary:
                take = !p->IsEditing() && !p->IsGameMaster() && !p->IsCounselor();
                break;
            default:
                break;
        }
        if (take) out.push_back(p->GetSerial());
    }
}

void CPlayerRegistry::AuditStatTotals() {
    std::vector<CPlayer*> players;
    CollectOnline(players);
    for (CPlayer* p : players) {
        if (p->IsEditing()) continue;
        const int sum = p->SumBaseStats();
        if (sum <= kStatAuditTotal) continue;
        char text[48];
        std::snprintf(text, sizeof text, "stat combo is %d", sum);
        GetLogSink().Log(p->GetAccountKey(), static_cast<u8>(p->GetCharacterKey()), p->GetSerial(),
                         p->GetRealName(), "statcheck", "error", text);
        for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat) {
            if (p->GetBaseStat(stat) > kStatAuditCeiling) p->SetRealStat(stat, kStatAuditCeiling);
        }
    }
}
