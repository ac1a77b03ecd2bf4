#pragma once
// The object handlers on the real dispatcher of a link on private queues, over a clean client
// world with a player at (10, 10), and a recording fake of the windows above them: every
// window request is one line in `windows.calls`; the fake keeps which windows are open so the
// handlers' find-or-open branches can be driven.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "client/data/fonts.h"
#include "client/net/client_link.h"
#include "client/net/object_window_hooks.h"
#include "client/world/client_world.h"
#include "client/world/journal.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/net/link_fixture.h"
#include "tests/client/net/packet_bytes.h"
#include "tests/client/world/world_fixture.h"

inline std::string Hex8(u32 v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

class RecordingObjectWindows : public ObjectWindowHooks {
public:
    void OpenGump(u32 object, int gumpId, bool container) override {
        Record("OpenGump " + Hex8(object) + " " + std::to_string(gumpId) +
               (container ? " container" : " plain"));
    }
    void CloseRadar() override { Record("CloseRadar"); }
    bool RefreshContainerWindow(u32 container) override {
        Record("RefreshContainerWindow " + Hex8(container));
        return openContainers.count(container) != 0;
    }
    void OpenSpellbook(u32 book) override {
        Record("OpenSpellbook " + Hex8(book));
        openContainers.insert(book);
    }
    void CloseShopWindows(u32 vendor, bool all) override {
        Record("CloseShopWindows " + Hex8(vendor) + (all ? " all" : " first"));
    }
    void ClearShopLists(u32 vendor) override { Record("ClearShopLists " + Hex8(vendor)); }
    void OpenSellWindow(u32 vendor, const std::vector<SellOffer>& o) override {
        Record("OpenSellWindow " + Hex8(vendor) + " " + std::to_string(o.size()));
        offers = o;
    }
    void OpenTradeWindow(u32 partner, u32 own, u32 theirs, const std::string& name) override {
        Record("OpenTradeWindow " + Hex8(partner) + " " + Hex8(own) + " " + Hex8(theirs) + " " +
               name);
    }
    void CloseTradeWindow(u32 box) override { Record("CloseTradeWindow " + Hex8(box)); }
    void SetTradeChecks(u32 box, bool first, bool second) override {
        Record("SetTradeChecks " + Hex8(box) + " " + std::to_string(first) + " " +
               std::to_string(second));
    }
    void OpenPictureMenu(const ServerMenu& m) override {
        Record("OpenPictureMenu " + m.title);
        menu = m;
    }
    void OpenTextMenu(const ServerMenu& m) override {
        Record("OpenTextMenu " + m.title);
        menu = m;
    }
    void OpenHuePicker(u32 serial, u16 value, u16 graphic) override {
        Record("OpenHuePicker " + Hex8(serial) + " " + std::to_string(value) + " " +
               std::to_string(graphic));
    }
    void OpenTextQuery(const TextQuery& q) override {
        Record("OpenTextQuery " + Hex8(q.serial));
        query = q;
    }
    void OpenServerGump(const ServerGumpRequest& g) override {
        Record("OpenServerGump " + Hex8(g.serial));
        gump = g;
    }
    void OpenCourseMap(u32 map, u16 gumpId, const u16 values[6]) override {
        std::string line = "OpenCourseMap " + Hex8(map) + " " + std::to_string(gumpId);
        for (int i = 0; i < 6; ++i)
            line += " " + std::to_string(values[i]);
        Record(line);
    }
    bool CourseMapOpen(u32 map) override { return openCourseMaps.count(map) != 0; }
    void RedrawCoursePins(u32 map) override { Record("RedrawCoursePins " + Hex8(map)); }
    void SetCourseEditMode(u32 map, bool on) override {
        Record("SetCourseEditMode " + Hex8(map) + (on ? " on" : " off"));
    }
    bool RaisePaperdoll(u32 mobile) override {
        const bool open = openPaperdolls.count(mobile) != 0;
        if (open) Record("RaisePaperdoll " + Hex8(mobile));
        return open;
    }
    void OpenPaperdoll(u32 mobile, bool player, const std::string& text, u8 flag) override {
        Record("OpenPaperdoll " + Hex8(mobile) + (player ? " player " : " other ") + text + " " +
               std::to_string(flag));
        openPaperdolls.insert(mobile);
    }
    bool SignWindowOpen(u32 object) override { return openSigns.count(object) != 0; }
    void OpenSign(u32 object, u16 art, const std::string& title, const std::string& text) override {
        Record("OpenSign " + Hex8(object) + " " + std::to_string(art) + " " + title + "|" + text);
        openSigns.insert(object);
    }
    void FillNameField(const std::string& name) override { Record("FillNameField " + name); }
    void ShowTargetCursor(bool on) override { Record(on ? "TargetCursor on" : "TargetCursor off"); }
    bool IsIgnored(u32 serial) override { return ignored.count(serial) != 0; }

    std::vector<std::string> calls;
    std::set<u32> openContainers, openCourseMaps, openPaperdolls, openSigns, ignored;
    std::vector<SellOffer> offers;
    ServerMenu menu;
    TextQuery query;
    ServerGumpRequest gump;

private:
    void Record(const std::string& call) { calls.push_back(call); }
};

class ObjectHandlersTest : public WorldFixture {
protected:
    static constexpr u16 kBoxGraphic = 3701;
    static constexpr u16 kMapGraphic = 5355;
    static constexpr u16 kCorpseGraphic = 8198;
    static constexpr u16 kPlainGraphic = 100;

    ObjectHandlersTest() : player(PlayerInStillWorld()) {
        SetStatic(kBoxGraphic, kClientTileContainer);
        SetStatic(kMapGraphic, kClientTileMapItem);
        old_ = SetObjectWindowHooks(&windows);
        // The font of the system lines the handlers say.
        const std::vector<u8> fonts = FixtureFontsMulIn({3});
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        net.link.OpenLocalConnection();
        net.ClientSent();
    }
    ~ObjectHandlersTest() override {
        SetObjectWindowHooks(old_);
        GetFontTable().Clear();
        TheJournal().Reset();
    }

    void Send(const std::vector<u8>& bytes) { net.ServerSends(bytes); }
    CClientObject* Find(u32 serial) { return TheClientWorld().FindBySerial(serial); }
    // An item lying in the world at (x, y, 0), as 0x1A brings it.
    CClientObject* Item(u32 serial, u16 graphic, int x = 12, int y = 10) {
        return TheClientWorld().UpdateObject(serial, graphic, 0, 1, x, y, 0, 0, 0, 0);
    }
    // An item put into a container at (x, y), as 0x25 brings it.
    CClientObject* Put(u32 serial, u16 graphic, u32 container, int x = 30, int y = 40) {
        return TheClientWorld().AddContainedObject(serial, graphic, 0, 1, x, y, container, 0);
    }
    // The serials in a container's contents, in list order.
    std::vector<u32> Contents(u32 container) {
        std::vector<u32> out;
        auto* c = static_cast<CClientContainer*>(Find(container));
        for (CClientObject* o = c ? c->contents : nullptr; o; o = o->allNext)
            out.push_back(static_cast<CClientItem*>(o)->serial);
        return out;
    }
    int Calls(const std::string& call) const {
        int n = 0;
        for (const std::string& c : windows.calls)
            n += c == call;
        return n;
    }

    LinkFixture net;
    RecordingObjectWindows windows;
    CClientPlayer* player;

private:
    ObjectWindowHooks* old_ = nullptr;
};
