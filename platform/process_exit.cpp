#include "platform/process_exit.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void ExitProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    // Other threads are still running: skip the static destructors they may be using.
    std::_Exit(code);
}

}  // namespace platform
