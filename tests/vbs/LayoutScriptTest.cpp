// Report layouts and the barcode filter, written as users write them from the editors' templates, run
// the way the print runs call them, against a recording report engine and a fake data set. (Label
// layouts run on the real label engine: tests/labels.)
#include <gtest/gtest.h>

#include "FakeEngines.h"
#include "ScriptTestHost.h"
#include "base/AppError.h"

namespace {

using namespace vbstest;

const QString kRule = QStringLiteral("' ") + QString(71, u'=');

// The report engine's default note function, appended when a layout has none.
QString defaultNoteFunction() {
    const QStringList lines = {
        kRule,
        QStringLiteral("' Composizione del codice per la stampa di una nota "),
        QStringLiteral("Function PrintNoteRow(sNoteRow, ds, prn, nRow)"),
        QString(),
        QStringLiteral("  ' Sono supportati i seguenti metodi aggiuntivi:"),
        QStringLiteral("  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / "
                       "impostare le variabili"),
        QStringLiteral("  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili"),
        QStringLiteral(
            "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga"),
        QStringLiteral(
            "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)"),
        QStringLiteral(
            "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)"),
        QString(),
        QString(),
        QStringLiteral("  ' Impostare False per annullare la stampa"),
        QStringLiteral("  prn.IgnoreNextNewRow = True  ' Per considerare le note nell'area delle righe "
                       "eliminare questa instruzione"),
        QStringLiteral("  PrintNoteRow = True"),
        QString(),
        QStringLiteral("End Function"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n");
}

std::shared_ptr<FakeDataSet> orderDetails() {
    auto customer = std::make_shared<FakeDataSet>();
    customer->rows = {{{QStringLiteral("RagioneSociale"), Variant("Officine Rossi S.r.l.")}}};
    auto ds = std::make_shared<FakeDataSet>();
    ds->rows = {
        {{QStringLiteral("Codice"), Variant("A-100")},
         {QStringLiteral("Numero"), Variant(int32_t(17))},
         {QStringLiteral("Quantità"), Variant(int16_t(2))},
         {QStringLiteral("Importo"), Variant(12.5)},
         {QStringLiteral("Descrizione"), Variant("Flangia\r\nforata")}},
        {{QStringLiteral("Codice"), Variant("B-200")},
         {QStringLiteral("Numero"), Variant(int32_t(18))},
         {QStringLiteral("Quantità"), Variant(int16_t(9))},
         {QStringLiteral("Importo"), Variant(1000.0)},
         {QStringLiteral("Descrizione"), Variant("Albero")}},
        {{QStringLiteral("Codice"), Variant("C-300")},
         {QStringLiteral("Numero"), Variant(int32_t(19))},
         {QStringLiteral("Quantità"), Variant(int16_t(1))},
         {QStringLiteral("Importo"), Variant::null()},
         {QStringLiteral("Descrizione"), Variant("Boccola")}},
    };
    ds->references.insert(QStringLiteral("cliente"), customer);
    return ds;
}

// A report made of the editor's mask, row and data templates with their code filled in, plus the
// default note function, called the way the report run calls it.
TEST(ReportLayout, MaskRowsDataAndNotesDrawInOrder) {
    const QString mask =
        kRule + QStringLiteral(
                    "\r\n' Composizione del codice per la stampa della maschera relativa al modulo.\r\n"
                    "Function PrintReportMask(ds, prn, bTotal)\r\n\r\n"
                    "  ' Sono supportati i seguenti metodi aggiuntivi:\r\n"
                    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar])\r\n\r\n\r\n"
                    "  ' Impostare False per annullare la stampa\r\n"
                    "  prn.SetFont 14, True\r\n"
                    "  prn.TxtOut 10, 5, \"Commessa \" & ds.ColValue(\"Numero\")\r\n"
                    "  prn.BoxOut 35, 5, 210, 185, , True\r\n"
                    "  If bTotal Then\r\n"
                    "    prn.TxtOutR 250, 190, \"Totale: \" & FormatNumber(prn.Nums(\"Totale\"), 2)\r\n"
                    "  End If\r\n"
                    "  prn.TxtOutR 280, 190, \"Pagina \" & (prn.ReportModuleCount + 1)\r\n"
                    "  PrintReportMask = True\r\n\r\nEnd Function\r\n\r\n");
    const QString row =
        kRule + QStringLiteral(
                    "\r\n' Composizione del codice per la stampa di una riga.\r\n"
                    "Function PrintReportRow(dsRow, prn, nRow)\r\n\r\n"
                    "  ' Sono supportati i seguenti metodi e proprietà aggiuntive:\r\n\r\n\r\n"
                    "  ' Impostare False per annullare la stampa\r\n"
                    "  prn.SetFont 9\r\n"
                    "  prn.TxtOut 0, 5, nRow & \". \" & dsRow.ColValue(\"Codice\")\r\n"
                    "  prn.TxtOut 0, 30, dsRow.ColValue(\"Descrizione\"), 80, True\r\n"
                    "  If Not IsNull(dsRow.ColValue(\"Importo\")) Then\r\n"
                    "    prn.TxtOutR 0, 190, FormatNumber(dsRow.ColValue(\"Importo\"), 2)\r\n"
                    "    prn.Nums(\"Totale\") = prn.Nums(\"Totale\") + dsRow.ColValue(\"Importo\")\r\n"
                    "  End If\r\n"
                    "  If prn.LastRow Then\r\n"
                    "    prn.RowPrinting = False\r\n"
                    "    prn.LineOut prn.RowY(True) + 6, 5, prn.RowY(True) + 6, 190\r\n"
                    "    prn.RowPrinting = True\r\n"
                    "  End If\r\n"
                    "  PrintReportRow = True\r\n\r\nEnd Function\r\n\r\n");
    const QString data =
        kRule + QStringLiteral(
                    "\r\n' Composizione del codice per l'inizializzazione dei dati da stampare\r\n"
                    "Function PrintDataInit(dsRow, prn)\r\n\r\n"
                    "  ' Sono supportati i seguenti metodi aggiuntivi:\r\n\r\n\r\n"
                    "  ' Impostare False per annullare la stampa\r\n"
                    "  dsRow.SortOrder = \"Codice,Descrizione\"\r\n"
                    "  dsRow.Filter = \"Importo > 0\"\r\n"
                    "  prn.ResetVars\r\n"
                    "  PrintDataInit = True\r\n\r\nEnd Function\r\n\r\n");
    QString code = mask + row + data;
    ASSERT_FALSE(code.contains(QStringLiteral("PrintNoteRow(")));
    code += defaultNoteFunction();  // appended directly, as the report run does

    vbs::ScriptHost host;
    host.SetLanguage(QStringLiteral("vbscript"));
    host.AddCode(code);
    auto ds = orderDetails();
    auto prn = std::make_shared<FakeReport>();
    prn->vars.let(Variant("stale"), Variant(int16_t(1)));

    VariantList init{Variant(ObjectRef(ds)), Variant(ObjectRef(prn))};
    EXPECT_TRUE(host.Run(QStringLiteral("PrintDataInit"), init).toBool());
    EXPECT_EQ(
        (QStringList{QStringLiteral("SortOrder Codice,Descrizione"), QStringLiteral("Filter Importo > 0")}),
        ds->calls);
    EXPECT_EQ(0, prn->vars.count());

    for (int32_t n = 1; n <= 3; ++n) {
        ds->current = n - 1;
        prn->rowPrinting = true;
        prn->lastRow = n == 3;
        VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(prn)), Variant(n)};
        EXPECT_TRUE(host.Run(QStringLiteral("PrintReportRow"), args).toBool()) << n;
    }
    VariantList note{Variant("Consegna urgente"), Variant(ObjectRef(ds)), Variant(ObjectRef(prn)),
                     Variant(int32_t(4))};
    EXPECT_TRUE(host.Run(QStringLiteral("PrintNoteRow"), note).toBool());
    EXPECT_TRUE(prn->ignoreNextNewRow);

    prn->rowPrinting = false;
    ds->current = 0;
    VariantList maskArgs{Variant(ObjectRef(ds)), Variant(ObjectRef(prn)), Variant(true)};
    EXPECT_TRUE(host.Run(QStringLiteral("PrintReportMask"), maskArgs).toBool());

    const QStringList expected = {
        QStringLiteral("SetFont 9|False|False||False"),
        QStringLiteral("TxtOut 0|5|1. A-100|-|-"),
        QStringLiteral("TxtOut 0|30|Flangia\r\nforata|80|True"),
        QStringLiteral("TxtOutR 0|190|12,50"),
        QStringLiteral("SetFont 9|False|False||False"),
        QStringLiteral("TxtOut 0|5|2. B-200|-|-"),
        QStringLiteral("TxtOut 0|30|Albero|80|True"),
        QStringLiteral("TxtOutR 0|190|1.000,00"),
        QStringLiteral("SetFont 9|False|False||False"),
        QStringLiteral("TxtOut 0|5|3. C-300|-|-"),
        QStringLiteral("TxtOut 0|30|Boccola|80|True"),
        QStringLiteral("RowPrinting False"),
        QStringLiteral("LineOut 52|5|52|190"),
        QStringLiteral("RowPrinting True"),
        QStringLiteral("IgnoreNextNewRow True"),
        QStringLiteral("SetFont 14|True|False||False"),
        QStringLiteral("TxtOut 10|5|Commessa 17|-|-"),
        QStringLiteral("BoxOut 35|5|210|185|-|True"),
        QStringLiteral("TxtOutR 250|190|Totale: 1.012,50"),
        QStringLiteral("TxtOutR 280|190|Pagina 1"),
    };
    EXPECT_EQ(Lines(expected), Lines(prn->calls));
}

