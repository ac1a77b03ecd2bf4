#pragma once
// Whether the client's main window exists. The client sets it when it creates and when it
// destroys its window; the server's main loop watches it to learn that the client ended.
namespace platform {

bool IsClientWindowAlive();
void SetClientWindowAlive(bool alive);

}  // namespace platform
