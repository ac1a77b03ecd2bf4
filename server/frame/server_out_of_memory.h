#pragma once
// A failed allocation on the server thread: reported on stderr and in the server's log,
// never with a message box (boxes belong to the client thread).

// The server thread's report (the process then ends with exit code 1).
void ReportServerOutOfMemory();
// Installs the process-wide handler of failed allocations and makes ReportServerOutOfMemory
// the report of the calling thread (the server's).
void InstallServerOutOfMemoryHandler();
