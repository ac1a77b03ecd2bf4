#pragma once
// Mobiles: the creatures of the world, players and non-player characters. A mobile is a
// container (its backpack contents) with 30 equipment layers. Vitals, stats, movement,
// combat and death come with the mobile, player and NPC rules; here the classes stand with
// their operations, layers and movement type.
#include "server/world/container.h"

class CUserSock;

class CMobile : public CContainer {
public:
    CMobile();
    ~CMobile() override;
    void RemoveFromWorldQuiet() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    int GetHeight() const override;
    u32 GetObjectFlags() const override { return 0; }
    const char* GetRealName() const override;
    u32 GetMoveClass(int moveType) const override;
    u32 GetLandMoveClass(int landTile) const override;
    u32 GetMoveClassDefault(const CBaseObject& other) const override;
    const char* GetName(int flag) const override;
    void Bark(const char* text, int hue, int font, int type) override;
    void EBark(const char* text, int hue, int font, int type) override;
    void BarkTo(CPlayer* player, CBaseObject* subject, const char* text) override;
    bool IsDoor() const override { return false; }
    bool IsClosedDoor() const override { return false; }
    void DeleteSelf() override;
    int GetMoveType() const override { return moveType_; }
    bool EquipOn(CMobile* mobile, int layer) override;
    bool IsMobile() const override { return true; }
    bool IsSpellbook() const override { return false; }
    bool IsMultiCompOrSectorResources() const override { return false; }
    int GetContentWeight() const override;
    void SendToPlayers(std::vector<CPlayer*>& players, int flag) override;
    void SendToPlayer(CPlayer* player, int flag) override;
    int GetLayerByte() const override;
    void RecalcWeight() override;
    CItem* FindObjVarListHolder(const char* listName, CItem* object) override;
    void ApplyStatusFlags(u8 packetStatus) override;
    void GetStatusFlags(u8& packetStatus) const override;
    int GetNotorietyFor(CMobile* viewer) const override;
    bool IsLawfulTargetWithInfo(CMobile* attacker, ControllerInfo* info) override;
    int GetMaxWeight() const override;
    void MarkContentsValueless() override;
    void DeleteContents() override;
    bool CanHold(CItem* item, int* code = nullptr) const override;
    virtual void Die();
    virtual int GetBodyTableValue() const { return 0; }
    virtual void SetCurHits(int value);
    virtual void SetMaxHits(int value);
    virtual void SetCurFatigue(int value);
    virtual void SetMaxFatigue(int value);
    virtual void SetCurMana(int value);
    virtual void SetMaxMana(int value);
    virtual void AddCurHits(int delta);
    virtual void AddMaxHits(int delta);
    virtual void AddCurFatigue(int delta);
    virtual void AddMaxFatigue(int delta);
    virtual void AddCurMana(int delta);
    virtual void AddMaxMana(int delta);
    virtual void SetRealStat(int stat, int value);
    virtual void ModifyRealStat(int stat, int delta);
    virtual void ModifyStat(int stat, int delta);
    virtual void SetStatMod(int stat, int value);
    virtual void SetNotoriety(int value);
    virtual void GetTitledName(CStr& out) const;
    // The walk checks and one step belong to the movement rules; the slots stand here.
    virtual int Walk(int direction, int flag);
    virtual int MoveInDirection(int direction, int z);
    virtual void Kill();
    virtual int GetMoveSpeed() const;
    virtual int GetTravelZ(const Location& at, int low, int high) const;
    virtual bool IsExhausted() const;
    virtual void ConsumeMoveFatigue();
    virtual void RegenerateFatigue();
    virtual int CheckHealthy();
    virtual void HandleHealthGain() {}
    virtual void MakeInvulnerable();
    virtual void MakeVulnerable();
    virtual void ApplyStatCap();
    virtual void AdjustStat(int stat);
    virtual void ApplySkillCap();

    // Half of it is the mobile's own weight; the vitals supply it.
    virtual int GetMaxHitsForWeight() const;
    CItem* GetLayer(int layer) const;
    void SetLayerField(int layer, CItem* item);
    void SetMoveType(int type) { moveType_ = type; }
    void SetBodyType(int body) { SetType(body); }
    u16 GetBody() const { return type_; }

protected:
    CItem* layers_[kLayerCount];
    int moveType_;
};

// Bits of the player's flag word that the world classes test.
enum PlayerFlagBit : u32 {
    kPlayerEditing = 0x02,      // god mode: the world-editing commands are open to it
    kPlayerPassThrough = 0x10,  // with edit mode: walks through everything
};

// The bodies of a dead player.
constexpr u16 kGhostBodies[] = {402, 403};

