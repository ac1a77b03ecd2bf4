#include "client/world/client_saved_item.h"

ClientSavedItem::ClientSavedItem(int ownerSerial, const char* name, s16 x, s16 y, int first,
                                 int second)
    : ownerSerial(ownerSerial), name(name), x(x), y(y), first(first), second(second) {}

// The name's buffer goes with the string.
ClientSavedItem::~ClientSavedItem() = default;
