#pragma once
// The save fields of world objects: the value encodings their text records share (escaped
// text, hexadecimal wide text, list text, script records), the writer of one object's record
// with what it holds and wears, and the application of one key=value field to an object being
// loaded. The fields themselves are one table per class (save_field.h): item_save_fields.cpp
// for items, weapons and corpses, mobile_save_fields.cpp for mobiles, NPCs, shopkeepers and
// players.
//
// A record is a run of NUL-terminated strings: "@=" and a class letter, then key=value
// fields, then an empty string; a container's contents follow, then a mobile's worn items
// by layer. Values are written whole however long they are (the buffers grow); every read
// is bounded by the end of the bytes it is given.
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/location.h"
#include "platform/types.h"
#include "server/world/placement_record.h"
#include "server/world/save_field.h"

class CCorpse;
class CItem;
class CMobile;
class CNPC;
class CPlayer;
class CScriptInstance;
class CScriptList;
class CScriptValue;
class CGuard;
class CShopKeeper;
class CWeapon;

// Escaped text: every blank and backslash is preceded by a backslash.
void AppendEscapedText(std::string& out, const char* text);
// Copies one escaped word from [p, end) into `out`; answers the position of the blank that
// ends it (not escaped), of the first NUL, or `end`.
const char* UnescapeWord(const char* p, const char* end, std::string& out);
// Hexadecimal wide text: four lower-case digits per UTF-16 unit, up to the zero unit.
void AppendHexUnits(std::string& out, const char16_t* units);
// Decodes four characters per unit up to a blank, a NUL or `end` (an unfinished group is
// dropped); answers that position. Upper-case digits read as hex too ("00E9" is 0x00E9).
const char* DecodeHexUnits(const char* p, const char* end, std::u16string& out);

// The script value type of a type word ("int" ... "lis" 0-5, "voi" 6), matched on its first
// three characters; -1 when none matches.
int TypeOfWord(const char* p, const char* end);
// List text: per element a blank, its type word, a blank and its value; a nested list is
// its count directly followed by its own elements.
void AppendListText(std::string& out, const CScriptList* list);
// Lists nest at most this deep when read; deeper elements end the read.
constexpr int kMaxListDepth = 32;
// Reads `count` elements into the list; an element whose type has no value reader counts
// but adds nothing. Answers the position after the last element read.
const char* ReadListText(const char* p, const char* end, CScriptList& list, int count,
                         int depth = 0);

// The value of a "wom_scr" field: the script's class name and member count, then per member
// its type word, name and value. Applying one attaches the script and sets the members whose
// name and type it still has.
void AppendScriptRecordText(std::string& out, CScriptInstance& instance);
void ApplyScriptRecordText(CItem* object, const std::string& value);
// The value of a "wom_var" field: the variable's type word, name and value.
void AppendVariableRecordText(std::string& out, const CScriptValue& variable);
void ApplyVariableRecordText(CItem* object, const std::string& value);

// Appends the object's record (and, recursively, its contents and worn items) to `out`.
// Answers the number of bytes appended.
int WriteObjectRecord(CItem& object, std::string& out, bool withLetter);

// Why the loader dropped an object.
enum class DropReason : u8 {
    kNoId,
    kDuplicate,
    kNoContainer,
    kNotWorn,
    kOffGrid,
    kBadWeaponTemplate,
    kDetached,
    kTooDeep,  // held deeper in a container chain than kMaxContainerDepth
    kCount,
};

// What one object's fields said that is acted on only when the object is finished.
struct ObjectLoadState {
    CItem* object = nullptr;
    u32 serial = 0;
    u32 container = 0;
    int layer = -1;
    bool discard = true;
    DropReason reason = DropReason::kNoId;
    bool hasHome = false;
    Location home;
    int bookStatus = -1;
    int bookCount = -1;
    int weaponRequest = -1;
    // Put back after linking, which resets them.
    u8 decayCount = 0;
    bool hasPlacement = false;
    PlacementRecord placement;
    // A corpse's worn-item entries, resolved once its record is read: (layer, serial).
    std::vector<std::pair<int, u32>> corpseItems;
    // The leader a follower joins after the load (0: none).
    u32 master = 0;
    // A player whose saved serial another object holds already.
    bool playerSerialTaken = false;
};

// Applies one key=value field to the object in `state` (unknown keys, and keys whose class
// test fails, do nothing). `value` runs to `end`.
void ApplyObjectField(ObjectLoadState& state, const std::string& key, const std::string& value);
// The object of a class letter (case-insensitive; any other letter gives a plain item).
CItem* NewObjectOfLetter(char letter);

// The deferred follower links of a load: after every record is read, each follower joins
// the leader of its saved serial when both still exist.
void DeferFollower(CItem* follower, u32 leaderSerial);
// Answers the number of links made; the queue is empty afterwards.
int ResolveDeferredFollowers();
void ClearDeferredFollowers();

// The loader's access to the links and fields the classes keep protected.
struct ObjectFieldAccess {
    // Moves an item that sits at the head of its sibling chain (cell chain or child list) to
    // just after `after` (a sibling in the same chain); the loader keeps saved order so.
    static void MoveAfter(CItem* item, CItem* after);
    // The loader pushes scripts, variables, resources and callbacks at the head of their
    // lists; these put the lists back in the order they were read.
    static void ReverseObjectLists(CItem* object);
    // Puts back what linking resets: the decay count and the placement record.
    static void RestoreAfterLinking(const ObjectLoadState& state);

    // The save fields of each class, in the order a record holds them.
    static std::span<const SaveField<CItem>> ItemFields();
    static std::span<const SaveField<CWeapon>> WeaponFields();
    static std::span<const SaveField<CCorpse>> CorpseFields();
    static std::span<const SaveField<CMobile>> MobileFields();
    static std::span<const SaveField<CNPC>> NpcFields();
    static std::span<const SaveField<CShopKeeper>> ShopKeeperFields();
    static std::span<const SaveField<CGuard>> GuardFields();
    static std::span<const SaveField<CPlayer>> PlayerFields();
};
