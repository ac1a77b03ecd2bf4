#pragma once
// A recording implementation of the protocol's services for the main loop's tests: a local
// connection like the real one, and every call the frame makes, in order: "NoteServerPhase
// startup", "CreateLocalUserSock", "LoadTextFiles", "DestroyAllSockets", and the local
// socket's "OnReadable" and "FlushSendQueue" (those only while the recording of polls is on,
// so an idle server does not grow the list). Each entry is also handed to an observer as it
// is made, so a test can look at the rest of the process at that moment.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/net/local_connection.h"
#include "server/net/net_services.h"

class RecordingProtocol : public NetServices {
public:
    using Observer = std::function<void(const std::string&)>;

    explicit RecordingProtocol(Observer observer) : observer_(std::move(observer)) {}

    void NoteServerPhase(const char* phase) override {
        Record(std::string("NoteServerPhase ") + (phase ? phase : ""));
    }
    void LoadTextFiles() override { Record("LoadTextFiles"); }
    void CreateLocalUserSock() override {
        localUserSock_ = std::make_unique<RecordingSock>(*this);
        Record("CreateLocalUserSock");
    }
    CUserSock* LocalUserSock() override { return localUserSock_.get(); }
    void DestroyAllSockets() override {
        localUserSock_.reset();
        Record("DestroyAllSockets");
    }

    void RecordSocketPolls(bool on) { recordPolls_ = on; }
    const std::vector<std::string>& Calls() const { return calls_; }

private:
    class RecordingSock : public CUserSock {
    public:
        explicit RecordingSock(RecordingProtocol& owner)
            : CUserSock(kLocalSocketValue, kLocalPeerAddress), owner_(owner) {}
        void OnReadable() override {
            if (owner_.recordPolls_) owner_.Record("OnReadable");
            CUserSock::OnReadable();
        }
        void FlushSendQueue() override {
            if (owner_.recordPolls_) owner_.Record("FlushSendQueue");
            CUserSock::FlushSendQueue();
        }

    private:
        RecordingProtocol& owner_;
    };

    void Record(const std::string& entry) {
        calls_.push_back(entry);
        if (observer_) observer_(entry);
    }

    Observer observer_;
    std::vector<std::string> calls_;
    bool recordPolls_ = false;
    std::unique_ptr<CUserSock> localUserSock_;
};
