#include "ui/rtf.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A piece of text with its formatting fully resolved, so that documents that
// state their formats explicitly and documents that rely on defaults compare.
struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString family;
    double points = 0;
    QString colour;  // "" for the default colour

    bool sameFormat(const Run& o) const {
        return bold == o.bold && italic == o.italic && underline == o.underline &&
               family == o.family && points == o.points && colour == o.colour;
    }
    bool operator==(const Run& o) const { return text == o.text && sameFormat(o); }
};

QString describe(const Run& r) {
    return QStringLiteral("[%1|%2%3%4|%5|%6|%7]")
        .arg(r.text, r.bold ? "b" : "", r.italic ? "i" : "", r.underline ? "u" : "", r.family)
        .arg(r.points)
        .arg(r.colour);
}

Run resolved(const QTextCharFormat& f, const QFont& base, const QString& text) {
    Run r;
    r.text = text;
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    r.family = families.isEmpty() ? base.family() : families.first();
    r.points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF();
    r.bold =
        f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : base.bold();
    r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
    r.underline = f.fontUnderline();
    if (f.hasProperty(QTextFormat::ForegroundBrush)) r.colour = f.foreground().color().name();
    return r;
}

struct Paragraph {
    Qt::Alignment alignment;
    QString spacing;  // indents and space around, in pixels
    QList<Run> runs;
};

// The document as paragraphs of runs, adjacent runs of one format merged.
QList<Paragraph> contents(const QTextDocument& doc) {
    QList<Paragraph> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Paragraph p;
        p.alignment = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (p.alignment == Qt::AlignLeft) p.alignment = {};
        const QTextBlockFormat f = b.blockFormat();
        p.spacing = QStringLiteral("%1 %2 %3 %4")
                        .arg(f.leftMargin())
                        .arg(f.textIndent())
                        .arg(f.topMargin())
                        .arg(f.bottomMargin());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const Run r =
                resolved(it.fragment().charFormat(), doc.defaultFont(), it.fragment().text());
            if (!p.runs.isEmpty() && p.runs.last().sameFormat(r))
                p.runs.last().text += r.text;
            else
                p.runs.append(r);
        }
        out.append(p);
    }
    return out;
}

void compareDocuments(const QTextDocument& got, const QTextDocument& want) {
    const QList<Paragraph> g = contents(got);
    const QList<Paragraph> w = contents(want);
    QCOMPARE(g.size(), w.size());
    for (qsizetype i = 0; i < g.size(); ++i) {
        QCOMPARE(int(g[i].alignment), int(w[i].alignment));
        QCOMPARE(g[i].spacing, w[i].spacing);
        QStringList gr, wr;
        for (const Run& r : g[i].runs)
            gr << describe(r);
        for (const Run& r : w[i].runs)
            wr << describe(r);
        QCOMPARE(gr.join(' '), wr.join(' '));
    }
}

QTextCharFormat format(bool bold, bool italic, bool underline, const QString& family = {},
                       double points = 0, const QColor& colour = {}) {
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    if (!family.isEmpty()) f.setFontFamilies({family});
    if (points > 0) f.setFontPointSize(points);
    if (colour.isValid()) f.setForeground(colour);
    return f;
}

// Reads RTF written by hand; fails the test when it is not taken as RTF.
QTextDocument* readSnippet(const QByteArray& rtf, QObject* owner) {
    auto* doc = new QTextDocument(owner);
    if (!vanto::rtf::read(rtf, *doc)) qWarning("not read as RTF: %s", rtf.constData());
    return doc;
}

Run runAt(const QTextDocument& doc, int paragraph, int run) {
    return contents(doc).value(paragraph).runs.value(run);
}

}  // namespace

class RtfTest : public QObject {
    Q_OBJECT

  private slots:
    void roundTripKeepsEveryKindOfFormatting();
    void roundTripKeepsParagraphsTabsAndLineBreaks();
    void accentedCharactersUseTheWindows1252CodePage();
    void charactersOutsideTheCodePageUseUnicodeEscapes();
    void backslashAndBracesAreEscaped();
    void writtenDocumentIsPlainAsciiWithTheExpectedHeader();
    void readsHandWrittenFormatting();
    void readsCharacterEscapes();
    void unicodeFallbackIsSkipped();
    void otherCodePagesFromHeaderAndFontCharset();
    void skipsDestinationsItDoesNotShow();
    void refusesTextThatIsNotRtf();
    void truncatedDocumentsKeepTheTextBeforeTheCut();
    void unbalancedBracesAndGarbageNeverCrash();
    void hostileNumbersAndNestingAreBounded();
};

