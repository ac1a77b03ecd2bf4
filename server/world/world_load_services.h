#pragma once
// What the world load sequence asks of the protocol side: the phase note, the login script
// list and the world's name.
//
// This is an interface the world owns; the protocol's services (NetServices) implement it and
// the server's start-up installs them here too. Until then the one in force is this class
// itself: the phase note does nothing, and the two load steps say once in the log that they
// are not built.
class WorldLoadServices {
public:
    virtual ~WorldLoadServices() = default;

    // Notes the phase the server is in ("startup", "loading").
    virtual void NoteServerPhase(const char* phase) { (void)phase; }
    // The world load's steps of the protocol side: the login script list (loginscr.txt) and
    // naming the world. This class's own answers say once that they are not built; the
    // protocol's services keep the name.
    virtual void LoadLoginScriptList();
    virtual void SetWorldName(const char* name);
};

// The implementation in force (never null).
WorldLoadServices& GetWorldLoadServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
WorldLoadServices* SetWorldLoadServices(WorldLoadServices* services);
