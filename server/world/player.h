#pragma once
// Player characters: a mobile played through a connection, with its account keys, flags and
// name. The class is the world's: the world keeps players among its objects, saves them and
// asks them the object questions. The player's own rules (entering, walking, using, war mode,
// titles, leaving) are members declared here whose bodies live in the player layer,
// server/player/ (the file of each family is named at its members); the protocol reaches them
// through this declaration and never includes the player layer.
#include <string>
#include <vector>

#include "script/runtime/script_list.h"
#include "server/world/mobile.h"
#include "server/world/player_registry.h"
#include "server/world/player_walk_state.h"

class PlayerConnection;
struct ShoveContext;

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
    void ReceiveUnhealthyActionFrom(CMobile* doer, bool report) override;
    void GetControllerInfo(ControllerInfo& out) override;
    void ChangeReputation(int fame, int karma) override;
    bool CancelTrade() override;
    void Die(CItem* killer, int drop) override;
    int GetBodyTableValue() const override;
    void GetTitledName(CStr& out) const override;
    int Walk(int direction, int* landingZ = nullptr) override;
    void Kill(CItem* killer, int drop) override;
    // Healthy again: the victim's report lists are gone.
    void HandleHealthGain() override;
    // Staff (editing, counselors, game masters) are exempt from the caps.
    int ApplySkillCap(int skill, int count) override;
    virtual int ApplyStatCapIfAllowed(int stat, int count);
    virtual int AdjustStatIfAllowed(int stat, int value);
    // A player helping this one while it is a criminal or a murderer commits a crime.
    virtual void ReceiveHelpfulActionFrom(CMobile* helper);
    // Side 1 (good) or 2 (evil): the units (up to 1000) of both sides' resources go, one of
    // the side's comes with its bit of alignment byte A. Any other side only removes.
    virtual void ChooseAlignmentSide(int side);

    // Titles, roles and conduct (server/player/player_titles.cpp). The display name lives in the
    // player's own buffer until the next call.
    void GetCounselorTitle(CStr& out) const;
    bool HasGmBody() const { return GetBody() == kGmBodyType; }
    bool IsGameMasterInGmBody() const { return IsGameMaster() && HasGmBody(); }
    bool IsCounselorInGmBody() const { return IsCounselor() && HasGmBody(); }
    // Edit mode only with god rights; both changes are logged.
    void SetEditing();
    void ClearEditing();
    // Whether the role changed (false: it was already so).
    bool SetGameMaster();
    bool ClearGameMaster();
    void AnnounceLoadedGameMaster();
    // The notoriety moves by delta / (|notoriety| / 10, at least 1).
    void AdjustNotoriety(int delta);
    bool IsNotorietyPositive() const { return GetNotorietyTitle() > 0; }
    bool IsNotorietyNegative() const { return GetNotorietyTitle() < 0; }
    bool IsNotorietyNeutral() const { return GetNotorietyTitle() == 0; }
    void JoinOrder();
    void JoinChaos();
    // A new combat target is stored and shown to the player (0xAA).
    void SetCombatTarget(u32 serial);
    u32 GetCombatTarget() const { return combatTarget_; }
    // The connection's IPv4 address as "a.b.c.d" ("0.0.0.0" without one).
    const char* GetAddressText() const;
    bool IsOverloaded() const;
    // IsOverloaded, telling the player its weight and maximum.
    bool TellOverloaded();
    // The format with the three titled names, to each of them that is a player.
    static void TellThree(CMobile* a, CMobile* b, CMobile* c, const char* format);
    int SumBaseStats() const;

    const char* GetRealName() const override { return name_; }
    // The character's name, cut to the name field.
    void SetName(const char* name) override;

    // The per-pulse state of the player (run by the registry's tick walk): regeneration, the
    // poison and curse check, and the light, music and ambience of the player's place
    // (server/player/player_life.cpp).
    virtual void Tick();

    // The player's life cycle as the connection sees it (server/player/player_life.cpp). A player
    // is logged in while a connection plays it.
    virtual bool IsLoggedIn() const;
    // Takes the player out of the game. With `wait` 1 a player that cannot log out safely
    // stays in the world for 1200 pulses first (entering again cancels it); 0 leaves at once.
    virtual void LogOut(int wait);
    // Puts the player into the world for its connection (the player's part of world entry):
    // back from the logged-out list, placed at a standing z (else sent to safety), trigger
    // "online", a pending delayed log-out cancelled, god mode off, counselors counted.
    virtual void EnterWorld(PlayerConnection* connection);
    // Walking (server/player/player_movement.cpp). A walk request of the client (packet 0x02): 1
    // when it was handled (turned, moved or rejected by the step), 0 when refused for fatigue or
    // while the walk is blocked until the client resynchronises with sequence 0.
    virtual int WalkRequest(int direction, int sequence);
    // Sends the player everything within 18 tiles, and the player to everyone within 18.
    virtual void SendSurroundings();
    void Turn(int direction, int acknowledge, int sequence);
    // Where a step from `from` in the direction lands, or `from` itself when it cannot.
    Location StepTarget(const Location& from, int direction);
    // An accepted step: acknowledged (0x22) with `acknowledge`, and told to the players and
    // shown the objects that come into view.
    void MoveStep(int direction, int acknowledge, int sequence);
    // The world's one-step push of a player: a move without acknowledgement.
    void UpdateAfterStep(int direction) { MoveStep(direction, 0, 0); }
    // The context of the step being handled for this player (CWorldMap::HandlePlayerStep sets
    // it for the length of the step), or null outside a step.
    ShoveContext* GetShoveContext() const { return shove_; }
    void SetShoveContext(ShoveContext* shove) { shove_ = shove; }
    // 0x21 with where the player stands; the walk stays blocked until a sequence-0 request.
    void RejectMove(int sequence);
    void SetWalkBlocked(int on) { SetFlag(kPlayerWalkBlocked, on != 0); }
    bool IsWalkBlocked() const { return HasFlag(kPlayerWalkBlocked); }
    bool MayTurn(int) const { return true; }
    // Looks whether the player stands under the town guards' protection and tells it when
    // that changed.
    void UpdateGuardZone();
    bool IsExhausted() override;
    const PlayerWalkState& GetWalkState() const { return walk_; }
    // The player grid's filing of this player, and its distance to a tile (Chebyshev).
    PlayerGridSlot& GridSlot() { return gridSlot_; }
    int DistanceTo(int x, int y) const;
    // War mode and the manifesting ghost (server/player/player_war_mode.cpp). SetWarMode answers
    // the resulting war state (0 or 1); a ghost entering war mode manifests (the living see it) and
    // leaving it hides the ghost again.
    virtual int SetWarMode(int flag);
    // SetWarMode and 0x72 to the player; nothing for a non-combatant.
    void SetWarModeToggle(int flag);
    // The same, storing the three further bytes of the client's 0x72 first.
    void SetWarModeFull(int flag, int b1, int b2, int b3);
    bool IsManifesting() const { return HasFlag(kPlayerGhostHeard); }
    void SetManifesting(bool on) { SetFlag(kPlayerGhostHeard, on); }
    // Flips the manifesting bit, places the player again, then war mode on.
    void ToggleManifesting();
    // A ghost's war mode runs out (the timed callback): a ghost still in war mode leaves it
    // and is told with 0x72.
    void GhostWarModeTimeout();
    // The first text to the player itself, the second to the players in sight within 18 tiles.
    void ActionBark(int hue, const char* ownText, const char* othersText);
    // Death and resurrection (server/player/player_death.cpp). Die (above) makes the player a
    // frozen ghost in a death robe; with its `drop` flag set the corpse stays with what the
    // player loses (the rest goes into the backpack), without it the corpse goes at the end.
    // Resurrect brings a ghost back to life: false when refused (with `ask`, while too many
    // recent resurrections weaken the spirit; the player is told) or when the player is gone.
    virtual bool Resurrect(int ask);
    // The death screen's answers: a frozen ghost that is logged in walks free; asking to be
    // resurrected costs 10 % of the stats and skills when it works.
    void UnfreezeGhost();
    void ResurrectFromMenu();
    // Whether the player loses the item at death: never a spellbook or what lies in one; a
    // player who is not a murderer keeps its starting equipment and valueless items.
    bool LosesOnDeath(const CItem& item) const;
    // Sorts what lies in the backpack at death: lost objects lying directly in it go into the
    // corpse (with what they hold but the kept objects), every kept object at any depth (but
    // a spellbook's contents) comes to lie directly in the backpack.
    void CollectLootable(CContainer& backpack, u32 corpseSerial);
    // The body and hue the scripts saved ("oldBodyType", "oldHue"); a body that is not human
    // becomes 400.
    void RestoreBody();
    // The resources of the living: meat and one of the humans, on its side.
    void RestoreLivingResources();
    // The count of recent resurrections: one is forgiven per 1200 ms of the loop's clock.
    void AgeResurrectionCount();
    void CountResurrection();
    int GetResurrectionCount() const { return resurrectionCount_; }
    u32 GetLastResurrectionTime() const { return lastResurrectionMs_; }
    void SetResurrectionCount(int count, u32 lastMs) {
        resurrectionCount_ = count;
        lastResurrectionMs_ = lastMs;
    }
    // The corpse of the last death that kept one (0 for none) and where it fell.
    u32 GetLastCorpse() const { return lastCorpse_; }
    const Location& GetDeathLocation() const { return deathLocation_; }
    // The item in the hand goes back to the container its "lockedContainer" names, or to
    // the ground where the player stands (server/player/player_life.cpp).
    void ReturnHeldItem();
    // The player looks at the object of that serial (trigger "lookedat" and the name label).
    virtual void LookAtObject(u32 serial);
    // A double-click (the 0x06 request) on an object (server/player/player_use.cpp): staff
    // looks, the action delay, then the use routine.
    void UseObjectRequest(CItem* object, int flag);

    // The connection playing this character, or null. The link is two-way and is made and
    // cleared by the connection's side (LinkPlayerToSocket, UnlinkPlayer).
    PlayerConnection* GetConnection() const { return connection_; }
    void SetConnection(PlayerConnection* connection) { connection_ = connection; }
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
    // The four war-mode bytes the client sent last (flag and three it stores), echoed at entry.
    static constexpr int kWarModeByteCount = 4;
    const u8* GetWarModeBytes() const { return warModeBytes_; }
    void SetWarModeBytes(const u8 (&bytes)[kWarModeByteCount]);
    // The status watch list: the serials of the last objects whose status the player asked
    // for, newest first (the oldest of 8 falls out).
    static constexpr int kLastExaminedCount = 8;
    void WatchStatusOf(u32 serial);
    bool IsWatchingStatusOf(u32 serial) const;
    u32 GetLastExamined(int index) const { return lastExamined_[index]; }
    PlayerTargetCallback GetTargetCallback() const { return targetCallback_; }
    void SetTargetCallback(PlayerTargetCallback callback) { targetCallback_ = callback; }
    const Location& GetLastValidTerrain() const { return lastValidTerrain_; }
    // The camp: the time (ms) the player sat down by a camp fire, 0 when not camping.
    u32 GetCampStartTime() const { return campStartTime_; }
    void SetCampStartTime(u32 ms) { campStartTime_ = ms; }
    // The account name (bounded copy) and the 0/1 sex byte of the creation.
    const char* GetAccountName() const { return accountName_; }
    void SetAccountName(const char* name);
    int GetSex() const { return sex_; }
    void SetSex(int female) { sex_ = female ? 1 : 0; }
    // The millisecond time the character was made.
    u32 GetCreationTime() const { return creationTime_; }
    void SetCreationTime(u32 ms) { creationTime_ = ms; }

    static constexpr int kNameCapacity = 32;
    static constexpr u16 kGmBodyType = 987;
    static constexpr size_t kDisplayNameNameChars = 250;
    static constexpr int kAccountNameCapacity = 32;

    // Keys and lists only the save keeps so far.
    PlayerSaveExtras playerExtras;

    // ---- Life cycle and per-pulse state (server/player/player_life.cpp).
    // Vitals: a ghost's current hits never change; maxima of 60,000 or more are ignored.
    int SetCurHits(int value) override;
    int SetMaxHits(int value) override;
    int SetMaxMana(int value) override;
    // One pulse of regeneration (the first step of Tick).
    void Regenerate();
    // Leaves the game now: "logout" triggers, the removal packet, the logged-out list.
    void GoLoggedOut();
    // In a safe log-out region, camping (more than 15 ms), or in the player's own house.
    bool CanLogOutSafely() const;
    // A frozen ghost is shown the death screen again; answers whether it was.
    bool ResendDeathStatus();
    // Answers whether the action delay still runs; while it does the player is told to wait
    // (at most twice per delay).
    bool IsActionDelayed();
    // 0: "use another skill", 1: "perform another action".
    void WaitMessage(int kind);
    // Options 0..71; numbers outside answer false and change nothing.
    static constexpr int kOptionCount = 72;
    bool TestOption(int option) const;
    bool ToggleOption(int option);
    // The players this one watches (told when they log out; saved as "frnd") and the players
    // allowed to watch this one (saved as "frndallw"). Both grow as needed.
    const std::vector<u32>& GetWatchList() const { return playerExtras.friends; }
    void AddWatched(u32 serial) { playerExtras.friends.push_back(serial); }
    const std::vector<u32>& GetAllowList() const { return playerExtras.allowed; }
    void AddAllowed(u32 serial) { playerExtras.allowed.push_back(serial); }
    bool MayBeWatchedBy(const CPlayer& watcher) const;
    u32 GetPlayAge() const { return playerExtras.playAge; }
    void AddPlayAge(int amount) { playerExtras.playAge += static_cast<u32>(amount); }
    // What the player last sent of the place's light, music and ambience.
    int GetSentLightLevel() const { return sentLight_; }
    int GetSentMusic() const { return sentMusic_; }
    int GetSentAmbience() const { return sentAmbience_; }
    // Fields only the save record names, kept in `playerExtras`: the password (bounded), the
    // eight session slots, the "dc" value and the first number of "acct".
    static constexpr int kSessionSlots = PlayerSaveExtras::kSessionSlots;
    const char* GetPassword() const { return playerExtras.password.c_str(); }
    void SetPassword(const char* text);
    u32 GetSessionSlot(int slot) const;
    void SetSessionSlot(int slot, u32 value);
    s32 GetDcValue() const { return playerExtras.deathCount; }
    void SetDcValue(s32 value) { playerExtras.deathCount = value; }
    s32 GetAccountValue() const { return playerExtras.accountValue; }
    void SetAccountValue(s32 value) { playerExtras.accountValue = value; }

