#pragma once
// The client's record of an object the server removed: kept (in a CLinkedList) so that it
// can be brought back when an object with the owner's serial is created again.
#include "core/client_str.h"
#include "platform/types.h"

class ClientSavedItem {
public:
    // A null name text leaves the name without a buffer (it reads as empty).
    ClientSavedItem(int ownerSerial, const char* name, s16 x, s16 y, int first, int second);
    ~ClientSavedItem();

    int ownerSerial;
    u8 age = 0;  // 0 when made
    CClientStr name;
    s16 x;
    s16 y;
    // Two values taken from the kept object.
    int first;
    int second;
};
