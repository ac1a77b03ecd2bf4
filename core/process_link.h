#pragma once
// The few values the process frame hands from the server's thread to the client thread
// before the client starts. Server and client code share nothing else but the two chunk
// queues.
#include <atomic>
#include <string>
#include <vector>

#include "platform/types.h"

// The process's own arguments, saved by the entry for the client thread.
struct ProcessArgs {
    std::vector<std::string> argv;  // argv[0] is the program
    std::string commandLine;        // the arguments after the program, joined by spaces
    int showCommand = 1;            // 1: normal window; the client may ignore it
};

ProcessArgs& SavedProcessArgs();

// The client's standalone-server address (IPv4, host order). The server sets it to
// 127.0.0.1 before it starts the client thread; a non-zero value makes the client connect
// to that address, which in this process means the in-memory link.
extern std::atomic<u32> ClientServerAddress;

// The body of the client thread, defined by the client (client/app). Returns when the
// client ends, with the client's exit code.
int ClientMain(const ProcessArgs& args);
