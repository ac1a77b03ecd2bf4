#pragma once
// The in-game windows' word for a part that is not built yet: one line in the client log the
// first time each (window, part) pair is reached, nothing after.
void SayWindowPartNotBuilt(const char* window, const char* part);
