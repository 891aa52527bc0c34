#include "mainwin/help_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include "mainwin/message_answerer.h"

#include <filesystem>
#include <fstream>

#include "model/structure.h"
#include "support/tempdir.h"
#include "ui/rtf.h"

namespace {

// A help document: a bold, larger heading and a paragraph of body text.
std::string helpDocument(const QString& heading, const QString& body) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 11));
    QTextCursor c(&doc);
    QTextCharFormat head;
    head.setFontWeight(QFont::Bold);
    head.setFontPointSize(16);
    c.insertText(heading, head);
    QTextCharFormat text;
    text.setFontWeight(QFont::Normal);
    text.setFontPointSize(11);
    c.insertBlock(QTextBlockFormat(), text);
    c.insertText(body, text);
    return vanto::rtf::write(doc).toStdString();
}

QTextEdit* box(vanto::HelpViewer& v) {
    return v.findChild<QTextEdit*>("RichTextBox1");
}
QPushButton* button(vanto::HelpViewer& v, const char* name) {
    return v.findChild<QPushButton*>(name);
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheDocumentOfTheChosenTopic();
    void opensOverItsParentWithoutBlockingIt();
    void editingAndSavingChangesTheNextOpening();
    void closingWithUnsavedChangesAsks();
    void failedSaveKeepsTheText();
    void missingDocumentIsExplainedAndCannotBeSaved();
    void unreadableDocumentIsExplained();
    void plainTextDocumentIsShownAndSavedAsRichText();
    void shippedDocumentsOpenWithTheirHeadings_data();
    void shippedDocumentsOpenWithTheirHeadings();
};

void HelpViewerTest::showsTheDocumentOfTheChosenTopic() {
    vanto::test::TempDir dir;
    dir.write("tutor.rtf", helpDocument("Tutorial", "Cree una estructura nueva con «Nueva»."));
    dir.write("menu.rtf", helpDocument("La ventana principal", "Menú Estructura: Nueva, Copiar."));
    vanto::Session session;
    session.programDirectory = dir.path();

    session.HelpTopic = "tutor";
    QCOMPARE(vanto::HelpViewer::documentPath(session), dir / "tutor.rtf");
    vanto::HelpViewer tutor(vanto::HelpViewer::documentPath(session));
    QCOMPARE(tutor.windowTitle(), QStringLiteral("Instrucciones"));
    QVERIFY(tutor.isDocumentLoaded());
    QTextDocument* doc = box(tutor)->document();
    QCOMPARE(doc->toPlainText(),
             QStringLiteral("Tutorial\nCree una estructura nueva con «Nueva»."));
    const QTextCharFormat heading = doc->begin().begin().fragment().charFormat();
    QVERIFY(heading.fontWeight() >= QFont::Bold);
    QCOMPARE(heading.fontPointSize(), 16.0);
    QVERIFY(!box(tutor)->isReadOnly());
    QVERIFY(!button(tutor, "Save")->isEnabled());  // nothing to save yet
    QCOMPARE(button(tutor, "Save")->text(), QStringLiteral("Guardar"));
    QCOMPARE(button(tutor, "Salir")->text(), QStringLiteral("Salir"));

    // Then "Esta pantalla...": the topic "menu".
    session.HelpTopic = "menu";
    vanto::HelpViewer menu(vanto::HelpViewer::documentPath(session));
    QVERIFY(box(menu)->toPlainText().startsWith(QStringLiteral("La ventana principal\nMenú")));

    // The name is matched regardless of case.
    dir.write("MATRICI.RTF", helpDocument("Cálculo", "K·d = F"));
    session.HelpTopic = "matrici";
    vanto::HelpViewer matrici(vanto::HelpViewer::documentPath(session));
    QVERIFY(matrici.isDocumentLoaded());
    QCOMPARE(box(matrici)->toPlainText(), QStringLiteral("Cálculo\nK·d = F"));
}

void HelpViewerTest::opensOverItsParentWithoutBlockingIt() {
    vanto::test::TempDir dir;
    dir.write("tutor.rtf", helpDocument("Tutorial", "Texto."));
    vanto::Session session;
    session.programDirectory = dir.path();
    session.HelpTopic = "tutor";
    QWidget main;
    main.show();

    QPointer<vanto::HelpViewer> first = vanto::HelpViewer::open(session, &main);
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(first->isWindow());
    QCOMPARE(first->windowModality(), Qt::NonModal);
    QVERIFY(main.isVisible());
    QVERIFY(!QApplication::activeModalWidget());

    // The same topic again raises the open viewer rather than a second copy.
    QCOMPARE(vanto::HelpViewer::open(session, &main), first.data());
    session.HelpTopic = "menu";
    QPointer<vanto::HelpViewer> other = vanto::HelpViewer::open(session, &main);
    QVERIFY(other != first);

    // Closing deletes the viewer.
    button(*first, "Salir")->click();
    QTRY_VERIFY(first.isNull());
    other->close();
    QTRY_VERIFY(other.isNull());
}

