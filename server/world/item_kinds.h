#pragma once
// The item classes without children: the per-sector resource holder, maps (weapons:
// weapon.h). Their own fields and rules come with sector resources and map items.
#include "server/world/item.h"
#include "server/world/weapon.h"

class CSectorResources : public CItem {
public:
    CSectorResources();
    ~CSectorResources() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    u32 GetMoveClass(int) const override { return 0; }
    void DeleteSelf() override;
    bool IsSectorResources() const override { return true; }
    bool MoveTo(const Location& at) override;
    bool AddToContainer(CItem*, const Location&) override { return false; }
    bool EquipOn(CMobile*, int) override { return false; }
};

class CMapItem : public CItem {
public:
    CMapItem();
    ~CMapItem() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    void DeleteSelf() override;
    bool IsMap() const override { return true; }
};
