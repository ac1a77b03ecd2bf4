#pragma once
// The client thread's log: a sink of its own (the server's log belongs to the server
// thread), written nowhere in this build; tests watch it with a LogCapture on this sink.
#include "core/log_sink.h"

LogSink& GetClientLogSink();
// A system entry: source tag, severity "error", message.
void LogClientError(const char* source, const char* message);
