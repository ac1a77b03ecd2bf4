#include "client/world/action_sequencer.h"

#include <array>

#include "client/world/client_mobile.h"

namespace {

std::array<CClientMobile*, kActionSlots> g_slots{};

}  // namespace

void CClientMobile::RegisterAction() {
    if (sequencerSlot != -1) return;
    for (int i = 0; i < kActionSlots; ++i) {
        if (!g_slots[size_t(i)]) {
            g_slots[size_t(i)] = this;
            sequencerSlot = i;
            return;
        }
    }
    // No free slot: the action stays on its first frame until the mobile starts another.
}

void CClientMobile::AdvanceAction() {
    ActionRecord& a = action;
    const bool wasInCell = inCell != 0;
    // Every change of frame leaves the cell and enters it again, so the figure is redrawn.
    auto change = [&](auto step) {
        if (wasInCell) RemoveFromCell();
        step();
        a.delayCounter = 0;
        if (wasInCell) PlaceInCell();
    };
    if (!a.backward) {
        if (a.frame + 1 < a.frameCount) {
            change([&] { ++a.frame; });
        } else if (a.repsDone != u16(a.repeatCount - 1)) {
            change([&] {
                ++a.repsDone;
                a.frame = 0;
            });
        } else if (a.pingPong) {
            change([&] {
                a.backward = 1;
                a.pingPong = 0;
                --a.frame;
            });
        } else {
            EndAction();  // may destroy this mobile
        }
    } else {
        if (a.frame != 0 && a.frame <= a.frameCount) {
            change([&] { --a.frame; });
        } else if (a.repsDone != 0) {
            change([&] {
                --a.repsDone;
                a.frame = u16(a.frameCount - 1);
            });
        } else if (a.pingPong) {
            change([&] {
                a.backward = 0;
                a.pingPong = 0;
                ++a.frame;
            });
        } else {
            EndAction();  // may destroy this mobile
        }
    }
}

bool CClientMobile::EndAction() {
    if (sequencerSlot >= 0) {
        const bool wasInCell = inCell != 0;
        if (wasInCell) RemoveFromCell();
        action.active = 0;
        if (wasInCell) PlaceInCell();
        g_slots[size_t(sequencerSlot)] = nullptr;
        sequencerSlot = -1;
    }
    if ((action.id & 0x80) && !IsPlayer()) {
        TheDyingMobiles().Resolve(0, serial, false);
        return true;
    }
    return false;
}

void CClientMobile::ReleaseActionSlot() {
    // The destructor's end: no redraw and no hand-over (the hand-over would look the mobile
    // up by serial and destroy it a second time).
    if (sequencerSlot < 0) return;
    action.active = 0;
    g_slots[size_t(sequencerSlot)] = nullptr;
    sequencerSlot = -1;
}

void ClearActionSlots() {
    g_slots.fill(nullptr);
}

CClientMobile* ActionSlot(int slot) {
    return slot >= 0 && slot < kActionSlots ? g_slots[size_t(slot)] : nullptr;
}

void RunActionSequencer() {
    for (CClientMobile*& slot : g_slots) {
        CClientMobile* m = slot;
        if (!m) continue;
        const int t = m->action.delayCounter;
        m->action.delayCounter = u16(t + 1);
        // May end the action and destroy the mobile; the slot is cleared before that.
        if (t > m->action.frameDelay) m->AdvanceAction();
    }
}
