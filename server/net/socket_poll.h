#pragma once
// The network path's poll: waits for the sockets of the list to be readable, writable or
// failed, serves each, then reaps the sockets marked for closing.
#include "platform/types.h"

// NoteNetworkPoll, then SocketSelectPoll with reading on.
int PollNetwork(u32 microseconds);
// Polls at most 64 open sockets (state bit 0 clear, a handle): read (when `withRead`), write
// (those with pending output) and failure. A failed socket is closed; a writable one flushed;
// a readable one read. Then the reaping walk. Answers the system error when the poll itself
// failed, else 0.
int SocketSelectPoll(u32 timeoutMicroseconds, bool withRead);
