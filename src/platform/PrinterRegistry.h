// PrinterRegistry: the printers the program can print on (the installed ones, then PDF printers of
// its own, the program's "Stampa su PDF" last) and the application's current printer, which the print
// engines draw on.
#pragma once

#include <QMarginsF>
#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

#include "platform/PrinterSetting.h"

class DrawSurface;
class PrinterSurface;

class PrinterRegistry {
  public:
    static PrinterRegistry& instance();

    int count();
    // 0-based, in the registry's order; null past the end.
    std::shared_ptr<DrawSurface> item(int index);
    // The first printer with exactly this device name (letter case counts); null when none.
    std::shared_ptr<DrawSurface> find(const QString& deviceName);

    // The current printer: at first the default printer, or the first one; null with no printer.
    std::shared_ptr<DrawSurface> current();
    void setCurrent(std::shared_ptr<DrawSurface> printer);

    // Each printer as a printer setup shows it.
    std::vector<PrinterSetting> settings();
    // The printer of the setting, given its paper and orientation, becomes the current printer and the
    // default printer of the run; false when no printer has that name.
    bool makeCurrent(const PrinterSetting& setting);
    // The printer of that name, as it is set, becomes the current and the default printer of the run.
    bool makeCurrent(const QString& deviceName);

    // A PDF printer of our own: each document it prints is written to the file.
    std::shared_ptr<PrinterSurface> addPdfPrinter(const QString& name, const QPageSize& paper,
                                                  const QMarginsF& margins, const QString& file);
    // Any surface that is a printer (tests give recording printers).
    void add(std::shared_ptr<DrawSurface> printer);

    // Forgets our own printers, the current one and the run's default; without installed printers the
    // registry lists only ours (tests, whatever the machine has), and without the program's PDF printer
    // none at all.
    void reset(bool listInstalled, bool listProgramPdf = true);

  private:
    std::vector<std::shared_ptr<DrawSurface>>& installed();
    // The program's PDF printer; null when not listed.
    std::shared_ptr<DrawSurface> programPdf();

    bool listInstalled_ = true;
    bool listProgramPdf_ = true;
    std::shared_ptr<DrawSurface> programPdf_;
    bool installedRead_ = false;
    std::vector<std::shared_ptr<DrawSurface>> installed_;
    std::vector<std::shared_ptr<DrawSurface>> own_;
    std::shared_ptr<DrawSurface> current_;
};

// The screen's size in millimetres, as windows are sized on it (logical resolution).
QSizeF ScreenSizeMillimetres();
