// The values a new row starts with and the refusals, over the tables of customers and suppliers,
// stock, tooling and machine-sale details and customer job orders.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include "StepRoadFixture.h"

namespace {

class OrderTables : public StepRoadFixture {
  protected:
    // The value as stored: Null, a text (empty is not Null) or a number (Booleans and dates too).
    static void ExpectValue(const Variant& actual, const Variant& expected) {
        if (expected.isNull()) {
            EXPECT_TRUE(actual.isNull()) << actual.toText().toStdString();
        } else if (expected.isString()) {
            EXPECT_TRUE(actual.isString()) << (actual.isNull() ? "Null" : actual.toText().toStdString());
            EXPECT_EQ(actual.toText(), expected.toText());
        } else {
            ASSERT_FALSE(actual.isEmptyOrNull());
            EXPECT_DOUBLE_EQ(actual.toDouble(), expected.toDouble());
        }
    }
};

TEST_F(OrderTables, NewRowsStartWithTheirValues) {
    addMachine("M1", 10);
    orderNumbered(3);
    addToolingDetail(*orderRow(3), "", 1);
    at(9, 15);
    const Variant now = Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 15));
    const Variant today = Variant::fromDate(MakeOleDate(2026, 3, 2));
    const Variant empty = QString("");
    const Variant null = Variant::null();
    const Variant zero = 0, no = false;
    struct Case {
        const char* source;  // a table, or the collection of order 3 the row is started in
        std::vector<std::pair<const char*, Variant>> values;
    };
    const Case cases[] = {
        {"Clienti",
         {{"Descrizione", null},
          {"Codice", empty},
          {"Indirizzo", empty},
          {"Citta", empty},
          {"Provincia", empty},
          {"CAP", empty},
          {"PartitaIva", empty},
          {"Telefono", empty},
          {"Fax", empty},
          {"EMail", empty},
          {"InvioAutomaticoEMail", no},
          {"SitoInternet", empty}}},
        {"Fornitori",
         {{"RagioneSociale", null},
          {"Indirizzo", empty},
          {"Citta", empty},
          {"Provincia", empty},
          {"CAP", empty},
          {"PartitaIVA", empty},
          {"CodiceFiscale", empty},
          {"Telefono", empty},
          {"Fax", empty},
          {"EMail", empty},
          {"SitoInternet", empty},
          {"Contatto", empty},
          {"Note", empty},
          {"DataAttivazione", today}}},
        {"MagazzinoMacchinari",
         {{"QuantitàGiacenza", zero},
          {"QuantitàOrdinata", zero},
          {"PrezzoListino", zero},
          {"CostoParticolariCommerciali", zero},
          {"CostoParticolariProduzione", zero},
          {"CostoTotale", zero},
          {"Immagine", empty}}},
        {"MagazzinoPartProduzione",
         {{"QuantitàMagazzino", zero},
          {"QuantitàInProduzione", zero},
          {"DisponibilitàFinale", zero},
          {"TempoPresunto", zero},
          {"PrezzoIndicativo", null}}},
        {"MagazzinoPartCommerciale",
         {{"CodiceFornitore", empty},
          {"QuantitàMagazzino", zero},
          {"QuantitàInOrdine", zero},
          {"DisponibilitàFinale", zero},
          {"UsoInterno", no},
          {"PrezzoUnitario", null}}},
        {"ParticolariAttrezzature",
         {{"PrezzoListino", zero}, {"CostoDiProduzione", zero}, {"TempoPresunto", zero}}},
        {"Attrezzature",
         {{"Quantità", 1},
          {"SottoProgressivo", 2},
          {"NumeroCommessa", QString("1-0003/002")},
          {"Chiuso", no},
          {"DataInizio", now},
          {"TempoImpiegato", zero}}},
        {"Macchine",
         {{"Quantità", 1},
          {"SottoProgressivo", 1},
          {"NumeroCommessa", QString("2-0003/001")},
          {"Chiuso", no},
          {"Macchinario", null}}},
        {"CommesseCliente",
         {{"DataInserimento", now},
          {"Progressivo", 4},
          {"CommessaChiusa", no},
          {"DataChiusura", null},
          {"TempoTotaleAttrezzature", zero},
          {"CostoEffettivoAttrezzature", zero},
          {"TempoTotaleMacchine", zero},
          {"CostoTotaleListinoAttrezzature", zero},
          {"CostoTotaleListinoMacchine", zero},
          {"Spedito", no},
          {"Urgente", no},
          {"StatoNotifica", 1},
          {"Cliente", null}}},
        {"CommesseContoVisione", {{"Progressivo", 4}, {"StatoNotifica", 1}, {"Descrizione", null}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const QString source = c.source;
        auto ds = source == "Attrezzature" || source == "Macchine" ? orderRow(3)->GetReference(source)
                                                                   : rows(source);
        ASSERT_TRUE(ds->NewRow()) << notify.messages.join("|").toStdString();
        for (const auto& [field, expected] : c.values) {
            SCOPED_TRACE(field);
            ExpectValue(ds->ColValue(field), expected);
        }
        // The details carry the type of their kind, the orders the worker that stands for none.
        if (ds->ColExists("NumeroCommessa"))
            EXPECT_EQ(ds->GetReference("Tipo")->ColNumber("Tipologia"), source == "Attrezzature" ? 1 : 2);
        if (ds->ColExists("StatoNotifica"))
            EXPECT_EQ(ds->GetReference("Referente")->ColText("Nominativo"), "<indefinito>");
        ds->CancelRow();
    }
    EXPECT_EQ(storedText("SELECT count(*) FROM CommesseCliente"), "3");
}

TEST_F(OrderTables, RefusalsLeaveTheRowAsStored) {
    QDir().mkpath(path("img"));
    for (const char* name : {"a.jpg", "b.jpg", "K1_a.jpg", "K2_a.jpg", "K2_b.jpg"}) {
        QFile f(path("img/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    addMachine("K1", 10);
    addMachine("K2", 10);
    ASSERT_TRUE(setAndSave(*machineRow("K1"), "Immagine", path("img/b.jpg")));
    auto open = addCustomerOrder();
    addToolingDetail(*open, "", 1);
    const QString img = path("img/");
    struct Case {
        const char* table;
        const char* where;
        const char* field;
        Variant value;
        QString refusal;
    };
    const Case cases[] = {
        {"CommesseCliente", "Progressivo=1", "Spedito", true,
         "Per effettuare la spedizione la commessa deve essere chiusa"},
        {"CommesseCliente", "Progressivo=1", "DataChiusura", date(9, 0),
         "La data di chiusura può essere modificata solo quando la commessa è chiusa"},
        // The name the machine's code asks for is another file's, or the file is missing.
        {"MagazzinoMacchinari", "Codice='K2'", "Immagine", img + "a.jpg",
         "Validazione del file <" + img + "a.jpg> per il campo <Immagine> non riuscita\r" + "Il file " + img +
             "K2_a.jpg esiste già"},
        {"MagazzinoMacchinari", "Codice='K1'", "Immagine", img + "a.jpg",
         "Validazione del file <" + img + "a.jpg> per il campo <Immagine> non riuscita\r" + "Il file " + img +
             "K1_a.jpg esiste già"},
        {"MagazzinoMacchinari", "Codice='K1'", "Codice", "K2",
         "Validazione del file <" + img + "K1_b.jpg> per il campo <Immagine> non riuscita\r" + "Il file " +
             img + "K2_b.jpg esiste già"},
        {"MagazzinoMacchinari", "Codice='K2'", "Immagine", img + "c.jpg",
         "Validazione del file <" + img + "c.jpg> per il campo <Immagine> non riuscita\r" + "Il file " + img +
             "c.jpg non esiste"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field);
        const QString read = QString("SELECT quote(%1) FROM %2 WHERE %3").arg(c.field, c.table, c.where);
        const QString before = storedText(read);
        const QStringList filesBefore = QDir(img).entryList(QDir::Files, QDir::Name);
        notify.clear();
        auto ds = rows(c.table, c.where);
        EXPECT_FALSE(setAndSave(*ds, c.field, c.value));
        EXPECT_EQ(notify.messages, QStringList{c.refusal});
        EXPECT_EQ(storedText(read), before);
        EXPECT_EQ(QDir(img).entryList(QDir::Files, QDir::Name), filesBefore);
        EXPECT_FALSE(before.isEmpty());
    }
}

}  // namespace
