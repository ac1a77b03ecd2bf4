#pragma once
// The requests the client world makes of the server by itself: using an object (a double
// click) and asking for status. The world decides what to ask; the link (in client/net)
// builds the packet and sends it.
#include "platform/types.h"

class WorldRequestLink {
public:
    virtual ~WorldRequestLink() = default;
    // 0x06: use the object of the serial.
    virtual void SendUseObject(u32 serial) = 0;
    // 0x34: a status request of a type about the object of the serial.
    virtual void SendStatusRequest(u8 type, u32 serial) = 0;
};

// The running client's link (the client link names itself), or null while there is no
// connection: requests made meanwhile go nowhere.
WorldRequestLink* RunningWorldRequestLink();
void SetRunningWorldRequestLink(WorldRequestLink* link);
