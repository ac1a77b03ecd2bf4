#pragma once
// Connects the script runtime's time handlers to the world clock (g_timeManager) and the
// deferred trigger queue. Called once at server start-up, before scripts attach.
void InstallScriptTimeLink();
