// The related-record menus of the main window: the rows this row's references lead to
// ("< Associati >"), the rows of other tables that point to it ("< Riferimenti >") and the rows of
// the tables that contain it ("< Contenitori >"), numbered along the base-table chain; a click
// queues its command on tmFunc, whose tick opens the rows.
#include <QAction>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "platform/Prompt.h"
#include "startup/ShowErrorDetails.h"

namespace {

const QString kContCommand = QStringLiteral("mnuContItem(");
const QString kRefCommand = QStringLiteral("mnuRefItem(");
const QString kReferencedCommand = QStringLiteral("mnuReferencedItem(");

// The number after a command's "(": its leading digits, as Val reads them.
int commandNumber(const QString& command, qsizetype from) {
    int n = 0;
    for (qsizetype i = from; i < command.size() && command[i].isDigit(); ++i)
        n = n * 10 + command[i].digitValue();
    return n;
}

// How many relations of a kind a table has, hidden ones included.
int32_t relationCount(frmMain::RelationKind kind, const odb::Table& t) {
    switch (kind) {
        case frmMain::RelationKind::Container:
            return t.ContainerCount();
        case frmMain::RelationKind::Incoming:
            return t.IncomingCount();
        case frmMain::RelationKind::Association:
            break;
    }
    return t.OwnReferenceDefs().Count();
}

}  // namespace

QString frmMain::GetWithSameText(const QString& word, bool plural) {
    const QString last = word.right(1).toLower();
    if (last == QLatin1String("i") || last == QStringLiteral("ì")) return QStringLiteral(" con stessi ");
    if (last == QLatin1String("a") || last == QStringLiteral("à")) return QStringLiteral(" con stessa ");
    if (plural && last == QLatin1String("e")) return QStringLiteral(" con stesse ");
    return QStringLiteral(" con stesso ");
}

void frmMain::BuildRelatedRecordMenus(const std::shared_ptr<odb::DataSet>& ds, bool clearOnly) {
    MenuArray* arrays[] = {mnuReferencedItem_.get(), mnuRefItem_.get(), mnuContItem_.get()};
    const QString heads[] = {QStringLiteral("< Associati >"), QStringLiteral("< Riferimenti >"),
                             QStringLiteral("< Contenitori >")};
    for (int a = 0; a < 3; ++a) {
        arrays[a]->SetCaption(0, heads[a]);
        arrays[a]->head()->setVisible(true);
        arrays[a]->UnloadAll();
    }
    if (!clearOnly && ds) {
        const odb::Table* own = &ds->GetTable();
        int32_t offsets[3] = {0, 0, 0};
        auto load = [](MenuArray& array, const QString& caption, int32_t number, bool allowed) {
            QAction* item = array.Load(caption, QString::number(number));
            item->setEnabled(allowed);
        };
        for (const odb::Table* t = own; t; t = t->HasBaseTable() ? t->BaseTable() : nullptr) {
            const odb::ReferenceDefs& references = t->OwnReferenceDefs();
            for (int32_t i = 1; i <= references.Count(); ++i) {
                const odb::ReferenceDef& r = references.Item(i);
                if (r.Hidden()) continue;
                load(*mnuReferencedItem_, r.GetTexts(0).value(2), offsets[0] + i, r.OpenAllowed());
            }
            offsets[0] += references.Count();
            for (int32_t i = 1; i <= t->IncomingCount(); ++i) {
                const odb::ReferenceDef& r = t->IncomingReference(i);
                const odb::Table& owner = r.OwnerTable();
                if (r.Hidden() || owner.HideAsReferrer()) continue;
                load(*mnuRefItem_,
                     owner.Caption(0) + QStringLiteral(" (") + r.GetTexts(0).value(2) + QStringLiteral(")"),
                     offsets[1] + i, r.OpenAllowed());
            }
            offsets[1] += t->IncomingCount();
            for (int32_t i = 1; i <= t->ContainerCount(); ++i) {
                const odb::Table& c = t->Container(i);
                if (c.HideAsContainer()) continue;
                QString caption = c.Title();
                if (t != own) caption += GetWithSameText(t->Caption(0), false) + t->Caption(0);
                load(*mnuContItem_, caption, offsets[2] + i, c.OpenAllowed());
            }
            offsets[2] += t->ContainerCount();
        }
    }
    // With items somewhere, a head shows only over items of its own.
    bool any = false;
    for (MenuArray* array : arrays)
        any = any || array->Count() > 1;
    if (any)
        for (MenuArray* array : arrays)
            array->head()->setVisible(array->Count() > 1);
}

