// Tries the label print run by hand, as a user would, until the main window's print commands exist:
// stores customers and their label layouts in a database of FOLDER, then runs a preview, a print with
// the printer chooser and the skip question, a two-run list on one sheet and a layout that prints an
// HTML page through the object viewer. With --auto every dialog is photographed into FOLDER and
// answered (printer "PDF-A4", skip 2); without it the user answers.
//   label_run FOLDER [--auto]
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "labels/frmLabelPreview.h"
#include "labels/frmObjectView.h"
#include "labels/modLabelPrint.h"
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "platform/ItalianLocale.h"
#include "platform/PrinterChoiceDialog.h"
#include "platform/PrinterRegistry.h"

namespace {

class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

const char* const kCustomerLabel =
    "' Etichetta indirizzo cliente\r\n"
    "Function PrintLabel(ds, prn)\r\n"
    "  prn.BoxOut 0, 0, 37, 70\r\n"
    "  prn.SetFont 10, True, False, \"Arial\"\r\n"
    "  prn.TxtOut 2, 3, ds.ColValue(\"Descrizione\"), 64\r\n"
    "  prn.SetFont 8\r\n"
    "  prn.TxtOut 12, 3, ds.ColValue(\"Indirizzo\") & vbCr & ds.ColValue(\"CAP\") & \" \" & "
    "ds.ColValue(\"Citta\") & \" (\" & ds.ColValue(\"Provincia\") & \")\", 64, True\r\n"
    "  prn.Barcode128bOut 22, 3, 10, 0.33, ds.ColValue(\"Codice\")\r\n"
    "  prn.TxtOutR 33, 67, ds.ColValue(\"Codice\")\r\n"
    "  PrintLabel = True\r\n"
    "End Function\r\n";

struct Customer {
    const char *code, *name, *address, *cap, *city, *province;
};

const Customer kCustomers[] = {
    {"C001", "Officine Meccaniche Rossi S.r.l.", "Via dell'Artigianato 12", "31033", "Castelfranco Veneto",
     "TV"},
    {"C002", "Stampi Bianchi & Figli S.n.c.", "Zona Industriale Nord, lotto 7", "36061", "Bassano del Grappa",
     "VI"},
    {"C003", "Carpenteria Verdi", "Via Roma 3", "35010", "Vigonza", "PD"},
    {"C004", "Tecnoplast S.p.A.", "Viale dell'Industria 140", "30175", "Marghera", "VE"},
    {"C005", "Minuterie Colombo", "Via Garibaldi 88/A", "20900", "Monza", "MB"},
    {"C006", "Automazioni Ferrari S.r.l.", "Strada Statale 11, km 302", "37047", "San Bonifacio", "VR"},
    {"C007", "Fonderia Esposito", "Via dei Fabbri 1", "80146", "Napoli", "NA"},
    {"C008", "Utensileria Romano", "Corso Vittorio Emanuele II 221", "10128", "Torino", "TO"},
    {"C009", "Idraulica Gallo S.a.s.", "Via Nazionale 45", "40065", "Pianoro", "BO"},
};

void addPrinter(const QString& name, const QString& file) {
    QFile::remove(file);
    PrinterRegistry::instance().addPdfPrinter(name, QPageSize(QPageSize::A4), QMarginsF(), file);
}

// Answers and photographs the dialogs when run with --auto.
class Autopilot : public QObject {
  public:
    explicit Autopilot(const QDir& dir) : dir_(dir) {
        timer_.setInterval(400);
        connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        timer_.start();
    }

