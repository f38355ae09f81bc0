// The table ImpostazioniPromemoria: definition and row rules: the table and date field must exist,
// the template's fields are checked, the notice period has bounds.
#include "model/tables/ImpostazioniPromemoria.h"

#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "odb/Tables.h"

void ImpostazioniPromemoria::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.3);
    identity.Flags1(1);
}

void ImpostazioniPromemoria::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                                             odb::ReferenceDefs& /*references*/) {
    fields.AddField("NomeTabella", odb::ftText, 64, 0, "", -100, -100, -100, true,
                    "Nome della tabella di riferimento per il promemoria", "", 0);
    fields.AddField(
        "NomeCampoData", odb::ftText, 64, 0, "", -100, -100, -100, true,
        "Nome della campo della tabella di riferimento per il promemoria, deve essere di una data", "", 0);
    fields.AddField("GiorniDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di giorni di preavviso (sommato a ore e minuti)", "", 0);
    fields.AddField("OreDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di ore di preavviso (sommato a giorni e minuti)", "", 0);
    fields.AddField("MinutiDiPreavviso", odb::ftLong, 0, 0, "", -100, -100, -100, true,
                    "Numero di minuti di preavviso (sommato a giorni e ore)", "", 0);
    fields.AddField("MessaggioDiNotifica", odb::ftText, 128, 0, "", -100, -100, -100, true,
                    "Se si utilizza <%NomeCampoTabella%> verrà visualizzato il contenuto del campo", "", 0);
    fields.AddField("DataUltimoControllo", odb::ftDateTime, 0, 0, "", -100, -100, -100, false,
                    "Utilizzata dal sistema come ripartenza per i controlli successivi", "", 0);
    indexes.AddIndex("NomeTabella", false, "");
}

namespace {

constexpr int kMaxNoticeDays = 30;
constexpr int kMinNoticeMinutes = 30;

// The table of the open database named `name`.
odb::Table& TableNamed(odb::DataSet& ds, const QString& name) {
    return ds.GetTable().GetTables().Item(name);
}

QString MissingFieldText(const QString& field, const QString& table) {
    return "Campo '" + field + "' inesistente nella tabella " + table;
}

}  // namespace

void ImpostazioniPromemoria::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("GiorniDiPreavviso", 0);
    ds.SetColValue("OreDiPreavviso", 0);
    ds.SetColValue("MinutiDiPreavviso", 0);
}

void ImpostazioniPromemoria::OnUpdateRow(odb::DataSet& ds) {
    if (ds.ColNumber("GiorniDiPreavviso") == 0 && ds.ColNumber("OreDiPreavviso") == 0 &&
        ds.ColNumber("MinutiDiPreavviso") < kMinNoticeMinutes) {
        ds.ShowMessage("I minuti di preavviso TOTALI non possono essere inferiori a " +
                       QString::number(kMinNoticeMinutes));
        ds.SetColValue("MinutiDiPreavviso", kMinNoticeMinutes);
    }
}

void ImpostazioniPromemoria::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (IsColumn(columnName, "NomeTabella"))
        keptTableName_ = ds.ColText("NomeTabella");
    else if (IsColumn(columnName, "NomeCampoData"))
        keptDateField_ = ds.ColText("NomeCampoData");
}

void ImpostazioniPromemoria::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (IsColumn(changedColumnName, "NomeTabella")) {
        const QString name = ds.ColText("NomeTabella");
        if (!ds.GetTable().GetTables().Exists(name)) ds.RejectChange("Tabella '" + name + "' inesistente", 0);
        // A rule on another table starts its scan afresh.
        if (name != keptTableName_) ds.SetColValue("DataUltimoControllo", Variant::null());
    } else if (IsColumn(changedColumnName, "NomeCampoData")) {
        const QString tableName = ds.ColText("NomeTabella");
        if (tableName.isEmpty()) ds.RejectChange("Inserire prima il nome della tabella", 0);
        const QString field = ds.ColText("NomeCampoData");
        odb::Table& table = TableNamed(ds, tableName);
        if (!table.HasField(field)) ds.RejectChange(MissingFieldText(field, tableName), 0);
        const int32_t type = table.FieldByName(field)->TypeCode();
        if (type != odb::ftDateTime && type != odb::ftDate)
            ds.RejectChange("Il campo '" + field + "' non è di tipo Data o Data/ora", 0);
        if (field != keptDateField_) ds.SetColValue("DataUltimoControllo", Variant::null());
    } else if (IsColumn(changedColumnName, "MessaggioDiNotifica")) {
        const QString tableName = ds.ColText("NomeTabella");
        if (tableName.isEmpty()) ds.RejectChange("Inserire prima il nome della tabella", 0);
        CheckMessageFields(ds, ds.ColText("MessaggioDiNotifica"), tableName);
    } else if (IsColumn(changedColumnName, "GiorniDiPreavviso")) {
        if (ds.ColNumber("GiorniDiPreavviso") > kMaxNoticeDays) {
            ds.ShowMessage("I giorni di preavviso non possono essere maggiori di " +
                           QString::number(kMaxNoticeDays));
            ds.SetColValue("GiorniDiPreavviso", kMaxNoticeDays);
        }
    }
}

void ImpostazioniPromemoria::CheckMessageFields(odb::DataSet& ds, const QString& text,
                                                const QString& tableName) {
    QString rest = text;
    for (;;) {
        QString field;
        NextMessageField(ds, rest, field, rest);
        if (field.isEmpty()) return;
        if (!TableNamed(ds, tableName).HasField(field)) {
            // Informs only: the template is stored as it is.
            ds.AskQuestion(1, MissingFieldText(field, tableName), true, false);
            return;
        }
    }
}

void ImpostazioniPromemoria::NextMessageField(odb::DataSet& ds, const QString& text, QString& fieldName,
                                              QString& rest) {
    const qsizetype open = text.indexOf(QStringLiteral("<%"));
    QString name, after;
    if (open >= 0) {
        const qsizetype close = text.indexOf(QStringLiteral("%>"));
        if (close > open) {
            name = text.mid(open + 2, close - open - 2);
            after = text.mid(close + 2);
        } else {
            ds.AskQuestion(1,
                           "Messaggio non corretto.\r"
                           "Per inserire il nome di un campo della tabella usare la specifica <%NomeCampo%> ",
                           true, false);
        }
    }
    fieldName = name;
    rest = after;
}
