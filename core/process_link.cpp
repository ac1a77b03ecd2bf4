#include "core/process_link.h"

std::atomic<u32> ClientServerAddress{0};

ProcessArgs& SavedProcessArgs() {
    static ProcessArgs args;
    return args;
}
