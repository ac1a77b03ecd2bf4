#pragma once
// CItem: every world object with a serial. An item lives in exactly one place at a time: the
// dynamic-object chain of a sector cell, the child list of a container, an equipment layer
// of a mobile, or nowhere (detached). It is registered by serial from construction to
// destruction.
#include <string>
#include <vector>

#include "core/cstr.h"
#include "server/world/base_object.h"

class CContainer;
class CMapItem;
class CNPC;
class CWeapon;
class CObjAttachments;
struct PlacementRecord;
struct TimedCallback;
struct ControllerInfo;

enum ItemStatus : u8 {
    kStatusWeightOverride = 0x01,
    kStatusHidden = 0x02,
    kStatusShowsNextGraphic = 0x04,
    kStatusShownByMulti = 0x10,
    kStatusDestroyedSent = 0x20,
    kStatusNoTriggers = 0x40,
    kStatusWeightless = 0x80,
};

constexpr int kLayerCount = 30;
constexpr int kNoLayer = 26;  // the placement record's "worn on no layer"
constexpr int kBankBoxLayer = 29;
constexpr u16 kCampFireGraphic = 2839;

class CItem : public CCountedObject {
public:
    CItem();
    ~CItem() override;

    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    bool IsDynamic() const override { return true; }
    bool IsGeneric() const override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    int GetHeight() const override;
    u32 GetObjectFlags() const override;
    void MoveToSectorChainEnd() override;
    const char* GetName(int flag) const override;
    Location GetWorldLocation() const override;
    bool IsDoor() const override;
    bool IsClosedDoor() const override;
    void DeleteSelf() override;
    int GetQuantity() const override;
    int GetResourceAmount(int key) const override;

    virtual void DumpText(CStr& out, int withHeading);
    virtual bool MoveTo(const Location& at);
    virtual bool ReturnToLastPlace();
    virtual bool MoveToChecked(const Location& at);
    virtual bool AddToContainer(CItem* container, const Location& at);
    virtual bool InsertIntoContainerByX(CItem* container);
    virtual bool InsertIntoContainerOrdered(CItem* container);
    virtual bool EquipOn(CMobile* mobile, int layer);
    virtual bool PutInPack(CMobile* mobile);
    // Appends the object's save record (and what it holds and wears) to the bytes; with
    // `withLetter` the record opens with its class letter. Answers the bytes appended.
    virtual int WriteSaveFields(std::string& out, int withLetter);
    virtual int GetTotalValue();
    // A value of 0 or less becomes the tile base value, and never less than 1.
    int ApplyValueMinimum(int value) const;
    virtual bool IsMobile() const { return false; }
    virtual bool IsContainer() const { return false; }
    virtual bool IsUsableContainer() const { return false; }
    virtual bool IsBulletinBoard() const { return false; }
    virtual bool IsMap() const { return false; }
    virtual bool IsNPC() const { return false; }
    virtual bool IsShopKeeper() const { return false; }
    virtual bool IsGuard() const { return false; }
    virtual bool IsReservedKind() const { return false; }
    virtual bool IsGhost() const { return false; }
    virtual bool IsWeapon() const { return false; }
    virtual bool IsCorpse() const { return false; }
    virtual bool IsSpellbook() const { return false; }
    virtual bool IsContained() const;
    virtual bool IsEquipped() const;
    virtual int GetEquipLayer() const;
    virtual bool IsMovableBy(CMobile* mobile) const;
    virtual bool IsFreelyUsable(CMobile* mobile) const;
    virtual bool IsFreelyViewable(CMobile* mobile) const;
    virtual bool IsMultiCompOrSectorResources() const;
    virtual int GetWeight() const;
    virtual int GetContentWeight() const;
    virtual bool CanStackWith(CItem* other) const;
    virtual void GetDescriptiveName(CStr& out, int withAmount) const;
    // Whether the object is shown to a player on its own: one shown through its multi comes
    // with the multi, and a mobile out of the world or gone is not shown.
    virtual bool IsShownAlone() const { return !(status_ & kStatusShownByMulti); }
    virtual int GetLayerByte() const;
    virtual void GetArtSize(int& width, int& height) const;
    virtual void SetSerial(u32 serial);
    virtual void CheckDecay();
    virtual void DropContentsAt(const Location& at);
    virtual void DropContentsOrSendHome(const Location& at);
    virtual void DeleteContentsOrSendHome();
    virtual void RecalcWeight();
    virtual void CheckRegistration();
    virtual CItem* FindSelfBySerial() const;
    virtual void CheckRegistrationUnlessLoading();
    virtual CItem* FindObjVarListHolder(const char* listName, CItem* object);
    virtual int GetPacketAmount() const;
    virtual void ApplyStatusFlags(u8 packetStatus);
    virtual void GetStatusFlags(u8& packetStatus) const;
    virtual bool IsHidden() const;
    virtual void SetHidden(bool hidden);
    // Reputation (reputation.cpp): "murderCount" = max(0, count), then the trigger
    // "murdercountchanged".
    virtual void SetMurderCount(int count);
    // How this object stands toward the viewer (a NotorietyClass, 1..6).
    virtual int GetNotorietyFor(CMobile* viewer) const;
    // Re-arms the aggression mark (and lawful damage, and the controller timer when set).
    virtual void RefreshAggression();
    // Whether the attacker (with its controller record) may attack this object lawfully.
    virtual bool IsLawfulTargetWithInfo(CMobile* attacker, ControllerInfo* info);
    virtual bool CanBeFreelyAggressedBy(CMobile* attacker);
    virtual void RecordAggressionWithInfo(CMobile* aggressor, CPlayer* controller,
                                          u32 controllerSerial);
    virtual void ReceiveAggressionFrom(CMobile* aggressor);
    // Harm done by the doer: aggression recorded, then lawful damage or a crime. With `report`
    // a player victim may report the doer's controller.
    virtual void ReceiveUnhealthyActionFrom(CMobile* doer, bool report);
    virtual void GetControllerInfo(ControllerInfo& out);
    // A fame and karma change earned by this object goes to its controller.
    virtual void ChangeReputation(int fame, int karma);
    int GetMurderCount() const;
    bool IsMurderer() const { return GetMurderCount() > 4; }
    bool IsCriminal() const;
    // Whether this object's guild is at war with the guild (stone, type) of another.
    bool IsGuildEnemy(u32 guildstone, int guildType) const;
    // The criminal mark for so many pulses; a new criminal is sent again to the players near.
    void MarkCriminal(int ticks);
    // The mark of that index expired (the reputation callback).
    void ExpireReputation(int index);
    // Harm done by the doer recorded: aggression, then lawful damage or a crime (and the
    // controller's share). Fills the doer's controller record; true when it was a crime.
    bool RecordHarmFrom(CMobile* doer, ControllerInfo& info);