void HelpViewerTest::editingAndSavingChangesTheNextOpening() {
    vanto::test::TempDir dir;
    dir.write("tutor.rtf", helpDocument("Tutorial", "Primer paso."));
    const std::filesystem::path path = dir / "tutor.rtf";
    {
        vanto::HelpViewer viewer(path);
        viewer.show();
        QTextEdit* text = box(viewer);
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, " Nuevo:");
        // Characters beyond ASCII arrive as input-method text.
        text->textCursor().insertText(QStringLiteral(" añadido α ≤ β {ok}"));
        QVERIFY(button(viewer, "Save")->isEnabled());
        QTest::mouseClick(button(viewer, "Save"), Qt::LeftButton);
        QVERIFY(!button(viewer, "Save")->isEnabled());
        QVERIFY(!text->document()->isModified());
    }
    QVERIFY(QByteArray::fromStdString(dir.read("tutor.rtf")).startsWith("{\\rtf1"));
    // Saved in one step: no temporary file is left beside it.
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()),
                           std::filesystem::directory_iterator()),
             1);

    vanto::HelpViewer again(path);
    const QTextDocument* doc = box(again)->document();
    QCOMPARE(doc->toPlainText(),
             QStringLiteral("Tutorial\nPrimer paso. Nuevo: añadido α ≤ β {ok}"));
    // The heading keeps its format through the save.
    const QTextCharFormat heading = doc->begin().begin().fragment().charFormat();
    QVERIFY(heading.fontWeight() >= QFont::Bold);
    QCOMPARE(heading.fontPointSize(), 16.0);
}

void HelpViewerTest::closingWithUnsavedChangesAsks() {
    vanto::test::TempDir dir;
    const std::string original = helpDocument("Tutorial", "Texto.");
    dir.write("tutor.rtf", original);
    vanto::HelpViewer viewer(dir / "tutor.rtf");
    viewer.show();
    box(viewer)->moveCursor(QTextCursor::End);
    QTest::keyClicks(box(viewer), " cambio");

    {
        MessageAnswerer answer("Cancelar");
        QVERIFY(!viewer.close());
        QVERIFY(answer.answered);
        QCOMPARE(answer.title, QStringLiteral("¡ Aviso !"));
        QVERIFY(answer.text.contains(QStringLiteral("cambios sin guardar")));
    }
    QVERIFY(viewer.isVisible());
    QCOMPARE(dir.read("tutor.rtf"), original);

    {
        MessageAnswerer answer("No guardar");
        QVERIFY(viewer.close());
        QVERIFY(answer.answered);
    }
    QCOMPARE(dir.read("tutor.rtf"), original);

    vanto::HelpViewer saving(dir / "tutor.rtf");
    saving.show();
    box(saving)->moveCursor(QTextCursor::End);
    QTest::keyClicks(box(saving), " guardado al salir");
    {
        MessageAnswerer answer("Guardar");
        QTest::mouseClick(button(saving, "Salir"), Qt::LeftButton);
        QVERIFY(answer.answered);
    }
    QVERIFY(!saving.isVisible());
    vanto::HelpViewer after(dir / "tutor.rtf");
    QVERIFY(box(after)->toPlainText().endsWith(QStringLiteral("Texto. guardado al salir")));
}

void HelpViewerTest::failedSaveKeepsTheText() {
    vanto::test::TempDir dir;
    const std::filesystem::path folder = dir / "programa";
    std::filesystem::create_directories(folder);
    { std::ofstream(folder / "tutor.rtf", std::ios::binary) << helpDocument("Tutorial", "Texto."); }
    vanto::HelpViewer viewer(folder / "tutor.rtf");
    viewer.show();
    box(viewer)->moveCursor(QTextCursor::End);
    QTest::keyClicks(box(viewer), " sin perder");
    // The directory disappears under the viewer: the file cannot be written.
    std::filesystem::remove_all(folder);

    MessageAnswerer answer("Aceptar");
    QVERIFY(!viewer.Save_Click());
    QVERIFY(answer.answered);
    QCOMPARE(answer.title, QStringLiteral("Error"));
    QVERIFY(answer.text.contains(QStringLiteral("No se ha podido guardar")));
    QVERIFY(box(viewer)->toPlainText().endsWith(QStringLiteral("sin perder")));
    QVERIFY(box(viewer)->document()->isModified());
    QVERIFY(button(viewer, "Save")->isEnabled());
    QVERIFY(!std::filesystem::exists(folder));
}

