// The shapes of the existence probes, built once each.
#include "odb/ProbeCache.h"

namespace odb {

namespace {
// Shapes are few (a rule asks the same few questions); texts made up at run time are not kept forever.
constexpr size_t kShapes = 256;
// Answers kept within one operation: the few probes one save asks.
constexpr size_t kAnswers = 16;
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
    if (shapes_.size() >= kShapes) clear();
    shapes_.push_back(std::make_unique<const ProbeShape>(std::move(shape)));
    return *shapes_.back();
}

const std::vector<bool>* ProbeCache::answer(const ProbeShape& shape, int64_t owner, int64_t except,
                                            const ProbeMoment& now, const RowWrite& last) {
    for (auto& a : answers_) {
        if (a.shape != &shape || a.owner != owner || a.except != except) continue;
        if (a.at.operation != now.operation || a.at.localVersion != now.localVersion) return nullptr;
        if (a.at.changes == now.changes) return &a.found;
        // Moved by one update since, of the very row the probe leaves out, which a row-local
        // probe does not read.
        if (shape.rowLocal && except > 0 && last.table == shape.table && last.oid == except &&
            last.changesBefore == a.at.changes && last.changesAfter == now.changes) {
            a.at.changes = now.changes;
            return &a.found;
        }
        return nullptr;
    }
    return nullptr;
}

void ProbeCache::keep(const ProbeShape& shape, int64_t owner, int64_t except, const ProbeMoment& now,
                      std::vector<bool> found) {
    // Answers of earlier operations can never serve again.
    std::erase_if(answers_, [&](const Answer& a) {
        return a.at.operation != now.operation ||
               (a.shape == &shape && a.owner == owner && a.except == except);
    });
    if (answers_.size() >= kAnswers) answers_.erase(answers_.begin());
    answers_.push_back({&shape, owner, except, now, std::move(found)});
}

}  // namespace odb
