#include "persist/qt/QtSettingsStore.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace skelda {

namespace {

QString Key(const std::string& name) {
    return QString::fromStdString(name);
}

// Whether a stored value is a single text or number, as opposed to a list or a map (an
// INI value with a comma reads as a list).
bool Scalar(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: return true;
        default: return false;
    }
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(std::make_unique<QSettings>("Brelt", "Skelda")) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

bool QtSettingsStore::Exists(const std::string& name) {
    return settings_->contains(Key(name));
}

std::optional<uint32_t> QtSettingsStore::ReadNumber(const std::string& name) {
    const QVariant v = settings_->value(Key(name));
    if (!Scalar(v)) return std::nullopt;
    // Numbers are written unsigned; a signed 32-bit text (a hand-written -1) is taken too.
    const QString text = v.toString().trimmed();
    bool ok = false;
    const qulonglong u = text.toULongLong(&ok);
    if (ok && u <= 0xFFFFFFFFull) return static_cast<uint32_t>(u);
    const qlonglong s = text.toLongLong(&ok);
    if (ok && s >= INT32_MIN && s < 0) return static_cast<uint32_t>(static_cast<int32_t>(s));
    return std::nullopt;
}

std::optional<std::string> QtSettingsStore::ReadText(const std::string& name, size_t bufferSize) {
    const QVariant v = settings_->value(Key(name));
    if (!Scalar(v) || bufferSize == 0) return std::nullopt;
    std::string s = v.toString().toStdString();
    // Cut to the buffer without splitting a UTF-8 sequence.
    if (s.size() > bufferSize - 1) {
        size_t cut = bufferSize - 1;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
        s.resize(cut);
    }
    return s;
}

std::optional<std::string> QtSettingsStore::ReadBytes(const std::string& name) {
    const QVariant v = settings_->value(Key(name));
    if (v.typeId() != QMetaType::QByteArray && v.typeId() != QMetaType::QString)
        return std::nullopt;
    const QByteArray b = v.toByteArray();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void QtSettingsStore::WriteNumber(const std::string& name, uint32_t value) {
    settings_->setValue(Key(name), static_cast<uint>(value));
    settings_->sync();
}

void QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
    settings_->setValue(Key(name), QString::fromStdString(value));
    settings_->sync();
}

void QtSettingsStore::WriteBytes(const std::string& name, const std::string& value) {
    settings_->setValue(Key(name), QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    settings_->sync();
}

void QtSettingsStore::Delete(const std::string& name) {
    settings_->remove(Key(name));
    settings_->sync();
}

}  // namespace skelda
