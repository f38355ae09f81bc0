// The printers: installed ones read once through QPrinterInfo, then our own.
#include "platform/PrinterRegistry.h"

#include <QGuiApplication>
#include <QPrinterInfo>
#include <QScreen>

#include "platform/DefaultPrinter.h"
#include "platform/PrinterSurface.h"
#include "platform/ProgramPdfPrinter.h"

PrinterRegistry& PrinterRegistry::instance() {
    static PrinterRegistry registry;
    return registry;
}

std::vector<std::shared_ptr<DrawSurface>>& PrinterRegistry::installed() {
    if (listInstalled_ && !installedRead_) {
        installedRead_ = true;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
            installed_.push_back(std::make_shared<PrinterSurface>(info));
    }
    static std::vector<std::shared_ptr<DrawSurface>> none;
    return listInstalled_ ? installed_ : none;
}

std::shared_ptr<DrawSurface> PrinterRegistry::programPdf() {
    if (listProgramPdf_ && !programPdf_) programPdf_ = std::make_shared<ProgramPdfPrinter>();
    return programPdf_;
}

int PrinterRegistry::count() {
    return static_cast<int>(installed().size() + own_.size()) + (programPdf() ? 1 : 0);
}

std::shared_ptr<DrawSurface> PrinterRegistry::item(int index) {
    auto& system = installed();
    if (index < 0) return nullptr;
    if (index < static_cast<int>(system.size())) return system[index];
    index -= static_cast<int>(system.size());
    if (index < static_cast<int>(own_.size())) return own_[index];
    return index == static_cast<int>(own_.size()) ? programPdf() : nullptr;
}

std::shared_ptr<DrawSurface> PrinterRegistry::find(const QString& deviceName) {
    for (int i = 0, n = count(); i < n; ++i) {
        auto p = item(i);
        if (p->deviceName() == deviceName) return p;
    }
    return nullptr;
}

std::shared_ptr<DrawSurface> PrinterRegistry::current() {
    if (!current_) {
        const QString name = DefaultPrinterName();
        current_ = name.isEmpty() ? nullptr : find(name);
        if (!current_) current_ = item(0);
    }
    return current_;
}

void PrinterRegistry::setCurrent(std::shared_ptr<DrawSurface> printer) {
    current_ = std::move(printer);
}

std::vector<PrinterSetting> PrinterRegistry::settings() {
    std::vector<PrinterSetting> list;
    for (int i = 0, n = count(); i < n; ++i) {
        const auto printer = item(i);
        PrinterSetting setting{printer->deviceName(), {}, {}, printer->orientation()};
        if (const auto* sheet = dynamic_cast<const PrinterSurface*>(printer.get())) {
            setting.papers = sheet->papers();
            setting.paper = sheet->paper();
        }
        list.push_back(setting);
    }
    return list;
}

bool PrinterRegistry::makeCurrent(const PrinterSetting& setting) {
    auto printer = find(setting.printer);
    if (!printer) return false;
    if (auto* sheet = dynamic_cast<PrinterSurface*>(printer.get()); sheet && setting.paper.isValid())
        sheet->setPaper(setting.paper);
    if (printer->orientation() != setting.orientation) printer->setOrientation(setting.orientation);
    return makeCurrent(setting.printer);
}

bool PrinterRegistry::makeCurrent(const QString& deviceName) {
    auto printer = find(deviceName);
    if (!printer) return false;
    current_ = printer;
    SetDefaultPrinterName(deviceName);
    return true;
}

std::shared_ptr<PrinterSurface> PrinterRegistry::addPdfPrinter(const QString& name, const QPageSize& paper,
                                                               const QMarginsF& margins,
                                                               const QString& file) {
    auto p = std::make_shared<PrinterSurface>(name, paper, margins, file);
    own_.push_back(p);
    return p;
}

void PrinterRegistry::add(std::shared_ptr<DrawSurface> printer) {
    own_.push_back(std::move(printer));
}

void PrinterRegistry::reset(bool listInstalled, bool listProgramPdf) {
    listInstalled_ = listInstalled;
    listProgramPdf_ = listProgramPdf;
    own_.clear();
    programPdf_.reset();
    current_.reset();
    SetDefaultPrinterName({});
}

QSizeF ScreenSizeMillimetres() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {270.9, 203.2};  // 1024 x 768 at 96 dpi
    const QSize px = screen->geometry().size();
    return {px.width() * 25.4 / screen->logicalDotsPerInchX(),
            px.height() * 25.4 / screen->logicalDotsPerInchY()};
}
