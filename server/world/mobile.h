#pragma once
// Mobiles: the creatures of the world, players (player.h) and non-player characters. A mobile
// is a container (its backpack contents) with 30 equipment layers, stats, vitals and skills,
// notoriety, fame and karma, combat lists and followers. Stats, vitals and skills live in
// mobile_stats.cpp, stepping in mobile_stepping.cpp; death comes with the player and NPC work.
#include <string>
#include <vector>

#include "server/world/combat_lists.h"
#include "server/world/container.h"
#include "server/world/dice.h"
#include "server/world/save_extras.h"

class CWeapon;

enum StatIndex : int { kStatStrength, kStatDexterity, kStatIntelligence };
constexpr int kMobileSkills = 50;
// Every skill's last-use time at construction (seconds on the game's fixed time base).
constexpr u32 kSkillBaseTime = 872023169;
constexpr int kStatTotalCap = 225;
constexpr int kSkillWeightCap = 7000;
// Status flag bits.
enum MobileStatusBit : u8 { kMobilePoisoned = 0x04, kMobileCursed = 0x08, kMobileFighting = 0x40 };
// Mob flag bits.
enum MobFlagBit : u8 { kMobInvulnerable = 0x01, kMobFrozen = 0x02, kMobSquelched = 0x04 };
constexpr int kMountLayer = 25;

// The cap curves: chance per 1000 that a gain is paid for by another stat or skill.
// Stat curve through (65, 0), (170, m), (225, 1000); skill curve through (1000, 0),
// (6000, m), (7000, 1000). Each is a pair of parabolas, truncated toward zero.
int StatCapChance(int total, int middle);
int SkillCapChance(int weightedTotal, int middle);
// Now in seconds on the skill-time base: the fixed base time plus the server clock's seconds.
u32 SkillClockSeconds();

