#pragma once
// The multi definitions: which items a multi type (a house, a boat) is made of and where each
// stands relative to the first one, the master. They are read at start-up from the text file
// `multi.txt` into the one table `g_multiTable`, which answers placement questions for a type
// before any item exists and writes the definitions as the client's `multi.idx`/`multi.mul`
// pair. The content builder writes `multi.txt` with `FormatMultiText`, the reader's twin.
//
// multi.txt: line 1 the format version (below 3: nothing is loaded); then records of a type
// line, the unused lines of the version (one from version 6 on, two for versions 3 and 4), a
// component count and that many component lines: "graphic x y z script" in version 3,
// "graphic x y z flags script script ..." from version 4 on. Every line is read within 511
// characters. A component line that does not scan still adds an entry with the fields it had
// (graphic 0, offset (-1, -1, -1), flags 0 otherwise); a count past the lines present stops
// at the end of the file. A type met a second time keeps its first definition.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

struct MultiComponentEntry {
    u16 graphic = 0;
    Location offset{-1, -1, -1};
    std::vector<std::string> scripts;
    // Non-zero hides the item on its own once the multi is built (it is shown with its multi).
    s32 flags = 0;
    bool operator==(const MultiComponentEntry&) const = default;
};

struct CMultiDef {
    // Smallest and largest offset per coordinate; (-1, -1, -256) for both without components.
    Location min{-1, -1, -256};
    Location max{-1, -1, -256};
    std::vector<MultiComponentEntry> components;  // entry 0 is the master
    bool operator==(const CMultiDef&) const = default;
};

// Widens a definition's min and max over its component offsets.
void ComputeMultiExtents(CMultiDef& def);

// The outcomes of placing a multi type; values as scripts see them.
enum MultiPlaceCode : int {
    kMultiNoDefinition = -2,
    kMultiOffMap = -1,
    kMultiBlocked = 0,
    kMultiFits = 1,
};

// The data-file id of multi.txt (core/file_layer).
constexpr int kMultiTextFileId = 42;

class CMultiTable {
public:
    static constexpr int kMaxLine = 511;
    static constexpr int kIndexEntries = 4096;
    static constexpr int kIndexEntrySize = 12;
    static constexpr int kComponentRecordSize = 12;
    static constexpr int kLowestVersion = 3;
    static constexpr int kCurrentVersion = 6;

    // Reads `multi.txt` from the data archive; a file that cannot be opened or is empty
    // leaves the table empty (said once in the log).
    void LoadMultiText();
    // Replaces the table with the definitions of one file's text.
    void LoadText(std::string_view text);
    void Clear() { defs_.clear(); }

    // Null for a type without a definition.
    const CMultiDef* Find(int type) const;
    // Adds a definition; false (and the table unchanged) when the type has one already.
    bool Insert(int type, CMultiDef def);
    const std::map<int, CMultiDef>& All() const { return defs_; }

    // Whether a multi of the type could stand with its master at `at`: kMultiNoDefinition,
    // else the first component that fails decides (kMultiOffMap outside the sector grid,
    // kMultiBlocked without a surface for it there), else kMultiFits.
    int CanExistAt(int type, const Location& at, int moveType) const;
    bool GetExtents(int type, Location& min, Location& max) const;
    bool GetComponentCount(int type, int& count) const;
    // Max - min per coordinate; false (and zeros) for a type without a definition.
    bool GetSize(int type, int& dx, int& dy, int& dz) const;
    // Whether a mobile stands (z within -128..128) at the spot of any component.
    bool AreMobilesInArea(int type, const Location& at) const;

    // A type's components as 12-byte little-endian records (empty without a definition).
    std::vector<u8> BuildComponentData(int type) const;
    // The client's pair in memory: 4096 index entries (offset, length, extra; -1, -1, -1 for
    // a type without a definition, extra 0 for a defined one) and the records of the defined
    // types below 4096 in ascending order.
    void BuildMultiFiles(std::vector<u8>& index, std::vector<u8>& data) const;
    // Writes that pair to the two paths; false with the path that failed.
    bool WriteMultiFiles(const std::string& indexPath, const std::string& dataPath,
                         std::string* error) const;

private:
    std::map<int, CMultiDef> defs_;
};

// The text of a multi.txt in the current version for the definitions, in ascending type
// order; `LoadText` reads it back to the same table.
std::string FormatMultiText(const std::map<int, CMultiDef>& defs);

extern CMultiTable g_multiTable;
