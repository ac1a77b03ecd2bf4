// Fuzz target: the reader of an object's saved timed callbacks ("action key ticks" triples
// up to an action of 0, the text after "callback="). What it reads, written again and read
// back, must give the same callbacks (in reverse order, as every reload does).
//
// Input: the save text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "server/world/timed_callbacks.h"

namespace {

struct Plain {
    s32 action, key, ticks;
    bool operator==(const Plain& o) const {
        return action == o.action && key == o.key && ticks == o.ticks;
    }
};

// The callbacks that are saved (actions 7, 10 and 11 never are), in list order.
std::vector<Plain> Saved(const TimedCallback* head) {
    std::vector<Plain> out;
    for (const TimedCallback* n = head; n; n = n->next) {
        if (n->action != 7 && n->action != 10 && n->action != 11)
            out.push_back({n->action, n->key, n->ticks});
    }
    return out;
}

constexpr u32 kSerial = 0x40000001;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(data, data + size);
    TimedCallback* head = nullptr;
    const int added = ReadCallbacks(head, kSerial, text.c_str());
    int count = 0;
    for (const TimedCallback* n = head; n; n = n->next) {
        if (n->action < 1 || n->action > 19 || n->text != nullptr) std::abort();
        ++count;
    }
    // Adding replaces nothing here: each triple is one node.
    if (count != added) std::abort();

    CStr saved;
    if (WriteCallbacks(head, saved)) {
        const char* body = saved.CText();
        if (std::strncmp(body, "callback=", 9) != 0) std::abort();
        TimedCallback* again = nullptr;
        ReadCallbacks(again, kSerial, body + 9);
        // Each node read goes to the head: the reloaded list is in reverse saved order.
        std::vector<Plain> reloaded = Saved(again);
        std::reverse(reloaded.begin(), reloaded.end());
        if (reloaded != Saved(head)) std::abort();
        ClearCallbacks(again);
    } else if (!Saved(head).empty()) {
        std::abort();
    }
    ClearCallbacks(head);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    TimedCallback* head = nullptr;
    AddCallback(head, kSerial, 240, 8, 0, nullptr);
    AddCallback(head, kSerial, 10, 5, 3, nullptr);
    AddCallback(head, kSerial, 1, 7, 1, nullptr);
    AddCallback(head, kSerial, -4, 19, 2147483647, nullptr);
    CStr saved;
    WriteCallbacks(head, saved);
    ClearCallbacks(head);
    const std::string written(saved.CText() + 9);  // the text after "callback="
    const std::string seeds[] = {
        written,
        "5 1 20 11 0 3 0",
        "  +3\t-0 99999999999 20 1 1 x 4 4 4",
        "1 2",
    };
    for (const std::string& s : seeds)
        emit(reinterpret_cast<const u8*>(s.data()), s.size());
}
