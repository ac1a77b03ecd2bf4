#include "client/world/system_message.h"

#include "client/world/world_hooks.h"

void ShowSystemMessage(int /*hue*/, int /*font*/, const std::string& text) {
    TheWorldHooks().SystemMessage(text);
}
