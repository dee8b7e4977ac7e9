#include "tools/metafile/MetafileRender.h"

#include <emf2svg.h>
extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/metafile/MetafileReply.h"

namespace skelda {

namespace {

// libwmf takes its memory from here, so a file that asks for too much gets the library's
// own "out of memory" rather than the process's end.
constexpr size_t WmfMemoryBudget = 256u * 1024 * 1024;

struct WmfMemory {
    size_t used = 0;
};

void* WmfAlloc(void* context, size_t size) {
    auto* m = static_cast<WmfMemory*>(context);
    if (size > WmfMemoryBudget - m->used) return nullptr;
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
    if (!block) return nullptr;
    m->used += size;
    *block = size;
    return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}

void WmfFree(void* context, void* mem) {
    if (!mem) return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(mem) - sizeof(max_align_t));
    static_cast<WmfMemory*>(context)->used -= *block;
    std::free(block);
}

void* WmfRealloc(void* context, void* mem, size_t size) {
    if (!mem) return WmfAlloc(context, size);
    if (size == 0) {
        WmfFree(context, mem);
        return nullptr;
    }
    const size_t old = *reinterpret_cast<size_t*>(static_cast<char*>(mem) - sizeof(max_align_t));
    void* fresh = WmfAlloc(context, size);
    if (!fresh) return nullptr;
    std::memcpy(fresh, mem, std::min(old, size));
    WmfFree(context, mem);
    return fresh;
}

QString WmfErrorText(wmf_error_t e) {
    switch (e) {
        case wmf_E_InsMem: return QStringLiteral("libwmf ran out of memory");
        case wmf_E_BadFile: return QStringLiteral("libwmf cannot read the file");
        case wmf_E_BadFormat: return QStringLiteral("libwmf finds the metafile corrupted");
        case wmf_E_EOF: return QStringLiteral("libwmf met an unexpected end of file");
        case wmf_E_DeviceError: return QStringLiteral("libwmf's drawing layer failed");
        default: return QStringLiteral("libwmf failed (error %1)").arg(int(e));
    }
}

bool WmfToSvg(const QByteArray& bytes, QByteArray& svg, QString& error, bool quiet) {
    WmfMemory memory;
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    options.context = &memory;
    options.malloc = WmfAlloc;
    options.realloc = WmfRealloc;
    options.free = WmfFree;
    unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_ALLOC | WMF_OPT_IGNORE_NONFATAL;
    if (quiet) flags |= WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    wmf_error_t e = wmf_api_create(&api, flags, &options);
    if (e != wmf_E_None) {
        if (api) wmf_api_destroy(api);
        error = WmfErrorText(e);
        return false;
    }
    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = nullptr;
    // libwmf keeps the pointer and reads from it while it plays; the bytes outlive it.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData()));
    e = wmf_mem_open(api, data, static_cast<long>(bytes.size()));
    wmfD_Rect box{};
    unsigned int width = 0, height = 0;
    if (e == wmf_E_None) e = wmf_scan(api, 0, &box);
    if (e == wmf_E_None) e = wmf_display_size(api, &width, &height, 96, 96);
    if (e == wmf_E_None && (width == 0 || height == 0)) {
        wmf_api_destroy(api);
        error = QStringLiteral("the metafile has no picture size");
        return false;
    }
    if (e == wmf_E_None) {
        device->out = wmf_stream_create(api, nullptr);
        device->bbox = box;
        device->width = width;
        device->height = height;
        if (!device->out) e = wmf_E_InsMem;
    }
    if (e == wmf_E_None) e = wmf_play(api, 0, &box);
    char* text = nullptr;
    unsigned long length = 0;
    if (device->out) wmf_stream_destroy(api, device->out, &text, &length);
    if (e == wmf_E_None && text && length > 0 && length <= size_t(MaxSvgBytes))
        svg = QByteArray(text, static_cast<qsizetype>(length));
    else if (e == wmf_E_None)
        e = length > size_t(MaxSvgBytes) ? wmf_E_InsMem : wmf_E_BadFormat;
    // The stream's memory belongs to the API and goes with it.
    wmf_mem_close(api);
    wmf_api_destroy(api);
    if (e != wmf_E_None) {
        error = WmfErrorText(e);
        return false;
    }
    return true;
}

bool EmfToSvg(const QByteArray& bytes, QByteArray& svg, QString& error) {
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("svg");
    options.svgDelimiter = true;
    options.emfplus = false;
    char* out = nullptr;
    size_t length = 0;
    QByteArray copy = bytes;  // libemf2svg takes a writable buffer
    const int ok = emf2svg(copy.data(), static_cast<size_t>(copy.size()), &out, &length, &options);
    if (ok != 1 || !out || length == 0 || length > size_t(MaxSvgBytes)) {
        std::free(out);
        error = QStringLiteral("libemf2svg cannot convert the metafile");
        return false;
    }
    svg = QByteArray(out, static_cast<qsizetype>(length));
    std::free(out);
    return true;
}

}  // namespace

QSize RasterSize(QSizeF document) {
    double w = document.width(), h = document.height();
    if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) return QSize();
    const double longer = std::max(w, h);
    double scale = 1;
    if (longer < 1024) scale = 1024 / longer;
    if (longer * scale > MaxMetafilePixels) scale = MaxMetafilePixels / longer;
    const auto side = [&](double v) {
        return int(std::clamp(std::lround(v * scale), 1l, long(MaxMetafilePixels)));
    };
    return QSize(side(w), side(h));
}

bool MetafileToSvg(MetafileKind kind, const QByteArray& bytes, QByteArray& svg, QString& error,
                   bool quiet) {
    svg.clear();
    return kind == MetafileKind::Emf ? EmfToSvg(bytes, svg, error)
                                     : WmfToSvg(bytes, svg, error, quiet);
}

bool SvgToImage(const QByteArray& svg, QImage& picture, QString& error) {
    QSvgRenderer renderer;
    if (!renderer.load(svg) || !renderer.isValid()) {
        error = QStringLiteral("the drawing made from the metafile is not valid");
        return false;
    }
    const QSize size = RasterSize(renderer.viewBoxF().size());
    if (size.isEmpty()) {
        error = QStringLiteral("the metafile has no picture size");
        return false;
    }
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull()) {
        error = QStringLiteral("there is not enough memory for the picture");
        return false;
    }
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    picture = out;
    return true;
}

bool RenderMetafile(MetafileKind kind, const QByteArray& bytes, QImage& picture, QString& error) {
    MetafileFacts facts;
    std::string why;
    if (!CheckMetafile(kind, reinterpret_cast<const uint8_t*>(bytes.constData()),
                       static_cast<size_t>(bytes.size()), facts, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    QByteArray svg;
    return MetafileToSvg(kind, bytes, svg, error) && SvgToImage(svg, picture, error);
}

}  // namespace skelda
