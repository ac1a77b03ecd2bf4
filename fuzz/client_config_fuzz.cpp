// Fuzz target: the readers of the client's configuration files, zq.cfg and login.cfg
// ("Key=Value" or "Key Value" lines matched against the option table), applied to a client
// object with the defaults. The option lists keep to their bounds whatever the text says.
//
// Input: one byte whose lowest bit picks zq.cfg (1) or login.cfg (0), then the file's text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/app/client_app.h"
#include "client/app/client_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool mainFile = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    CClientApp app("", false);
    ReadConfigText(app, text, mainFile);
    const ClientOptions& o = app.options;
    if (o.loginServers.size() > kMaxLoginServers ||
        o.backupLoginServers.size() > kMaxBackupLoginServers) {
        std::abort();
    }
    return 0;
}

// Every option of the table once, in the forms the files use, and a few odd lines.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string common =
        "CdRomDataPath=/cdrom/zq\nCacheSize=4096\nHdUsage=max\nPlayerName=Ann\n"
        "Password=abc\nSound=on\nSoundVol=200\nMusic off\nMusicVol=12\nObscenityFilter=on\n"
        "ObsceneWord=darn\nFilterPassword=x\nPageFlip=gdi\nFrameCounter=on\nSavePassword=on\n"
        "FullScreen=off\nLanguage=ENU\nEditServer=127.0.0.1,2590\nUserCentral=10.0.0.1,7775\n"
        "ShowIntroAnim=off\nuse565=on\nautoLogIn=on\nOrderCache=idle\nRememberAcctPW=on\n"
        "LoginServer=login.example.net,7775\nLoginServer=192.168.0.1,2593\n"
        "BackupLoginServer=10.1.1.1,7775\nAcctID=ann\nAcctLastName=Lee\nAcctPassword=pw\n"
        "NextLoginKey=3\nDefaultChar=1\nMouse=fast\nUseVerData=off\nChestOpening=on\n"
        "JournalSaveFile=journal.txt\nJournalSaveUnicode=1\nNotorietyQuery=on\n"
        "UseCircleTrans=on\nCircleTransRadius=64\nCircleTransPos=320,240\nFilterPWOn=off\n"
        "Footsteps=on\nShowTips=off\nLastTip=7\nCurrentVer=3\nBarkTimeModifier=150\n"
        "ScaleBarkTimes=on\nCombatHueColor=0x7C00\nFrameSkipping=on\nAllowPathfind=off\n"
        "HoldTabForCombat=on\nOffsetGumps=off\nAutoArrangeMinimized=on\nUnicodeSpeech=on\n"
        "AltKeyModNum=2\nSound8Bit=on\nReverseSpeakers=on\nChatColorSelfText=0x7FFF\n"
        "ChatColorInput=123\nChatFontNumber=2\nBarkFontNumber=1\nProfileColor1=0x10\n"
        "ProfileColor2=0x20\nHighlightColorInnocent=0x1F\nHighlightColorMurderer=0x7C00\n"
        "AssumePlayAsGhost=on\n";
    const std::string odd =
        "\r\n=\n  Sound  =  off\r\rMusic\n\nLoginServer=,\nCacheSize=-99999999999\n" +
        std::string(300, 'A') + "=1\nEditServer=999.1.1.1,99999\n";
    for (const std::string& body : {common, odd}) {
        for (u8 which : {u8{1}, u8{0}}) {
            std::string input(1, static_cast<char>(which));
            input += body;
            emit(reinterpret_cast<const u8*>(input.data()), input.size());
        }
    }
}