class CPlayer;

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
    bool IsShownAlone() const override;
    int GetLayerByte() const override;
    void RecalcWeight() override;
    CItem* FindObjVarListHolder(const char* listName, CItem* object) override;
    void ApplyStatusFlags(u8 packetStatus) override;
    void GetStatusFlags(u8& packetStatus) const override;
    int GetNotorietyFor(CMobile* viewer) const override;
    bool IsLawfulTargetWithInfo(CMobile* attacker, ControllerInfo* info) override;
    // A crime at the place: the criminal mark for so many pulses; in a justice region the
    // mobile also becomes punishable (reputation.cpp).
    void CommitCrimeAt(const Location& at, int ticks);
    int GetMaxWeight() const override;
    void MarkContentsValueless() override;
    void DeleteContents() override;
    bool CanHold(CItem* item, int* code = nullptr) const override;
    // Death (mobile_death.cpp): the corpse and its name, the death packet, the death
    // triggers, what the corpse takes (with `drop`), every other mobile forgetting this one.
    // The mobile itself stays; its owner decides what follows.
    virtual void Die(CItem* killer, int drop);
    virtual int GetBodyTableValue() const { return 0; }

    // Vitals. The setters clamp (current to 0..maximum, maxima to 0 or more), send one vitals
    // update when the stored value changed, and answer the stored value; the adders answer
    // the change.
    virtual int SetCurHits(int value);
    virtual int SetMaxHits(int value);
    virtual int SetCurFatigue(int value);
    virtual int SetMaxFatigue(int value);
    virtual int SetCurMana(int value);
    virtual int SetMaxMana(int value);
    virtual int AddCurHits(int delta);
    virtual int AddMaxHits(int delta);
    virtual int AddCurFatigue(int delta);
    virtual int AddMaxFatigue(int delta);
    virtual int AddCurMana(int delta);
    virtual int AddMaxMana(int delta);
    // Stats: each change of a base or modifier moves the matching maximum (strength hits,
    // dexterity fatigue, intelligence mana) by the same amount.
    virtual int SetRealStat(int stat, int value);
    virtual int ModifyRealStat(int stat, int delta);
    virtual int ModifyStat(int stat, int delta);
    virtual int SetStatMod(int stat, int value);
    virtual void SetNotoriety(int value);
    virtual void GetTitledName(CStr& out) const;
    // Whether a step in the direction is possible; `landingZ` (when given) receives the z the
    // mobile would land at. One tile's move, keeping the world and the viewers up to date.
    virtual int Walk(int direction, int* landingZ = nullptr);
    virtual int MoveInDirection(int direction, int z);
    // Die with the same arguments (a player refuses it as a ghost).
    virtual void Kill(CItem* killer, int drop);
    virtual int GetMoveSpeed() const;
    virtual int GetTravelZ(const Location& at, int low, int high) const;
    virtual bool IsExhausted();
    virtual void ConsumeMoveFatigue(int amount);
    virtual void RegenerateFatigue();
    virtual int CheckHealthy();
    virtual void HandleHealthGain() {}
    virtual void MakeInvulnerable();
    virtual void MakeVulnerable();
    virtual int ApplyStatCap(int stat, int count);
    virtual int AdjustStat(int stat, int value);
    virtual int ApplySkillCap(int skill, int count);
    // The penalty of `percent` (a resurrection's): the stats above 10 shrink toward 10 and
    // the skills toward 0, by less the nearer their totals are to the starting totals (65
    // stat points, 1000 skill points); nothing at or below those totals.
    void ApplyStatPenalty(int percent);
    void ApplySkillPenalty(int percent);

    // The maximum hit points, half of which is the mobile's own weight.
    virtual int GetMaxHitsForWeight() const;
    CItem* GetLayer(int layer) const;
    void SetLayerField(int layer, CItem* item);
    void SetMoveType(int type) { moveType_ = type; }
    void SetBodyType(int body) { SetType(body); }
    u16 GetBody() const { return type_; }
    CWeapon* GetWeapon() const;

    // Stats (0 strength, 1 dexterity, 2 intelligence; other indexes read 0).
    int GetBaseStat(int stat) const;
    int GetStatMod(int stat) const;
    int GetStat(int stat) const;
    int GetCurHits() const { return curHits_; }
    int GetMaxHits() const { return maxHits_; }
    int GetCurFatigue() const { return curFatigue_; }
    int GetMaxFatigue() const { return maxFatigue_; }
    int GetCurMana() const { return curMana_; }
    int GetMaxMana() const { return maxMana_; }
    void SetAllVitals(int value);
    // The players within 18 tiles that watch this mobile's vitals (itself, for a player).
    void SendVitalsUpdate(int kind);
    // Hit points lost by a fall of `height`: none for flyers, ghosts and drops below 22.
    void TakeFallDamage(int height);
    int GetLoadPercent() const;
    int GetLoadRatio() const;
    int GetFatigueCounter() const { return clocks_[1]; }
    // The other clocks: the pulse counter and the mana and hit regeneration countdowns.
    s32& PulseCounter() { return clocks_[0]; }
    s32& ManaCountdown() { return clocks_[2]; }
    s32& HitCountdown() { return clocks_[3]; }

    // Skills: indexes valid by the skill table only.
    int GetBaseSkill(int skill) const;
    int GetSkillMod(int skill) const;
    int GetSkillLevel(int skill) const;
    void SetSkill(int skill, int value);
    void SetSkillMod(int skill, int value);
    int AddSkill(int skill, int delta);
    int AddSkillMod(int skill, int delta);
    int GetSkillTotal() const;
    int GetWeightedSkillTotal() const;
    void AdjustSkillPool(int skill, int delta);
    // Whether a skill other than `skill` still has a point to lose.
    bool HasSkillPointsBesides(int skill) const;
    int GetSkillPool() const { return skillPool_; }
    void SetSkillPool(int pool) { skillPool_ = pool; }
    u32 GetSkillUseTime(int skill) const;
    void SetSkillUseTime(int skill, u32 seconds);
    // The skill tempered by the three stats by the record's weights and stat percent.
    int GetEffectiveSkill(int skill, int baseFlag) const;
    int GetEffectiveBaseSkill(int skill) const { return GetEffectiveSkill(skill, 1); }

    // Skill use and learning (server/rules/skill_use.cpp). Chances are in thousandths (500 an
    // even chance); every routine refuses a skill number the table does not define.
    // (effective skill - difficulty) x 100 / focus + 500; a focus below 1 counts as 1.
    int GetSkillChance(int skill, int difficulty, int focus) const;
    // A use against a difficulty: the success value (> 0 success). `divisor` 1 is the
    // mobile's own use (times it, counts it, may gain stats and teaches players watching);
    // a watcher uses with 4.
    int UseSkill(int skill, int difficulty, int focus, int learnAnyway, int gainPercent,
                 int divisor);
    // The effective skill less a draw below 1000 (> 0 success), with practice.
    int TestSkill(int skill);
    void LearnSkill(int skill, int chance, int gainPercent);
    void PracticeSkill(int skill, int amount, bool ownUse);
    // Players within a tile that see and face this human mobile and know less of the skill
    // practise it.
    void TeachWatchers(int skill, int amount);
    // The practice repeat count of a skill (0-100).
    int GetSkillRepeatCount(int skill) const {
        return skill >= 0 && skill < kMobileSkills ? skillRepeats_[skill] : 0;
    }
    void GainStats(int skill, int amount, int increment);
    // The slow loss of skills and stats; true when one dropped.
    bool LoseSkills(int amount);
    bool LoseStats(int amount);

    // Notoriety, fame and karma.
    int GetNotoriety() const { return notoriety_; }
    void ChangeNotoriety(int delta);
    void LoseFame(int delta);
    void GainFame(int delta);
    int GetNotorietyTitle() const;
    int GetNotorietyCooldown() const { return notorietyCooldown_; }
    void SetNotorietyCooldown(int value) { notorietyCooldown_ = value; }
    int GetFame() const { return fame_; }
    void SetFame(int value);
    int GetFameLevel() const;
    int ChangeFame(int target);
    int GetKarma() const { return karma_; }
    void SetKarma(int value);
    int GetEffectiveKarma() const;
    int GetKarmaLevel() const;
    int ChangeKarma(int target);

    // Flags.
    bool GetMobFlag(int mask) const { return (mobFlags_ & mask & 0xFF) != 0; }
    void SetMobFlag(int mask, bool on);
    bool IsInvulnerable() const { return GetMobFlag(kMobInvulnerable); }
    bool IsFrozen() const { return GetMobFlag(kMobFrozen); }
    bool IsSquelched() const { return GetMobFlag(kMobSquelched); }
    // Alignment flag bytes A (0) and B (1): which sides' resources the mobile carries.
    u8 GetAlignmentFlags(int byte) const { return alignmentFlags_[byte & 1]; }
    void SetAlignmentFlag(int byte, u8 mask, bool on) {
        u8& b = alignmentFlags_[byte & 1];
        b = static_cast<u8>(on ? b | mask : b & ~mask);
    }
    u8 GetStatusByte() const { return statusFlags_; }
    bool HasStatusFlag(int mask) const { return (statusFlags_ & mask) != 0; }
    void SetStatusFlag(int mask);
    void ClearStatusFlag(int mask);
    int GetDirection() const { return direction_; }
    void SetDirection(int direction) { direction_ = direction; }

    // Light.
    void SetLightLevel(int duration, int level);
    int GetLightDuration() const { return lightDuration_; }
    int GetLightLevel() const { return lightLevel_; }
    void SetLightDurationField(int duration) { lightDuration_ = static_cast<u8>(duration); }

    // Combat lists.
    bool AddOpponent(u32 serial);
    bool AddAggressor(u32 serial);
    void RemoveOpponent(u32 serial, bool alsoAggressor);
    void ClearCombatList();
    void ClearCombatLists();
    void AgeCombatLists();
    void MakePeace();
    const AttackList& GetCombatList() const { return attacking_; }
    const AttackList& GetAggressorList() const { return attackedBy_; }
    CMobile* GetNextMobile() const { return nextMobile_; }

    // Followers: the new one goes to the head of the leader's list.
    CMobile* AddFollower(CMobile* follower);
    void RemoveFollower(CMobile* follower);
    void RemoveAllFollowers();
    int CountFollowers() const;
    CMobile* GetLeader() const { return leader_; }
    // The leader's has-followers flag (RemoveFollower leaves it set).
    void ClearHasFollowersFlag() { leads_ = 0; }
    CMobile* GetFirstFollower() const { return firstFollower_; }
    CMobile* GetLastFollower() const { return lastFollower_; }
    CMobile* GetNextFollower() const { return nextFollower_; }
    bool IsFollowing() const { return follows_ != 0; }
    bool HasLedFollowers() const { return leads_ != 0; }
    // Each follower whose walk checks pass steps one tile the same way (a player's step).
    void MoveFollowers(int direction);

    // Mounts: the rider wears a mount item on layer 25 and holds the mount mobile inside
    // itself while riding.
    bool IsMounted() const { return layers_[kMountLayer] != nullptr; }
    CMobile* GetMount() const;
    bool CanRide() const;
    // Whether other mobiles may ride this one: it holds a resource whose type's food name is
    // "RIDABLE" (any case).
    bool IsRidable() const;
    int Mount(CMobile* mount);
    int Dismount();
    u32 GetSavedRiding() const { return savedRiding_; }

    // The bank box: a container of graphic 3708 worn on layer 29, holding the gold.
    CContainer* EnsureBankBox();
    int GetBankGold();
    // Puts `amount` of the gold pile into the bank box: -1 when the pile went whole (or is
    // gone), -2 when part went and the rest stays where it was, 1 when nothing went.
    int PutMoneyInBank(CItem* gold, int amount);
    // Takes `amount` gold out of the bank box as one detached pile (short when the bank
    // holds less); null without a bank box or gold in it.
    CItem* WithdrawFromBank(int amount);

    // Pets: "isPet" non-zero; owned when the list "myBoss" holds someone.
    bool IsPet() const;
    bool IsOwnedPet() const;
    bool IsPetOf(const CItem* owner) const;
    bool IsHumanBody() const { return GetBody() >= 400 && GetBody() <= 403; }
    // A human by its template number (below 200, 1000-1199, 1580-1594, 1604-1619), or a
    // player.
    bool IsHuman() const;
    // Natural weapon (1d8 at construction) and armour.
    const Dice& GetNaturalWeapon() const { return naturalWeapon_; }
    void SetNaturalWeapon(const Dice& d) { naturalWeapon_ = d; }
    int RollNaturalDamage() const { return naturalWeapon_.Roll(); }
    int GetNaturalArmor() const { return naturalArmor_; }
    void SetNaturalArmor(int ac) { naturalArmor_ = ac; }
    // The armour piece worn at hit location `row` (0-13): of the row's layers, the weapon-class
    // item of the highest effective armour class above 0; null when none.
    CWeapon* GetArmorAt(int row) const;
    // The armour rating (0-9999): the hit locations' armour averaged, the natural armour, and
    // a shield's armour by the parrying skill (mobile_armour.cpp).
    int GetArmorRating() const;
    // Removes this mobile from every other mobile's combat state (mobile_death.cpp).
    void ForgetMe();
    // Names the corpse from the template's corpse text, the player's name or "human".
    void NameCorpse(CCorpse* corpse) const;

    // Combat (server/rules/combat.cpp): the swing timer (counter and state 0 idle, 1 ready,
    // 2 swinging; AdvanceSwing answers 3 for the strike), the damage roll and the combat step
    // the heartbeat runs every pulse. A step may delete any mobile, this one included.
    int GetSwingDelay() const;
    int AdvanceSwing();
    int GetSwingState() const { return swingState_; }
    void SetSwingState(int n);
    int GetSwingCounter() const { return swingCounter_; }
    // A weapon was equipped: the swing counts from 0.
    void RestartSwingCounter() { swingCounter_ = 0; }
    int RollDamage(const CWeapon* weapon) const;
    void CombatStep();
    // Asks the processor for the fields the combat heartbeat reads, ahead of the visit.
    void PrefetchCombatFields() const {
        __builtin_prefetch(this);
        __builtin_prefetch(&attacking_);
        __builtin_prefetch(&swingCounter_);
    }
    // The amount of a graphic in the containers worn on layers 0-25 (nested usable
    // containers included).
    int CountCarried(int graphic) const;
    int GetPowerRating() const;

    // Doors in the mobile's way.
    bool CanOpenDoors() const;
    int OpenDoorInDirection(int direction);
    int UseDoor(CItem* door);

    // Stepping helpers: the z window a mobile stands in at a place.
    void GetStandingZ(const Location& at, int& low, int& high) const;
    // The hue of the mobile's last speech, which its later messages use.
    int GetDefaultTextHue() const { return defaultTextHue_; }
    void SetDefaultTextHue(int hue) { defaultTextHue_ = hue; }

    // Applies object template `number` to this mobile where it stands; with replace set, its
    // equipment (but the backpack), contents, hue, stats, fame, karma and skills go first.
    // 1 when the mobile is still the result (template_creation.cpp).
    int BecomeTemplate(int number, int replace);
    // The mobile's name (players keep theirs in CPlayer), sex, attitude and sound ids, set by
    // creation from templates; they live among the fields the save keeps.
    virtual void SetName(const char* name) { saveExtras.name = name ? name : ""; }
    int GetSex() const { return saveExtras.sex; }  // 0 male, 1 female, 2 other
    void SetSex(int sex) { saveExtras.sex = static_cast<u8>(sex); }
    int GetAttitude() const { return saveExtras.attitude; }
    void SetAttitude(int attitude) { saveExtras.attitude = static_cast<u8>(attitude); }
    // The five sound ids (notice, idle, hit, was hit, die); 0xFFFF when unset.
    enum SoundSlot : int { kSoundNotice, kSoundIdle, kSoundHit, kSoundWasHit, kSoundDie };
    u16 GetSoundId(int slot) const {
        return slot >= 0 && slot < 5 ? saveExtras.sounds[SavedSoundIndex(slot)] : 0xFFFF;
    }
    void SetSoundId(int slot, int id) {
        if (slot >= 0 && slot < 5) saveExtras.sounds[SavedSoundIndex(slot)] = static_cast<u16>(id);
    }
    MobileSaveExtras saveExtras;
    // Feeding (the satiety byte, 0..25 for the player's regeneration), the life clock (one
    // count per player tick or NPC heartbeat) and the action delay (pulses until the mobile
    // may act again).
    int GetSatiety() const { return saveExtras.hunger; }
    void SetSatiety(int value) { saveExtras.hunger = static_cast<u8>(value); }
    s32 GetLifeClock() const { return saveExtras.lifeClock; }
    void TickLifeClock() { ++saveExtras.lifeClock; }
    s32 GetActionDelay() const { return actionDelay_; }
    void SetActionDelay(s32 pulses) { actionDelay_ = pulses; }

