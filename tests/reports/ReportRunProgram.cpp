// Tries the report run by hand, as a user would, until the report editor exists: stores in a database of
// FOLDER a cost sheet of the job-order details (a background picture, a barcode per detail, totals) and
// the monthly accesses of 89 workers (60 pages), then previews each; from the accesses' preview one page
// is printed alone and then the whole report, both on "PDF-A4". With --auto the preview is paged, zoomed
// and scrolled by itself and photographed into FOLDER at each step, and the dialogs are answered; without
// it the user does all that.
//   report_run FOLDER [--auto]
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>
#include <functional>

#include <sqlite3.h>

#include "base/DateUtil.h"
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
#include "platform/ProgramFolder.h"
#include "reports/frmCustomReportPreview.h"
#include "reports/modCustomReport.h"

namespace {

constexpr int kWorkers = 89, kDays = 22;  // 1,958 rows: 60 pages of up to 33

const char* const kAccesses =
    "' Accessi mensili: 33 righe per pagina, totale dei minuti in fondo all'ultima\r\n"
    "Function PrintDataInit(dsRow, prn)\r\n"
    "  prn.SetFont 9, False, False, \"Arial\"\r\n"
    "  PrintDataInit = True\r\n"
    "End Function\r\n"
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.BoxOut 0, 10, 6, 190\r\n"
    "  prn.TxtOut 1, 12, dsRow.ColText(\"Data\")\r\n"
    "  prn.TxtOut 1, 35, dsRow.GetReference(\"Operaio\").ColValue(\"Nominativo\"), 60\r\n"
    "  prn.TxtOut 1, 100, Left(dsRow.ColText(\"OraEntrataMattino\"), 5) & \" - \" & "
    "Left(dsRow.ColText(\"OraUscitaMattino\"), 5)\r\n"
    "  prn.TxtOut 1, 135, Left(dsRow.ColText(\"OraEntrataPomeriggio\"), 5) & \" - \" & "
    "Left(dsRow.ColText(\"OraUscitaPomeriggio\"), 5)\r\n"
    "  prn.TxtOutR 1, 198, dsRow.ColValue(\"MinutiPresenza\")\r\n"
    "  prn.Nums(\"Totale\") = prn.Nums(\"Totale\") + dsRow.ColValue(\"MinutiPresenza\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  prn.SetFont 16, True\r\n"
    "  prn.TxtOut 10, 10, \"Accessi del mese di marzo 2026\"\r\n"
    "  prn.SetFont 9, True\r\n"
    "  prn.TxtOut 22, 12, \"Data\"\r\n"
    "  prn.TxtOut 22, 35, \"Operaio\"\r\n"
    "  prn.TxtOut 22, 100, \"Mattino\"\r\n"
    "  prn.TxtOut 22, 135, \"Pomeriggio\"\r\n"
    "  prn.TxtOutR 22, 198, \"Minuti\"\r\n"
    "  prn.LineOut 27, 10, 27, 200\r\n"
    "  prn.SetFont 9, False\r\n"
    "  prn.TxtOutR 285, 200, \"Pagina \" & (prn.ReportModuleCount + 1)\r\n"
    "  If bTotal Then\r\n"
    "    prn.SetFont 10, True\r\n"
    "    prn.BoxOut 232, 120, 10, 80, False, True\r\n"
    "    prn.TxtOut 234, 123, \"Totale minuti\"\r\n"
    "    prn.TxtOutR 234, 197, FormatNumber(prn.Nums(\"Totale\"), 0)\r\n"
    "    prn.SetFont 9, False\r\n"
    "  End If\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

const char* const kCosts =
    "' Costi dei dettagli di una commessa, su carta intestata\r\n"
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.SetFont 10, False, False, \"Arial\"\r\n"
    "  prn.Barcode128bOut 1, 12, 8, 0.3, dsRow.ColText(\"NumeroCommessa\")\r\n"
    "  prn.TxtOut 1, 70, dsRow.ColText(\"NumeroCommessa\")\r\n"
    "  prn.SetFont 9\r\n"
    "  prn.TxtOut 5.5, 70, dsRow.ColText(\"Note\"), 60\r\n"
    "  prn.SetFont 10\r\n"
    "  prn.TxtOutR 1, 160, dsRow.ColValue(\"TempoImpiegato\") & \" min\"\r\n"
    "  prn.TxtOutR 1, 195, FormatCurrency(dsRow.ColValue(\"CostoEffettivoPassaggi\"))\r\n"
    "  prn.LineOut 13, 10, 13, 200\r\n"
    "  prn.Nums(\"Costo\") = prn.Nums(\"Costo\") + dsRow.ColValue(\"CostoEffettivoPassaggi\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  prn.SetFont 18, True, False, \"Arial\"\r\n"
    "  prn.TxtOut 45, 12, \"Costi dettagli commesse\"\r\n"
    "  prn.SetFont 10, True\r\n"
    "  prn.TxtOut 58, 12, \"Codice\"\r\n"
    "  prn.TxtOut 58, 70, \"Commessa / note\"\r\n"
    "  prn.TxtOutR 58, 160, \"Tempo\"\r\n"
    "  prn.TxtOutR 58, 195, \"Costo\"\r\n"
    "  If bTotal Then\r\n"
    "    prn.BoxOut 250, 120, 12, 80, False, True\r\n"
    "    prn.TxtOut 253, 124, \"Totale\"\r\n"
    "    prn.TxtOutR 253, 196, FormatCurrency(prn.Nums(\"Costo\"))\r\n"
    "  End If\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    void OnQueryMessage(void*, int32_t, const QString&, bool& cancel) override { cancel = false; }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}
};

