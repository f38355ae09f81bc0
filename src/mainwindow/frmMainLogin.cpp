// The login of the main window: the user chosen by the workstation's setting or from the picker,
// the password checked and changed, the connection's login and the access level.
#include <QCoreApplication>

#include "base/AppError.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmSelectOper.h"
#include "model/GetDBTable.h"
#include "odb/Connection.h"
#include "odb/DataSet.h"
#include "odb/Database.h"
#include "odb/Table.h"
#include "platform/Prompt.h"
#include "startup/ScrambleString.h"
#include "startup/SharedState.h"
#include "startup/ShowErrorDetails.h"
#include "startup/frmPassword.h"

namespace {

const QString kUsers = QStringLiteral("Utenti");

}  // namespace

bool frmMain::UserLogin(bool changeUser, const QString& useUser, bool changePwd) {
    QString user = useUser;
    QCoreApplication::processEvents();
    std::shared_ptr<odb::DataSet> row;
    try {
        odb::Table& users = GetDBTable(kUsers);
        if (changeUser) {
            if (!user.isEmpty()) {
                row = users.OpenData(QStringLiteral("Nome=") +
                                     users.Field(QStringLiteral("Nome")).ValueLiteral(user));
                if (row->DataEmpty()) {
                    Prompt::instance().msgBox(
                        QStringLiteral("L'Utente <") + user +
                            QStringLiteral("> specificato nei parametri non è configurato."),
                        MsgBoxStyle::vbExclamation, QString(), this);
                    user.clear();
                } else {
                    g_strCurrentUser = row->ColText(QStringLiteral("Nome"));
                    g_vntCurrentUserKey = row->Bookmark(0);
                }
            }
            if (user.isEmpty()) {
                frmSelectOper picker(this);
                picker.m_strTableName = kUsers;
                picker.m_vntOID_Operatore = g_vntCurrentUserKey;
                picker.ShowModal();
                g_strCurrentUser = picker.m_strOperatore;
                g_vntCurrentUserKey = picker.m_vntOID_Operatore;
            }
            SetAppTitle();
        }
        if (g_strCurrentUser.trimmed().isEmpty()) return false;

        row = users.OpenData(users.KeyField(-1) + QStringLiteral("=") + g_vntCurrentUserKey.toString());
        if (row->DataEmpty()) RaiseVbError(3021);
        const QString stored =
            row->ColIsNull(QStringLiteral("Password")) ? QString() : row->ColText(QStringLiteral("Password"));
        // A user picked from the list is always asked (an empty password passes); a configured
        // terminal user only when it has a password.
        if (!stored.isEmpty() || user.isEmpty()) {
            frmPassword dialog;
            if (!dialog.ValidatePassword(this, changePwd, ScrambleString(stored, true), false)) return false;
            if (dialog.Changed()) {
                row->SetColValue(QStringLiteral("Password"), ScrambleString(dialog.Password(), false));
                row->SaveRow();
            }
        }
    } catch (const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
        return false;
    }

    try {
        if (!g_objConnection || !g_objDatabase) RaiseVbError(91);
        g_objConnection->Login(g_strCurrentUser, *g_objDatabase);
        g_objDatabase->SetUserLevel(row->ColIsNull(QStringLiteral("LivelloAccesso"))
                                        ? 0
                                        : Variant(row->ColValue(QStringLiteral("LivelloAccesso"))).toLong());
    } catch (const AppError& e) {
        // The previous user's rights never stay with a login that failed half way.
        try {
            if (g_objDatabase) g_objDatabase->SetUserLevel(0);
        } catch (const AppError&) {
        }
        SetCurrentError(e);
        ShowErrorDetails(QString());
        return false;
    }
    return true;
}

void frmMain::mnuChangeUser_Click() {
    if (!UserLogin(true, QString(), false)) {
        Unload();
        return;
    }
    ShowTreeAndView();
}

void frmMain::mnuChangePwd_Click() {
    UserLogin(false, QString(), true);
}
