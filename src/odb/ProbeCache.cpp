// The shapes of the existence probes, built once each.
#include "odb/ProbeCache.h"

namespace odb {

namespace {
// Shapes are few (a rule asks the same few questions); texts made up at run time are not kept forever.
constexpr size_t kShapes = 256;
}  // namespace

const ProbeShape* ProbeCache::find(const Table* table, int scopeKind, const ReferenceDef* reference,
                                   const QString& where, const QString& filter, const QStringList& conditions,
                                   bool except) const {
    for (const auto& s : shapes_)
        if (s->table == table && s->reference == reference && s->scopeKind == scopeKind &&
            s->except == except && s->where == where && s->filter == filter && s->conditions == conditions)
            return s.get();
    return nullptr;
}

const ProbeShape& ProbeCache::add(ProbeShape shape) {
    if (shapes_.size() >= kShapes) shapes_.clear();
    shapes_.push_back(std::make_unique<const ProbeShape>(std::move(shape)));
    return *shapes_.back();
}

}  // namespace odb
