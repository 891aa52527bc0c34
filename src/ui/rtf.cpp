#include "ui/rtf.h"

#include <QColor>
#include <QFont>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace vanto::rtf {

namespace {

// Bytes 0x80..0x9F of Windows-1252; 0 where the code page has no character.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr int DefaultCodePage = 1252;
constexpr int DefaultHalfPoints = 24;  // 12 pt, RTF's own default
// Deeper groups than this share their parent's state instead of growing the
// stack without bound on hostile input.
constexpr std::size_t MaxGroupDepth = 2000;
// Paragraph distances: RTF counts twips, QTextDocument pixels of 1/96 inch.
constexpr double TwipsPerPixel = 15.0;
constexpr int MaxTwips = 31680;  // 22 inches, wider than any page

// ---------------------------------------------------------------------------
// Reading

// Code page of a font's \fcharsetN (0 means "the document's").
int codePageOfCharset(int charset) {
    switch (charset) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 437;
        default:
            return 0;
    }
}

// Turns runs of code-page bytes into text, Windows-1252 by hand and any other
// code page through Qt's converters when it has one (else as Windows-1252).
class ByteDecoder {
  public:
    QString decode(const QByteArray& bytes, int codePage) {
        if (codePage != DefaultCodePage) {
            if (QStringDecoder* d = decoderFor(codePage)) return d->decode(bytes);
        }
        QString out;
        out.reserve(bytes.size());
        for (char c : bytes)
            out += fromWindows1252(static_cast<unsigned char>(c));
        return out;
    }

  private:
    QStringDecoder* decoderFor(int codePage) {
        auto it = decoders_.find(codePage);
        if (it == decoders_.end()) {
            std::unique_ptr<QStringDecoder> d;
            for (const QByteArray& name :
                 {"windows-" + QByteArray::number(codePage), "CP" + QByteArray::number(codePage),
                  codePage == 10000 ? QByteArray("macintosh") : QByteArray()}) {
                if (name.isEmpty()) continue;
                d = std::make_unique<QStringDecoder>(name.constData());
                if (d->isValid()) break;
                d.reset();
            }
            it = decoders_.emplace(codePage, std::move(d)).first;
        }
        if (!it->second) return nullptr;
        it->second->resetState();
        return it->second.get();
    }

    std::map<int, std::unique_ptr<QStringDecoder>> decoders_;
};

// Control characters and embedded-object marks carry no text of their own.
bool isText(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 && u != 0x7F && u != QChar::ObjectReplacementCharacter &&
           u != QChar::ParagraphSeparator;
}

enum class Destination { Text, FontTable, ColourTable, Skip };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int font = -1;  // number in the font table; -1 before any \f
    int halfPoints = DefaultHalfPoints;
    int colour = 0;  // index in the colour table; 0 is the default colour

    bool operator==(const CharState&) const = default;
};

// Paragraph formatting; distances in twips (1/1440 inch).
struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;   // \li
    int firstIndent = 0;  // \fi, relative to the left indent
    int spaceBefore = 0;  // \sb
    int spaceAfter = 0;   // \sa
};

struct GroupState {
    CharState ch;
    ParagraphState para;
    int skipAfterUnicode = 1;  // \ucN
    Destination destination = Destination::Text;
};

struct FontEntry {
    QString name;
    int codePage = 0;  // 0: the document's
};

class Reader {
  public:
    Reader(const QByteArray& bytes, QTextDocument& document)
        : in_(bytes), document_(document), cursor_(&document) {}

    void run();

  private:
    // Input
    bool atEnd() const { return pos_ >= in_.size(); }
    unsigned char peek() const { return static_cast<unsigned char>(in_[pos_]); }

    void openGroup();
    void closeGroup();
    void controlWord(const QByteArray& word, bool hasParam, int param);
    void controlSymbol(unsigned char c);
    void hexByte(unsigned char b);
    void plainByte(unsigned char b);

