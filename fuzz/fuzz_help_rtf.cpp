// libFuzzer target: any bytes given to the RTF reader end in a document, and what the
// writer makes of that document reads back to the same text.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "windows/Rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);  // documents lay out text with the platform's fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray rtf(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument first;
    if (!skelda::ReadRtf(rtf, first)) return 0;
    QTextDocument second;
    if (!skelda::ReadRtf(skelda::WriteRtf(first), second)) __builtin_trap();
    if (second.toPlainText() != first.toPlainText()) __builtin_trap();
    return 0;
}
