// The layout lookup and the glue between a layout script and the label engine.
#include "labels/modLabelPrint.h"

#include "base/AppError.h"
#include "labels/clsLabelPrint.h"
#include "model/GetDBTable.h"
#include "model/ModelState.h"
#include "odb/DataSet.h"
#include "odb/DataSetObject.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "startup/AppScriptServices.h"
#include "startup/modZeltoFormUtility.h"
#include "vbs/ScriptHost.h"

std::shared_ptr<clsLabelPrint> g_objLabelPrint;

namespace {

const QString kLoadHeading = QStringLiteral("Errore di inizializzazione del codice di stampa: ");
const QString kRunHeading = QStringLiteral("Errore nel codice di stampa etichetta: ");

void showScriptError(const vbs::ScriptHost& host, const QString& heading, const QString& error) {
    Prompt::instance().msgBox(host.ErrorMessage(heading, error), MsgBoxStyle::vbCritical, g_strMsgBoxTitle);
}

// Loads the script as every label script is loaded: language, code, then the time limit.
void load(vbs::ScriptHost& host, const QString& script) {
    AppScriptServices::Attach(host);
    host.SetLanguage(QStringLiteral("vbscript"));
    host.AddCode(script);
    host.SetTimeout(30000);
}

// PrintLabel(ds, prn); errors reach the caller.
bool callPrintLabel(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsLabelPrint>& prn,
                    vbs::ScriptHost& host) {
    VariantList args{Variant(ds->AsObject()), Variant(ObjectRef(prn))};
    const Variant result = host.Run(QStringLiteral("PrintLabel"), args);
    // The script may have replaced either argument: only a data set and an engine can come back.
    auto dsObject =
        args[0].isObject() ? std::dynamic_pointer_cast<odb::DataSetObject>(args[0].objectValue()) : nullptr;
    auto engine =
        args[1].isObject() ? std::dynamic_pointer_cast<clsLabelPrint>(args[1].objectValue()) : nullptr;
    if (!dsObject || !engine) RaiseVbError(13);
    ds = dsObject->shared();
    prn = engine;
    return result.toBool();
}

}  // namespace

bool HasLabelSetting(const QString& tableName) {
    const QString where = QStringLiteral("NomeTabellaOrigine=") + g_objDatabase->TextLiteral(tableName);
    return !GetDBTable(Variant(QStringLiteral("TabStampaEtichette"))).OpenData(where)->DataEmpty();
}

std::unique_ptr<vbs::ScriptHost> CreateLabelScript(const QString& script) {
    auto host = std::make_unique<vbs::ScriptHost>();
    try {
        load(*host, script);
        return host;
    } catch (const std::exception& e) {
        showScriptError(*host, kLoadHeading, ErrorDescription(e));
        return nullptr;
    }
}

bool RunLabelScript(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsLabelPrint>& prn,
                    const QString& script) {
    vbs::ScriptHost host;
    try {
        load(host, script);
        return callPrintLabel(ds, prn, host);
    } catch (const std::exception& e) {
        showScriptError(host, kRunHeading, ErrorDescription(e));
        return false;
    }
}

bool RunPrintLabel(std::shared_ptr<odb::DataSet>& ds, std::shared_ptr<clsLabelPrint>& prn,
                   vbs::ScriptHost& script) {
    try {
        return callPrintLabel(ds, prn, script);
    } catch (const std::exception& e) {
        showScriptError(script, kRunHeading, ErrorDescription(e));
        return false;
    }
}