// A letterhead: a frame, the firm's name in a band and a pale mark in the middle.
QString writeLetterhead(const QDir& dir) {
    QImage image(1240, 1754, QImage::Format_RGB32);  // A4 at 150 dpi
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 1240, 200), QColor(0xd8, 0xe4, 0xf0));
    p.setPen(QPen(QColor(0x30, 0x50, 0x80), 6));
    p.drawRect(QRect(30, 30, 1180, 1694));
    QFont font(QStringLiteral("Liberation Sans"), 40, QFont::Bold);
    p.setFont(font);
    p.drawText(QRect(60, 50, 1120, 110), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Officine Zelto S.r.l. - reparto attrezzature"));
    font.setPointSize(160);
    p.setFont(font);
    p.setPen(QColor(0xf0, 0xf0, 0xf0));
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("ZL"));
    p.end();
    const QString file = dir.filePath(QStringLiteral("carta-intestata.png"));
    image.save(file);
    return file;
}

void storeLayouts(const QString& background) {
    auto layouts = g_objDatabase->Tables().Item("TabProspettiStampa").OpenData();
    // clang-format off
    layouts->AddRow({"NomeTabellaOrigine", "Ingressi", "NomeProspetto", "Accessi mensili",
                     "NomeStampante", "PDF-A4", "NumeroColonne", int32_t(1),
                     "AltezzaModulo", 0.0, "LarghezzaModulo", 0.0, "MargineSuperiore", 0.0, "MargineSinistro", 0.0,
                     "MargineSuperioreRighe", 30.0, "MargineInferioreRighe", 228.0, "AltezzaRigheDettaglio", 6.0,
                     "IstruzioniStampa", QString::fromLatin1(kAccesses)});
    layouts->AddRow({"NomeTabellaOrigine", "DettagliCommesse", "NomeProspetto", "Costi dettagli",
                     "NomeGruppo", "CostiGenerale", "NomeStampante", "PDF-A4", "NumeroColonne", int32_t(1),
                     "AltezzaModulo", 0.0, "LarghezzaModulo", 0.0, "MargineSuperiore", 0.0, "MargineSinistro", 0.0,
                     "MargineSuperioreRighe", 65.0, "MargineInferioreRighe", 245.0, "AltezzaRigheDettaglio", 14.0,
                     "ImmagineSfondo", background, "MargineInferioreSfondo", 0.0,
                     "IstruzioniStampa", QString::fromLatin1(kCosts)});
    // clang-format on
}

