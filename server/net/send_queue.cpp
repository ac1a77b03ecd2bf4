#include "server/net/send_queue.h"

#include <memory>
#include <vector>

namespace {

struct NodePool {
    SendQueueNode* freeList = nullptr;
    size_t freeCount = 0;
    // Blocks live until the process ends (reachable, so the leak checker stays quiet).
    std::vector<std::unique_ptr<SendQueueNode[]>> blocks;
};

NodePool& Pool() {
    static NodePool* pool = new NodePool;
    return *pool;
}

}  // namespace

SendQueueNode* AllocSendQueueNode() {
    NodePool& pool = Pool();
    if (pool.freeList == nullptr) {
        pool.blocks.emplace_back(new SendQueueNode[kSendQueueNodesPerBlock]);
        SendQueueNode* block = pool.blocks.back().get();
        // Nodes 255 down to 1 go on the free list; node 0 is used at once.
        for (int i = kSendQueueNodesPerBlock - 1; i >= 1; --i) {
            block[i].newer = pool.freeList;
            pool.freeList = &block[i];
            ++pool.freeCount;
        }
        block[0] = SendQueueNode{};
        return &block[0];
    }
    SendQueueNode* node = pool.freeList;
    pool.freeList = node->newer;
    --pool.freeCount;
    *node = SendQueueNode{};
    return node;
}

void FreeSendQueueNode(SendQueueNode* node) {
    if (node == nullptr) return;
    delete[] node->data;
    NodePool& pool = Pool();
    *node = SendQueueNode{};
    node->newer = pool.freeList;
    pool.freeList = node;
    ++pool.freeCount;
}

size_t FreeSendQueueNodeCount() {
    return Pool().freeCount;
}

size_t SendQueueNodeBlockCount() {
    return Pool().blocks.size();
}
