#include "server/net/world_entry.h"

#include "core/log_sink.h"
#include "server/world/mobile.h"

void EnterWorld(CPlayer& player, CUserSock& connection) {
    static bool logged = false;
    if (!logged) {
        logged = true;
        GetLogSink().Log(0, 0, 0, "", "protocol", "error", "world entry packets are not built yet");
    }
    player.EnterWorld(&connection);
}
