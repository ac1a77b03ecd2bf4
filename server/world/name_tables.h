#pragma once
// Name sets: numbered lists of male, female and other names that creatures made from
// templates draw their names from ('<name 3>' in a template). They are read from
// `namestable.dat` (or one `names.N` file per set) with the templates and kept in the
// template table (object_templates.h), which also draws the names.
#include <string>
#include <vector>

struct NameSet {
    std::vector<std::string> male;
    std::vector<std::string> female;
    std::vector<std::string> other;

    // The list a creature of the sex byte draws from (0 male, 1 female, 2 other), or null.
    const std::vector<std::string>* ForSex(int sex) const;
};

// Adds one name entry ("male Bob", "Female Ann", "other Thing") to the set: the kind word is
// compared lower-cased, the name is the rest after its leading white space, trailing blanks
// kept. False (nothing added) for another kind word.
bool AddNameEntry(NameSet& set, const char* entry);