void RtfTest::roundTripKeepsEveryKindOfFormatting() {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 11));
    QTextCursor c(&doc);
    c.insertText("Normal, ");
    c.insertText("negrita", format(true, false, false));
    c.insertText(" ", format(false, false, false));
    c.insertText("cursiva", format(false, true, false));
    c.insertText(" y ", format(false, false, false));
    c.insertText("subrayada", format(false, false, true));
    c.insertText(" y todo junto", format(true, true, true));
    c.insertBlock();
    c.insertText("Courier de 9 puntos", format(false, false, false, "Courier New", 9));
    c.insertText(" y 10,5", format(false, false, false, "Courier New", 10.5));
    c.insertText(" Arial de 18", format(true, false, false, "Arial", 18));
    c.insertBlock();
    c.insertText("rojo", format(false, false, false, {}, 0, QColor(255, 0, 0)));
    c.insertText(" verde", format(false, false, false, {}, 0, QColor(0, 128, 0)));
    c.insertText(" normal ", format(false, false, false));
    c.insertText("rojo otra vez", format(false, true, false, {}, 0, QColor(255, 0, 0)));
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred);
    c.insertText("Título centrado", format(true, false, false, "Arial", 16));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    c.insertText("a la derecha");
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    c.insertBlock(justified);
    c.insertText("justificado");
    QTextBlockFormat bullet;  // a hanging indent with room around it
    bullet.setLeftMargin(24);
    bullet.setTextIndent(-12);
    bullet.setTopMargin(4);
    bullet.setBottomMargin(8);
    c.insertBlock(bullet);
    c.insertText("• sangrado");

    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    QVERIFY(vanto::rtf::read(vanto::rtf::write(doc), back));
    compareDocuments(back, doc);
    QVERIFY(!back.isModified());

    // A second pass through the writer changes nothing.
    QCOMPARE(vanto::rtf::write(back), vanto::rtf::write(doc));
}

void RtfTest::roundTripKeepsParagraphsTabsAndLineBreaks() {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("uno\tdos\n\n\ntres") + QChar(QChar::LineSeparator) +
                     QStringLiteral("misma línea\n"));
    QTextDocument back;
    QVERIFY(vanto::rtf::read(vanto::rtf::write(doc), back));
    QCOMPARE(back.blockCount(), doc.blockCount());
    QCOMPARE(back.toRawText(), doc.toRawText());
    compareDocuments(back, doc);

    // An empty paragraph keeps the size of its line.
    QTextDocument sized;
    QTextCursor c(&sized);
    c.insertText("antes");
    c.insertBlock(QTextBlockFormat(), format(true, false, false, {}, 24));
    c.insertBlock(QTextBlockFormat(), format(false, false, false, {}, 12));
    c.insertText("después");
    QTextDocument sizedBack;
    QVERIFY(vanto::rtf::read(vanto::rtf::write(sized), sizedBack));
    QCOMPARE(sizedBack.blockCount(), 3);
    QCOMPARE(sizedBack.findBlockByNumber(1).charFormat().fontPointSize(), 24.0);
}

void RtfTest::accentedCharactersUseTheWindows1252CodePage() {
    const QString text = QStringLiteral("á é í ó ú ñ Ñ ü ¿ ¡ º · Á É Í Ó Ú ç € “comillas” — …");
    QTextDocument doc;
    doc.setPlainText(text);
    const QByteArray rtf = vanto::rtf::write(doc);
    for (const char* escape :
         {"\\'e1", "\\'e9", "\\'ed", "\\'f3", "\\'fa", "\\'f1", "\\'d1", "\\'fc", "\\'bf", "\\'a1",
          "\\'ba", "\\'b7", "\\'80", "\\'93", "\\'94", "\\'97", "\\'85"})
        QVERIFY2(rtf.contains(escape), escape);
    QVERIFY(!QString::fromLatin1(rtf).contains(QRegularExpression(R"(\\u-?\d)")));

    QTextDocument back;
    QVERIFY(vanto::rtf::read(rtf, back));
    QCOMPARE(back.toPlainText(), text);
}