protected:
    // The save keeps the sounds as die, notice, idle, hit, was hit.
    static int SavedSoundIndex(int slot) { return (slot + 1) % 5; }

    friend class CMobileManager;
    friend struct ObjectFieldAccess;
    void StatChanged(int stat, int delta);
    int StoreVital(int& field, int value, int kind);
    void FameKarmaReport(int oldValue, int newValue, const char* what);
    void NotifyNearby();

    CItem* layers_[kLayerCount];
    int moveType_;
    // The list of all mobiles (the mobile manager's).
    CMobile* nextMobile_ = nullptr;
    CMobile* prevMobile_ = nullptr;
    int managerOrder_ = -1;  // the place in the heartbeat's order, -1 when not in it
    // Followers.
    CMobile* nextFollower_ = nullptr;
    CMobile* prevFollower_ = nullptr;
    CMobile* firstFollower_ = nullptr;
    CMobile* lastFollower_ = nullptr;
    CMobile* leader_ = nullptr;
    int follows_ = 0;
    int leads_ = 0;
    // Skills, stats and vitals.
    u16 skills_[kMobileSkills] = {};
    s16 skillMods_[kMobileSkills] = {};
    u32 skillTimes_[kMobileSkills];
    // How often each skill was practised in quick succession (0-100); not saved.
    u8 skillRepeats_[kMobileSkills] = {};
    s32 skillPool_ = 0;
    s16 stats_[3] = {};
    s16 statMods_[3] = {};
    s32 curHits_ = 0, maxHits_ = 0, curFatigue_ = 0, maxFatigue_ = 0, curMana_ = 0, maxMana_ = 0;
    s32 clocks_[4] = {};
    s8 notoriety_ = 0;
    u16 fame_ = 0;
    s16 karma_ = 0;
    s32 notorietyCooldown_ = 0;
    u8 mobFlags_ = 0;
    u8 statusFlags_ = 0;
    u8 alignmentFlags_[2] = {};
    int direction_ = 0;
    u8 lightDuration_ = 0;
    u8 lightLevel_ = 0;
    AttackList attacking_;
    AttackList attackedBy_;
    u32 savedRiding_ = 0;
    Dice naturalWeapon_{"1d8"};
    int naturalArmor_ = 0;
    int defaultTextHue_ = 946;
    s32 actionDelay_ = 0;
    s32 swingCounter_ = 0;
    s32 swingState_ = 0;
};

