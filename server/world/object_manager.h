#pragma once
// The registry of world objects: issues serials, finds every item by serial (a table that
// grows with the world) and keeps them in 65,536 buckets by the low 16 bits of the serial
// (the order the decay sweep and the duplicate check walk), keeps per-template lists,
// creates objects of the right class for a graphic, and answers searches by place through
// the sector grid.
#include <vector>

#include "core/location.h"
#include "platform/types.h"
#include "server/world/base_object.h"
#include "server/world/serial_index.h"
#include "server/world/tile_data.h"

class CItem;
class CMobile;
class CNPC;
class CPlayer;
class CStaticObject;

constexpr u32 kFirstSerial = 0x40000001;
constexpr int kSerialBuckets = 65536;
constexpr int kTemplateLists = 4096;

// The switches of object handling. Each is changed only for a stretch of work, through an
// ObjectSwitchGuard that puts the old value back.
enum class ObjectSwitch : u8 {
    // Removals send the delete-object packet (on by default).
    kSendRemovalPackets,
    // Set by the world-editing commands while they create objects: a static request then
    // yields a pooled static object.
    kCreateStatics,
    // Players and sector resource holders refuse DeleteSelf unless these are set.
    kPlayerDeleteAllowed,
    kSectorResourcesDeleteAllowed,
    // Bulk work such as a world load: new objects get serial 0 (the reader sets the saved
    // one), and placing them sends nothing.
    kLoading,
    kCount,
};

// What CreateObjectOfType is asked for: a dynamic object, or a static one where the class
// allows it (a plain item, or any graphic while statics are created).
enum class ObjectForm : u8 { kDynamic, kStaticWanted };

class CObjectManager {
public:
    CObjectManager();
    ~CObjectManager();
    CObjectManager(const CObjectManager&) = delete;
    CObjectManager& operator=(const CObjectManager&) = delete;

    // Serials.
    u32 NewSerial() { return IsOn(ObjectSwitch::kLoading) ? 0 : IssueSerial(); }
    u32 IssueSerial() { return serialCounter_++; }
    u32 PeekSerialCounter() const { return serialCounter_; }
    void SetSerialCounter(u32 next) { serialCounter_ = next; }
    void OnSerialReleased(u32) {}
    void OnSerialChanging(CItem*) {}

    // The serial buckets and the lookup. Objects sharing a serial are found newest first.
    void LinkSerial(CItem* item);
    void UnlinkSerial(CItem* item);
    CItem* FindBySerial(u32 serial) const;
    CMobile* FindMobile(u32 serial) const;
    CNPC* FindNPC(u32 serial) const;
    CItem* GetBucketHead(int bucket) const {
        return bucket >= 0 && bucket < kSerialBuckets ? buckets_[bucket] : nullptr;
    }
    // How many buckets from `bucket` on (wrapping after the last) are empty, at most `limit`:
    // a sweep over the buckets steps over them without reading each.
    int EmptyBucketsFrom(int bucket, int limit) const;
    // Counts every object joining or leaving the lookup by serial. A sweep that took `known`
    // from the serial hash when the count stood at `stamp` finds it again without a lookup
    // while the count stands and no serial is shared (every linked object is then the one
    // its serial finds); otherwise it looks the serial up.
    u64 SerialLinkChanges() const { return linkChanges_; }
    CItem* FindAgain(u32 serial, CItem* known, u64 stamp) const {
        return stamp == linkChanges_ && index_.SharedSerials() == 0 ? known
                                                                    : FindBySerial(serial);
    }
    bool SerialExistsEitherForm(u32 serial) const;
    void CollectAllSerials(std::vector<u32>& out) const;

    // Template lists.
    void LinkTemplate(CItem* item, int id);
    void UnlinkTemplate(CItem* item);
    CItem* GetTemplateHead(int id) const;
    int GetTemplateCount(int id) const;

    // Creation.
    CItem* CreateItem(int graphic);
    CItem* CreateContainer(int graphic);
    CItem* CreateWeapon(int graphic);

    // Searches by place.
    CItem* FindNear(const CBaseObject& around, u32 serial, int radius) const;
    int SendSpeechTrigger(CItem* speaker, const Location& at, const char* text, int radius);
    CBaseObject* FindTopObjectAt(const Location& at) const;
    CBaseObject* FindObjectAtXY(const Location& at) const;
    CBaseObject* FindObjectAtXYZ(const Location& at) const;

    // Game-master check: objects of one bucket with equal serials are reported to the player
    // and the second of each pair gets a fresh serial.
    void CheckDuplicateIds(CPlayer* player);
    void SendCompressionNotice(CPlayer* player);

    // Table reads of the tile data.
    int GetItemTileWeight(int graphic) const;
    int GetItemTileHeightByte(int graphic) const;
    bool IsItemTileImpassable(int graphic) const;
    bool IsLandTileImpassable(int tile) const;

    // The table write brackets of the loaders.
    void UnlockTileData() {}
    void LockTileData() {}
    void UnlockAnimData() {}
    void LockAnimData() {}
    void UnlockHueTables() {}
    void LockHueTables() {}
    void UnlockItemResources() {}
    void LockItemResources() {}

    // The per-graphic resource prototype (null outside 0..0x3FFF).
    CCountedObject* GetResourcePrototype(int graphic) const;

    bool IsOn(ObjectSwitch which) const { return switches_[static_cast<int>(which)]; }

private:
    friend class ObjectSwitchGuard;
    bool switches_[static_cast<int>(ObjectSwitch::kCount)] = {true, false, false, false, false};
    u32 serialCounter_ = kFirstSerial;
    std::vector<CItem*> buckets_;
    std::vector<u64> bucketInUse_;  // one bit a bucket: set while it holds an object
    SerialIndex index_;
    u64 linkChanges_ = 0;
    std::vector<CItem*> templateHeads_;
    std::vector<int> templateCounts_;
    CCountedObject* prototypes_ = nullptr;
};

extern CObjectManager g_objectManager;

// Sets one switch of the object manager for the guard's lifetime; the old value comes back
// when the guard goes.
class ObjectSwitchGuard {
public:
    ObjectSwitchGuard(ObjectSwitch which, bool on, CObjectManager& manager = g_objectManager);
    ~ObjectSwitchGuard();
    ObjectSwitchGuard(const ObjectSwitchGuard&) = delete;
    ObjectSwitchGuard& operator=(const ObjectSwitchGuard&) = delete;

private:
    CObjectManager& manager_;
    ObjectSwitch which_;
    bool old_;
};

// An object of the class that the graphic's tile flags ask for, of that type; null for a
// graphic of 0x4000 or above.
CBaseObject* CreateObjectOfType(int graphic, ObjectForm form);
// Whether the object is itself in the chain of its serial's bucket (false for null).
bool IsRegistered(const CItem* object);
// Takes a whole object tree out of every registry (serial hash, cell chain, template list,
// mobile table) and puts it back; the objects keep their places and links meanwhile.
void SuspendObjectTree(CItem* object);
void ResumeObjectTree(CItem* object);
// The tile record of a graphic, copied into one record that the next call overwrites.
const StaticTileRecord& GetTileInfo(int graphic);

// Looks through a sibling chain (and into containers and what mobiles wear) for the serial.
CItem* FindInChain(u32 serial, CItem* first);
