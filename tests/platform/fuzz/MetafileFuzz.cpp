// libFuzzer target for metafile reading as the program does it: any bytes read as a WMF or EMF picture,
// the libraries drawing in their child process, the reply read back and an EMF's SVG drawn here. Whatever
// the bytes, the reading gives a picture or none: a crash, a sanitizer's finding in our code or the
// reader's, a hang or memory beyond the limit stops the run.
#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/MetafilePicture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The SVG renderer draws text, which needs the fonts of an application.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadMetafile(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