void RtfTest::charactersOutsideTheCodePageUseUnicodeEscapes() {
    // Greek, a relation, superscript four, and one character beyond 16 bits.
    const QString text = QStringLiteral("α β λ ≤ cm⁴ ") + QString::fromUcs4(U"\U0001D70E");
    QTextDocument doc;
    doc.setPlainText(text);
    const QByteArray rtf = vanto::rtf::write(doc);
    QVERIFY(rtf.contains("\\u945?"));
    QVERIFY(rtf.contains("\\u946?"));
    QVERIFY(rtf.contains("\\u955?"));
    QVERIFY(rtf.contains("\\u8804?"));
    QVERIFY(rtf.contains("\\u8308?"));
    // U+1D70E as its UTF-16 pair D835 DF0E, each a signed 16-bit number.
    QVERIFY(rtf.contains("\\u-10187?\\u-8434?"));

    QTextDocument back;
    QVERIFY(vanto::rtf::read(rtf, back));
    QCOMPARE(back.toPlainText(), text);
}

void RtfTest::backslashAndBracesAreEscaped() {
    const QString text = QStringLiteral("C:\\Estructuras\\-Nave {llaves} \\par no es orden }{");
    QTextDocument doc;
    doc.setPlainText(text);
    const QByteArray rtf = vanto::rtf::write(doc);
    QVERIFY(rtf.contains("C:\\\\Estructuras\\\\-Nave \\{llaves\\} \\\\par no es orden \\}\\{"));
    QTextDocument back;
    QVERIFY(vanto::rtf::read(rtf, back));
    QCOMPARE(back.toPlainText(), text);
    QCOMPARE(back.blockCount(), 1);
}

void RtfTest::writtenDocumentIsPlainAsciiWithTheExpectedHeader() {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 10));
    QTextCursor c(&doc);
    c.insertText("Año ", format(false, false, false));
    c.insertText("azul", format(false, false, false, "Courier New", 0, QColor(0, 0, 255)));
    const QByteArray rtf = vanto::rtf::write(doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(
        rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier "
                     "New;}}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;}"));
    QVERIFY(rtf.contains("\\f1"));
    QVERIFY(rtf.contains("\\cf1"));
    QVERIFY(rtf.contains("\\fs20"));
    QVERIFY(rtf.trimmed().endsWith('}'));
    for (char ch : rtf)
        QVERIFY(static_cast<unsigned char>(ch) < 0x80);
}

void RtfTest::readsHandWrittenFormatting() {
    const QTextDocument* doc = readSnippet(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern Courier "
        "New;}}\r\n{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\pard\\fs20 Texto {\\b negrita} y \\i cursiva\\i0  fin\\par\r\n"
        "\\pard\\qc\\f1\\fs32\\cf2\\ul Azul\\ulnone  grande\\par\r\n"
        "\\pard\\plain sin formato\\par\r\n"
        "\\pard\\li720\\fi-360\\sb120\\sa240 sangrado}",
        this);
    QCOMPARE(doc->blockCount(), 4);
    QCOMPARE(doc->findBlockByNumber(0).text(), QStringLiteral("Texto negrita y cursiva fin"));

    const Run plain = runAt(*doc, 0, 0);
    QCOMPARE(plain.text, QStringLiteral("Texto "));
    QCOMPARE(plain.family, QStringLiteral("Arial"));
    QCOMPARE(plain.points, 10.0);
    QVERIFY(!plain.bold);
    const Run bold = runAt(*doc, 0, 1);
    QCOMPARE(bold.text, QStringLiteral("negrita"));
    QVERIFY(bold.bold);
    // The group closed: bold ends with it.
    QVERIFY(!runAt(*doc, 0, 2).bold);
    QCOMPARE(runAt(*doc, 0, 3).text, QStringLiteral("cursiva"));
    QVERIFY(runAt(*doc, 0, 3).italic);
    QCOMPARE(runAt(*doc, 0, 4).text, QStringLiteral(" fin"));
    QVERIFY(!runAt(*doc, 0, 4).italic);

    QCOMPARE(int(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask),
             int(Qt::AlignHCenter));
    const Run blue = runAt(*doc, 1, 0);
    QCOMPARE(blue.text, QStringLiteral("Azul"));
    QCOMPARE(blue.family, QStringLiteral("Courier New"));
    QCOMPARE(blue.points, 16.0);
    QCOMPARE(blue.colour, QColor(0, 0, 255).name());
    QVERIFY(blue.underline);
    QVERIFY(!runAt(*doc, 1, 1).underline);

    // \pard resets the alignment; \plain resets the characters to the default font.
    QCOMPARE(int(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask),
             int(Qt::AlignLeft));
    const Run reset = runAt(*doc, 2, 0);
    QCOMPARE(reset.family, QStringLiteral("Arial"));
    QCOMPARE(reset.points, 12.0);
    QCOMPARE(reset.colour, QString());

    // Indents and spacing in twips, 15 to a pixel.
    const QTextBlockFormat indented = doc->findBlockByNumber(3).blockFormat();
    QCOMPARE(indented.leftMargin(), 48.0);
    QCOMPARE(indented.textIndent(), -24.0);
    QCOMPARE(indented.topMargin(), 8.0);
    QCOMPARE(indented.bottomMargin(), 16.0);
    // \pard clears them again.
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().leftMargin(), 0.0);
}

