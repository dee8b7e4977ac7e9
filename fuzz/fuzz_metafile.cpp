// The metafile path on arbitrary bytes: our own structure checks for both kinds, and the
// game's reading of the metafile reader's reply. With SKELDA_FUZZ_LIBRARIES=1 every input
// that passes the checks also goes through libemf2svg or libwmf and Qt's SVG renderer in
// this process, as the reader runs them (=2: every input, checked or not, to see what the
// libraries make of what the checks refuse). Those libraries have known crashes, which is
// why the game runs them in a child, so CI fuzzes only what the game itself runs.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "tools/metafile/MetafileCheck.h"
#include "tools/metafile/MetafileRender.h"
#include "tools/metafile/MetafileReply.h"

using namespace skelda;

namespace {
bool libraries = false, unchecked = false;
int appArgc = 1;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    const char* env = std::getenv("SKELDA_FUZZ_LIBRARIES");
    libraries = env && (env[0] == '1' || env[0] == '2');
    unchecked = env && env[0] == '2';
    if (libraries) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        // Kept to the end of the process: destroyed among the exit handlers it crashes.
        new QGuiApplication(appArgc, *argv);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (MetafileKind kind : {MetafileKind::Emf, MetafileKind::Wmf}) {
        MetafileFacts facts;
        std::string error;
        const bool ok = CheckMetafile(kind, data, size, facts, error);
        // A refusal always says why; an accepted file has records and, if a size, a real one.
        if (!ok && error.empty()) std::abort();
        if (ok && (facts.records == 0 || facts.width < 0 || facts.height < 0)) std::abort();
        if ((ok || unchecked) && libraries) {
            QByteArray svg;
            QString why;
            QImage picture;
            if (MetafileToSvg(kind, bytes, svg, why, true)) SvgToImage(svg, picture, why);
            if (!picture.isNull() &&
                (picture.width() > MaxMetafilePixels || picture.height() > MaxMetafilePixels))
                std::abort();
        }
    }
    // The same bytes as the reader's reply: a picture must be exactly what it encodes to.
    QImage image;
    QString error;
    if (DecodeMetafileReply(bytes, image, error)) {
        if (EncodeMetafileImage(image) != bytes) std::abort();
    } else if (error.isEmpty() || !image.isNull()) {
        std::abort();
    }
    return 0;
}
