#include "server/world/template_creation.h"

#include <cstdlib>
#include <cstring>

#include "core/log_sink.h"
#include "core/next_word.h"
#include "core/random_numbers.h"
#include "core/service_slot.h"
#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/triggers.h"
#include "server/world/area_services.h"
#include "server/world/container.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/mobile_alignment.h"
#include "server/world/object_manager.h"
#include "server/world/object_templates.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"
#include "server/world/guard.h"
#include "server/world/npc.h"

namespace {

ServiceSlot<TemplateLinks> g_templateLinks;

constexpr int kMaxHueListDepth = 4;
constexpr u16 kShopContainerGraphic = 0xE75;
constexpr u16 kGoldPileGraphic = 0xEED;
constexpr int kBackpackLayer = 21;
constexpr int kItemGraphicLimit = 0x4000;
const char* const kFragmentPrefix = "SORVENMAR_";

const char* SkipBlanks(const char* p) {
    return SkipTemplateBlanks(p);
}

int DecimalValue(const char* text) {
    return TemplateDecimal(text);
}

std::string Word(const char*& p) {
    char buffer[1024];
    p = NextWord(p, buffer);
    return buffer;
}

void LogCreation(const std::string& text) {
    GetLogSink().Log(0, 0, 0, "", "templates", "error", text.c_str());
}

void DeleteObject(CItem* object) {
    if (object) object->DeleteSelf();
}

using HuePair = std::pair<std::string, std::string>;

// Skips the rest of a brace list whose '{' was read, nested lists included.
void SkipBraceList(const char*& p) {
    int depth = 1;
    while (depth > 0) {
        const std::string w = Word(p);
        if (w.empty()) return;
        if (w == "{") ++depth;
        if (w == "}") --depth;
    }
}

// A list of (low, high) pairs or nested lists, each with a weight, up to '}' (the '{' read):
// one pair drawn, ("0", "0") when none can be.
HuePair ReadHueList(const char*& p, int depth, int templateNumber) {
    CWeightedList<HuePair> list;
    for (;;) {
        std::string w = Word(p);
        if (w.empty() || w == "}") break;
        HuePair entry;
        if (w == "{") {
            if (depth >= kMaxHueListDepth) {
                LogCreation("Template " + std::to_string(templateNumber) +
                            ": hue lists nested deeper than " + std::to_string(kMaxHueListDepth) +
                            " levels; that list gives no hue");
                SkipBraceList(p);
                entry = {"0", "0"};
            } else {
                entry = ReadHueList(p, depth + 1, templateNumber);
            }
        } else {
            entry.first = w;
            entry.second = Word(p);
        }
        const std::string weight = Word(p);
        const char* after = SkipBlanks(p);
        if (!after || *after == '\0') break;
        list.Add(entry, DecimalValue(weight.c_str()), 1);
    }
    auto pos = list.Pick();
    if (auto* picked = list.GetAt(pos)) return picked->value;
    return {"0", "0"};
}

CItem* LayerItem(CMobile* mobile, int layer) {
    return mobile ? mobile->GetLayer(layer) : nullptr;
}

void EnsureShopContainers(CMobile* shopkeeper) {
    for (int layer : {kShopSellLayer, kShopInventoryLayer, kShopBuyLayer}) {
        if (LayerItem(shopkeeper, layer)) continue;
        auto* box = new CContainer;
        box->SetType(kShopContainerGraphic);
        box->EquipOn(shopkeeper, layer);
    }
}

void NotBuiltOnce(bool& logged, const char* what) {
    LogNotBuiltOnce(logged, "templates", what);
}

}  // namespace

// ---------------------------------------------------------------- the links' own answers

CItem* TemplateLinks::MakeMultiInstance(int, const Location&, int, CItem*) {
    static bool logged = false;
    NotBuiltOnce(logged, "Template \"multi\" entries: multis are not built yet; the entry fails");
    return nullptr;
}

CItem* TemplateLinks::BuildMultiAt(int, const Location&) {
    static bool logged = false;
    NotBuiltOnce(logged, "Template multi lines (200000-299999): multis are not built yet");
    return nullptr;
}

bool TemplateLinks::CanCreateFromBank(CItem*, const Location&) {
    return true;
}

