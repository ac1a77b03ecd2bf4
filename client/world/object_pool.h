#pragma once
// A pool of display objects of one class: a free list threaded through a link field the
// object does not use while free, refilled by constructing a whole block at once. Blocks live
// until the process ends; a pooled object keeps its class for good and is never deleted.
#include <vector>

struct PoolCounts {
    int live = 0;
    int allocated = 0;
};

template <typename T, int kPerBlock>
class ObjectPool {
public:
    // `link(o)` is the free-list link field of an object (a pointer to a base of T).
    template <typename Link>
    T* Take(Link link) {
        T* o = free_;
        if (!o) {
            refilling = true;
            T* block = new T[kPerBlock];
            Blocks().push_back(block);
            counts.allocated += kPerBlock;
            refilling = false;
            for (int i = kPerBlock - 1; i >= 1; --i) {
                link(&block[i]) = free_;
                free_ = &block[i];
            }
            o = &block[0];
        } else {
            free_ = static_cast<T*>(link(o));
            link(o) = nullptr;
        }
        ++counts.live;
        return o;
    }
    template <typename Link>
    void Give(T* o, Link link) {
        --counts.live;
        link(o) = free_;
        free_ = o;
    }

    PoolCounts counts;
    // Set while a block is being constructed (constructors skip their initialisation).
    bool refilling = false;

private:
    static std::vector<void*>& Blocks() {
        static std::vector<void*> blocks;
        return blocks;
    }
    T* free_ = nullptr;
};
