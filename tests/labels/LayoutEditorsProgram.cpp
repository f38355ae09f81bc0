// Opens the layout windows by hand, as the main window's "Stampe" menu will, until its print-setting
// commands are connected: a window with that menu over a database of FOLDER (made with a few customers,
// workers, job orders and purchase orders when missing; kept between runs), the installed printers and
// a PDF printer of our own ("PDF-Etichette", writing FOLDER/etichette.pdf). Settings and exported files stay
// in FOLDER.
//   layout_editors FOLDER
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include <cstdio>
#include <vector>

#include "labels/frmLabelPrintSetting.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/ItalianLocale.h"
#include "platform/PrinterRegistry.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "reports/frmCustomReportSetting.h"

namespace {

class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

// The label commands of the "Stampe" menu and their tables.
struct LabelCommand {
    const char* name;
    const char* caption;
    const char* tables;
};
const LabelCommand kLabelCommands[] = {
    {"mnuLavrixPrintSetting", "Stampa &Commesse...", "DettagliCommesse"},
    {"mnuLavrixCardPrintSetting", "Stampa &Scheda Commessa...",
     "DettagliAttrezzature,DettagliProduzione,CommesseAssistenza,DettaglivenditaMacchinari"},
    {"mnuPrintMachineSchedule", "Stampa Scheda &Macchinario...", "CommesseProduzione"},
    {"mnuLabelPrintSetting", "Stampa &Etichette...",
     "MagazzinoMacchinari,MagazzinoPartCommerciale,MagazzinoPartProduzione,DedirIdovuduvIrezadiv,"
     "ParticolariAttrezzature,Clienti,Operai"},
};

// The report commands of the same menu, their sources and groups.
struct ReportCommand {
    const char* name;
    const char* caption;
    const char* sources;
    const char* groups;
};
const ReportCommand kReportCommands[] = {
    {"mnuPrintSetting_Acessi", "Stampa &Accessi Operai...", "Ingressi", ""},
    {"mnuPrintSetting_SchedaOperaio", "Stampa Scheda &Operaio...", "PassaggiDettaglioCommesse", ""},
    {"mnuPrintSetting_CostiDettComm", "Stampa Costi &Dettagli Commesse...", "DettagliCommesse",
     "CostiGenerale,CostiParticolare"},
    {"mnuPrintSetting_Macchine", "Stampa Macchine in Lavorazione / &Vendute...", "DettagliVenditaMacchinari",
     ""},
    {"mnuPrintSetting_Order", "Stampa O&rdini...", "OrdiniCommerciale.Particolari", ""},
};

// Each table gets its sample rows only while it is empty, so a folder that already holds some of
// them (workers but no customers, say) opens without a duplicate code.
bool tableEmpty(const char* table) {
    return g_objDatabase->Tables().Item(QString::fromUtf8(table)).OpenData()->DataEmpty();
}

void addSampleRows() {
    auto customers = g_objDatabase->Tables().Item("Clienti").OpenData(QStringLiteral("Codice <> ''"));
    const char* const names[][4] = {
        {"C001", "Officine Meccaniche Rossi S.r.l.", "Via dell'Artigianato 12", "Castelfranco Veneto"},
        {"C002", "Stampi Bianchi & Figli S.n.c.", "Zona Industriale Nord, lotto 7", "Bassano del Grappa"},
        {"C003", "Carpenteria Verdi", "Via Roma 3", "Vigonza"},
        {"C004", "Tecnoplast S.p.A.", "Viale dell'Industria 140", "Marghera"},
    };
    if (customers->DataEmpty())
        for (const auto& c : names)
            customers->AddRow({"Codice", c[0], "Descrizione", QString::fromUtf8(c[1]), "Indirizzo",
                               QString::fromUtf8(c[2]), "Citta", QString::fromUtf8(c[3])});
    auto workers = g_objDatabase->Tables().Item("Operai").OpenData();
    const char* const people[][2] = {
        {"0012", "Mario Bianchi"}, {"0013", "Lucia Esposito"}, {"0014", "Nicolò Rè"}};
    if (workers->DataEmpty())
        for (const auto& p : people)
            workers->AddRow({"Codice", p[0], "Nominativo", QString::fromUtf8(p[1])});

    // Job orders with tooling details, and purchase orders with their parts, for the reports.
    if (!tableEmpty("CommesseCliente") || !tableEmpty("MagazzinoPartCommerciale")) return;
    auto orders = g_objDatabase->Tables().Item("CommesseCliente").OpenData();
    for (int i = 1; i <= 3; ++i) {
        orders->AddRow({"Note", QStringLiteral("Commessa %1").arg(i)});
        auto details = orders->GetReference(QStringLiteral("Attrezzature"));
        for (int d = 1; d <= 3; ++d)
            details->AddRow({"Quantità", 10 * i + d});
    }
    auto parts = g_objDatabase->Tables().Item("MagazzinoPartCommerciale").OpenData();
    std::vector<Variant> partRows;
    for (int i = 1; i <= 4; ++i) {
        parts->AddRow(
            {"Codice", QStringLiteral("P%1").arg(i), "Descrizione", QStringLiteral("Vite M%1").arg(i + 3)});
        partRows.push_back(parts->Bookmark());
    }
    auto purchases = g_objDatabase->Tables().Item("OrdiniCommerciale").OpenData();
    for (int i = 1; i <= 2; ++i) {
        purchases->AddRow({"Note", QStringLiteral("Ordine %1").arg(i)});
        auto lines = purchases->GetReference(QStringLiteral("Particolari"));
        for (size_t p = 0; p < partRows.size(); ++p)
            lines->AddRow(
                {"OID_MagazzinoPartCommerciale", partRows[p], "QuantitàOrdine", int32_t(5 * (p + 1))});
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: layout_editors FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("settings"));
    SetSettingsFolder(dir.filePath(QStringLiteral("settings")));
    SetProgramFolder(dir.absolutePath());

    Notify notify;
    const QString file = dir.filePath(QStringLiteral("ZeltoLavrix.mdb"));
    auto connection = std::make_shared<odb::Connection>();
    if (!QFile::exists(file)) connection->CreateDatabaseFile(file);
    connection->OpenDatabaseFile(file);
    g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
    g_objDatabase->Open(connection);
    g_objConnection = connection;
    addSampleRows();

    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("PDF-Etichette"), QPageSize(QPageSize::A4),
                                              QMarginsF(), dir.filePath(QStringLiteral("etichette.pdf")));

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Zelto Lavrix - prova delle impostazioni di stampa"));
    main.setCentralWidget(new QLabel(QStringLiteral("Configurazione > Stampe"), &main));
    QMenu* settings = main.menuBar()->addMenu(QStringLiteral("&Configurazione"));
    QMenu* prints = settings->addMenu(QStringLiteral("Stampe"));
    for (const LabelCommand& c : kLabelCommands) {
        QAction* a = prints->addAction(QString::fromUtf8(c.caption));
        a->setObjectName(QString::fromLatin1(c.name));
        const QString tables = QString::fromLatin1(c.tables);
        QObject::connect(a, &QAction::triggered, &main, [&main, tables] {
            frmLabelPrintSetting::EditSetting(&main, g_objDatabase, g_objConnection, tables, {});
        });
    }
    for (const ReportCommand& c : kReportCommands) {
        QAction* a = prints->addAction(QString::fromUtf8(c.caption));
        a->setObjectName(QString::fromLatin1(c.name));
        const QString sources = QString::fromLatin1(c.sources), groups = QString::fromLatin1(c.groups);
        QObject::connect(a, &QAction::triggered, &main, [&main, sources, groups] {
            frmCustomReportSetting::EditSetting(&main, g_objDatabase, g_objConnection, sources, false, false,
                                                groups);
        });
    }
    main.resize(900, 600);
    main.show();
    const int rc = app.exec();
    g_objDatabase.reset();
    connection->CloseConnection();
    return rc;
}