    // Output
    GroupState& state() { return stack_.back(); }
    bool skippingText() const {
        const GroupState& s = stack_.back();
        return s.destination == Destination::Skip || s.ch.hidden;
    }
    // Eats one character of a \uN fallback; true when it was eaten.
    bool eatFallback() {
        if (pendingSkip_ <= 0) return false;
        --pendingSkip_;
        return true;
    }
    int codePage() const;
    void textBytes(unsigned char b);
    void textChars(const QString& s);
    void unicodeUnit(char16_t u);
    void flushBytes();
    void flushText();
    void paragraph();
    void finish();
    QTextCharFormat charFormat(const CharState& ch) const;

    // Tables
    void finishFontEntry();
    void finishColourEntry();

    const QByteArray& in_;
    qsizetype pos_ = 0;
    QTextDocument& document_;
    QTextCursor cursor_;

    std::vector<GroupState> stack_;
    std::optional<GroupState> finalState_;
    std::size_t excessDepth_ = 0;  // groups opened beyond MaxGroupDepth
    bool starred_ = false;         // the last control was \*
    int pendingSkip_ = 0;          // fallback characters still to eat after \uN

    int documentCodePage_ = DefaultCodePage;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    int fontEntryNumber_ = -1;
    FontEntry fontEntry_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourGiven_ = false;

    QByteArray bytes_;  // code-page bytes not yet decoded
    int bytesCodePage_ = DefaultCodePage;
    QString text_;  // decoded text not yet inserted, all in textState_
    CharState textState_;
    char16_t highSurrogate_ = 0;
    bool blockHasText_ = false;

    ByteDecoder decoder_;
};

void Reader::run() {
    document_.clear();
    cursor_ = QTextCursor(&document_);
    GroupState root;
    stack_.push_back(root);  // outside the document's own group
    bool started = false;

    while (!atEnd()) {
        const unsigned char c = peek();
        if (c == '{') {
            ++pos_;
            openGroup();
            started = true;
        } else if (c == '}') {
            ++pos_;
            closeGroup();
            // The document's group has closed: whatever follows is not part of it.
            if (started && stack_.size() == 1 && excessDepth_ == 0) break;
        } else if (c == '\\') {
            ++pos_;
            if (atEnd()) break;
            const unsigned char n = peek();
            if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z')) {
                const qsizetype start = pos_;
                while (!atEnd() && pos_ - start < 32 &&
                       ((peek() >= 'a' && peek() <= 'z') || (peek() >= 'A' && peek() <= 'Z')))
                    ++pos_;
                const QByteArray word = in_.mid(start, pos_ - start);
                bool hasParam = false;
                bool negative = false;
                long long value = 0;
                if (!atEnd() && peek() == '-') {
                    negative = true;
                    ++pos_;
                }
                int digits = 0;
                while (!atEnd() && peek() >= '0' && peek() <= '9') {
                    if (digits < 10) value = value * 10 + (peek() - '0');
                    ++digits;
                    ++pos_;
                    hasParam = true;
                }
                if (!atEnd() && peek() == ' ') ++pos_;
                value = std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL);
                controlWord(word, hasParam, static_cast<int>(value));
            } else if (n == '\'') {
                ++pos_;
                int v = 0;
                int got = 0;
                while (got < 2 && !atEnd()) {
                    const unsigned char d = peek();
                    const int h = (d >= '0' && d <= '9')   ? d - '0'
                                  : (d >= 'a' && d <= 'f') ? d - 'a' + 10
                                  : (d >= 'A' && d <= 'F') ? d - 'A' + 10
                                                           : -1;
                    if (h < 0) break;
                    v = v * 16 + h;
                    ++got;
                    ++pos_;
                }
                if (got > 0) hexByte(static_cast<unsigned char>(v));
            } else {
                ++pos_;
                controlSymbol(n);
            }
        } else {
            ++pos_;
            // Line ends in the file are not text; other control bytes are garbage.
            if (c == '\r' || c == '\n' || c == 0) continue;
            plainByte(c);
        }
    }
    finish();
}

