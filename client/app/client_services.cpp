#include "client/app/client_services.h"

#include <memory>
#include <string>

#include "client/app/client_app.h"
#include "client/app/client_link_services.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/full_screen_display.h"
#include "client/app/main_window.h"
#include "client/app/shell_object_windows.h"
#include "client/app/shell_status_windows.h"
#include "client/app/shell_world_hooks.h"
#include "client/data/back_buffer.h"
#include "client/data/cached_gump_art.h"
#include "client/data/client_data_start.h"
#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/client_word_lists.h"
#include "client/data/data_file_cache.h"
#include "client/data/fonts.h"
#include "client/data/pixel_format.h"
#include "client/data/skill_group_table.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/gump_shell_services.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/gump_login_front_end.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "client/gumps/frontend/screen_flow.h"
#include "client/gumps/ingame/bark_gump.h"
#include "client/gumps/ingame/death_menu_gump.h"
#include "client/gumps/ingame/fighting_gump.h"
#include "client/gumps/ingame/gump_bark_views.h"
#include "client/gumps/ingame/ingame_requests.h"
#include "client/gumps/ingame/input_gump.h"
#include "client/gumps/ingame/journal_gump.h"
#include "client/gumps/ingame/player_windows.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/gumps/windows/map_gump.h"
#include "client/gumps/windows/map_gump_walker.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/speech_line.h"
#include "client/net/target_cursor.h"
#include "client/world/client_map.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/journal.h"
#include "client/world/path_search.h"
#include "client/world/picking.h"
#include "client/world/system_message.h"
#include "client/world/walk_queue.h"
#include "client/world/world_view_frame.h"
#include "core/packet_writer.h"
#include "platform/keys.h"
#include "platform/window_backend.h"

namespace {

// The journal window of the desktop's factory (art id 7), at the screen's corner.
CGump* MakeJournalWindow(int artId, bool container) {
    if (container || artId != 7) return nullptr;
    return TheGumpDesktop().Make<CTextGump>(0, 0);
}

// What the gumps ask of the running client: the shell's cursor modes, quit message,
// presentation, target cursor and game state, the player object of the client world, the slot
// chosen on the character list, and the action sequencer's step.
class ClientGumpHost : public GumpHostServices {
public:
    void SetCursorMode(int mode) override {
        if (CClientApp* app = CClientApp::Instance()) app->SetCursorMode(mode);
    }
    void PostQuit() override {
        GumpHostServices::PostQuit();
        TheMainWindow().PostQuit(0);
    }
    void Present(const u16* screen, u32 ringOffset) override {
        PresentFrame(const_cast<u16*>(screen), ringOffset);
    }
    bool InGame() override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr && app->inGame;
    }
    bool Quitting() override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr && app->quitting.load();
    }
    // The speech line's text refreshed (a window took or gave back the keyboard focus).
    void RefreshSpeechLineBark() override {
        if (CSpeechLine* line = TheSpeechLine()) line->UpdateBark();
    }
    void SpeechLineCharacter(u32 character) override {
        if (CSpeechLine* line = TheSpeechLine()) line->OnChar(character);
    }
    // A pending prompt is cancelled first; a target cursor is answered with the cancel, so
    // the server stops waiting for it.
    bool CancelPromptOrTarget() override {
        if (CSpeechLine* line = TheSpeechLine(); line && line->CancelPrompt()) return true;
        if (!TheClientWorld().targeting) return false;
        if (ClientLink* link = TheClientLink())
            link->Target().CancelTarget();
        else if (CClientApp* app = CClientApp::Instance())
            app->EndTargeting();
        return true;
    }
    // The skill window opens when the next full skill list arrives; the fighting bar comes
    // only from a saved desktop.
    void SetOpenSkillsOnList() override {
        if (ClientLink* link = TheClientLink()) link->state.skills.windowRequested = true;
    }
    CGump* MakeFightingBar(int x, int y) override {
        return TheGumpDesktop().Make<CFightingGump>(x, y);
    }
    // The player's own windows: paperdoll, status windows, the amount chooser; the journal.
    CGump* MakeWindow(int artId, u32 object, int width, int height, bool container) override {
        if (!container)
            if (CGump* made = MakePlayerWindow(artId, object)) return made;
        if (CGump* journal = MakeJournalWindow(artId, container)) return journal;
        return GumpHostServices::MakeWindow(artId, object, width, height, container);
    }
    CGump* MakeStatusWindow(u32 serial, bool small) override {
        return TheGumpDesktop().Make<CStatusGump>(serial, small);
    }
    void RequestUseObject(u32 serial) override { SendUseRequest(serial); }
    void RequestStatus(int type, u32 serial) override { SendStatusRequest(u8(type), serial); }
    u32 PlayerSerial() override { return ThePlayer() != nullptr ? ThePlayer()->serial : 0; }
    // The desktop finds a mobile's windows (paperdoll, status) by asking what the object is.
    bool ObjectIsMobile(u32 serial) override {
        const CClientObject* o = TheClientWorld().FindBySerial(serial);
        return o != nullptr && o->IsMobile();
    }
    int PlayerBody() override { return ThePlayer() != nullptr ? ThePlayer()->graphic : 0; }
    bool EnteredWorldThisRun() override {
        const CClientApp* app = CClientApp::Instance();
        entered_ = entered_ || (app != nullptr && app->inWorld);
        return entered_;
    }
    int ChosenSlot() override {
        const ClientLink* link = TheClientLink();
        return link != nullptr ? link->state.chosenSlot : -1;
    }
    // Each presented frame advances the mobiles' running actions.
    void RunActionSequencer() override { ::RunActionSequencer(); }

