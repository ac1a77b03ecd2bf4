#include "client/data/client_log.h"

LogSink& GetClientLogSink() {
    static LogSink sink;
    return sink;
}

void LogClientError(const char* source, const char* message) {
    GetClientLogSink().Log(0, 0, 0, "", source, "error", message);
}
