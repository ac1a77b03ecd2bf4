// The real game on a virtual X server, played through synthetic input the way a player would:
// log in with a typed account, make a character through every creation screen, enter the
// world and walk with the keys and the mouse, path-walk with a double right click, open a
// house's door and step in under its roof (which the picture then leaves out), while the
// movement trace shows that server and client agree after every leg. The game runs on the
// settings the build ships (only the intro is switched off): the first run's list is empty
// and offers New; a second run in the same directory lists the saved character and waits for
// the player to choose it. At the start in the market square the townsfolk are seen to walk
// about while the player stands still. Every wait is on the window's pixels, its title or the
// trace, and bounded; a failure names the step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e/move_trace_lines.h"
#include "e2e/process_runner.h"
#include "platform/types.h"

// X11 last: its macros (None, Status, ...) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "screen/x_window_search.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr const char* kCharacter = "Tamsin";

// Window places of the front end's controls.
struct Point {
    int x, y;
};
constexpr Point kMenuLogIn{283, 198};
constexpr Point kAccountField{293, 147};
constexpr Point kListNew{210, 145};
constexpr Point kListPlay{392, 145};
constexpr Point kNameField{305, 139};
constexpr Point kProfession{330, 188};
constexpr Point kLastProfessionRow{276, 336};
constexpr Point kStrengthTrack{255, 225};
constexpr Point kStatNext{431, 321};
constexpr Point kFirstSkillTrack{380, 174};
constexpr Point kSkillsNext{403, 314};
constexpr Point kSex{139, 247};
constexpr Point kHair{139, 93};
constexpr Point kLongHairRow{264, 166};
constexpr Point kSkinTrack{266, 360};
constexpr Point kLookNext{454, 429};
constexpr Point kCity{297, 219};
constexpr Point kFirstCityRow{260, 132};
constexpr Point kCreate{423, 292};
constexpr Point kTutorialFinish{585, 458};
// Where the pointer rests while keys walk: the top-right corner of the view.
constexpr Point kPointerParked{620, 20};
// Far to the left of the player in the middle of the view: running south-west.
constexpr Point kFarSouthWest{100, 215};

// Pixel changes at least this large mean another screen (or a chooser opened or closed).
constexpr size_t kScreenChange = 10000;

using Frame = std::vector<u32>;

size_t Differing(const Frame& a, const Frame& b) {
    if (a.size() != b.size()) return a.size() + b.size();
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// Where the centre of a ground tile shows in the window, the player standing on the ground at
// `at`: the view keeps the player's tile centred, a tile is 44 pixels wide and 44 high.
struct Tile {
    int x, y;
    bool operator==(const Tile& o) const { return x == o.x && y == o.y; }
};
Point ScreenOf(Tile tile, Tile at) {
    const int dx = tile.x - at.x, dy = tile.y - at.y;
    return {319 + (dx - dy) * 22, 239 + (dx + dy) * 22};
}

// The world direction (0 north, clockwise) the held right button walks with the pointer at `p`:
// eight screen sectors around the centre, screen up being north-west.
int WorldDirectionOfPointer(Point p) {
    const int dx = p.x - 320, dy = p.y - 240;
    int screen;
    if (dx > 0)
        screen = dy < -2 * dx ? 0 : 2 * dy < -dx ? 1 : 2 * dy < dx ? 2 : dy < 2 * dx ? 3 : 4;
    else
        screen = dy > -2 * dx ? 4 : 2 * dy > -dx ? 5 : 2 * dy > dx ? 6 : dy > 2 * dx ? 7 : 0;
    return (screen + 7) & 7;
}

int TileDistance(Tile a, Tile b) {
    return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y));
}

