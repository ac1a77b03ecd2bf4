#pragma once
// The shell's word lists as the layers below it read them: the ignore list (speakers whose
// speech is not shown) and the obscenity filter with its word list. The shell installs its
// own lists; until then (and in tests that install nothing) nobody is ignored and the
// filter, off unless the settings turn it on, has no words.
#include <string>
#include <vector>

#include "platform/types.h"

class ClientWordLists {
public:
    virtual ~ClientWordLists() = default;
    virtual bool IsIgnored(u32 serial) const;
    // The ObscenityFilter option.
    virtual bool ObscenityFilterOn() const;
    virtual const std::vector<std::string>& ObsceneWords() const;
};

// The lists in force (never null).
const ClientWordLists& TheClientWordLists();
// Installs lists (kept alive by the caller; null puts back the empty ones); answers the
// previous ones.
const ClientWordLists* SetClientWordLists(const ClientWordLists* lists);
