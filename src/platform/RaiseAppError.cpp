// The raising of the program's own errors.
#include "platform/RaiseAppError.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>

QString ClassNameOfType(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : type.name());
    // Without namespace and template arguments: "odb::DataSet" -> "DataSet".
    const qsizetype angle = name.indexOf(QLatin1Char('<'));
    if (angle >= 0) name.truncate(angle);
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0) name = name.mid(colons + 2);
    return name;
}

void RaiseErrorExNamed(const QString& sourceLabel, int32_t number, const QString& description) {
    QString text = QStringLiteral("[") + sourceLabel + QStringLiteral("], Err.: ") + QString::number(number);
    if (!description.isEmpty()) text += QLatin1Char('\r') + description;
    throw AppError(vbObjectError + number, QString::fromLatin1(kProductName), text);
}

void RaiseErrorEx(const Variant& source, int32_t number, const QString& description) {
    QString label;
    if (source.isObject())
        label = source.objectValue() ? source.objectValue()->className() : QStringLiteral("Nothing");
    else
        label = source.toText();
    RaiseErrorExNamed(label, number, description);
}

void RaiseAppError(const Variant& source, const QString& description) {
    RaiseErrorEx(source, kAppErrorCode, description);
}
