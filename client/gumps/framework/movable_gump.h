#pragma once
// The drag pattern windows follow: a left press raises the window and remembers the grab
// point, dragging moves it (kept on the screen), the release ends the drag and the capture.
#include "client/gumps/framework/gump.h"

class CMovableGump : public CGump {
public:
    using CGump::CGump;

    void OnLeftDown(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnLeftUp(int x, int y) override;

    bool dragging = false;
};
