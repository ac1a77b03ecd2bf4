#pragma once
// The tutorial slide show between the city choice and the create request: full-screen TGA
// pictures from the CD data directory, six general ones and the pictures of the three chosen
// skills. Next skips pictures that cannot be read and finishes after the last; previous on the
// first goes back to the city choice; finish sends the create request.
#include <string>

#include "client/gumps/frontend/outcome_screen.h"

// The slides in order; a one-character entry names the picture of skill field 1, 2 or 3; the
// empty entry ends the show.
constexpr int kTutorialSlideCount = 10;
extern const char* const kTutorialSlides[kTutorialSlideCount];

class CTutorialGump : public COutcomeScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kTutorial;
    GumpKind Kind() const override { return kKind; }

    // At slide `index`.
    explicit CTutorialGump(int index);

    // Next past the last slide finishes; previous on the first reports kBack (the city choice
    // again); finish reports kFinish (the create request goes out).
    static void Next(CGump*);
    static void Previous(CGump*);
    static void Finish(CGump*);
    // The file of slide `index` below the CD data directory, with '\' separators ("" past the
    // last).
    static std::string SlideFile(int index);
    // Reads the slide into the frame; false when it could not be read.
    bool LoadSlide(int index);

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ClosesOnEscape() override { return false; }
    // Black is part of the pictures, not see-through.
    bool IsTransparent() override { return false; }

    bool pressed = false;
    int slide = 0;
};

// True when the first slide can be opened in the CD data directory.
bool TutorialSlidesPresent();