private:
    bool entered_ = false;
};

// What the speech line asks of the shell: the typing line it shows its text on, the player in
// the world, the gump desktop's modal window and keyboard focus, the Ctrl key and the window's
// menu commands.
class ShellSpeechLineHost : public SpeechLineHost {
public:
    void UpdateBark(const std::string& prefix, const std::string& text, bool caret, u16 hue,
                    u16 font) override {
        TheTypingLine().SetText(prefix + text + (caret ? "_" : ""), hue, font);
    }
    void UpdateUnicodeBark(const std::string& prefix, const std::u16string& text, bool caret,
                           u16 hue, u16) override {
        std::u16string line(prefix.begin(), prefix.end());
        line += text;
        if (caret) line += u'_';
        TheTypingLine().SetUnicodeText(line, hue);
    }
    bool CharacterPlaying() override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr && app->inWorld && ThePlayer() != nullptr;
    }
    bool ModalGumpOpen() override { return TheGumpDesktop().modalGump != nullptr; }
    bool KeyboardFocusTaken() override { return TheGumpDesktop().keyboardFocus != nullptr; }
    bool CtrlHeld() override { return platform::Backend().IsKeyDown(platform::kVkControl); }
    void MenuCommand(u32 command) override { TheMainWindow().SendCommand(command); }
};

// The shell's ignore list and obscene words, and the obscenity filter's switch as the window's
// menu sets it.
class ShellWordLists : public ClientWordLists {
public:
    bool IsIgnored(u32 serial) const override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr && app->IsIgnored(serial);
    }
    bool ObscenityFilterOn() const override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr ? app->options.obscenityFilter : ClientWordLists::ObscenityFilterOn();
    }
    const std::vector<std::string>& ObsceneWords() const override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr ? app->obsceneWords : ClientWordLists::ObsceneWords();
    }
};

// The frame step's needs outside the renderer in the running client.
class ShellWorldViewFrame : public WorldViewFrameHooks {
public:
    bool HasConnection() override { return TheClientLink() != nullptr; }
    bool Use565() override { return ::Use565(); }
    void ShowDeadText() override { ShowCentredSystemBubble("You are dead.", 0, 3); }
    bool AssumePlayAsGhost() override {
        const CClientApp* app = CClientApp::Instance();
        return app != nullptr && app->options.assumePlayAsGhost;
    }
    void OpenDeathMenu() override { OpenDeathMenuGump(&SendDeathChoice); }
    void SendPlayAsGhost() override { SendDeathChoice(CDeathMenuGump::kPlayAsGhostChoice); }
    void DrawGumps() override {
        GumpShellDrawFrame();
        // The frame rate on the typing line is refreshed once per frame.
        if (TheClientSettings().options.frameCounter)
            if (CSpeechLine* line = TheSpeechLine()) line->UpdateBark();
    }

private:
    static void SendDeathChoice(u8 choice) {
        u8 buffer[8];
        PacketWriter w(buffer, sizeof buffer);
        BuildDeathMenuChoicePacket(w, choice);
        if (ClientLink* link = TheClientLink()) link->Send(w);
    }
};

