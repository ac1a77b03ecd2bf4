#pragma once
// The server's composition root: the one place that puts the real implementations of the
// replaceable services in force and binds the script builtins' handlers (the language's and
// the world's). The services whose subsystem is not built yet (packets, rules, NPC
// behaviour, world data) keep their empty implementations.
//
// Called by the server main loop at start-up, and by tests that want the real world; nothing
// else installs services outside tests.
void InstallServerServices();
