#include "windows/Rtf.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdint>

namespace skelda {

namespace {

// Screen pixels per twip at 96 dots per inch; RTF measures indents in twips.
constexpr int TwipsPerPixel = 15;
constexpr int MaxColours = 256;

// Windows-1252 for the bytes 0x80 to 0x9F; the other bytes are Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QChar FromCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return QChar(Cp1252High[byte - 0x80]);
    return QChar(byte);
}

enum class Destination { Text, Skip, ColourTable };

// What a group carries and restores when it closes.
struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;  // 0: the document's size
    int colour = 0;      // index into the colour table; 0 is the default colour
    int unicodeSkip = 1;
    int leftIndent = 0;  // twips
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
};

class Reader {
public:
    Reader(const QByteArray& rtf, QTextDocument& document)
        : in_(rtf), document_(document), cursor_(&document) {}

    void Run() {
        document_.clear();
        cursor_ = QTextCursor(&document_);
        colours_.append(QColor());  // \cf0 and entries left empty
        while (pos_ < in_.size() && !finished_) Step();
        Flush();
        cursor_.setBlockFormat(BlockFormat());
    }

private:
    void Step() {
        const char c = in_[pos_];
        if (overflow_ > 0 && c != '{' && c != '}') {
            pos_ += c == '\\' ? 2 : 1;  // an escaped brace counts no group
            return;
        }
        if (c == '{') {
            ++pos_;
            if (stack_.size() >= RtfMaxDepth || overflow_ > 0) {
                ++overflow_;
                return;
            }
            stack_.append(state_);
            if (state_.destination == Destination::ColourTable) {
                state_.destination = Destination::Skip;
            }
            groupStart_ = true;
            return;
        }
        if (c == '}') {
            ++pos_;
            groupStart_ = false;
            if (overflow_ > 0) {
                --overflow_;
                return;
            }
            if (stack_.isEmpty()) {
                finished_ = true;  // the document's own group has closed
                return;
            }
            Flush();
            state_ = stack_.takeLast();
            return;
        }
        if (c == '\\') {
            ControlSymbolOrWord();
            groupStart_ = false;
            return;
        }
        ++pos_;
        groupStart_ = false;
        if (c == '\r' || c == '\n') return;  // line breaks of the file carry nothing
        if (state_.destination == Destination::ColourTable) {
            if (c == ';') EndColour();
            return;
        }
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return;
        AddChar(FromCp1252(static_cast<unsigned char>(c)));
    }

