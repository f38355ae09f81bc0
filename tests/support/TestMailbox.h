// TestMailbox: the mailbox the SMTP sink delivers into and the IMAP test server serves, in memory
// and shared between threads; with readers of a stored message's decoded headers and text.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <mutex>
#include <vector>

struct TestMail {
    uint32_t uid = 0;
    QDateTime received;
    QByteArray raw;  // as the client sent it, CRLF line breaks
    QByteArray envelopeFrom;
    QList<QByteArray> recipients;  // RCPT TO, as given
    QSet<QByteArray> flags;
    QString subject;  // decoded once

    // A header's value, unfolded and decoded ("" when absent).
    QString header(const QByteArray& name) const;
    // The text, its transfer encoding undone, as UTF-8.
    QString text() const;
};

class TestMailbox {
  public:
    // Stores a message; the next identifier is returned.
    uint32_t add(const QByteArray& raw, const QDateTime& received, const QByteArray& envelopeFrom = {},
                 const QList<QByteArray>& recipients = {});
    // A message built from a subject, for filling a mailbox quickly.
    uint32_t addWithSubject(const QString& subject, const QDateTime& received);
    std::vector<TestMail> messages() const;
    size_t size() const;

    // Under the lock: the IMAP server reads and flags messages through these.
    template <class F>
    auto locked(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(mails_);
    }

  private:
    mutable std::mutex mutex_;
    std::vector<TestMail> mails_;
    uint32_t nextUid_ = 1;
};

// The value of a header field of `raw`, unfolded, encoded words decoded.
QString DecodedHeader(const QByteArray& raw, const QByteArray& name);
