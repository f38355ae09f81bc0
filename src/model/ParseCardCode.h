// The worker card-code parser: a text read from a worker card, or typed in its place, becomes the
// worker code.
#pragma once

#include <QString>

// Strips a start sentinel ("%" or ";") and an end sentinel ("_" or "?"); with `reverse`, a text
// that had a sentinel is reversed (a card swiped backwards). With a prefix, a text that begins with
// it (letter case ignored) loses it, and any other text gives the empty text (not a card of ours).
QString ParseCardCode(const QString& code, const QString& prefix, bool reverse);
