// Label and report layouts and the barcode filter, written as users write them from the editors'
// templates and code-assistant snippets, run the way the print runs call them, against recording
// engines and a fake data set.
#include <gtest/gtest.h>

#include "FakeEngines.h"
#include "ScriptTestHost.h"
#include "base/AppError.h"

namespace {

using namespace vbstest;

const QString kRule = QStringLiteral("' ") + QString(71, u'=');

// The new-layout template of the label editor: 18 lines joined by CR LF, none after the last.
QString labelTemplate() {
    const QStringList lines = {
        kRule,
        QStringLiteral("' Composizione del codice per la stampa dell'etichetta"),
        QStringLiteral("Function PrintLabel(ds, prn)"),
        QString(),
        QStringLiteral("  ' Sono supportati i seguenti metodi aggiuntivi:"),
        QStringLiteral("  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / "
                       "impostare le variabili"),
        QStringLiteral("  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili"),
        QStringLiteral("  ' prn.CopyCount riporta il numero di copia corrente"),
        QString(),
        QString(),
        QStringLiteral("  prn.SetFont 13, True, False, \"MS San Serif\""),
        QStringLiteral("  'prn.TxtOut 0, 0, ds.FormattedColValue(\"[NomeCampo]\")"),
        QString(),
        QStringLiteral("  ' Impostare False per annullare la stampa"),
        QStringLiteral("  ' Impostare prn.IgnoreLabel per ignorare l'etichetta corrente"),
        QStringLiteral("  PrintLabel = True"),
        QString(),
        QStringLiteral("End Function"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

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

// One label as the print run makes it: Run("PrintLabel", [ds, prn]) and the result as Boolean.
bool printLabel(vbs::ScriptHost& host, const std::shared_ptr<FakeDataSet>& ds,
                const std::shared_ptr<FakeLabelPrint>& prn) {
    VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(prn))};
    const Variant r = host.Run(QStringLiteral("PrintLabel"), args);
    EXPECT_TRUE(args[0].isObject());
    EXPECT_TRUE(args[1].isObject());
    return r.toBool();
}

TEST(LabelLayout, TheNewLayoutTemplateSetsTheFontAndGoesOn) {
    vbs::ScriptHost host;
    host.SetLanguage(QStringLiteral("vbscript"));
    host.AddCode(labelTemplate());
    host.SetTimeout(30000);
    auto prn = std::make_shared<FakeLabelPrint>();
    EXPECT_TRUE(printLabel(host, orderDetails(), prn));
    EXPECT_EQ(QStringList{QStringLiteral("SetFont 13|True|False|MS San Serif|False")}, prn->calls);
}

TEST(LabelLayout, ARealisticLabelDrawsEveryRowAndCountsAcrossTheRun) {
    const QString script = QStringLiteral(
        "' Etichetta di commessa\r\n"
        "Dim nLabels\r\n"
        "Function PrintLabel(ds, prn)\r\n"
        "  Dim sCode, nW\r\n"
        "  nLabels = nLabels + 1\r\n"
        "  prn.SetFont 10, True\r\n"
        "  nW = prn.TxtOut(2, 3, ds.FormattedColValue(\"Codice\"))\r\n"
        "  prn.SetFont 8\r\n"
        "  prn.TxtOut 7, 3, ds.GetReference(\"Cliente\").ColValue(\"RagioneSociale\"), 40, True\r\n"
        "  sCode = \"C\" & ds.ColValue(\"Numero\")\r\n"
        "  prn.Barcode128bOut 12, 3, 10, 0.25, sCode\r\n"
        "  prn.Nums(\"count\") = prn.Nums(\"count\") + 1\r\n"
        "  prn.TxtOutR 25, 58, \"N. \" & prn.Nums(\"count\") & \"/\" & nLabels & \" w \" & nW\r\n"
        "  If prn.Preview Then prn.LineOut 0, 0, 0, 60\r\n"
        "  If ds.ColValue(\"Quantità\") > 5 Then prn.IgnoreLabel = True\r\n"
        "  prn.Color = &HFF\r\n"
        "  PrintLabel = ds.ColValue(\"Codice\") <> \"C-300\"\r\n"
        "End Function");
    vbs::ScriptHost host;
    host.AddCode(script);
    host.SetTimeout(30000);
    auto ds = orderDetails();
    auto prn = std::make_shared<FakeLabelPrint>();
    prn->preview = true;
    std::vector<bool> results;
    for (ds->current = 0; ds->current < 3; ++ds->current)
        results.push_back(printLabel(host, ds, prn));
    EXPECT_EQ((std::vector<bool>{true, true, false}), results);
    const QStringList expected = {
        QStringLiteral("SetFont 10|True|False||False"),
        QStringLiteral("TxtOut 2|3|[A-100]|-|-"),
        QStringLiteral("SetFont 8|False|False||False"),
        QStringLiteral("TxtOut 7|3|Officine Rossi S.r.l.|40|True"),
        QStringLiteral("Barcode128bOut 12|3|10|0,25|C17"),
        QStringLiteral("TxtOutR 25|58|N. 1/1 w 20,5"),
        QStringLiteral("LineOut 0|0|0|60"),
        QStringLiteral("Color 255"),
        QStringLiteral("SetFont 10|True|False||False"),
        QStringLiteral("TxtOut 2|3|[B-200]|-|-"),
        QStringLiteral("SetFont 8|False|False||False"),
        QStringLiteral("TxtOut 7|3|Officine Rossi S.r.l.|40|True"),
        QStringLiteral("Barcode128bOut 12|3|10|0,25|C18"),
        QStringLiteral("TxtOutR 25|58|N. 2/2 w 20,5"),
        QStringLiteral("LineOut 0|0|0|60"),
        QStringLiteral("Color 255"),
        QStringLiteral("SetFont 10|True|False||False"),
        QStringLiteral("TxtOut 2|3|[C-300]|-|-"),
        QStringLiteral("SetFont 8|False|False||False"),
        QStringLiteral("TxtOut 7|3|Officine Rossi S.r.l.|40|True"),
        QStringLiteral("Barcode128bOut 12|3|10|0,25|C19"),
        QStringLiteral("TxtOutR 25|58|N. 3/3 w 20,5"),
        QStringLiteral("LineOut 0|0|0|60"),
        QStringLiteral("Color 255"),
    };
    EXPECT_EQ(Lines(expected), Lines(prn->calls));
    EXPECT_TRUE(prn->ignoreLabel);  // the second row asked to stay on its position
    EXPECT_EQ(255, prn->color);
    EXPECT_EQ(1, prn->vars.count());
}

TEST(LabelLayout, TheCodeAssistantSnippetsRun) {
    // Every instruction the assistant inserts after "prn." and "ds.", with its placeholders given values.
    const QString script = QStringLiteral(
        "Function PrintLabel(ds, prn)\n"
        "  Dim nY, nX, nWrapLen, bMantainOriginalWrap, nEndX, bDownToUp, bBaseToLastChar, nDimY, nDimX, "
        "bFill\n"
        "  Dim nRadius, nToY, nToX, sFile, bStretch, sCode, sClassProgrID\n"
        "  nY = 1 : nX = 2 : nWrapLen = 30 : bMantainOriginalWrap = False : nEndX = 50\n"
        "  bDownToUp = True : bBaseToLastChar = False : nDimY = 5 : nDimX = 6 : bFill = True\n"
        "  nRadius = 3 : nToY = 7 : nToX = 8 : sFile = \"logo.png\" : bStretch = False : sCode = \"ABC\"\n"
        "  sClassProgrID = \"Viewer.Document\"\n"
        "  prn.TxtOut nY, nX, \"testo\", nWrapLen, bMantainOriginalWrap\n"
        "  prn.TxtOutR nY, nEndX, \"testo\"\n"
        "  prn.TxtOutV nY, nX, \"testo\", bDownToUp, bBaseToLastChar\n"
        "  prn.BoxOut nY, nX, nDimY, nDimX, bFill\n"
        "  prn.CircleOut nY, nX, nRadius, bFill\n"
        "  prn.LineOut nY, nX, nToY, nToX\n"
        "  prn.ImageOut sFile, nY, nX, nDimY, nDimX, bStretch\n"
        "  prn.Barcode128bOut nY, nX, 10, 0.25, sCode\n"
        "  prn.SetFont 12, True, False, \"Arial\", False\n"
        "  prn.Color = &HFF\n"
        "  prn.PrintObject sClassProgrID, \"file=\" & sFile, \"PrintMethod\"\n"
        "  prn.PrintObject \"Shell.Explorer\", \"navigate \" & sFile, \"ExecWB 6, 1\"\n"
        "  ds.RowFirst\n"
        "  ds.RowNext\n"
        "  If Not ds.RowInvalid And Not ds.DataEmpty Then prn.TxtOut 0, 0, ds.ColValue(\"Codice\") & \" di "
        "\" & ds.RowCount(True)\n"
        "  ds.RowLast\n"
        "  ds.RowPrevious\n"
        "  prn.TxtOut 0, 0, ds.GetReference(\"Cliente\").ColValue(\"RagioneSociale\")\n"
        "  PrintLabel = True\n"
        "End Function\n");
    vbs::ScriptHost host;
    host.AddCode(script);
    auto prn = std::make_shared<FakeLabelPrint>();
    auto ds = orderDetails();
    EXPECT_TRUE(printLabel(host, ds, prn));
    const QStringList expected = {
        QStringLiteral("TxtOut 1|2|testo|30|False"),
        QStringLiteral("TxtOutR 1|50|testo"),
        QStringLiteral("TxtOutV 1|2|testo|True|False"),
        QStringLiteral("BoxOut 1|2|5|6|True"),
        QStringLiteral("CircleOut 1|2|3|True"),
        QStringLiteral("LineOut 1|2|7|8"),
        QStringLiteral("ImageOut logo.png|1|2|5|6|False"),
        QStringLiteral("Barcode128bOut 1|2|10|0,25|ABC"),
        QStringLiteral("SetFont 12|True|False|Arial|False"),
        QStringLiteral("Color 255"),
        QStringLiteral("PrintObject Viewer.Document|file=logo.png|PrintMethod"),
        QStringLiteral("PrintObject Shell.Explorer|navigate logo.png|ExecWB 6, 1"),
        QStringLiteral("TxtOut 0|0|B-200 di 3|-|-"),
        QStringLiteral("TxtOut 0|0|Officine Rossi S.r.l.|-|-"),
    };
    EXPECT_EQ(Lines(expected), Lines(prn->calls));
    EXPECT_EQ(1, ds->current);
}

TEST(LabelLayout, AnErrorOfAMemberReportsTheCallingLineAndCanBeCaught) {
    const QString script = QStringLiteral(
        "Function PrintLabel(ds, prn)\n"                           // 1
        "  prn.TxtOut 0, 0, \"prima\"\n"                           // 2
        "  prn.PrintObject \"Viewer\", \"nessunaimpostazione\"\n"  // 3
        "  PrintLabel = True\n"                                    // 4
        "End Function\n"
        "Function Guarded(ds, prn)\n"                              // 6
        "  On Error Resume Next\n"                                 // 7
        "  prn.PrintObject \"Viewer\", \"nessunaimpostazione\"\n"  // 8
        "  prn.TxtOut 0, 0, Err.Number - vbObjectError & \" \" & Err.Source & \": \" & Err.Description\n"
        "  Guarded = ds.ColValue(\"Manca\")\n"  // 10
        "  prn.TxtOut 0, 0, Err.Description\n"
        "End Function\n");
    vbs::ScriptHost host;
    host.AddCode(script);
    auto prn = std::make_shared<FakeLabelPrint>();
    auto ds = orderDetails();
    try {
        printLabel(host, ds, prn);
        ADD_FAILURE() << "the member's error did not reach the host";
    } catch (const AppError& e) {
        EXPECT_EQ(kAppErrorNumber, e.number());
        EXPECT_EQ(QStringLiteral("clsLabelPrint"), e.source());
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Impostazione del file fallita")));
    }
    EXPECT_EQ(kAppErrorNumber, host.Error().Number);
    EXPECT_EQ(3, host.Error().Line);
    EXPECT_EQ(QStringLiteral("TxtOut 0|0|prima|-|-"), prn->calls.value(0));

    prn->calls.clear();
    VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(prn))};
    EXPECT_TRUE(host.Run(QStringLiteral("Guarded"), args).isEmpty());
    EXPECT_EQ(0, host.Error().Number);
    ASSERT_EQ(3, prn->calls.size());
    EXPECT_EQ(QStringLiteral("TxtOut 0|0|32755 clsLabelPrint: Impostazione del file fallita mediante il "
                             "medoto/proprietà:\rnessunaimpostazione|-|-"),
              prn->calls[1]);
    EXPECT_EQ(QStringLiteral("TxtOut 0|0|Campo inesistente: Manca|-|-"), prn->calls[2]);
}

TEST(LabelLayout, AScriptThatReplacesItsArgumentsHandsThemBack) {
    vbs::ScriptHost host;
    host.AddCode(
        QStringLiteral("Function PrintLabel(ds, prn)\n  Set ds = ds.GetReference(\"Cliente\")\n  PrintLabel "
                       "= Empty\nEnd Function"));
    auto ds = orderDetails();
    auto prn = std::make_shared<FakeLabelPrint>();
    VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(prn))};
    EXPECT_FALSE(host.Run(QStringLiteral("PrintLabel"), args).toBool());
    EXPECT_EQ(ds->references.value(QStringLiteral("cliente")), args[0].objectValue());
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