void HelpViewerTest::missingDocumentIsExplainedAndCannotBeSaved() {
    vanto::test::TempDir dir;
    vanto::Session session;
    session.programDirectory = dir.path();
    session.HelpTopic = "tutor";
    vanto::HelpViewer viewer(vanto::HelpViewer::documentPath(session));
    QVERIFY(!viewer.isDocumentLoaded());
    const QString shown = box(viewer)->toPlainText();
    QVERIFY(shown.contains(QStringLiteral("No se encuentra el documento de ayuda «tutor.rtf»")));
    QVERIFY(shown.contains(QString::fromStdString(dir.path().string())));
    QVERIFY(box(viewer)->isReadOnly());
    QVERIFY(!button(viewer, "Save")->isEnabled());
    QVERIFY(!viewer.Save_Click());
    QVERIFY(!std::filesystem::exists(dir / "tutor.rtf"));
    // Closing asks nothing: there is nothing of the user's to lose.
    QVERIFY(viewer.close());
}

void HelpViewerTest::unreadableDocumentIsExplained() {
    vanto::test::TempDir dir;
    std::filesystem::create_directories(dir / "menu.rtf");
    vanto::HelpViewer viewer(dir / "menu.rtf");
    QVERIFY(!viewer.isDocumentLoaded());
    QVERIFY(box(viewer)->toPlainText().contains(
        QStringLiteral("No se puede leer el documento de ayuda «menu.rtf»")));
    QVERIFY(!button(viewer, "Save")->isEnabled());
    QVERIFY(std::filesystem::is_directory(dir / "menu.rtf"));
}

void HelpViewerTest::plainTextDocumentIsShownAndSavedAsRichText() {
    vanto::test::TempDir dir;
    dir.write("menu.rtf", "Cami\xF3n de carga\r\nsegunda l\xEDnea\r\n");
    vanto::HelpViewer viewer(dir / "menu.rtf");
    QVERIFY(viewer.isDocumentLoaded());
    QCOMPARE(box(viewer)->toPlainText(), QStringLiteral("Camión de carga\nsegunda línea\n"));
    box(viewer)->document()->setModified(true);
    QVERIFY(viewer.Save_Click());
    const std::string saved = dir.read("menu.rtf");
    QVERIFY(saved.starts_with("{\\rtf1"));
    QVERIFY(saved.find("Cami\\'f3n de carga") != std::string::npos);
}

void HelpViewerTest::shippedDocumentsOpenWithTheirHeadings_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QStringList>("mentions");
    QTest::newRow("menu") << "menu"
                          << QStringList{"La ventana principal y sus menús",
                                         "Importar/Exportar",
                                         "Reticulado",
                                         "Tipos de barras",
                                         "Cálculo Matricial",
                                         "Renumerar",
                                         "NOMBRE.DAT",
                                         "cm⁴",
                                         "«LIBRE»"};
    QTest::newRow("tutor") << "tutor" << QStringList{"Tutorial",       "Estructura > Nueva",
                                                     "listado.txt",    "Listado de VANTO 2",
                                                     "Resultad.res",   "DIAGRAMA.RES",
                                                     "vanto-cli calc", "Grabar y Salir"};
    QTest::newRow("matrici") << "matrici"
                             << QStringList{
                                    "(3α+3β+6αβ)·EIz/L³",
                                    "α(3+β)·EIy/L",
                                    "2αβ·EIy/L",
                                    "αβ·GJ/L",
                                    "0,999999",
                                    "HB = 6·(máx |i − j| + 1)",
                                    "Mi = (1/8 − β/24)·q·L²·α",
                                    "DESEQUIL.RES",
                                    "Detección de mecanismo en el nudo nº: 4, en el Giro Z."};
}

// The documents installed beside the program load as rich text, headed by a
// bold title larger than the body, with their Spanish text intact.
void HelpViewerTest::shippedDocumentsOpenWithTheirHeadings() {
    QFETCH(QString, topic);
    QFETCH(QStringList, mentions);
    vanto::Session session;
    session.programDirectory = QCoreApplication::applicationDirPath().toStdString();
    session.HelpTopic = topic.toStdString();
    vanto::HelpViewer viewer(vanto::HelpViewer::documentPath(session));
    QVERIFY2(viewer.isDocumentLoaded(), qPrintable(topic));

    const QTextDocument* doc = box(viewer)->document();
    const QString text = doc->toPlainText();
    for (const QString& m : mentions)
        QVERIFY2(text.contains(m), qPrintable(m));
    QVERIFY(!text.contains(QChar(QChar::ReplacementCharacter)));
    QVERIFY(text.size() > 8000);  // a few pages

    const QTextCharFormat title = doc->begin().begin().fragment().charFormat();
    QVERIFY(title.fontWeight() >= QFont::Bold);
    QCOMPARE(doc->begin().text(), QStringLiteral("Vanto 2.11"));
    // Some later paragraph is plain body text, smaller than the headings.
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
    QVERIFY(headings >= 6);
    QVERIFY(body > 0 && body < title.fontPointSize());
}

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
