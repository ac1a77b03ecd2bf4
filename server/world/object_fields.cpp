#include "server/world/object_fields.h"

#include <algorithm>
#include <cstdio>
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
#include "server/world/bulletin_board.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/resource_entry.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"
#include "server/world/guard.h"
#include "server/world/npc.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void Letter(std::string& out, char letter) {
    out += "@=";
    out += letter;
    out += '\0';
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

namespace {
// A digit of hex wide text: lower- and upper-case hex digits are hex; any other character
// keeps the value older saves were read with (its distance from '0' or 'a', modulo 16).
unsigned HexDigitValue(char c) {
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return static_cast<unsigned>(c >= 'a' ? c - 'a' + 10 : c - '0') % 16;
}
}  // namespace

const char* DecodeHexUnits(const char* p, const char* end, std::u16string& out) {
    out.clear();
    while (p < end && *p != '\0' && *p != ' ') {
        unsigned unit = 0;
        int digits = 0;
        for (; digits < 4 && p < end && *p != '\0' && *p != ' '; ++digits, ++p)
            unit = unit * 16 + HexDigitValue(*p);
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

// --- script records ---------------------------------------------------------------------------

void AppendScriptRecordText(std::string& out, CScriptInstance& instance) {
    const CScriptClass* cls = instance.GetClass();
    const auto& entries = cls->members.entries;
    AppendEscapedText(out, cls->name.c_str());
    out += ' ';
    out += std::to_string(entries.size());
    for (size_t k = 0; k < entries.size(); ++k) {
        const ScriptSlot& slot = instance.Member(static_cast<int>(k));
        out += ' ';
        out += TypeWord(entries[k].type);
        out += ' ';
        AppendEscapedText(out, entries[k].name.c_str());
        out += ' ';
        const Location at = LocationOf(slot);
        AppendValue(out, entries[k].type, slot.i, slot.s, slot.q, &at, slot.l);
    }
}

void AppendVariableRecordText(std::string& out, const CScriptValue& v) {
    out += TypeWord(v.type);
    out += ' ';
    // Names are any text a script gave: written escaped, as the reader unescapes them.
    AppendEscapedText(out, v.name);
    out += ' ';
    AppendValue(out, v.type, v.value.i, v.value.s, v.value.q, v.value.c, v.value.l);
}

void ApplyScriptRecordText(CItem* object, const std::string& value) {
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

void ApplyVariableRecordText(CItem* object, const std::string& value) {
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

// --- the record --------------------------------------------------------------------------------

int WriteObjectRecord(CItem& object, std::string& out, bool withLetter) {
    const size_t start = out.size();
    if (withLetter) Letter(out, LetterOf(object));
    // The most derived class's fields first, the item's last.
    WriteSaveFields(object.AsPlayer(), ObjectFieldAccess::PlayerFields(), out);
    WriteSaveFields(dynamic_cast<CShopKeeper*>(&object), ObjectFieldAccess::ShopKeeperFields(),
                    out);
    WriteSaveFields(dynamic_cast<CGuard*>(&object), ObjectFieldAccess::GuardFields(), out);
    WriteSaveFields(object.AsNPC(), ObjectFieldAccess::NpcFields(), out);
    WriteSaveFields(object.AsMobile(), ObjectFieldAccess::MobileFields(), out);
    WriteSaveFields(dynamic_cast<CCorpse*>(&object), ObjectFieldAccess::CorpseFields(), out);
    WriteSaveFields(object.AsWeapon(), ObjectFieldAccess::WeaponFields(), out);
    WriteSaveFields(&object, ObjectFieldAccess::ItemFields(), out);
    out += '\0';
    WriteContents(object, out);
    WriteWorn(object, out);
    return static_cast<int>(out.size() - start);
}

void ApplyObjectField(ObjectLoadState& state, const std::string& key, const std::string& value) {
    CItem* o = state.object;
    const FieldIn in{state, value};
    // Keys are unique across the classes but for "state", which every item reads.
    if (ReadSaveField(o, ObjectFieldAccess::ItemFields(), key, in)) return;
    if (ReadSaveField(o->AsWeapon(), ObjectFieldAccess::WeaponFields(), key, in)) return;
    if (ReadSaveField(dynamic_cast<CCorpse*>(o), ObjectFieldAccess::CorpseFields(), key, in))
        return;
    if (ReadSaveField(o->AsMobile(), ObjectFieldAccess::MobileFields(), key, in)) return;
    if (ReadSaveField(o->AsNPC(), ObjectFieldAccess::NpcFields(), key, in)) return;
    if (ReadSaveField(dynamic_cast<CShopKeeper*>(o), ObjectFieldAccess::ShopKeeperFields(), key,
                      in))
        return;
    if (ReadSaveField(dynamic_cast<CGuard*>(o), ObjectFieldAccess::GuardFields(), key, in)) return;
    ReadSaveField(o->AsPlayer(), ObjectFieldAccess::PlayerFields(), key, in);
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
