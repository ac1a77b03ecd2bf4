#pragma once
// The root of the world's class tree: every thing in the world is a CBaseObject. Fixed
// scenery is a CStaticObject (no serial, from a pool); everything that can be counted in
// units of resources derives from CCountedObject; everything with a serial is a CItem.
//
// The virtual operations are declared in one fixed order, base operations first; the class
// files of later subsystems fill in the bodies that belong to them.
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CItem;
class CMobile;
class CPlayer;
class CStaticObject;
struct ResourceEntry;

// The type stored instead of any graphic of 0x4000 or above.
constexpr u16 kInvalidTypeReplacement = 2429;
constexpr int kNoTemplate = 0xFFFF;

// Bits that GetObjectKind answers.
enum ObjectKind : int {
    kKindStatic = 1,
    kKindItem = 2,
    kKindContainer = 4,
    kKindMap = 8,
    kKindMobile = 16,
    kKindNpc = 32,
    kKindShopKeeper = 64,
    kKindGuard = 128,
    kKindPlayer = 256,
    kKindGhost = 2048,
    kKindWeapon = 4096,
    kKindBulletinBoard = 8192,
};

// The movement types (0-8) that the code tests by name.
enum MoveType : int {
    kMoveTypeFlying = 2,   // travels above the floor and may hover under a blocker
    kMoveTypeGhost = 6,    // passes doors, movable objects and other mobiles
    kMoveTypeEditing = 7,  // edit mode with pass-through: every tile and object is ground
};

// Move-class bits: what an object presents to a walker.
enum MoveClassBit : u32 {
    kMoveBlocking = 0x40,
    kMoveSurface = 0x200,
    kMoveBridge = 0x400,
};

// Process-wide counts of live objects per class (constructors add, destructors subtract).
struct LiveObjectCounts {
    int baseObjects;
    int countedObjects;
    int items;
    int mapItems;
    int staticsInUse;
};
extern LiveObjectCounts g_liveObjects;

class CBaseObject {
public:
    CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    virtual ~CBaseObject();
    virtual void PlaceInWorld(const Location& at);
    virtual void PlaceInWorldQuiet(const Location& at);
    virtual void RemoveFromWorld();
    virtual void RemoveFromWorldQuiet();
    virtual bool IsStatic() const;
    virtual bool IsPlayer() const;
    virtual bool IsDynamic() const;
    virtual bool IsGeneric() const;
    virtual int GetValue(int useTypeBase, int applyMinimum);
    virtual int GetHeight() const;
    virtual int GetSurfaceHeight() const;
    virtual u32 GetObjectFlags() const;
    virtual const char* GetRealName() const;
    virtual bool IsHair() const;
    virtual void MoveToSectorChainEnd();
    virtual u32 GetMoveClass(int moveType) const;
    virtual u32 GetLandMoveClass(int landTile) const;
    // What `other` presents to this object when it walks (its own movement type).
    virtual u32 GetMoveClassDefault(const CBaseObject& other) const;
    virtual const char* GetName(int flag) const;
    virtual void BarkUnicode(const u16* text, int hue, int font, int type);
    virtual void Bark(const char* text, int hue, int font, int type);
    virtual void EBarkUnicode(const u16* text, int hue, int font, int type);
    virtual void EBark(const char* text, int hue, int font, int type);
    virtual void BarkToHuedUnicode(CPlayer* player, CBaseObject* subject, const u16* text, int hue);
    virtual void BarkToHued(CPlayer* player, CBaseObject* subject, const char* text, int hue);
    virtual void BarkToUnicode(CPlayer* player, CBaseObject* subject, const u16* text);
    virtual void BarkTo(CPlayer* player, CBaseObject* subject, const char* text);
    virtual void EBarkToHuedUnicode(CPlayer* player, CBaseObject* subject, const u16* text,
                                    int hue);
    virtual void EBarkToHued(CPlayer* player, CBaseObject* subject, const char* text, int hue);
    virtual void EBarkToUnicode(CPlayer* player, CBaseObject* subject, const u16* text);
    virtual void EBarkTo(CPlayer* player, CBaseObject* subject, const char* text);
    virtual Location GetWorldLocation() const;
    virtual bool IsDoor() const;
    virtual bool IsClosedDoor() const;
    virtual bool IsDetached() const;
    virtual void DeleteSelf();
    virtual int GetMoveType() const;

