// The data sources of report profiles.
#include "reports/ReportSources.h"

#include "odb/Table.h"
#include "odb/Tables.h"

const QString kAllReferencesName = QStringLiteral("[ tutti i riferimenti ]");

namespace {

bool listed(const QString& paddedList, const QString& name) {
    return paddedList.contains(QLatin1Char(',') + name.toUpper() + QLatin1Char(','));
}

}  // namespace

std::vector<ReportSource> ReportSourceList(const odb::Tables& tables, const QString& onlyList,
                                           bool includeReferences) {
    const QString padded = QLatin1Char(',') + onlyList.toUpper() + QLatin1Char(',');
    std::vector<ReportSource> sources;
    for (int32_t i = 1, n = tables.Count(); i <= n; ++i) {
        const odb::Table& table = tables.Item(i);
        if (table.IsHidden() || table.IsInternal() || !table.IsListed()) continue;
        const bool named = onlyList.isEmpty() || listed(padded, table.Name());
        if (named) sources.push_back({table.Name(), table.Title()});
        int offered = 0;
        for (const odb::Table* t = &table; t; t = t->BaseTable())
            for (const auto& ref : t->OwnReferences()) {
                if (!ref->RowSource() || !ref->IsDetailSource()) continue;
                if (!(includeReferences && named) &&
                    !listed(padded, table.Name() + QLatin1Char('.') + ref->Name()))
                    continue;
                sources.push_back(
                    {ref->FullName(), table.Title() + QLatin1Char('.') + ref->GetTexts().value(2)});
                ++offered;
            }
        if (offered > 1)
            sources.push_back({table.Name() + QLatin1Char('.') + kAllReferencesName,
                               table.Title() + QLatin1Char('.') + kAllReferencesName});
    }
    return sources;
}

QString SourceTableName(const QString& item) {
    return item.section(QLatin1Char('.'), 0, 0);
}

QString SourceReferenceName(const QString& item) {
    const int dot = item.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : item.mid(dot + 1);
}
