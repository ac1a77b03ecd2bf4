#pragma once
// What a corpse takes of the dead's resources, shared by a creature's and a player's death.
// The dead's entries are unlinked and kept here; `share` is shown each held entry of a type
// and adds to the corpse what that entry turns into. The entries stay here until the death is
// sure: a vetoed death gives them back in their order, any other frees them.
#include <functional>
#include <vector>

#include "platform/types.h"

class CCountedObject;
class CCorpse;
struct ResourceEntry;

class TakenResources {
public:
    using Share = std::function<void(const ResourceEntry& held)>;
    TakenResources(CCountedObject& dead, const Share& share);
    ~TakenResources();
    TakenResources(const TakenResources&) = delete;
    TakenResources& operator=(const TakenResources&) = delete;

    void GiveBack(CCountedObject& dead);

private:
    std::vector<ResourceEntry*> entries_;
};

// The corpse, while its serial still names it and it is still a corpse.
CCorpse* FindCorpse(u32 serial);
