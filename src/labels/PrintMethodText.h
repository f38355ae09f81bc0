// PrintMethodText: the short text that says how the object viewer prints its control ("ExecWB 6, 1",
// "PrintOut", "Print(2)"): a method name and up to five arguments.
#pragma once

#include <QString>

#include "base/Variant.h"

struct PrintMethodText {
    QString name;
    VariantList args;      // numbers as Double, anything else as its text (quotes kept)
    bool callable = true;  // false with more than five arguments: nothing is called

    // The name ends at the first space or "(", whichever comes first; the arguments follow, a closing
    // ")" dropped, split at every ",".
    static PrintMethodText Parse(const QString& text);
};
