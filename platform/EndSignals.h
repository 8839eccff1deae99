// Termination signals (SIGTERM, SIGINT, SIGHUP) end the reader the normal way,
// through its exit sequence, from the first moment of the process on.
#pragma once

// Catches the signals from now on. Until a main window takes them (the window
// layer's DeliverEndRequestsTo) they are only noted. Calling it again does nothing.
void CatchEndSignals();
// Whether one of them has arrived: the start-up asks before its main window exists.
bool EndSignalReceived();
// The pipe's read end, which receives a byte per signal; -1 before CatchEndSignals.
int EndSignalPipe();
