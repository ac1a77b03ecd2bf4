// The save fields of items, weapons and corpses: one row per key, its writer beside its reader.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/cstr.h"
#include "core/log_sink.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/language/script_value.h"
#include "script/runtime/triggers.h"
#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_fields.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"

namespace {

constexpr u32 kMobileSerialBit = 0x40000000u;
// A corpse keeps the worn items of layers 0-25.
constexpr int kCorpseLayers = sizeof CCorpse::worn / sizeof CCorpse::worn[0];

void LogOnce(bool& said, const char* text) {
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "save", "error", text);
}

// Multi links and map courses are kept by objects not built yet: their keys are read and
// dropped, and said so once.
void ReadMultiKey(CItem&, const FieldIn&) {
    static bool said = false;
    LogOnce(said, "multi links in the world save are not built: their keys are ignored");
}

void ReadMapCourseKey(CItem&, const FieldIn&) {
    static bool said = false;
    LogOnce(said, "map items' courses in the world save are not built: ignored");
}

void AddSavedResource(CItem& object, long long type, long long kind, long long a, long long b,
                      long long c) {
    object.AddResource(static_cast<int>(type), static_cast<int>(kind), static_cast<s32>(a),
                       static_cast<s32>(b), static_cast<s32>(c));
}

// A resource as "r" writes it, and as the older keys "newres" and "nres2" did: type, kind and
// three amounts.
void ReadResource(CItem& o, const FieldIn& in) {
    long long v[5];
    in.Numbers(v, 5);
    AddSavedResource(o, v[0], v[1], v[2], v[3], v[4]);
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

// A weapon's number; an absent one reads as 0, or as no template for the template keys.
long long WeaponNumber(const FieldIn& in, bool isTemplate) {
    const char* text = in.value.c_str();
    char* end = nullptr;
    const long long n = std::strtoll(text, &end, 10);
    return end == text && isTemplate ? kNoWeaponTemplate : n;
}

}  // namespace