// Bits of the player's flag word that the world classes test.
enum PlayerFlagBit : u32 {
    kPlayerWalkBlocked = 0x01,     // every step refused until the client resyncs (sequence 0)
    kPlayerEditing = 0x02,         // god mode: the world-editing commands are open to it
    kPlayerGodRights = 0x08,       // may switch god mode on (given at world entry)
    kPlayerPassThrough = 0x10,     // with edit mode: walks through everything
    kPlayerGhostHeard = 0x20,      // a manifesting ghost: seen moving and heard (garbled)
    kPlayerHearsGhosts = 0x400,    // hears ghosts in clear
    kPlayerGameMaster = 0x1000,    // game master: hears everything, dot commands
    kPlayerNonCombatant = 0x4000,  // ignored by war mode; its speech wakes no scripts
    kPlayerLoggedIn = 0x04,        // a connection plays the character
    kPlayerLoggedOut = 0x2000,     // kept in memory among the logged-out characters
    kPlayerCounselor = 0x8000,     // counselor: hears everything, speech logged
    kPlayerMarked = 0x10000,       // marked for a purge of logged-out characters
    kPlayerAllMayWatch = 0x40,     // every player may watch this one
};

// Players within `radius` tiles (Chebyshev) of a place in the world.
void CollectPlayersNear(const Location& at, int radius, std::vector<CPlayer*>& out);
// Whether a camp fire lies in the world within 8 tiles of the place.
bool IsCampFireNear(const Location& at);
