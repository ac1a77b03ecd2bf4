#pragma once
// A stack of its own for work that recurses deeply (the script interpreter). The region is
// reserved once; its pages are committed only as they are touched, and an inaccessible guard
// region lies below it. The work runs on the calling thread, which waits for it: nothing
// runs concurrently, only the stack pointer moves. One stack serves one thread at a time.
#include <cstddef>

namespace platform {

class LargeStack {
public:
    // Reserves `bytes` (rounded up to whole pages) of address space.
    explicit LargeStack(size_t bytes);
    ~LargeStack();
    LargeStack(const LargeStack&) = delete;
    LargeStack& operator=(const LargeStack&) = delete;

    // Runs fn(arg) on this stack and returns when it returns; an exception leaving fn is
    // rethrown here. Called from work already running on this stack (or when the region
    // could not be reserved), fn runs directly on the current stack.
    void Run(void (*fn)(void*), void* arg);
    // True while work runs on this stack.
    bool Active() const { return active_; }
    size_t Size() const { return size_; }
    // The bytes still free below `address` (the caller's __builtin_frame_address(0); the
    // address sanitizer may keep locals elsewhere) when it lies on this stack; `fallback`
    // otherwise.
    size_t RoomBelow(const void* address, size_t fallback) const;

private:
    char* region_ = nullptr;  // guard, then the stack
    size_t regionSize_ = 0;
    char* bottom_ = nullptr;  // the lowest usable byte
    size_t size_ = 0;
    bool active_ = false;
};

}  // namespace platform
