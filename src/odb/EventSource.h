// EventSource: what a data set tells its listeners about the work under way.
#pragma once

namespace odb {

class EventSource {
  public:
    // True while the library imports rows (the rows bring their own numbers).
    bool SkipNumbering() const { return skipNumbering_ > 0; }

    // ---- library internals ----
    int skipNumbering_ = 0;
};

}  // namespace odb
