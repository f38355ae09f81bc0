// The table Utenti: definition and row rules.
#include "model/tables/Utenti.h"

#include "model/TableRuleUtil.h"
#include "odb/DataSet.h"

void Utenti::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.1);
    identity.Flags1(1);
}

void Utenti::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                             odb::ReferenceDefs& /*references*/) {
    fields.AddField("Nome", odb::ftText, 64, 0, "", 1, -100, -100, true, "Nome o identificativo dell'utente",
                    "", 0);
    fields.AddField("Password", odb::ftText, 32, 0, "", -100, 1, -100, true, "", "", 0);
    fields.AddField("LivelloAccesso", odb::ftLong, 0, 0, "", 1, -100, -100, true, "",
                    "-1|Solo Commesse|0|Interrogazione|1|Amministrazione", 0);
    indexes.AddIndex("Nome", true, "");
}

void Utenti::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double /*oldVersion*/,
                                  bool created) {
    if (!created) return;
    ds.AddRow({"Nome", "Amministratore", "LivelloAccesso", 1});
    ds.AddRow({"Nome", "Operatore"});
}

void Utenti::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Password", "");
    ds.SetColValue("LivelloAccesso", 0);
}

void Utenti::OnUpdateRow(odb::DataSet& ds) {
    const bool administrator = ColTextIs(ds, "Nome", "Amministratore");
    // The administrator always keeps the administration rights.
    if (!ds.IsNewRow() && administrator && ds.ColNumber("LivelloAccesso") < 1)
        ds.RejectChange(QString("Non è possibile impostare l'utente ") + "Amministratore" +
                            " con un differente livello di accesso",
                        0);
    if (administrator && !ds.RowStateFlag(0, 0)) return;
    if (!ds.ColIsNull("LivelloAccesso") && ds.ColNumber("LivelloAccesso") == 1 &&
        ColTextIs(ds, "Password", ""))
        ds.AskQuestion(2,
                       QString("ATTENZIONE: Password non impostata.") + "\r\r" +
                           "Gli utenti abilitati all'amministrazione devono avere una password " +
                           "di sicurezza." + "\r\r" + "Continuare senza ?",
                       true, false);
}

void Utenti::OnDeleteRow(odb::DataSet& ds) {
    if (ColTextIs(ds, "Nome", "Amministratore"))
        ds.RejectChange(QString("Non è possibile eliminare l'utente ") + "Amministratore", 0);
}

void Utenti::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (ds.IsNewRow()) return;
    if (!IsColumn(columnName, "LivelloAccesso") && !IsColumn(columnName, "Nome")) return;
    if (ColTextIs(ds, "Nome", "Amministratore"))
        ds.RejectChange(QString("Non è possibile modificare l'utente ") + "Amministratore", 0);
}
