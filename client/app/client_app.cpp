#include "client/app/client_app.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "client/app/client_subsystem_services.h"
#include "client/app/full_screen_display.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/world/client_world.h"
#include "core/byte_order.h"
#include "platform/bounded_file_read.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/key_value_store.h"
#include "platform/out_of_memory.h"
#include "platform/paths.h"
#include "platform/process_exit.h"
#include "platform/window_backend.h"

namespace {

// A plain pointer, not destroyed at exit: ClientMain deletes the object when the client
// thread ends, and the process may exit while that thread is still shutting down.
CClientApp* g_app = nullptr;

// Words written to a new obscene.lst (scrambled when written).
constexpr const char* kBuiltInObsceneWords[] = {"damn", "crap", "bastard", "bugger", "arse"};

// The client thread's report of a failed allocation: full screen is left so the box can be
// seen, and the box ends the process.
void ClientOutOfMemory() {
    if (TheFullScreenDisplay().active) ReleaseFullScreenDisplay();
    ShowMessageBox(
        "There is not enough memory to continue execution.  If you do not have virtual memory "
        "enabled, this could be the problem. Otherwise, you may be low on disk space, or may "
        "need to increase the amount of space allocated for virtual memory.",
        "Out of memory", true);
}

// The word lists are small: 80 words, 20 ignore records of 34 bytes.
constexpr size_t kMaxWordListBytes = 1 << 20;
constexpr size_t kIgnoreRecordBytes = 34;
constexpr size_t kCharDataBytes = 20;

// One game window per user, whatever directory each copy runs from: a lock beside the
// user's settings stands for the window class. Held for the life of the process once taken
// (the system drops it when the process ends); the per-directory instance lock is separate.
void CheckNoOtherClientWindow() {
    static platform::InstanceLock windowLock;
    if (windowLock.Held()) return;
    const std::string dir = platform::UserConfigDirectory();
    platform::MakeDirectories(dir);
    using Result = platform::InstanceLock::Result;
    Result result = windowLock.TryAcquire(dir, kWindowLockName);
    if (result == Result::kHeldElsewhere) {
        platform::Backend().ShowMessage("Another copy of ZQ is already running!", "",
                                        platform::MessageIcon::kInformation);
        platform::ExitProcess(0);
    }
    if (result == Result::kUnavailable) {
        // Not a second copy: the settings directory cannot hold the lock file.
        std::fprintf(stderr, "zqdemo: cannot make the window lock in %s\n", dir.c_str());
    }
}

}  // namespace

std::string ScrambleText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') break;
        u8 v = static_cast<u8>(static_cast<u8>(c) + 13);
        if (v >= 128) v = static_cast<u8>(v - 95);
        out += static_cast<char>(v);
    }
    return out;
}

std::string UnscrambleText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') break;
        u8 v = static_cast<u8>(static_cast<u8>(c) - 13);
        if (v < 32) v = static_cast<u8>(v + 95);
        out += static_cast<char>(v);
    }
    return out;
}

CClientApp::CClientApp(std::string dir, bool readConfiguration) : installDir(std::move(dir)) {
    if (!readConfiguration) return;
    // The macro tables start empty (keyboard commands); then the two configuration files,
    // the character-slot colours and the macros.
    ReadConfigFile(*this, true);
    ReadConfigFile(*this, false);
    ReadCharData();
    GetClientSubsystemServices().ReadMacros();
}

CClientApp::~CClientApp() = default;

CClientApp* CClientApp::Instance() {
    return g_app;
}

