// ProgramPdfPrinter: the program's own PDF printer, there on every computer, print queues or not. Each
// document is drawn into a draft and, when it ends, saved in the PDF file the user names; with no
// window to ask, it goes into the documents folder under the date and time, and a failure to write it
// there is told to the program's reporter of errors no window took.
#pragma once

#include <QString>

#include "platform/PrinterSurface.h"

class ProgramPdfPrinter : public PrinterSurface {
  public:
    ProgramPdfPrinter();

    // "Stampa su PDF".
    static QString printerName();
    // Where documents go when no window can ask: the user's documents folder.
    static QString documentsFolder();

    void endDoc() override;
    void EndJob(QPrinter& job) override;

  private:
    // True when the draft was written where the user said, or into the documents folder.
    bool save(const QString& draft);

    QString lastFolder_;  // of the last file saved, proposed for the next one
};
