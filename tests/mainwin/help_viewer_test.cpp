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
#include <optional>

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

// A topic in a program folder, open, with `typed` added at its end.
struct Edited {
    explicit Edited(const QString& typed) {
        fs::create_directories(folder);
        dir.write("programa/tutor.rtf", original);
        viewer.emplace(folder / "tutor.rtf");
        viewer->show();
        box(*viewer)->moveCursor(QTextCursor::End);
        QTest::keyClicks(box(*viewer), typed);
    }
    vanto::test::TempDir dir;
    fs::path folder = dir / "programa";
    std::string original = helpDocument("Tutorial", "Texto.");
    std::optional<HelpViewer> viewer;
};

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void opensTheTopicOverItsParentWithoutBlockingIt() {
        vanto::test::TempDir dir;
        dir.write("tutor.rtf", helpDocument("Tutorial", "Texto."));
        dir.write("MATRICI.RTF", helpDocument("Cálculo", "K·d = F"));  // found in any case
        vanto::Session session;
        session.programDirectory = dir.path();
        session.HelpTopic = "tutor";
        QWidget main;
        main.setGeometry(100, 100, 900, 700);
        main.show();
        QPointer<HelpViewer> first = HelpViewer::open(session, &main);
        QVERIFY(first && first->isVisible() && first->isWindow());
        // The first viewer opens centred over its parent.
        QVERIFY(
            (first->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <
            8);
        QVERIFY(!QApplication::activeModalWidget());
        // The same topic again raises the open viewer rather than a second copy.
        QCOMPARE(HelpViewer::open(session, &main), first.data());
        session.HelpTopic = "matrici";
        QPointer<HelpViewer> other = HelpViewer::open(session, &main);
        QVERIFY(other != first);
        QCOMPARE(box(*other)->toPlainText(), QString("Cálculo\nK·d = F"));
        QVERIFY(firstFormat(box(*other)->document()).fontWeight() >= QFont::Bold);
        QVERIFY(!box(*other)->isReadOnly());
        QVERIFY(!button(*other, "Save")->isEnabled());  // nothing to save yet
        // Closing deletes the viewer.
        button(*first, "Salir")->click();
        QTRY_VERIFY(first.isNull());
        other->close();
        QTRY_VERIFY(other.isNull());
    }

    void savingChangesTheNextOpening() {
        Edited e(" Nuevo:");
        HelpViewer& viewer = *e.viewer;
        // Characters beyond ASCII arrive as input-method text.
        box(viewer)->textCursor().insertText(QStringLiteral(" añadido α ≤ β {ok}"));
        QTest::mouseClick(button(viewer, "Save"), Qt::LeftButton);
        QVERIFY(!button(viewer, "Save")->isEnabled());
        QVERIFY(!box(viewer)->document()->isModified());
        QVERIFY(e.dir.read("programa/tutor.rtf").starts_with("{\\rtf1"));
        // Saved in one step: no temporary file is left beside it.
        QCOMPARE(std::distance(fs::directory_iterator(e.folder), fs::directory_iterator()), 1);
        HelpViewer again(e.folder / "tutor.rtf");
        QCOMPARE(box(again)->toPlainText(),
                 QStringLiteral("Tutorial\nTexto. Nuevo: añadido α ≤ β {ok}"));
        QCOMPARE(firstFormat(box(again)->document()).fontPointSize(), 16.0);
    }

    // A reinstall copies the shipped document again: the user's edit lives in the
    // settings directory and is the one shown from then on.
    void editsAreKeptApartFromTheShippedDocument() {
        vanto::test::TempDir dir;
        const std::string shipped = helpDocument("Tutorial", "Texto.");
        fs::create_directories(dir / "programa");
        fs::create_directories(dir / "ajustes");
        dir.write("programa/tutor.rtf", shipped);
        vanto::Session session;
        session.programDirectory = dir / "programa";
        session.settingsDirectory = dir / "ajustes";
        session.HelpTopic = "tutor";
        QWidget main;
        main.show();
        QPointer<HelpViewer> viewer = HelpViewer::open(session, &main);
        box(*viewer)->moveCursor(QTextCursor::End);
        box(*viewer)->textCursor().insertText(QStringLiteral(" Mío."));
        QVERIFY(viewer->Save_Click());
        QCOMPARE(dir.read("programa/tutor.rtf"), shipped);
        QCOMPARE(HelpViewer::documentPath(session), dir / "ajustes" / "ayuda" / "tutor.rtf");
        viewer->move(viewer->pos() + QPoint(40, 30));
        const QRect closedAt = viewer->geometry();
        QTest::keyClick(box(*viewer), Qt::Key_Escape);  // Escape closes as "Salir" does
        QTRY_VERIFY(viewer.isNull());
        viewer = HelpViewer::open(session, &main);
        QCOMPARE(box(*viewer)->toPlainText(), QStringLiteral("Tutorial\nTexto. Mío."));
        QCOMPARE(viewer->geometry(), closedAt);
        viewer->close();
    }

    void closingWithUnsavedChangesAsksAndAFailedSaveKeepsThem() {
        const struct {
            const char* answer;
            bool closes, saved;
        } cases[] = {
            {"Cancelar", false, false}, {"No guardar", true, false}, {"Guardar", true, true}};
        for (const auto& c : cases) {
            Edited e(" cambio");
            MessageAnswerer answer(c.answer);
            QTest::mouseClick(button(*e.viewer, "Salir"), Qt::LeftButton);
            QVERIFY(answer.answered);
            QCOMPARE(answer.title, QStringLiteral("¡ Aviso !"));
            QVERIFY(answer.text.contains(QStringLiteral("cambios sin guardar")));
            QCOMPARE(e.viewer->isVisible(), !c.closes);
            QCOMPARE(e.dir.read("programa/tutor.rtf") != e.original, c.saved);
        }
        // A failed save keeps the text.
        Edited e(" sin perder");
        HelpViewer& viewer = *e.viewer;
        // The directory disappears under the viewer: the file cannot be written.
        fs::remove_all(e.folder);
        MessageAnswerer answer("Aceptar");
        QVERIFY(!viewer.Save_Click());
        QVERIFY(answer.answered);
        QCOMPARE(answer.title, QStringLiteral("Error"));
        QVERIFY(answer.text.contains(QStringLiteral("No se ha podido guardar")));
        QVERIFY(box(viewer)->toPlainText().endsWith(QStringLiteral("sin perder")));
        QVERIFY(button(viewer, "Save")->isEnabled());
        QVERIFY(!fs::exists(e.folder));
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
        // Plain text is shown as it is.
        dir.write("notas.rtf", "Cami\xF3n de carga\r\nsegunda l\xEDnea\r\n");
        HelpViewer plain(dir / "notas.rtf");
        QCOMPARE(box(plain)->toPlainText(), QStringLiteral("Camión de carga\nsegunda línea\n"));
    }

    // The documents installed beside the program load whole, under a bold title.
    void shippedDocumentsOpenWithTheirHeadings() {
        const struct {
            const char *topic, *mention;
            int size;
        } cases[] = {{"menu", "cm⁴, m", 8000},
                     {"tutor", "Cálculo", 8000},
                     {"matrici", "(3α+3β+6αβ)·EIz/L³", 8000},
                     {"editor", "(−1, +1, +1) m", 5000},
                     {"diagramas", "Barra 2D", 1500},
                     {"visor", "Cónica 3D", 1000}};
        for (const auto& [topic, mention, size] : cases) {
            vanto::Session session;
            session.programDirectory = QCoreApplication::applicationDirPath().toStdString();
            session.HelpTopic = topic;
            HelpViewer viewer(HelpViewer::documentPath(session));
            QVERIFY2(viewer.isDocumentLoaded(), topic);
            const QTextDocument* doc = box(viewer)->document();
            QVERIFY(!doc->toPlainText().contains(QChar(QChar::ReplacementCharacter)));
            QVERIFY2(doc->toPlainText().contains(QString(mention)), mention);
            QVERIFY2(doc->characterCount() > size, topic);  // pages, or one for a window
            QCOMPARE(doc->begin().text(), QStringLiteral("Vanto 2.11"));
            QVERIFY(firstFormat(doc).fontWeight() >= QFont::Bold);
        }
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