    // The item as its class, or null when it is of another class.
    CContainer* AsContainer();
    const CContainer* AsContainer() const;
    CMobile* AsMobile();
    const CMobile* AsMobile() const;
    CPlayer* AsPlayer();
    CNPC* AsNPC();
    CWeapon* AsWeapon();
    CMapItem* AsMap();

    // Plain accessors and non-virtual behaviour.
    u32 GetSerial() const { return serial_; }
    void SetSerialField(u32 serial) { serial_ = serial; }
    u8 GetStatus() const { return status_; }
    void SetStatus(u8 status) { status_ = status; }
    u8 GetDecayCount() const { return decayCount_; }
    void SetDecayCount(u8 count) { decayCount_ = count; }
    CItem* GetContainer() const { return container_; }
    CItem* GetNextSibling() const { return nextSibling_; }
    CItem* GetPrevSibling() const { return prevSibling_; }
    PlacementRecord* GetPlacement() const { return placement_; }
    void* GetMultiLink() const { return multiLink_; }
    void SetMultiLink(void* link) { multiLink_ = link; }
    // The graphic with the status-0x04 increment.
    int GetShownGraphic() const;

    // Resource units (item_stacking.cpp). A generic item's quantity is the number of whole
    // units of its graphic's needs (the held entries of its resource prototype); a need of
    // amount 0 or less is no need.
    bool HasRequiredResources() const;
    bool HoldsOnlyRequiredResources() const;
    int CountResourceUnits() const;
    bool HasUnitsFor(int n) const;
    // Trims the held needs to (units - n) whole units; with none left the item deletes
    // itself and the answer is false.
    bool ConsumeResourceUnits(int n);
    // The target takes n units' worth of its needs from this item, which is then trimmed to
    // its whole units (false when it was deleted because none remained).
    bool TransferResourceUnits(CItem* target, int n);

    // Stacking (item_stacking.cpp). The source merges into the target and is deleted; false
    // when the target could not be put back.
    bool StackOnto(CItem* target);
    bool MergeOnto(CItem* target) { return StackOnto(target); }
    // A new detached item holding `amount` units split off this stack; this stack goes back
    // where it was. Null when nothing could be made.
    CItem* SplitStack(int amount);

    // Sends the item again to the players within 18 tiles (not for a detached item).
    void ResendToRange(int flag);
    // The int object variable "overloadedWeight" replaces the tile weight (status 0x01).
    void SetOverloadedWeight(int weight);
    void RestoreWeightOverride();
    // Exempt from weight: see IsWeightless in item_stacking.cpp.
    bool IsWeightless() const;
    // The int object variable of the name, when it exists.
    bool GetObjVarIntChecked(const char* name, s32& out) const;

    CMobile* GetTopMobile() const;
    bool IsInTrade() const { return false; }  // trade sessions are not built: never in one
    void SetTemplateId(int id);
    void LeaveTemplateList();

