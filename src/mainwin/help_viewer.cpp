#include "mainwin/help_viewer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

#include "model/files.h"
#include "model/structure.h"
#include "model/textfile.h"
#include "ui/rtf.h"

namespace vanto {

namespace {

QString toQString(const std::filesystem::path& p) {
    return QString::fromStdU16String(p.u16string());
}

// Where the last viewer was closed, so the next opens there.
QRect lastGeometry;

}  // namespace

HelpViewer::HelpViewer(const std::filesystem::path& documentPath, QWidget* parent,
                       std::filesystem::path savePath)
    : QWidget(parent, Qt::Window),
      path_(documentPath),
      shippedPath_(documentPath),
      savePath_(savePath.empty() ? documentPath : std::move(savePath)),
      RichTextBox1(new QTextEdit(this)),
      Save(new QPushButton(QStringLiteral("Guardar"), this)),
      Salir(new QPushButton(QStringLiteral("Salir"), this)) {
    setWindowTitle(QStringLiteral("Instrucciones"));

    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setAcceptRichText(true);
    RichTextBox1->document()->setDefaultFont(QFont(QStringLiteral("Arial"), 11));
    Save->setObjectName(QStringLiteral("Save"));
    Save->setShortcut(QKeySequence::Save);
    Save->setToolTip(QStringLiteral("Guarda el documento con sus cambios (Ctrl+S)"));
    Salir->setObjectName(QStringLiteral("Salir"));
    Salir->setToolTip(QStringLiteral("Cierra las instrucciones"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Save);
    buttons->addWidget(Salir);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichTextBox1, 1);
    layout->addLayout(buttons);

    connect(Save, &QPushButton::clicked, this, &HelpViewer::Save_Click);
    connect(Salir, &QPushButton::clicked, this, &HelpViewer::Salir_Click);
    connect(RichTextBox1->document(), &QTextDocument::modificationChanged, this,
            &HelpViewer::updateSaveButton);

    // A comfortable reading size, never larger than the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(860, available.width() * 9 / 10), std::min(720, available.height() * 85 / 100));

    load();
}

std::filesystem::path HelpViewer::editedPath(const Session& session) {
    if (session.settingsDirectory.empty()) return {};
    return session.settingsDirectory / "ayuda" / (session.HelpTopic + ".rtf");
}

std::filesystem::path HelpViewer::documentPath(const Session& session) {
    const std::filesystem::path edited = editedPath(session);
    std::error_code ec;
    if (!edited.empty() && std::filesystem::is_regular_file(edited, ec)) return edited;
    return findFile(session.programDirectory, session.HelpTopic + ".rtf");
}

HelpViewer* HelpViewer::open(const Session& session, QWidget* parent) {
    const std::filesystem::path path = documentPath(session);
    const std::filesystem::path edited = editedPath(session);
    const std::filesystem::path savePath = edited.empty() ? path : edited;
    if (parent) {
        for (HelpViewer* v :
             parent->findChildren<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (v->savePath_ != savePath || !v->isVisible()) continue;
            v->raise();
            v->activateWindow();
            return v;
        }
    }
    auto* viewer = new HelpViewer(path, parent, savePath);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    if (lastGeometry.isValid()) {
        viewer->setGeometry(lastGeometry);
    } else if (parent) {
        // Over the window it was asked from, where the eye already is.
        QRect frame = viewer->frameGeometry();
        frame.moveCenter(parent->window()->frameGeometry().center());
        viewer->move(frame.topLeft());
    }
    viewer->show();
    return viewer;
}

void HelpViewer::load() {
    const QString name = toQString(path_.filename());
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        showProblem(QStringLiteral("No se encuentra el documento de ayuda «%1».\n\n"
                                   "Debería estar en el directorio del programa:\n%2\n\n"
                                   "Vuelva a instalar el programa o copie el documento en ese "
                                   "directorio.")
                        .arg(name, toQString(path_.parent_path())));
        return;
    }
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    if (!in || std::filesystem::is_directory(path_, ec)) {
        showProblem(QStringLiteral("No se puede leer el documento de ayuda «%1»:\n%2\n\n"
                                   "Compruebe que es un fichero y que tiene permiso para leerlo.")
                        .arg(name, toQString(path_)));
        return;
    }

    const std::string content = bytes.str();
    QTextDocument* doc = RichTextBox1->document();
    if (!rtf::read(QByteArray::fromStdString(content), *doc)) {
        // Not rich text: show it as the plain text it is.
        doc->setPlainText(QString::fromStdString(decodeText(content)));
    }
    doc->setModified(false);
    RichTextBox1->setReadOnly(false);
    RichTextBox1->moveCursor(QTextCursor::Start);
    loaded_ = true;
    updateSaveButton();
}

void HelpViewer::showProblem(const QString& text) {
    RichTextBox1->setPlainText(text);
    RichTextBox1->setReadOnly(true);
    RichTextBox1->document()->setModified(false);
    loaded_ = false;
    updateSaveButton();
}

void HelpViewer::updateSaveButton() {
    Save->setEnabled(loaded_ && RichTextBox1->document()->isModified());
}

bool HelpViewer::Save_Click() {
    if (!loaded_) return false;
    const QByteArray bytes = rtf::write(*RichTextBox1->document());
    try {
        // The folder of the user's edits appears with the first one.
        if (savePath_ != shippedPath_) std::filesystem::create_directories(savePath_.parent_path());
        writeFileAtomically(savePath_,
                            std::string_view(bytes.constData(), std::size_t(bytes.size())));
    } catch (const std::exception&) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                        QStringLiteral("No se ha podido guardar el documento de ayuda:\n%1\n\n"
                                       "Compruebe que tiene permiso para escribir en ese "
                                       "directorio. El texto sigue en la ventana.")
                            .arg(toQString(savePath_)),
                        QMessageBox::NoButton, this);
        box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        box.exec();
        return false;
    }
    RichTextBox1->document()->setModified(false);
    path_ = savePath_;
    return true;
}

void HelpViewer::Salir_Click() {
    close();
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Salir_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpViewer::closeEvent(QCloseEvent* event) {
    if (!loaded_ || !RichTextBox1->document()->isModified()) {
        lastGeometry = geometry();
        event->accept();
        return;
    }
    QMessageBox ask(QMessageBox::Question, QStringLiteral("¡ Aviso !"),
                    QStringLiteral("El documento de ayuda tiene cambios sin guardar.\n"
                                   "¿Desea guardarlos antes de cerrar?"),
                    QMessageBox::NoButton, this);
    QPushButton* save = ask.addButton(QStringLiteral("Guardar"), QMessageBox::AcceptRole);
    QPushButton* discard =
        ask.addButton(QStringLiteral("No guardar"), QMessageBox::DestructiveRole);
    QPushButton* cancel = ask.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    ask.setDefaultButton(save);
    ask.setEscapeButton(cancel);
    ask.exec();
    if (ask.clickedButton() == discard || (ask.clickedButton() == save && Save_Click())) {
        lastGeometry = geometry();
        event->accept();
        return;
    }
    event->ignore();
}

}  // namespace vanto
