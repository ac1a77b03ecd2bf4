#pragma once
// The object manager's lookup by serial: an open-addressed table of serial -> object that
// doubles as the objects grow, so that a lookup costs the same at any world size and for any
// pattern of serials. Several objects may share a serial for a while (objects being loaded
// start at serial 0; the game-master duplicate check finds pairs): the table then keeps the
// one the manager names for it and how many share it.
#include <cstddef>
#include <vector>

#include "platform/types.h"

class CItem;

class SerialIndex {
public:
    SerialIndex();

    CItem* Find(u32 serial) const;
    // One more object under the serial; it becomes the one found.
    void Add(u32 serial, CItem* item);
    // One object fewer under the serial; answers how many remain. When the one found goes
    // and others remain, nothing is found until the caller names the next one (Replace).
    int Remove(u32 serial, const CItem* item);
    // The object found under a shared serial from now on.
    void Replace(u32 serial, CItem* item);
    size_t Size() const { return count_; }
    // How many serials more than one object shares.
    size_t SharedSerials() const { return shared_; }

private:
    struct Slot {
        u32 serial = 0;
        u32 sharers = 0;  // 0: the slot is free
        CItem* item = nullptr;
    };
    size_t Home(u32 serial) const;
    size_t FindSlot(u32 serial) const;  // the slot of the serial, or the free one ending its run
    void Grow();
    void EraseSlot(size_t slot);

    std::vector<Slot> slots_;
    size_t count_ = 0;
    size_t shared_ = 0;
    int shift_ = 0;
};
