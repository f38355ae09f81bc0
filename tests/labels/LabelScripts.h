// Label layouts as users write them: the label editor's new-layout template and a job-order label
// that uses every kind of drawing, for the script tests and the label sheet program.
#pragma once

#include <QString>
#include <QStringList>

namespace labelscripts {

// The new-layout template: 18 lines joined by CR LF.
inline QString Template() {
    const QString rule = QStringLiteral("' ") + QString(71, u'=');
    const QStringList lines = {
        rule,
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

// A 70 x 36 mm job-order label: frame, code, wrapped description, number on the right, a mark, the
// batch written upward, the logo ("logo.png" in the program folder) and the barcode.
inline QString JobOrderLabel() {
    return QStringLiteral(
        "' Etichetta di commessa\r\n"
        "Function PrintLabel(ds, prn)\r\n"
        "  Dim nW\r\n"
        "  prn.BoxOut 0, 0, 36, 70\r\n"
        "  prn.SetFont 12, True, False, \"Arial\"\r\n"
        "  nW = prn.TxtOut(2, 3, ds.ColValue(\"Codice\"))\r\n"
        "  prn.SetFont 8\r\n"
        "  prn.TxtOut 8, 3, ds.ColValue(\"Descrizione\"), 40, True\r\n"
        "  prn.TxtOutR 2, 52, \"N. \" & ds.ColValue(\"Numero\")\r\n"
        "  prn.Color = &HFF\r\n"
        "  prn.CircleOut 4, 8 + nW, 1.5, prn.Nums(\"conta\") Mod 2 = 0\r\n"
        "  prn.Color = 0\r\n"
        "  prn.TxtOutV 31, 64, \"LOTTO \" & ds.ColValue(\"Numero\"), True, True\r\n"
        "  prn.LineOut 18, 3, 18, 60\r\n"
        "  prn.ImageOut \"logo.png\", 2, 54, 7, 7\r\n"
        "  prn.Barcode128bOut 21, 3, 12, 0.3, \"C\" & ds.ColValue(\"Numero\")\r\n"
        "  prn.Nums(\"conta\") = prn.Nums(\"conta\") + 1\r\n"
        "  PrintLabel = True\r\n"
        "End Function\r\n");
}

}  // namespace labelscripts
