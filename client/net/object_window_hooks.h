#pragma once
// What the handlers of containers, trade, shops, menus, targets and server gumps ask of the
// windows above them: open, find, refresh and close the windows of an object (containers,
// spellbooks, paperdolls, trade, shops, menus, course maps, the hue picker, text prompts,
// generic gumps, signs, the field waiting for a name), the target cursor's look and the
// player's ignore list. The handlers do everything else themselves (the world, the records,
// the packets sent); a window is always named by the serial of its object and found again at
// each use, never kept by pointer.
//
// This class itself is the running client's answer for every window kind not built yet: each
// call says once in the link's report that its window kind is not built, opens nothing and
// answers "none open". The shell installs a subclass with the windows that exist; tests
// install a recording one.
#include <set>
#include <string>
#include <vector>

#include "platform/types.h"

// One line of a vendor's offer for the player's items (0x9E).
struct SellOffer {
    u32 serial = 0;
    u16 graphic = 0, hue = 0, amount = 0, price = 0;
    std::string name;
};

// A menu from the server (0x7C): pictures when the first entry has a graphic, else texts.
struct ServerMenu {
    struct Entry {
        u16 graphic = 0, hue = 0;
        std::string text;
    };
    u32 object = 0;
    u16 menuId = 0;
    std::string title;
    std::vector<Entry> entries;
};

// A text prompt from the server (0xAB), its fields in packet order.
struct TextQuery {
    u32 serial = 0;
    u16 id = 0;
    std::string prompt;
    u8 first = 0, second = 0;
    u32 value = 0;
    std::string description;
};

// A server-described gump (0xB0): the layout and its text lines (16-bit characters).
struct ServerGumpRequest {
    u32 serial = 0;
    u32 gumpId = 0;
    s32 x = 0, y = 0;
    std::string layout;
    std::vector<std::u16string> lines;
};

class ObjectWindowHooks {
public:
    virtual ~ObjectWindowHooks() = default;

    // --- the desktop ----------------------------------------------------------------------
    // Opens or raises the window of an object (0 for none) and a gump id; `container` asks
    // for a container window.
    virtual void OpenGump(u32 object, int gumpId, bool container);
    // Closes the radar window when it is open.
    virtual void CloseRadar();

    // --- containers and spellbooks ---------------------------------------------------------
    // The open window of a container shows its whole contents again (a spellbook refreshes
    // its pages, a container window redraws its area); false when none is open.
    virtual bool RefreshContainerWindow(u32 container);
    virtual void OpenSpellbook(u32 book);

    // --- shops ----------------------------------------------------------------------------
    // Closes the first open shop window of a vendor; `all` closes every one.
    virtual void CloseShopWindows(u32 vendor, bool all);
    // Empties the shopping lists of a vendor's open shop windows and redraws them.
    virtual void ClearShopLists(u32 vendor);
    virtual void OpenSellWindow(u32 vendor, const std::vector<SellOffer>& offers);

    // --- secure trade ---------------------------------------------------------------------
    virtual void OpenTradeWindow(u32 partner, u32 ownBox, u32 partnerBox,
                                 const std::string& name);
    // The trade window one of whose boxes is `box`: closed, or its two check boxes set.
    virtual void CloseTradeWindow(u32 box);
    virtual void SetTradeChecks(u32 box, bool first, bool second);

    // --- menus, prompts and server gumps --------------------------------------------------
    virtual void OpenPictureMenu(const ServerMenu& menu);
    // A menu of texts; it becomes the current choice window.
    virtual void OpenTextMenu(const ServerMenu& menu);
    virtual void OpenHuePicker(u32 serial, u16 value, u16 graphic);
    virtual void OpenTextQuery(const TextQuery& query);
    virtual void OpenServerGump(const ServerGumpRequest& request);

    // --- course maps ----------------------------------------------------------------------
    virtual void OpenCourseMap(u32 mapItem, u16 gumpId, const u16 values[6]);
    virtual bool CourseMapOpen(u32 mapItem);
    virtual void RedrawCoursePins(u32 mapItem);
    virtual void SetCourseEditMode(u32 mapItem, bool on);

    // --- paperdolls -----------------------------------------------------------------------
    // Restores and raises the open paperdoll of a mobile; false when none is open.
    virtual bool RaisePaperdoll(u32 mobile);
    virtual void OpenPaperdoll(u32 mobile, bool player, const std::string& text, u8 flag);

    // --- signs ----------------------------------------------------------------------------
    virtual bool SignWindowOpen(u32 object);
    // A sign window at (100, 100) of a gump art with its two texts; `object` 0 for none.
    virtual void OpenSign(u32 object, u16 art, const std::string& title, const std::string& text);

    // --- the field waiting for a mobile's name --------------------------------------------
    // The input field that asked for a mobile's name shows the server's answer and is redrawn.
    virtual void FillNameField(const std::string& name);

    // --- the shell ------------------------------------------------------------------------
    // The pointer takes the target shape (on) or the normal one.
    virtual void ShowTargetCursor(bool on);
    // Whether the player ignores the mobile of the serial.
    virtual bool IsIgnored(u32 serial);

    // The window kinds that said they are not built, in the order they first said it.
    const std::vector<std::string>& NotBuiltKinds() const { return notBuilt_; }

protected:
    // Says once, for this object, that a window kind is not built yet.
    void NotBuilt(const char* kind);

private:
    std::set<std::string> said_;
    std::vector<std::string> notBuilt_;
};

// The hooks in force (never null).
ObjectWindowHooks& TheObjectWindowHooks();
// Installs hooks (the caller keeps them alive; null puts back the not-built ones); answers
// the previous ones.
ObjectWindowHooks* SetObjectWindowHooks(ObjectWindowHooks* hooks);