bool Poll(int timeoutMs, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

// The player's hand and eyes on one game window: pointer, buttons and keys through XTest,
// the window's pixels and title read back from the X server.
class Hand {
public:
    Hand(Display* d, Window w) : d_(d), w_(w) {}

    Frame Shot() {
        XSync(d_, False);
        XImage* image = XGetImage(d_, w_, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        Frame out;
        if (!image) return out;
        out.resize(static_cast<size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                out[static_cast<size_t>(y) * kWidth + x] =
                    static_cast<u32>(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        return out;
    }

    std::string Title() {
        XTextProperty text{};
        std::string name;
        if (XGetWMName(d_, w_, &text) && text.value) {
            name.assign(reinterpret_cast<const char*>(text.value), text.nitems);
            XFree(text.value);
        }
        return name;
    }

    // Waits until the picture holds still: the same over four reads 40 ms apart (bounded).
    void Settle() {
        Frame last = Shot();
        int same = 0;
        Poll(4000, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            Frame now = Shot();
            same = now == last ? same + 1 : 0;
            last.swap(now);
            return same >= 3;
        });
    }

    void MoveTo(Point p) {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(d_, w_, DefaultRootWindow(d_), p.x, p.y, &rx, &ry, &child);
        XTestFakeMotionEvent(d_, -1, rx, ry, CurrentTime);
        XSync(d_, False);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(d_, button, down, CurrentTime);
        XSync(d_, False);
    }
    void Key(KeySym sym, bool down) {
        XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, sym), down, CurrentTime);
        XSync(d_, False);
    }
    void Tap(KeySym sym) {
        Key(sym, true);
        Key(sym, false);
    }
    void Type(const std::string& text) {
        for (char c : text) {
            const bool upper = std::isupper(static_cast<unsigned char>(c));
            if (upper) Key(XK_Shift_L, true);
            Tap(static_cast<KeySym>(std::tolower(static_cast<unsigned char>(c))));
            if (upper) Key(XK_Shift_L, false);
        }
        Settle();
    }

    // A left click at `p` held as a player holds it, until the press shows; then the
    // release. True when the picture changed by at least `atLeast` pixels from before the
    // press.
    bool Click(Point p, size_t atLeast = 1) {
        MoveTo(p);
        Settle();
        const Frame before = Shot();
        Button(1, true);
        Poll(3000, [&] { return Shot() != before; });
        Button(1, false);
        const bool changed = Poll(8000, [&] { return Differing(Shot(), before) >= atLeast; });
        Settle();
        return changed;
    }

    // A quick left click at `p`: press and release reach the game in one batch, before any
    // of its ticks. True when the picture changed by at least `atLeast` pixels.
    bool QuickClick(Point p, size_t atLeast = 1) {
        MoveTo(p);
        Settle();
        const Frame before = Shot();
        XTestFakeButtonEvent(d_, 1, True, CurrentTime);
        XTestFakeButtonEvent(d_, 1, False, CurrentTime);
        XSync(d_, False);
        const bool changed = Poll(8000, [&] { return Differing(Shot(), before) >= atLeast; });
        Settle();
        return changed;
    }

private:
    Display* d_;
    Window w_;
};

// Pixels that differ between two frames within a rectangle.
size_t DifferingIn(const Frame& a, const Frame& b, int left, int top, int right, int bottom) {
    size_t n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += a[size_t(y) * kWidth + x] != b[size_t(y) * kWidth + x];
    return n;
}

// The trace's view of the walk: which requests both sides have answered, and where each side
// last put the player.
class WalkTrace {
public:
    explicit WalkTrace(std::string path) : path_(std::move(path)) {}

    std::vector<e2e::MoveTraceLine> Read() const { return e2e::ReadMoveTrace(path_); }
    // Lines from the start of the current leg on.
    std::vector<e2e::MoveTraceLine> Leg() const {
        auto all = Read();
        return std::vector<e2e::MoveTraceLine>(all.begin() + std::min(legStart_, all.size()),
                                               all.end());
    }
    void StartLeg() { legStart_ = Read().size(); }
    size_t Lines() const { return Read().size(); }
    size_t Count(const std::string& side, const std::string& event) const {
        return CountSince(legStart_, side, event);
    }
    // Lines of the event from line `from` of the trace on (across legs).
    size_t CountSince(size_t from, const std::string& side, const std::string& event) const {
        const auto all = Read();
        size_t n = 0;
        for (size_t i = std::min(from, all.size()); i < all.size(); ++i)
            n += all[i].side == side && all[i].event == event;
        return n;
    }

    // Every request of the leg has the server's answer and the client's after it.
    bool Settled() const {
        const auto lines = Leg();
        for (size_t i = 0; i < lines.size(); ++i) {
            const auto& r = lines[i];
            if (r.side != "client" || r.event != "request") continue;
            bool server = false, client = false;
            for (size_t k = i + 1; k < lines.size(); ++k) {
                const auto& l = lines[k];
                if (l.side == "server" && l.sequence == r.sequence) server = true;
                if (l.side == "client" && ((l.event == "ack" && l.sequence == r.sequence) ||
                                           l.event == "refuse" || l.event == "reset"))
                    client = true;
            }
            if (!server || !client) return false;
        }
        return true;
    }
    // The player's place as each side last gave it.
    const e2e::MoveTraceLine* LastServer(const std::vector<e2e::MoveTraceLine>& all) const {
        return e2e::LastMoveTraceLine(all, "server", "accept refuse");
    }
    const e2e::MoveTraceLine* LastClient(const std::vector<e2e::MoveTraceLine>& all) const {
        return e2e::LastMoveTraceLine(all, "client", "ack refuse reset");
    }

private:
    std::string path_;
    size_t legStart_ = 0;
};

class DemoDrive : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr) << "no X display";
        dir_.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
        // The settings the build ships, the intro switched off after them.
        std::ifstream shipped(e2e::RunDir() + "/zq.cfg", std::ios::binary);
        ASSERT_TRUE(shipped) << "the build wrote no zq.cfg";
        const std::string cfg((std::istreambuf_iterator<char>(shipped)),
                              std::istreambuf_iterator<char>());
        // Speech bubbles (the path's "Pathfinding!" over the player takes clicks as the
        // player's own) vanish at the next tick, so the clicks of the legs reach the world.
        dir_.Write("zq.cfg", cfg + "ShowIntroAnim=off\nBarkTimeModifier=1\n");
        dir_.LinkClientInstall();
        tracePath_ = dir_.Path() + "/moves.txt";
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
    }

    // Starts the game and finds its window; the pointer and the keyboard go to it.
    void Start() {
        game_ = std::make_unique<e2e::ChildProcess>(
            e2e::RunDir() + "/zqdemo", dir_.Path(),
            std::vector<std::string>{"ZQ_CONFIG_DIR=" + dir_.Path() + "/config",
                                     "ZQ_MOVE_TRACE=" + tracePath_});
        ASSERT_TRUE(game_->Started());
        window_ = screen::FindShownWindow(display_, "Varnok Online", game_->Pid(), 30000);
        ASSERT_NE(window_, 0u) << "the game window never showed\n" << game_->Stderr();
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        hand_ = std::make_unique<Hand>(display_, window_);
        hand_->MoveTo({320, 400});
        hand_->Settle();
    }
    void Stop() {
        screen::AskToClose(display_, window_);
        // The server looks for the window every 5 s.
        EXPECT_EQ(game_->WaitForExit(20000), 0) << game_->Stderr();
        game_.reset();
    }

    // Main menu, account login, typed account and password.
    void LogIn() {
        ASSERT_TRUE(hand_->Click(kMenuLogIn, kScreenChange)) << "step: the menu's Log In";
        hand_->Click(kAccountField);
        hand_->Type("tester");
        hand_->Tap(XK_Tab);
        hand_->Type("secret");
        const Frame before = hand_->Shot();
        hand_->Tap(XK_Return);
        // The title names the account, and the character once one plays.
        ASSERT_TRUE(Poll(15000, [&] { return hand_->Title().rfind("Varnok Online - ", 0) == 0; }))
            << "step: log in; title " << hand_->Title() << "\n"
            << game_->Stderr();
        ASSERT_TRUE(Poll(15000, [&] { return Differing(hand_->Shot(), before) >= kScreenChange; }))
            << "step: the screen after the login";
        hand_->Settle();
    }

    void ExpectInTheWorld(const char* step) {
        ASSERT_TRUE(Poll(
            20000, [&] { return hand_->Title() == std::string("Varnok Online - ") + kCharacter; }))
            << "step: " << step << "; title " << hand_->Title() << "\n"
            << game_->Stderr();
        hand_->MoveTo(kPointerParked);
        hand_->Settle();
        // The world view fills the window: land and statics, not a black or front-end frame.
        const Frame world = hand_->Shot();
        size_t black = 0;
        std::vector<u32> colours;
        for (u32 p : world) {
            black += p == 0;
            if (colours.size() < 16 &&
                std::find(colours.begin(), colours.end(), p) == colours.end())
                colours.push_back(p);
        }
        EXPECT_LT(black, world.size() / 20) << "step: " << step << ": the world view is black";
        EXPECT_GE(colours.size(), 16u) << "step: " << step << ": the world view is flat";
    }

    // Waits until both sides answered every request of the leg, then checks they agree.
    void ExpectAgreement(const std::string& leg) {
        ASSERT_TRUE(Poll(10000, [&] { return trace_.Settled(); }))
            << "leg " << leg << ": requests left unanswered\n"
            << e2e::MoveTraceText(trace_.Leg());
        const auto all = trace_.Read();
        const e2e::MoveTraceLine* server = trace_.LastServer(all);
        const e2e::MoveTraceLine* client = trace_.LastClient(all);
        ASSERT_TRUE(server && client) << "leg " << leg << "\n" << e2e::MoveTraceText(all);
        EXPECT_TRUE(server->SamePlace(*client))
            << "leg " << leg << ": server at " << server->x << "," << server->y << "," << server->z
            << ", client at " << client->x << "," << client->y << "," << client->z << "\n"
            << e2e::MoveTraceText(trace_.Leg());
    }
    e2e::MoveTraceLine Place() {
        const auto all = trace_.Read();
        const e2e::MoveTraceLine* client = trace_.LastClient(all);
        return client ? *client : e2e::MoveTraceLine{};
    }

    // One press of a walk key, held until the client has asked for the step or its own
    // terrain refused it.
    void WalkKey(KeySym sym, const std::string& leg) {
        const size_t asked = trace_.Count("client", "request") + trace_.Count("client", "blocked");
        hand_->Key(sym, true);
        const bool seen = Poll(3000, [&] {
            return trace_.Count("client", "request") + trace_.Count("client", "blocked") > asked;
        });
        hand_->Key(sym, false);
        ASSERT_TRUE(seen) << "leg " << leg << ": the key asked for no step";
        ASSERT_TRUE(Poll(10000, [&] { return trace_.Settled(); }))
            << "leg " << leg << "\n"
            << e2e::MoveTraceText(trace_.Leg());
    }

    // The townsfolk loiter about the market square the player starts in: while the player
    // stands still, a later capture of the world view differs from the first around them.
    // The player's own figure in the middle of the view is left out, and the change must
    // leave most of the window as it was (a light change or a step of the player's would
    // alter all of it). Townsfolk rest some seconds between their walks, and three of them
    // loiter in sight: within the bound one of them walks (a run sees one in about a second).
    void ExpectTownsfolkWalk() {
        hand_->MoveTo(kPointerParked);
        hand_->Settle();
        const size_t asked = trace_.Count("client", "request");
        const Frame first = hand_->Shot();
        size_t around = 0, total = 0;
        const bool walked = Poll(20000, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            const Frame now = hand_->Shot();
            total = Differing(first, now);
            around = total - DifferingIn(first, now, kFigureLeft, kFigureTop, kFigureRight,
                                         kFigureBottom);
            return around >= kFigureChange && total < first.size() / 4;
        });
        EXPECT_TRUE(walked) << "step: the townsfolk walk; " << around << " pixels changed "
                            << "around the player, " << total << " in all";
        EXPECT_EQ(trace_.Count("client", "request"), asked) << "step: the player stood still";
    }
    // The player's figure on its tile in the middle of the view, and how many pixels a
    // townsperson's step changes at least.
    static constexpr int kFigureLeft = 290, kFigureTop = 150, kFigureRight = 350,
                         kFigureBottom = 265;
    static constexpr size_t kFigureChange = 150;

    Tile Here() {
        const e2e::MoveTraceLine p = Place();
        return {p.x, p.y};
    }
    // Both sides answered every request and no new one came for a while: a path walked on.
    bool Quiet() {
        size_t asked = trace_.Count("client", "request");
        int still = 0;
        return Poll(15000, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const size_t now = trace_.Count("client", "request");
            still = now == asked && trace_.Settled() ? still + 1 : 0;
            asked = now;
            return still >= 10;
        });
    }

    // A double right click on the ground at `goal`: the client finds a path and walks it.
    // The first press also asks for a step toward the pointer, and a path is only sought while
    // no step is being shown: the player first faces away, so that this request only turns.
    // A townsperson loitering across the path stops the walk where it stands ("blocked"):
    // the player clicks again, as a player would, a few times at most.
    void PathTo(Tile goal, const std::string& leg) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            ASSERT_NO_FATAL_FAILURE(PathOnce(goal, leg));
            const auto all = trace_.Read();
            const auto* last = e2e::LastMoveTraceLine(all, "client", "request blocked");
            if (TileDistance(Here(), goal) <= 1 || !last || last->event != "blocked") break;
        }
        EXPECT_LE(TileDistance(Here(), goal), 1)
            << "leg " << leg << ": ended at " << Here().x << "," << Here().y << ", clicked "
            << goal.x << "," << goal.y << "\n"
            << e2e::MoveTraceText(trace_.Leg());
    }
    void PathOnce(Tile goal, const std::string& leg) {
        // A right button let go while a step was being shown leaves one more step toward the
        // pointer for the next tick: let it happen first.
        trace_.StartLeg();
        hand_->MoveTo(ScreenOf(goal, Here()));
        ASSERT_TRUE(Quiet()) << "leg " << leg << "\n" << e2e::MoveTraceText(trace_.Leg());
        const Point at = ScreenOf(goal, Here());
        hand_->MoveTo(at);
        hand_->Settle();
        const int toward = WorldDirectionOfPointer(at);
        const auto all = trace_.Read();
        const auto* last = e2e::LastMoveTraceLine(all, "client", "request");
        if (last && (last->direction & 7) == toward) {
            trace_.StartLeg();
            ASSERT_NO_FATAL_FAILURE(WalkKey(toward == 1 ? XK_Left : XK_Right, leg + " (a turn)"));
        }
        trace_.StartLeg();
        for (int i = 0; i < 2; ++i) {
            hand_->Button(3, true);
            hand_->Button(3, false);
        }
        ASSERT_TRUE(Poll(5000, [&] { return trace_.Count("client", "request") > 0; }))
            << "leg " << leg << ": the double right click asked for no step\n"
            << game_->Stderr();
        ASSERT_TRUE(Quiet()) << "leg " << leg << ": the walk never ended\n"
                             << e2e::MoveTraceText(trace_.Leg());
        hand_->MoveTo(kPointerParked);
        ASSERT_NO_FATAL_FAILURE(ExpectAgreement(leg));
    }

    void PathLeg() {
        const Tile from = Here();
        // South across the square: no lamp or sign is drawn over that ground.
        const Tile goal{from.x - 2, from.y + 4};
        const size_t start = trace_.Lines();
        ASSERT_NO_FATAL_FAILURE(PathTo(goal, "double right click"));
        EXPECT_GE(trace_.CountSince(start, "server", "accept"), 3u)
            << e2e::MoveTraceText(trace_.Leg());
        EXPECT_EQ(trace_.CountSince(start, "server", "refuse"), 0u)
            << e2e::MoveTraceText(trace_.Leg());
    }

    // The south-west house: its door (a town object, closed) in the middle of the south wall,
    // a roof over all of it.
    void HouseLeg() {
        const Tile door{374, 587}, inside{374, 586}, front{374, 588};
        ASSERT_NO_FATAL_FAILURE(PathTo({380, 584}, "to the house"));
        ASSERT_NO_FATAL_FAILURE(PathTo(front, "to the door"));
        // The inn's serving hand loiters before this door: standing on the tile before it, it
        // ends the path one tile east. Then the player steps west (Home) once it moved on.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Here() == Tile{front.x + 1, front.y} &&
               std::chrono::steady_clock::now() < giveUp)
            ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Home, "to the door, once free"));
        ASSERT_EQ(TileDistance(Here(), front), 0)
            << "leg to the door: ended at " << Here().x << "," << Here().y << "\n"
            << e2e::MoveTraceText(trace_.Leg()) << game_->Stderr();
        // A double click on the door, left of its tile's centre and clear of the player: it
        // opens.
        const Point d = ScreenOf(door, front);
        hand_->MoveTo({d.x - 8, d.y - 50});
        hand_->Settle();
        for (int i = 0; i < 2; ++i) {
            hand_->Button(1, true);
            hand_->Button(1, false);
        }
        hand_->MoveTo(kPointerParked);
        hand_->Settle();
        const Frame outside = hand_->Shot();
        trace_.StartLeg();
        // North through the doorway; the first press may only turn the player.
        for (int i = 0; i < 3 && Here().y > door.y; ++i)
            ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Prior, "into the doorway"));
        ASSERT_NO_FATAL_FAILURE(ExpectAgreement("into the doorway"));
        ASSERT_EQ(Here().y, door.y) << "leg into the doorway (is the door open?)\n"
                                    << e2e::MoveTraceText(trace_.Leg());
        hand_->Settle();
        const Frame inDoorway = hand_->Shot();
        trace_.StartLeg();
        ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Prior, "into the house"));
        ASSERT_NO_FATAL_FAILURE(ExpectAgreement("into the house"));
        ASSERT_EQ(Here().y, inside.y) << "leg into the house\n" << e2e::MoveTraceText(trace_.Leg());
        hand_->Settle();
        const Frame inHouse = hand_->Shot();
        // A step north moves the picture 22 pixels left and 22 down. Where the roof covered
        // the rooms' back half before the doorway, the floor and walls show from it on.
        const size_t roofGone = ShiftedDiffering(outside, inDoorway);
        const size_t stillGone = ShiftedDiffering(inDoorway, inHouse);
        EXPECT_GT(roofGone, kRoofArea / 2)
            << "leg into the doorway: the roof still shows (" << roofGone << " pixels changed)";
        EXPECT_LT(stillGone, kRoofArea / 10)
            << "leg into the house: the roof came back (" << stillGone << " pixels changed)";
    }

    // Pixels of the area under the roof, behind the doorway, that differ between a frame and
    // the one after a step north.
    static constexpr int kRoofLeft = 330, kRoofTop = 40, kRoofRight = 480, kRoofBottom = 140;
    static constexpr size_t kRoofArea = size_t(kRoofRight - kRoofLeft) * (kRoofBottom - kRoofTop);
    static size_t ShiftedDiffering(const Frame& before, const Frame& after) {
        size_t n = 0;
        for (int y = kRoofTop; y < kRoofBottom; ++y)
            for (int x = kRoofLeft; x < kRoofRight; ++x)
                n += after[size_t(y) * kWidth + x] != before[size_t(y - 22) * kWidth + x + 22];
        return n;
    }

    Display* display_ = nullptr;
    e2e::TempDir dir_;
    std::string tracePath_;
    WalkTrace trace_{""};
    std::unique_ptr<e2e::ChildProcess> game_;
    Window window_ = 0;
    std::unique_ptr<Hand> hand_;
};