void RtfTest::readsCharacterEscapes() {
    const QTextDocument* doc = readSnippet(
        "{\\rtf1\\ansi Cami\\'f3n \\'e1rbol \\'d1and\\'fa \\'bfS\\'ed? \\'a1ya! 1\\'ba "
        "a\\'b7b \\'80\\'93x\\'94\\tab y\\line z\\~w \\emdash\\endash\\bullet\\lquote\\rquote"
        "\\ldblquote\\rdblquote \\\\ \\{ \\} a\\-b}",
        this);
    const QString want = QStringLiteral("Camión árbol Ñandú ¿Sí? ¡ya! 1º a·b €“x”\ty") +
                         QChar(QChar::LineSeparator) + QStringLiteral("z") + QChar(0xA0) +
                         QStringLiteral("w —–•‘’“”\\ { } ab");
    QCOMPARE(doc->toRawText(), want);
}

void RtfTest::unicodeFallbackIsSkipped() {
    const QTextDocument* doc = readSnippet(
        "{\\rtf1\\ansi \\u225?rbol \\u945\\'e1-{\\uc2\\u946 xy}-{\\uc0\\u955 z}-\\u955\\'3f"
        "\\u-3?!\\u8804 ?}",
        this);
    // \uc2 skips two fallback characters, \uc0 none; each only inside its group.
    QCOMPARE(doc->toPlainText(), QStringLiteral("árbol α-β-λz-λ\uFFFD!≤"));
}

void RtfTest::otherCodePagesFromHeaderAndFontCharset() {
    const QTextDocument* greek = readSnippet(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}"
        "\\f1 \\'e1\\'e2\\f0 \\'e1}",
        this);
    QStringDecoder probe("windows-1253");
    if (!probe.isValid()) QSKIP("this Qt has no Windows-1253 converter");
    QCOMPARE(greek->toPlainText(), QStringLiteral("αβá"));

    const QTextDocument* cyrillic =
        readSnippet("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1\\'e2}", this);
    QCOMPARE(cyrillic->toPlainText(), QStringLiteral("Абв"));
}

void RtfTest::skipsDestinationsItDoesNotShow() {
    const QTextDocument* doc = readSnippet(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss{\\*\\panose 020b0604020202020204}Arial;}}"
        "{\\*\\generator Un programa;}{\\stylesheet{\\s0 Normal;}{\\s1 Heading 1;}}"
        "{\\info{\\title El t\\'edtulo}{\\author Alguien}}{\\*\\unknown {anidado} oculto}"
        "{\\header cabecera}{\\footnote nota}"
        "Visible{\\pict\\wmetafile8\\picw10 0a0b0c0d}{\\*\\bkmkstart marca}"
        " y {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt enlace}} {\\v oculto}fin"
        "{\\pict\\bin6 }}}{{{} tras\\par}",
        this);
    QCOMPARE(doc->toPlainText(), QStringLiteral("Visible y enlace fin tras\n"));
    QCOMPARE(runAt(*doc, 0, 0).family, QStringLiteral("Arial"));
}

