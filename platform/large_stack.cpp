#include "platform/large_stack.h"

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <exception>

#if defined(__SANITIZE_ADDRESS__)
#define ZQ_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZQ_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ZQ_ADDRESS_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

namespace platform {

namespace {

constexpr size_t kGuardBytes = 64 * 1024;

// The address sanitizer keeps its own idea of the current stack's bounds; it is told about
// every switch so that its checks and its handling of unwinding follow the stack in use.
void StartSwitch(void** fakeStack, const void* bottom, size_t size) {
#ifdef ZQ_ADDRESS_SANITIZER
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#else
    (void)fakeStack;
    (void)bottom;
    (void)size;
#endif
}

void FinishSwitch(void* fakeStack, const void** oldBottom, size_t* oldSize) {
#ifdef ZQ_ADDRESS_SANITIZER
    __sanitizer_finish_switch_fiber(fakeStack, oldBottom, oldSize);
#else
    (void)fakeStack;
    (void)oldBottom;
    (void)oldSize;
#endif
}

struct Switch {
    void (*fn)(void*);
    void* arg;
    ucontext_t caller;
    ucontext_t callee;
    std::exception_ptr error;
    const void* callerBottom = nullptr;
    size_t callerSize = 0;
};

thread_local Switch* g_switch = nullptr;

void Entry() {
    Switch* s = g_switch;
    FinishSwitch(nullptr, &s->callerBottom, &s->callerSize);
    try {
        s->fn(s->arg);
    } catch (...) {
        s->error = std::current_exception();
    }
    // Null: this stack's work is over; nothing of it is resumed later.
    StartSwitch(nullptr, s->callerBottom, s->callerSize);
    setcontext(&s->caller);
}

size_t PageSize() {
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<size_t>(page) : 4096;
}

}  // namespace

LargeStack::LargeStack(size_t bytes) {
    const size_t page = PageSize();
    const size_t size = (bytes + page - 1) / page * page;
    const size_t guard = (kGuardBytes + page - 1) / page * page;
    void* p =
        mmap(nullptr, size + guard, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) return;
    char* region = static_cast<char*>(p);
    if (mprotect(region + guard, size, PROT_READ | PROT_WRITE) != 0) {
        munmap(p, size + guard);
        return;
    }
    region_ = region;
    regionSize_ = size + guard;
    bottom_ = region + guard;
    size_ = size;
}

LargeStack::~LargeStack() {
    if (region_) munmap(region_, regionSize_);
}

void LargeStack::Run(void (*fn)(void*), void* arg) {
    if (active_ || !region_) {
        fn(arg);
        return;
    }
    Switch s{fn, arg, {}, {}, nullptr};
    getcontext(&s.callee);
    s.callee.uc_stack.ss_sp = bottom_;
    s.callee.uc_stack.ss_size = size_;
    s.callee.uc_link = nullptr;
    makecontext(&s.callee, &Entry, 0);
    Switch* const outer = g_switch;
    g_switch = &s;
    active_ = true;
    // getcontext returns a second time when the work is over and Entry resumes the caller.
    // (swapcontext would do the same, but the address sanitizer warns about it.)
    void* fakeStack = nullptr;
    volatile bool entered = false;
    getcontext(&s.caller);
    if (!entered) {
        entered = true;
        StartSwitch(&fakeStack, bottom_, size_);
        setcontext(&s.callee);
    }
    FinishSwitch(fakeStack, nullptr, nullptr);
    active_ = false;
    g_switch = outer;
    if (s.error) std::rethrow_exception(s.error);
}

size_t LargeStack::RoomBelow(const void* address, size_t fallback) const {
    const char* a = static_cast<const char*>(address);
    if (!active_ || a < bottom_ || a >= bottom_ + size_) return fallback;
    return static_cast<size_t>(a - bottom_);
}

}  // namespace platform
