// Server bytes into the client's link: Huffman decoding (when the first byte asks for it),
// framing with the pause, and dispatch to recording slots and the real handlers (login,
// world, movement, text, Unicode speech, prompts, status, books, boards, containers, trade,
// windows, signs, name answers and group messages), with recording text windows open for the seeds'
// book, board and mobile, object windows that answer "open" for some serials so the object
// handlers' find-or-open branches run, and a field waiting for a name. The first byte also
// chooses the edit-server path and how the bytes are cut into chunks.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "client/net/login_front_end.h"
#include "client/net/login_packet_handlers.h"
#include "client/net/object_window_hooks.h"
#include "client/net/target_cursor.h"
#include "core/byte_order.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "core/protocol/packet_table.h"
#include "tests/client/net/huffman_test_encoder.h"
#include "tests/client/net/text_window_fake.h"

namespace {

// The objects of the text seeds: a read-only and a writable book, a board with a message,
// and a mobile.
constexpr u32 kSeedBook = 0x40000300, kSeedWritableBook = 0x40000301;
constexpr u32 kSeedBoard = 0x40000400, kSeedMessage = 0x40000401, kSeedMobile = 0x21;

// The bytes of a server packet: id, length for a variable id, body.
std::vector<u8> Packet(u8 id, std::vector<u8> body, bool variable) {
    std::vector<u8> p{id};
    if (variable) {
        p.push_back(u8((body.size() + 3) >> 8));
        p.push_back(u8(body.size() + 3));
    }
    p.insert(p.end(), body.begin(), body.end());
    return p;
}

// Windows of odd serials are open, the player ignores even serials; nothing is kept.
class FuzzObjectWindows : public ObjectWindowHooks {
public:
    void OpenGump(u32, int, bool) override {}
    void CloseRadar() override {}
    bool RefreshContainerWindow(u32 container) override { return container & 1; }
    void OpenSpellbook(u32) override {}
    void CloseShopWindows(u32, bool) override {}
    void ClearShopLists(u32) override {}
    void OpenSellWindow(u32, const std::vector<SellOffer>&) override {}
    void OpenTradeWindow(u32, u32, u32, const std::string&) override {}
    void CloseTradeWindow(u32) override {}
    void SetTradeChecks(u32, bool, bool) override {}
    void OpenPictureMenu(const ServerMenu&) override {}
    void OpenTextMenu(const ServerMenu&) override {}
    void OpenHuePicker(u32, u16, u16) override {}
    void OpenTextQuery(const TextQuery&) override {}
    void OpenServerGump(const ServerGumpRequest&) override {}
    void OpenCourseMap(u32, u16, const u16*) override {}
    bool CourseMapOpen(u32 map) override { return map & 1; }
    void RedrawCoursePins(u32) override {}
    void SetCourseEditMode(u32, bool) override {}
    bool RaisePaperdoll(u32 mobile) override { return mobile & 1; }
    void OpenPaperdoll(u32, bool, const std::string&, u8) override {}
    bool SignWindowOpen(u32 object) override { return object & 1; }
    void OpenSign(u32, u16, const std::string&, const std::string&) override {}
    void FillNameField(const std::string&) override {}
    void ShowTargetCursor(bool) override {}
    bool IsIgnored(u32 serial) override { return (serial & 1) == 0; }
};

std::vector<u8> Concat(std::vector<u8> a, const std::vector<u8>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<u8> CharacterList() {
    std::vector<u8> body{1, 0xCD};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 60; ++j)
            body.push_back(i == 0 && j < 6 ? u8("Tester"[j]) : 0);
    }
    body.push_back(1);
    body.push_back(0);
    for (int j = 0; j < 16; ++j)
        body.push_back(j < 5 ? u8("Local"[j]) : 0);
    body.push_back(2);
    for (u8 index : {u8(1), u8(0)}) {
        body.push_back(index);
        for (int j = 0; j < 62; ++j)
            body.push_back(j == 0 ? u8('T') : j == 31 ? u8('P') : 0);
    }
    return Packet(0x81, body, true);
}

