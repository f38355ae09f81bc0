// modBarcodeReader: job-order numbers from a barcode scanner that types like a keyboard. A scan is
// complete once its line end has arrived; the code may pass through a script function
// "BarCodeFilter" of the script host.
#pragma once

#include <QString>

// The source of the filter every scan passes through. Nothing assigns it: codes pass unchanged.
extern QString g_strBarCodeFilterScript;

// The code before the first CR or LF of `text`, through the filter; "" while no line end has come.
QString FilterBarcodeInput(const QString& text);
// `code` after the filter script: `testScript` when not empty (compiled for this call only), else
// the global one. A failing script shows its error and gives "", and is released.
QString ApplyBarcodeFilter(const QString& code, const QString& testScript = {});
