// CompileError and the texts of the script engine's own error numbers.
#include "vbs/CompileError.h"

#include <QHash>

namespace vbs {

namespace {

const char* const kCompileSource = "Errore di compilazione dello script";

}  // namespace

CompileError::CompileError(int32_t number, int line, const QString& detail)
    : AppError(number, QString::fromLatin1(kCompileSource),
               detail.isEmpty() ? ScriptErrorText(number)
                                : ScriptErrorText(number) + QStringLiteral(": ") + detail),
      line_(line) {}

QString ScriptErrorText(int32_t number) {
    static const QHash<int32_t, QString> texts = {
        {1001, QStringLiteral("Memoria esaurita")},
        {1002, QStringLiteral("Errore di sintassi")},
        {1005, QStringLiteral("Previsto '('")},
        {1006, QStringLiteral("Previsto ')'")},
        {1010, QStringLiteral("Previsto identificatore")},
        {1011, QStringLiteral("Previsto '='")},
        {1012, QStringLiteral("Previsto 'If'")},
        {1013, QStringLiteral("Previsto 'To'")},
        {1014, QStringLiteral("Previsto 'End'")},
        {1015, QStringLiteral("Previsto 'Function'")},
        {1016, QStringLiteral("Previsto 'Sub'")},
        {1017, QStringLiteral("Previsto 'Then'")},
        {1018, QStringLiteral("Previsto 'Wend'")},
        {1019, QStringLiteral("Previsto 'Loop'")},
        {1020, QStringLiteral("Previsto 'Next'")},
        {1021, QStringLiteral("Previsto 'Case'")},
        {1022, QStringLiteral("Previsto 'Select'")},
        {1023, QStringLiteral("Prevista espressione")},
        {1024, QStringLiteral("Prevista istruzione")},
        {1025, QStringLiteral("Prevista fine istruzione")},
        {1026, QStringLiteral("Prevista costante intera")},
        {1027, QStringLiteral("Previsto 'While' o 'Until'")},
        {1029, QStringLiteral("Previsto 'With'")},
        {1031, QStringLiteral("Numero non valido")},
        {1032, QStringLiteral("Carattere non valido")},
        {1033, QStringLiteral("Costante stringa non terminata")},
        {1039, QStringLiteral("Istruzione 'Exit' non valida")},
        {1041, QStringLiteral("Nome ridefinito")},
        {1045, QStringLiteral("Prevista costante letterale")},
        {1046, QStringLiteral("Previsto 'In'")},
        {1053, QStringLiteral("Espressioni o blocchi annidati troppo in profondità")},
        {kTimeoutError, QStringLiteral("Tempo massimo di esecuzione dello script superato")},
        {kUnknownNameError, QStringLiteral("Procedura non definita")},
        {kBadParamCountError, QStringLiteral("Numero di argomenti errato")},
    };
    const auto it = texts.find(number);
    return it != texts.end() ? *it : VbErrorText(number);
}

}  // namespace vbs
