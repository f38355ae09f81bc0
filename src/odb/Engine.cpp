// The shared state of one open database.
#include "odb/Engine.h"

#include "odb/Connection.h"
#include "odb/LibraryError.h"
#include "odb/Table.h"

namespace odb {

Engine::Engine(Database& database, std::shared_ptr<itfDefDatabase> definition, const QString& applicationName,
               itfNotifyEvent* notify)
    : database_(database),
      definition_(std::move(definition)),
      applicationName_(applicationName),
      notify_(notify) {}

Engine::~Engine() = default;

Connection& Engine::conn() const {
    if (!connection_ || !connection_->IsOpen()) LibraryError::Raise(odbErrNotOpen);
    return *connection_;
}

Table* Engine::findTable(const QString& name) const {
    return tables_.find(name);
}

Table& Engine::table(const QString& name) const {
    return tables_.Item(name);
}

void Engine::reset(std::shared_ptr<Connection> connection) {
    open_ = false;
    rows_.clear();
    tables_.clear();
    translations_.clear();
    recentTranslations_.fill({});
    ownerLabels_.clear();
    probes_.clear();
    connection_ = std::move(connection);
}

void Engine::addTables(const std::vector<std::shared_ptr<Table>>& tables) {
    for (const auto& t : tables)
        tables_.add(t);
}

}  // namespace odb
