#include "persist/qt/QtSettingsStore.h"

#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cctype>
#include <map>
#include <vector>

#include "persist/platform/GameFiles.h"

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

// An INI file as lines, each with the section it is in and, for a value line, its key
// and value as written (the key and value without the blanks around them). Sections as
// QSettings reads them: up to the first "]", and the values before any section and those
// of "[General]" (in any case) are one section, called "General" here.
struct IniLine {
    std::string text, section, key, value;
    bool isValue = false;
};

std::string Trim(const std::string& t) {
    const size_t a = t.find_first_not_of(" \t");
    if (a == std::string::npos) return std::string();
    return t.substr(a, t.find_last_not_of(" \t") - a + 1);
}

std::vector<IniLine> IniLines(const std::string& text) {
    std::vector<IniLine> lines;
    std::string section = "General";
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        IniLine l;
        l.text = text.substr(at, end - at);
        // A CR LF pair ends one line; the CR stays with the line's text.
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            l.text += '\r';
            ++end;
        }
        at = end + 1;
        const std::string t =
            Trim(!l.text.empty() && l.text.back() == '\r' ? l.text.substr(0, l.text.size() - 1)
                                                          : l.text);
        if (!t.empty() && t.front() == '[') {
            const size_t close = t.find(']');
            section = t.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            std::string lower = section;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "general") section = "General";
        } else if (const size_t eq = t.find('=');
                   !t.empty() && t[0] != ';' && t[0] != '#' && eq != std::string::npos) {
            l.isValue = true;
            l.key = Trim(t.substr(0, eq));
            l.value = Trim(t.substr(eq + 1));
        }
        l.section = section;
        lines.push_back(std::move(l));
    }
    return lines;
}

// Whether QSettings reads `name` from the INI text `text` as `settings` holds it now: the
// text is put in a file of its own beside `file` (a new name each time, since QSettings
// keeps the files it has read) and read there. On success the checked file is renamed
// over `file`.
bool ReplaceIfSame(const std::string& file, const std::string& text, QSettings& settings,
                   const QString& name) {
    static unsigned counter = 0;
    const std::string check =
        file + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".check";
    std::string error;
    if (!WriteGameFile(check, text, error)) return false;
    bool same = false;
    {
        QSettings read(QString::fromStdString(check), QSettings::IniFormat);
        same = read.status() == QSettings::NoError &&
               read.contains(name) == settings.contains(name) &&
               read.value(name) == settings.value(name);
    }
    if (same && RenameGameFile(check, file)) return true;
    RemoveGameFile(check);
    return false;
}

constexpr size_t MaxSettingsFile = 1024 * 1024;

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
    Change(name, [&] { settings_->setValue(Key(name), static_cast<uint>(value)); });
}

void QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
    Change(name, [&] { settings_->setValue(Key(name), QString::fromStdString(value)); });
}

void QtSettingsStore::WriteBytes(const std::string& name, const std::string& value) {
    Change(name, [&] {
        settings_->setValue(Key(name),
                            QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    });
}

void QtSettingsStore::Delete(const std::string& name) {
    Change(name, [&] { settings_->remove(Key(name)); });
}

// QSettings writes the whole file back: it turns every value it cannot read (a damaged
// "@Variant(...)") into "@Invalid()", re-encodes the rest and drops comments. So QSettings
// only encodes the one value written; the file keeps every other line as it was.
void QtSettingsStore::Change(const std::string& name, const std::function<void()>& change) {
    const std::string file = settings_->fileName().toStdString();
    std::string error;
    const bool iniFile = settings_->format() == QSettings::IniFormat ||
                         (file.size() > 5 && file.compare(file.size() - 5, 5, ".conf") == 0);
    const std::optional<std::string> before =
        iniFile ? ReadGameFile(file, error, MaxSettingsFile) : std::nullopt;
    change();
    settings_->sync();
    if (!before) return;
    const std::optional<std::string> after = ReadGameFile(file, error, MaxSettingsFile);
    if (!after) return;

    // The value's line as QSettings wrote it; none after a delete.
    const std::string general = "General";
    std::optional<std::string> written;
    for (const IniLine& l : IniLines(*after))
        if (l.isValue && l.section == general && l.key == name) written = l.text;
    if (!written && settings_->contains(Key(name))) return;  // a key QSettings spells otherwise

    std::vector<IniLine> lines = IniLines(*before);
    std::string text;
    bool placed = false, sawGeneral = false;
    size_t endOfGeneral = std::string::npos;  // where a new value of [General] goes
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine& l = lines[i];
        if (l.section == general) sawGeneral = true;
        if (l.isValue && l.section == general && l.key == name) {
            if (written && !placed) text += *written + "\n";
            placed = true;
            continue;
        }
        if (l.section == general && !l.text.empty() &&
            l.text.find_first_not_of(" \t\r") != std::string::npos)
            endOfGeneral = text.size() + l.text.size() + 1;
        if (i + 1 < lines.size() || (!before->empty() && before->back() == '\n'))
            text += l.text + "\n";
        else
            text += l.text;
    }
    if (written && !placed) {
        if (!sawGeneral) {
            text = "[General]\n" + *written + "\n" + (text.empty() ? "" : "\n") + text;
        } else {
            if (endOfGeneral > text.size()) {
                if (!text.empty() && text.back() != '\n') text += '\n';
                endOfGeneral = text.size();
            }
            text.insert(endOfGeneral, *written + "\n");
        }
    }
    // Where the file holds what this reading of it does not foresee, QSettings' own
    // version stands.
    if (text != *after && ReplaceIfSame(file, text, *settings_, Key(name))) settings_->sync();
}

}  // namespace skelda
