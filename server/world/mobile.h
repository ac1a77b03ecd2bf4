#pragma once
// Mobiles: the creatures of the world, players and non-player characters. A mobile is a
// container (its backpack contents) with 30 equipment layers. Vitals, stats, movement,
// combat and death come with the mobile, player and NPC rules; here the classes stand with
// their operations, layers and movement type.
#include "server/world/container.h"

class CPlayer;
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
    bool CanHold(CItem* item) const override;
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

    CItem* GetLayer(int layer) const;
    void SetLayerField(int layer, CItem* item);
    void SetMoveType(int type) { moveType_ = type; }
    void SetBodyType(int body) { SetType(body); }
    u16 GetBody() const { return type_; }
    // The hue of the mobile's last speech, which its later messages use.
    int GetDefaultTextHue() const { return defaultTextHue_; }
    void SetDefaultTextHue(int hue) { defaultTextHue_ = hue; }

protected:
    CItem* layers_[kLayerCount];
    int moveType_;
    int defaultTextHue_ = 946;
};

// Bits of the player's flag word that the world classes test.
enum PlayerFlagBit : u32 {
    kPlayerEditing = 0x02,         // god mode: the world-editing commands are open to it
    kPlayerGodRights = 0x08,       // may switch god mode on (given at world entry)
    kPlayerPassThrough = 0x10,     // with edit mode: walks through everything
    kPlayerGhostHeard = 0x20,      // a ghost whose speech living players hear, garbled
    kPlayerHearsGhosts = 0x400,    // hears ghosts in clear
    kPlayerGameMaster = 0x1000,    // game master: hears everything, dot commands
    kPlayerNonCombatant = 0x4000,  // ignored by war mode; its speech wakes no scripts
    kPlayerCounselor = 0x8000,     // counselor: hears everything, speech logged
};

// A server-side routine that sees every target answer of the player before scripts do:
// (player, cursor type, target serial after the reach check, x, y, z).
using PlayerTargetCallback = void (*)(CPlayer& player, int cursorType, u32 target, int x, int y,
                                      int z);

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
    // Step three of the world entry: places the player (start location when unset, the map's
    // elevation, trigger "online", god mode off, counselors counted).
    virtual void EnterWorld(CUserSock* connection);
    // Sends the player everything within 18 tiles, and the player to everyone within 18.
    virtual void SendSurroundings();
    // Sets war mode from the client's flag; answers the resulting war state (0 or 1).
    virtual int SetWarMode(int flag);
    // Brings a ghost back to life with its graded message; answers whether it worked.
    virtual bool Resurrect();
    // The stat and skill loss a resurrection costs.
    virtual void ApplyResurrectionLoss(int statLoss, int skillLoss);
    // The player looks at the object of that serial (trigger "lookedat" and the name label).
    virtual void LookAtObject(u32 serial);

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
    bool HasFlag(u32 bit) const { return (flags_ & bit) != 0; }
    void SetFlag(u32 bit, bool on) { flags_ = on ? flags_ | bit : flags_ & ~bit; }
    bool HasGodRights() const { return HasFlag(kPlayerGodRights); }
    bool IsGameMaster() const { return HasFlag(kPlayerGameMaster); }
    bool IsCounselor() const { return HasFlag(kPlayerCounselor); }
    bool IsNonCombatant() const { return HasFlag(kPlayerNonCombatant); }
    // Frozen (a ghost waits in the death menu) and squelched (may not speak).
    bool IsFrozen() const { return frozen_; }
    void SetFrozen(bool on) { frozen_ = on; }
    bool IsSquelched() const { return squelched_; }
    void SetSquelched(bool on) { squelched_ = on; }
    // The four war-mode bytes the client sent last (flag and three it stores), echoed at entry.
    static constexpr int kWarModeByteCount = 4;
    const u8* GetWarModeBytes() const { return warModeBytes_; }
    void SetWarModeBytes(const u8 (&bytes)[kWarModeByteCount]);
    // The serials of the last objects whose status the player asked for, newest first.
    static constexpr int kLastExaminedCount = 8;
    void PushLastExamined(u32 serial);
    u32 GetLastExamined(int index) const { return lastExamined_[index]; }
    PlayerTargetCallback GetTargetCallback() const { return targetCallback_; }
    void SetTargetCallback(PlayerTargetCallback callback) { targetCallback_ = callback; }
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
    bool frozen_ = false;
    bool squelched_ = false;
    u8 warModeBytes_[kWarModeByteCount] = {};
    u32 lastExamined_[kLastExaminedCount] = {};
    PlayerTargetCallback targetCallback_ = nullptr;
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
