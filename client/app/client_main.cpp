// Placeholder body of the client thread until the client shell exists: it has no window,
// so it returns at once.
#include "core/process_link.h"

int ClientMain(const ProcessArgs&) { return 0; }