std::span<const SaveField<CItem>> ObjectFieldAccess::ItemFields() {
    static constexpr SaveField<CItem> kRows[] = {
        {"id",
         [](CItem& o, const FieldOut& out) {
             if (o.serial_ != 0) out.Int(static_cast<s32>(o.serial_));
         },
         [](CItem& o, const FieldIn& in) {
             ObjectLoadState& state = in.state;
             u32 s = static_cast<u32>(in.Number());
             if (o.IsMobile() && s != 0) s &= ~kMobileSerialBit;
             if (o.IsPlayer()) {
                 // A player keeps its serial even when another object holds it already: the
                 // loader refuses the whole load naming it.
                 state.discard = false;
                 if (s != 0 && g_objectManager.SerialExistsEitherForm(s))
                     state.playerSerialTaken = true;
             } else if (g_objectManager.SerialExistsEitherForm(s)) {
                 s = 0;
                 state.discard = true;
                 state.reason = DropReason::kDuplicate;
             } else {
                 state.discard = false;
             }
             state.serial = s;
             if (!state.playerSerialTaken) o.SetSerial(s);
             const u32 withBit = o.GetSerial() | kMobileSerialBit;
             if (withBit >= g_objectManager.PeekSerialCounter())
                 g_objectManager.SetSerialCounter(withBit + 1);
         }},
        {"type",
         [](CItem& o, const FieldOut& out) {
             if (o.type_ != 0) out.Int(o.type_);
         },
         [](CItem& o, const FieldIn& in) { o.SetType(static_cast<int>(in.Number())); }},
        {"stat",
         [](CItem& o, const FieldOut& out) {
             if (o.status_ != 0) out.Int(o.status_);
         },
         [](CItem& o, const FieldIn& in) {
             o.SetStatus(static_cast<u8>(in.Number() | kStatusNoTriggers));
         }},
        // Written by mobiles (their status flags); read for every item.
        {"state", nullptr,
         [](CItem& o, const FieldIn& in) { o.ApplyStatusFlags(static_cast<u8>(in.Number())); }},
        {"hue",
         [](CItem& o, const FieldOut& out) {
             if (o.hue_ != 0) out.Int(o.hue_);
         },
         [](CItem& o, const FieldIn& in) { o.SetHue(static_cast<u16>(in.Number())); }},
        {"home",
         [](CItem& o, const FieldOut& out) {
             Location home;
             if (o.GetHome(home)) out.Loc(home);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasHome = true;
             in.state.home = in.Loc();
         }},
        {"lastcont",
         [](CItem& o, const FieldOut& out) {
             if (o.placement_ && o.placement_->lastContainer != 0)
                 out.Int(o.placement_->lastContainer);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasPlacement = true;
             in.state.placement.lastContainer = static_cast<u32>(in.Number());
         }},
        {"lastmob",
         [](CItem& o, const FieldOut& out) {
             if (o.placement_ && o.placement_->lastWearer != 0) out.Int(o.placement_->lastWearer);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasPlacement = true;
             in.state.placement.lastWearer = static_cast<u32>(in.Number());
         }},
        {"lastmobeqpos",
         [](CItem& o, const FieldOut& out) {
             if (o.placement_ && o.placement_->lastLayer != kNoLayer)
                 out.Int(o.placement_->lastLayer);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasPlacement = true;
             in.state.placement.lastLayer = static_cast<u16>(in.Number());
         }},
        {"lastloc",
         [](CItem& o, const FieldOut& out) {
             if (o.placement_ && !o.placement_->lastLocation.IsUnset())
                 out.Loc(o.placement_->lastLocation);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasPlacement = true;
             in.state.placement.lastLocation = in.Loc();
         }},
        {"lastcontloc",
         [](CItem& o, const FieldOut& out) {
             if (o.placement_ && !o.placement_->lastContainerLocation.IsUnset())
                 out.Loc(o.placement_->lastContainerLocation);
         },
         [](CItem&, const FieldIn& in) {
             in.state.hasPlacement = true;
             in.state.placement.lastContainerLocation = in.Loc();
         }},
        {"template",
         [](CItem& o, const FieldOut& out) {
             if (o.template_ != kNoTemplate) out.Int(o.template_);
         },
         [](CItem& o, const FieldIn& in) {
             if (o.IsDynamic()) o.SetTemplateId(static_cast<int>(in.Number()) & 0xFFFF);
         }},
        {"decayCount",
         [](CItem& o, const FieldOut& out) {
             if (o.decayCount_ != 0) out.Int(o.decayCount_);
         },
         [](CItem& o, const FieldIn& in) {
             const long long v = in.Number();
             in.state.decayCount = v < 0 ? 255 : static_cast<u8>(v);
             o.SetDecayCount(in.state.decayCount);
         }},
        {"cloc",
         [](CItem& o, const FieldOut& out) {
             if (!o.cloc_.IsUnset()) out.Loc(o.cloc_);
         },
         [](CItem& o, const FieldIn& in) { o.SetCreationLocation(in.Loc()); }},
        {"r",
         [](CItem& o, const FieldOut& out) {
             for (const ResourceEntry* r = o.resources_; r; r = r->next) {
                 if (r->type == 0) continue;
                 out.Numbers({r->type, static_cast<s8>(r->kind), r->amounts[0], r->amounts[1],
                              r->amounts[2]});
             }
         },
         ReadResource},
        {"loc", [](CItem& o, const FieldOut& out) { out.Loc(o.loc_); },
         [](CItem& o, const FieldIn& in) { o.SetLocationField(in.Loc()); }},
        {"cont",
         [](CItem& o, const FieldOut& out) {
             if (o.container_) out.Int(o.container_->GetSerial());
         },
         [](CItem&, const FieldIn& in) { in.state.container = static_cast<u32>(in.Number()); }},
        {"eqpos",
         [](CItem& o, const FieldOut& out) {
             const CMobile* wearer = o.container_ ? o.container_->AsMobile() : nullptr;
             if (!wearer) return;
             for (int layer = 0; layer < kLayerCount; ++layer) {
                 if (wearer->GetLayer(layer) == &o) {
                     out.Int(layer);
                     return;
                 }
             }
         },
         [](CItem&, const FieldIn& in) { in.state.layer = static_cast<int>(in.Number()); }},
        {"wom_scr",
         [](CItem& o, const FieldOut& out) {
             if (!o.attachments_) return;
             std::vector<CScriptInstance*> scripts;
             ObjScripts::Collect(o.attachments_, scripts);
             for (CScriptInstance* instance : scripts) {
                 if (instance->IsTornDown()) continue;
                 out.Key();
                 AppendScriptRecordText(out.text, *instance);
                 out.text += '\0';
             }
         },
         [](CItem& o, const FieldIn& in) { ApplyScriptRecordText(&o, in.value); }},
        {"wom_var",
         [](CItem& o, const FieldOut& out) {
             if (!o.attachments_) return;
             std::vector<CScriptValue*> vars;
             ObjVars::Collect(o.attachments_, vars);
             for (const CScriptValue* v : vars) {
                 if (v->released || v->type > kTypeList) continue;
                 out.Key();
                 AppendVariableRecordText(out.text, *v);
                 out.text += '\0';
             }
         },
         [](CItem& o, const FieldIn& in) { ApplyVariableRecordText(&o, in.value); }},
        {"callback",
         [](CItem& o, const FieldOut& out) {
             // The callback list writes its own key.
             CStr callbacks;
             if (WriteCallbacks(o.callbacks_, callbacks)) {
                 out.text += callbacks.GetText();
                 out.text += '\0';
             }
         },
         [](CItem& o, const FieldIn& in) {
             ReadCallbacks(o.TimedCallbacks(), o.GetSerial(), in.value.c_str());
         }},

        // Keys of older saves, read only.
        {"newres", nullptr, ReadResource},
        {"nres2", nullptr, ReadResource},
        {"res", nullptr,
         [](CItem& o, const FieldIn& in) {
             long long v[9];
             in.Numbers(v, 9);
             AddSavedResource(o, v[8], v[3], v[0], v[1], v[2]);
         }},
        {"owner", nullptr,
         [](CItem& o, const FieldIn& in) {
             SetObjectVariable(&o, "msgOwner", kTypeObject,
                               ScriptListValue::Int(static_cast<s32>(in.Number())));
         }},
        {"qual", nullptr,
         [](CItem&, const FieldIn& in) { in.state.bookStatus = static_cast<int>(in.Number()); }},
        {"quan", nullptr,
         [](CItem&, const FieldIn& in) { in.state.bookCount = static_cast<int>(in.Number()); }},
        {"shopscr", nullptr,
         [](CItem& o, const FieldIn& in) {
             if (in.value.empty()) return;
             const CStr text(in.value.c_str());
             SetObjectVariable(&o, "afterShopScript", kTypeString, ScriptListValue::Ptr(&text));
         }},
        {"frame", nullptr,
         [](CItem& o, const FieldIn& in) {
             if (!o.IsDoor()) return;
             o.SetStatus(in.Number() != 0
                             ? static_cast<u8>(o.GetStatus() | kStatusShowsNextGraphic)
                             : static_cast<u8>(o.GetStatus() & ~kStatusShowsNextGraphic));
         }},
        {"multitype", nullptr, ReadMultiKey},
        {"multiflags", nullptr, ReadMultiKey},
        {"multislave", nullptr, ReadMultiKey},
        {"multioffset", nullptr, ReadMultiKey},
        {"multicomponent", nullptr, ReadMultiKey},
        {"mtypeid", nullptr, ReadMultiKey},
        {"mcarry", nullptr, ReadMultiKey},
        {"mrange", nullptr, ReadMultiKey},
        {"mapextents", nullptr, ReadMapCourseKey},
        {"vect", nullptr, ReadMapCourseKey},
    };
    static_assert(SaveFieldKeysAreUnique<CItem>(kRows));
    return kRows;
}

