// The barcode input and its filter script.
#include "terminal/modBarcodeReader.h"

#include <memory>

#include "base/AppError.h"
#include "platform/Prompt.h"
#include "startup/AppScriptServices.h"
#include "vbs/ScriptHost.h"

QString g_strBarCodeFilterScript;

namespace {

// The compiled filter, kept between scans.
std::unique_ptr<vbs::ScriptHost>& filterHost() {
    static std::unique_ptr<vbs::ScriptHost> host;
    return host;
}

}  // namespace

QString FilterBarcodeInput(const QString& text) {
    QString code;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            code = text.left(i);
            break;
        }
    }
    return ApplyBarcodeFilter(code, QString());
}

QString ApplyBarcodeFilter(const QString& code, const QString& testScript) {
    std::unique_ptr<vbs::ScriptHost>& host = filterHost();
    try {
        if (!testScript.isEmpty() || !host) {
            const QString source = testScript.isEmpty() ? g_strBarCodeFilterScript : testScript;
            if (source.isEmpty()) return code;
            host = std::make_unique<vbs::ScriptHost>();
            host->SetLanguage(QStringLiteral("vbscript"));
            AppScriptServices::Attach(*host);
            host->AddCode(source);
        }
        VariantList args{Variant(code)};
        const QString result = host->Run(QStringLiteral("BarCodeFilter"), args).toText();
        if (!testScript.isEmpty()) host.reset();
        return result;
    } catch (const AppError& e) {
        const QString text =
            host ? host->ErrorMessage(QStringLiteral("Errore in esecuzione del filtro codici a barre: "),
                                      e.description())
                 : e.description();
        // A script that failed is compiled again at the next scan, never kept half loaded.
        host.reset();
        Prompt::instance().msgBox(text, MsgBoxStyle::vbCritical);
        return {};
    }
}
