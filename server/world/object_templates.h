#pragma once
// Object templates: numbered descriptions of what the world makes on demand (creatures,
// guards, shopkeepers, items) read from `templatestable.dat` (or one `template.N` file per
// template when the table is missing), with the text `defines` their values may use and the
// name sets of name_tables.h. One process-wide table, `g_templateTable`; creation from a
// template lives in template_creation.h.
//
// A template file is a run of bracket entries: '<N>' opens template N (an optional
// '#description' may follow on the same line), then '<key value>' entries, then
// '<@@@ END @@@>'. Text outside brackets is a comment.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/archive.h"
#include "core/cstr.h"
#include "core/weighted_list.h"
#include "platform/types.h"
#include "server/world/name_tables.h"

struct ResourceEntry;

// The key codes of template entries (several keys may share one code).
enum TemplateKeyCode : int {
    kKeyType = 0,
    kKeyAttitude = 1,
    kKeyConvFrag = 3,
    kKeyDexterity = 4,
    kKeyEq = 5,
    kKeyHp = 6,
    kKeyHue = 7,
    kKeyIntelligence = 8,
    kKeyMana = 9,
    kKeyNotoriety = 10,
    kKeyFame = 11,
    kKeyKarma = 12,
    kKeyName = 13,
    kKeyResource = 14,
    kKeyStrength = 15,
    kKeySex = 16,
    kKeyStamina = 17,
    kKeyScript = 18,
    kKeySkill = 19,
    kKeyRegion = 21,
    kKeySfxNotice = 22,
    kKeySfxIdle = 23,
    kKeySfxHit = 24,
    kKeySfxWasHit = 25,
    kKeySfxDie = 26,
    kKeyMulti = 27,
    kKeyObjVar = 28,
    kKeyQuality = 29,
    kKeyQuantity = 30,
    kKeyHeight = 31,
    kKeyWeight = 32,
    kKeyNaturalAc = 34,
    kKeyNaturalWc = 35,
    kKeyResistances = 36,
    kKeyImmunities = 37,
    kKeyJob = 38,
    kKeyRegionLimit = 39,
    kKeyLoadOnly = 40,  // frequency, movetype, alignment: they act only while loading
    kKeyFriends = 41,
    kKeyMoveTypeUnused = 42,
    kKeyPartialHue = 43,
    kKeyCorpseName = 44,
    kKeyFleeVal = 45,
    kKeyCreatesNpcs = 46,
    kKeyReq = 47,
    kKeyRealName = 48,
};

// The code of a template key (compared without regard to case), or -1 for a key the table
// does not know.
int TemplateKeyCodeOf(const char* key);

enum class TemplateKind : u8 { None = 0, Item = 1, Normal = 2, Guard = 3, ShopKeeper = 4 };

constexpr int kMaxTemplateEntries = 512;
constexpr int kTemplateDescriptionSlots = 4096;
// Template and name-set numbers read from a table file end the file after this one.
constexpr int kLastTemplateNumber = 4096;

struct TemplateEntry {
    int code = 0;
    std::string value;
};

class ObjectTemplate {
public:
    ObjectTemplate() = default;
    ~ObjectTemplate();
    ObjectTemplate(const ObjectTemplate&) = delete;
    ObjectTemplate& operator=(const ObjectTemplate&) = delete;

    std::vector<TemplateEntry> entries;  // file order; the first is the type line
    ResourceEntry* resources = nullptr;  // "resource" lines, the last read at the head
    int frequency = 0;
    CWeightedList<CStr> regions;
    CWeightedList<CStr> regionLimits;
    CWeightedList<CStr> friends;
    int moveType = -1;
    int alignment = 0;  // 1 good, 0 neutral, 2 evil, 3 chaotic
    CStr corpseName;
    u8 fleeValue = 16;
    TemplateKind kind = TemplateKind::None;
    int createsCreatures = 0;
};

class CTemplateTable {
public:
    CTemplateTable();
    ~CTemplateTable();
    CTemplateTable(const CTemplateTable&) = delete;
    CTemplateTable& operator=(const CTemplateTable&) = delete;