bool TemplateLinks::BankAllowsTemplate(int number) {
    return g_templateTable.Contains(number) == 1;
}

int TemplateLinks::IsResourceAvailableAt(const Location&, const char*) {
    return 0;
}

CItem* TemplateLinks::MakeMagicItem(int, int, int) {
    static bool logged = false;
    NotBuiltOnce(logged,
                 "Template magic lines: the magic-item chooser is not built yet; no recipe");
    return nullptr;
}

void TemplateLinks::RegisterNpcSerial(u32 serial) {
    registeredNpcs.push_back(serial);
}

void TemplateLinks::SettleBankGold(CShopKeeper*) {
    static bool logged = false;
    NotBuiltOnce(logged, "CShopKeeper::SettleBankGold is not built yet (vendors)");
}

bool TemplateLinks::HasStock(CShopKeeper* shopkeeper) {
    // Until vendors restock, a shop has stock while its sell container holds something.
    CItem* sell = LayerItem(shopkeeper, kShopSellLayer);
    return sell && sell->IsContainer() && sell->AsContainer()->GetFirstChild() != nullptr;
}

int TemplateLinks::PutMoneyInBank(CMobile* mobile, CItem* pile, int amount) {
    return mobile->PutMoneyInBank(pile, amount);
}

TemplateLinks& GetTemplateLinks() {
    return g_templateLinks.Get();
}

TemplateLinks* SetTemplateLinks(TemplateLinks* links) {
    return g_templateLinks.Set(links);
}

// ---------------------------------------------------------------- value forms

std::string PickGraphicSpec(const char*& p) {
    std::string w = Word(p);
    if (w != "{") return w;
    CWeightedList<CStr> list;
    ParseWeightedWordsFrom(p, list);
    auto* picked = list.GetAt(list.Pick());
    return picked ? picked->value.CText() : "0";
}

int ParseHueSpec(const char*& p, int hairHue, int templateNumber) {
    const std::string w1 = Word(p);
    if (w1 == "match_hair") return hairHue;
    HuePair pair;
    if (w1 == "{") {
        pair = ReadHueList(p, 1, templateNumber);
    } else {
        pair = {w1, Word(p)};
    }
    if (pair.first == "0" && pair.second == "0") return -1;
    const int low = RollTemplateDice(pair.first.c_str(), templateNumber);
    int high = RollTemplateDice(pair.second.c_str(), templateNumber);
    if (high == 0) high = low;
    return RandomRange(low, high);
}

bool IsHairGraphic(int graphic) {
    if (graphic < 0 || graphic >= kItemGraphicLimit) return false;
    const StaticTileRecord& r = GetTileData().Static(graphic);
    return (r.flags & kTileWearable) != 0 && (r.layer == 11 || r.layer == 16);
}

bool IsStillObject(u32 serial, CItem* object) {
    if (!object && serial == 0) return true;
    if (object && g_objectManager.FindBySerial(serial) == object) return true;
    GetLogSink().Log(0, 0, 0, "", "restemplate", "error", "In-use template object deleted");
    return false;
}

int GetTemplateMoveType(int number) {
    if (number == 0xFFFF) return 1;
    const ObjectTemplate* t = g_templateTable.Find(number);
    if (!t) return 1;
    if (t->moveType != -1) return t->moveType;
    // Creatures of the water: only water among the shelter needs swims, water and land both.
    const int water = GetResourceTypes().FindNumber("water");
    bool hasWater = false, hasOther = false;
    for (const ResourceEntry* e = t->resources; e; e = e->next) {
        if (e->kind != 1) continue;
        if (water != 0 && e->type == water) {
            hasWater = true;
        } else {
            hasOther = true;
        }
    }
    if (hasWater && !hasOther) return 3;
    if (hasWater) return 5;
    return 1;
}

u16 CTemplateTable::GetTemplateGraphic(int number) const {
    const ObjectTemplate* t = Find(number);
    if (!t || t->entries.empty()) return 0;
    const char* p = t->entries[0].value.c_str();
    Word(p);
    return static_cast<u16>(DecimalValue(PickGraphicSpec(p).c_str()));
}