    // Links the item at the head of its cell's dynamic-object chain; loc = the Location.
    void LinkIntoCell(const Location& at);

    // The placement record (where the item was before it was taken away). An item worn on
    // layer 0 is recorded as worn only when every layer counts.
    enum class WornLayers : u8 { kFromLayerOne, kAny };
    void RecordPlacement(WornLayers layers);
    void FreePlacement();
    void SetPlacementContainer(u32 serial);
    void SetPlacementWearer(u32 serial);
    void SetPlacementLayer(int layer);
    void SetPlacementLocation(int x, int y, int z);
    void SetPlacementContainerLocation(int x, int y, int z);

    // Whether the item (a container counts itself) or a container above it is worn on the bank
    // box layer.
    bool IsInBankBox() const;
    // Graphics the decay removal leaves alone.
    bool IsDecayIgnoredGraphic() const;
    // The multi hook of putting an item into a container; multis are not built.
    bool NotifyMultiOfPlacement(CItem*) { return true; }

    // The end of an object's life by decay (decay.cpp): home when it has one, else deleted; a
    // container in the world spills its contents first (flag 0) or loses them (flag 1).
    void DecayNow(int flag);

    // Destroyed trigger; true when the object still resolves to itself afterwards.
    bool DeleteSelfChecked();

    // The int object variable "valueless" exists, whatever its value. Such an item placed in
    // the world deletes itself after 240 pulses unless it is taken away first.
    bool IsValueless() const;
    // Marks the item worth nothing ("valueless" 1), its decay count at the decay limit.
    void MakeValueless();
    // Puts the item back on the timed-callback pending list when it has callbacks (an object
    // resumed into the world).
    void EnsurePending();

    // Home: the Location object variable "home". SetHome with an unset Location removes it.
    bool HasHome() const;
    bool GetHome(Location& out) const;
    void SetHome(const Location& at);
    void SetHomeHere();  // the item's world location
    void RemoveHome();
    // Moves the item home: false without a home or when it lies outside the grid.
    bool SendHome();
    // An uncontained item that is not a mobile, standing exactly at its home, when the home
    // lies in a city or justice region.
    bool IsAtHome() const;

    // The heads of the object's script attachment set and timed callback list; the script
    // runtime owns what they point to (null when there is none).
    CObjAttachments*& ScriptAttachments() { return attachments_; }
    const CObjAttachments* ScriptAttachments() const { return attachments_; }
    TimedCallback*& TimedCallbacks() { return callbacks_; }
    // Marks the object out of the world (or back in); its timed callbacks stand still while
    // it is out.
    void SetDetached(bool value);

    // Links of the serial hash, the template list and the sibling chain (owned by the object
    // manager, the sector grid and the containers).
    CItem* bucketNext = nullptr;
    CItem* bucketPrev = nullptr;
    CItem* templateNext = nullptr;
    CItem* templatePrev = nullptr;

protected:
    friend class CSectorGrid;
    friend class CContainer;
    friend class CMobile;
    friend class CObjectManager;
    friend void SuspendObjectTree(CItem*);
    friend void ResumeObjectTree(CItem*);
    friend struct ObjectFieldAccess;
    // The climb of the access rules: every container passed must be usable, and a mobile is
    // entered only through its backpack or by the item being worn (*owner = that mobile).
    // 1 when the climb passes, else 0.
    int AccessThroughContainers(const CItem** owner) const;
    // Less than 4 tiles away (wrapped) and in the mobile's sight.
    bool IsWithinReachOf(CMobile* mobile) const;
    // A random corner inside the holder's window for this item's art (z 0).
    Location RandomSpotIn(const CContainer* holder) const;
    // Links before the first child whose key (x, or the sort key of a spellbook) is not
    // below this item's.
    bool InsertIntoContainerOrderedBy(CItem* container, bool byX);
    // 0x25 to the players in range (unless loading) and the carrier's status.
    void NotifyContainerPlacement();
    // Weight bookkeeping with the container, skipped for a weightless item; both answer the
    // equipment layer (-1 if none).
    int AddWeightTo(CItem* container);
    int RemoveWeightFrom(CItem* container);
    // Unlinks from the sibling chain (container child list or cell chain).
    void UnlinkFromChain();
    void RemoveCommon(bool loud);
    // A valueless item gets its action-8 callback (replacing an earlier one).
    void ScheduleValuelessExpiry();

    TimedCallback* callbacks_;
    CItem* nextSibling_;
    CItem* prevSibling_;
    CItem* container_;
    PlacementRecord* placement_;
    u32 serial_;
    u8 status_;
    u8 decayCount_;
    CObjAttachments* attachments_;
    void* multiLink_;
    // Set while a tree is suspended: the object was detached when it was taken out.
    bool suspendedDetached_ = false;
};

// The object under `serial` when it is still this very object, else null.
CItem* IsObjectAlive(u32 serial, const CItem* object);