std::span<const SaveField<CWeapon>> ObjectFieldAccess::WeaponFields() {
    static constexpr SaveField<CWeapon> kRows[] = {
        {"wtemp",
         [](CWeapon& w, const FieldOut& out) {
             if (w.GetWeaponTemplate() != 0) out.Int(w.GetWeaponTemplate());
         },
         [](CWeapon& w, const FieldIn& in) {
             const long long n = WeaponNumber(in, true);
             if (n >= 0 && n < WeaponTemplateTable::kSlots &&
                 g_weaponTemplates.Get(static_cast<int>(n))) {
                 w.SetTemplateNumber(static_cast<int>(n));
             } else {
                 w.SetTemplateNumber(kNoWeaponTemplate);
                 in.state.discard = true;
                 in.state.reason = DropReason::kBadWeaponTemplate;
             }
         }},
        {"wcstr",
         [](CWeapon& w, const FieldOut& out) {
             if (!w.GetWeaponClass().IsZero()) out.Text(DiceText(w.GetWeaponClass()));
         },
         [](CWeapon& w, const FieldIn& in) {
             std::string word;
             UnescapeWord(in.value.c_str(),
                          in.value.c_str() + std::min<size_t>(in.value.size(), 255), word);
             w.SetWeaponClass(Dice(word.c_str()));
         }},
        {"mac",
         [](CWeapon& w, const FieldOut& out) {
             if (w.GetArmorClass() != 0) out.Int(w.GetArmorClass());
         },
         [](CWeapon& w, const FieldIn& in) {
             w.SetArmorClass(static_cast<int>(WeaponNumber(in, false)));
         }},
        {"chp",
         [](CWeapon& w, const FieldOut& out) {
             if (w.GetHitPoints() != 0) out.Int(w.GetHitPoints());
         },
         [](CWeapon& w, const FieldIn& in) {
             w.SetHitPoints(static_cast<int>(WeaponNumber(in, false)));
         }},
        {"mhp",
         [](CWeapon& w, const FieldOut& out) {
             if (w.GetMaxHitPoints() != 0) out.Int(w.GetMaxHitPoints());
         },
         [](CWeapon& w, const FieldIn& in) {
             w.SetMaxHitPoints(static_cast<int>(WeaponNumber(in, false)));
         }},
        // An older save's request for a template, resolved when the weapon is finished.
        {"weapontemplate", nullptr,
         [](CWeapon&, const FieldIn& in) {
             in.state.weaponRequest = static_cast<int>(WeaponNumber(in, true));
         }},
    };
    static_assert(SaveFieldKeysAreUnique<CWeapon>(kRows));
    return kRows;
}

std::span<const SaveField<CCorpse>> ObjectFieldAccess::CorpseFields() {
    static constexpr SaveField<CCorpse> kRows[] = {
        {"corpsetype", [](CCorpse& c, const FieldOut& out) { out.Int(c.GetCorpseType()); },
         [](CCorpse& c, const FieldIn& in) { c.SetCorpseType(static_cast<u16>(in.Number())); }},
        // The corpse's worn items by layer: (layer, serial), resolved once the record is read.
        {"corpitem",
         [](CCorpse& c, const FieldOut& out) {
             for (int layer = 0; layer < kCorpseLayers; ++layer) {
                 if (c.worn[layer]) out.Numbers({layer, c.worn[layer]->GetSerial()});
             }
         },
         [](CCorpse&, const FieldIn& in) {
             long long v[2];
             in.Numbers(v, 2);
             if (v[0] >= 0 && v[0] < kCorpseLayers)
                 in.state.corpseItems.emplace_back(static_cast<int>(v[0]), static_cast<u32>(v[1]));
         }},
    };
    static_assert(SaveFieldKeysAreUnique<CCorpse>(kRows));
    return kRows;
}
