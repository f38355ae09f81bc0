// Prints a sheet of job-order labels to a PDF file, to be looked at by hand: the editor's template on the
// first position, then the job-order layout over a few rows, through the script host and the engine.
//   label_sheet OUTPUT.pdf
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

#include "LabelScripts.h"
#include "base/AppError.h"
#include "labels/clsLabelPrint.h"
#include "platform/ItalianLocale.h"
#include "platform/PrinterRegistry.h"
#include "platform/ProgramFolder.h"
#include "vbs/FakeEngines.h"
#include "vbs/ScriptHost.h"

namespace {

void makeLogo(const QString& file) {
    QImage logo(140, 140, QImage::Format_RGB32);
    logo.setDotsPerMeterX(20000);
    logo.setDotsPerMeterY(20000);
    logo.fill(QColor(0, 70, 140));
    QPainter p(&logo);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(64);
    font.setBold(true);
    p.setFont(font);
    p.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("ZL"));
    p.end();
    logo.save(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    InstallItalianLocale(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: label_sheet OUTPUT.pdf\n");
        return 2;
    }
    const QString pdf = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    SetProgramFolder(QFileInfo(pdf).absolutePath());
    makeLogo(QDir(ProgramFolder()).filePath(QStringLiteral("logo.png")));
    PrinterRegistry::instance().addPdfPrinter(QStringLiteral("PDF A4"), QPageSize(QPageSize::A4), QMarginsF(),
                                              pdf);

    auto ds = std::make_shared<vbstest::FakeDataSet>();
    const char* const rows[][3] = {
        {"ATT-0017", "Flangia forata in acciaio inox AISI 304, foratura a disegno", "17"},
        {"ATT-0018", "Albero di trasmissione", "18"},
        {"MAC-0102", "Pressa idraulica 40 t\r\ncon centralina", "102"},
        {"PRD-2044", "Boccola", "2044"},
        {"ASS-0311", "Manutenzione programmata\r\nsostituzione guarnizioni", "311"},
    };
    for (const auto& r : rows)
        ds->rows.push_back({{QStringLiteral("Codice"), Variant(r[0])},
                            {QStringLiteral("Descrizione"), Variant(r[1])},
                            {QStringLiteral("Numero"), Variant(int32_t(std::atoi(r[2])))}});
    auto engine = std::make_shared<clsLabelPrint>();
    try {
        engine->SetParameter(Variant("PDF A4"), 36, 70, 10, 5, 2);
        vbs::ScriptHost templ;
        templ.AddCode(labelscripts::Template());
        VariantList first{Variant(ObjectRef(ds)), Variant(ObjectRef(engine))};
        templ.Run(QStringLiteral("PrintLabel"), first);
        engine->TxtOut(0, 0, QStringLiteral("(modello nuovo: nessun campo)"));
        engine->NextLabel();
        vbs::ScriptHost host;
        host.AddCode(labelscripts::JobOrderLabel());
        for (ds->current = 0; ds->current < static_cast<int>(ds->rows.size()); ++ds->current) {
            VariantList args{Variant(ObjectRef(ds)), Variant(ObjectRef(engine))};
            if (!host.Run(QStringLiteral("PrintLabel"), args).toBool()) break;
            engine->NextLabel();
        }
        engine->EndLabels();
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    std::printf("%s: %d labels\n", qPrintable(pdf), static_cast<int>(ds->rows.size()) + 1);
    return 0;
}
