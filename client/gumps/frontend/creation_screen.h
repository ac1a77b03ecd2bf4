#pragma once
// What the four character-creation screens share: one or two side pictures shown and hidden
// with the screen, presses on the slider tracks, a body that never moves, and no closing on
// Escape.
#include <vector>

#include "client/gumps/framework/gump.h"

class CDumbGump;
class CThumbGump;

class CCreationScreen : public CGump {
public:
    // Shows or hides the screen and its side pictures.
    void SetShown(bool shown);
    // Shows or hides the side pictures only.
    void ShowPictures(bool shown);
    // Deletes the side pictures (the screen's owner deletes the screen).
    void DeletePictures();

    bool ContainsPoint(int x, int y) override;
    // A press on a slider's track moves that slider; any other press is only remembered.
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnChooserClosed() override { ShowPictures(true); }
    bool ClosesOnEscape() override { return false; }

    bool pressed = false;
    CDumbGump* pictures[2] = {};

    // Brings the side pictures in front of the screen (a new screen is linked after them).
    void RaisePictures();

protected:
    // The screen's sliders in the order a track press tries them.
    virtual std::vector<CThumbGump*> Sliders() const = 0;
    // The index of a thumb among the sliders, -1 for another gump.
    int SliderIndex(const CGump* thumb) const;
};

// Shows the screen of a desktop slot and its side pictures, making and linking one (its
// pictures in front) when the slot is empty.
template <class Screen>
Screen* ShowCreationScreen(CGump*& slot) {
    if (slot == nullptr) {
        auto* screen = new Screen;
        screen->AttachTo(nullptr);
        slot = screen;
        screen->RaisePictures();
    }
    auto* screen = static_cast<Screen*>(slot);
    screen->SetShown(true);
    return screen;
}
