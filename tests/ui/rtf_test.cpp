#include "ui/rtf.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The document as one line per paragraph: alignment, indents and spacing in
// pixels, then each run of one format as [text|flags|family|points|colour],
// formats resolved against the default font so that explicit and inherited
// formats compare alike.
QString describe(const QTextDocument& doc) {
    QStringList out;
    const QFont& base = doc.defaultFont();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        const int align = int(f.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft);
        QString line = QStringLiteral("%1 %2 %3 %4 %5:")
                           .arg(align)
                           .arg(f.leftMargin())
                           .arg(f.textIndent())
                           .arg(f.topMargin())
                           .arg(f.bottomMargin());
        QString last;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            const QStringList families = c.property(QTextFormat::FontFamilies).toStringList();
            const bool bold = c.hasProperty(QTextFormat::FontWeight)
                                  ? c.fontWeight() >= QFont::DemiBold
                                  : base.bold();
            const bool italic =
                c.hasProperty(QTextFormat::FontItalic) ? c.fontItalic() : base.italic();
            const QString key =
                QStringLiteral("|%1%2%3|%4|%5|%6]")
                    .arg(bold ? "b" : "", italic ? "i" : "", c.fontUnderline() ? "u" : "",
                         families.isEmpty() ? base.family() : families.first())
                    .arg(c.hasProperty(QTextFormat::FontPointSize) ? c.fontPointSize()
                                                                   : base.pointSizeF())
                    .arg(c.hasProperty(QTextFormat::ForegroundBrush) ? c.foreground().color().name()
                                                                     : QString());
            if (key == last)
                line.insert(line.size() - key.size(), it.fragment().text());
            else
                line += " [" + it.fragment().text() + key;
            last = key;
        }
        out << line;
    }
    return out.join('\n');
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

// Written, then read back into a document with the same default font.
QString roundTrip(const QTextDocument& doc) {
    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    if (!vanto::rtf::read(vanto::rtf::write(doc), back)) return "not read";
    if (back.isModified()) return "modified";
    if (vanto::rtf::write(back) != vanto::rtf::write(doc)) return "written differently";
    return describe(back);
}

QString readBack(const QByteArray& rtf) {
    QTextDocument doc;
    return vanto::rtf::read(rtf, doc) ? describe(doc) : "not read";
}

}  // namespace

class RtfTest : public QObject {
    Q_OBJECT
  private slots:
    void roundTripKeepsEveryKindOfFormatting() {
        QTextDocument doc;
        doc.setDefaultFont(QFont("Arial", 11));
        QTextCursor c(&doc);
        const struct {
            const char* text;
            QTextCharFormat format;
        } runs[] = {
            {"Normal, ", {}},
            {"negrita", format(true, false, false)},
            {" cursiva", format(false, true, false)},
            {" subrayada", format(false, false, true)},
            {" todo junto", format(true, true, true)},
            {"\nCourier de 9", format(false, false, false, "Courier New", 9)},
            {" y 10,5", format(false, false, false, "Courier New", 10.5)},
            {" Arial de 18", format(true, false, false, "Arial", 18)},
            {"\nrojo", format(false, false, false, {}, 0, QColor(255, 0, 0))},
            {" verde", format(false, false, false, {}, 0, QColor(0, 128, 0))},
            {" normal ", format(false, false, false)},
            {"rojo otra vez", format(false, true, false, {}, 0, QColor(255, 0, 0))},
        };
        for (const auto& r : runs) {
            const QString text = QString::fromUtf8(r.text);
            if (text.startsWith('\n')) c.insertBlock();
            c.insertText(text.startsWith('\n') ? text.mid(1) : text, r.format);
        }
        QTextBlockFormat indented;  // a hanging indent with room around it
        indented.setLeftMargin(24);
        indented.setTextIndent(-12);
        indented.setTopMargin(4);
        indented.setBottomMargin(8);
        const std::pair<Qt::Alignment, QTextBlockFormat> blocks[] = {
            {Qt::AlignHCenter, {}}, {Qt::AlignRight, {}}, {Qt::AlignJustify, {}}, {{}, indented}};
        for (auto [alignment, block] : blocks) {
            if (alignment) block.setAlignment(alignment);
            c.insertBlock(block);
            c.insertText("párrafo",
                         format(alignment == Qt::AlignHCenter, false, false, "Arial", 16));
        }
        // A second pass through the writer changes nothing either.
        QCOMPARE(roundTrip(doc), describe(doc));
        const QByteArray rtf = vanto::rtf::write(doc);
        // Fonts and colours listed in order of use; colour 0 is the automatic one.
        QCOMPARE(rtf.left(rtf.indexOf("\\pard")),
                 QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
                            "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                            "{\\f1\\fnil\\fcharset0 Courier New;}}\r\n"
                            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"));
        QVERIFY(rtf.trimmed().endsWith('}'));
    }

