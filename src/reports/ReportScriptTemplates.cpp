// The report script templates.
#include "reports/ReportScriptTemplates.h"

#include <QStringList>

#include "reports/modCustomReport.h"

namespace {

const QString kVars = QStringLiteral(
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili");
const QString kVarsCount =
    QStringLiteral("  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili");
const QString kModuleCount =
    QStringLiteral("  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)");
const QString kCancel = QStringLiteral("  ' Impostare False per annullare la stampa");

// The shared frame: a rule, the description, the head, the members named, then the code.
QString framed(const QStringList& description, const QString& head, const QString& membersHeading,
               const QStringList& members, const QStringList& code) {
    QStringList lines;
    lines << QStringLiteral("' ") + QString(71, u'=') << description << head << QString() << membersHeading
          << members << QString() << QString() << kCancel << code << QString()
          << QStringLiteral("End Function") << QString();
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

const QString kSupported = QStringLiteral("  ' Sono supportati i seguenti metodi aggiuntivi:");

}  // namespace

QString ReportMaskTemplate() {
    static const QString text = framed(
        {QStringLiteral("' Composizione del codice per la stampa della maschera relativa al modulo."),
         QStringLiteral("' Questa funzione viene richiamata alla fine di ogni pagina, la fine di una"),
         QStringLiteral("' pagina viene identificata durante l'elaborazione delle righe ogni volta che"),
         QStringLiteral("' si raggiunge il margine finale dell'area di stampa (ultima riga).")},
        QStringLiteral("Function PrintReportMask(ds, prn, bTotal)"), kSupported,
        {kVars, kVarsCount,
         QStringLiteral("  ' prn.RowY([bAbsolute]) e prn.CurY riportano la posizione verticale della riga "
                        "e del cursore"),
         QStringLiteral("  ' prn.RowDim, prn.RowDimText e prn.RowDimCur riportano le dimensioni della riga "
                        "(prn.RowDimCur è modificabile)"),
         QStringLiteral("  ' La proprietà prn.Preview indica se la stampa è in anteprima"), kModuleCount,
         QStringLiteral("  ' N.B.: Le posizioni sono relative al modulo corrente")},
        {QStringLiteral("  PrintReportMask = True")});
    return text;
}

QString ReportRowTemplate() {
    static const QString text = framed(
        {QStringLiteral("' Composizione del codice per la stampa di una riga."),
         QStringLiteral("' L'avanzamento delle righe nell'area di stampa avviene automaticamente"),
         QStringLiteral("' in relazione alle impostazioni, è possibile modificare il comportamento"),
         QStringLiteral("' dell'avanzamento automatico agendo su alcune proprietà e metodi di seguito"),
         QStringLiteral("' descritti.")},
        QStringLiteral("Function PrintReportRow(dsRow, prn, nRow)"),
        QStringLiteral("  ' Sono supportati i seguenti metodi e proprietà aggiuntive:"),
        {kVars, kVarsCount, kModuleCount,
         QStringLiteral("  ' prn.DataReferenceName riporta il riferimento in stampa (da leggere con la "
                        "sorgente < [ tutti i riferimenti ] >)"),
         QStringLiteral(
             "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga"),
         QStringLiteral("  ' prn.NewRow avanza di una riga nell'area riservata"),
         QStringLiteral("  ' prn.NextReportModule passa al modulo successivo (richiamare prima "
                        "PrintReportMask per stampare la maschera)"),
         QStringLiteral("  ' prn.LastRow indica l'ultima riga dell'area, prn.ValidateRowDimNext se la "
                        "prossima riga vi rientra"),
         QStringLiteral("  ' prn.RowEnd porta alla fine dell'area delle righe"),
         QStringLiteral(
             "  ' Impostare prn.RowPrinting = False per le coordinate assolute (reimpostarlo sempre "
             "a True)"),
         QStringLiteral(
             "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)")},
        {QStringLiteral("  PrintReportRow = True")});
    return text;
}

QString ReportDataTemplate() {
    static const QString text = framed(
        {QStringLiteral("' Composizione del codice per l'inizializzazione dei dati da stampare")},
        QStringLiteral("Function PrintDataInit(dsRow, prn)"), kSupported,
        {kVars, kVarsCount,
         QStringLiteral("  ' dsRow.SortOrder = \"[Campo1],[Campo2]\" imposta l'ordinamento (virgola tra più "
                        "campi)"),
         QStringLiteral("  ' dsRow.Filter = \"[Condizione]\" filtra le righe da stampare"),
         QStringLiteral("  ' prn.DataReferenceName riporta il riferimento dei dati in stampa")},
        {QStringLiteral("  PrintDataInit = True")});
    return text;
}

QString ReportNoteTemplate() {
    return DefaultNoteFunction();
}

QString DefaultReportScript(bool notes) {
    QString script = ReportMaskTemplate() + ReportRowTemplate() + ReportDataTemplate();
    if (notes) script += ReportNoteTemplate();
    return script;
}
