#pragma once
// The client's message box: connection progress, errors and notices, with one button. It takes
// the keyboard focus while it exists (Enter presses its button) and gives it back to the
// previous focus gump when that one still exists.
#include <string>

#include "client/gumps/framework/gump.h"

class CWaitingGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kWaiting;
    GumpKind Kind() const override { return kKind; }

    static constexpr size_t kMaxMessage = 512;

    // x = -1 centres the gump; style 1 (large box, art 1140) sits at (121, 102) whatever x, y
    // say; style 0 is the small box (art 2070). With style 1 and `cancel` the wait cursor shows
    // while the gump exists.
    CWaitingGump(int x, int y, const std::string& message, CGump* target, bool cancel, int style,
                 bool quit);
    ~CWaitingGump() override;

    void SetMessage(const std::string& text);
    // The button: shows the target again, then quits the client or closes this gump.
    void OnButton();

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnKey(u32 key) override;
    bool ClosesOnEscape() override { return false; }
    void ForgetGump(CGump* gump) override;

    bool dragging = false;
    int style = 0;
    bool quit = false;
    std::string message;
    CGump* target = nullptr;
    CGump* previousFocus = nullptr;
    bool waitCursor = false;

private:
    void DrawMessage();
};

// A centred, modal waiting gump without cancel, at the front of the desktop.
CWaitingGump* ShowWaitingGump(const std::string& message, CGump* target, int style, bool quit);
