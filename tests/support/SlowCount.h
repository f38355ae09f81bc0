// How large the slow checks run: in full by default (by hand), or sized for CI when the
// environment says ZL_SLOW_TESTS=ci (fewer kills and operations, the same checks).
#pragma once

// `full` unless the CI sizing is asked for, then `ci`.
int SlowCount(int full, int ci);
