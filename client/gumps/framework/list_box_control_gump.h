#pragma once
// A drop-down list of up to 100 entries that fills an input control: the owner gives it the
// mouse capture when it opens it; releasing the button over a row chooses that row, and the
// list then closes itself.
#include <string>
#include <vector>

#include "client/gumps/framework/gump.h"

class CInputControlGump;

class CListBoxControlGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kListBoxControl;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kMaxItems = 100;
    static constexpr size_t kMaxName = 40;
    static constexpr int kRowHeight = 15;

    // Created hidden, with no target field; `visibleRows` 0 = no limit (no scrolling).
    CListBoxControlGump(int x, int y, int art, int font, int hue, int visibleRows);

    // Appends an entry (name cut to 40 characters); nothing past 100 entries.
    void AddItem(int id, const std::string& name);
    // Redraws one row, or everything with -1.
    void Redraw(int row);

    bool ContainsPoint(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    void OnLeftUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;

    int Count() const { return static_cast<int>(items_.size()); }
    int TopOfRows() const;

    CInputControlGump* targetField = nullptr;
    bool scrolling = false;
    int highlighted = -1;
    int visibleRows = 0;
    int first = 0;
    u16 font = 0;
    u16 hue = 0;

private:
    struct Item {
        int id;
        std::string name;
    };
    std::vector<Item> items_;
    int pointerY_ = 0;
};
