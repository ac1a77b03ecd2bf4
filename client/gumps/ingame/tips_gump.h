#pragma once
// The tips window: a tip of the day or an update notice the server sent (0xA6), shown line by
// line on the journal's scroll and scrolled by lines. A tip has buttons for the next and the
// previous tip (each asks the server and closes the window) and a "Don't show again" box,
// whose state decides, when the window closes, whether tips are asked for on entering the
// world.
#include <functional>
#include <string>
#include <vector>

#include "client/gumps/ingame/scroll_window.h"

class CToggleControlGump;

// What the tips window asks of the link: the next (1) or previous (0) tip, and whether tips
// stay on.
struct TipsLink {
    std::function<void(u8 direction)> requestTip;
    std::function<void(bool showTips)> setShowTips;
};

class CTipsGump : public CScrollWindow {
public:
    static constexpr GumpKind kKind = GumpKind::kTips;
    GumpKind Kind() const override { return kKind; }
    static constexpr size_t kMaxLines = 100;
    static constexpr size_t kLineLength = 79;
    static constexpr int kWrapWidth = 214;
    static constexpr int kFont = 6;
    static constexpr int kLineStep = 14;

    // Cuts a text at its line ends and wraps each piece to the window's width in its font:
    // at most kMaxLines lines of at most kLineLength characters.
    static std::vector<std::string> LinesOf(const std::string& text);

    // A tip (tipMode) at (320, 180) or a notice at (20, 20), `showTips` the setting in force.
    CTipsGump(std::vector<std::string> lines, bool tipMode, bool showTips, TipsLink link);
    ~CTipsGump() override;

    void DrawText() override;
    void ClickTrack(int x, int y) override;
    void OnSliderMoved(int position, int range, CGump* slider) override;
    // The arrows: a line up (-1) or down (1), kept within the lines.
    void ScrollLines(int delta);

    int topLine = 0;
    int LineCount() const { return int(lines_.size()); }
    CToggleControlGump* dontShow = nullptr;

private:
    void Ask(u8 direction);
    // The top line for a thumb at `position` of `range`.
    int LineAt(int position, int range) const;
    std::vector<std::string> lines_;
    bool tipMode_;
    TipsLink link_;
};
