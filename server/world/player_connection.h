#pragma once
// The connection that plays a character, as the world knows it: its half of the two-way link,
// the player it plays. The protocol's connection (CUserSock, server/net/socket.h) is one.
// The link is made and cleared on the connection's side (LinkPlayerToSocket, UnlinkPlayer),
// except that a player destroyed while linked clears the connection's half itself, so that no
// connection ever keeps pointing at a player that is gone.
class CPlayer;

class PlayerConnection {
public:
    CPlayer* player = nullptr;

protected:
    PlayerConnection() = default;
    ~PlayerConnection() = default;
};
