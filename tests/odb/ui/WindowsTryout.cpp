// Tries the library's windows as a new user would, on the program's database with sample rows:
// a grid of 100,000 job orders at its end, a job order with its details, a wrong date typed, Esc,
// a resize, the new-row window, the filter dialog, the choosers and the field chooser. Saves a
// screenshot of each into the folder given (default "tryout"). Run it under Xvfb with a window
// manager to see the frames: xvfb-run -a -s "-screen 0 1280x1024x24" sh -c 'openbox & sleep 1;
// ./odb_windows_tryout shots'.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <memory>

#include <QPushButton>
#include "model/DB.h"
#include "model/ModelState.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/DbmsGlobal.h"
#include "odb/SelectionSet.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "odb/ui/ComplexFilterDialog.h"
#include "odb/ui/DataGrid.h"
#include "odb/ui/DataPanel.h"
#include "odb/ui/DataPanelTools.h"
#include "odb/ui/FieldChooser.h"
#include "odb/ui/FieldEditor.h"
#include "odb/ui/RecordWindow.h"
#include "odb/ui/RowChooser.h"
#include "platform/ItalianLocale.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

namespace {

QString g_out;
QStringList g_messages;

// Shows the library's messages as the program would, in a box that stays open for its picture.
class Notify : public odb::itfNotifyEvent {
  public:
    void OnEvent(int32_t, void*, const QString&) override {}
    void OnInternalMessage(void*, const QString& detail) override {
        g_messages << detail;
        auto* box =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Zelto Lavrix"), detail, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        settle();
        shot(box, QStringLiteral("message%1").arg(g_messages.size()));
        box->close();
    }
    void OnQueryMessage(void*, int32_t, const QString& text, bool& cancel) override {
        g_messages << text;
        cancel = false;
    }
    void OnReportRequest(odb::DataSet&, int32_t, const QString&, const QString&) override {}

