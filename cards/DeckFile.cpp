#include "cards/DeckFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cards/DibImage.h"
#include "cards/SystemErrors.h"

namespace skelda {

QString PlatformErrorText(uint32_t code) {
    return QString::fromStdString(SystemErrorText(code));
}

QString SystemErrorMessage(uint32_t code, const QString& path) {
    return QStringLiteral("Error %1: %2")
        .arg(code)
        .arg(QString::fromStdString(SystemErrorText(code, path.toStdString())));
}

std::shared_ptr<const DeckFile> DeckFile::Open(const QString& path, QString& error) {
    const QString full = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    std::vector<uint8_t> bytes;
    uint32_t code = pe::ReadModuleFile(QFile::encodeName(full).toStdString(), bytes);
    auto deck = std::make_shared<DeckFile>();
    if (code == ErrorSuccess) code = deck->module_.Parse(std::move(bytes));
    if (code != ErrorSuccess) {
        error = SystemErrorMessage(code, QDir::toNativeSeparators(full.isEmpty() ? path : full));
        return nullptr;
    }
    deck->path_ = full;
    return deck;
}

QImage DeckFile::Image(const QString& name, QString& error) const {
    std::span<const uint8_t> data;
    const uint32_t code = module_.BitmapData(name.toStdU16String(), data);
    if (code != ErrorSuccess) {
        error = PlatformErrorText(code);
        return {};
    }
    const QImage image = DecodeDib(data);
    if (image.isNull()) error = PlatformErrorText(ErrorInvalidData);
    return image;
}

QImage DeckFile::Decode(const pe::BitmapResource& resource, QString& error, QString* detail) const {
    if (!resource.hasData) {
        error = PlatformErrorText(ErrorResourceLangNotFound);
        return {};
    }
    const QImage image = DecodeDib(module_.Data(resource), detail);
    if (image.isNull()) error = PlatformErrorText(ErrorInvalidData);
    return image;
}

CardSourcePtr OpenDeckFile(const QString& path, QString& error) {
    return DeckFile::Open(path, error);
}

}  // namespace skelda
