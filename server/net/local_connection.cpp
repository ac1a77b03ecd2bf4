#include "server/net/local_connection.h"

void LocalConnectionServices::NoteServerPhase(const char* phase) {
    ::NoteServerPhase(phase);
}

void LocalConnectionServices::CreateLocalUserSock() {
    ::CreateLocalUserSock();
}

CUserSock* LocalConnectionServices::LocalUserSock() {
    return RefreshLocalLink();
}

void LocalConnectionServices::DestroyAllSockets() {
    DeleteAllSockets();
}
