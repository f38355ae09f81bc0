// ProgressScope: a bulk operation's progress, started when the scope begins and ended when it ends,
// so that a refused, failed or stopped operation still ends the progress it started.
#pragma once

#include <cstdint>

#include "odb/Interfaces.h"

namespace odb {

class ProgressScope {
  public:
    ProgressScope(itfProgress* progress, int32_t action, int32_t total)
        : progress_(progress), action_(action), total_(total) {
        if (progress_) progress_->OnStart(action_, total_);
    }
    ~ProgressScope() {
        if (!progress_) return;
        try {
            progress_->OnEnd(action_, total_);
        } catch (...) {
            // The operation's own outcome (an error under way included) is what the caller gets.
        }
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

  private:
    itfProgress* progress_;
    int32_t action_;
    int32_t total_;
};

}  // namespace odb
