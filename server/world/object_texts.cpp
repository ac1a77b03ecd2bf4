#include "server/world/object_texts.h"

#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "server/world/container.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/tile_data.h"

namespace {
constexpr int kNotorietyHues[8] = {0, 89, 63, 946, 946, 144, 34, 0};
constexpr int kPlainHue = 946;
}  // namespace

std::string ResolveTileName(const char* name, bool plural) {
    std::string out;
    if (!name) return out;
    for (const char* p = name; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;  // the opening '%'
        std::string pluralPart, singularPart;
        while (*p && *p != '/' && *p != '%')
            pluralPart += *p++;
        if (*p == '/') {
            ++p;
            while (*p && *p != '%')
                singularPart += *p++;
        }
        if (*p == '%') ++p;
        out += plural ? pluralPart : singularPart;
    }
    return out;
}

int NotorietyHue(int notorietyClass) {
    return notorietyClass >= 0 && notorietyClass < 8 ? kNotorietyHues[notorietyClass] : 0;
}

void CItem::GetDescriptiveName(CStr& out, int withAmount) const {
    const int graphic = GetShownGraphic();
    const StaticTileRecord& tile = GetTileData().Static(graphic);
    std::string text;
    bool plural = false;
    if (withAmount) {
        const int q = GetQuantity();
        if (q == 1) {
            text = TileArticle(tile.flags);
        } else {
            text = std::to_string(q) + " ";
            plural = true;
        }
    }
    text += ResolveTileName(tile.name, plural);
    out = text.c_str();
}

const char* CItem::GetName(int flag) const {
    // The text lives until the thread's next call.
    static thread_local CStr name;
    if (const CStr* lookAt = ObjVars::GetString(attachments_, "lookAtText")) {
        name = *lookAt;
    } else {
        GetDescriptiveName(name, flag);
    }
    return name.CText();
}

int LookAtObject(CPlayer* looker, u32 serial) {
    CItem* object = g_objectManager.FindBySerial(serial);
    if (!object) return 0;
    if (!looker) return 1;
    if (!looker->IsEditing() && object->IsHidden()) return 1;
    TriggerArgs args;
    args.serial = looker->GetSerial();
    if (GetTriggerServices().SendTrigger(object, kTriggerLookedAt, args) == 0) return 1;
    // The handler may have deleted the object, or the looker.
    object = IsObjectAlive(serial, object);
    if (!object || !IsRegistered(looker)) return 1;
    int hue = kPlainHue;
    if (CMobile* mobile = object->AsMobile()) {
        hue = NotorietyHue(mobile->GetNotorietyFor(looker));
    } else if (object->IsCorpse()) {
        const u16 body = static_cast<CCorpse*>(object)->GetCorpseType();
        if (body == 400 || body == 401) hue = NotorietyHue(object->GetNotorietyFor(looker));
    }
    GetPacketServices().SendObjectText(looker, object, object->GetName(1), hue);
    return 1;
}
