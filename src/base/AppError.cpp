// The application error, VB's run-time error texts, the current and the saved error.
#include "base/AppError.h"

#include <QHash>

#include <new>
#include <system_error>

namespace {

AppError g_current;
AppError g_saved;

}  // namespace

AppError::AppError(int32_t number, QString source, QString description, QString helpFile, int32_t helpContext)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext),
      what_(QStringLiteral("%1: %2").arg(number_).arg(description_).toStdString()) {}

QString VbErrorText(int32_t number) {
    static const QHash<int32_t, QString> texts = {
        {3, QStringLiteral("Return senza GoSub")},
        {5, QStringLiteral("Chiamata di routine o argomento non validi")},
        {6, QStringLiteral("Overflow")},
        {7, QStringLiteral("Memoria esaurita")},
        {9, QStringLiteral("Indice non incluso nell'intervallo")},
        {10, QStringLiteral("Matrice fissa o temporaneamente bloccata")},
        {11, QStringLiteral("Divisione per zero")},
        {13, QStringLiteral("Tipo non corrispondente")},
        {14, QStringLiteral("Spazio stringa esaurito")},
        {17, QStringLiteral("Impossibile eseguire l'operazione richiesta")},
        {28, QStringLiteral("Spazio dello stack esaurito")},
        {35, QStringLiteral("Sub o Function non definita")},
        {48, QStringLiteral("Errore nel caricamento della DLL")},
        {51, QStringLiteral("Errore interno")},
        {53, QStringLiteral("Impossibile trovare il file")},
        {61, QStringLiteral("Disco pieno")},
        {75, QStringLiteral("Errore di accesso al percorso/file")},
        {91, QStringLiteral("Variabile oggetto o variabile del blocco With non impostata")},
        {92, QStringLiteral("Ciclo For non inizializzato")},
        {94, QStringLiteral("Utilizzo non valido di Null")},
        {380, QStringLiteral("Valore della proprietà non valido")},
        {383, QStringLiteral("Impossibile impostare la proprietà. Proprietà di sola lettura")},
        {424, QStringLiteral("Necessario oggetto")},
        {429, QStringLiteral("Impossibile creare l'oggetto")},
        {438, QStringLiteral("Proprietà o metodo non supportati dall'oggetto")},
        {440, QStringLiteral("Errore di automazione")},
        {445, QStringLiteral("Azione non supportata dall'oggetto")},
        {446, QStringLiteral("Argomenti denominati non supportati dall'oggetto")},
        {448, QStringLiteral("Argomento denominato non trovato")},
        {449, QStringLiteral("Argomento non facoltativo")},
        {450, QStringLiteral("Numero di argomenti errato o assegnazione di proprietà non valida")},
        {451, QStringLiteral("L'oggetto non è un insieme")},
        {481, QStringLiteral("Immagine non valida")},
        {482, QStringLiteral("Errore della stampante")},
        {500, QStringLiteral("Variabile non definita")},
        {501, QStringLiteral("Impossibile assegnare alla variabile")},
        {502, QStringLiteral("Oggetto non sicuro per lo scripting")},
        {1002, QStringLiteral("Errore di sintassi")},
    };
    const auto it = texts.find(number);
    return it != texts.end() ? *it : QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
}

QString ErrorDescription(const std::exception& e) {
    if (const auto* app = dynamic_cast<const AppError*>(&e)) return app->description();
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("Operazione non riuscita: memoria esaurita.");
    if (dynamic_cast<const std::system_error*>(&e))
        return QStringLiteral("Operazione non riuscita: errore del sistema operativo.");
    return QStringLiteral("Operazione non riuscita: errore interno del programma.");
}

void RaiseVbError(int32_t number, const QString& source) {
    throw AppError(number, source, VbErrorText(number));
}

void SetCurrentError(const AppError& e) {
    g_current = e;
}
const AppError& CurrentError() {
    return g_current;
}
void ClearCurrentError() {
    g_current = AppError();
}

void SaveErrorInfo() {
    g_saved = g_current;
}
void SaveErrorInfo(const AppError& e) {
    g_current = e;
    g_saved = e;
}

void RaiseSavedError() {
    const AppError e = g_saved;
    g_saved = AppError(0, e.source(), e.description(), e.helpFile(), e.helpContext());
    throw e;
}

const AppError& SavedError() {
    return g_saved;
}
