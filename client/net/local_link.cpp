#include "client/net/local_link.h"

#include "core/chunk_queue.h"

ChunkQueue* LocalLinkToServer() {
    return ClientToServerQueue;
}

ChunkQueue* LocalLinkFromServer() {
    return ServerToClientQueue;
}

void CloseLocalLinkToServer() {
    // The server reads the end of the session, logs the player out and closes its answers.
    CloseClientLink();
}

void ReopenLocalLink() {
    CloseClientLink();
    ReopenClientLink();
}

void WakeClientLoop() {
    if (ServerToClientQueue != nullptr) ServerToClientQueue->Nudge();
}
