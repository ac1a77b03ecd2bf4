#pragma once
// What the login packet handlers ask of the rest of the client: the window title, the
// hardware-profile store, the client world on entering it (player, map, walk queue, roof
// level, welcome text, back buffer), the end of the login (macros, gumps, desktop), the web
// browser, tips, the walk queue's forced step and the client's normal quit.
//
// This class itself records every call; the parts of the client that are not built yet say
// so once. The client installs ShellLoginHooks; later issues fill the world steps.
#include <string>
#include <vector>

#include "client/net/hardware_profile.h"
#include "platform/types.h"

struct EnterWorldInfo {
    u32 serial = 0;
    u16 body = 0;
    u16 x = 0, y = 0, z = 0;
    u8 direction = 0;
    u8 map = 0;
    u16 bounds[4] = {0, 0, 0, 0};  // x, y, width, height in cells
};

class ClientLoginHooks {
public:
    virtual ~ClientLoginHooks() = default;

    virtual void SetWindowTitle(const std::string& text);
    // Stores the fresh profile when it differs from the stored one; true when it did (the
    // caller sends 0xA4).
    virtual bool HardwareProfileChanged(const HardwareProfile& fresh);
    // The client's normal quit (the quit message), never a process exit.
    virtual void QuitClient();
    // A message box the player acknowledges.
    virtual void ShowMessage(const std::string& text, const std::string& caption);

    // The world steps of entering the world: player object and serial, world bounds, reset
    // of the client world, placement and recentring, welcome message, back buffer, roof.
    virtual void EnterWorld(const EnterWorldInfo& info);
    virtual void ServerChange(const u16 bounds[4], u8 map);
    virtual void SetInWorld(bool on);
    virtual void SetInGame(bool on);
    // Macros, world view visible, speech-line bark, gump clean-up, saved desktop.
    virtual void FinishLogin(int chosenSlot);
    virtual void OpenUrl(const std::string& url);
    virtual void ShowTip(int kind, u32 number, const std::string& text);
    // The walk queue's server-driven step (packet 0x97).
    virtual void ServerStep(u8 direction);

    std::vector<std::string> calls;
    bool inWorld = false;
    bool inGame = false;
    std::string title;

protected:
    void Record(const std::string& call);
};
