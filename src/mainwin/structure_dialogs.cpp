#include "mainwin/structure_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/convert.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

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
    connect(si, &QPushButton::clicked, this, ui::slot(context_, [this] {
                accepted();
                accept();
            }));
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void StructureDialog::apply(const StructureChange& change) {
    if (!change.message.empty())
        context_.messages().show("Error", change.message, MessageIcon::Critical);
    changed_ = changed_ || change.changed;
    created_ = change.created;
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
    apply(createStructure(work_, ui::utf8(Nuev->text())));
    if (!created_.empty()) context_.session().settings.StructureName = created_;
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
    apply(copyStructure(work_, ui::utf8(NombAct->text()), ui::utf8(Nuev->text())));
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
    apply(deleteStructure(work_, ui::utf8(Borr->text())));
}

}  // namespace vanto