    // The object as its class, or null when it is of another class (in place of a kind test
    // followed by a cast).
    CItem* AsItem();
    const CItem* AsItem() const;
    CStaticObject* AsStatic();

    u16 GetType() const { return type_; }
    void SetType(int type);
    u16 GetHue() const { return hue_; }
    void SetHue(u16 hue) { hue_ = hue; }
    const Location& GetLocation() const { return loc_; }
    // Copies a Location into loc with no world update.
    void SetLocationField(const Location& at) { loc_ = at; }

    // What stands on this object (a surface): the dynamic objects stacked on its top.
    void CollectObjectsOnTop(std::vector<CItem*>& out);
    void GetObjectsOnTop(std::vector<u32>& serials);

protected:
    u16 type_;
    bool detached_;
    u16 hue_;
    Location loc_;
};

// The move class of a land tile for a movement type.
u32 GetLandMoveClassFor(int tile, int moveType);
// The move class of an object with the given flags and graphic for a movement type.
u32 MoveClassFromFlags(const CBaseObject& object, u32 flags, int moveType);

class CStaticObject : public CBaseObject {
public:
    CStaticObject();
    ~CStaticObject() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    bool IsStatic() const override { return true; }
    int GetHeight() const override;
    u32 GetObjectFlags() const override;
    void MoveToSectorChainEnd() override;

    // A static object from the pool, and its return (leaves the world first).
    static CStaticObject* Acquire();
    void Release();

    CStaticObject* next = nullptr;  // the statics chain of its cell
    CStaticObject* prev = nullptr;
    CStaticObject* poolNext = nullptr;

private:
    void Unlink();
};

class CCountedObject : public CBaseObject {
public:
    CCountedObject();
    ~CCountedObject() override;
    void DeleteSelf() override;
    virtual int GetQuantity() const;
    virtual bool IsSectorResources() const;
    virtual int GetResourceAmount(int key) const;

    // The resource list (kind 3 entries are what the object holds). Amounts never wrap: sums
    // and scaled copies stop at the ends of the 32-bit range.
    // Pushes the entry at the head; an older entry of the same type and kind is folded into
    // it (its three amounts added) and freed.
    void InsertResource(ResourceEntry* entry);
    ResourceEntry* UnlinkResource(ResourceEntry* entry);
    ResourceEntry* AddResource(int type, int kind, s32 first, s32 second, s32 third);
    // A copy scaled by the factor that starts full: (first, second, first) x factor.
    ResourceEntry* AddScaledCopy(const ResourceEntry& prototype, s32 factor);
    // Copies of the entries of the resource prototype of the object's graphic, scaled by the
    // factor; the creation location becomes `at` when it is unset. (Template lists join with
    // the template table.)
    void AddTypeResources(const Location& at, s32 factor);
    // The first entry of the non-zero type and the kind, or null.
    ResourceEntry* FindResource(int type, int kind) const;
    bool GetResourceAmountByNumber(s32& out, int type, int kind, int index) const;
    bool GetResourceAmountByName(s32& out, const char* name, int kind, int index) const;
    void ClearResources();
    // Moves up to `amount` of held current amounts from the source, over every type when
    // `type` is negative, entry by entry in list order.
    void TakeResources(CCountedObject* source, s32 amount, int type);
    // Removes up to `amount` of the held current amounts of the type, in list order.
    void RemoveResourceAmount(s32 amount, int type);
    void TakeAllResources(CCountedObject* source);
    int CountResourceEntries() const;

    const Location& GetCreationLocation() const { return cloc_; }
    void SetCreationLocation(const Location& at) { cloc_ = at; }
    int GetTemplateId() const { return template_; }
    void SetTemplateField(int id) { template_ = static_cast<u16>(id); }
    ResourceEntry* GetResources() const { return resources_; }

protected:
    Location cloc_;
    u16 template_;
    ResourceEntry* resources_;
};

// The kind bit of an object's class (the decay code asks which objects may decay).
ObjectKind GetObjectKind(const CBaseObject* object);
bool MatchesObjectKind(const CBaseObject* object, ObjectKind kind);
