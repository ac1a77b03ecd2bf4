#pragma once
// The typing line: the one-line gump at the bottom-left corner of the screen that shows what
// the player is typing into the speech line (with its mode's prefix and the caret), in the
// speech font or, for Unicode speech, in the bubbles' Unicode font. With the FrameCounter
// option the line starts with the frame rate ("%3d fps ").
#include <string>

#include "client/gumps/framework/gump.h"

class CInputGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kInput;
    GumpKind Kind() const override { return kKind; }

    CInputGump();

    // Shows the text in the hue and font (a missing font keeps the last size).
    void SetText(const std::string& text, int hue, int font);
    // Shows 16-bit text in the bubbles' Unicode font, outlined.
    void SetUnicodeText(const std::u16string& text, int hue);

    bool ClosesOnEscape() override { return false; }

private:
    // Sizes and clears the frame, keeping the line on the bottom edge.
    Bitmap16& Resize(int w, int h);
    u32 lastFrameTime_ = 0;
};

// The one typing line, made on first use and linked at the front of the gumps.
CInputGump& TheTypingLine();
