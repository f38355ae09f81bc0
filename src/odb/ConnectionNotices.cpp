// The process-wide notifier of closing connections.
#include "odb/ConnectionNotices.h"

namespace odb {

ConnectionNotices& ConnectionNotices::instance() {
    static auto* notices = new ConnectionNotices;
    return *notices;
}

}  // namespace odb
