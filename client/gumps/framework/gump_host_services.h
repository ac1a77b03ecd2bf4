#pragma once
// What the gump framework asks of the rest of the client: options, the cursor mode, the
// player, quitting, presentation, and the capabilities that are not built yet (the action
// sequencer, screen effects, speech bubbles, missile gumps, the speech line, the requests to
// the server). This class itself answers the options and paths from the client settings and
// has no shell: no cursor shapes, no quit message, presentation straight to the window, no
// game entered; every capability not built yet records the call (one line each in `calls`)
// and says once in the client log that it is not built. The running client installs the
// shell's answers; tests install a subclass to observe or steer it.
#include <set>
#include <string>
#include <vector>

#include "platform/types.h"

class CGump;

class GumpHostServices {
public:
    virtual ~GumpHostServices() = default;

    // --- Options and shell
    // -------------------------------------------------------------------------
    virtual bool AutoArrangeMinimized();
    virtual bool OffsetGumps();
    virtual void SetCursorMode(int mode);
    virtual void PostQuit();
    // The player is in the game (the world view shows); the client is going away.
    virtual bool InGame();
    virtual bool Quitting();
    virtual void ShowMessageBox(const std::string& text, const std::string& caption);
    virtual int RandomBelow(int n);
    virtual u32 DoubleClickTimeMs();
    virtual std::string MakeHDPath(const std::string& name);
    // A file of the CD data directory (backslashes in the name become '/').
    virtual std::string MakeCDPath(const std::string& name);
    // Shows the screen buffer in the window.
    virtual void Present(const u16* screen, u32 ringOffset);

    // --- Player (not built yet: no player)
    // ---------------------------------------------------------
    virtual u32 PlayerSerial();
    virtual int PlayerBody();
    virtual bool EnteredWorldThisRun();
    // The character slot chosen on the character list, -1 when none.
    virtual int ChosenSlot();

    // The object kinds the desktop's search asks about (no client world yet: no).
    virtual bool ObjectIsContainer(u32 serial);
    virtual bool ObjectIsMobile(u32 serial);

    // --- Capabilities not built yet
    // ----------------------------------------------------------------
    virtual void RunActionSequencer();
    virtual void StepScreenEffects();
    virtual void RefreshSpeechLineBark();
    virtual void SpeechLineCharacter(u32 character);
    // Escape cancels a pending text prompt of the server or a target cursor; true when it did.
    virtual bool CancelPromptOrTarget();
    // Client packet 0x06 for an object (the server answers with its paperdoll).
    virtual void RequestUseObject(u32 serial);
    // Client packet 0x34 with a request type (4 status, 5 skills).
    virtual void RequestStatus(int type, u32 serial);
    // A pick-player field was double-clicked: "Select a player." and a target cursor whose
    // mobile fills the field.
    virtual void BeginPickPlayer(CGump* field);
    // The skill window opens when the full skill list arrives.
    virtual void SetOpenSkillsOnList();

    // --- The window factory: windows with classes of their own (none built yet)
    // ------------------- The window of an art id that has a class of its own (5000 options,
    // 5010/5011 radar, 49 stack amount, 48 shop, 7 journal, 8 status, 10 paperdoll, a container
    // with `container`), at the place its class chooses; null when that window is not built.
    virtual CGump* MakeWindow(int artId, u32 object, int width, int height, bool container);
    // The player's status window (small or full form), the fighting bar, a spell icon.
    virtual CGump* MakeStatusWindow(u32 serial, bool small);
    virtual CGump* MakeFightingBar(int x, int y);
    virtual CGump* MakeSpellIcon(int x, int y, int spellIndex);

    std::vector<std::string> calls;

protected:
    void Record(const std::string& call);
    // Records the call (with its details) and says once that it is not built.
    void NotBuiltYet(const char* what, const std::string& detail = "");

private:
    std::set<std::string> said_;
};

GumpHostServices& GetGumpHostServices();
// Installs an implementation (kept alive by the caller; null puts back the default one);
// answers the previous one.
GumpHostServices* SetGumpHostServices(GumpHostServices* services);