std::vector<u8> Be16(u32 v) {
    return {u8(v >> 8), u8(v)};
}
std::vector<u8> Be32(u32 v) {
    return {u8(v >> 24), u8(v >> 16), u8(v >> 8), u8(v)};
}
std::vector<u8> Text(const std::string& text, size_t width) {
    std::vector<u8> out(width, 0);
    for (size_t i = 0; i < text.size() && i < width; ++i)
        out[i] = u8(text[i]);
    return out;
}
std::vector<u8> Join(std::initializer_list<std::vector<u8>> parts) {
    std::vector<u8> out;
    for (const std::vector<u8>& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Objects for the text handlers, then one packet of each of their ids.
std::vector<u8> TextSeed() {
    auto item = [](u32 serial, u16 graphic) {
        return Packet(0x1A, Join({Be32(serial), Be16(graphic), Be16(10), Be16(10), {0}}), true);
    };
    const std::vector<u8> mobile = Packet(
        0x78, Join({Be32(kSeedMobile), Be16(400), Be16(12), Be16(10), {0, 2, 0, 0, 0, 3}, Be32(0)}),
        true);
    const std::vector<u8> stream = Join({
        {0xFC},  // plain, in long chunks, with the skill window open
        item(kSeedBook, 0x0FEF),
        item(kSeedWritableBook, 0x0FF0),
        item(kSeedBoard, 0x1E5E),
        item(kSeedMessage, 0x0EB0),
        mobile,
        Packet(0x11,
               Join({Be32(kSeedMobile),
                     Text("Someone", 30),
                     Be16(5),
                     Be16(9),
                     {1, 1, 0},
                     Be16(1),
                     Be16(2),
                     Be16(3),
                     Be16(4),
                     Be16(5),
                     Be16(6),
                     Be16(7),
                     Be32(8),
                     Be16(9),
                     Be16(10)}),
               true),
        Packet(0x2D,
               Join({Be32(kSeedMobile), Be16(9), Be16(5), Be16(9), Be16(5), Be16(9), Be16(5)}),
               false),
        Packet(0xA1, Join({Be32(kSeedMobile), Be16(9), Be16(4)}), false),
        Packet(0xA2, Join({Be32(kSeedMobile), Be16(9), Be16(3)}), false),
        Packet(0xA3, Join({Be32(kSeedMobile), Be16(9), Be16(2)}), false),
        Packet(0x3A, Join({{254}, Be16(2), {1, 4, 'O', 'n', 'e', 0}, {0, 4, 'T', 'w', 'o', 0}}),
               true),
        Packet(0x3A, Join({{0}, Be16(1), Be16(100), Be16(2), Be16(200), Be16(0)}), true),
        Packet(0x3A, Join({{1}, Be16(3), Be16(300), Be16(0)}), true),
        Packet(0x3A, Join({{255}, Be16(4), Be16(400)}), true),
        Packet(0x93, Join({Be32(kSeedBook), {0}, Be16(4), Text("Title", 60), Text("Author", 30)}),
               false),
        Packet(0x66,
               Join({Be32(kSeedBook),
                     Be16(2),
                     Be16(2),
                     Be16(2),
                     {'a', 0, 'b', 0},
                     Be16(3),
                     Be16(1),
                     {'c', 0}}),
               true),
        Packet(0x66, Join({Be32(kSeedWritableBook), Be16(1), Be16(1), Be16(1), {'w', 0}}), true),
        Packet(0x71, Join({{0}, Be32(kSeedBoard), Text("Board", 30)}), true),
        Packet(
            0x71,
            Join(
                {{1}, Be32(kSeedBoard), Be32(kSeedMessage), Be32(0), {1, 'p'}, {1, 's'}, {1, 't'}}),
            true),
        Packet(0x71,
               Join({{2},
                     Be32(kSeedBoard),
                     Be32(kSeedMessage),
                     {1, 'p'},
                     {1, 's'},
                     {1, 't'},
                     Be16(1),
                     Be16(2),
                     {1},
                     Be16(3),
                     Be16(4),
                     {2},
                     {2, 'h', 'i'},
                     {0}}),
               true),
        Packet(0x69, {0, 0}, true),
        Packet(0x69, Join({{1, 1}, {'A', 0}, Be32(1)}), true),
        Packet(0x69, Join({{2, 2}, {'B', 0}, Be32(2), {'C', 0}, Be32(3)}), true),
        Packet(0x69, {3, 2, 1, 0}, true),
        Packet(0x6A, {1, 1}, false),
        Packet(0xB7, Join({Be32(kSeedBook), Be16('H'), Be16('i'), {0}}), true),
        Packet(0xB9, Be16(1), false),
    });
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const u8 mode = data[0];
    ++data;
    --size;

    LinkReportCapture quiet;
    ChunkQueue toServer, fromServer;
    ChunkQueue* oldTo = ClientToServerQueue;
    ChunkQueue* oldFrom = ServerToClientQueue;
    const u32 oldAddress = ClientServerAddress.load();
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &fromServer;
    ClientServerAddress.store(mode & 2 ? 0x7F000001 : 0);
    static FuzzObjectWindows windows;
    ObjectWindowHooks* oldWindows = SetObjectWindowHooks(&windows);
    {
        TextWindowFake textWindows;
        textWindows.status[kSeedMobile];
        textWindows.shopWindows = 1;
        textWindows.skillWindowOpen = (mode & 4) != 0;
        textWindows.books[kSeedBook].state = {false, 4, 2};
        textWindows.books[kSeedWritableBook].state = {true, 3, 1};
        textWindows.boards[kSeedBoard];
        textWindows.optionsOpen = true;
        LoginFrontEnd frontEnd;
        ClientLoginHooks hooks;
        ClientLink link(&frontEnd, &hooks);
        link.Stream().compression = (mode & 1) != 0;
        // The relay's network path stays out: only its refusal runs here.
        LoginPacketHandlers relay(link);
        link.Dispatcher().SetSlot(0x8C, [&](const u8* packet, size_t length) {
            if (LoadBe32(packet + 1) == 0) relay.HandleServerRedirect(packet, length);
        });
        link.Target().AwaitName();
        link.OpenLocalConnection();
        const size_t chunk = 1 + (size_t(mode) >> 2) * 61;
        for (size_t at = 0; at < size; at += chunk) {
            const size_t n = size - at < chunk ? size - at : chunk;
            fromServer.Put(data + at, s32(n));
            link.Poll();
            if (!link.Connection().IsOpen()) link.OpenLocalConnection();
        }
        for (int i = 0; i < 4; ++i)
            link.Poll();
    }
    SetObjectWindowHooks(oldWindows);
    ClientToServerQueue = oldTo;
    ServerToClientQueue = oldFrom;
    ClientServerAddress.store(oldAddress);
    return 0;
}

// Valid streams: the login road plain and compressed, and a pause with held packets.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> enterWorld = Packet(0x1B, std::vector<u8>(36, 1), false);
    std::vector<u8> road = CharacterList();
    road.insert(road.end(), enterWorld.begin(), enterWorld.end());
    for (u8 b : {0x55, 0x33, 0x01, 0x4F, 0x05, 0x29, 0x33, 0x01, 0x33, 0x00, 0x53, 0x02}) {
        road.push_back(b);
    }
    for (u8 mode : {u8(0x02), u8(0x06), u8(0xFE)}) {
        std::vector<u8> input{mode};
        input.insert(input.end(), road.begin(), road.end());
        emit(input.data(), input.size());
    }
    std::vector<u8> coded{0x03};
    for (size_t at = 0; at < road.size();) {
        const u8 id = road[at];
        size_t length = ClientPacketLengthTable(id) & kVariableLength
                            ? size_t(road[at + 1] << 8 | road[at + 2])
                            : ClientPacketLengthTable(id);
        HuffmanEncodeAppend(road.data() + at, length, coded);
        at += length;
    }
    emit(coded.data(), coded.size());
    // Worn-item entries that name the mobile being dressed or the player: the 31-byte
    // 0x78 that once freed the mobile and then wrote to it, and its kin.
    const std::vector<u8> mobile{0x00, 0x00, 0x00, 0x21, 0x01, 0x90, 0x00, 0x0C,
                                 0x00, 0x0A, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03};
    auto incoming = [&](u32 wornSerial) {
        std::vector<u8> body = mobile;
        for (u8 b : {u8(wornSerial >> 24), u8(wornSerial >> 16), u8(wornSerial >> 8),
                     u8(wornSerial), u8(0x15), u8(0x17), u8(0x05), u8(0), u8(0), u8(0), u8(0)})
            body.push_back(b);
        return Packet(0x78, body, true);
    };
    auto worn = [](u32 itemSerial, u32 mobileSerial) {
        std::vector<u8> body{u8(itemSerial >> 24),
                             u8(itemSerial >> 16),
                             u8(itemSerial >> 8),
                             u8(itemSerial),
                             0x15,
                             0x17,
                             0,
                             4};
        for (u8 b : {u8(mobileSerial >> 24), u8(mobileSerial >> 16), u8(mobileSerial >> 8),
                     u8(mobileSerial), u8(0), u8(5)})
            body.push_back(b);
        return Packet(0x2E, body, false);
    };
    const u32 playerSerial = 0x01010101;  // the serial the login road's 0x1B gives
    const std::vector<std::vector<u8>> wornStreams = {
        incoming(0x21),
        Concat(incoming(0x40000110), worn(0x21, 0x21)),
        Concat(road, incoming(playerSerial)),
        Concat(Concat(road, incoming(0x40000110)), worn(playerSerial, 0x21)),
    };
    for (const std::vector<u8>& stream : wornStreams) {
        std::vector<u8> input{0x04};
        input.insert(input.end(), stream.begin(), stream.end());
        emit(input.data(), input.size());
    }
    // The object handlers after the login road: a box on the ground, items into it, its whole
    // contents, a pick-up refused, trade, a vendor list, a menu, a target cursor, a course
    // pin, a text prompt, a server gump, a paperdoll, a sign on the box, a name answer and
    // the group messages.
    const u32 box = 0x40000201;
    auto be32 = [](std::vector<u8>& out, u32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(u8(v >> shift));
    };
    auto entry = [&](std::vector<u8>& out, u32 serial) {
        be32(out, serial);
        for (u8 b : std::initializer_list<u8>{0x0E, 0x75, 0, 0, 1, 0, 30, 0, 40})
            out.push_back(b);
        be32(out, box);
        out.push_back(0);
        out.push_back(0);
    };
    std::vector<u8> objects = road;
    std::vector<u8> ground;
    be32(ground, box);
    for (u8 b : std::initializer_list<u8>{0x0E, 0x75, 0x01, 0x01, 0x01, 0x01, 0x00})
        ground.push_back(b);
    objects = Concat(objects, Packet(0x1A, ground, true));
    std::vector<u8> one;
    entry(one, 0x40000202);
    objects = Concat(objects, Packet(0x25, one, false));
    std::vector<u8> all{0, 2};
    entry(all, 0x40000203);
    entry(all, 0x40000204);
    objects = Concat(objects, Packet(0x3C, all, true));
    objects = Concat(objects, Packet(0x27, {3}, false));
    std::vector<u8> trade{2};
    be32(trade, box);
    be32(trade, 1);
    be32(trade, 0);
    trade.push_back(0);
    objects = Concat(objects, Packet(0x6F, trade, true));
    std::vector<u8> shop;
    be32(shop, box);
    for (u8 b : std::initializer_list<u8>{3, 0, 0, 0, 9, 4, 'f', 'i', 'g', 0, 0, 0, 0, 1, 9, 'p'})
        shop.push_back(b);
    objects = Concat(objects, Packet(0x74, shop, true));
    std::vector<u8> menu;
    be32(menu, box);
    for (u8 b : std::initializer_list<u8>{0, 1, 4, 'P', 'i', 'c', 'k', 2, 0, 0, 0, 0, 3, 'Y', 'e', 's', 0x0E, 0xED, 0,
                 0x21, 0})
        menu.push_back(b);
    objects = Concat(objects, Packet(0x7C, menu, true));
    objects = Concat(objects, Packet(0x6C, std::vector<u8>(18, 1), false));
    std::vector<u8> pin;
    be32(pin, box);
    for (u8 b : std::initializer_list<u8>{1, 0, 0, 10, 0, 20})
        pin.push_back(b);
    objects = Concat(objects, Packet(0x56, pin, false));
    std::vector<u8> query;
    be32(query, box);
    for (u8 b : std::initializer_list<u8>{0, 4, 0, 3, 'N', 'o', 0, 1, 2, 0, 0, 0, 30, 0, 2, 'x', 0})
        query.push_back(b);
    objects = Concat(objects, Packet(0xAB, query, true));
    std::vector<u8> gump;
    be32(gump, box);
    be32(gump, 7);
    be32(gump, 100);
    be32(gump, 100);
    for (u8 b : std::initializer_list<u8>{0, 2, '{', 0, 0, 1, 0, 2, 0, 'h', 0x26, 0x3A})
        gump.push_back(b);
    objects = Concat(objects, Packet(0xB0, gump, true));
    std::vector<u8> doll;
    be32(doll, playerSerial);
    doll.resize(doll.size() + 61, 0);
    objects = Concat(objects, Packet(0x88, doll, false));
    std::vector<u8> sign;
    be32(sign, box);
    for (u8 b : std::initializer_list<u8>{0, 100, 0, 4, 'I', 'n', 'n', 0, 0, 2, 'R', 0})
        sign.push_back(b);
    objects = Concat(objects, Packet(0x8B, sign, true));
    std::vector<u8> name;
    be32(name, playerSerial);
    for (char c : std::string("Tester"))
        name.push_back(u8(c));
    name.resize(4 + 30, 0);
    objects = Concat(objects, Packet(0x98, name, true));
    for (const auto& [a, b] : {std::pair<u32, u32>{0, 0}, {0, 1}, {playerSerial, box}}) {
        std::vector<u8> group;
        be32(group, a);
        be32(group, b);
        objects = Concat(objects, Packet(0x39, group, false));
    }
    std::vector<u8> input{0x04};
    input.insert(input.end(), objects.begin(), objects.end());
    emit(input.data(), input.size());
    const std::vector<u8> relay = Packet(0x8C, std::vector<u8>(10, 0), false);
    std::vector<u8> refused{0x00};
    refused.insert(refused.end(), relay.begin(), relay.end());
    emit(refused.data(), refused.size());
    const std::vector<u8> textWindowsSeed = TextSeed();
    emit(textWindowsSeed.data(), textWindowsSeed.size());
    // Text from a known speaker, a system line, a text cut before its zero, and a prompt.
    auto text = [](u32 speaker, u8 type, const char* words, bool terminated) {
        std::vector<u8> body{u8(speaker >> 24), u8(speaker >> 16), u8(speaker >> 8), u8(speaker),
                             0x01, 0x90, type, 0x00, 0x21, 0x00, 0x03};
        for (int i = 0; i < 30; ++i)
            body.push_back(i < 5 ? u8("Guard"[i]) : 0);
        for (const char* c = words; *c; ++c)
            body.push_back(u8(*c));
        if (terminated) body.push_back(0);
        return Packet(0x1C, body, true);
    };
    const std::vector<u8> prompt =
        Packet(0x9A, {0, 0, 0, 0x21, 0, 0, 0, 1, 0, 0, 0, 0, 'P', 0}, true);
    std::vector<u8> talk{0x04};
    for (const std::vector<u8>& p :
         {incoming(0x21), text(0x21, 0, "hello", true), text(0x21, 7, "again", true),
          text(0xFFFFFFFF, 1, "notice", true), text(0x21, 6, "cut", false)})
        talk.insert(talk.end(), p.begin(), p.end());
    emit(talk.data(), talk.size());
    std::vector<u8> asked{0x04};
    asked.insert(asked.end(), prompt.begin(), prompt.end());
    emit(asked.data(), asked.size());
    // Unicode speech: over a known speaker, replacing, from nobody, and cut mid-unit.
    auto unicode = [](u32 speaker, u8 type, const std::u16string& words, bool terminated) {
        std::vector<u8> body{u8(speaker >> 24),
                             u8(speaker >> 16),
                             u8(speaker >> 8),
                             u8(speaker),
                             0x01,
                             0x90,
                             type,
                             0x00,
                             0x35,
                             0x00,
                             0x01,
                             'E',
                             'N',
                             'U',
                             0};
        for (int i = 0; i < 30; ++i)
            body.push_back(i < 5 ? u8("Guard"[i]) : 0);
        for (char16_t c : words) {
            body.push_back(u8(c >> 8));
            body.push_back(u8(c));
        }
        if (terminated) body.insert(body.end(), {0, 0});
        return Packet(0xAE, body, true);
    };
    std::vector<u8> wide{0x04};
    for (const std::vector<u8>& p :
         {incoming(0x21), unicode(0x21, 0, u"hello \u0416", true), unicode(0x21, 7, u"again", true),
          unicode(0xFFFFFFFF, 6, u"notice", true), unicode(0x21, 2, u"cut", false)})
        wide.insert(wide.end(), p.begin(), p.end());
    wide.push_back(0x41);  // half a unit
    emit(wide.data(), wide.size());
}
