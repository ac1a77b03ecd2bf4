#include "client/data/client_word_lists.h"

#include "client/data/client_settings.h"

bool ClientWordLists::IsIgnored(u32) const {
    return false;
}

bool ClientWordLists::ObscenityFilterOn() const {
    return TheClientSettings().options.obscenityFilter;
}

const std::vector<std::string>& ClientWordLists::ObsceneWords() const {
    static const std::vector<std::string> none;
    return none;
}

namespace {
const ClientWordLists g_emptyLists;
const ClientWordLists* g_lists = nullptr;
}  // namespace

const ClientWordLists& TheClientWordLists() {
    return g_lists ? *g_lists : g_emptyLists;
}

const ClientWordLists* SetClientWordLists(const ClientWordLists* lists) {
    const ClientWordLists* previous = g_lists;
    g_lists = lists;
    return previous;
}
