#pragma once
// A centred pop-up list of up to 100 choices with a scroll thumb and arrows. It either fills an
// input control (field mode) or, as the server list of the login screens, picks a game server
// (server-list mode: the owner's callbacks hear the choice or the cancel).
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "client/gumps/framework/gump.h"

class CInputControlGump;
class CThumbGump;

// One server of the login server's list, as the sort buttons see it.
struct ServerChoiceEntry {
    std::string name;
    int id = 0;
    u8 firstKey = 0;
    u8 secondKey = 0;
    u16 ping = 0;
    char status = '0';
};
// The order of the entries sorted by a key: for each place the smallest key among the entries
// still to place (the first of equal keys); entries whose status is '2' go last, in their order.
std::vector<int> SortServerOrder(const std::vector<ServerChoiceEntry>& servers,
                                 const std::function<int(const ServerChoiceEntry&)>& key);

class CScrollChoiceGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kScrollChoice;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kMaxItems = 100;
    static constexpr size_t kMaxText = 80;
    // The art of the server list's first sort button (pressed and hover art follow it).
    static constexpr int kFirstSortArt = 2363;

    // Field mode: the chosen item fills `field`, and `owner` hears OnControlChanged.
    CScrollChoiceGump(CGump* owner, CInputControlGump* field, int art);
    // Server-list mode (art 1228 or 1226): no field; cancelled until a server is chosen.
    CScrollChoiceGump(CGump* owner, int art);
    ~CScrollChoiceGump() override;

    // Appends an item (text cut to 80 characters); nothing past 100 items.
    void AddItem(int id, const std::string& text, int hue);
    void Redraw();
    void ScrollUp();
    void ScrollDown();
    // Server-list sorting over `servers` (set by the owner); SortByPing asks `measurePings`
    // first when it is set.
    void SortByFirstColumn();
    void SortBySecondColumn();
    void SortByPing();

    bool ContainsPoint(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnDrag(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnHover() override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnSliderMoved(int position, int range, CGump* thumb) override;

    int Count() const { return static_cast<int>(items_.size()); }
    int First() const { return first; }

    bool held = false;
    bool pressed = false;
    u32 firstClickTime = 0;
    int clickState = 0;
    ClipRect listArea{};
    int first = 0;
    int pressTicks = 0;
    std::array<int, 3> markers{-1, -1, -1};
    std::string title;
    CGump* targetGump = nullptr;
    CThumbGump* thumb = nullptr;
    CInputControlGump* targetField = nullptr;
    bool cancelled = false;
    // Server-list mode.
    std::vector<ServerChoiceEntry> servers;
    std::function<void()> measurePings;
    std::function<void(int id, const std::string& name)> onServerChosen;
    // Called as the gump goes: true when no server was chosen.
    std::function<void(bool cancelled)> onServerListClosed;

    // The highlighted item, shared by all scroll-choice gumps (-1 none).
    static int highlighted;

private:
    struct Item {
        int id;
        u16 hue;
        std::string text;
    };
    void Build(int art, bool serverList);
    int LineHeight() const;
    void ChooseAt(int px, int py);
    void SortBy(const std::function<int(const ServerChoiceEntry&)>& key, int marker);

    std::vector<Item> items_;
};
