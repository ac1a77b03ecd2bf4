#pragma once
// What the NPC behaviour asks of the server's load governor: how fast an NPC may walk and
// whether new NPCs may be born. The server's start-up installs the governor's answers;
// until then the one in force is this class itself: no cap (100) and births allowed.
class NpcLoadLimits {
public:
    virtual ~NpcLoadLimits() = default;
    // The most speed points an ordinary NPC earns per pulse (10 under heavy load, else 100).
    virtual int SpeedCap() const { return 100; }
    virtual bool IsSpawnBlocked() const { return false; }
};

// The implementation in force (never null).
NpcLoadLimits& GetNpcLoadLimits();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// default one); answers the previous one, or null when the default was in force.
NpcLoadLimits* SetNpcLoadLimits(NpcLoadLimits* limits);
