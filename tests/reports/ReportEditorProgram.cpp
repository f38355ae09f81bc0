// Opens the report layout editor by hand over a database of FOLDER with a few customers, job orders
// and purchase orders, as the print-setting commands do: SOURCES and GROUPS are the lists they pass.
// The owner window stays usable; the printers are the installed ones and "PDF-A4" (FOLDER/pdf-a4.pdf).
//   report_editor FOLDER [SOURCES [GROUPS]]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

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
#include "reports/frmCustomReportSetting.h"

namespace {

class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

void storeRows() {
    odb::Tables& tables = g_objDatabase->Tables();
    auto customers = tables.Item("Clienti").OpenData();
    for (int i = 1; i <= 12; ++i)
        customers->AddRow({"Codice", QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), "Descrizione",
                           QStringLiteral("Cliente %1").arg(i)});
    auto orders = tables.Item("CommesseCliente").OpenData();
    for (int i = 1; i <= 3; ++i) {
        orders->AddRow({"Note", QStringLiteral("Commessa %1").arg(i)});
        auto details = orders->GetReference(QStringLiteral("Attrezzature"));
        for (int d = 1; d <= 3; ++d)
            details->AddRow({"Quantità", 10 * i + d});
    }
    auto parts = tables.Item("MagazzinoPartCommerciale").OpenData();
    std::vector<Variant> partRows;
    for (int i = 1; i <= 4; ++i) {
        parts->AddRow(
            {"Codice", QStringLiteral("P%1").arg(i), "Descrizione", QStringLiteral("Vite M%1").arg(i + 3)});
        partRows.push_back(parts->Bookmark());
    }
    auto purchases = tables.Item("OrdiniCommerciale").OpenData();
    for (int i = 1; i <= 2; ++i) {
        purchases->AddRow({"Note", QStringLiteral("Ordine %1").arg(i)});
        auto lines = purchases->GetReference(QStringLiteral("Particolari"));
        for (int p = 1; p <= 4; ++p)
            if (!lines->AddRow(
                    {"OID_MagazzinoPartCommerciale", partRows[size_t(p - 1)], "QuantitàOrdine", 5 * p}))
                std::fprintf(stderr, "order line %d refused\n", p);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: report_editor FOLDER [SOURCES [GROUPS]]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));
    SetProgramFolder(dir.path());
    const QString sources = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("DettagliCommesse");
    const QString groups = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

    Notify notify;
    const QString file = dir.filePath(QStringLiteral("ZeltoLavrix.mdb"));
    const bool fresh = !QFile::exists(file);
    auto connection = std::make_shared<odb::Connection>();
    if (fresh) connection->CreateDatabaseFile(file);
    connection->OpenDatabaseFile(file);
    g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
    g_objDatabase->Open(connection);
    g_objConnection = connection;
    if (fresh) storeRows();
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("PDF-A4"), QPageSize(QPageSize::A4), QMarginsF(),
                                              dir.filePath(QStringLiteral("pdf-a4.pdf")));

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Zelto Lavrix - Stampe"));
    auto* central = new QWidget(&main);
    auto* layout = new QVBoxLayout(central);
    auto* clicks = new QLabel(QStringLiteral("Clic: 0"), central);
    auto* open = new QPushButton(QStringLiteral("Impostazione Report..."), central);
    layout->addWidget(clicks);
    layout->addWidget(open);
    main.setCentralWidget(central);
    int count = 0;
    QObject::connect(open, &QPushButton::clicked, &main, [&] {
        clicks->setText(QStringLiteral("Clic: %1").arg(++count));
        frmCustomReportSetting::EditSetting(&main, g_objDatabase, g_objConnection, sources, false, false,
                                            groups);
    });
    main.resize(520, 300);
    main.move(40, 40);
    main.show();
    open->click();
    const int rc = app.exec();
    g_objDatabase.reset();
    connection->CloseConnection();
    return rc;
}
