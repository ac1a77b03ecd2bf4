#include "server/net/local_connection.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {

std::unique_ptr<CUserSock> g_localUserSock;

std::mutex g_recordMutex;
std::vector<std::string> g_calls;
std::function<void(const std::string&)> g_observer;
std::atomic<bool> g_recordPolls{false};

void Record(std::string entry) {
    std::function<void(const std::string&)> observer;
    {
        std::lock_guard<std::mutex> lock(g_recordMutex);
        g_calls.push_back(entry);
        observer = g_observer;
    }
    if (observer) observer(entry);
}

}  // namespace

void CUserSock::OnReadable() {
    if (g_recordPolls.load(std::memory_order_relaxed)) Record("OnReadable");
}

bool CUserSock::HasPendingOutput() const {
    return false;
}

void CUserSock::FlushSendQueue() {
    if (g_recordPolls.load(std::memory_order_relaxed)) Record("FlushSendQueue");
}

void CreateLocalUserSock() {
    g_localUserSock = std::make_unique<CUserSock>(kLocalSocketValue, kLocalPeerAddress);
    Record("CreateLocalUserSock");
}

CUserSock* LocalUserSock() {
    return g_localUserSock.get();
}

void DestroyAllSockets() {
    g_localUserSock.reset();
    Record("DestroyAllSockets");
}

void LoadTextFiles() {
    Record("LoadTextFiles");
}

void NoteServerPhase(const char* phase) {
    Record(std::string("NoteServerPhase ") + (phase ? phase : ""));
}

std::vector<std::string> ProtocolServiceCalls() {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    return g_calls;
}

void ClearProtocolServiceCalls() {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    g_calls.clear();
}

void RecordSocketPolls(bool on) {
    g_recordPolls.store(on, std::memory_order_relaxed);
}

void SetProtocolServiceObserver(std::function<void(const std::string&)> observer) {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    g_observer = std::move(observer);
}
