#pragma once
// The client thread's body. ClientMain (core/process_link.h) puts the client's real services
// in force and runs it; tests that observe or replace the client's subsystems install their
// own through the slot and run it directly.
#include "core/process_link.h"

int RunClientWithInstalledServices(const ProcessArgs& args);
