#include "table/MetafileReader.h"

#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>

#include "tools/metafile/MetafileReply.h"

namespace skelda {

namespace {

QString& ProgramOverride() {
    static QString path;
    return path;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
void LimitChild() {
    const rlim_t memory = static_cast<rlim_t>(MetafileMemoryLimit);
    const rlimit as{memory, memory};
    setrlimit(RLIMIT_AS, &as);
    // Processor time is a second line behind the parent's clock, should the parent die.
    const rlim_t seconds = MetafileTimeLimitMs / 1000 + 2;
    const rlimit cpu{seconds, seconds};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

}  // namespace

void SetMetafileReaderProgram(const QString& path) {
    ProgramOverride() = path;
}

QString MetafileReaderProgram() {
    if (!ProgramOverride().isEmpty()) return ProgramOverride();
    const QString beside = QCoreApplication::applicationDirPath() + "/skelda-metafile";
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString installed = QStringLiteral(SKELDA_METAFILE_READER_INSTALLED);
    if (QFileInfo(installed).isExecutable()) return installed;
    return {};
}

bool ReadMetafile(MetafileKind kind, const QByteArray& bytes, QImage& picture, QString& reason) {
    const QString program = MetafileReaderProgram();
    if (program.isEmpty()) {
        reason = QStringLiteral("the metafile reader (skelda-metafile) is not installed");
        return false;
    }
    QProcess child;
    child.setProgram(program);
    child.setArguments(
        {kind == MetafileKind::Emf ? QStringLiteral("--emf") : QStringLiteral("--wmf")});
    child.setStandardErrorFile(QProcess::nullDevice());
    child.setChildProcessModifier(LimitChild);
    QElapsedTimer clock;
    clock.start();
    child.start();
    if (!child.waitForStarted(MetafileTimeLimitMs)) {
        reason =
            QStringLiteral("the metafile reader cannot be started (%1)").arg(child.errorString());
        return false;
    }
    child.write(bytes);
    child.closeWriteChannel();

    // Blocking, but never past the time limit: a reader that hangs or floods is stopped.
    QByteArray reply;
    bool late = false, flood = false;
    while (child.state() != QProcess::NotRunning) {
        const qint64 left = MetafileTimeLimitMs - clock.elapsed();
        if (left <= 0) {
            late = true;
            break;
        }
        child.waitForReadyRead(static_cast<int>(left));
        reply += child.readAllStandardOutput();
        if (reply.size() > MaxMetafileReply) {
            flood = true;
            break;
        }
    }
    if (late || flood) {
        child.kill();
        child.waitForFinished(1000);
        reason = late ? QStringLiteral("reading it took longer than %1 seconds")
                            .arg(MetafileTimeLimitMs / 1000)
                      : QStringLiteral("the metafile reader gave too much output");
        return false;
    }
    reply += child.readAllStandardOutput();
    if (reply.size() > MaxMetafileReply) {
        reason = QStringLiteral("the metafile reader gave too much output");
        return false;
    }
    if (child.exitStatus() == QProcess::CrashExit) {
        reason = QStringLiteral("the metafile reader crashed (signal %1)").arg(child.exitCode());
        return false;
    }
    if (child.exitCode() == MetafileOutOfMemory) {
        reason = QStringLiteral("reading it needs more than %1 MiB of memory")
                     .arg(MetafileMemoryLimit >> 20);
        return false;
    }
    if (child.exitCode() != 0) {
        reason =
            QStringLiteral("the metafile reader failed (exit status %1)").arg(child.exitCode());
        return false;
    }
    QImage image;
    if (!DecodeMetafileReply(reply, image, reason)) return false;
    picture = image;
    return true;
}

}  // namespace skelda
