#pragma once
// What the four character-creation screens share: one or two side pictures shown and hidden
// with the screen, presses on the slider tracks, a body that never moves, and no closing on
// Escape.
#include <vector>

#include "client/gumps/frontend/outcome_screen.h"

class CDumbGump;
class CThumbGump;

class CCreationScreen : public COutcomeScreen {
public:
    // Shows or hides the screen and its side pictures.
    void SetShown(bool shown);
    // Shows or hides the side pictures only.
    void ShowPictures(bool shown);
    // Closes the side pictures (DeleteCreationScreens closes the screens).
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

// Closes the four creation screens and their side pictures (those that exist).
void DeleteCreationScreens();