void Reader::openGroup() {
    flushBytes();
    pendingSkip_ = 0;
    starred_ = false;
    if (stack_.size() >= MaxGroupDepth) {
        ++excessDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Reader::closeGroup() {
    flushBytes();
    pendingSkip_ = 0;
    starred_ = false;
    if (excessDepth_ > 0) {
        --excessDepth_;
        return;
    }
    if (stack_.size() <= 1) return;  // a stray closing brace
    // The last paragraph takes the state in force when the document's group ends.
    if (stack_.size() == 2) finalState_ = stack_.back();
    const Destination leaving = stack_.back().destination;
    stack_.pop_back();
    // {\f1 Name} without its semicolon still names font 1.
    if (leaving == Destination::FontTable && fontEntryNumber_ >= 0 && !fontEntry_.name.isEmpty())
        finishFontEntry();
}

int Reader::codePage() const {
    const auto it = fonts_.find(stack_.back().ch.font < 0 ? defaultFont_ : stack_.back().ch.font);
    if (it != fonts_.end() && it->second.codePage != 0) return it->second.codePage;
    return documentCodePage_;
}

void Reader::controlWord(const QByteArray& w, bool hasParam, int param) {
    const bool starred = starred_;
    starred_ = false;
    GroupState& s = state();

    if (w == "bin") {
        // Raw binary data follows: never text.
        flushBytes();
        const qsizetype n = hasParam && param > 0 ? param : 0;
        pos_ += std::min(n, in_.size() - pos_);
        return;
    }
    if (s.destination == Destination::Skip) return;
    if (starred) {
        // An optional destination this reader does not know: skip the group.
        flushBytes();
        s.destination = Destination::Skip;
        return;
    }
    if (w != "u" && eatFallback()) return;

    static const char* const skipped[] = {
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "atnid",
        "atnauthor",
        "xe",
        "tc",
        "txe",
        "rxe",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "generator",
        "themedata",
        "colorschememapping",
        "datastore",
        "latentstyles",
        "filetbl",
        "private",
        "pn",
        "shp",
        "shppict",
        "nonshppict",
        "fldinst",
        "bkmkstart",
        "bkmkend",
        "comment",
        "userprops",
        "docvar",
        "mmathPr",
        "pgdsctbl",
        "xmlnstbl",
        "wgrffmtfilter",
        "pnseclvl",
        "template",
    };

    if (s.destination == Destination::FontTable) {
        if (w == "f") {
            if (fontEntryNumber_ >= 0 && !fontEntry_.name.isEmpty()) finishFontEntry();
            fontEntryNumber_ = param;
            fontEntry_ = FontEntry{};
        } else if (w == "fcharset") {
            fontEntry_.codePage = codePageOfCharset(param);
        } else if (w == "cpg" && hasParam && param > 0) {
            fontEntry_.codePage = param;
        } else if (w == "u" && hasParam) {
            fontEntry_.name += QChar(char16_t(param < 0 ? param + 65536 : param));
            pendingSkip_ = s.skipAfterUnicode;
        } else {
            for (const char* d : skipped)
                if (w == d) s.destination = Destination::Skip;
        }
        return;
    }
    if (s.destination == Destination::ColourTable) {
        const int v = std::clamp(param, 0, 255);
        if (w == "red") {
            red_ = v;
            colourGiven_ = true;
        } else if (w == "green") {
            green_ = v;
            colourGiven_ = true;
        } else if (w == "blue") {
            blue_ = v;
            colourGiven_ = true;
        }
        return;
    }

    const bool on = !hasParam || param != 0;
    CharState& ch = s.ch;
    if (w == "rtf" || w == "ansi") {
        if (w == "ansi") documentCodePage_ = DefaultCodePage;
    } else if (w == "ansicpg") {
        if (hasParam && param > 0) documentCodePage_ = param;
    } else if (w == "mac") {
        documentCodePage_ = 10000;
    } else if (w == "pc") {
        documentCodePage_ = 437;
    } else if (w == "pca") {
        documentCodePage_ = 850;
    } else if (w == "deff") {
        defaultFont_ = param;
    } else if (w == "fonttbl") {
        flushBytes();
        s.destination = Destination::FontTable;
        fontEntryNumber_ = -1;
        fontEntry_ = FontEntry{};
    } else if (w == "colortbl") {
        flushBytes();
        s.destination = Destination::ColourTable;
        colours_.clear();
        colourGiven_ = false;
        red_ = green_ = blue_ = 0;
    } else if (w == "plain") {
        flushBytes();
        ch = CharState{};
        ch.font = defaultFont_;
    } else if (w == "pard") {
        s.para = ParagraphState{};
    } else if (w == "ql") {
        s.para.alignment = Qt::AlignLeft;
    } else if (w == "qc") {
        s.para.alignment = Qt::AlignHCenter;
    } else if (w == "qr") {
        s.para.alignment = Qt::AlignRight;
    } else if (w == "qj") {
        s.para.alignment = Qt::AlignJustify;
    } else if (w == "li") {
        s.para.leftIndent = std::clamp(param, 0, MaxTwips);
    } else if (w == "fi") {
        s.para.firstIndent = std::clamp(param, -MaxTwips, MaxTwips);
    } else if (w == "sb") {
        s.para.spaceBefore = std::clamp(param, 0, MaxTwips);
    } else if (w == "sa") {
        s.para.spaceAfter = std::clamp(param, 0, MaxTwips);
    } else if (w == "b") {
        flushBytes();
        ch.bold = on;
    } else if (w == "i") {
        flushBytes();
        ch.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldash" || w == "uldashd" || w == "uldashdd" ||
               w == "uldb" || w == "ulhwave" || w == "ulldash" || w == "ulth" || w == "ulthd" ||
               w == "ulthdash" || w == "ulthdashd" || w == "ulthdashdd" || w == "ulthldash" ||
               w == "ululdbwave" || w == "ulw" || w == "ulwave") {
        flushBytes();
        ch.underline = on;
    } else if (w == "ulnone") {
        flushBytes();
        ch.underline = false;
    } else if (w == "v") {
        flushBytes();
        ch.hidden = on;
    } else if (w == "f") {
        flushBytes();
        ch.font = param;
    } else if (w == "fs") {
        flushBytes();
        if (hasParam && param > 0) ch.halfPoints = std::min(param, 3276);
    } else if (w == "cf") {
        flushBytes();
        ch.colour = std::max(param, 0);
    } else if (w == "uc") {
        if (hasParam && param >= 0) s.skipAfterUnicode = std::min(param, 16);
    } else if (w == "u") {
        if (!hasParam) return;
        flushBytes();
        if (!skippingText()) unicodeUnit(char16_t(param < 0 ? param + 65536 : param));
        pendingSkip_ = s.skipAfterUnicode;
    } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
        paragraph();
    } else if (w == "line") {
        textChars(QString(QChar(QChar::LineSeparator)));
    } else if (w == "tab" || w == "cell") {
        textChars(QStringLiteral("\t"));
    } else if (w == "emdash") {
        textChars(QString(QChar(0x2014)));
    } else if (w == "endash") {
        textChars(QString(QChar(0x2013)));
    } else if (w == "bullet") {
        textChars(QString(QChar(0x2022)));
    } else if (w == "lquote") {
        textChars(QString(QChar(0x2018)));
    } else if (w == "rquote") {
        textChars(QString(QChar(0x2019)));
    } else if (w == "ldblquote") {
        textChars(QString(QChar(0x201C)));
    } else if (w == "rdblquote") {
        textChars(QString(QChar(0x201D)));
    } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
        textChars(QStringLiteral(" "));
    } else {
        for (const char* d : skipped) {
            if (w == d) {
                flushBytes();
                s.destination = Destination::Skip;
                return;
            }
        }
        // Anything else is formatting this reader does not keep.
    }
}

