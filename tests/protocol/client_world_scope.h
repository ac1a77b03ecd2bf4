#pragma once
// The client's side of an in-process game for the protocol tests that look at the client world
// or its picture: the run directory's install (data files, tile data, hues), the player object
// the shell makes at start-up, and the world view drawing into a screen of the test's own.
// Kept apart from the server headers, whose names overlap the client's.
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class ClientWorldScope {
public:
    explicit ClientWorldScope(u16 background);
    ~ClientWorldScope();
    ClientWorldScope(const ClientWorldScope&) = delete;
    ClientWorldScope& operator=(const ClientWorldScope&) = delete;

    // The world view's screen as the window shows it (through the ring).
    std::vector<u16> Shown() const;
    // The world view's screen as the window shows it (through the ring), with the boxes of
    // the mobiles (the player among them) blacked out: figures are another picture's subject.
    std::vector<u16> ShownWithoutFigures() const;
    // The player's step update (at rest), which places the view's corner.
    void UpdatePlayerStep();
    // Where the view's corner lies for the player's place (the player's step at rest).
    bool ViewCentredOnPlayer() const;
    // The player's place and the view's corner, for failure messages.
    std::string Describe() const;

    std::vector<u16> screen;
};