// ---------------------------------------------------------------- making the object

// A weapon or armour piece made here takes the number of the weapon template its graphic names,
// which is what the loader gives it from its graphic: the object made is the object a save and
// a load give back. Recorded once it is placed, as a loaded one is, so that a template dresses
// a mobile whatever the template's equip rules say.
namespace {
void RecordWeaponTemplate(CItem* item) {
    if (CWeapon* weapon = item ? item->AsWeapon() : nullptr) weapon->SetTemplateFromGraphic();
}
}  // namespace

bool MakeObjectOfKind(CItem*& out, const char* kindWord, int graphic, const Location& at) {
    out = nullptr;
    const std::string kind = kindWord;
    if (kind == "normal" || kind == "guard" || kind == "shopkeeper") {
        CNPC* npc = kind == "normal"  ? new CNPC
                    : kind == "guard" ? static_cast<CNPC*>(new CGuard)
                                      : static_cast<CNPC*>(new CShopKeeper);
        npc->SetBodyType(graphic);
        if (kind == "shopkeeper") EnsureShopContainers(npc);
        out = npc;
        return true;
    }
    if (kind == "item") {
        out = g_objectManager.CreateItem(graphic);
        if (out) out->PlaceInWorld(at);
        RecordWeaponTemplate(out);
        return true;
    }
    return kind == "none";
}

bool RetypeObject(CItem* object, const char* kindWord, int graphic) {
    const std::string kind = kindWord;
    if (kind == "normal" || kind == "guard" || kind == "shopkeeper") {
        if (object->IsMobile()) object->SetType(graphic);
        return true;
    }
    if (kind == "item") {
        if (!object->IsMobile()) object->SetType(graphic);
        return true;
    }
    return kind == "none";
}

void GiveTemplateResources(int bankCheck, CItem* object, int copies, const Location& at, int factor,
                           int fromTemplate) {
    if (!object) return;
    if (copies == 0) copies = 1;
    const bool wasPlaced = !object->IsDetached();
    if (wasPlaced) object->RemoveFromWorld();
    const int number = object->GetTemplateId();
    const ObjectTemplate* t = fromTemplate ? g_templateTable.Find(number) : nullptr;
    for (int i = 0; i < copies; ++i) {
        if (bankCheck) {
            const bool allowed = fromTemplate ? GetTemplateLinks().BankAllowsTemplate(number)
                                              : GetTemplateLinks().CanCreateFromBank(object, at);
            if (!allowed) break;
        }
        object->AddTypeResources(at, factor);
        if (t) {
            for (const ResourceEntry* e = t->resources; e; e = e->next)
                object->AddScaledCopy(*e, factor);
        }
    }
    if (wasPlaced) object->ReturnToLastPlace();
}