void frmMain::queueRelation(const MenuArray& array, const QString& name, int index) {
    // No rows on view: nothing queued, and nothing said.
    if (!viewShown() || m_objCurDS->DataEmpty()) return;
    QueueCommand(name + QLatin1Char('(') + QString::number(commandNumber(array.Tag(index), 0)) +
                 QLatin1Char(')'));
}

void frmMain::mnuRefItem_Click(int index) {
    queueRelation(*mnuRefItem_, QStringLiteral("mnuRefItem"), index);
}

void frmMain::mnuContItem_Click(int index) {
    queueRelation(*mnuContItem_, QStringLiteral("mnuContItem"), index);
}

void frmMain::mnuReferencedItem_Click(int index) {
    queueRelation(*mnuReferencedItem_, QStringLiteral("mnuReferencedItem"), index);
}

bool frmMain::RunRelationCommand(const QString& command) {
    if (command.startsWith(kContCommand))
        ShowContainerRecord(m_objCurDS, commandNumber(command, kContCommand.size()));
    else if (command.startsWith(kRefCommand))
        ShowReferenceRecord(m_objCurDS, commandNumber(command, kRefCommand.size()));
    else if (command.startsWith(kReferencedCommand))
        ShowAssociatedRecords(m_objCurDS, commandNumber(command, kReferencedCommand.size()));
    else
        return false;
    return true;
}

void frmMain::ShowContainerRecord(const std::shared_ptr<odb::DataSet>& ds, int relation) {
    try {
        openRelated(ds, RelationKind::Container, relation);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QStringLiteral("Si e' verificato un errore:\r\r") + e.description());
    }
}

void frmMain::ShowReferenceRecord(const std::shared_ptr<odb::DataSet>& ds, int relation) {
    try {
        openRelated(ds, RelationKind::Incoming, relation);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

void frmMain::ShowAssociatedRecords(const std::shared_ptr<odb::DataSet>& ds, int relation) {
    try {
        openRelated(ds, RelationKind::Association, relation);
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    }
}

void frmMain::openRelated(const std::shared_ptr<odb::DataSet>& ds, RelationKind kind, int relation) {
    if (!ds) RaiseVbError(91);
    if (!ds->ColExists(ds->GetTable().KeyField(0))) {
        Prompt::instance().msgBox(QStringLiteral("Operazione non abilitata in questa fase"),
                                  MsgBoxStyle::vbInformation, QString(), this);
        return;
    }
    // Numbers past a table's own relations name those of its base table, on the base row.
    std::shared_ptr<odb::DataSet> cur = ds;
    int32_t n = relation;
    while (n > relationCount(kind, cur->GetTable()) && cur->GetTable().HasBaseTable()) {
        n -= relationCount(kind, cur->GetTable());
        cur = cur->GetRelatedData();
    }
    std::shared_ptr<odb::DataSet> rows;
    bool manyRows = true;
    switch (kind) {
        case RelationKind::Container:
            rows = cur->OpenRelatedEx(n);
            break;
        case RelationKind::Incoming:
            rows = cur->OpenRelated(n);
            break;
        case RelationKind::Association: {
            const odb::ReferenceDef& r = cur->GetTable().OwnReferenceDefs().Item(n);
            manyRows = r.ManyRows();
            rows = cur->GetReference(r.Name());
            break;
        }
    }
    auto panel = odb::DataPanelTools::CreatePanel(rows, this, QString());
    if (manyRows)
        panel->SelectRow(-1, -1, 0);
    else
        panel->ShowRow(true, QString(), false);
}
