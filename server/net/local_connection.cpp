#include "server/net/local_connection.h"

void CUserSock::OnReadable() {}

bool CUserSock::HasPendingOutput() const {
    return false;
}

void CUserSock::FlushSendQueue() {}

void LocalConnectionServices::CreateLocalUserSock() {
    localUserSock_ = std::make_unique<CUserSock>(kLocalSocketValue, kLocalPeerAddress);
}

CUserSock* LocalConnectionServices::LocalUserSock() {
    return localUserSock_.get();
}

void LocalConnectionServices::DestroyAllSockets() {
    localUserSock_.reset();
}
