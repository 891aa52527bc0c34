#include "mainwin/listing_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwin/text_print.h"
#include "model/files.h"
#include "model/textfile.h"
#include "reports/listing.h"
#include "ui/convert.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

const Font ScreenFont{"Courier New", 10, false};
const Font PrintFont{"Courier New", 9, false};

QString forDisplay(const std::string& text) {
    return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string forFile(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ui::utf8(t);
}

}  // namespace

ListingWindow::ListingWindow(ui::AppContext& context, QWidget* parent)
    : ModuleWindow(context, parent) {
    auto* layout = new QVBoxLayout(this);
    Texto = new QPlainTextEdit(this);
    Texto->setObjectName("Texto");
    Texto->setFont(ui::qfont(ScreenFont));
    Texto->setLineWrapMode(QPlainTextEdit::NoWrap);
    Texto->setToolTip(QStringLiteral(
        "Puede editar aquí la estructura, si luego guardar las modificaciones e importa este "
        "Listado.txt"));
    layout->addWidget(Texto, 1);

    auto* buttons = new QHBoxLayout;
    Listar = new QPushButton(QStringLiteral("Listar"), this);
    Listar->setObjectName("Listar");
    Listar->setToolTip(QStringLiteral("Vuelva a generar el listado"));
    Guardar = new QPushButton(QStringLiteral("Guardar"), this);
    Guardar->setObjectName("Guardar");
    Guardar->setToolTip(QStringLiteral("Guarda las modificaciones"));
    Imprimir = new QPushButton(QStringLiteral("Imprimir"), this);
    Imprimir->setObjectName("Imprimir");
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    for (QPushButton* b : {Listar, Guardar, Imprimir, Salir})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(Listar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ListingWindow::Listar_Click));
    connect(Guardar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ListingWindow::Guardar_Click));
    connect(Imprimir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ListingWindow::Imprimir_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ListingWindow::Salir_Click));
    connect(Texto, &QPlainTextEdit::textChanged, this, ui::slot(this->context(), [this] {
                if (!settingText_) Guardar->setEnabled(true);
            }));

    setWindowTitle(qs(context.session().settings.StructureDirectory).toUpper());
    resize(820, 640);
    pleaseWait();
    loadListing();
}

void ListingWindow::setText(const QString& text) {
    settingText_ = true;
    Texto->setPlainText(text);
    settingText_ = false;
    Guardar->setEnabled(false);
}

void ListingWindow::pleaseWait() {
    setText(QStringLiteral("Un momento por favor..."));
    if (isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ListingWindow::loadListing() {
    const fs::path dir = context().session().settings.StructureDirectory;
    const fs::path path = findFile(dir, reports::DataListingName);
    std::error_code ec;
    const auto text = fs::is_regular_file(path, ec) ? readTextFile(path) : std::nullopt;
    if (!text) {
        setText(QStringLiteral("Todavía no existe ningún listado."));
        return;
    }
    setText(forDisplay(*text));
}

void ListingWindow::Listar_Click() {
    if (Guardar->isEnabled() &&
        context().messages().show("¡ Aviso !",
                                  "El listado tiene modificaciones sin guardar.\n"
                                  "¿ Desea generarlo de nuevo y perderlas ?",
                                  MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    const fs::path dir = context().session().settings.StructureDirectory;
    StructureCounts counts;
    DiscoX::Status status = DiscoX::Status::Missing;
    if (!ui::guarded(context(), [&] { status = DiscoX::readDatos(dir, counts); })) return;
    if (status == DiscoX::Status::Missing) {
        // Nothing to list: the window closes.
        context().messages().show("¡ Aviso !", "La estructura no tiene los datos básicos.",
                                  MessageIcon::Exclamation);
        setText(QString());
        close();
        return;
    }
    pleaseWait();
    if (!ui::guarded(context(), [&] { reports::writeDataListing(dir, context().clock()); })) return;
    loadListing();
}

bool ListingWindow::Guardar_Click() {
    const fs::path dir = context().session().settings.StructureDirectory;
    try {
        replaceFile(dir, reports::DataListingName, forFile(Texto->toPlainText()));
    } catch (const FileError& e) {
        // The edits stay in the box; the user can try again.
        context().messages().show("Error", e.message(), MessageIcon::Critical);
        return false;
    }
    Guardar->setEnabled(false);
    return true;
}

void ListingWindow::Imprimir_Click() {
    const fs::path dir = context().session().settings.StructureDirectory;
    auto printer = context().openPrinter(dir, "listado");
    printText(*printer, forFile(Texto->toPlainText()), PrintFont);
}

void ListingWindow::Salir_Click() {
    close();
}

void ListingWindow::closeEvent(QCloseEvent* event) {
    if (Guardar->isEnabled() && !context().ending()) {
        const MessageAnswer answer = context().messages().show(
            "¡ Aviso !", "¿ Desea guardar las modificaciones del listado ?", MessageIcon::Question,
            MessageButtons::YesNoCancel);
        // Cancel, or a save that failed, keeps the window and the edits.
        if (answer == MessageAnswer::Cancel || (answer == MessageAnswer::Yes && !Guardar_Click())) {
            event->ignore();
            return;
        }
    }
    ModuleWindow::closeEvent(event);
}

}  // namespace vanto
