#pragma once
// The outgoing packets of a socket: a queue of nodes, oldest first, each owning a private copy
// of one packet (or of several, once gathered). Nodes are pooled: they come from a free list
// filled 256 at a time, and blocks are never given back, so queueing a packet costs one
// allocation, for its copy.
#include <cstddef>

#include "platform/types.h"

class CSocket;

struct SendQueueNode {
    SendQueueNode* newer = nullptr;  // toward the newest node; null for the newest
    SendQueueNode* older = nullptr;  // toward the oldest; null for the oldest
    CSocket* owner = nullptr;
    u8* data = nullptr;  // owned by the node
    u32 length = 0;
};

inline constexpr int kSendQueueNodesPerBlock = 256;

// A node from the free list (a new block of 256 when it is empty), cleared.
SendQueueNode* AllocSendQueueNode();
// Frees the node's data and puts it back on the free list. The caller has unlinked it.
void FreeSendQueueNode(SendQueueNode* node);
// Nodes on the free list and blocks allocated so far (for tests).
size_t FreeSendQueueNodeCount();
size_t SendQueueNodeBlockCount();
