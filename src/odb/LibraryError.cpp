// The library's error codes: texts and raising.
#include "odb/LibraryError.h"

namespace odb {

namespace {
const char* const kLibrarySource = "ZeltoLavrix.odb";
}  // namespace

QString LibraryError::Text(int32_t code) {
    switch (code) {
        case odbErrFileMissing:
            return QStringLiteral("Il file del database non esiste");
        case odbErrNotDatabase:
            return QStringLiteral("Il file non è un database valido o è danneggiato");
        case odbErrCannotOpen:
            return QStringLiteral("Impossibile aprire o creare il file del database");
        case odbErrBusy:
            return QStringLiteral(
                "Il database è occupato da un altro computer: riprovare tra qualche istante");
        case odbErrUnknownTable:
            return QStringLiteral("Tabella sconosciuta");
        case odbErrDuplicateTable:
            return QStringLiteral("Tabella definita più volte");
        case odbErrDuplicateField:
            return QStringLiteral("Nome di campo o di riferimento definito più volte");
        case odbErrUnknownField:
            return QStringLiteral("Campo sconosciuto");
        case odbErrOpenStopped:
            return QStringLiteral("Apertura del database interrotta");
        case odbErrNotOpen:
            return QStringLiteral("Il database non è aperto");
        case odbErrRefused:
            return QStringLiteral("Modifica rifiutata");
        case odbErrCancelled:
            return QStringLiteral("Operazione annullata");
        case odbErrNoCurrentRow:
            return QStringLiteral("Nessun elemento corrente");
        case odbErrUnknownReference:
            return QStringLiteral("Riferimento sconosciuto");
        case odbErrBadCondition:
            return QStringLiteral("Condizione di selezione non valida");
        case odbErrSql:
            return QStringLiteral("Errore del motore del database");
        case odbErrBadValue:
            return QStringLiteral("Valore non valido per il campo");
        case odbErrTransaction:
            return QStringLiteral("Nessuna transazione aperta");
        case odbErrBadDefinition:
            return QStringLiteral("Definizione del database non valida");
        case odbErrReadOnly:
            return QStringLiteral("I dati non sono modificabili");
        case odbErrDuplicateKey:
            return QStringLiteral("Esiste già un elemento con gli stessi valori");
        case odbErrRowChanged:
            return QStringLiteral(
                "L'elemento è stato modificato da un altro computer: le modifiche non ancora salvate sono "
                "state "
                "annullate e sono mostrati i dati aggiornati.");
        case odbErrRowDeleted:
            return QStringLiteral("L'elemento non esiste più: è stato eliminato da un altro computer.");
        case odbErrForeignFile:
            return QStringLiteral(
                "Il file non è un database di questo programma: è stato creato da un altro programma e non "
                "viene né aperto né modificato");
        case odbErrReadOnlyDatabase:
            return QStringLiteral(
                "Il database è in sola lettura (il file o la sua cartella non possono essere scritti): i "
                "dati "
                "possono essere consultati ma non modificati");
        case odbErrDiskFull:
            return QStringLiteral("Il disco del database è pieno: le modifiche non sono state salvate");
        case odbErrFileAccess:
            return QStringLiteral(
                "Impossibile leggere o scrivere il file del database (errore del disco o della rete): le "
                "modifiche non sono state salvate");
        case odbErrUnresolvedReference:
            return QStringLiteral("Riferimento non risolto");
        case odbErrGeneral:
            return QStringLiteral("Errore nella gestione dei dati");
        default:
            return QStringLiteral("Errore nella gestione dei dati (%1)").arg(code);
    }
}

void LibraryError::Raise(int32_t code, const QString& detail) {
    throw AppError(vbObjectError + code, QString::fromLatin1(kLibrarySource),
                   detail.isEmpty() ? Text(code) : detail);
}

bool LibraryError::Is(const AppError& e, int32_t code) {
    return e.number() == vbObjectError + code;
}

}  // namespace odb
