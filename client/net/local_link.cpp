#include "client/net/local_link.h"

#include "client/net/link_report.h"
#include "core/chunk_queue.h"

ChunkQueue* LocalLinkToServer() {
    return ClientToServerQueue;
}

ChunkQueue* LocalLinkFromServer() {
    return ServerToClientQueue;
}

void CloseLocalLinkToServer() {
    // The queues cannot be closed yet: the server learns of a logout from packet 0x01 only.
    ReportLinkOnce("Closing the in-process link is not built yet.");
}

void ReopenLocalLink() {
    // The queues cannot be closed yet, so there is nothing to reopen.
    ReportLinkOnce("Reopening the in-process link is not built yet.");
}
