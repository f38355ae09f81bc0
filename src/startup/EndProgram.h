// Ending the program from inside an operation, as a started software update requires: every window
// unloads, the most recent first, and the program ends once back in its event loop.
#pragma once

void EndProgram();
// True once EndProgram ran: the operation that called it stops what it was doing.
bool ProgramEnding();
// For tests, which go on after a program end.
void ResetProgramEnding();