    void ControlSymbolOrWord() {
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            Symbol(c);
            return;
        }
        QByteArray word;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            if (word.size() < 32) word += in_[pos_];
            ++pos_;
        }
        bool hasParam = false;
        bool negative = false;
        int64_t param = 0;
        if (pos_ < in_.size() && in_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
            if (digits < 10) param = param * 10 + (in_[pos_] - '0');
            ++digits;
            hasParam = true;
            ++pos_;
        }
        if (negative) param = -param;
        param = std::clamp<int64_t>(param, -1'000'000'000, 1'000'000'000);
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
        Word(word, hasParam, static_cast<int>(param));
    }

    void Symbol(char c) {
        if (c == '*') {  // an ignorable destination: skipped whole
            state_.destination = Destination::Skip;
            return;
        }
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            for (; digits < 2; ++digits) {
                const int d = pos_ < in_.size() ? HexDigit(in_[pos_]) : -1;
                if (d < 0) break;
                value = value * 16 + d;
                ++pos_;
            }
            if (digits > 0) Text(FromCp1252(static_cast<unsigned char>(value)));
            return;
        }
        if (c == '\\' || c == '{' || c == '}')
            Text(QChar(c));
        else if (c == '~')
            Text(QChar(0x00A0));
        else if (c == '_')
            Text(QChar(0x2011));
        else if (c == '\r' || c == '\n')
            Paragraph();  // "\" at the end of a line is \par
    }

    void Word(const QByteArray& w, bool hasParam, int p) {
        const bool on = !hasParam || p != 0;
        if (state_.destination == Destination::ColourTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red")
                pendingColour_.setRed(v);
            else if (w == "green")
                pendingColour_.setGreen(v);
            else if (w == "blue")
                pendingColour_.setBlue(v);
            colourSet_ = true;
            return;
        }
        if (groupStart_ && IsSkippedDestination(w)) {
            state_.destination = Destination::Skip;
            return;
        }
        if (w == "colortbl" && groupStart_) {
            state_.destination = Destination::ColourTable;
            colours_.clear();  // the first entry, usually empty, is \cf0
            return;
        }
        if (state_.destination != Destination::Text) return;

        if (w == "par")
            Paragraph();
        else if (w == "line")
            Text(QChar::LineSeparator);
        else if (w == "tab")
            Text(QChar('\t'));
        else if (w == "bullet")
            Text(QChar(0x2022));
        else if (w == "emdash")
            Text(QChar(0x2014));
        else if (w == "endash")
            Text(QChar(0x2013));
        else if (w == "lquote")
            Text(QChar(0x2018));
        else if (w == "rquote")
            Text(QChar(0x2019));
        else if (w == "ldblquote")
            Text(QChar(0x201C));
        else if (w == "rdblquote")
            Text(QChar(0x201D));
        else if (w == "u" && hasParam)
            Unicode(p);
        else if (w == "uc")
            state_.unicodeSkip = std::clamp(p, 0, 8);
        else if (w == "b")
            Set(state_.bold, on);
        else if (w == "i")
            Set(state_.italic, on);
        else if (w == "ul")
            Set(state_.underline, on);
        else if (w == "ulnone")
            Set(state_.underline, false);
        else if (w == "fs")
            SetInt(state_.halfPoints, hasParam ? std::clamp(p, 2, 800) : 24);
        else if (w == "cf")
            SetInt(state_.colour, std::max(p, 0));
        else if (w == "plain")
            PlainCharacters();
        else if (w == "pard")
            PlainParagraph();
        else if (w == "li")
            state_.leftIndent = std::clamp(p, -30000, 30000);
        else if (w == "fi")
            state_.firstIndent = std::clamp(p, -30000, 30000);
        else if (w == "sb")
            state_.spaceBefore = std::clamp(p, 0, 30000);
        else if (w == "sa")
            state_.spaceAfter = std::clamp(p, 0, 30000);
        // Every other word (fonts, languages, page layout...) changes nothing here.
    }

    static bool IsSkippedDestination(const QByteArray& w) {
        static const char* const names[] = {
            "fonttbl",   "stylesheet",        "info",    "pict",   "header",   "footer", "object",
            "listtable", "listoverridetable", "filetbl", "revtbl", "generator"};
        for (const char* n : names) {
            if (w == n) return true;
        }
        return false;
    }

    void Unicode(int p) {
        // Values above 32767 are written negative; a lone surrogate stays as it came.
        const int code = p < 0 ? p + 65536 : p;
        if (code >= 0 && code <= 0xFFFF) Text(QChar(static_cast<char16_t>(code)));
        skipCount_ = state_.unicodeSkip;
    }

    void Text(QChar ch) {
        if (state_.destination != Destination::Text) return;
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        AddChar(ch);
    }

    void AddChar(QChar ch) {
        if (state_.destination != Destination::Text) return;
        if (ch.unicode() < 0x20 && ch != QLatin1Char('\t')) return;  // control bytes show nothing
        pending_ += ch;
    }

    void Set(bool& field, bool value) {
        if (field == value) return;
        Flush();
        field = value;
    }
    void SetInt(int& field, int value) {
        if (field == value) return;
        Flush();
        field = value;
    }

    void PlainCharacters() {
        Flush();
        state_.bold = state_.italic = state_.underline = false;
        state_.halfPoints = 0;
        state_.colour = 0;
    }
    void PlainParagraph() {
        state_.leftIndent = state_.firstIndent = 0;
        state_.spaceBefore = state_.spaceAfter = 0;
    }

    void EndColour() {
        if (colours_.size() < MaxColours) colours_.append(colourSet_ ? pendingColour_ : QColor());
        pendingColour_ = QColor(0, 0, 0);
        colourSet_ = false;
    }

    void Paragraph() {
        if (state_.destination != Destination::Text) return;
        Flush();
        cursor_.setBlockFormat(BlockFormat());
        cursor_.insertBlock();
        skipCount_ = 0;
    }

    QTextBlockFormat BlockFormat() const {
        QTextBlockFormat f;
        if (state_.leftIndent) f.setLeftMargin(state_.leftIndent / TwipsPerPixel);
        if (state_.firstIndent) f.setTextIndent(state_.firstIndent / TwipsPerPixel);
        if (state_.spaceBefore) f.setTopMargin(state_.spaceBefore / TwipsPerPixel);
        if (state_.spaceAfter) f.setBottomMargin(state_.spaceAfter / TwipsPerPixel);
        return f;
    }

    QTextCharFormat CharFormat() const {
        QTextCharFormat f;
        if (state_.bold) f.setFontWeight(QFont::Bold);
        if (state_.italic) f.setFontItalic(true);
        if (state_.underline) f.setFontUnderline(true);
        if (state_.halfPoints) f.setFontPointSize(state_.halfPoints / 2.0);
        if (state_.colour > 0 && state_.colour < colours_.size() &&
            colours_[state_.colour].isValid()) {
            f.setForeground(colours_[state_.colour]);
        }
        return f;
    }

    // Writes the text gathered under the current character format.
    void Flush() {
        if (pending_.isEmpty()) return;
        cursor_.insertText(pending_, CharFormat());
        pending_.clear();
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    const QByteArray& in_;
    QTextDocument& document_;
    QTextCursor cursor_;
    qsizetype pos_ = 0;
    GroupState state_;
    QList<GroupState> stack_;
    int overflow_ = 0;  // groups opened beyond the depth limit, not yet closed
    bool groupStart_ = false;
    bool finished_ = false;
    int skipCount_ = 0;  // stand-in characters still to drop after \u
    QString pending_;
    QList<QColor> colours_;
    QColor pendingColour_{0, 0, 0};
    bool colourSet_ = false;
};

