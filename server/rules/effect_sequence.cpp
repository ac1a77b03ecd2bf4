#include "server/rules/effect_sequence.h"

#include <algorithm>

#include "core/log_sink.h"
#include "server/rules/effects.h"
#include "server/world/packet_services.h"

EffectSequence g_effectSequence;

void EffectSequence::AddLocation(const Location& at) {
    if (std::find(places_.begin(), places_.end(), at) == places_.end()) places_.push_back(at);
}

bool EffectSequence::AddRecord(int kind, const u8* data, size_t n) {
    if (records_.size() >= kMaxRecords) {
        if (!dropLogged_) {
            dropLogged_ = true;
            GetLogSink().Log(0, 0, 0, "", "effects", "error",
                             "the effect sequence is full (never ended?): further effects are "
                             "dropped");
        }
        return false;
    }
    Record r;
    r.kind = kind;
    r.data.assign(data, data + n);
    records_.push_back(std::move(r));
    return true;
}

bool EffectSequence::Append(int kind, const std::vector<u8>& data, const Location& first,
                            const Location* second) {
    if (records_.size() >= kMaxRecords) return AddRecord(kind, data.data(), data.size());
    AddLocation(first);
    if (second) AddLocation(*second);
    return AddRecord(kind, data.data(), data.size());
}

void EffectSequence::Send(int endValue) const {
    PacketServices& out = GetPacketServices();
    out.SendSequenceMarker(0, places_);
    for (const Record& r : records_)
        SendEffectRecord(r.kind, r.data.data(), r.data.size());
    const int end = endValue & 0xFF;
    out.SendSequenceMarker(end == 0 ? 1 : end, places_);
}

void EffectSequence::Clear() {
    open_ = false;
    dropLogged_ = false;
    places_.clear();
    places_.shrink_to_fit();
    records_.clear();
    records_.shrink_to_fit();
}