    void roundTripKeepsParagraphsTabsAndLineBreaks() {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("uno\tdos\n\n\ntres") + QChar(QChar::LineSeparator) +
                         QStringLiteral("misma línea\n"));
        QCOMPARE(roundTrip(doc), describe(doc));

        // An empty paragraph keeps the size of its line.
        QTextDocument sized;
        QTextCursor c(&sized);
        c.insertText("antes");
        c.insertBlock(QTextBlockFormat(), format(true, false, false, {}, 24));
        c.insertBlock(QTextBlockFormat(), format(false, false, false, {}, 12));
        c.insertText("después");
        QTextDocument back;
        QVERIFY(vanto::rtf::read(vanto::rtf::write(sized), back));
        QCOMPARE(back.blockCount(), 3);
        QCOMPARE(back.findBlockByNumber(1).charFormat().fontPointSize(), 24.0);
    }

    // Text outside ASCII and RTF's own characters, as written and read back.
    void writtenTextEscapesWhatItMust() {
        const struct {
            QString text;
            QList<QByteArray> escapes;
        } cases[] = {
            {QStringLiteral("á é í ó ú ñ Ñ ü ¿ ¡ º · € “comillas” — …"),
             {"\\'e1", "\\'e9", "\\'ed", "\\'f3", "\\'fa", "\\'f1", "\\'d1", "\\'fc", "\\'bf",
              "\\'a1", "\\'ba", "\\'b7", "\\'80", "\\'93", "\\'94", "\\'97", "\\'85"}},
            // Outside the code page; U+1D70E as its UTF-16 pair, each a signed 16-bit number.
            {QStringLiteral("α β λ ≤ cm⁴ ") + QString::fromUcs4(U"\U0001D70E"),
             {"\\u945?", "\\u946?", "\\u955?", "\\u8804?", "\\u8308?", "\\u-10187?\\u-8434?"}},
            {QStringLiteral("C:\\Nave {llaves} \\par no es orden }{"),
             {"C:\\\\Nave \\{llaves\\} \\\\par no es orden \\}\\{"}},
        };
        for (const auto& c : cases) {
            QTextDocument doc;
            doc.setPlainText(c.text);
            const QByteArray rtf = vanto::rtf::write(doc);
            for (const QByteArray& e : c.escapes)
                QVERIFY2(rtf.contains(e), e.constData());
            for (char ch : rtf)
                QVERIFY(static_cast<unsigned char>(ch) < 0x80);
            QTextDocument back;
            QVERIFY(vanto::rtf::read(rtf, back));
            QCOMPARE(back.toPlainText(), c.text);
            QCOMPARE(back.blockCount(), 1);
            // Characters of the code page never take a \u escape.
            if (&c == cases)
                QVERIFY(!QString::fromLatin1(rtf).contains(QRegularExpression(R"(\\u-?\d)")));
        }
    }

    void readsHandWrittenFormatting() {
        // Each group closes its format, \pard resets the paragraph, \plain the
        // characters; indents and spacing are in twips, 15 to a pixel.
        QCOMPARE(
            readBack(
                "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern "
                "Courier New;}}\r\n{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                "\r\n\\pard\\fs20 Texto {\\b negrita} y \\i cursiva\\i0  fin\\par\r\n"
                "\\pard\\qc\\f1\\fs32\\cf2\\ul Azul\\ulnone  grande\\par\r\n"
                "\\pard\\plain sin formato\\par\r\n"
                "\\pard\\li720\\fi-360\\sb120\\sa240 sangrado}"),
            "0 0 0 0 0: [Texto ||Arial|10|] [negrita|b|Arial|10|] [ y ||Arial|10|] "
            "[cursiva|i|Arial|10|] [ fin||Arial|10|]\n"
            "4 0 0 0 0: [Azul|u|Courier New|16|#0000ff] [ grande||Courier New|16|#0000ff]\n"
            "0 0 0 0 0: [sin formato||Arial|12|]\n"
            "0 48 -24 8 16: [sangrado||Arial|12|]");
    }

    // Hand-written or damaged input and the text it reads as; none may crash.
    void readsTextAsItShould() {
        const QString nbsp(QChar(0xA0)), br(QChar(QChar::LineSeparator));
        const struct {
            QByteArray rtf;
            QString text;
        } cases[] = {
            {"{\\rtf1\\ansi Cami\\'f3n \\'d1and\\'fa \\'bfS\\'ed? \\'a1ya! 1\\'ba a\\'b7b "
             "\\'80\\'93x\\'94\\tab y\\line z\\~w \\emdash\\endash\\bullet\\lquote\\rquote"
             "\\ldblquote\\rdblquote \\\\ \\{ \\} a\\-b}",
             "Camión Ñandú ¿Sí? ¡ya! 1º a·b €“x”\ty" + br + "z" + nbsp + "w —–•‘’“”\\ { } ab"},
            // \uc2 skips two fallback characters, \uc0 none; each only inside its group.
            {"{\\rtf1\\ansi \\u225?rbol \\u945\\'e1-{\\uc2\\u946 xy}-{\\uc0\\u955 z}-\\u955\\'3f"
             "\\u-3?!\\u8804 ?}",
             "árbol α-β-λz-λ\uFFFD!≤"},
            {"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1\\'e2}", "Абв"},
            // A font's character set overrides the document's code page.
            {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}\\f1 "
             "\\'e1\\'e2\\f0 \\'e1}",
             "αβá"},
            // Destinations it does not show.
            {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss{\\*\\panose 020b0604020202020204}Arial;}}"
             "{\\*\\generator Un programa;}{\\stylesheet{\\s0 Normal;}{\\s1 Heading 1;}}"
             "{\\info{\\title El t\\'edtulo}{\\author Alguien}}{\\*\\unknown {anidado} oculto}"
             "{\\header cabecera}{\\footnote nota}"
             "Visible{\\pict\\wmetafile8\\picw10 0a0b0c0d}{\\*\\bkmkstart marca}"
             " y {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt enlace}} {\\v oculto}fin"
             "{\\pict\\bin6 }}}{{{} tras\\par}",
             "Visible y enlace fin tras\n"},
            // A byte-order mark and blank lines before the header are tolerated.
            {"\xEF\xBB\xBF\r\n  {\\rtf1 hola}", "hola"},
            {"{\\rtf1 {\\b uno}}} dos}", "uno"},
            {"{\\rtf1 {{{\\b sin cerrar", "sin cerrar"},
            {"{\\rtf1 {\\fonttbl{\\f0 Arial;}{\\colortbl;\\red1", ""},
            {"{\\rtf1 a\\", "a"},
            {"{\\rtf1 a\\'", "a"},
            {"{\\rtf1 a\\'04", "a"},           // a control character written as \'xx is not text
            {"{\\rtf1 \\u55357?}", "\uFFFD"},  // a lone high surrogate
            {"{\\rtf1 \\fs99999999999999999 a\\fs-5 b\\uc999999 \\u65 c\\bin99999999999999 zz}",
             "abA"},
            {"{\\rtf1 " + QByteArray(200000, '{') + "\\b x" + QByteArray(200000, '}') + " y}",
             "x y"},
        };
        for (const auto& c : cases) {
            QTextDocument doc;
            QVERIFY2(vanto::rtf::read(c.rtf, doc), c.rtf.left(60).constData());
            QCOMPARE(doc.toRawText().replace(QChar::ParagraphSeparator, '\n'), c.text);
        }
        QVERIFY(readBack("{\\rtf1 {{{\\b sin cerrar").contains("[sin cerrar|b|"));
        QVERIFY(readBack("{\\rtf1 {{\\b x}} y}").contains("[ y||"));
        QTextDocument doc;
        QVERIFY(vanto::rtf::read("{\\rtf1 \\fs99999999999999999 a}", doc));
        QVERIFY(doc.begin().begin().fragment().charFormat().fontPointSize() <= 1638.0);
    }

    void refusesTextThatIsNotRtf() {
        QTextDocument doc;
        doc.setPlainText("contenido anterior");
        for (const QByteArray& bytes :
             {QByteArray("Texto sin formato\r\n"), QByteArray(), QByteArray("{\\rt")})
            QVERIFY(!vanto::rtf::read(bytes, doc));
        QVERIFY(doc.isEmpty());
    }

    void truncatedDocumentsKeepTheTextBeforeTheCut() {
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
};

QTEST_MAIN(RtfTest)
#include "rtf_test.moc"