int ApplyEquipLine(CItem* target, const char* text, TemplateRun& run, const Location& at,
                   int bankCheck, int factor) {
    TemplateLinks& links = GetTemplateLinks();
    const char* p = text;
    const std::string g = PickGraphicSpec(p);
    if (g == "0") return 0;
    long long c = DecimalValue(g.c_str());
    const u32 serial = target ? target->GetSerial() : 0;
    CItem* item = nullptr;
    bool magic = false;
    const char* peek = p;
    if (Word(peek) == "magic") {
        p = peek;
        const int chance = DecimalValue(Word(p).c_str());
        const int low = DecimalValue(Word(p).c_str());
        const int high = DecimalValue(Word(p).c_str());
        if (RandomRange(0, 99) > chance) return 0;
        item = links.MakeMagicItem(static_cast<int>(c), low, high);
        if (!item) return 0;
        magic = true;
        c = 0;
    } else {
        const u32 uc = static_cast<u32>(c);
        if (uc >= 100000 && uc < 200000) {
            item = CreateTemplateObject(static_cast<int>(uc - 100000), at, 1, 0, nullptr);
            if (!IsStillObject(serial, target) || !item) return 0;
            if (!item->IsDetached()) item->RemoveFromWorld();
        } else if (uc >= 200000 && uc < 300000) {
            item = links.BuildMultiAt(static_cast<int>(uc - 200000), at);
            if (!IsStillObject(serial, target) || !item) return 0;
        } else if (uc >= 300000 && uc < 400000) {
            CItem* result = CreateTemplateObject(static_cast<int>(uc - 300000), at, 1, 0, target);
            if (!IsStillObject(serial, target)) return 0;
            if (result && result == target) return 1;
            DeleteObject(result);
            return 0;
        } else {
            if (uc == 0 || (uc & 0xFFFF) >= kItemGraphicLimit) return 0;
            item = g_objectManager.CreateItem(static_cast<int>(uc & 0xFFFF));
            if (!item) return 0;
        }
    }

    const int hue = ParseHueSpec(p, run.hairHue, run.templateNumber);
    if (hue != -1) item->SetHue(static_cast<u16>(hue));
    if (run.hairHue == -1 && IsHairGraphic(item->GetType())) run.hairHue = hue;

    const std::string quantityWord = Word(p);
    int quantity = 1;
    if (quantityWord != "-1") {
        quantity = RollTemplateDice(quantityWord.c_str(), run.templateNumber);
        if (quantity < 1) quantity = 1;
    }

    std::string placement = Word(p);
    static const char* const kPlacements[] = {"wear",    "selfcontained", "contained", "sellable",
                                              "buyable", "invent",        "at",        "in"};
    bool known = false;
    for (const char* k : kPlacements)
        known = known || placement == k;
    if (!known) placement = "wear";

    CItem* destination = nullptr;
    bool worn = false;
    CMobile* mobile = target ? target->AsMobile() : nullptr;
    if (placement == "in") {
        auto it = run.labels.find(Word(p));
        if (it != run.labels.end() && it->second->IsContainer()) destination = it->second;
    } else if (placement == "at") {
        const int dx = DecimalValue(Word(p).c_str());
        const int dy = DecimalValue(Word(p).c_str());
        const int dz = DecimalValue(Word(p).c_str());
        Location spot(at.x + dx, at.y + dy, at.z + dz);
        if (!g_worldMap.FindGoodSpotNear(spot, 0, 3, item->GetHeight(), 0, item)) {
            DeleteObject(item);
            return 0;
        }
        if (!item->IsDetached()) item->RemoveFromWorld();
        item->PlaceInWorld(spot);
    } else if (placement == "selfcontained") {
        if (target && target->IsContainer()) destination = target;
    } else if (placement == "wear") {
        const int graphic = item->GetType();
        const bool wearable = graphic < kItemGraphicLimit &&
                              (GetTileData().Static(graphic).flags & kTileWearable) != 0;
        if (mobile && wearable) {
            const int layer = GetTileData().Static(graphic).layer;
            if (layer >= 1 && layer <= 29) {
                if (item->EquipOn(mobile, layer)) {
                    worn = true;
                } else {
                    placement = "contained";
                }
            } else {
                // Worn on no layer it would be placed nowhere, held by no one.
                LogCreation("Template " + std::to_string(run.templateNumber) + ": item graphic " +
                            std::to_string(graphic) + " has no equipment layer; deleted");
                DeleteObject(item);
                return 0;
            }
        } else {
            placement = "contained";
        }
    } else if (placement == "sellable" || placement == "invent" || placement == "buyable") {
        if (target && target->IsShopKeeper()) {
            const int layer = placement == "sellable" ? kShopSellLayer
                              : placement == "invent" ? kShopInventoryLayer
                                                      : kShopBuyLayer;
            CItem* box = LayerItem(mobile, layer);
            if (box && box->IsContainer()) destination = box;
        }
    }
    if (placement == "contained" && mobile) {
        for (int layer = 25; layer >= 0 && !destination; --layer) {
            CItem* worn_item = mobile->GetLayer(layer);
            if (worn_item && worn_item->IsUsableContainer()) destination = worn_item;
        }
    }

    std::string labelName;
    std::string scriptWord = Word(p);
    if (scriptWord == "label") {
        labelName = Word(p);
        scriptWord = Word(p);
    }
    const bool afterShop = placement == "sellable";

    if (destination) {
        if (item->GetMultiLink() != nullptr) {
            DeleteObject(item);
            return 0;
        }
        if (afterShop && !scriptWord.empty()) {
            static bool logged = false;
            NotBuiltOnce(logged, "CItem::SetAfterShopScript is not built yet (vendors)");
        }
        Location position(-1, -1, 0);
        if (destination->GetType() == kLayoutContainerGraphic) {
            int minX, maxX, minY, maxY;
            destination->AsContainer()->GetGumpBounds(minX, maxX, minY, maxY);
            position = Location(minX + run.layoutCounter, minY, 0);
            ++run.layoutCounter;
        }
        item->AddToContainer(destination, position);
    } else if (placement != "at" && !worn) {
        DeleteObject(item);
        return 0;
    }
    RecordWeaponTemplate(item);

    if (!labelName.empty()) run.labels.emplace(labelName, item);

    const u32 itemSerial = item->GetSerial();
    if (c < 100000 && AttachTypeScript(item) == 0) return 0;
    if (!scriptWord.empty() && !afterShop) {
        AttachScript(item, scriptWord.c_str(), 1);
        if (!IsObjectAlive(itemSerial, item)) return 0;
    }
    if (magic && links.IsResourceAvailableAt(at, "magic") == 1) {
        static bool logged = false;
        NotBuiltOnce(logged, "NameMagicItem is not built yet (magic items)");
    }
    const u32 uc = static_cast<u32>(c);
    if (uc < 100000 || (uc >= 200000 && uc < 300000)) {
        if (!bankCheck) {
            GiveTemplateResources(0, item, quantity, at, factor, 0);
        } else if (!links.CanCreateFromBank(item, at)) {
            const int answer = item->IsEquipped() ? -1 : 0;
            DeleteObject(item);
            return answer;
        } else {
            GiveTemplateResources(1, item, quantity, at, factor, 0);
        }
    }
    return 1;
}