TEST_F(DemoDrive, LogInCreateEnterAndWalkThenChooseTheCharacterOnTheNextRun) {
    trace_ = WalkTrace(tracePath_);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(LogIn());

    // The account has no character: the empty list waits (no notice over it) and offers New.
    const Frame emptyList = hand_->Shot();
    ASSERT_TRUE(hand_->Click(kListNew, kScreenChange)) << "step: New on the empty list";
    hand_->Click(kNameField);
    hand_->Type(kCharacter);
    // The choosers' rows are picked with quick clicks, as a player clicks.
    ASSERT_TRUE(hand_->Click(kProfession, kScreenChange)) << "step: the profession chooser";
    ASSERT_TRUE(hand_->QuickClick(kLastProfessionRow, kScreenChange))
        << "step: pick a profession";
    ASSERT_TRUE(hand_->Click(kStrengthTrack)) << "step: the strength slider";
    ASSERT_TRUE(hand_->Click(kStatNext, kScreenChange)) << "step: Next to the skills";
    ASSERT_TRUE(hand_->Click(kFirstSkillTrack)) << "step: the first skill's slider";
    ASSERT_TRUE(hand_->Click(kSkillsNext, kScreenChange)) << "step: Next to the appearance";
    ASSERT_TRUE(hand_->Click(kSex)) << "step: the sex button";
    ASSERT_TRUE(hand_->Click(kHair, kScreenChange)) << "step: the hair chooser";
    ASSERT_TRUE(hand_->QuickClick(kLongHairRow, kScreenChange)) << "step: pick a hair style";
    ASSERT_TRUE(hand_->Click(kSkinTrack)) << "step: the skin slider";
    ASSERT_TRUE(hand_->Click(kLookNext, kScreenChange)) << "step: Next to the city";
    ASSERT_TRUE(hand_->Click(kCity, kScreenChange)) << "step: the city chooser";
    ASSERT_TRUE(hand_->QuickClick(kFirstCityRow, kScreenChange)) << "step: pick the city";
    ASSERT_TRUE(hand_->Click(kCreate, kScreenChange)) << "step: Create (the tutorial slides)";
    hand_->Click(kTutorialFinish);
    ASSERT_NO_FATAL_FAILURE(ExpectInTheWorld("Finish enters the world"));

    // The demo's start: a block stands three cells east and five north of it, a plaza around.
    ASSERT_TRUE(Poll(5000, [&] { return Place().event == "reset" && Place().x != 0; }))
        << e2e::MoveTraceText(trace_.Read());
    const e2e::MoveTraceLine start = Place();
    ASSERT_NO_FATAL_FAILURE(ExpectTownsfolkWalk());

    trace_.StartLeg();
    // Screen right is north-east; the first press may only turn the player.
    for (int i = 0; i < 6 && Place().x < start.x + 3; ++i)
        ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Right, "walk keys"));
    ASSERT_NO_FATAL_FAILURE(ExpectAgreement("walk keys"));
    EXPECT_EQ(Place().x, start.x + 3);
    EXPECT_EQ(Place().y, start.y - 3);
    for (const auto& l : trace_.Leg())
        if (l.event == "request") {
            EXPECT_EQ(l.direction & 0x80, 0) << "a walk key ran";
        }

    trace_.StartLeg();
    // Page Up is north: up to the block, then once into it.
    for (int i = 0; i < 4 && Place().y > start.y - 4; ++i)
        ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Prior, "to the wall"));
    ASSERT_NO_FATAL_FAILURE(ExpectAgreement("to the wall"));
    ASSERT_EQ(Place().y, start.y - 4) << e2e::MoveTraceText(trace_.Read());
    const e2e::MoveTraceLine beforeWall = Place();
    trace_.StartLeg();
    ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Prior, "into the wall"));
    ASSERT_NO_FATAL_FAILURE(ExpectAgreement("into the wall"));
    EXPECT_EQ(trace_.Count("server", "accept"), 0u) << e2e::MoveTraceText(trace_.Leg());
    EXPECT_TRUE(Place().SamePlace(beforeWall)) << e2e::MoveTraceText(trace_.Leg());
    {
        const auto all = trace_.Read();
        EXPECT_TRUE(trace_.LastServer(all)->SamePlace(beforeWall));
    }

    trace_.StartLeg();
    // Ctrl runs: screen left is south-west, back across the plaza.
    hand_->Key(XK_Control_L, true);
    for (int i = 0; i < 3; ++i)
        ASSERT_NO_FATAL_FAILURE(WalkKey(XK_Left, "Ctrl-run"));
    hand_->Key(XK_Control_L, false);
    ASSERT_NO_FATAL_FAILURE(ExpectAgreement("Ctrl-run"));
    EXPECT_EQ(trace_.Count("client", "request"), 3u);
    for (const auto& l : trace_.Leg())
        if (l.event == "request") {
            EXPECT_EQ(l.direction, 0x80 | 5) << "Ctrl did not run";
        }
    EXPECT_FALSE(Place().SamePlace(beforeWall));

    trace_.StartLeg();
    // The held right button walks toward the pointer, far left of the player: running
    // south-west for as long as it is held.
    const e2e::MoveTraceLine beforeMouse = Place();
    hand_->MoveTo(kFarSouthWest);
    hand_->Settle();
    hand_->Button(3, true);
    const bool walked = Poll(10000, [&] { return trace_.Count("client", "ack") >= 3; });
    hand_->Button(3, false);
    ASSERT_TRUE(walked) << "leg right button\n" << e2e::MoveTraceText(trace_.Leg());
    ASSERT_NO_FATAL_FAILURE(ExpectAgreement("right button"));
    for (const auto& l : trace_.Leg())
        if (l.event == "request") {
            EXPECT_EQ(l.direction & 7, 5) << "not toward the pointer";
        }
    EXPECT_LT(Place().x, beforeMouse.x);
    EXPECT_GT(Place().y, beforeMouse.y);

    ASSERT_NO_FATAL_FAILURE(PathLeg());
    ASSERT_NO_FATAL_FAILURE(HouseLeg());

    ASSERT_NO_FATAL_FAILURE(Stop());

    // The next run: the list shows the saved character and waits for the player's choice.
    std::remove(tracePath_.c_str());
    trace_ = WalkTrace(tracePath_);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const std::string accountTitle = hand_->Title();
    const Frame list = hand_->Shot();
    // The first row holds the character's name where the first run's list had none.
    EXPECT_GT(DifferingIn(emptyList, list, 205, 181, 330, 197), 50u)
        << "step: the second run's list shows no character";
    // Nothing plays by itself: for two seconds the window still shows the list and the title
    // still names the account.
    EXPECT_FALSE(Poll(2000, [&] { return hand_->Title() != accountTitle; }))
        << "step: the list waits; title " << hand_->Title();
    EXPECT_LT(Differing(hand_->Shot(), list), kScreenChange) << "step: the list waits";
    // Its row is the selected one (the slot last played): the play button plays it.
    ASSERT_TRUE(hand_->Click(kListPlay, kScreenChange)) << "step: Play";
    ASSERT_NO_FATAL_FAILURE(ExpectInTheWorld("the second run plays the chosen character"));
    ASSERT_NO_FATAL_FAILURE(Stop());
}

}  // namespace