CClientApp& CClientApp::CreateInstance() {
    // The allocator's handler is process-wide; the box is this thread's report only.
    platform::InstallOutOfMemoryHandler();
    platform::SetThreadOutOfMemoryReport(&ClientOutOfMemory);
    CheckNoOtherClientWindow();
    std::string exePath;
    if (auto stored = platform::KeyValueStore::Default().GetString("ExePath")) {
        exePath = *stored;
    } else {
        exePath = platform::RunDirectory() + "/zqdemo";
    }
    auto slash = exePath.rfind('/');
    const bool installed = slash != std::string::npos;
    if (!installed) {
        platform::Backend().ShowMessage(
            "Varnok Online is not installed correctly. Please reinstall it from its CD.", "ERROR",
            platform::MessageIcon::kError);
    }
    // Without an install directory no configuration is read: an object with defaults.
    DestroyInstance();
    g_app = new CClientApp(installed ? exePath.substr(0, slash + 1) : std::string(), installed);
    // The layers below the shell read its options and paths from here on.
    SetClientSettings(g_app->Settings());
    return *g_app;
}

void CClientApp::DestroyInstance() {
    delete g_app;
    g_app = nullptr;
    SetClientSettings(ClientSettings{});
}

ClientSettings CClientApp::Settings() const {
    return ClientSettings{installDir, options};
}

std::string CClientApp::MakeHDPath(std::string_view name) const {
    return PathBelow(installDir, name);
}

std::string CClientApp::MakeCDPath(std::string_view name) const {
    return PathBelow(options.cdRomDataPath, name);
}

void CClientApp::AdvanceClientClock() {
    if (++clockTick >= 20) {
        clockTick = 0;
        if (++clockMinute >= 60) {
            clockMinute = 0;
            if (++clockHour > 23) clockHour = 0;
        }
    }
}

void CClientApp::ClientTick(u32 skipDraw) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    u32 now = platform::NowMs();
    currentTickTime = now;
    if (platform::ElapsedMs(lastTickTime, now) < kMinTickSpacingMs) return;
    lastTickTime = now;
    ++realTicks;

    bool oncePerSecond = false;
    if (platform::HasElapsed(lastSecondTime, now, 1000)) {
        lastSecondTime = now;
        AdvanceClientClock();
        oncePerSecond = true;
    }
    subsystems.PathWalkerStep();
    subsystems.MusicUpdate();
    subsystems.SoundUpdate();
    subsystems.CursorUpdate();
    subsystems.WalkQueueStepTick();
    subsystems.MobilesTick();
    if (oncePerSecond) TheClientWorld().AgeSavedBarks();
    subsystems.WeatherTick();
    subsystems.GumpDesktopUpdate();
    if (!skipDraw) {
        subsystems.DrawWorldViewFrame();
        ++framesDrawn;
    }
    // The renderer's post-frame hook has no work in this system.

    // Keep-alive: the timer only starts once the player is in the world (or the link is
    // compressed); after that at most one 0x73 per 61 seconds.
    if (!inWorld && !subsystems.ConnectionCompressionOn()) {
        lastKeepAliveTime = now;
    } else if (platform::HasElapsed(lastKeepAliveTime, now, 61000)) {
        lastKeepAliveTime = now;
        subsystems.SendKeepAlive(0);
    }
}

void CClientApp::LoadWordLists() {
    obsceneWords.clear();
    ignoreList.clear();
    // A missing list is made from the built-in words; one that is there but cannot be read
    // is left alone, and the list stays empty.
    std::string path = MakeHDPath("obscene.lst");
    std::string text;
    const char* emptyWords = "the obscene-word list stays empty";
    ClientFileRead read = ReadClientFile(path, kMaxWordListBytes, false, text, emptyWords);
    if (read == ClientFileRead::kMissing) {
        std::ofstream out(path, std::ios::binary);
        for (const char* w : kBuiltInObsceneWords)
            out << ScrambleText(w) << '\n';
        out.close();
        ReadClientFile(path, kMaxWordListBytes, false, text, emptyWords);
    }
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (line.empty()) continue;
        if (obsceneWords.size() >= kMaxObsceneWords) break;  // further words are ignored
        std::string word = UnscrambleText(line);
        if (word.size() > kMaxObsceneWordLength) word.resize(kMaxObsceneWordLength);
        obsceneWords.push_back(word);
    }

    std::string ignorePath = MakeHDPath("ignore.lst");
    std::string bytes;
    // Only the records that are kept are read. A missing list is created empty; there is
    // then nothing to read.
    if (ReadClientFile(ignorePath, kMaxIgnoreEntries * kIgnoreRecordBytes, true, bytes,
                       "the ignore list stays empty") == ClientFileRead::kMissing) {
        std::ofstream(ignorePath, std::ios::binary).close();
    }
    // Whole 34-byte records only; a short tail is ignored.
    for (size_t off = 0; off + kIgnoreRecordBytes <= bytes.size(); off += kIgnoreRecordBytes) {
        if (ignoreList.size() >= kMaxIgnoreEntries) break;
        IgnoreEntry e{};
        std::memcpy(e.name, bytes.data() + off, 30);
        e.name[29] = '\0';
        const auto* s = reinterpret_cast<const u8*>(bytes.data() + off + 30);
        e.serial = LoadLe32(s);
        ignoreList.push_back(e);
    }
    GetClientSubsystemServices().LoadWordListsDone();
}