void RtfTest::refusesTextThatIsNotRtf() {
    QTextDocument doc;
    doc.setPlainText("contenido anterior");
    QVERIFY(!vanto::rtf::read("Texto sin formato\r\n", doc));
    QVERIFY(doc.isEmpty());
    QVERIFY(!vanto::rtf::read({}, doc));
    QVERIFY(!vanto::rtf::read("{\\rt", doc));
    // A byte-order mark and blank lines before the header are tolerated.
    QVERIFY(vanto::rtf::read("\xEF\xBB\xBF\r\n  {\\rtf1 hola}", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("hola"));
}

void RtfTest::truncatedDocumentsKeepTheTextBeforeTheCut() {
    QTextDocument doc;
    QTextCursor c(&doc);
    const QStringList paragraphs = {QStringLiteral("Primer párrafo con acentos: á é."),
                                    QStringLiteral("Segundo, en negrita y con α β."),
                                    QStringLiteral("Tercero {con llaves} y \\barras\\."),
                                    QStringLiteral("Cuarto y último.")};
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i) c.insertBlock();
        c.insertText(paragraphs[i], format(i == 1, i == 2, false, i == 3 ? "Courier New" : ""));
    }
    const QByteArray rtf = vanto::rtf::write(doc);

    // Cut just before each paragraph mark: the paragraphs before it survive whole.
    qsizetype from = 0;
    for (qsizetype k = 1; k < paragraphs.size(); ++k) {
        const qsizetype cut = rtf.indexOf("\\par\r\n", from);
        QVERIFY(cut > 0);
        from = cut + 1;
        QTextDocument part;
        QVERIFY(vanto::rtf::read(rtf.left(cut), part));
        QCOMPARE(part.toPlainText(), QStringList(paragraphs.mid(0, k)).join('\n'));
    }

    // Any cut at all yields valid text no longer than the whole.
    for (qsizetype n = 0; n <= rtf.size(); ++n) {
        QTextDocument part;
        vanto::rtf::read(rtf.left(n), part);
        QVERIFY(part.toPlainText().isValidUtf16());
        QVERIFY(part.characterCount() <= doc.characterCount());
    }
}

void RtfTest::unbalancedBracesAndGarbageNeverCrash() {
    QTextDocument doc;
    QVERIFY(vanto::rtf::read("{\\rtf1 {\\b uno}}} dos}", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("uno"));

    QVERIFY(vanto::rtf::read("{\\rtf1 {{{\\b sin cerrar", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("sin cerrar"));
    QVERIFY(runAt(doc, 0, 0).bold);

    QVERIFY(vanto::rtf::read("{\\rtf1 {\\fonttbl{\\f0 Arial;}{\\colortbl;\\red1", doc));
    QVERIFY(vanto::rtf::read("{\\rtf1 a\\", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("a"));
    QVERIFY(vanto::rtf::read("{\\rtf1 a\\'", doc));
    // A control character written as \'xx is not text.
    QVERIFY(vanto::rtf::read("{\\rtf1 a\\'04", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("a"));
    QVERIFY(vanto::rtf::read("{\\rtf1 \\u55357?}", doc));  // a lone high surrogate
    QCOMPARE(doc.toPlainText(), QString(QChar(QChar::ReplacementCharacter)));

    // Random bytes after a valid header, with the characters RTF cares about
    // made frequent.
    QRandomGenerator random(20250611);
    const QByteArray alphabet = "{}\\'*;0123456789abuflinparcdeghx -\r\n\x80\xe1\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = "{\\rtf1\\ansi ";
        const int n = random.bounded(1, 1500);
        for (int i = 0; i < n; ++i) {
            bytes += random.bounded(4) == 0 ? char(random.bounded(256))
                                            : alphabet[random.bounded(int(alphabet.size()))];
        }
        QTextDocument garbage;
        QVERIFY(vanto::rtf::read(bytes, garbage));
        QVERIFY(garbage.toPlainText().isValidUtf16());
        // Whatever was read can be written and read again.
        QTextDocument again;
        QVERIFY(vanto::rtf::read(vanto::rtf::write(garbage), again));
        QCOMPARE(again.toPlainText(), garbage.toPlainText());
    }
}

void RtfTest::hostileNumbersAndNestingAreBounded() {
    QTextDocument doc;
    const int depth = 200000;
    QByteArray nested = "{\\rtf1 ";
    nested += QByteArray(depth, '{') + "\\b x" + QByteArray(depth, '}') + " y}";
    QVERIFY(vanto::rtf::read(nested, doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("x y"));
    QVERIFY(!runAt(doc, 0, 1).bold);

    QVERIFY(vanto::rtf::read(
        "{\\rtf1 \\fs99999999999999999 a\\fs-5 b\\uc999999 \\u65 c\\bin99999999999999 zz}", doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("abA"));
    QVERIFY(runAt(doc, 0, 0).points <= 1638.0);
}

QTEST_MAIN(RtfTest)
#include "rtf_test.moc"
