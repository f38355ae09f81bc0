// A temporary folder, no printers but the ones a test adds, and a recording prompt.
#pragma once

#include <memory>
#include <ostream>

#include "labels/clsLabelPrint.h"
#include "platform/PrinterRegistry.h"
#include "platform/RecordingSurface.h"
#include "support/RecordingPrompt.h"
#include "support/TestEnvironment.h"

class LabelTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        PrinterRegistry::instance().reset(false);
    }
    void TearDown() override {
        PrinterRegistry::instance().reset(true);
        TempFolderTest::TearDown();
    }
    // A recording printer of that printable size, made the current one.
    std::shared_ptr<RecordingSurface> addPrinter(const QSizeF& mm,
                                                 const QString& name = QStringLiteral("Etichette")) {
        auto p = std::make_shared<RecordingSurface>(mm, name);
        PrinterRegistry::instance().add(p);
        return p;
    }
    ScopedRecordingPrompt prompt;
};

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
