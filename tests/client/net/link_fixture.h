#pragma once
// A client link on a private pair of in-process queues, with recording hooks and a scripted
// login driver, and helpers to play the server's side of the bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "core/byte_order.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"

using Bytes = std::vector<u8>;

// A server packet: id, for a variable id its length, then the body.
inline Bytes ServerPacket(u8 id, const Bytes& body, bool variable) {
    Bytes p{id};
    if (variable) {
        const size_t n = body.size() + 3;
        p.push_back(u8(n >> 8));
        p.push_back(u8(n));
    }
    p.insert(p.end(), body.begin(), body.end());
    return p;
}

inline void PutText(Bytes& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < text.size() ? u8(text[i]) : 0);
}

inline void PutLong(Bytes& out, u32 v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(u8(v >> s));
}

inline void PutShort(Bytes& out, u16 v) {
    out.push_back(u8(v >> 8));
    out.push_back(u8(v));
}

struct Location {
    u8 index;
    std::string town, place;
};

// The character list 0x81 with up to five names, servers (id, name) and start locations.
inline Bytes CharacterList(const std::vector<std::string>& names, s8 serverCount,
                           const std::vector<std::pair<u8, std::string>>& servers,
                           const std::vector<Location>& locations) {
    Bytes body{u8(names.size()), 0xCD};
    for (int i = 0; i < 5; ++i) {
        PutText(body, i < int(names.size()) ? names[i] : "", 30);
        PutText(body, "", 30);
    }
    body.push_back(u8(serverCount));
    for (const auto& s : servers) {
        body.push_back(s.first);
        PutText(body, s.second, 16);
    }
    body.push_back(u8(locations.size()));
    for (const Location& l : locations) {
        body.push_back(l.index);
        PutText(body, l.town, 31);
        PutText(body, l.place, 31);
    }
    return ServerPacket(0x81, body, true);
}

class LinkFixture {
public:
    explicit LinkFixture(u32 editServer = 0x7F000001)
        : oldTo_(ClientToServerQueue),
          oldFrom_(ServerToClientQueue),
          oldAddress_(ClientServerAddress.load()) {
        ClientToServerQueue = &toServer;
        ServerToClientQueue = &fromServer;
        ClientServerAddress.store(editServer);
        link.SetFrontEnd(&driver);
    }
    ~LinkFixture() {
        ClientToServerQueue = oldTo_;
        ServerToClientQueue = oldFrom_;
        ClientServerAddress.store(oldAddress_);
    }

    // The server sends these bytes; the client polls once.
    void ServerSends(const Bytes& bytes) {
        fromServer.Put(bytes.data(), s32(bytes.size()));
        link.Poll();
    }
    // Everything the client has handed to the server so far.
    Bytes ClientSent() {
        link.Poll();
        Bytes out(65536);
        const s32 n = toServer.Get(out.data(), s32(out.size()));
        out.resize(n > 0 ? size_t(n) : 0);
        return out;
    }

    LinkReportCapture reports;
    ChunkQueue toServer, fromServer;
    ClientLoginHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};

private:
    ChunkQueue* oldTo_;
    ChunkQueue* oldFrom_;
    u32 oldAddress_;
};

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines) {
        if (l == line) return true;
    }
    return false;
}
