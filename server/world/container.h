#pragma once
// Containers: items that hold other items in a child list (bags, chests, corpses, bulletin
// boards, and every mobile). What goes in and out of them in detail, their weights and
// capacity, comes with the container rules; here they hold their child list.
#include "server/world/item.h"

// The deepest an item may sit in a chain of containers: every climb up a chain stops there, and
// a load drops what a save holds deeper.
inline constexpr int kMaxContainerDepth = 1000;

class CContainer : public CItem {
public:
    CContainer();
    ~CContainer() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    void DeleteSelf() override;
    bool IsContainer() const override { return true; }
    bool IsUsableContainer() const override;
    bool IsSpellbook() const override;
    int GetContentWeight() const override;
    void DropContentsAt(const Location& at) override;
    void DropContentsOrSendHome(const Location& at) override;
    void DeleteContentsOrSendHome() override;
    void RecalcWeight() override;
    void CheckRegistration() override;
    CItem* FindObjVarListHolder(const char* listName, CItem* object) override;
    // The 32-bit value of the graphic's tile record.
    virtual int GetMaxWeight() const;
    virtual void MarkContentsValueless();
    virtual void DeleteContents();
    virtual bool CancelTrade();
    // Whether the item fits the outermost container below the carrier (or in the world):
    // 400 stones and 125 items. A refusal sets *code (when given) to 1 for weight, 2 for count.
    virtual bool CanHold(CItem* item, int* code = nullptr) const;

    CItem* GetFirstChild() const { return firstChild_; }
    // Child-list links (the container rules insert in their own orders).
    void LinkChildAtHead(CItem* item);
    void LinkChildBefore(CItem* item, CItem* before);
    void UnlinkChild(CItem* item);
    // An object under the serial inside this container (children, recursively).
    CItem* FindContained(u32 serial) const;

    // Children, plus with `nested` those of child containers that are not weightless; 0 for a
    // weightless container.
    int CountItems(bool nested) const;
    bool Contains(const CItem* object, bool nested) const;
    // Units of the graphic in the children and in usable child containers.
    int CountAmount(int graphic) const;
    // Gathers `amount` units of the graphic from the container tree into one item (made
    // detached when `target` is null); the target, possibly short, or null when none exists.
    CItem* TakeAmount(int graphic, int amount, CItem* target);

    int GetGumpId() const;
    void GetGumpBounds(int& minX, int& maxX, int& minY, int& maxY) const;

    // The cached content weight (stones, 0..65,535: it stops at the ends instead of
    // wrapping). Changes climb to the containers above up to the first weightless one.
    int GetCachedContentWeight() const { return contentWeight_; }
    void AddContentWeight(int n);
    void RemoveContentWeight(int n);
    void RecalcContentWeight();
    // The same for every container inside first, so that coins deep inside a container
    // taken into or out of the bank box stop or start counting at every level.
    void RecalcTreeContentWeight();

protected:
    friend class CItem;
    friend struct ObjectFieldAccess;
    CItem* firstChild_;
    int contentWeight_;
};

// An item's own weight plus its contents, coins of graphic 3821 left out (what a container
// weighs once it is taken into the bank box).
int ContainerTreeWeight(const CItem* item);

class CCorpse : public CContainer {
public:
    CCorpse();
    ~CCorpse() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    bool IsCorpse() const override { return true; }
    int GetLayerByte() const override { return GetDirection(); }
    int GetPacketAmount() const override { return corpseType_; }
    virtual void SetDirection(int facing) { facing_ = facing; }

    int GetDirection() const { return facing_ & 0xFF; }
    u16 GetCorpseType() const { return corpseType_; }
    void SetCorpseType(u16 type) { corpseType_ = type; }
    CItem* worn[26];

protected:
    u16 corpseType_;
    int facing_;
};
