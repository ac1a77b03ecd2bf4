#include "client/net/client_packet_framer.h"

#include <cstdio>
#include <cstring>

#include "client/net/link_report.h"
#include "client/net/server_packet_dispatcher.h"
#include "core/byte_order.h"
#include "core/protocol/packet_table.h"

namespace {

std::string HexId(u8 id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", id);
    return text;
}

}  // namespace

void ClientPacketFramer::Reset() {
    hold_ = false;
    readPosition_ = 0;
    held_.clear();
}

void ClientPacketFramer::Replay(const u8* buffer, size_t& begin) {
    // Taken first: a held packet's handler may pause or stop again.
    std::vector<Held> held;
    held.swap(held_);
    for (const Held& h : held) {
        if (stop_) break;
        dispatcher_.Dispatch(buffer + h.offset, h.length);
    }
    begin = readPosition_;
}

bool ClientPacketFramer::Frame(u8* buffer, size_t& count, size_t capacity) {
    framing_ = true;
    stop_ = false;
    // Bytes before `begin` are handled; held packets lie in [begin, readPosition_).
    size_t begin = held_.empty() ? readPosition_ : held_.front().offset;
    bool ok = true;
    while (!stop_ && count > readPosition_) {
        u8* packet = buffer + readPosition_;
        const size_t available = count - readPosition_;
        const u8 id = packet[0];
        const u16 word = ClientPacketLengthTable(id);
        if (word == 0) {
            ReportLink("Closing the connection: server packet id " + HexId(id) + " has no length.");
            ok = false;
            break;
        }
        size_t length = word;
        bool known = true;
        if (word & kVariableLength) {
            if (available < 3) {
                known = false;
                length = 3;
            } else {
                length = LoadBe16(packet + 1);
                if (length < 3) {
                    ReportLink("Closing the connection: server packet " + HexId(id) +
                               " says it is " + std::to_string(length) + " bytes long.");
                    ok = false;
                    break;
                }
            }
        }
        // Held packets and this one must fit in the buffer together, or it could never be
        // completed: the pause ends here.
        if (hold_ && (readPosition_ - begin) + length > capacity - 1) {
            hold_ = false;
            Replay(buffer, begin);
            continue;
        }
        if (!known || available < length) break;
        if (!hold_) {
            if (id == kPausePacketId) {
                if (packet[1] != 0) hold_ = true;
            } else {
                dispatcher_.Dispatch(packet, length);
            }
            readPosition_ += length;
            begin = readPosition_;
            continue;
        }
        if (id != kPausePacketId) {
            held_.push_back({readPosition_, length});
            readPosition_ += length;
        } else if (packet[1] == 0) {
            hold_ = false;
            readPosition_ += length;
            Replay(buffer, begin);
        } else {
            // A second pause while paused: it goes, the pause goes on.
            std::memmove(packet, packet + length, available - length);
            count -= length;
        }
    }
    framing_ = false;
    if (stop_) {
        Reset();
        count = 0;
        return ok;
    }
    if (!ok) return false;
    if (begin > 0) {
        std::memmove(buffer, buffer + begin, count - begin);
        count -= begin;
        readPosition_ -= begin;
        for (Held& h : held_)
            h.offset -= begin;
    }
    return true;
}
