// The values a new row starts with, and the refusals with the rows they leave as stored, over the
// tables of customers and suppliers, stock, job orders and their details, purchase orders and loads.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include "StepRoadFixture.h"

namespace {

class OrderTables : public StepRoadFixture {
  protected:
    void SetUp() override {
        StepRoadFixture::SetUp();
        addSupplier("Viteria Srl");
        addSupplier("Dadi Spa");
        addPart("MagazzinoPartCommerciale", "V1", 2.5, "Viteria Srl");
        addPart("MagazzinoPartProduzione", "P1", 10);
        addPart("MagazzinoPartProduzione", "P2", 10);
        addMachine("M1", 1000);
        addNeed("M1", "ParticolariProduzione", "P1", 2);
        addNeed("M1", "ParticolariProduzione", "P2", 1);
        notify.clear();
    }
    // Refused with `refusal`, leaving what `read` finds in the file as it was.
    void expectRefused(const std::function<bool()>& change, const QString& read, const QString& refusal) {
        const QString before = storedText(read);
        notify.clear();
        EXPECT_FALSE(change());
        EXPECT_EQ(notify.messages, QStringList{refusal});
        EXPECT_EQ(storedText(read), before);
    }
};

TEST_F(OrderTables, NewRowsStartWithTheirValues) {
    orderNumbered(3);
    addToolingDetail(*orderRow(1), "", 1);
    addProductionOrder("M1", 1);  // number 1, with two details
    ASSERT_TRUE(rows("OrdiniFornitore")->AddRow({"Fornitore", "Viteria Srl"}));
    ASSERT_TRUE(setAndSave(*rows("OrdiniCommerciale"), "Numero", 6));
    ASSERT_TRUE(rows("CarichiCommerciale")->AddRow({}));
    at(9, 15);
    const Variant now = Variant::fromDate(MakeOleDate(2026, 3, 2, 9, 15)), empty = QString(""),
                  null = Variant::null(), zero = 0, no = false, yes = true;
    struct Case {
        const char* source;  // a table, or "table.collection" of the table's first row
        const char* fields;  // those that start with `value`; "RowFlag" is the row's mark
        Variant value;
    };
    const Case cases[] = {
        {"Clienti", "Codice,Indirizzo,Citta,Provincia,CAP,PartitaIva,Telefono,Fax,EMail,SitoInternet", empty},
        {"Clienti", "InvioAutomaticoEMail", no},
        {"Clienti", "Descrizione", null},
        {"Fornitori",
         "Indirizzo,Citta,Provincia,CAP,PartitaIVA,CodiceFiscale,Telefono,Fax,EMail,SitoInternet,Contatto,"
         "Note",
         empty},
        {"Fornitori", "DataAttivazione", Variant::fromDate(MakeOleDate(2026, 3, 2))},
        {"MagazzinoMacchinari",
         "QuantitàGiacenza,QuantitàOrdinata,PrezzoListino,CostoParticolariCommerciali,"
         "CostoParticolariProduzione,"
         "CostoTotale",
         zero},
        {"MagazzinoMacchinari", "Immagine", empty},
        {"MagazzinoPartProduzione",
         "QuantitàMagazzino,QuantitàInProduzione,DisponibilitàFinale,TempoPresunto", zero},
        {"MagazzinoPartProduzione", "PrezzoIndicativo", null},
        {"MagazzinoPartCommerciale", "QuantitàMagazzino,QuantitàInOrdine,DisponibilitàFinale", zero},
        {"MagazzinoPartCommerciale", "CodiceFornitore", empty},
        {"MagazzinoPartCommerciale", "UsoInterno", no},
        {"ParticolariAttrezzature", "PrezzoListino,CostoDiProduzione,TempoPresunto", zero},
        {"CommesseCliente.Attrezzature", "Quantità,Tipo.Tipologia", 1},
        {"CommesseCliente.Attrezzature", "NumeroCommessa", QString("1-0001/002")},
        {"CommesseCliente.Attrezzature", "DataInizio", now},
        {"CommesseCliente.Macchine", "Quantità,SottoProgressivo", 1},
        {"CommesseCliente.Macchine", "Tipo.Tipologia", 2},
        {"CommesseCliente.Macchine", "NumeroCommessa", QString("2-0001/001")},
        {"CommesseCliente", "DataInserimento", now},
        {"CommesseCliente", "Progressivo", 4},
        {"CommesseCliente", "CommessaChiusa,Spedito,Urgente", no},
        {"CommesseCliente",
         "TempoTotaleAttrezzature,CostoEffettivoAttrezzature,TempoTotaleMacchine,"
         "CostoTotaleListinoAttrezzature,"
         "CostoTotaleListinoMacchine",
         zero},
        {"CommesseCliente", "StatoNotifica", 1},
        {"CommesseCliente", "Referente.Nominativo", QString("<indefinito>")},
        {"CommesseCliente", "Cliente,DataChiusura", null},
        {"CommesseContoVisione", "Progressivo", 4},
        {"CommesseContoVisione", "Descrizione", null},
        {"CommesseProduzione", "DataInserimento", now},
        {"CommesseProduzione", "Progressivo", 2},
        {"CommesseProduzione", "Quantità", 1},
        {"CommesseProduzione", "CommessaChiusa,Urgente", no},
        {"CommesseProduzione", "CostoNecessità,CostoEffettivo,TempoTotale", zero},
        {"CommesseProduzione", "CostoTotale,Macchinario", null},
        {"CommesseProduzione.Dettagli", "SottoProgressivo,Tipo.Tipologia", 3},
        {"CommesseProduzione.Dettagli", "NumeroCommessa", QString("3-0001/003")},
        {"CommesseProduzione.Dettagli", "Quantità,QuantitàNecessariaTotale,CostoNecessità,CostoProduzione",
         zero},
        {"OrdiniFornitore", "Numero", 7},
        {"OrdiniFornitore", "DataInserimento", now},
        {"OrdiniFornitore", "ImportoTotale", zero},
        {"OrdiniFornitore", "OrdineChiuso,Urgente", no},
        {"OrdiniFornitore", "Note", empty},
        {"OrdiniFornitore", "RowFlag", yes},
        {"OrdiniInterni", "RowFlag", yes},
        {"OrdiniCommerciale", "RowFlag", no},
        {"OrdiniCommerciale.Particolari", "DataOrdine", now},
        {"OrdiniCommerciale.Particolari", "ImportoOrdine,QuantitàCaricata", zero},
        {"OrdiniCommerciale.Particolari", "QuantitàOrdine", null},
        {"OrdiniCommerciale.Particolari", "Fornitore.RagioneSociale", QString("Viteria Srl")},
        {"CarichiCommerciale", "DataInserimento", now},
        {"CarichiCommerciale", "ImportoTotale", zero},
        {"CarichiCommerciale", "Note", empty},
        {"CarichiCommerciale.Particolari", "DataCarico", now},
        {"CarichiCommerciale.Particolari", "ImportoCarico", zero},
        {"CarichiCommerciale.Particolari", "QuantitàCarico", null},
        {"CarichiCommercialeOrdine", "RowFlag", yes},
        {"CarichiCommercialeOrdine", "Ordine", null},
    };
    for (const Case& c : cases) {
        const QStringList source = QString(c.source).split('.');
        auto ds = source.size() == 1 ? rows(source[0]) : rows(source[0])->GetReference(source[1]);
        ASSERT_TRUE(ds->NewRow()) << c.source << notify.messages.join("|").toStdString();
        for (const QString& field : QString(c.fields).split(',')) {
            SCOPED_TRACE((QString(c.source) + " " + field).toStdString());
            const QStringList path = field.split('.');
            const Variant actual = field == "RowFlag" ? Variant(ds->RowFlag())
                                   : path.size() == 1 ? ds->ColValue(field)
                                                      : ds->GetReference(path[0])->ColValue(path[1]);
            if (c.value.isString())
                EXPECT_TRUE(actual.isString() && actual.toText() == c.value.toText())
                    << actual.toText().toStdString();
            else if (c.value.isNull())
                EXPECT_TRUE(actual.isNull()) << actual.toText().toStdString();
            else
                EXPECT_TRUE(!actual.isEmptyOrNull() && actual.toDouble() == c.value.toDouble())
                    << actual.toText().toStdString();
        }
        ds->CancelRow();
    }
    EXPECT_EQ(count("CommesseCliente"), 3);
    EXPECT_EQ(count("OrdiniCommerciale"), 1);
}

TEST_F(OrderTables, RefusalsOfCustomerOrdersAndMachineImages) {
    const QString img = path("img/");
    QDir().mkpath(img);
    for (const char* name : {"a.jpg", "b.jpg", "K1_a.jpg", "K2_a.jpg", "K2_b.jpg"})
        QFile(img + name).open(QIODevice::WriteOnly);
    addMachine("K1", 10);
    addMachine("K2", 10);
    ASSERT_TRUE(setAndSave(*machineRow("K1"), "Immagine", img + "b.jpg"));
    addToolingDetail(*addCustomerOrder(), "", 1);
    const QString files = "SELECT group_concat(Immagine || Codice) FROM MagazzinoMacchinari";
    auto validation = [&](const QString& value, const QString& problem) {
        return "Validazione del file <" + img + value + "> per il campo <Immagine> non riuscita\rIl file " +
               img + problem;
    };
    struct Case {
        const char* table;
        const char* where;
        const char* field;
        Variant value;
        QString read, refusal;
    };
    const Case cases[] = {
        {"CommesseCliente", "Progressivo=1", "Spedito", true,
         "SELECT Spedito||quote(DataSpedizione) FROM CommesseCliente",
         "Per effettuare la spedizione la commessa deve essere chiusa"},
        {"CommesseCliente", "Progressivo=1", "DataChiusura", date(9, 0),
         "SELECT quote(DataChiusura) FROM CommesseCliente",
         "La data di chiusura può essere modificata solo quando la commessa è chiusa"},
        // The name the machine's code asks for is another file's, or the file is missing.
        {"MagazzinoMacchinari", "Codice='K2'", "Immagine", img + "a.jpg", files,
         validation("a.jpg", "K2_a.jpg esiste già")},
        {"MagazzinoMacchinari", "Codice='K1'", "Codice", "K2", files,
         validation("K1_b.jpg", "K2_b.jpg esiste già")},
        {"MagazzinoMacchinari", "Codice='K2'", "Immagine", img + "c.jpg", files,
         validation("c.jpg", "c.jpg non esiste")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field);
        const QStringList filesBefore = QDir(img).entryList(QDir::Files);
        auto ds = rows(c.table, c.where);
        expectRefused([&] { return setAndSave(*ds, c.field, c.value); }, c.read, c.refusal);
        EXPECT_EQ(QDir(img).entryList(QDir::Files), filesBefore);
    }
}

TEST_F(OrderTables, RefusalsOfProductionPurchasesAndLoads) {
    auto production = addProductionOrder("M1", 1);
    auto closed = production->GetReference("Dettagli", "SottoProgressivo=1");
    ASSERT_TRUE(setAndSave(*closed, "Chiuso", true));
    auto bare = production->GetReference("Dettagli");
    ASSERT_TRUE(bare->AddRow({}));
    ASSERT_TRUE(setAndSave(*bare, "Chiuso", true));
    auto noSupplier = rows("OrdiniFornitore");
    ASSERT_TRUE(noSupplier->AddRow({}));
    auto internalNoSupplier = rows("OrdiniInterni");
    ASSERT_TRUE(internalNoSupplier->AddRow({}));
    const VariantList v1Line{"OID_MagazzinoPartCommerciale",
                             partRow("MagazzinoPartCommerciale", "V1")->Bookmark(), "QuantitàOrdine", 4};
    auto order = rows("OrdiniFornitore");
    ASSERT_TRUE(order->AddRow({"Fornitore", "Viteria Srl"}));
    auto line = order->GetReference("Particolari");
    ASSERT_TRUE(line->AddRow(v1Line));
    auto internal = rows("OrdiniInterni");
    ASSERT_TRUE(internal->AddRow({"Fornitore", "Viteria Srl"}));
    ASSERT_TRUE(internal->GetReference("Particolari")->AddRow(v1Line));
    auto emptyLoad = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(emptyLoad->AddRow({}));
    auto load = rows("CarichiCommercialeOrdine");
    ASSERT_TRUE(load->AddRow({"Ordine", order->ColValue("Numero")}));
    const Variant otherPart =
        machineRow("M1")->GetReference("ParticolariProduzione", "Codice='P2'")->Bookmark();

    const QString details =
        "SELECT group_concat(d.Chiuso || x.Quantità || x.Particolare) FROM DettagliProduzione x "
        "JOIN DettagliCommesse d ON d.OID=x.OID";
    const QString lines = "SELECT count(*) || group_concat(QuantitàOrdine) FROM OrdinePartCommerciale";
    const QString suppliers =
        "SELECT group_concat(quote(Fornitore)) FROM (SELECT Fornitore FROM OrdiniFornitore "
        "UNION ALL SELECT Fornitore FROM OrdiniInterni UNION ALL SELECT Fornitore FROM "
        "MagazzinoPartCommerciale)";
    const QString noSupplierText = "Devi prima selezionare il fornitore";
    const QString notEmpty = "Non puoi cambiare il fornitore se l'ordine non è vuoto";
    struct Case {
        std::function<bool()> change;
        QString read, refusal;
    };
    const Case cases[] = {
        {[&] { return setAndSave(*closed, "Quantità", 9); }, details,
         "Non puoi impostare la quantità della commessa (3-0001/001) dopo la chiusura"},
        {[&] { return closed->SetColValue("Particolare", otherPart) && closed->SaveRow(); }, details,
         "Non cambiare il Particolare dopo la chiusura"},
        {[&] { return setAndSave(*bare, "Chiuso", false); }, details, "Devi prima impostare il Particolare"},
        {[&] { return setAndSave(*rows("CommesseProduzione"), "DataChiusura", date(9, 0)); },
         "SELECT quote(DataChiusura) FROM CommesseProduzione",
         "La data di chiusura può essere modificata solo quando la commessa è chiusa"},
        {[&] {
             return noSupplier->GetReference("Particolari")->AddRow({"QuantitàOrdine", 1});
         },
         lines, noSupplierText},
        {[&] {
             return internalNoSupplier->GetReference("Particolari")->AddRow({"QuantitàOrdine", 1});
         },
         lines, noSupplierText},
        {[&] { return order->SetReference("Fornitore", "Dadi Spa"); }, suppliers, notEmpty},
        {[&] { return internal->SetReference("Fornitore", "Dadi Spa"); }, suppliers, notEmpty},
        {[&] { return line->SetReference("Fornitore", "Dadi Spa") && line->SaveRow(); }, suppliers,
         "Impossibile modificare il fornitore perché intestatario dell' ordine "},
        {[&] {
             return emptyLoad->GetReference("Particolari")->AddRow({"QuantitàCarico", 1});
         },
         "SELECT count(*) FROM CaricoPartCommerciale", "Devi prima selezionare l'ordine"},
        {[&] { return load->SetReference("Ordine", noSupplier->ColValue("Numero")); },
         "SELECT group_concat(quote(Ordine)) FROM CarichiCommercialeOrdine",
         "Non puoi cambiare l'ordine se il carico non è vuoto"},
        {[&] { return noSupplier->SelectReference("RiferimentoMacchinari") != nullptr; },
         "SELECT quote(RiferimentoMacchinari) FROM OrdiniFornitore", noSupplierText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal.toStdString());
        expectRefused(c.change, c.read, c.refusal);
    }
    EXPECT_EQ(noSupplier->FocusedField(), "Fornitore");
}

}  // namespace