// The running client's subsystem entry points: the connection with the login screens on it,
// the frame's steps of the walk queue, the path walkers, the mobiles, the gump desktop and the
// world view, and the walk keys. Sound, music and the others keep ClientSubsystemServices'
// empty answers until they land.
class RunningClientSubsystems : public ClientSubsystemServices {
public:
    // The link goes while the front end and the actions it uses still exist.
    ~RunningClientSubsystems() override {
        DeleteSpeechLine();
        DeleteConnection();
    }

    // The link's login handlers drive the login screens, and the screens send through the link.
    void CreateConnection() override {
        connection_.CreateConnection();
        actions_ = std::make_unique<LinkLoginActions>(*connection_.Link());
        SetLoginScreenActions(actions_.get());
        connection_.Link()->SetFrontEnd(&frontEnd_);
    }
    void DeleteConnection() override {
        if (TheLoginScreenActions() == actions_.get()) SetLoginScreenActions(nullptr);
        connection_.DeleteConnection();
        actions_.reset();
    }
    void PollConnection() override { connection_.PollConnection(); }
    bool ConnectionCompressionOn() override { return connection_.ConnectionCompressionOn(); }
    void SendKeepAlive(int argument) override { connection_.SendKeepAlive(argument); }

    // The front end starts with the main menu, made by the desktop's start-up step after the
    // world-view gump, which lies behind every other gump and shows once the player is in the
    // game.
    void CreateWorldViewGumps() override {
        GumpShellCreateDesktop();
        if (TheMapGump() == nullptr) TheGumpDesktop().Open<CMapGump>();
        if (CClientApp* app = CClientApp::Instance()) {
            TheLoginChoices().rememberPassword = app->options.rememberAcctPW;
            TheLoginChoices().chestOpening = app->options.chestOpening;
            TheLoginChoices().playAfterList = app->options.autoLogIn;
            // The player's skill groups, kept in the install directory between runs.
            LoadSkillGroups(app->MakeHDPath(kSkillGroupFile));
        }
        ShowMainMenu();
    }
    // The world-view gump's path (a double right click) and the client path's walker (the
    // server's path requests, following a mobile): each acts only while it has a path.
    void PathWalkerStep() override {
        if (CMapGump* map = TheMapGump()) map->FollowPathStep();
        TheClientPath().WalkerStep();
    }
    void CursorUpdate() override { GumpShellCursorUpdate(); }
    void WalkQueueStepTick() override { TheWalkQueue().StepTick(); }
    void MobilesTick() override { ::MobilesTick(); }
    void GumpDesktopUpdate() override { TheGumpDesktop().Update(); }
    // The world view's half of the frame before the gumps.
    void DrawWorldViewFrame() override { ::DrawWorldViewFrame(frame_); }
    void SaveDesktop() override { TheGumpDesktop().SaveDesktop(); }
    // The speech line: made at start-up, it takes the keys and characters no window takes.
    void CreateSpeechLine() override {
        speechLine_ = std::make_unique<CSpeechLine>();
        SetTheSpeechLine(speechLine_.get());
    }
    void DeleteSpeechLine() override {
        if (TheSpeechLine() == speechLine_.get()) SetTheSpeechLine(nullptr);
        speechLine_.reset();
    }
    bool SpeechLineOnKeyDown(u32 virtualKey, u32 keyData) override {
        CSpeechLine* line = TheSpeechLine();
        return line != nullptr && line->OnKeyDown(virtualKey, keyData);
    }
    // Typed characters go to the speech line while no window holds the keyboard focus.
    void GiveSpeechLineFocus() override { TheGumpDesktop().ClearKeyboardFocus(); }
    void ShowSystemMessage(const std::string& text, int hue, int font) override {
        ::ShowSystemMessage(hue, font, text);
    }
    void SendTextCommand(int type, const std::string& text) override {
        u8 buffer[300];
        PacketWriter w(buffer, sizeof buffer);
        BuildTextCommandPacket(w, u8(type), text);
        if (ClientLink* link = TheClientLink()) link->Send(w);
    }
    void SendHelpRequest() override { ::SendHelpRequest(); }
    void CloseJournalLog() override { TheJournal().CloseLog(); }
    // The pointer's drawing switch and timer (cursor_manager.h).
    void CursorSetDrawEnabled(int on) override { TheCursorManager().SetDrawEnabled(on != 0); }
    bool CursorTimerStep(int x, int y) override { return CursorShellTimerStep(x, y); }

private:
    ClientLinkServices connection_;
    GumpLoginFrontEnd frontEnd_;
    std::unique_ptr<LinkLoginActions> actions_;
    ShellWorldViewFrame frame_;
    std::unique_ptr<CSpeechLine> speechLine_;
};