protected:
    // The steps of death (server/player/player_death.cpp): the worn items and the backpack
    // sorted between the corpse and what the player keeps; the ghost's body, placed again
    // with no vitals left.
    void SortBelongingsAtDeath(u32 corpseSerial);
    void BecomeGhost();
    bool IsStaffExempt() const;
    void LogStaffEvent(const char* text) const;
    void AppendToListVar(const char* name, u8 tag, ScriptListValue value);

    friend struct ObjectFieldAccess;
    char name_[kNameCapacity] = {};
    mutable char displayName_[256] = {};
    u32 combatTarget_ = 0;
    char accountName_[kAccountNameCapacity] = {};
    u8 sex_ = 0;
    u32 creationTime_ = 0;
    void RecordValidTerrain(const Location& at);
    u32 flags_;
    Location lastValidTerrain_;
    u32 campStartTime_ = 0;
    PlayerConnection* connection_ = nullptr;
    ShoveContext* shove_ = nullptr;
    u32 accountKey_ = 0;
    u32 characterKey_ = 0;
    u8 warModeBytes_[kWarModeByteCount] = {};
    u32 lastExamined_[kLastExaminedCount] = {};
    PlayerTargetCallback targetCallback_ = nullptr;
    PlayerWalkState walk_;
    PlayerGridSlot gridSlot_;
    u8 options_[kOptionCount / 8] = {};
    u8 waitMessages_ = 0;
    int checkCounter_ = 0;
    int sentLight_ = 0;
    int sentMusic_ = 0xFFFF;
    int sentAmbience_ = 0xFFFF;
    Location deathLocation_;
    u32 lastCorpse_ = 0;
    int resurrectionCount_ = 0;
    u32 lastResurrectionMs_ = 0;
};
