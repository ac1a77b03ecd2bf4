#pragma once
// The running client's answers to the object handlers' window requests: the gump desktop
// opens and raises the windows of objects and art ids, opens signs and closes the radar; the
// client application shows the target cursor and keeps the ignore list; paperdolls open and
// rise for the paperdoll packet. The window kinds not built
// yet keep ObjectWindowHooks' own answer (said once, nothing opened).
#include "client/net/object_window_hooks.h"

class ShellObjectWindows : public ObjectWindowHooks {
public:
    void OpenGump(u32 object, int gumpId, bool container) override;
    void CloseRadar() override;
    bool SignWindowOpen(u32 object) override;
    void OpenSign(u32 object, u16 art, const std::string& title, const std::string& text) override;
    void ShowTargetCursor(bool on) override;
    bool IsIgnored(u32 serial) override;
    bool RaisePaperdoll(u32 mobile) override;
    void OpenPaperdoll(u32 mobile, bool player, const std::string& text, u8 flag) override;
};
