// The object viewer: the print method texts, its messages and activation, and PrintObject from a layout
// script printing an HTML page on the PDF printer between labels.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <poppler-qt6.h>

#include "LabelRunFixture.h"
#include "base/AppError.h"
#include "labels/HostedControls.h"
#include "labels/frmLabelPreview.h"
#include "labels/frmObjectView.h"
#include "labels/modLabelPrint.h"
#include "odb/DataSet.h"
#include "odb/ui/ModalDialog.h"
#include "support/MetafileWriter.h"

namespace {

using Kind = RecordingPrompt::Kind;

// A hosted control that records each call as "Name(Type value, ...)"; "Fail" raises.
class Recorder : public Object {
  public:
    QStringList calls;
    QString className() const override { return QStringLiteral("Recorder"); }
    Variant invoke(const QString& name, CallKind kind, VariantList& args) override {
        if (name == QLatin1String("Fail"))
            throw AppError(5, QStringLiteral("Recorder"), QStringLiteral("guasto"));
        QStringList parts;
        for (const Variant& a : args)
            parts << a.typeName() + u' ' + a.toText();
        calls << (kind == CallKind::Method ? QString() : QStringLiteral("let ")) + name + u'(' +
                     parts.join(QStringLiteral(", ")) + u')';
        return Variant();
    }
};

class ObjectViewTest : public LabelRunTest {
  protected:
    void SetUp() override {
        LabelRunTest::SetUp();
        HostedControls::Register(QStringLiteral("Test.Recorder"), [this](QWidget* parent) {
            recorder = std::make_shared<Recorder>();
            return HostedControl{new QWidget(parent), recorder};
        });
    }
    void TearDown() override {
        HostedControls::Unregister(QStringLiteral("Test.Recorder"));
        LabelRunTest::TearDown();
    }
    std::shared_ptr<Recorder> recorder;
};

TEST_F(ObjectViewTest, PrintMethodTextsCallTheirMethod) {
    struct Case {
        const char* text;
        const char* calls;  // joined by " ; "
        const char* shown = "";
    };
    const Case cases[] = {
        {"ExecWB 6, 1", "ExecWB(Double 6, Double 1)"},
        {"ExecWB(6, 1)", "ExecWB(Double 6, Double 1)"},
        {"ExecWB(6,1)", "ExecWB(Double 6, Double 1)"},
        {"  Refresh()  ", "Refresh()"},
        {"PrintOut", "PrintOut()"},
        {"Stampa 2.5, abc, \"x\"", "Stampa(Double 2,5, String abc, String \"x\")"},
        {"Cinque 1, 2, 3, 4, 5", "Cinque(Double 1, Double 2, Double 3, Double 4, Double 5)"},
        {"Sei 1, 2, 3, 4, 5, 6", ""},
        {"", ""},
        {"Fail 1", "", "48:Stampa fallita, l'errore è: guasto\r\rMetodo: Fail 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompt->clear();
        frmObjectView viewer;
        ASSERT_NE(nullptr, viewer.SetObject(QStringLiteral("TEST.recorder"), QStringLiteral("CustomObject"),
                                            QString::fromUtf8(c.text), true));
        viewer.resize(400, 300);
        EXPECT_EQ(*c.text != 0, !viewer.PrintButton()->isHidden());
        viewer.cmdPrint_Click();
        EXPECT_EQ(QString::fromUtf8(c.calls), recorder->calls.join(QStringLiteral(" ; ")));
        QStringList shown;
        for (const auto& s : prompt->shown())
            shown << QString::number(s.icon()) + u':' + s.text;
        EXPECT_EQ(QString::fromUtf8(c.shown), shown.join(QStringLiteral(" / ")));
    }
}

TEST_F(ObjectViewTest, TheViewerSaysWhatItCannotShowAndPrintsAtActivationUnlessAsked) {
    {
        frmObjectView viewer;
        EXPECT_EQ(nullptr,
                  viewer.SetObject(QStringLiteral("Visore.Documento"), QStringLiteral("CustomObject")));
        viewer.show();
        QCoreApplication::processEvents();
        EXPECT_FALSE(viewer.isVisible());
    }
    ASSERT_EQ(2u, prompt->shown().size());
    EXPECT_EQ(QStringLiteral("Stringa di classe non valida: 'Visore.Documento'"), prompt->shown()[0].text);
    EXPECT_EQ(0, prompt->shown()[0].icon());
    EXPECT_EQ(
        QStringLiteral("Devi usare il metodo <SetObject> per impostare la visualizzazione dell'oggetto"),
        prompt->shown()[1].text);
    EXPECT_EQ(MsgBoxStyle::vbExclamation, prompt->shown()[1].icon());

    frmObjectView viewer;
    viewer.SetObject(QStringLiteral("Test.Recorder"), QStringLiteral("CustomObject"), QStringLiteral("Go 1"),
                     false);
    auto printed = recorder;
    viewer.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(QStringList{QStringLiteral("Go(Double 1)")}, printed->calls);
    EXPECT_EQ(nullptr, viewer.HostedWidget());  // closing removed the control
}

TEST_F(ObjectViewTest, ALayoutPrintsAnHtmlPageAsAJobOfItsOwnBetweenItsLabels) {
    const QString page = path(QStringLiteral("scheda.html"));
    QFile html(page);
    ASSERT_TRUE(html.open(QIODevice::WriteOnly));
    html.write("<html><body><h1>Scheda tecnica</h1><p>Pressa idraulica 40 t</p></body></html>");
    html.close();
    LayoutRow l;
    l.script = QStringLiteral(
                   "Function PrintLabel(ds, prn)\r\n"
                   "  prn.BoxOut 0, 0, 10, 10, True\r\n"
                   "  If ds.ColValue(\"Codice\") = \"C001\" Then prn.PrintObject \"Shell.Explorer\", "
                   "\"navigate \" & "
                   "\"") +
               page + QStringLiteral("\", \"ExecWB 6, 1\"\r\n  PrintLabel = True\r\nEnd Function\r\n");
    storeLayout(l);
    auto ds = customers(1, 2);
    frmLabelPreview* none = nullptr;
    EXPECT_EQ(2, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    ASSERT_EQ(1u, pdfPages().size());
    EXPECT_EQ(QStringList({QStringLiteral("5,5"), QStringLiteral("105,5")}), pdfPages()[0].squares);
    auto job = Poppler::Document::load(path(QStringLiteral("etichette-job1.pdf")));
    ASSERT_TRUE(job);
    std::unique_ptr<Poppler::Page> first(job->page(0));
    EXPECT_EQ("Scheda tecnica Pressa idraulica 40 t", first->text(QRectF()).simplified().toStdString());
    EXPECT_EQ(1, prompt->beeps());
    EXPECT_EQ(1u, prompt->shown().size());

    // On the program's PDF printer the page and then the labels go each to the file the user names.
    resetRun();
    l.printer = QStringLiteral("Stampa su PDF");
    storeLayout(l);
    prompt->answerPath(path(QStringLiteral("pagina.pdf")));
    prompt->answerPath(path(QStringLiteral("clienti.pdf")));
    EXPECT_EQ(2, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    int choosers = 0;
    for (const auto& s : prompt->shown())
        choosers += s.kind == Kind::SaveFile;
    EXPECT_EQ(2, choosers);
    const auto labels = pdfPages(path(QStringLiteral("clienti.pdf")));
    ASSERT_EQ(1u, labels.size());
    EXPECT_EQ(QStringList({QStringLiteral("5,5"), QStringLiteral("105,5")}), labels[0].squares);
    const auto sheet = pdfPages(path(QStringLiteral("pagina.pdf")));
    ASSERT_EQ(1u, sheet.size());
    EXPECT_EQ(QStringLiteral("Scheda tecnica Pressa idraulica 40 t"), sheet[0].text);
}

// The document viewer prints WMF and EMF pictures fitted to the page: a picture of 40 x 20 mm with a red
// and a blue square, on an A4 page 210 mm wide, is 5.25 times its size.
TEST_F(ObjectViewTest, ALayoutPrintsMetafilePicturesFittedToThePage) {
    const std::vector<MetafileBox> boxes = {{QRectF(5, 5, 10, 10), Qt::red},
                                            {QRectF(25, 5, 10, 10), Qt::blue}};
    ASSERT_TRUE(WritePictureFile(path(QStringLiteral("disegno.wmf")), WmfPicture(QSizeF(40, 20), boxes)));
    ASSERT_TRUE(WritePictureFile(path(QStringLiteral("disegno.emf")), EmfPicture(QSizeF(40, 20), boxes)));
    LayoutRow l;
    l.script = QStringLiteral(
                   "Function PrintLabel(ds, prn)\r\n"
                   "  Dim sFile\r\n"
                   "  If ds.ColValue(\"Codice\") = \"C001\" Then sFile = \"disegno.wmf\" Else sFile = "
                   "\"disegno.emf\"\r\n"
                   "  prn.PrintObject \"Shell.Explorer\", \"navigate ") +
               path(QString()) +
               QStringLiteral("/\" & sFile, \"ExecWB 6, 1\"\r\n  PrintLabel = True\r\nEnd Function\r\n");
    storeLayout(l);
    auto ds = customers(1, 2);
    frmLabelPreview* none = nullptr;
    EXPECT_EQ(2, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    EXPECT_EQ(1, prompt->beeps());  // the end of the labels, and no message
    EXPECT_EQ(1u, prompt->shown().size());
    for (const char* job : {"etichette-job1.pdf", "etichette-job2.pdf"}) {
        SCOPED_TRACE(job);
        auto document = Poppler::Document::load(path(QString::fromLatin1(job)));
        ASSERT_TRUE(document);
        std::unique_ptr<Poppler::Page> first(document->page(0));
        ASSERT_TRUE(first);
        const QImage page = first->renderToImage(25.4, 25.4);  // a pixel a millimetre
        auto px = [&](int x, int y) { return std::string(ColourName(page.pixel(x, y))); };
        // The squares span 26.25 to 78.75 and 131.25 to 183.75 across, 26.25 to 78.75 down.
        EXPECT_EQ("red", px(28, 28));
        EXPECT_EQ("red", px(77, 77));
        EXPECT_EQ("white", px(105, 52));
        EXPECT_EQ("blue", px(133, 28));
        EXPECT_EQ("blue", px(182, 77));
        EXPECT_EQ("white", px(157, 81));
        EXPECT_EQ("white", px(157, 24));
    }
}

TEST_F(ObjectViewTest, AFailedSettingStopsTheLabelAndShowsNoViewer) {
    LayoutRow l;
    l.script = QStringLiteral(
        "Function PrintLabel(ds, prn)\r\n"
        "  prn.PrintObject \"Shell.Explorer\", \"a b=c\", \"ExecWB 6, 1\"\r\n"
        "  PrintLabel = True\r\n"
        "End Function\r\n");
    storeLayout(l);
    int viewers = 0;
    auto previous = odb::SetModalRunner([&](QDialog&) { return ++viewers, 0; });
    auto ds = customers(1, 1);
    frmLabelPreview* none = nullptr;
    EXPECT_EQ(0, PrintLabels(&owner, ds, Variant::missing(), false, {}, 0, true, none));
    odb::SetModalRunner(previous);
    EXPECT_EQ(0, viewers);
    ASSERT_FALSE(prompt->shown().empty());
    EXPECT_EQ(QStringLiteral("Errore nel codice di stampa etichetta: \r\r[clsLabelPrint], Err.: 32755\r"
                             "Impostazione del file fallita mediante il medoto/proprietà:\ra b=c\r\rError: "
                             "Proprietà o metodo non supportati dall'oggetto\r\rLinea VB: 2"),
              prompt->shown()[0].text);
}

}  // namespace
