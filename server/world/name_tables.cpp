#include "server/world/name_tables.h"

#include <cstdio>
#include <cstring>

#include "core/file_layer.h"
#include "core/next_word.h"
#include "core/random_numbers.h"
#include "server/server_config.h"
#include "server/world/item.h"
#include "server/world/mobile.h"
#include "server/world/object_templates.h"

const std::vector<std::string>* NameSet::ForSex(int sex) const {
    switch (sex) {
        case 0:
            return &male;
        case 1:
            return &female;
        case 2:
            return &other;
        default:
            return nullptr;
    }
}

bool AddNameEntry(NameSet& set, const char* entry) {
    char kind[1024];
    const char* rest = NextWord(entry, kind);
    while (rest && (*rest == ' ' || *rest == '\t' || *rest == '\r' || *rest == '\n'))
        ++rest;
    std::vector<std::string>* list = nullptr;
    if (std::strcmp(kind, "male") == 0) list = &set.male;
    if (std::strcmp(kind, "female") == 0) list = &set.female;
    if (std::strcmp(kind, "other") == 0) list = &set.other;
    if (!list) return false;
    list->emplace_back(rest ? rest : "");
    return true;
}

void CTemplateTable::UnloadNames() {
    nameSets_.clear();
}

void CTemplateTable::LoadNames() {
    ArchiveHandle table = net_openfile(50, "namestable.dat", "r");
    if (table) {
        LoadNamesFrom(table);
        ArchiveClose(table);
        return;
    }
    for (int n = 0; n <= kLastTemplateNumber; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "names.%d", n);
        ArchiveHandle file = net_openfile(50, name, "r");
        if (!file) continue;
        ReadOneNameSet(file, n);
        ArchiveClose(file);
    }
}

void CTemplateTable::LoadNamesFrom(ArchiveHandle file) {
    if (!file) return;
    for (;;) {
        const char* entry = ReadBracketEntry(file);
        if (!entry) break;
        const int n = static_cast<int>(std::strtol(entry, nullptr, 10));
        ReadOneNameSet(file, n);
        if (n >= kLastTemplateNumber) break;
    }
}

void CTemplateTable::ReadOneNameSet(ArchiveHandle file, int number) {
    auto set = std::make_unique<NameSet>();
    while (const char* entry = ReadBracketEntry(file))
        AddNameEntry(*set, entry);
    nameSets_.emplace(number, std::move(set));  // a number read twice keeps its first set
}

const NameSet* CTemplateTable::FindNameSet(int number) const {
    auto it = nameSets_.find(number);
    return it == nameSets_.end() ? nullptr : it->second.get();
}

std::string CTemplateTable::DrawName(int number, int sex) const {
    const NameSet* set = FindNameSet(number);
    const std::vector<std::string>* list = set ? set->ForSex(sex) : nullptr;
    if (!list || list->empty()) return "error";
    const int k = RandomRange(0, static_cast<int>(list->size()) - 1);
    return (*list)[k];
}

void CTemplateTable::PickName(CItem* object, const char* value) const {
    CMobile* mobile = object ? object->AsMobile() : nullptr;
    if (!mobile) return;
    char word[64];
    NextWord(value, word);
    const int number = static_cast<int>(std::strtol(word, nullptr, 10));
    mobile->SetName(DrawName(number, mobile->GetSex()).c_str());
}