void Reader::controlSymbol(unsigned char c) {
    if (c == '*') {
        starred_ = true;
        return;
    }
    starred_ = false;
    if (state().destination == Destination::Skip) return;
    if (c == '\r' || c == '\n') {
        if (!eatFallback()) paragraph();
        return;
    }
    if (eatFallback()) return;
    switch (c) {
        case '\\':
        case '{':
        case '}':
            plainByte(c);
            break;
        case '~':
            textChars(QString(QChar(0x00A0)));
            break;
        case '_':
            textChars(QString(QChar(0x2011)));
            break;
        case '\t':
            textChars(QStringLiteral("\t"));
            break;
        default:
            break;  // \- optional hyphen, \| \: and unknown symbols
    }
}

void Reader::hexByte(unsigned char b) {
    starred_ = false;
    const Destination d = state().destination;
    if (d == Destination::Skip) return;
    if (eatFallback()) return;
    if (d == Destination::FontTable) {
        flushBytes();
        fontEntry_.name += fromWindows1252(b);
        return;
    }
    if (d == Destination::ColourTable) return;
    if (b == '\t') {
        textChars(QStringLiteral("\t"));
        return;
    }
    if (b < 0x20 || b == 0x7F) return;  // control characters are not text
    textBytes(b);
}

void Reader::plainByte(unsigned char b) {
    starred_ = false;
    const Destination d = state().destination;
    if (d == Destination::Skip) return;
    if (eatFallback()) return;
    if (d == Destination::FontTable) {
        if (b == ';')
            finishFontEntry();
        else if (b >= 0x20)
            fontEntry_.name += fromWindows1252(b);
        return;
    }
    if (d == Destination::ColourTable) {
        if (b == ';') finishColourEntry();
        return;
    }
    if (b == '\t') {
        textChars(QStringLiteral("\t"));
        return;
    }
    if (b < 0x20 || b == 0x7F) return;
    textBytes(b);
}

