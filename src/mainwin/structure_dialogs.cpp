#include "mainwin/structure_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>
#include <vector>

#include "model/helpers.h"
#include "ui/convert.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

std::string trimmed(const QString& text) {
    return ui::utf8(text.trimmed());
}

QLabel* directoryLabel(const fs::path& work, QWidget* parent) {
    auto* label = new QLabel(ui::qpath(work), parent);
    label->setObjectName("Directorio");
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMargin(3);
    label->setWordWrap(true);
    return label;
}

}  // namespace

StructureDialog::StructureDialog(ui::AppContext& context, const fs::path& workDirectory,
                                 const QString& caption, QWidget* parent)
    : QDialog(parent), context_(context), work_(workDirectory) {
    setWindowTitle(caption);
    setModal(true);
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(directoryLabel(work_, this));
    setMinimumWidth(420);
}

void StructureDialog::addButtons() {
    si = new QPushButton(QStringLiteral("Aceptar"), this);
    si->setObjectName("si");
    si->setDefault(true);
    cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelar->setObjectName("cancelar");
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(si);
    row->addWidget(cancelar);
    layout_->addLayout(row);
    connect(si, &QPushButton::clicked, this, [this] {
        accepted();
        accept();
    });
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void StructureDialog::error(const std::string& text) {
    context_.messages().show("Error", text, MessageIcon::Critical);
}

bool StructureDialog::usableName(const std::string& name) {
    if (name.find('/') == std::string::npos && name.find('\0') == std::string::npos) return true;
    error("El nombre de una estructura no puede contener el carácter \"/\".");
    return false;
}

fs::path StructureDialog::target(const std::string& name) const {
    return fs::path(WithBackslash(work_.string()) + "-" + name);
}

// ---------------------------------------------------------------------------

NewStructureDialog::NewStructureDialog(ui::AppContext& context, const fs::path& workDirectory,
                                       QWidget* parent)
    : StructureDialog(context, workDirectory, QStringLiteral("Nueva estructura"), parent) {
    auto* form = new QFormLayout;
    Nuev = new QLineEdit(QStringLiteral("NoNombre"), this);
    Nuev->setObjectName("Nuev");
    Nuev->selectAll();
    form->addRow(QStringLiteral("Nombre:"), Nuev);
    layout_->addLayout(form);
    addButtons();
    Nuev->setFocus();
}

void NewStructureDialog::accepted() {
    const std::string name = trimmed(Nuev->text());
    if (name.empty() || !usableName(name)) return;
    const fs::path dir = target(name);
    std::error_code ec;
    if (fs::exists(dir, ec)) {
        error("Ese trabajo ya existe en el directorio actual");
        return;
    }
    if (!fs::create_directory(dir, ec) || ec) {
        error("No se pudo crear el directorio: " + dir.string());
        return;
    }
    context_.session().settings.StructureName = name;
    created_ = name;
    changed_ = true;
}

// ---------------------------------------------------------------------------

CopyStructureDialog::CopyStructureDialog(ui::AppContext& context, const fs::path& workDirectory,
                                         const std::string& selected, QWidget* parent)
    : StructureDialog(context, workDirectory, QStringLiteral("Copiar estructura"), parent) {
    auto* form = new QFormLayout;
    NombAct = new QLineEdit(qs(selected), this);
    NombAct->setObjectName("NombAct");
    Nuev = new QLineEdit(qs(selected), this);
    Nuev->setObjectName("Nuev");
    Nuev->selectAll();
    form->addRow(QStringLiteral("Estructura a copiar:"), NombAct);
    form->addRow(QStringLiteral("Nombre de la copia:"), Nuev);
    layout_->addLayout(form);
    addButtons();
    Nuev->setFocus();
}

void CopyStructureDialog::accepted() {
    const std::string source = trimmed(NombAct->text());
    const std::string copy = trimmed(Nuev->text());
    if (source.empty() || copy.empty()) return;
    if (!usableName(source) || !usableName(copy)) return;
    const fs::path from = target(source);
    const fs::path to = target(copy);
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        error("No encuentro la estructura a copiar en el directorio actual");
        return;
    }
    if (fs::exists(to, ec)) {
        error("El nombre de la copia ya existe en el directorio actual, debe borrarla primero.");
        return;
    }
    if (!fs::create_directory(to, ec) || ec) {
        error("No se pudo crear el directorio: " + to.string());
        return;
    }
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        fs::copy_file(it->path(), to / it->path().filename(), fileEc);
        if (fileEc) {
            ec = fileEc;
            break;
        }
    }
    if (ec) {
        // Half a copy is worse than none.
        std::error_code ignored;
        fs::remove_all(to, ignored);
        error("No se pudo copiar la estructura en: " + to.string());
        return;
    }
    created_ = copy;
    changed_ = true;
}

// ---------------------------------------------------------------------------

DeleteStructureDialog::DeleteStructureDialog(ui::AppContext& context, const fs::path& workDirectory,
                                             const std::string& selected, QWidget* parent)
    : StructureDialog(context, workDirectory, QStringLiteral("Borrar estructura"), parent) {
    layout_->addWidget(
        new QLabel(QStringLiteral("¿ Seguro que desea borrar la estructura siguiente ?"), this));
    Borr = new QLabel(qs(selected), this);
    Borr->setObjectName("Borr");
    QFont bold = Borr->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Borr->setFont(bold);
    Borr->setAlignment(Qt::AlignCenter);
    layout_->addWidget(Borr);
    addButtons();
    // Deleting is the one step that cannot be undone: Enter does not confirm it.
    si->setDefault(false);
    cancelar->setDefault(true);
    cancelar->setFocus();
}

void DeleteStructureDialog::accepted() {
    const std::string name = trimmed(Borr->text());
    if (!usableName(name)) return;
    const fs::path dir = target(name);
    std::error_code ec;
    if (name.empty() || !fs::is_directory(dir, ec)) {
        error("Este trabajo no existe: " + dir.string());
        return;
    }
    // Look before deleting anything: a structure holding other directories is
    // not the program's to remove.
    std::vector<fs::path> files;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc) && !it->is_symlink(typeEc)) {
            error("No se puede borrar la estructura: contiene otros directorios.\n" + dir.string());
            return;
        }
        files.push_back(it->path());
    }
    if (!ec)
        for (const fs::path& f : files) {
            fs::remove(f, ec);
            if (ec) break;
        }
    if (!ec) fs::remove(dir, ec);
    if (ec) {
        error("No se pudo borrar la estructura: " + dir.string());
        changed_ = true;  // some files may be gone: list it again
        return;
    }
    changed_ = true;
}

}  // namespace vanto