    // Name sets, defines, then templates, from the bank directory of the data archive.
    void Load();
    // Removes every name set, define and template; descriptions stay.
    void Unload();
    void UnloadNames();
    void UnloadDefines();
    void UnloadTemplates();

    // The readers over open files (null: nothing to read). Without a table file the
    // separate files are probed through `net_openfile`.
    void LoadNames();
    void LoadDefines();
    void LoadTemplates();
    void LoadNamesFrom(ArchiveHandle file);
    void LoadDefinesFrom(ArchiveHandle file);
    void LoadTemplatesFrom(ArchiveHandle file);
    // The same readers over texts held in memory (tests, the content builder).
    void LoadNamesText(std::string_view text);
    void LoadDefinesText(std::string_view text);
    void LoadTemplatesText(std::string_view text);

    // Substitutes defines token by token into `out`; 1 when at least one was substituted.
    int ExpandDefines(const char* value, std::string& out) const;
    // The replacement text of a define, or null.
    const std::string* FindDefine(const char* name) const;

    int Contains(int number) const { return Find(number) != nullptr ? 1 : 0; }
    ObjectTemplate* Find(int number) const;
    int CreatesCreatures(int number) const;
    int IsShopKeeperTemplate(int number) const;
    // The graphic of the type line (a weighted choice drawn anew); 0 without the template.
    u16 GetTemplateGraphic(int number) const;
    int TemplateCount() const { return static_cast<int>(templates_.size()); }
    // Template numbers in increasing order.
    std::vector<int> TemplateNumbers() const;
    // The description of a number 0-4095, or null.
    const char* GetDescription(int number) const;

    static int ParseAlignmentWord(const char* text);

    // Name sets (name_tables.cpp).
    const NameSet* FindNameSet(int number) const;
    int NameSetCount() const { return static_cast<int>(nameSets_.size()); }
    // Names a mobile from the set the value's first word numbers ("error" when it cannot).
    void PickName(class CItem* object, const char* value) const;
    // The name a mobile of the sex byte would draw from set `number`, or "error".
    std::string DrawName(int number, int sex) const;

private:
    void ReadOneNameSet(ArchiveHandle file, int number);
    void ReadTemplateBody(ArchiveHandle file, int number, int& runningCreates, bool tableFile);
    void ApplyLoadEffect(ObjectTemplate& t, const char* key, const TemplateEntry& e,
                         int& runningCreates);
    void ReadDescription(ArchiveHandle file, int number);

    std::map<int, std::unique_ptr<ObjectTemplate>> templates_;
    std::map<int, std::unique_ptr<NameSet>> nameSets_;
    std::map<std::string, std::string> defines_;  // names lower-cased
    std::vector<std::string> descriptions_;       // 4096 slots
    std::vector<bool> hasDescription_;
};

extern CTemplateTable g_templateTable;

// "Template #N" or the number's description.
std::string TemplateDescription(int number);

// Parses a list value ("word" or "{ word weight ... }") into the list: a lone word is added
// with weight 1; pairs are added at the head, each only when more text follows its weight.
void ParseWeightedWords(const char* value, CWeightedList<CStr>& list);
// The same from a position in a text, after the '{' was read; the position moves past the
// list.
void ParseWeightedWordsFrom(const char*& text, CWeightedList<CStr>& list);

// RollDice for template text: a dice count above 1000 is refused (0) and logged naming the
// template, since a huge count would stall creation.
constexpr int kMaxTemplateDiceCount = 1000;
int RollTemplateDice(const char* text, int templateNumber);

// The decimal reading of template text: leading white space and sign, digits up to the first
// other character, 0 without digits; held to the int range.
int TemplateDecimal(const char* text);
// The text after its leading white space (null stays null).
const char* SkipTemplateBlanks(const char* text);

// Runs `read` over a handle on the text (no call for an empty text).
void WithTextHandle(std::string_view text, void (*read)(void* context, ArchiveHandle file),
                    void* context);