void Reader::finishFontEntry() {
    if (fontEntryNumber_ >= 0) {
        fontEntry_.name = fontEntry_.name.trimmed();
        fonts_[fontEntryNumber_] = fontEntry_;
    }
    fontEntryNumber_ = -1;
    fontEntry_ = FontEntry{};
}

void Reader::finishColourEntry() {
    colours_.push_back(colourGiven_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colourGiven_ = false;
}

void Reader::textBytes(unsigned char b) {
    if (skippingText()) return;
    const int cp = codePage();
    if (!(state().ch == textState_)) {
        flushBytes();
        flushText();
        textState_ = state().ch;
    }
    if (!bytes_.isEmpty() && cp != bytesCodePage_) flushBytes();
    bytesCodePage_ = cp;
    bytes_.append(char(b));
}

void Reader::flushBytes() {
    if (bytes_.isEmpty()) return;
    QString s = decoder_.decode(bytes_, bytesCodePage_);
    bytes_.clear();
    s.removeIf([](QChar c) { return c != u'\t' && !isText(c); });
    if (highSurrogate_) {
        text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }
    text_ += s;
    blockHasText_ = true;
}

void Reader::textChars(const QString& s) {
    flushBytes();
    if (skippingText() || eatFallback()) return;
    if (!(state().ch == textState_)) {
        flushText();
        textState_ = state().ch;
    }
    if (highSurrogate_) {
        text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }
    text_ += s;
    blockHasText_ = true;
}

void Reader::unicodeUnit(char16_t u) {
    if (u == '\t') {
        textChars(QStringLiteral("\t"));
        return;
    }
    if (u == QChar::ParagraphSeparator) {
        paragraph();
        return;
    }
    if (!isText(QChar(u))) return;
    if (!(state().ch == textState_)) {
        flushText();
        textState_ = state().ch;
    }
    if (QChar::isHighSurrogate(u)) {
        if (highSurrogate_) text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = u;
        return;
    }
    if (QChar::isLowSurrogate(u)) {
        if (highSurrogate_) {
            text_ += QChar(highSurrogate_);
            text_ += QChar(u);
            highSurrogate_ = 0;
        } else {
            text_ += QChar(QChar::ReplacementCharacter);
        }
        blockHasText_ = true;
        return;
    }
    if (highSurrogate_) {
        text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }
    text_ += (u == 0 ? QChar(QChar::ReplacementCharacter) : QChar(u));
    blockHasText_ = true;
}

void Reader::flushText() {
    if (highSurrogate_) {
        text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }
    if (text_.isEmpty()) return;
    cursor_.insertText(text_, charFormat(textState_));
    text_.clear();
}

QTextCharFormat Reader::charFormat(const CharState& ch) const {
    QTextCharFormat f;
    f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(ch.italic);
    f.setFontUnderline(ch.underline);
    f.setFontPointSize(ch.halfPoints / 2.0);
    const auto font = fonts_.find(ch.font < 0 ? defaultFont_ : ch.font);
    if (font != fonts_.end() && !font->second.name.isEmpty())
        f.setFontFamilies({font->second.name});
    if (ch.colour > 0 && ch.colour < int(colours_.size()) && colours_[ch.colour].isValid())
        f.setForeground(colours_[ch.colour]);
    return f;
}

QTextBlockFormat blockFormatOf(const ParagraphState& p) {
    QTextBlockFormat f;
    if (p.alignment != Qt::AlignLeft) f.setAlignment(p.alignment);
    if (p.leftIndent) f.setLeftMargin(p.leftIndent / TwipsPerPixel);
    if (p.firstIndent) f.setTextIndent(p.firstIndent / TwipsPerPixel);
    if (p.spaceBefore) f.setTopMargin(p.spaceBefore / TwipsPerPixel);
    if (p.spaceAfter) f.setBottomMargin(p.spaceAfter / TwipsPerPixel);
    return f;
}

void Reader::paragraph() {
    flushBytes();
    if (state().destination != Destination::Text) return;
    flushText();
    cursor_.setBlockFormat(blockFormatOf(state().para));
    // An empty paragraph keeps the size of its line.
    if (!blockHasText_) cursor_.setBlockCharFormat(charFormat(state().ch));
    cursor_.insertBlock();
    blockHasText_ = false;
}

void Reader::finish() {
    flushBytes();
    flushText();
    // A file cut short ends inside its groups: the innermost text group counts.
    while (stack_.size() > 1 && stack_.back().destination != Destination::Text)
        stack_.pop_back();
    const GroupState& last = finalState_ ? *finalState_ : stack_.back();
    cursor_.setBlockFormat(blockFormatOf(last.para));
    if (!blockHasText_) cursor_.setBlockCharFormat(charFormat(last.ch));
    document_.setModified(false);
}

// ---------------------------------------------------------------------------
// Writing

struct RunFormat {
    QString family;
    int halfPoints = DefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor colour;  // invalid: the default colour
};

RunFormat resolve(const QTextCharFormat& f, const QFont& base) {
    RunFormat r;
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    r.family =
        !families.isEmpty() && !families.first().isEmpty() ? families.first() : base.family();
    double points = base.pointSizeF() > 0 ? base.pointSizeF() : DefaultHalfPoints / 2.0;
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        points = f.fontPointSize();
    r.halfPoints = std::clamp(int(points * 2 + 0.5), 1, 3276);
    r.bold =
        f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : base.bold();
    r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
    r.underline =
        f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline)
            ? f.fontUnderline()
            : base.underline();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.colour = f.foreground().color();
    return r;
}

