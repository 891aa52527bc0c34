#include "mainwin/help_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <filesystem>

#include "model/structure.h"
#include "support/message_answerer.h"
#include "support/tempdir.h"
#include "ui/rtf.h"

namespace fs = std::filesystem;
using vanto::HelpViewer;

namespace {

// A help document: a bold 16-point heading and a paragraph of body text.
std::string helpDocument(const QString& heading, const QString& body) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat head, text;
    head.setFontWeight(QFont::Bold);
    head.setFontPointSize(16);
    text.setFontWeight(QFont::Normal);
    text.setFontPointSize(11);
    c.insertText(heading, head);
    c.insertBlock(QTextBlockFormat(), text);
    c.insertText(body, text);
    return vanto::rtf::write(doc).toStdString();
}

QTextEdit* box(HelpViewer& v) {
    return v.findChild<QTextEdit*>("RichTextBox1");
}
QPushButton* button(HelpViewer& v, const char* name) {
    return v.findChild<QPushButton*>(name);
}
QTextCharFormat firstFormat(const QTextDocument* doc) {
    return doc->begin().begin().fragment().charFormat();
}

void typeAtEnd(HelpViewer& v, const QString& text) {
    box(v)->moveCursor(QTextCursor::End);
    QTest::keyClicks(box(v), text);
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDocumentOfTheChosenTopic() {
        vanto::test::TempDir dir;
        dir.write("tutor.rtf", helpDocument("Tutorial", "Cree una estructura con «Nueva»."));
        dir.write("menu.rtf", helpDocument("La ventana principal", "Menú Estructura."));
        dir.write("MATRICI.RTF", helpDocument("Cálculo", "K·d = F"));  // any case
        vanto::Session session;
        session.programDirectory = dir.path();
        const char* cases[][2] = {{"tutor", "Tutorial\nCree una estructura con «Nueva»."},
                                  {"menu", "La ventana principal\nMenú Estructura."},
                                  {"matrici", "Cálculo\nK·d = F"}};
        for (const auto& [topic, text] : cases) {
            session.HelpTopic = topic;
            HelpViewer viewer(HelpViewer::documentPath(session));
            QVERIFY(viewer.isDocumentLoaded());
            QCOMPARE(box(viewer)->toPlainText(), QString(text));
            QVERIFY(firstFormat(box(viewer)->document()).fontWeight() >= QFont::Bold);
            QVERIFY(!box(viewer)->isReadOnly());
            QVERIFY(!button(viewer, "Save")->isEnabled());  // nothing to save yet
        }
    }

    void opensOverItsParentWithoutBlockingIt() {
        vanto::test::TempDir dir;
        dir.write("tutor.rtf", helpDocument("Tutorial", "Texto."));
        vanto::Session session;
        session.programDirectory = dir.path();
        session.HelpTopic = "tutor";
        QWidget main;
        main.show();
        QPointer<HelpViewer> first = HelpViewer::open(session, &main);
        QVERIFY(first && first->isVisible() && first->isWindow());
        QVERIFY(!QApplication::activeModalWidget());
        // The same topic again raises the open viewer rather than a second copy.
        QCOMPARE(HelpViewer::open(session, &main), first.data());
        session.HelpTopic = "menu";
        QPointer<HelpViewer> other = HelpViewer::open(session, &main);
        QVERIFY(other != first);
        // Closing deletes the viewer.
        button(*first, "Salir")->click();
        QTRY_VERIFY(first.isNull());
        other->close();
        QTRY_VERIFY(other.isNull());
    }

    void savingChangesTheNextOpening() {
        vanto::test::TempDir dir;
        dir.write("tutor.rtf", helpDocument("Tutorial", "Primer paso."));
        {
            HelpViewer viewer(dir / "tutor.rtf");
            viewer.show();
            typeAtEnd(viewer, " Nuevo:");
            // Characters beyond ASCII arrive as input-method text.
            box(viewer)->textCursor().insertText(QStringLiteral(" añadido α ≤ β {ok}"));
            QTest::mouseClick(button(viewer, "Save"), Qt::LeftButton);
            QVERIFY(!button(viewer, "Save")->isEnabled());
            QVERIFY(!box(viewer)->document()->isModified());
        }
        QVERIFY(dir.read("tutor.rtf").starts_with("{\\rtf1"));
        // Saved in one step: no temporary file is left beside it.
        QCOMPARE(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
        HelpViewer again(dir / "tutor.rtf");
        QCOMPARE(box(again)->toPlainText(),
                 QStringLiteral("Tutorial\nPrimer paso. Nuevo: añadido α ≤ β {ok}"));
        QCOMPARE(firstFormat(box(again)->document()).fontPointSize(), 16.0);
    }

    void closingWithUnsavedChangesAsks() {
        const struct {
            const char* answer;
            bool closes, saved;
        } cases[] = {
            {"Cancelar", false, false}, {"No guardar", true, false}, {"Guardar", true, true}};
        for (const auto& c : cases) {
            vanto::test::TempDir dir;
            const std::string original = helpDocument("Tutorial", "Texto.");
            dir.write("tutor.rtf", original);
            HelpViewer viewer(dir / "tutor.rtf");
            viewer.show();
            typeAtEnd(viewer, " cambio");
            MessageAnswerer answer(c.answer);
            QTest::mouseClick(button(viewer, "Salir"), Qt::LeftButton);
            QVERIFY(answer.answered);
            QCOMPARE(answer.title, QStringLiteral("¡ Aviso !"));
            QVERIFY(answer.text.contains(QStringLiteral("cambios sin guardar")));
            QCOMPARE(viewer.isVisible(), !c.closes);
            QCOMPARE(dir.read("tutor.rtf") != original, c.saved);
        }
    }

    void failedSaveKeepsTheText() {
        vanto::test::TempDir dir;
        const fs::path folder = dir / "programa";
        fs::create_directories(folder);
        dir.write("programa/tutor.rtf", helpDocument("Tutorial", "Texto."));
        HelpViewer viewer(folder / "tutor.rtf");
        viewer.show();
        typeAtEnd(viewer, " sin perder");
        // The directory disappears under the viewer: the file cannot be written.
        fs::remove_all(folder);
        MessageAnswerer answer("Aceptar");
        QVERIFY(!viewer.Save_Click());
        QVERIFY(answer.answered);
        QCOMPARE(answer.title, QStringLiteral("Error"));
        QVERIFY(answer.text.contains(QStringLiteral("No se ha podido guardar")));
        QVERIFY(box(viewer)->toPlainText().endsWith(QStringLiteral("sin perder")));
        QVERIFY(button(viewer, "Save")->isEnabled());
        QVERIFY(!fs::exists(folder));
    }

    void documentsThatCannotBeShownAreExplained() {
        vanto::test::TempDir dir;
        fs::create_directories(dir / "menu.rtf");
        const char* cases[][2] = {
            {"tutor.rtf", "No se encuentra el documento de ayuda «tutor.rtf»"},
            {"menu.rtf", "No se puede leer el documento de ayuda «menu.rtf»"}};
        for (const auto& [file, text] : cases) {
            HelpViewer viewer(dir / file);
            QVERIFY(!viewer.isDocumentLoaded());
            QVERIFY(box(viewer)->toPlainText().contains(QString(text)));
            const QString where = QString::fromStdString(dir.path().string());
            QVERIFY(box(viewer)->toPlainText().contains(where));
            QVERIFY(box(viewer)->isReadOnly());
            QVERIFY(!viewer.Save_Click());
            QVERIFY(viewer.close());  // nothing of the user's to lose
        }
        QVERIFY(!fs::exists(dir / "tutor.rtf") && fs::is_directory(dir / "menu.rtf"));
    }

    void plainTextDocumentIsShownAndSavedAsRichText() {
        vanto::test::TempDir dir;
        dir.write("menu.rtf", "Cami\xF3n de carga\r\nsegunda l\xEDnea\r\n");
        HelpViewer viewer(dir / "menu.rtf");
        QCOMPARE(box(viewer)->toPlainText(), QStringLiteral("Camión de carga\nsegunda línea\n"));
        box(viewer)->document()->setModified(true);
        QVERIFY(viewer.Save_Click());
        const std::string saved = dir.read("menu.rtf");
        QVERIFY(saved.starts_with("{\\rtf1"));
        QVERIFY(saved.find("Cami\\'f3n de carga") != std::string::npos);
    }

    // The documents installed beside the program load as rich text, headed by
    // a bold title larger than the body, with their Spanish text intact.
    void shippedDocumentsOpenWithTheirHeadings() {
        const std::pair<const char*, QStringList> cases[] = {
            {"menu",
             {"La ventana principal y sus menús", "Importar/Exportar", "Reticulado",
              "Tipos de barras", "Cálculo Matricial", "Renumerar", "NOMBRE.DAT", "cm⁴", "«LIBRE»"}},
            {"tutor",
             {"Tutorial", "Estructura > Nueva", "listado.txt", "Listado de VANTO 2", "Resultad.res",
              "DIAGRAMA.RES", "vanto-cli calc", "Grabar y Salir"}},
            {"matrici",
             {"(3α+3β+6αβ)·EIz/L³", "α(3+β)·EIy/L", "2αβ·EIy/L", "αβ·GJ/L", "0,999999",
              "HB = 6·(máx |i − j| + 1)", "Mi = (1/8 − β/24)·q·L²·α", "DESEQUIL.RES",
              "Detección de mecanismo en el nudo nº: 4, en el Giro Z."}},
        };
        for (const auto& [topic, mentions] : cases) {
            vanto::Session session;
            session.programDirectory = QCoreApplication::applicationDirPath().toStdString();
            session.HelpTopic = topic;
            HelpViewer viewer(HelpViewer::documentPath(session));
            QVERIFY2(viewer.isDocumentLoaded(), topic);
            const QTextDocument* doc = box(viewer)->document();
            const QString text = doc->toPlainText();
            for (const QString& m : mentions)
                QVERIFY2(text.contains(m), qPrintable(m));
            QVERIFY(!text.contains(QChar(QChar::ReplacementCharacter)));
            QVERIFY(text.size() > 8000);  // a few pages
            QCOMPARE(doc->begin().text(), QStringLiteral("Vanto 2.11"));
            const QTextCharFormat title = firstFormat(doc);
            QVERIFY(title.fontWeight() >= QFont::Bold);
            // Several headings, and body text smaller than the title.
            int headings = 0;
            double body = 0;
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
                if (b.text().isEmpty()) continue;
                const QTextCharFormat f = b.begin().fragment().charFormat();
                if (f.fontWeight() >= QFont::Bold && f.fontPointSize() > 12)
                    ++headings;
                else if (f.fontWeight() < QFont::Bold && body == 0)
                    body = f.fontPointSize();
            }
            QVERIFY2(headings >= 6, topic);
            QVERIFY2(body > 0 && body < title.fontPointSize(), topic);
        }
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