bool StartsAsRtf(const QByteArray& rtf) {
    qsizetype i = 0;
    while (i < rtf.size() && (rtf[i] == ' ' || rtf[i] == '\r' || rtf[i] == '\n' || rtf[i] == '\t'))
        ++i;
    return rtf.mid(i, 5) == "{\\rtf";
}

void AppendEscaped(QByteArray& out, const QString& text) {
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x7F) {
            out += static_cast<char>(u);
        } else if (u >= 0x7F) {
            // Signed 16 bits, with "?" for readers that do not know \u.
            out += "\\u" + QByteArray::number(static_cast<int16_t>(u)) + '?';
        }
        // Other control characters carry nothing in a page.
    }
}

}  // namespace

bool ReadRtf(const QByteArray& rtf, QTextDocument& document) {
    if (!StartsAsRtf(rtf)) return false;
    Reader(rtf, document).Run();
    return true;
}

QByteArray WriteRtf(const QTextDocument& document) {
    // The colour table first: every text colour in the document, in order of appearance.
    QList<QColor> colours;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.hasProperty(QTextFormat::ForegroundBrush)) {
                const QColor c = f.foreground().color();
                if (!colours.contains(c)) colours.append(c);
            }
        }
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n";
    if (!colours.isEmpty()) {
        out += "{\\colortbl ;";
        for (const QColor& c : colours) {
            out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                   QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ';';
        }
        out += "}\n";
    }
    out += "\\uc1";
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b != document.begin()) out += "\\par\n";
        const QTextBlockFormat bf = b.blockFormat();
        out += "\\pard";
        auto twips = [](qreal px) { return QByteArray::number(qRound(px * TwipsPerPixel)); };
        if (bf.leftMargin() != 0) out += "\\li" + twips(bf.leftMargin());
        if (bf.textIndent() != 0) out += "\\fi" + twips(bf.textIndent());
        if (bf.topMargin() != 0) out += "\\sb" + twips(bf.topMargin());
        if (bf.bottomMargin() != 0) out += "\\sa" + twips(bf.bottomMargin());
        out += ' ';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            QByteArray words;
            if (f.fontWeight() >= QFont::Bold) words += "\\b";
            if (f.fontItalic()) words += "\\i";
            if (f.fontUnderline()) words += "\\ul";
            if (f.fontPointSize() > 0)
                words += "\\fs" + QByteArray::number(qRound(f.fontPointSize() * 2));
            if (f.hasProperty(QTextFormat::ForegroundBrush)) {
                words += "\\cf" + QByteArray::number(colours.indexOf(f.foreground().color()) + 1);
            }
            if (words.isEmpty()) {
                AppendEscaped(out, fragment.text());
            } else {
                out += '{' + words + ' ';
                AppendEscaped(out, fragment.text());
                out += '}';
            }
        }
    }
    out += "\n}\n";
    return out;
}

}  // namespace skelda
