#include "client/net/window_packet_handlers.h"

#include <string>

#include "client/net/client_link.h"
#include "client/net/object_window_hooks.h"
#include "client/net/packet_text.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "core/packet_reader.h"

namespace {

constexpr u16 kFirstCourseGump = 5021;
// The client sends pin places less these offsets (the course window's margins).
constexpr int kPinOffsetX = 24, kPinOffsetY = 31;
constexpr size_t kPaperdollTextWidth = 60;

enum PinAction : u8 { kPinClear = 5, kPinEditMode = 7, kPinEditDenied = 8 };

CClientMapItem* FindMapItem(u32 serial) {
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    return o != nullptr && o->IsMapItem() ? static_cast<CClientMapItem*>(o) : nullptr;
}

}  // namespace

void WindowPacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<WindowPacketHandlers> kRows[] = {
        {0x7C, &WindowPacketHandlers::OnMenu},        {0x90, &WindowPacketHandlers::OnCourseMap},
        {0x56, &WindowPacketHandlers::OnCoursePin},   {0x95, &WindowPacketHandlers::OnHuePicker},
        {0xAB, &WindowPacketHandlers::OnStringQuery}, {0xB0, &WindowPacketHandlers::OnGenericGump},
        {0x88, &WindowPacketHandlers::OnPaperdoll},   {0x8B, &WindowPacketHandlers::OnSign},
    };
    InstallHandlerRows(d, *this, kRows);
}

void WindowPacketHandlers::OnMenu(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    ServerMenu menu;
    u8 titleLength = 0, count = 0;
    r.ReadLong(menu.object);
    r.ReadShort(menu.menuId);
    r.ReadByte(titleLength);
    menu.title = ReadCountedText(r, titleLength);
    r.ReadByte(count);
    menu.entries.resize(count);
    for (ServerMenu::Entry& e : menu.entries) {
        u8 textLength = 0;
        r.ReadShort(e.graphic);
        r.ReadShort(e.hue);
        r.ReadByte(textLength);
        e.text = ReadCountedText(r, textLength);
    }
    if (!r.Ok()) return link_.RefusePacket(r);
    // The first entry decides: a picture there makes a picture menu, whatever follows.
    if (!menu.entries.empty() && menu.entries.front().graphic != 0)
        TheObjectWindowHooks().OpenPictureMenu(menu);
    else
        TheObjectWindowHooks().OpenTextMenu(menu);
}

void WindowPacketHandlers::OnCourseMap(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 gump = 0, values[6] = {};
    r.ReadLong(serial);
    r.ReadShort(gump);
    for (u16& v : values)
        r.ReadShort(v);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (gump < kFirstCourseGump || FindMapItem(serial) == nullptr) return;
    TheObjectWindowHooks().OpenCourseMap(serial, gump, values);
}

void WindowPacketHandlers::OnCoursePin(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u8 action = 0, pin = 0;
    u16 x = 0, y = 0;
    r.ReadLong(serial);
    r.ReadByte(action);
    r.ReadByte(pin);
    r.ReadShort(x);
    r.ReadShort(y);
    if (!r.Ok()) return link_.RefusePacket(r);
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    CClientMapItem* map = FindMapItem(serial);
    if (map == nullptr || !windows.CourseMapOpen(serial)) return;
    if (action >= 1 && action <= kPinClear) {
        if (map->EditPins(action, pin, x + kPinOffsetX, y + kPinOffsetY))
            windows.RedrawCoursePins(serial);
    } else if (action == kPinEditMode) {
        windows.SetCourseEditMode(serial, pin == 1);
    } else if (action == kPinEditDenied) {
        ShowSystemMessage(0, 3, "Request to edit denied.");
    }
}

void WindowPacketHandlers::OnHuePicker(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 value = 0, graphic = 0;
    r.ReadLong(serial);
    r.ReadShort(value);
    r.ReadShort(graphic);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheObjectWindowHooks().OpenHuePicker(serial, value, graphic);
}

void WindowPacketHandlers::OnStringQuery(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    TextQuery q;
    r.ReadLong(q.serial);
    r.ReadShort(q.id);
    q.prompt = ReadShortCountedText(r);
    r.ReadByte(q.first);
    r.ReadByte(q.second);
    r.ReadLong(q.value);
    q.description = ReadShortCountedText(r);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheObjectWindowHooks().OpenTextQuery(q);
}

void WindowPacketHandlers::OnGenericGump(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    ServerGumpRequest g;
    u32 x = 0, y = 0;
    u16 count = 0;
    r.ReadLong(g.serial);
    r.ReadLong(g.gumpId);
    r.ReadLong(x);
    r.ReadLong(y);
    g.x = s32(x);
    g.y = s32(y);
    g.layout = ReadShortCountedText(r);
    r.ReadShort(count);
    // A line or a count the packet cannot hold fails the read before anything is made.
    for (int i = 0; i < count && r.Ok(); ++i) {
        u16 characters = 0;
        const u8* at = nullptr;
        r.ReadShort(characters);
        if (!r.ReadFixedBytes(at, size_t(characters) * 2)) break;
        std::u16string line(characters, u'\0');
        for (size_t c = 0; c < characters; ++c)
            line[c] = char16_t(at[2 * c] << 8 | at[2 * c + 1]);
        g.lines.push_back(std::move(line));
    }
    if (!r.Ok()) return link_.RefusePacket(r);
    TheObjectWindowHooks().OpenServerGump(g);
}

void WindowPacketHandlers::OnPaperdoll(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    char text[kPaperdollTextWidth + 1] = {};
    u8 flag = 0;
    r.ReadLong(serial);
    r.ReadFixedText(text, sizeof text, kPaperdollTextWidth);
    r.ReadByte(flag);
    if (!r.Ok()) return link_.RefusePacket(r);
    const CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (o == nullptr || !o->IsMobile()) return;
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    if (!windows.RaisePaperdoll(serial)) windows.OpenPaperdoll(serial, o->IsPlayer(), text, flag);
}

void WindowPacketHandlers::OnSign(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    u16 art = 0;
    r.ReadLong(serial);
    r.ReadShort(art);
    const std::string title = ReadShortCountedText(r);
    const std::string text = ReadShortCountedText(r);
    if (!r.Ok()) return link_.RefusePacket(r);
    // A sign names its object when the client knows it, and then only one sign per object;
    // a sign of an unknown serial opens on its own.
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    const u32 object = TheClientWorld().FindBySerial(serial) != nullptr ? serial : 0;
    if (object != 0 && windows.SignWindowOpen(object)) return;
    windows.OpenSign(object, art, title, text);
}