class CPlayer : public CMobile {
public:
    CPlayer();
    ~CPlayer() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    bool IsPlayer() const override { return true; }
    u32 GetMoveClass(int moveType) const override;
    u32 GetMoveClassDefault(const CBaseObject& other) const override;
    const char* GetName(int flag) const override;
    void DeleteSelf() override;
    int GetMoveType() const override;
    bool IsGhost() const override { return type_ == kGhostBodies[0] || type_ == kGhostBodies[1]; }
    void SetSerial(u32 serial) override;
    void SetMurderCount(int count) override;
    void ReceiveUnhealthyActionFrom(CMobile* doer) override;
    void GetControllerInfo(ControllerInfo& out) override;
    void ChangeReputation(int first, int second) override;
    bool CancelTrade() override;
    void Die() override;
    int GetBodyTableValue() const override;
    void SetNotoriety(int value) override;
    void GetTitledName(CStr& out) const override;
    int Walk(int direction, int flag) override;
    void Kill() override;
    bool IsExhausted() const override;
    void HandleHealthGain() override {}
    void ApplySkillCap() override;
    virtual void ApplyStatCapIfAllowed();
    virtual void AdjustStatIfAllowed(int stat);
    virtual void ReceiveHelpfulActionFrom(CMobile* doer);
    virtual void ChooseAlignmentSide();

    // The player's life cycle as the connection sees it; the player rules fill these in.
    // Until then each says once in the log that it is not built yet: IsLoggedIn answers false
    // (nobody has entered the world), LogOut and EnterWorld do nothing more.
    virtual bool IsLoggedIn() const;
    // Takes the player out of the game; `keepInMemory` 1 keeps the character among the
    // logged-out players.
    virtual void LogOut(int keepInMemory);
    // Puts the player into the world for its connection (the player's part of world entry).
    virtual void EnterWorld(CUserSock* connection);

    // The connection playing this character, or null. The link is two-way and is made and
    // cleared by the connection's side (LinkPlayerToSocket, UnlinkPlayer).
    CUserSock* GetUserSock() const { return userSock_; }
    void SetUserSock(CUserSock* socket) { userSock_ = socket; }
    // The keys of the character's creation request: the account it belongs to (the client's
    // address on the in-process link) and the character's own number.
    u32 GetAccountKey() const { return accountKey_; }
    void SetAccountKey(u32 key) { accountKey_ = key; }
    u32 GetCharacterKey() const { return characterKey_; }
    void SetCharacterKey(u32 key) { characterKey_ = key; }

    u32 GetFlagWord() const { return flags_; }
    void SetFlagWord(u32 flags) { flags_ = flags; }
    bool IsEditing() const { return (flags_ & kPlayerEditing) != 0; }
    const Location& GetLastValidTerrain() const { return lastValidTerrain_; }
    // The camp: the time (ms) the player sat down by a camp fire, 0 when not camping.
    u32 GetCampStartTime() const { return campStartTime_; }
    void SetCampStartTime(u32 ms) { campStartTime_ = ms; }

protected:
    void RecordValidTerrain(const Location& at);
    u32 flags_;
    Location lastValidTerrain_;
    u32 campStartTime_ = 0;
    CUserSock* userSock_ = nullptr;
    u32 accountKey_ = 0;
    u32 characterKey_ = 0;
};

class CNPC : public CMobile {
public:
    CNPC();
    ~CNPC() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    void DeleteSelf() override;
    int GetMoveType() const override;
    bool IsNPC() const override { return true; }
    void SetSerial(u32 serial) override;
    void GetTitledName(CStr& out) const override;
    void MakeInvulnerable() override;
    void MakeVulnerable() override;
    virtual bool HasNpcFlags(int mask) const { return (npcFlags_ & mask) != 0; }
    virtual void SetNpcFlags(int mask) { npcFlags_ |= mask; }
    virtual void ClearNpcFlags(int mask) { npcFlags_ &= ~mask; }

    // Chebyshev distance from the NPC's position (the NPC grid asks it).
    int DistanceTo(int x, int y) const;

    // The mobile table's bucket chain.
    CNPC* tableNext = nullptr;
    CNPC* tablePrev = nullptr;

protected:
    int npcFlags_;
};

class CGuard : public CNPC {
public:
    CGuard() = default;
    ~CGuard() override = default;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    void DeleteSelf() override;
    bool IsGuard() const override { return true; }
};

class CShopKeeper : public CNPC {
public:
    CShopKeeper() = default;
    ~CShopKeeper() override = default;
    void DeleteSelf() override;
    bool IsShopKeeper() const override { return true; }
};

// Players within `radius` tiles (Chebyshev) of a place in the world.
void CollectPlayersNear(const Location& at, int radius, std::vector<CPlayer*>& out);
// Whether a camp fire lies in the world within 8 tiles of the place.
bool IsCampFireNear(const Location& at);