namespace {

void SetVital(CMobile* m, const char* value, const char* statWord, int stat,
              int (CMobile::*setMax)(int), int (CMobile::*setCur)(int), int number) {
    const char* p = value;
    const std::string w1 = Word(p);
    if (w1 == statWord) {
        const int s = m->GetBaseStat(stat);
        (m->*setMax)(s);
        (m->*setCur)(s);
        return;
    }
    const int max = RollTemplateDice(w1.c_str(), number);
    int cur = RollTemplateDice(Word(p).c_str(), number);
    if (cur == 0) cur = max;
    (m->*setMax)(max);
    (m->*setCur)(cur);
}

// Runs one entry on the object; false when the entry failed so that the template stops.
enum class EntryResult { Go, Stop, Fail };

EntryResult RunEntry(const TemplateEntry& e, CItem*& object, TemplateRun& run, const Location& at,
                     int bankCheck, CItem* target, int factor) {
    const char* value = e.value.c_str();
    const char* p = value;
    CMobile* m = object ? object->AsMobile() : nullptr;
    CNPC* npc = object ? object->AsNPC() : nullptr;
    const int n = run.templateNumber;
    auto roll = [&](const char* text) { return RollTemplateDice(text, n); };
    auto firstWord = [&]() {
        const char* q = value;
        return Word(q);
    };
    switch (e.code) {
        case kKeyAttitude:
            if (m) m->SetAttitude(roll(firstWord().c_str()));
            break;
        case kKeyConvFrag:
            if (npc) npc->AddFragment(SkipBlanks(value));
            break;
        case kKeyDexterity:
            if (m) m->SetRealStat(kStatDexterity, roll(firstWord().c_str()));
            break;
        case kKeyIntelligence:
            if (m) m->SetRealStat(kStatIntelligence, roll(firstWord().c_str()));
            break;
        case kKeyStrength:
            if (m) m->SetRealStat(kStatStrength, roll(firstWord().c_str()));
            break;
        case kKeyHp:
            if (m)
                SetVital(m, value, "str", kStatStrength, &CMobile::SetMaxHits, &CMobile::SetCurHits,
                         n);
            break;
        case kKeyMana:
            if (m)
                SetVital(m, value, "int", kStatIntelligence, &CMobile::SetMaxMana,
                         &CMobile::SetCurMana, n);
            break;
        case kKeyStamina:
            if (m)
                SetVital(m, value, "dex", kStatDexterity, &CMobile::SetMaxFatigue,
                         &CMobile::SetCurFatigue, n);
            break;
        case kKeyHue:
        case kKeyPartialHue: {
            if (!object) break;
            int hue = ParseHueSpec(p, run.hairHue, n);
            if (hue == -1) break;
            if (e.code == kKeyPartialHue && m) hue |= 0x8000;
            object->SetHue(static_cast<u16>(hue));
            if (!object->IsDetached()) {
                object->RemoveFromWorld();
                object->ReturnToLastPlace();
            }
            break;
        }
        case kKeyNotoriety:
            if (m) m->SetNotoriety(roll(firstWord().c_str()));
            break;
        case kKeyFame:
            if (m) m->SetFame(static_cast<u16>(roll(firstWord().c_str())));
            break;
        case kKeyKarma:
            if (m) m->SetKarma(static_cast<s16>(roll(firstWord().c_str())));
            break;
        case kKeyName:
            g_templateTable.PickName(object, value);
            break;
        case kKeyRealName:
            if (m) {
                char name[1024];
                NextQuotedWord(value, name);
                m->SetName(name);
            }
            break;
        case kKeySex:
            if (m) {
                const std::string w = firstWord();
                m->SetSex(w == "male"     ? 0
                          : w == "female" ? 1
                          : w == "random" ? (~platform::Rand()) & 1
                                          : 2);
            }
            break;
        case kKeyScript: {
            if (!object || target) break;
            const std::string name = Word(p);
            const int chance = DecimalValue(Word(p).c_str());
            if (chance != 0 && chance != 100 && RandomRange(1, 100) > chance) break;
            AttachScript(object, name.c_str(), 1);
            break;
        }
        case kKeySkill:
            if (m) {
                const int skill = DecimalValue(Word(p).c_str());
                const int level = roll(Word(p).c_str());
                if (skill >= 0 && skill < kMobileSkills) m->SetSkill(skill, level);
            }
            break;
        case kKeySfxNotice:
        case kKeySfxIdle:
        case kKeySfxHit:
        case kKeySfxWasHit:
        case kKeySfxDie:
            if (m) m->SetSoundId(e.code - kKeySfxNotice, DecimalValue(value) & 0xFFFF);
            break;
        case kKeyMulti: {
            if (!m || target) break;
            const int type = DecimalValue(value) * 8 + 2000 + (m->GetDirection() & 0x7F);
            if (!m->IsDetached()) m->RemoveFromWorld();
            if (!GetTemplateLinks().MakeMultiInstance(type, at, m->GetMoveType(), m))
                return EntryResult::Fail;
            break;
        }
        case kKeyObjVar: {
            if (!object) break;
            const std::string type = Word(p);
            char name[1024];
            p = NextWordKeepCase(p, name);
            char text[1024];
            NextQuotedWord(p, text);
            if (type == "int") {
                ObjVars::Set(object->ScriptAttachments(), name, kTypeInt,
                             ScriptListValue::Int(roll(text)));
            } else if (type == "string") {
                const CStr s(text);
                ObjVars::Set(object->ScriptAttachments(), name, kTypeString,
                             ScriptListValue::Ptr(&s));
            }
            break;
        }
        case kKeyQuantity:
            if (DecimalValue(value) != -1) {
                run.copies = roll(value);
                if (run.copies < 1) run.copies = 1;
            } else {
                run.copies = 1;
            }
            break;
        case kKeyNaturalAc:
            if (m) m->SetNaturalArmor(roll(value));
            break;
        case kKeyNaturalWc:
            if (m) m->SetNaturalWeapon(Dice(firstWord().c_str()));
            break;
        case kKeyJob:
            if (npc) {
                npc->AddFragment((std::string(kFragmentPrefix) + value).c_str());
                npc->SetJob(value);
            }
            break;
        case kKeyFleeVal:
            if (npc) {
                if (const ObjectTemplate* t = g_templateTable.Find(n))
                    npc->SetFleeValue(t->fleeValue);
            }
            break;
        case kKeyEq:
        case kKeyReq: {
            const int answer = ApplyEquipLine(object, value, run, at, bankCheck, factor);
            if (e.code == kKeyEq && answer == -1 && !target) {
                DeleteObject(object);
                object = nullptr;
                return EntryResult::Fail;
            }
            if (e.code == kKeyReq && answer <= 0) return EntryResult::Stop;
            break;
        }
        default:
            break;
    }
    return EntryResult::Go;
}

}  // namespace