bool CClientApp::SaveWordLists() const {
    std::ofstream words(MakeHDPath("obscene.lst"), std::ios::binary | std::ios::trunc);
    for (const std::string& w : obsceneWords)
        words << ScrambleText(w) << '\n';
    std::ofstream ignore(MakeHDPath("ignore.lst"), std::ios::binary | std::ios::trunc);
    for (const IgnoreEntry& e : ignoreList) {
        ignore.write(e.name, 30);
        u8 serial[4];
        StoreLe32(serial, e.serial);
        ignore.write(reinterpret_cast<const char*>(serial), 4);
    }
    words.close();
    ignore.close();
    return !words.fail() && !ignore.fail();
}

void CClientApp::ReadCharData() {
    std::fill(std::begin(slotSpeechHues), std::end(slotSpeechHues), 690);
    std::fill(std::begin(slotEmoteHues), std::end(slotEmoteHues), 549);
    std::string bytes;
    if (ReadClientFile(MakeHDPath("chardata.mul"), kCharDataBytes, true, bytes,
                       "the default character colours stay") != ClientFileRead::kRead) {
        return;
    }
    // A short file sets what it holds; the defaults stay for the rest.
    for (size_t i = 0; i < 10 && 2 * i + 1 < bytes.size(); ++i) {
        u16 v = LoadLe16(reinterpret_cast<const u8*>(bytes.data() + 2 * i));
        (i < 5 ? slotSpeechHues[i] : slotEmoteHues[i - 5]) = v;
    }
}

bool CClientApp::WriteCharData() const {
    std::ofstream out(MakeHDPath("chardata.mul"), std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 10; ++i) {
        u8 v[2];
        StoreLe16(v, i < 5 ? slotSpeechHues[i] : slotEmoteHues[i - 5]);
        out.write(reinterpret_cast<const char*>(v), 2);
    }
    out.close();
    return !out.fail();
}

void CClientApp::ChooseCharacterSlot(int slot) {
    if (slot < 0 || slot >= 5) return;
    TheClientWorld().speech.speechHue = slotSpeechHues[slot];
    TheClientWorld().speech.emoteHue = slotEmoteHues[slot];
}

bool CClientApp::IsIgnored(u32 serial) const {
    return std::any_of(ignoreList.begin(), ignoreList.end(),
                       [serial](const IgnoreEntry& e) { return e.serial == serial; });
}

void CClientApp::SetCursorMode(int mode) {
    int shape = 17;
    if ((mode >= 1 && mode <= 8) || (mode >= 31 && mode <= 38)) shape = 0;
    if (mode == 39) shape = 19;
    TheCursorManager().SetShape(shape);
}

void CClientApp::BeginTargeting() {
    TheClientWorld().targeting = true;
    TheCursorManager().SetShape(19);
}

void CClientApp::EndTargeting() {
    TheClientWorld().targeting = false;
    TheCursorManager().SetShape(17);
}
