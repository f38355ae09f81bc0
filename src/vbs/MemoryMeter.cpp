// MemoryMeter: charges, measures and the limit.
#include "vbs/MemoryMeter.h"

#include "base/AppError.h"
#include "base/VArray.h"

namespace vbs {

namespace {

// Charges within this much of the last measure pass without measuring again, so that a run near
// its limit does not walk its values at every small text.
constexpr int64_t kSlack = 8LL * 1024 * 1024;
constexpr int64_t kTextHeader = 32;

int64_t textBytes(const QString& s) {
    return s.capacity() > 0 ? kTextHeader + 2 * static_cast<int64_t>(s.capacity()) : 0;
}

}  // namespace

bool MemoryMeter::fits(int64_t bytes) {
    if (limit_ <= 0 || measured_ + charged_ + bytes <= limit_) return true;
    if (charged_ + bytes < kSlack && measured_ + bytes <= limit_) return true;
    Tally tally;
    measure_(tally);
    measured_ = tally.bytes();
    charged_ = 0;
    return measured_ + bytes <= limit_;
}

void MemoryMeter::require(int64_t bytes) {
    if (!fits(bytes)) RaiseVbError(7);
}

void MemoryMeter::charge(int64_t bytes) {
    require(bytes);
    charged_ += bytes;
}

int64_t MemoryMeter::SizeOf(const Variant& v) {
    if (v.isString()) return textBytes(v.stringValue());
    if (!v.isArray()) return 0;
    const auto& data = v.arrayValue()->data();
    int64_t bytes = static_cast<int64_t>(data.capacity() * sizeof(Variant));
    for (const Variant& item : data)
        if (item.isString() || item.isArray()) bytes += SizeOf(item);
    return bytes;
}

void MemoryMeter::Tally::add(const Variant& v) {
    if (v.isString()) {
        const QString& s = v.stringValue();
        if (s.capacity() == 0) return;
        // A text held once needs no look-up; only shared ones are remembered.
        if (!s.isDetached()) {
            if (seen_.contains(s.constData())) return;
            seen_.insert(s.constData());
        }
        bytes_ += textBytes(s);
        return;
    }
    if (!v.isArray() || seen_.contains(v.arrayValue())) return;
    seen_.insert(v.arrayValue());
    const auto& data = v.arrayValue()->data();
    bytes_ += static_cast<int64_t>(data.capacity() * sizeof(Variant));
    for (const Variant& item : data)
        if (item.isString() || item.isArray()) add(item);
}

}  // namespace vbs