CItem* ApplyTemplate(int number, const Location& at, int& copies, int bankCheck, CItem* target,
                     int factor) {
    copies = 1;
    TemplateRun run;
    run.templateNumber = number;
    const ObjectTemplate* t = g_templateTable.Find(number);
    if (!t || t->entries.empty()) return nullptr;
    const char* p = t->entries[0].value.c_str();
    const std::string kind = Word(p);
    const u16 graphic = static_cast<u16>(DecimalValue(PickGraphicSpec(p).c_str()));
    if (kind != "none" && graphic == 0 && !target) return nullptr;
    CItem* object = nullptr;
    if (!target) {
        if (!MakeObjectOfKind(object, kind.c_str(), graphic, at)) return nullptr;
    } else {
        object = target;
        RetypeObject(target, kind.c_str(), graphic);
    }
    for (size_t i = 1; i < t->entries.size(); ++i) {
        const TemplateEntry& e = t->entries[i];
        if (!object && e.code != kKeyEq && e.code != kKeyReq) continue;
        const u32 serial = object ? object->GetSerial() : 0;
        const EntryResult result = RunEntry(e, object, run, at, bankCheck, target, factor);
        if (result == EntryResult::Fail) {
            // A mobile left out of the world by a failed "multi" entry is held by no one.
            if (e.code == kKeyMulti && object && IsObjectAlive(serial, object)) {
                LogCreation("Template " + std::to_string(number) +
                            ": its multi could not be built; the creature is deleted");
                DeleteObject(object);
            }
            copies = run.copies;
            return nullptr;
        }
        if (e.code == kKeyEq || e.code == kKeyReq || e.code == kKeyScript || e.code == kKeyMulti) {
            if (!IsStillObject(serial, object)) return nullptr;
        }
        if (result == EntryResult::Stop) break;
    }
    copies = run.copies;
    return object;
}

