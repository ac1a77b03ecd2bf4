#pragma once
// The client's composition root: the one place that puts the real implementations of the
// client's replaceable services in force. Called by ClientMain at start-up; nothing else
// installs services outside tests.
void InstallClientServices();