TEST(ReportLayout, AMissingFunctionFailsOnlyWhenCalled) {
    vbs::ScriptHost host;
    host.AddCode(
        QStringLiteral("' PrintDataInit( is only mentioned here\r\nFunction PrintReportRow(dsRow, prn, "
                       "nRow)\r\n  PrintReportRow = True\r\nEnd Function"));
    auto ds = orderDetails();
    auto prn = std::make_shared<FakeReport>();
    VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(prn))};
    try {
        host.Run(QStringLiteral("PrintDataInit"), args);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("PrintDataInit")));
    }
    EXPECT_EQ(0, host.Error().Number);
}

TEST(BarcodeFilter, TheFilterFunctionRewritesTheCode) {
    vbs::ScriptHost host;
    host.SetLanguage(QStringLiteral("vbscript"));
    host.AddCode(
        QStringLiteral("Function BarCodeFilter(sCode)\r\n"
                       "  ' toglie il prefisso del lettore e gli spazi\r\n"
                       "  If UCase(Left(sCode, 1)) = \"C\" Then sCode = Mid(sCode, 2)\r\n"
                       "  BarCodeFilter = Trim(sCode)\r\n"
                       "End Function"));
    struct Row {
        const char* in;
        const char* out;
    };
    for (const Row& r : {Row{"C123 ", "123"}, Row{" 456", "456"}, Row{"c9", "9"}, Row{"", ""}}) {
        VariantList args{Variant(r.in)};
        EXPECT_EQ(QString::fromLatin1(r.out), host.Run(QStringLiteral("BarCodeFilter"), args).toText())
            << r.in;
    }
}

}  // namespace