CItem* CreateTemplateObject(int number, const Location& at, int bankCheck, int factor,
                            CItem* target) {
    if (!g_sectorGrid.Contains(at.x, at.y)) return nullptr;
    int copies = 1;
    CItem* object = ApplyTemplate(number, at, copies, bankCheck, target, factor);
    if (!object) return nullptr;
    if (target && object == target) return object;
    object->SetTemplateId(number);
    if (AttachTypeScript(object) == 0) return nullptr;
    if (!bankCheck) {
        GiveTemplateResources(0, object, copies, at, factor, 1);
    } else if (!GetTemplateLinks().BankAllowsTemplate(number)) {
        DeleteObject(object);
        return nullptr;
    } else {
        GiveTemplateResources(1, object, copies, at, factor, 1);
    }
    if (CMobile* m = object->AsMobile()) {
        m->SetMoveType(GetTemplateMoveType(number));
        if (m->GetMoveType() == 0) m->SetMobFlag(kMobFrozen, true);
        const ObjectTemplate* made = g_templateTable.Find(number);
        if (made && made->alignment != 0) {
            static bool logged = false;
            NotBuiltOnce(logged,
                         "CMobile::SetAlignment is not built yet; a template's alignment word "
                         "adds nothing (its held resources still set the alignment)");
        }
        DeriveAlignmentFlags(*m);
    }
    if (CNPC* npc = object->AsNPC()) {
        if (npc->IsDetached()) npc->PlaceInWorld(at);
        if (npc->GetBody() == 400 || npc->GetBody() == 401) AssignNpcTown(npc, at);
        GetTemplateLinks().RegisterNpcSerial(npc->GetSerial());
    }
    if (object->IsShopKeeper()) {
        CMobile* shopkeeper = object->AsMobile();
        if (!StockShopGold(shopkeeper)) {
            DeleteObject(object);
            return nullptr;
        }
        GetTemplateLinks().SettleBankGold(static_cast<CShopKeeper*>(object));
        if (!GetTemplateLinks().HasStock(static_cast<CShopKeeper*>(object))) {
            DeleteObject(object);
            return nullptr;
        }
    }
    return object;
}