// The world-view gump's walking and picking: the walk queue, the client's path search and the
// world view's picking.
class LiveMapGumpWalker : public MapGumpWalker {
public:
    bool Busy() override {
        const CWalkQueue& q = TheWalkQueue();
        return q.resyncPending != 0 || q.stepFrames != 0;
    }
    // Screen up is north-west, the walk queue's index 0.
    void WalkToward(int screenDirection, bool run) override {
        TheWalkQueue().WalkIfIdle(screenDirection & 7, run ? 1 : 0);
    }
    void RequestWalk(int worldDirection, bool run) override {
        TheWalkQueue().RequestWalk((worldDirection + 1) & 7, run ? 1 : 0);
    }
    int QueuedSteps() override { return TheWalkQueue().count; }
    bool PathTo(const ClientLocation& goal, std::vector<ClientLocation>& path) override {
        const CClientMap& map = TheClientMap();
        // A search of its own: the client path's walker may be following the server's path.
        ClientPath& search = search_;
        PathNode* end = nullptr;
        for (int tolerance = 0; tolerance <= 1 && !end; ++tolerance)
            end = search.FindPath(map.centreX, map.centreY, map.centreZ, goal.x, goal.y, goal.z,
                                  kPathLimit, tolerance);
        if (!end) return false;
        path.clear();
        for (PathNode* n = search.LinkForward(end); n; n = n->nextOnPath)
            path.push_back(ClientLocation{s16(n->x), s16(n->y), s16(n->z)});
        search.Clear();
        return !path.empty();
    }
    CClientObject* PickWorldObject(int x, int y) override {
        CDisplayObject* o = PickObjectAt(x, y, true);
        return o && !o->IsLand() ? static_cast<CClientObject*>(o) : nullptr;
    }
    CDisplayObject* PickAnyObject(int x, int y) override { return PickObjectAt(x, y, false); }
    bool PickLocation(int x, int y, ClientLocation& at) override {
        CDisplayObject* o = PickObjectAt(x, y, false);
        if (!o) return false;
        at = o->loc;
        return true;
    }

private:
    static constexpr int kPathLimit = 500;
    ClientPath search_;
};

}  // namespace

void InstallClientServices() {
    static RunningClientSubsystems services;
    SetClientSubsystemServices(&services);
    static LiveMapGumpWalker mapWalker;
    SetMapGumpWalker(&mapWalker);
    static ClientGumpHost gumpHost;
    SetGumpHostServices(&gumpHost);
    static ShellObjectWindows objectWindows;
    SetObjectWindowHooks(&objectWindows);
    static ShellSpeechLineHost speechLineHost;
    SetSpeechLineHost(&speechLineHost);
    static ShellWordLists wordLists;
    SetClientWordLists(&wordLists);
    static ShellStatusWindows textWindows;
    SetTextWindowHooks(&textWindows);
    static ShellWorldHooks worldHooks;
    SetWorldHooks(&worldHooks);
    // The world's texts float over their speakers as gumps.
    static GumpBarkViews barkViews;
    SetBarkViews(&barkViews);
    // Gump art comes from the data cache; the back buffer's start-up background is gump art.
    static CachedGumpArt gumpArt;
    SetGumpArtServices(&gumpArt);
    SetBackgroundPainter(&PaintGumpArtBackground);
    // verdata.mul's font patches replace whole fonts of the font table.
    CDHDCache::SetFontPatchHandler([](u32 font, const u8* data, size_t length) {
        if (font >= static_cast<u32>(CFontTable::kSlots) ||
            !GetFontTable().ReplaceFont(static_cast<int>(font), data, length)) {
            LogClientError("fonts", ("font patch " + std::to_string(font) + " refused").c_str());
        }
    });
    // Tile-data block updates reach the client world.
    TheClientTileData().SetListener(&TheWorldTileListener());
}