class Writer {
  public:
    explicit Writer(const QTextDocument& d) : document_(d), base_(d.defaultFont()) {
        fonts_.push_back(base_.family());
    }

    QByteArray run();

  private:
    int fontIndex(const QString& family) {
        const auto it = std::find(fonts_.begin(), fonts_.end(), family);
        if (it != fonts_.end()) return int(it - fonts_.begin());
        fonts_.push_back(family);
        return int(fonts_.size()) - 1;
    }
    int colourIndex(const QColor& c) {
        if (!c.isValid()) return 0;
        const QRgb rgb = c.rgb();
        const auto it = std::find(colours_.begin(), colours_.end(), rgb);
        if (it != colours_.end()) return int(it - colours_.begin()) + 1;
        colours_.push_back(rgb);
        return int(colours_.size());
    }
    void switchTo(const RunFormat& f, QByteArray& out);
    static void appendText(const QString& text, QByteArray& out);
    static void appendName(const QString& name, QByteArray& out);

    const QTextDocument& document_;
    const QFont base_;
    std::vector<QString> fonts_;
    std::vector<QRgb> colours_;

    // What the output has in force at this point.
    int font_ = 0;
    int halfPoints_ = DefaultHalfPoints;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    int colour_ = 0;
};

void Writer::switchTo(const RunFormat& f, QByteArray& out) {
    const qsizetype before = out.size();
    const int font = fontIndex(f.family);
    if (font != font_) out += "\\f" + QByteArray::number(font_ = font);
    if (f.halfPoints != halfPoints_) out += "\\fs" + QByteArray::number(halfPoints_ = f.halfPoints);
    if (f.bold != bold_) out += (bold_ = f.bold) ? "\\b" : "\\b0";
    if (f.italic != italic_) out += (italic_ = f.italic) ? "\\i" : "\\i0";
    if (f.underline != underline_) out += (underline_ = f.underline) ? "\\ul" : "\\ulnone";
    const int colour = colourIndex(f.colour);
    if (colour != colour_) out += "\\cf" + QByteArray::number(colour_ = colour);
    if (out.size() != before) out += ' ';
}