// ---------------------------------------------------------------- towns and shops

std::string RegionNameWord(const char* name) {
    const char* underscore = name ? std::strchr(name, '_') : nullptr;
    if (!underscore) return "";
    std::string word;
    for (const char* p = underscore + 1; *p && *p != '_' && word.size() < 39; ++p)
        word += *p;
    return word;
}

std::string TownDisplayName(const std::string& word) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (i == 0) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        } else if (c == '@') {
            c = ' ';
        } else if (out.back() == ' ') {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        out += c;
    }
    return out;
}

void AssignNpcTown(CNPC* npc, const Location& at) {
    std::vector<std::string> cities, towns;
    AreaServices& area = GetAreaServices();
    area.CollectRegionNames(at, "CITY_", cities);
    area.CollectRegionNames(at, "TOWN_", towns);
    std::vector<std::string> words;  // distinct, compared without regard to case
    for (const std::string& name : cities) {
        const std::string w = RegionNameWord(name.c_str());
        if (w.empty()) continue;
        bool seen = false;
        for (const std::string& s : words)
            seen = seen || StrCompareNoCase(s.c_str(), w.c_str()) == 0;
        if (!seen) words.push_back(w);
    }
    for (const std::string& name : towns) {
        const std::string w = RegionNameWord(name.c_str());
        if (!w.empty()) npc->SetTown(w.c_str());
    }
    for (const std::string& w : words) {
        const std::string display = TownDisplayName(w);
        npc->SetTown(display.c_str());
        npc->AddFragment((kFragmentPrefix + display.substr(0, display.find(' '))).c_str());
    }
}

int ShopGoldForStock(CMobile* shopkeeper) {
    CItem* sell = LayerItem(shopkeeper, kShopSellLayer);
    if (!sell || !sell->IsContainer()) return 0;
    s64 total = 0;
    for (CItem* c = sell->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling()) {
        const int value = c->GetValue(0, 1);
        const int multiplier = value > 2000 ? 1 : value > 1000 ? 2 : 9;
        total += static_cast<s64>(value) * multiplier;
    }
    return total > 2147483647 ? 2147483647 : static_cast<int>(total);
}

bool StockShopGold(CMobile* shopkeeper) {
    CItem* sell = LayerItem(shopkeeper, kShopSellLayer);
    if (!sell || !sell->IsContainer()) return false;
    const int total = ShopGoldForStock(shopkeeper);
    if (total == 0) return false;
    CItem* pile = g_objectManager.CreateItem(kGoldPileGraphic);
    if (!pile) return false;
    const int gold = GetResourceTypes().FindNumber("gold");
    if (gold != 0) pile->AddResource(gold, kResourceHeld, total, 0, total);
    if (GetTemplateLinks().PutMoneyInBank(shopkeeper, pile, total) != -1) pile->DeleteSelf();
    return true;
}

void ResetForTemplate(CItem* object) {
    if (!object) return;
    object->SetHue(0);
    object->LeaveTemplateList();
    object->SetTemplateField(0xFFFF);
    object->SetMultiLink(nullptr);
    if (CMobile* m = object->AsMobile()) {
        for (int stat = 0; stat < 3; ++stat)
            m->SetRealStat(stat, 0);
        m->SetNotoriety(0);
        m->SetFame(0);
        m->SetKarma(0);
        for (int skill = 0; skill < kMobileSkills; ++skill)
            m->SetSkill(skill, 0);
    }
}

int CMobile::BecomeTemplate(int number, int replace) {
    const u32 serial = GetSerial();
    if (replace) {
        for (int layer = 0; layer < 30; ++layer) {
            if (layer == kBackpackLayer) continue;
            CItem* item = GetLayer(layer);
            if (!item) continue;
            item->RemoveFromWorld();
            item->DeleteSelf();
        }
        DeleteContents();
        if (!IsObjectAlive(serial, this)) return 0;
        ResetForTemplate(this);
    }
    return CreateTemplateObject(number, GetWorldLocation(), 0, 1, this) == this ? 1 : 0;
}
