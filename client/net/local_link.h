#pragma once
// The client's ends of the in-process link: its two chunk queues, and the close and reopen
// of the link when the client logs out or finds it closed.
#include "platform/types.h"

class ChunkQueue;

// The queues of the in-process link; null before the server has made them.
ChunkQueue* LocalLinkToServer();
ChunkQueue* LocalLinkFromServer();

// Closes the client-to-server direction, so the server sees the client go.
void CloseLocalLinkToServer();
// Makes a closed link usable again before a fresh connection is opened on it.
void ReopenLocalLink();
// Wakes the client's main loop, asleep until the server sends, from another thread (the
// software cursor's timer).
void WakeClientLoop();
