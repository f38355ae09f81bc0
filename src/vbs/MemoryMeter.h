// MemoryMeter: what a script run holds (texts and arrays) against a limit of the host's own.
// Allocations are charged as they are made; when the charges would pass the limit, the held
// values are measured again (what was let go no longer counts), and error 7 is raised only when
// they really do not fit.
#pragma once

#include <QSet>

#include <cstdint>
#include <functional>

#include "base/Variant.h"

class VArray;

namespace vbs {

class MemoryMeter {
  public:
    // Walks every value the run holds into a Tally.
    class Tally;
    using Measure = std::function<void(Tally&)>;

    static constexpr int64_t kDefaultLimit = 256LL * 1024 * 1024;

    explicit MemoryMeter(Measure measure) : measure_(std::move(measure)) {}

    int64_t limit() const { return limit_; }
    // 0 or less: no limit.
    void setLimit(int64_t bytes) { limit_ = bytes; }

    // Room for `bytes` more, or error 7.
    void require(int64_t bytes);
    // `bytes` were just taken (or are about to be): checked as require, then counted.
    void charge(int64_t bytes);
    void charge(const Variant& v) { charge(SizeOf(v)); }

    // The bytes a value holds: a text's characters, an array's elements and what they hold.
    static int64_t SizeOf(const Variant& v);

    class Tally {
      public:
        // Texts shared by several values and arrays reached twice count once.
        void add(const Variant& v);
        int64_t bytes() const { return bytes_; }

      private:
        int64_t bytes_ = 0;
        QSet<const void*> seen_;
    };

  private:
    bool fits(int64_t bytes);

    Measure measure_;
    int64_t limit_ = kDefaultLimit;
    int64_t measured_ = 0;  // held at the last measure
    int64_t charged_ = 0;   // charged since
};

}  // namespace vbs
