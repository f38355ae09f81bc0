// SQLite side of the conditions: VB's Like, Month and Year over OLE dates, & that keeps
// Null only when both sides are Null, and the Italian case-insensitive text collation.
#include "odb/condition/ConditionFunctions.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <cmath>
#include <cstring>

#include "base/DateUtil.h"
#include "base/Variant.h"
#include "odb/condition/ConditionLike.h"
#include "odb/condition/ConditionSql.h"

namespace odb {

namespace {

QString ArgText(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_FLOAT:
            return FormatVbDouble(sqlite3_value_double(v));
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
            return QString::fromUtf8(text, sqlite3_value_bytes(v));
        }
    }
}

void LikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto matches = [&](const ConditionLike& like) {
        // A stored text is matched on its bytes; other values as VB reads them as text.
        if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return like.Matches(ArgText(argv[0]));
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        return like.MatchesUtf8(text, sqlite3_value_bytes(argv[0]));
    };
    if (const auto* cached = static_cast<const ConditionLike*>(sqlite3_get_auxdata(ctx, 1))) {
        sqlite3_result_int(ctx, matches(*cached) ? 1 : 0);
        return;
    }
    // The compiled pattern is kept for the next rows of the statement.
    auto* like = new ConditionLike(ArgText(argv[1]));
    const bool matched = matches(*like);
    sqlite3_set_auxdata(ctx, 1, like, [](void* p) { delete static_cast<ConditionLike*>(p); });
    sqlite3_result_int(ctx, matched ? 1 : 0);
}

// A stored date: OLE days within VB's range, or an ISO text.
bool ReadDate(sqlite3_value* v, double& ole) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            ole = sqlite3_value_double(v);
            return std::isfinite(ole) && ole >= -657434.0 && ole < 2958466.0;
        case SQLITE_TEXT: {
            const QDateTime dt = QDateTime::fromString(ArgText(v), Qt::ISODate);
            if (!dt.isValid()) return false;
            ole = OleDateFromQDateTime(dt);
            return true;
        }
        default:
            return false;
    }
}

void MonthFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double ole = 0;
    if (ReadDate(argv[0], ole)) {
        sqlite3_result_int(ctx, SplitOleDate(ole).month);
    } else {
        sqlite3_result_null(ctx);
    }
}

void YearFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double ole = 0;
    if (ReadDate(argv[0], ole)) {
        sqlite3_result_int(ctx, SplitOleDate(ole).year);
    } else {
        sqlite3_result_null(ctx);
    }
}

void DateTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double ole = 0;
    if (!ReadDate(argv[0], ole)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray utf8 = FormatVbDate(ole).toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void ConcatFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL && sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray utf8 = (ArgText(argv[0]) + ArgText(argv[1])).toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// UTF-8 to UTF-16 in a buffer of the caller's: a sort compares millions of times, no allocation
// each time. ASCII, the common case, is widened byte by byte.
QStringView Utf16(const void* text, int len, QVarLengthArray<QChar, 256>& buffer) {
    const auto* bytes = static_cast<const unsigned char*>(text);
    buffer.resize(len);
    QChar* out = buffer.data();
    int i = 0;
    for (; i < len && bytes[i] < 0x80; ++i)
        out[i] = QChar(bytes[i]);
    if (i == len) return QStringView(out, len);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QChar* end = decoder.appendToBuffer(out + i, QByteArrayView(bytes + i, len - i));
    return QStringView(out, end - out);
}

int CompareText(void* collator, int lenA, const void* a, int lenB, const void* b) {
    if (lenA == lenB && std::memcmp(a, b, static_cast<size_t>(lenA)) == 0) return 0;
    QVarLengthArray<QChar, 256> bufferA, bufferB;
    return static_cast<QCollator*>(collator)->compare(Utf16(a, lenA, bufferA), Utf16(b, lenB, bufferB));
}

}  // namespace

int RegisterConditionFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Function {
        const char* name;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
        int args;
    };
    static const Function functions[] = {
        {"vb_like", LikeFunction, 2},     {"vb_month", MonthFunction, 1},       {"vb_year", YearFunction, 1},
        {"vb_concat", ConcatFunction, 2}, {"vb_datetext", DateTextFunction, 1},
    };
    for (const Function& f : functions) {
        const int rc =
            sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.call, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    auto* collator = new QCollator(QLocale(QLocale::Italian, QLocale::Italy));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    return sqlite3_create_collation_v2(db, ConditionSql::kTextCollation, SQLITE_UTF8, collator, CompareText,
                                       [](void* p) { delete static_cast<QCollator*>(p); });
}

int BindConditionValues(sqlite3_stmt* stmt, const std::vector<SqlValue>& values, int first) {
    int index = first;
    for (const SqlValue& v : values) {
        int rc = SQLITE_OK;
        if (std::holds_alternative<int64_t>(v)) {
            rc = sqlite3_bind_int64(stmt, index, std::get<int64_t>(v));
        } else if (std::holds_alternative<double>(v)) {
            rc = sqlite3_bind_double(stmt, index, std::get<double>(v));
        } else if (std::holds_alternative<QString>(v)) {
            const QByteArray utf8 = std::get<QString>(v).toUtf8();
            rc = sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_null(stmt, index);
        }
        if (rc != SQLITE_OK) return rc;
        ++index;
    }
    return SQLITE_OK;
}

}  // namespace odb
