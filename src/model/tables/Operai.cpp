// The table Operai: definition and row rules.
#include "model/tables/Operai.h"

#include "base/AppError.h"
#include "model/ParseCardCode.h"
#include "model/TableRuleUtil.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/DbmsGlobal.h"

void Operai::DefineIdentity(odb::TableIdentity& identity) {
    identity.Version(1.6);
    identity.Flags1(1);
}

void Operai::DefineStructure(odb::FieldDefs& fields, odb::IndexDefs& indexes,
                             odb::ReferenceDefs& references) {
    fields.AddField("Codice", odb::ftCodeText, 10, 0, "", 1, -100, -100, true,
                    "Codice identificativo dell'operaio", "", 0);
    fields.AddField("Nominativo", odb::ftText, 64, 0, "", 1, -100, -100, true, "Nome e Cognome", "", 0);
    fields.AddField("Matricola", odb::ftCodeText, 32, 0, "", -100, -100, -100, true,
                    "Numero o Codice Matricola", "", 0);
    fields.AddField("Impiegato", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Utilizzato per stabilire il numero d'ordine differenziato per impiegati o non impiegati",
                    "", 0);
    fields.AddField("AbilitaStraordinari", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Abilita gli straordinari per questo operaio", "", 0);
    fields.AddField("GestioneAvanzataCommesse", odb::ftBoolean, 0, 0, "", -100, -100, -100, true,
                    "Abilita la gestione avanzata delle commesse dal pannello comandi", "", 0);
    fields.AddField("DataNascita", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataAssunzione", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("DataFineRapporto", odb::ftDate, 0, 0, "", -100, -100, -100, false, "", "", 0);
    fields.AddField("Indirizzo", odb::ftText, 128, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Citta", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Provincia", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("CAP", odb::ftText, 5, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Telefono", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    fields.AddField("Cellulare", odb::ftText, 32, 0, "", -100, -100, -100, true, "", "", 0);
    references.AddReference("Categoria", "TipiCategoria", false, false, "", "Descrizione", -100, -100, -100,
                            "", -2, -1, 0);
    references.AddReference("Manzione", "DedirIdovuduvIrezadiv", false, false, "Codice",
                            "Descrizione,CostoOrario", -100, -100, -100, "", -2, -1, 0);
    indexes.AddIndex("Nominativo", false, "");
    indexes.AddIndex("Codice", true, "");
    indexes.AddIndex("Matricola", false, "");
    indexes.SetBrowseColumns("Codice,Matricola,Nominativo,Categoria,Manzione");
}

void Operai::OnUpdatedTableStruct(odb::DataSet& ds, double /*curVersion*/, double oldVersion, bool created) {
    if (created) {
        ds.AddRow({"Codice", "", "Nominativo", "<indefinito>", "Categoria", "<indefinito>", "Manzione", ""});
    } else if (oldVersion < 1.6) {
        // Older databases kept a unique constraint on the name; where there is none the statement
        // fails, which changes nothing.
        try {
            ds.GetConnection()->Execute("ALTER TABLE Operai DROP CONSTRAINT Nominativo");
        } catch (const AppError&) {
        }
    }
}

void Operai::OnNewRow(odb::DataSet& ds) {
    ds.SetColValue("Matricola", "");
    ds.SetColValue("Impiegato", false);
    ds.SetColValue("AbilitaStraordinari", false);
    ds.SetColValue("GestioneAvanzataCommesse", false);
    ds.SetColValue("Indirizzo", "");
    ds.SetColValue("Citta", "");
    ds.SetColValue("Provincia", "");
    ds.SetColValue("CAP", "");
    ds.SetColValue("Telefono", "");
    ds.SetColValue("Cellulare", "");
}

void Operai::OnDeleteRow(odb::DataSet& ds) {
    if (ColTextIs(ds, "Codice", ""))
        ds.RejectChange(QString("Non è possibile eliminare l'operaio ") + "<indefinito>", 0);
}

// A code typed by hand is brought to the form of a code read from a worker card.
void Operai::OnUpdateField(odb::DataSet& ds, const QString& changedColumnName) {
    if (!IsColumn(changedColumnName, "Codice")) return;
    QString prefix;
    auto types = ds.OpenTable("TipiCommessa", "Tipologia=9");
    if (!types->DataEmpty()) prefix = types->ColText("PrefissoNumero");
    const QString code = ParseCardCode(ds.ColText("Codice"), prefix, false);
    // Writing the shortened code runs this rule once more, which then finds nothing to change.
    if (!code.isEmpty() && !odb::DbmsGlobal::ValuesEqual(code, ds.ColValue("Codice")))
        ds.SetColValue("Codice", code);
}

void Operai::OnBeforeUpdateField(odb::DataSet& ds, const QString& columnName) {
    if (ds.IsNewRow()) return;
    if (!IsColumn(columnName, "Codice") && !IsColumn(columnName, "Nominativo")) return;
    if (ColTextIs(ds, "Nominativo", "<indefinito>") || ColTextIs(ds, "Codice", ""))
        ds.RejectChange(QString("Non è possibile modificare l'operaio ") + "<indefinito>", 0);
}