  private:
    void shoot(QWidget* w, const QString& what) {
        const QString file =
            dir_.filePath(QStringLiteral("shot-%1-%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(what));
        const QRect frame = w->frameGeometry();
        QScreen* screen = w->screen();
        screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
        std::printf("%s\n", qPrintable(file));
    }
    void step() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == last_) return;
        if (++waited_ < 2) return;  // one more tick, so that the window is painted
        waited_ = 0;
        last_ = w;
        if (auto* input = qobject_cast<QInputDialog*>(w)) {
            shoot(w, QStringLiteral("domanda"));
            input->setTextValue(QStringLiteral("2"));
            input->accept();
        } else if (auto* choice = qobject_cast<PrinterChoiceDialog*>(w)) {
            shoot(w, QStringLiteral("stampante"));
            choice->accept();
        } else if (auto* preview = qobject_cast<frmLabelPreview*>(w)) {
            shoot(w, QStringLiteral("anteprima"));
            preview->reject();
        } else if (auto* viewer = qobject_cast<frmObjectView*>(w)) {
            shoot(w, QStringLiteral("oggetto"));
            viewer->PrintButton()->click();
            viewer->ExitButton()->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            shoot(w, QStringLiteral("messaggio"));
            box->accept();
        }
        last_ = nullptr;
    }
    QDir dir_;
    QTimer timer_;
    QWidget* last_ = nullptr;
    int shots_ = 0, waited_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: label_run FOLDER [--auto]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));
    const bool autopilot = argc > 2 && QByteArray(argv[2]) == "--auto";

    Notify notify;
    const QString file = dir.filePath(QStringLiteral("ZeltoLavrix.mdb"));
    QFile::remove(file);
    auto connection = std::make_shared<odb::Connection>();
    connection->CreateDatabaseFile(file);
    connection->OpenDatabaseFile(file);
    g_objDatabase = odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), "Zelto Lavrix", &notify);
    g_objDatabase->Open(connection);
    g_objConnection = connection;
    auto clienti = g_objDatabase->Tables().Item("Clienti").OpenData();
    for (const Customer& c : kCustomers)
        clienti->AddRow({"Codice", c.code, "Descrizione", c.name, "Indirizzo", c.address, "CAP", c.cap,
                         "Citta", c.city, "Provincia", c.province});
    auto layouts = g_objDatabase->Tables().Item("TabStampaEtichette").OpenData();
    layouts->AddRow({"NomeTabellaOrigine", "Clienti", "NomeStampante", "", "NumeroColonne", int32_t(3),
                     "AltezzaEtichetta", 37.0, "LarghezzaEtichetta", 70.0, "MargineSuperiore", 0.0,
                     "MargineSinistro", 0.0, "IstruzioniStampa", QString::fromLatin1(kCustomerLabel)});
    const QString page = dir.filePath(QStringLiteral("scheda.html"));
    QFile html(page);
    html.open(QIODevice::WriteOnly);
    html.write(
        "<html><body><h1>Scheda cliente</h1><p>Condizioni di fornitura e consegna.</p>"
        "<ul><li>Resa franco stabilimento</li><li>Pagamento 60 gg d.f.f.m.</li></ul></body></html>");
    html.close();
    layouts->AddRow(
        {"NomeTabellaOrigine", "Fornitori", "NomeStampante", "PDF-Oggetto", "NumeroColonne", int32_t(1),
         "AltezzaEtichetta", 37.0, "LarghezzaEtichetta", 70.0, "AbilitaPosizionamento", false,
         "IstruzioniStampa",
         QStringLiteral("Function PrintLabel(ds, prn)\r\n  prn.BoxOut 0, 0, 37, 70\r\n"
                        "  prn.TxtOut 3, 3, \"Allegata la scheda: \" & ds.ColValue(\"RagioneSociale\")\r\n"
                        "  prn.PrintObject \"Shell.Explorer\", \"navigate ") +
             page + QStringLiteral("\", \"ExecWB 6, 1\"\r\n  PrintLabel = True\r\nEnd Function\r\n")});
    g_objDatabase->Tables()
        .Item("Fornitori")
        .OpenData()
        ->AddRow({"RagioneSociale", "Acciai Speciali S.p.A."});

    PrinterRegistry& printers = PrinterRegistry::instance();
    printers.reset(qEnvironmentVariableIsSet("ZL_CUPS"));
    addPrinter(QStringLiteral("PDF-A4"), dir.filePath(QStringLiteral("etichette.pdf")));
    addPrinter(QStringLiteral("PDF-Lista"), dir.filePath(QStringLiteral("lista.pdf")));
    addPrinter(QStringLiteral("PDF-Oggetto"), dir.filePath(QStringLiteral("oggetto.pdf")));

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Zelto Lavrix - prova della stampa etichette"));
    main.setCentralWidget(new QLabel(QStringLiteral("Clienti: %1 righe").arg(clienti->RowCount()), &main));
    main.resize(640, 420);
    main.show();
    std::unique_ptr<Autopilot> pilot;
    if (autopilot) pilot = std::make_unique<Autopilot>(dir);

    QTimer::singleShot(500, &main, [&] {
        frmLabelPreview preview(&main);
        frmLabelPreview* target = &preview;
        auto ds = g_objDatabase->Tables().Item("Clienti").OpenData(QStringLiteral("Codice <> ''"), "Codice");
        ds->RowFirst();
        ds->RowNext();
        PrintLabels(&main, ds, Variant::missing(), true, {}, -1, true, target);
        std::printf("stampa: %d\n",
                    PrintLabels(&main, ds, Variant::missing(), false, {}, -1, true, target = nullptr));
        // The list: two data sets on one sheet, the second where the first stopped.
        printers.setCurrent(printers.find(QStringLiteral("PDF-Lista")));
        auto first = g_objDatabase->Tables().Item("Clienti").OpenData(
            QStringLiteral("Codice <= 'C004' And Codice <> ''"), "Codice");
        auto second =
            g_objDatabase->Tables().Item("Clienti").OpenData(QStringLiteral("Codice > 'C004'"), "Codice");
        first->RowFirst();
        second->RowFirst();
        const int16_t n = PrintLabels(&main, first, Variant::missing(), false, {}, 0, false, target);
        std::printf("lista: %d, poi %d\n", n,
                    PrintLabels(&main, second, Variant::missing(), false, {}, n, true, target));
        auto suppliers =
            g_objDatabase->Tables().Item("Fornitori").OpenData(QStringLiteral("RagioneSociale <> ''"));
        suppliers->RowFirst();
        frmLabelPreview objectPreview(&main);
        target = &objectPreview;
        PrintLabels(&main, suppliers, Variant::missing(), true, {}, 0, true, target);
        target = nullptr;
        PrintLabels(&main, suppliers, Variant::missing(), true, {}, 0, true, target);
        app.quit();
    });
    const int rc = app.exec();
    g_objDatabase.reset();
    connection->CloseConnection();
    return rc;
}
