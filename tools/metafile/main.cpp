// skelda-metafile --emf|--wmf: reads a metafile on standard input and writes the picture
// it draws, or the reason it cannot, on standard output (MetafileReply.h). The game runs
// it as a child with a time and a memory limit, since the libraries it uses are not safe
// against damaged files; whatever goes wrong here stays here.
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "tools/metafile/MetafileRender.h"
#include "tools/metafile/MetafileReply.h"

namespace {

int replyFd = -1;

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Out of memory: the game names it from the exit status.
[[noreturn]] void OutOfMemory() {
    _exit(skelda::MetafileOutOfMemory);
}

// The last line the libraries wrote after `from`, to go with their failure.
QString LibraryMessage(int capture, off_t from) {
    if (capture < 0) return {};
    std::fflush(stdout);
    std::fflush(stderr);
    const off_t size = lseek(capture, 0, SEEK_END);
    if (size <= from) return {};
    const off_t start = std::max(from, size - 512);
    char text[512] = {};
    const ssize_t n = pread(capture, text, sizeof text, start);
    if (n <= 0) return {};
    const QString s = QString::fromUtf8(text, static_cast<qsizetype>(n)).trimmed();
    const qsizetype line = s.lastIndexOf(QLatin1Char('\n'));
    return line >= 0 ? s.mid(line + 1).trimmed() : s;
}

int Reply(const QByteArray& reply) {
    return WriteAll(replyFd, reply.constData(), static_cast<size_t>(reply.size())) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::set_new_handler(OutOfMemory);
    const std::string mode = argc == 2 ? argv[1] : "";
    if (mode != "--emf" && mode != "--wmf") {
        std::fprintf(stderr, "usage: skelda-metafile --emf|--wmf < FILE\n");
        return 2;
    }
    // The reply goes out on a copy of standard output; whatever the libraries print lands
    // in a scratch file instead, so it can neither spoil the reply nor block on a pipe.
    replyFd = dup(STDOUT_FILENO);
    FILE* scratch = std::tmpfile();
    const int capture = scratch ? fileno(scratch) : -1;
    if (capture >= 0) {
        dup2(capture, STDOUT_FILENO);
        dup2(capture, STDERR_FILENO);
    }

    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0) return Reply(skelda::EncodeMetafileError(QStringLiteral("cannot read input")));
        if (n == 0) break;
        bytes.append(buffer, n);
        if (bytes.size() > qsizetype(skelda::MaxMetafileBytes))
            return Reply(skelda::EncodeMetafileError(QStringLiteral("the file is too large")));
    }

    // Text is drawn with the system's fonts, which need an application object; no
    // display is needed or wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    // The same steps as RenderMetafile, so the libraries' own words can go with a failure.
    const auto kind = mode == "--emf" ? skelda::MetafileKind::Emf : skelda::MetafileKind::Wmf;
    skelda::MetafileFacts facts;
    std::string why;
    if (!skelda::CheckMetafile(kind, reinterpret_cast<const uint8_t*>(bytes.constData()),
                               static_cast<size_t>(bytes.size()), facts, why))
        return Reply(skelda::EncodeMetafileError(QString::fromStdString(why)));
    const off_t before = capture >= 0 ? lseek(capture, 0, SEEK_END) : 0;
    QByteArray svg;
    QString error;
    if (!skelda::MetafileToSvg(kind, bytes, svg, error)) {
        const QString said = LibraryMessage(capture, before);
        if (!said.isEmpty() && said.size() < 300) error += QStringLiteral(" (%1)").arg(said);
        return Reply(skelda::EncodeMetafileError(error));
    }
    QImage picture;
    if (!skelda::SvgToImage(svg, picture, error)) return Reply(skelda::EncodeMetafileError(error));
    return Reply(skelda::EncodeMetafileImage(picture));
}
