#pragma once
// What the world model asks of the parts of the client around it: the renderer's dirty
// rectangles, the gumps (containers, paperdolls, status, bark texts, the death steps), sound
// and music, the world-view gump's marked object and mobile, seated mobiles, graphic effects,
// the see-through circle, the multi preview, animated statics and the walk queue.
//
// This class itself records every call (and answers "none" to every query); the running
// client keeps it until those subsystems land, so each call is visible in tests.
#include <set>
#include <string>
#include <vector>

#include "client/render/screen_rect.h"
#include "platform/types.h"

class WorldHooks {
public:
    virtual ~WorldHooks() = default;

    // --- renderer -------------------------------------------------------------------------------
    // A rectangle of the world view (window pixels) to redraw.
    virtual void InvalidateRect(const ScreenRect& rect) { dirty.push_back(rect); }
    virtual void InvalidateWorldView() { ++wholeViewInvalidations; }
    // The picture of the view moves by (dx, dy) pixels (the smooth scroll of a step).
    virtual void ScrollWorldView(int dx, int dy) { scrolls.push_back({dx, dy, 0, 0}); }
    // The 640 x 480 screen buffer cleared to 0 (the level cut switching on).
    virtual void ClearScreenBuffer() { Record("ClearScreenBuffer"); }
    // The screen box of a mobile, corpse or player figure (its picture's extent in world-view
    // pixels before scrolling); false when the drawing does not know it, and the object then
    // takes the box of a tile.
    virtual bool FigureBox(const class CClientContainer& figure, ScreenRect& box);

    // --- gumps ----------------------------------------------------------------------------------
    virtual void RedrawRadar() { Record("RedrawRadar"); }
    // An object entered a container; its open gump (container, spellbook, bulletin board,
    // shop) shows it.
    virtual void ContainerItemAdded(u32 container, u32 item);
    virtual void RedrawContainerRect(u32 container, const ScreenRect& rect);
    virtual void RedrawPaperdoll(u32 mobile);
    virtual void RefreshPlayerStatus() { Record("RefreshPlayerStatus"); }
    virtual void DeleteGumpsOf(u32 serial);
    virtual void DeleteBankBoxGump() { Record("DeleteBankBoxGump"); }
    virtual void CloseOnEscapeGumps() { Record("CloseOnEscapeGumps"); }
    virtual void DeleteChoiceGump() { Record("DeleteChoiceGump"); }
    virtual void DeleteDragGump() { Record("DeleteDragGump"); }
    // Bark gumps that belong to no object (the system lines at the bottom of the view).
    virtual void DeleteFreeBarks() { Record("DeleteFreeBarks"); }
    virtual void BarkAdded(u32 object, const std::string& text);
    virtual void ShowMessage(const std::string& text, const std::string& caption);
    // A line of the system's own in the journal and at the bottom of the view.
    virtual void SystemMessage(const std::string& text);
    // The stack amount gump for an object about to be dragged.
    virtual void OpenAmountGump(u32 serial);
    // Raises the open course gump of a map item; false when none is open.
    virtual bool RaiseCourseGump(u32 mapItem);
    // The "scroll" command for a scroll object: mode 0 runs it at once, modes 1 and 2 first
    // show the target cursor and run it for the picked target.
    virtual void BeginScrollCommand(u32 serial, int mode);

    // --- sound and music ------------------------------------------------------------------------
    // `panned`: from the mobile's position; else unpanned at the player's volume.
    virtual void PlaySound(int sound, bool panned, int x, int y, int z);
    virtual void PlayMusic(int piece, bool repeat, bool forced);
    // The `Footsteps` option.
    virtual bool FootstepsOn() { return footsteps; }

    // --- world view and effects -----------------------------------------------------------------
    virtual u32 MarkedObjectSerial() { return markedObject; }
    virtual u32 MarkedMobileSerial() { return markedMobile; }
    virtual void MobileGone(u32 serial);  // effects, missiles, seated figure, marked list
    virtual bool SeeThroughCircleOn() { return false; }
    virtual void InvalidateSeeThroughCircle() { Record("InvalidateSeeThroughCircle"); }
    virtual void AnimatedStaticsChanged() { Record("AnimatedStaticsChanged"); }
    virtual void DeleteMovingEffects() { Record("DeleteMovingEffects"); }
    virtual bool MultiPreviewLoaded() { return false; }

    // --- walking --------------------------------------------------------------------------------
    virtual void ResetWalkQueue() { Record("ResetWalkQueue"); }
    virtual void StopWeather() { Record("StopWeather"); }
    virtual void SetWarMode(int mode);
    // The walk queue's step frames of the player's current step (0 at rest).
    virtual int PlayerStepFrames() { return 0; }

    std::vector<std::string> calls;
    std::vector<ScreenRect> dirty;
    std::vector<ScreenRect> scrolls;  // (dx, dy) in left and top
    int wholeViewInvalidations = 0;
    bool footsteps = true;
    u32 markedObject = 0;
    u32 markedMobile = 0;
    // The map item whose course gump is open (0: none).
    u32 openCourseGump = 0;

protected:
    void Record(const std::string& call) { calls.push_back(call); }
};

// The running client's hooks: the renderer's entries reach the renderer; the others stand in
// until gumps, sound and effects land: each says once in the client's log that its subsystem
// is not built yet, and nothing is kept (the recording base would grow for ever). The shell
// derives its own from it for the parts it has built.
class RunningWorldHooks : public WorldHooks {
public:
    // The renderer's dirty rectangles and ring-scrolled screen buffer.
    void InvalidateRect(const ScreenRect& r) override;
    void InvalidateWorldView() override;
    void ScrollWorldView(int dx, int dy) override;
    void ClearScreenBuffer() override;
    bool FigureBox(const CClientContainer& figure, ScreenRect& box) override;
    void RedrawRadar() override;
    void ContainerItemAdded(u32, u32) override;
    void RedrawContainerRect(u32, const ScreenRect&) override;
    void RedrawPaperdoll(u32) override;
    void RefreshPlayerStatus() override;
    void DeleteGumpsOf(u32) override;
    void DeleteBankBoxGump() override;
    void CloseOnEscapeGumps() override;
    void DeleteChoiceGump() override;
    void DeleteDragGump() override;
    void DeleteFreeBarks() override;
    void BarkAdded(u32, const std::string&) override;
    void ShowMessage(const std::string&, const std::string&) override;
    void SystemMessage(const std::string&) override;
    void OpenAmountGump(u32) override;
    bool RaiseCourseGump(u32) override;
    void BeginScrollCommand(u32, int) override;
    void PlaySound(int, bool, int, int, int) override;
    void PlayMusic(int, bool, bool) override;
    void MobileGone(u32) override;
    void InvalidateSeeThroughCircle() override;
    void AnimatedStaticsChanged() override;
    void DeleteMovingEffects() override;
    void ResetWalkQueue() override;
    int PlayerStepFrames() override;
    void StopWeather() override;
    void SetWarMode(int) override;

protected:
    void Say(const char* what);

private:
    std::set<std::string> said_;
    const char* lastSaid_ = nullptr;
};

// The hooks in force (never null).
WorldHooks& TheWorldHooks();
// Installs hooks (the caller keeps them alive; null puts back the recording ones); answers
// the previous ones.
WorldHooks* SetWorldHooks(WorldHooks* hooks);
