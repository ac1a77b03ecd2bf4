#pragma once
// The player's hand on the front-end screens: clicks at gump centres through the cursor
// manager, typed keys through the desktop, finding a button by its art, picking a chooser row
// and pressing a slider's track.
#include <string>

#include "client/data/fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/windows/waiting_gump.h"

namespace screen_input {

inline void Click(int sx, int sy) {
    TheCursorManager().OnLeftDown(sx, sy);
    TheCursorManager().OnLeftUp(sx, sy);
}

// The screen centre of a gump.
inline void CentreOf(CGump* g, int& sx, int& sy) {
    sx = g->width / 2;
    sy = g->height / 2;
    g->LocalToScreen(sx, sy);
}

inline void ClickOn(CGump* g) {
    int sx, sy;
    CentreOf(g, sx, sy);
    Click(sx, sy);
}

// A right click near a gump's top-left corner.
inline void RightClickOn(CGump* g) {
    int sx = 5, sy = 5;
    g->LocalToScreen(sx, sy);
    TheCursorManager().OnRightDown(sx, sy);
    TheCursorManager().OnRightUp(sx, sy);
}

inline void Type(const std::string& text) {
    for (char c : text)
        TheGumpDesktop().TypedCharacter(static_cast<u8>(c));
}

inline CButtonGump* ButtonWithArt(CGump* owner, int art) {
    for (CGump* c = owner->firstChild; c != nullptr; c = c->nextSibling)
        if (auto* button = c->As<CButtonGump>(); button != nullptr && c->artId == art)
            return button;
    return nullptr;
}

inline std::string NoticeText() {
    auto* n = static_cast<CWaitingGump*>(TheGumpDesktop().noticeGump);
    return n != nullptr ? n->message : "<none>";
}

// The modal chooser, or null.
inline CScrollChoiceGump* Chooser() {
    return static_cast<CScrollChoiceGump*>(TheGumpDesktop().modalGump);
}

// Clicks the modal chooser's row (rows are the height of the list font, 5); the chooser picks
// on the tick after the press.
inline bool PickRow(int row) {
    CScrollChoiceGump* chooser = Chooser();
    if (chooser == nullptr) return false;
    int w = 0, h = 0, b = 0;
    GetFontTable().MeasureText(5, "Aq", w, h, b);
    int sx = chooser->listArea.left + 4, sy = chooser->listArea.top + row * h + h / 2;
    chooser->LocalToScreen(sx, sy);
    TheCursorManager().OnLeftDown(sx, sy);
    TheCursorManager().MoveTo(sx, sy);
    TheCursorManager().TickHover();
    TheCursorManager().OnLeftUp(sx, sy);
    return true;
}

// A press on a thumb's track at a fraction of its length (0 start, 1 end), then the release.
inline void PressTrack(CThumbGump* thumb, int numerator, int denominator) {
    int sx = thumb->minX + (thumb->maxX - thumb->minX) * numerator / denominator + 6;
    int sy = thumb->y + 6;
    thumb->parent->LocalToScreen(sx, sy);
    Click(sx, sy);
}

}  // namespace screen_input
