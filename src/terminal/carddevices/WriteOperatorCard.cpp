// The worker card writing.
#include "terminal/carddevices/WriteOperatorCard.h"

#include "model/GetDBTable.h"
#include "odb/DataSet.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "terminal/carddevices/frmMagneticDev.h"

bool WriteOperatorCard(odb::DataSet& workers, QWidget* parent, bool noMessages) {
    using namespace MsgBoxStyle;
    QString prefix;
    const auto types =
        GetDBTable(Variant(QStringLiteral("TipiCommessa"))).OpenData(QStringLiteral("Tipologia=9"));
    if (!types->DataEmpty()) prefix = types->ColText(QStringLiteral("PrefissoNumero"));

    const QString code = workers.ColText(QStringLiteral("Codice"));
    const QString name = workers.ColText(QStringLiteral("Nominativo"));
    if (code.trimmed().isEmpty()) {
        // The card would hold the prefix alone, which no read accepts.
        Prompt::instance().msgBox(QStringLiteral("L'Operaio < ") + name +
                                      QStringLiteral(" > non ha un Codice: la carta non può essere scritta."),
                                  vbExclamation, {}, parent);
        return false;
    }
    if (!noMessages) {
        const QString question = QStringLiteral("Operaio:   ") + name + QStringLiteral("\rCodice:   ") +
                                 code +
                                 QStringLiteral(
                                     "\r\rQuesta operazione scrive il codice nella carta...\r\r"
                                     "ATTENZIONE: assicurarsi che la carta da impostare sia quella "
                                     "giusta !\r\rContinuare ?");
        if (Prompt::instance().msgBox(question, vbYesNo | vbQuestion | vbDefaultButton2, {}, parent) !=
            MsgResult::Yes)
            return false;
    }
    if (!frmMagneticDev::WriteCode(parent, code, prefix, {}, false, 1)) return false;
    if (!noMessages)
        Prompt::instance().msgBox(QStringLiteral("OK\r\rLa carta ") + code +
                                      QStringLiteral(" dell'Operaio < ") + name +
                                      QStringLiteral(" > è stata creata correttamente."),
                                  vbInformation, {}, parent);
    return true;
}
