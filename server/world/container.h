#pragma once
// Containers: items that hold other items in a child list (bags, chests, corpses, bulletin
// boards, and every mobile). What goes in and out of them in detail, their weights and
// capacity, comes with the container rules; here they hold their child list.
#include "server/world/item.h"

class CContainer : public CItem {
public:
    CContainer();
    ~CContainer() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    void DeleteSelf() override;
    bool IsContainer() const override { return true; }
    bool IsUsableContainer() const override { return true; }
    bool IsSpellbook() const override { return false; }
    int GetContentWeight() const override;
    void DropContentsAt(const Location& at) override;
    void DropContentsOrSendHome(const Location& at) override;
    void DeleteContentsOrSendHome() override;
    void RecalcWeight() override;
    void CheckRegistration() override;
    CItem* FindObjVarListHolder(const char* listName, CItem* object) override;
    virtual int GetMaxWeight() const;
    virtual void MarkContentsValueless();
    virtual void DeleteContents();
    virtual bool CancelTrade();
    virtual bool CanHold(CItem* item) const;

    CItem* GetFirstChild() const { return firstChild_; }
    // Child-list links (the container rules insert in their own orders).
    void LinkChildAtHead(CItem* item);
    void UnlinkChild(CItem* item);
    // An object under the serial inside this container (children, recursively).
    CItem* FindContained(u32 serial) const;

protected:
    friend class CItem;
    CItem* firstChild_;
    int contentWeight_;
};

class CBulletinBoard : public CContainer {
public:
    CBulletinBoard();
    ~CBulletinBoard() override;
    void DeleteSelf() override;
    bool IsUsableContainer() const override { return false; }
    bool IsBulletinBoard() const override { return true; }
};

class CCorpse : public CContainer {
public:
    CCorpse();
    ~CCorpse() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    bool IsCorpse() const override { return true; }
    bool IsSpellbook() const override { return false; }
    void SendToPlayers(std::vector<CPlayer*>& players, int flag) override;
    void SendToPlayer(CPlayer* player, int flag) override;
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