// Three orders with tooling details through the library, then the times and costs their work steps
// would have given written into the file.
void storeOrders(const QString& file) {
    auto orders = g_objDatabase->Tables().Item("CommesseCliente").OpenData();
    const char* const notes[] = {"Stampo tranciatura staffa", "Attrezzo di saldatura telaio",
                                 "Maschera di controllo quote", "Pinza di presa robot",
                                 "Stampo progressivo lamierino, revisione B con inserti temprati"};
    for (int o = 0; o < 3; ++o) {
        orders->AddRow({"Note", QStringLiteral("Ordine cliente %1").arg(o + 1)});
        auto details = orders->GetReference(QStringLiteral("Attrezzature"));
        for (int d = 0; d < 5; ++d)
            details->AddRow({"Quantità", 1 + d % 3, "Note", QString::fromUtf8(notes[(o + d) % 5])});
    }
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "UPDATE DettagliCommesse SET TempoImpiegato = 95 + (OID * 37) % 400, "
                 "CostoEffettivoPassaggi = (95 + (OID * 37) % 400) * 0.75 * 10000",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// 89 workers through the library, their accesses of 22 working days written into the file.
void storeAccesses(const QString& file) {
    auto workers = g_objDatabase->Tables().Item("Operai").OpenData();
    const char* const names[] = {"Rossi Mario",   "Bianchi Luca",  "Verdi Paolo",   "Colombo Anna",
                                 "Ferrari Marco", "Esposito Sara", "Romano Andrea", "Gallo Elena",
                                 "Conti Giorgio", "Greco Chiara"};
    for (int i = 1; i <= kWorkers; ++i)
        workers->AddRow({"Codice", QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), "Nominativo",
                         QStringLiteral("%1 (%2)").arg(QString::fromLatin1(names[i % 10])).arg(i)});
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO Ingressi (Data, OraEntrataMattino, OraUscitaMattino, OraEntrataPomeriggio, "
        "OraUscitaPomeriggio, MinutiPresenza, Operaio) SELECT ?, ?, ?, ?, ?, ?, OID FROM Operai "
        "WHERE Codice = ?",
        -1, &st, nullptr);
    int day = 0;
    for (int d = 1; day < kDays; ++d) {
        const QDate date(2026, 3, d);
        if (date.dayOfWeek() > 5) continue;
        ++day;
        for (int w = 1; w <= kWorkers; ++w) {
            const int late = (w * 7 + d * 3) % 13;
            const QByteArray code = QStringLiteral("%1").arg(w, 4, 10, QLatin1Char('0')).toUtf8();
            sqlite3_bind_double(st, 1, MakeOleDate(2026, 3, d));
            sqlite3_bind_double(st, 2, MakeOleTime(8, late, 0));
            sqlite3_bind_double(st, 3, MakeOleTime(12, 30, 0));
            sqlite3_bind_double(st, 4, MakeOleTime(13, 30, 0));
            sqlite3_bind_double(st, 5, MakeOleTime(17, 30, 0));
            sqlite3_bind_int(st, 6, 480 - late);
            sqlite3_bind_text(st, 7, code.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Pages, zooms and scrolls the preview one step a tick, photographing each; answers the printer chooser.
class Autopilot : public QObject {
  public:
    explicit Autopilot(const QDir& dir) : dir_(dir) {
        timer_.setInterval(300);
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start();
    }

  private:
    void shoot(QWidget* w, const QString& what) {
        const QString file =
            dir_.filePath(QStringLiteral("shot-%1-%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(what));
        const QRect frame = w->frameGeometry();
        w->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
        std::printf("%s\n", qPrintable(file));
    }
    template <class T>
    static T* child(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    void zoom(frmCustomReportPreview* p, const char* option) {
        child<QCheckBox>(p, "chkStretch")->setChecked(true);
        p->chkStretch_Click();
        child<QRadioButton>(p, option)->click();
    }
    void key(QWidget* w, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    // The steps on the accesses' preview, one a tick; the window is photographed at the next tick, once
    // it has been painted.
    void previewStep(frmCustomReportPreview* p) {
        QWidget* view = child<QWidget>(p, "imgView");
        switch (step_++) {
            case 0:
                p->cmdFirst_Click();
                pending_ = QStringLiteral("prima-pagina");
                break;
            case 1:
                p->cmdLast_Click();
                pending_ = QStringLiteral("ultima-pagina");
                break;
            case 2:
                zoom(p, "optStretchAuto");
                pending_ = QStringLiteral("zoom-automatico");
                break;
            case 3:
                zoom(p, "optStretchArea");
                pending_ = QStringLiteral("zoom-adatta-area");
                break;
            case 4:
                zoom(p, "optStretch300");
                pending_ = QStringLiteral("zoom-300");
                break;
            case 5:
                zoom(p, "optStretch200");
                pending_ = QStringLiteral("zoom-200");
                break;
            case 6: {
                // Toward the user, twice, over the page.
                const QPointF at = view->mapTo(p, QPointF(50, 50));
                QWheelEvent wheel(at, p->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(p, &wheel);
                QApplication::sendEvent(p, &wheel);
                pending_ = QStringLiteral("rotella-giu-due-passi");
                break;
            }
            case 7:
                for (int i = 0; i < 4; ++i)
                    key(p, Qt::Key_Right);
                key(p, Qt::Key_Down);
                pending_ = QStringLiteral("frecce-destra-giu");
                break;
            case 8:
                child<QCheckBox>(p, "chkStretch")->setChecked(false);
                p->chkStretch_Click();
                p->cmdFirst_Click();
                child<QCheckBox>(p, "chkPrintCurrent")->setChecked(true);
                QTimer::singleShot(0, p, [p] { p->chkPrintImage_Click(); });
                break;
            case 9:
                child<QCheckBox>(p, "chkPrintCurrent")->setChecked(false);
                QTimer::singleShot(0, p, [p] { p->chkPrintImage_Click(); });
                break;
            default:
                break;
        }
    }
    void tick() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (w != current_) {  // one more tick, so that the window is painted
            current_ = w;
            return;
        }
        if (auto* choice = qobject_cast<PrinterChoiceDialog*>(w)) {
            // The page alone on its own PDF, the whole report on "PDF-A4".
            const QString printer = ++choices_ == 1 ? QStringLiteral("PDF-Pagina") : QStringLiteral("PDF-A4");
            if (auto* list = choice->findChild<QListWidget*>()) {
                const auto items = list->findItems(printer, Qt::MatchExactly);
                if (!items.isEmpty()) list->setCurrentItem(items.first());
            }
            shoot(w, QStringLiteral("stampante"));
            current_ = nullptr;
            choice->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            shoot(w, QStringLiteral("messaggio"));
            current_ = nullptr;
            box->accept();
        } else if (auto* preview = qobject_cast<frmCustomReportPreview*>(w)) {
            // The costs' preview: one look, then closed.
            if (!accessesShown_ && preview->PageCount() < 60) {
                shoot(w, QStringLiteral("costi"));
                current_ = nullptr;
                preview->reject();
                return;
            }
            accessesShown_ = true;
            if (!pending_.isEmpty()) {
                shoot(preview, pending_);
                pending_.clear();
                return;
            }
            previewStep(preview);
        }
    }
    QDir dir_;
    QTimer timer_;
    QWidget* current_ = nullptr;
    bool accessesShown_ = false;
    QString pending_;
    int shots_ = 0, step_ = 0, choices_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: report_run FOLDER [--auto]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));
    SetProgramFolder(dir.path());
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
    storeLayouts(writeLetterhead(dir));
    storeOrders(file);
    storeAccesses(file);

    PrinterRegistry& printers = PrinterRegistry::instance();
    printers.reset(qEnvironmentVariableIsSet("ZL_CUPS"));
    for (const char* name : {"PDF-A4", "PDF-Pagina"}) {
        const QString pdf = dir.filePath(QString::fromLatin1(name).toLower() + QStringLiteral(".pdf"));
        QFile::remove(pdf);
        printers.addPdfPrinter(QString::fromLatin1(name), QPageSize(QPageSize::A4), QMarginsF(), pdf);
    }

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Zelto Lavrix - prova dei report personalizzati"));
    main.setCentralWidget(new QLabel(QStringLiteral("Costi dettagli commesse e accessi mensili"), &main));
    main.resize(640, 420);
    main.show();
    std::unique_ptr<Autopilot> pilot;
    if (autopilot) pilot = std::make_unique<Autopilot>(dir);

    QTimer::singleShot(500, &main, [&] {
        auto details = g_objDatabase->Tables().Item("DettagliCommesse").OpenData({}, QStringLiteral("OID"));
        std::printf("costi: %d\n", PrintCustomReports(&main, details, nullptr, {}, {}, 0, true, 1, {},
                                                      Variant::missing(), QStringLiteral("CostiGenerale")));
        auto accesses =
            g_objDatabase->Tables().Item("Ingressi").OpenData({}, QStringLiteral("Data, Operaio"));
        std::printf("accessi: %d\n", PrintCustomReports(&main, accesses, nullptr, {}, {}, 0, true, 1, {}));
        app.quit();
    });
    const int rc = app.exec();
    g_objDatabase.reset();
    connection->CloseConnection();
    return rc;
}