    static void settle() {
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
    }
    static void shot(QWidget* w, const QString& name) {
        settle();
        const QString file = QDir(g_out).filePath(name + QStringLiteral(".png"));
        // The window with its frame when a window manager draws one.
        QPixmap pixmap = w->screen()->grabWindow(0, w->frameGeometry().x(), w->frameGeometry().y(),
                                                 w->frameGeometry().width(), w->frameGeometry().height());
        if (pixmap.isNull() || pixmap.width() < 10) pixmap = w->grab();
        pixmap.save(file);
        std::printf("%s\n", qPrintable(file));
    }
};

void Key(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tryout")).absolutePath();
    QDir().mkpath(g_out);
    QTemporaryDir work;
    SetSettingsFolder(QDir(work.path()).filePath(QStringLiteral("settings")));
    SetProgramFolder(work.path());

    Notify notify;
    const QString file = QDir(work.path()).filePath(QStringLiteral("ZeltoLavrix.mdb"));
    auto conn = std::make_shared<odb::Connection>();
    conn->CreateDatabaseFile(file);
    conn->OpenDatabaseFile(file);
    auto db =
        odb::DbmsGlobal::CreateDatabase(std::make_shared<DB>(), QStringLiteral("Zelto Lavrix"), &notify);
    db->Open(conn);
    g_objConnection = conn;
    g_objDatabase = db;
    db->SetUserLevel(1);
    odb::Tables& tables = db->Tables();

    // Sample rows: customers, parts, machines, a job order with details, then 100,000 job orders.
    auto customers = tables.Item(QStringLiteral("Clienti")).OpenData();
    customers->AddRow({"Codice", "ROSSI", "Descrizione", "Rossi Srl"});
    customers->AddRow({"Codice", "BIANCHI", "Descrizione", "Bianchi Spa"});
    customers->AddRow(
        {"Codice", "FERRARI", "Descrizione", "Officina Meccanica Ferrari & Figli S.n.c. - Forlì"});
    tables.Item(QStringLiteral("ParticolariAttrezzature"))
        .OpenData()
        ->AddRow({"Descrizione", "Stampo per tranciatura", "PrezzoListino", Currency::fromLong(1250)});
    tables.Item(QStringLiteral("MagazzinoMacchinari"))
        .OpenData()
        ->AddRow({"Codice", "PR-200", "Descrizione", "Pressa idraulica 200 t", "PrezzoListino",
                  Currency::fromLong(48000)});
    auto order = tables.Item(QStringLiteral("CommesseCliente")).OpenData();
    order->AddRow(
        {"Cliente", "FERRARI", "Urgente", true, "Note", "Consegna entro fine mese; imballo già concordato."});
    order->GetReference(QStringLiteral("Attrezzature"))
        ->AddRow({"Particolare", "Stampo per tranciatura", "Quantità", 2});
    order->GetReference(QStringLiteral("Macchine"))->AddRow({"Macchinario", "PR-200", "Quantità", 1});
    conn->Execute(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 100001) "
        "INSERT INTO CommesseCliente (DataInserimento, Progressivo, Urgente, CommessaChiusa, Spedito, "
        "StatoNotifica, Cliente, TempoTotaleAttrezzature, CostoTotaleListinoAttrezzature) "
        "SELECT 45000 + i % 900 + 0.375, i, i % 7 = 0, 0, 0, 1, (SELECT OID FROM Clienti WHERE Codice = CASE "
        "i % 3 "
        "WHEN 0 THEN 'ROSSI' WHEN 1 THEN 'BIANCHI' ELSE 'FERRARI' END), i % 600, (i % 97) * 125000 FROM n"));

    // The grid at its end, then smaller.
    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Zelto Lavrix - Commesse Cliente"));
    auto* grid = new odb::DataGrid(&main);
    main.setCentralWidget(grid);
    auto view = tables.Item(QStringLiteral("CommesseCliente"))
                    .OpenData({}, QStringLiteral("Progressivo DESC"),
                              QStringLiteral("*,Cliente,Progressivo,CommessaChiusa"));
    odb::DataPanelTools::CreatePanel(view)->BindGrid(*grid);
    main.resize(1100, 640);
    main.show();
    Notify::settle();
    grid->selectRow(view->RowCount() - 1);
    grid->scrollToBottom();
    Notify::shot(&main, QStringLiteral("grid_end"));
    main.resize(760, 420);
    Notify::shot(&main, QStringLiteral("grid_resized"));

    // The job order with its details; a wrong date; Esc.
    auto one = tables.Item(QStringLiteral("CommesseCliente")).OpenData(QStringLiteral("Progressivo=1"));
    {
        odb::RecordWindow window(one, false, true, &main);
        window.show();
        Notify::shot(&window, QStringLiteral("record_window"));
        odb::FieldEditor* date = window.editor(QStringLiteral("DataConsegnaConcordata"));
        date->line()->setFocus();
        date->line()->setText(QStringLiteral("31/02/2024"));
        emit date->line()->editingFinished();  // the message box is pictured by the sink
        Notify::shot(&window, QStringLiteral("record_after_wrong_date"));
        window.resize(560, 420);
        Notify::shot(&window, QStringLiteral("record_resized"));
        Key(&window, Qt::Key_Escape);
        Notify::settle();
        std::printf("record window after Esc: %s\n", window.isVisible() ? "open" : "closed");
    }
    // A detail of it, nested.
    {
        auto details = one->GetReference(QStringLiteral("Attrezzature"));
        details->RowFirst();
        odb::RecordWindow window(details, false, true, &main);
        window.show();
        Notify::shot(&window, QStringLiteral("detail_window"));
    }
    // The new-row window of a user.
    {
        auto users = tables.Item(QStringLiteral("Utenti")).OpenData();
        users->NewRow();
        odb::RecordWindow window(users, true, true, &main);
        window.show();
        Notify::shot(&window, QStringLiteral("new_user_window"));
        window.cmdCancel()->click();
    }
    // The filter dialog with two conditions, and the predefined selections.
    {
        auto set = tables.Item(QStringLiteral("CommesseCliente")).NewSelectionSet(odb::SelectionSet::Filter);
        set->AddCondition(QStringLiteral("Cliente"),
                          QStringLiteral("Officina Meccanica Ferrari & Figli S.n.c. - Forlì"));
        set->AddCondition(QStringLiteral("DataInserimento"), QStringLiteral("01/01/2024"),
                          odb::SelectionSet::opBetween, QStringLiteral("31/12/2024"));
        set->Save(QStringLiteral("Ferrari 2024"));
        odb::ComplexFilterDialog dialog(*set, true, QStringLiteral("FILTRO COMPLESSO"), &main);
        dialog.choose(QStringLiteral("Urgente"), odb::SelectionSet::opEqual);
        dialog.txtValue()->setEditText(QStringLiteral("Sì"));
        dialog.show();
        Notify::shot(&dialog, QStringLiteral("filter_dialog"));
        auto selections =
            tables.Item(QStringLiteral("CommesseCliente")).NewSelectionSet(odb::SelectionSet::Selection);
        odb::ComplexFilterDialog predefined(*selections, false, QStringLiteral("Selezioni predefinite"),
                                            &main);
        predefined.show();
        Notify::shot(&predefined, QStringLiteral("selections_dialog"));
    }
    // The choosers: one customer by typing, and the list of rows.
    {
        auto all = tables.Item(QStringLiteral("Clienti")).OpenData({}, QStringLiteral("Descrizione"));
        odb::RowChooser pick(all, true, QStringLiteral("Descrizione"), &main);
        pick.show();
        pick.search()->setText(QStringLiteral("off"));
        pick.typeAhead(QStringLiteral("off"));
        Notify::shot(&pick, QStringLiteral("chooser_pick"));
        odb::RowChooser list(tables.Item(QStringLiteral("Operai")).OpenData(), false, {}, &main);
        list.show();
        Notify::shot(&list, QStringLiteral("chooser_list"));
    }
    // The field chooser for an order.
    {
        QString order = QStringLiteral("Progressivo DESC");
        std::vector<odb::FieldChooser::Field> fields;
        for (int i = 1; i <= view->FieldCount(); ++i)
            fields.push_back({view->Field(i)->name, view->Field(i)->description, view->Field(i)->Caption()});
        odb::FieldChooser chooser(fields, {order}, QStringLiteral("Ordinamento Complesso"), &main, true);
        chooser.show();
        Notify::shot(&chooser, QStringLiteral("field_chooser_order"));
    }
    std::printf("messages: %s\n", qPrintable(g_messages.join(QStringLiteral(" | "))));
    g_objDatabase.reset();
    g_objConnection.reset();
    conn->CloseConnection();
    return 0;
}
