// The closed-job-order mail: its seven database parameters, the scan that marks the customer job
// orders closed recently as notified and mails them, and the sending of one notification with
// its administrator copy through the computer's mail account.
#pragma once

#include <QString>

#include "base/Variant.h"

struct MailSettings {
    QString subject;          // "EMailObject"
    QString text;             // "EMailText", a long text
    QString useAdminCopy;     // "Use_MailAdminNotification", "True" when absent
    QString adminName;        // "AccountAdminName"
    QString adminAddress;     // "MailAdminAddress"
    QString intervalMinutes;  // "IntervalSendMail", "60" when absent
    QString maxDays;          // "MaxDayCheck", "15" when absent

    // The parameters as stored (the texts, not yet converted).
    static MailSettings Load();
    // Stores the seven parameters; the copy flag as "1" or "0".
    void Save(bool copyFlag) const;
    // The copy flag as a Boolean: "1", "True" or an absent value tick it.
    bool CopyFlag() const;
};

// One scan: each customer job order closed within the day limit and waiting for its mail is set to
// notified (3), stored, then mailed. An error ends the scan: the row being mailed stays notified,
// the rows not reached wait for the next scan.
void ScanClosedJobOrdersForNotification();

// Sends the customer's message and, with `adminCopy`, the administrator's copy. A failure raises
// the error the user is shown: what failed and the message being prepared.
void SendMailNotification(const QString& recipientName, const QString& recipientAddress,
                          const QString& subject, const QString& text, bool adminCopy,
                          const Variant& adminName, const Variant& adminAddress);
