#pragma once
// The tall scroll shared by the journal and the tips window: a text area, a scroll track that
// pages while the left button is held on it (on the first tick and every second tick after),
// a drag that moves the window, a double click that restores it when minimised and a right
// click that closes it. Each window says how its text pages (ClickTrack).
#include <vector>

#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"

class CThumbGump;

class CScrollWindow : public CGump {
public:
    static constexpr int kHeight = 300;
    static constexpr int kTrackPage = 10;

    // Pages the text towards the point when it lies in the scroll track.
    virtual void ClickTrack(int x, int y) = 0;
    // Redraws the text into frame 0.
    virtual void DrawText() = 0;

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    bool IsTransparent() override { return true; }

    // The text area (gump-local; right and bottom inclusive).
    int areaLeft = 38, areaTop = 68, areaRight = 0, areaBottom = 0;
    int trackCounter = 0;
    bool pressed = false;
    bool dragStarted = false;
    ClickState click;
    CThumbGump* thumb = nullptr;

protected:
    // Sizes, frames and text area of the scroll with its minimised picture.
    void MakeScroll(int minimisedArt);
    void SetArea();
    // The point lies in the scroll track beside the text area.
    bool InTrack(int x, int y) const;
    // The scroll and its rules behind the text, with a title art at (x, y). The composed
    // picture is kept for the next call of the same size and title: the journal redraws its
    // text for every line said, and composing the scroll decodes all of its art.
    void DrawBackground(int titleArt, int titleX, int titleY);
    // The thumb, minimise and resize buttons and the arrows (calling `up` and `down`).
    void AddScrollControls(void (*up)(CGump*), void (*down)(CGump*));
    // Moves the children for a new size as a resize does (the thumb's track end follows).
    void MoveChildrenForSize(int dx, int dy, CGump* keepAtCorner);

private:
    struct BackgroundKey {
        int width = 0, height = 0, titleArt = -1, titleX = 0, titleY = 0;
        bool use565 = false;
        bool operator==(const BackgroundKey&) const = default;
    };
    BackgroundKey backgroundKey_;
    std::vector<u16> background_;
};
