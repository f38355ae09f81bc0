// CalcWorkedMinutes: the minutes of a working day from its morning and afternoon pairs and a pause.
#pragma once

#include <cstdint>

// minutes(morning entry to exit) + minutes(afternoon entry to exit) - pause, on whole-minute
// marks (seconds ignored; negative when an exit lies before its entry). Computed in 16-bit
// signed arithmetic: a result or a step outside it raises the overflow error (6).
int16_t CalcWorkedMinutes(double morningEntry, double morningExit, double afternoonEntry,
                          double afternoonExit, int16_t pause);

// A minute count in the 16-bit arithmetic of the working day: outside it, the overflow error (6).
int16_t Minutes16(int64_t minutes);