void Writer::appendText(const QString& text, QByteArray& out) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u < 0x20 || u == 0x7F || u == QChar::ObjectReplacementCharacter) {
            // Control characters and embedded objects have no text to keep.
        } else if (u < 0x80) {
            out += char(u);
        } else if (const unsigned char b = toWindows1252(c)) {
            static const char hex[] = "0123456789abcdef";
            out += "\\'";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            // UTF-16 units, surrogates included, as signed 16-bit numbers.
            out += "\\u" + QByteArray::number(int(static_cast<int16_t>(u))) + '?';
        }
    }
}

void Writer::appendName(const QString& name, QByteArray& out) {
    QString clean = name;
    clean.remove(QLatin1Char(';'));
    appendText(clean, out);
}

QByteArray Writer::run() {
    // The body first, so that the tables know every font and colour used.
    QByteArray body;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
        if (block != document_.begin()) body += "\\par\r\n";
        body += "\\pard";
        const QTextBlockFormat para = block.blockFormat();
        const Qt::Alignment a = para.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignJustify)
            body += "\\qj";
        else if (a & Qt::AlignHCenter)
            body += "\\qc";
        else if (a & Qt::AlignRight)
            body += "\\qr";
        const auto twips = [](qreal pixels) {
            return QByteArray::number(
                std::clamp(qRound(pixels * TwipsPerPixel), -MaxTwips, MaxTwips));
        };
        if (para.leftMargin() != 0) body += "\\li" + twips(para.leftMargin());
        if (para.textIndent() != 0) body += "\\fi" + twips(para.textIndent());
        if (para.topMargin() != 0) body += "\\sb" + twips(para.topMargin());
        if (para.bottomMargin() != 0) body += "\\sa" + twips(para.bottomMargin());
        body += ' ';
        bool any = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty()) continue;
            switchTo(resolve(fragment.charFormat(), base_), body);
            appendText(fragment.text(), body);
            any = true;
        }
        if (!any) switchTo(resolve(block.charFormat(), base_), body);
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + QByteArray::number(qulonglong(i)) + "\\fnil\\fcharset0 ";
        appendName(fonts_[i], out);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QRgb c : colours_) {
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) +
               "\\blue" + QByteArray::number(qBlue(c)) + ';';
    }
    out += "}\r\n";
    out += body;
    out += "\r\n}\r\n";
    return out;
}

}  // namespace

QChar fromWindows1252(unsigned char b) {
    if (b < 0x80 || b >= 0xA0) return QChar(char16_t(b));
    const char16_t u = cp1252High[b - 0x80];
    return u ? QChar(u) : QChar(QChar::ReplacementCharacter);
}

unsigned char toWindows1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
    for (std::size_t i = 0; i < cp1252High.size(); ++i)
        if (cp1252High[i] == u && u != 0) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

bool read(const QByteArray& bytes, QTextDocument& document) {
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) start = 3;
    while (start < bytes.size() && bytes[start] != 0 && std::strchr(" \t\r\n", bytes[start]))
        ++start;
    if (bytes.mid(start, 5) != "{\\rtf") {
        document.clear();
        document.setModified(false);
        return false;
    }
    const QByteArray content = bytes.mid(start);
    Reader(content, document).run();
    return true;
}

QByteArray write(const QTextDocument& document) {
    return Writer(document).run();
}

}  // namespace vanto::rtf
