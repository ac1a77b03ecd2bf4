#pragma once
// The server's place of a live player by name, for tests that also hold the client's world
// (whose headers cannot share a file with the server's). False when there is none.
bool ServerPlayerPlace(const char* name, int& x, int& y, int& z);
