#include "mainwin/renumber_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/files.h"
#include "model/helpers.h"
#include "ui/convert.h"
#include "ui/number_box.h"
#include "ui/qt_surface.h"

namespace vanto {

using ui::qs;

namespace {

constexpr const char* WarningTitle = "¡ Aviso !";

QLabel* boldLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

RenumberWindow::RenumberWindow(ui::AppContext& context, QWidget* parent)
    : BusyWindow(context, parent) {
    setWindowTitle(QStringLiteral("Renumeración de la estructura ..."));
    auto* layout = new QVBoxLayout(this);

    Renum = boldLabel(this);
    Renum->setObjectName("Renum");
    Renum->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Renum->setWordWrap(true);
    layout->addWidget(Renum);

    auto* frames = new QHBoxLayout;
    // A blank title keeps it level with Frame2.
    Frame1 = new QGroupBox(QStringLiteral(" "), this);
    Frame1->setObjectName("Frame1");
    auto* f1 = new QHBoxLayout(Frame1);
    f1->addWidget(new QLabel(QStringLiteral("Ancho de banda inicial:"), Frame1));
    AnchoBanda = boldLabel(Frame1);
    AnchoBanda->setObjectName("AnchoBanda");
    AnchoBanda->setMinimumWidth(AnchoBanda->fontMetrics().horizontalAdvance("00000000"));
    f1->addWidget(AnchoBanda, 1);
    frames->addWidget(Frame1, 1);

    Frame2 = new QGroupBox(QStringLiteral("Datos renumeración"), this);
    Frame2->setObjectName("Frame2");
    auto* f2 = new QGridLayout(Frame2);
    f2->addWidget(new QLabel(QStringLiteral("Nudo:"), Frame2), 0, 0);
    NuevoNudo = boldLabel(Frame2);
    NuevoNudo->setObjectName("NuevoNudo");
    f2->addWidget(NuevoNudo, 0, 1);
    f2->addWidget(new QLabel(QStringLiteral("Ancho Banda:"), Frame2), 1, 0);
    NuevoAncho = boldLabel(Frame2);
    NuevoAncho->setObjectName("NuevoAncho");
    NuevoAncho->setMinimumWidth(NuevoAncho->fontMetrics().horizontalAdvance("00000000"));
    f2->addWidget(NuevoAncho, 1, 1);
    f2->setColumnStretch(1, 1);
    frames->addWidget(Frame2, 1);
    layout->addLayout(frames);

    auto* one = new QHBoxLayout;
    UnNudo = new QRadioButton(QStringLiteral("Efectuar un estudio a partir del nudo:"), this);
    UnNudo->setObjectName("UnNudo");
    nudonumero = new QLineEdit(QStringLiteral("1"), this);
    nudonumero->setObjectName("nudonumero");
    nudonumero->setAccessibleName(QStringLiteral("Nudo de partida"));
    nudonumero->setMaximumWidth(nudonumero->fontMetrics().horizontalAdvance("0000000000") + 12);
    one->addWidget(UnNudo);
    one->addWidget(nudonumero);
    one->addStretch();
    layout->addLayout(one);
    Completo =
        new QRadioButton(QStringLiteral("Efectuar un estudio completo de todos los puntos"), this);
    Completo->setObjectName("Completo");
    layout->addWidget(Completo);
    UnNudo->setChecked(true);

    barra = makeProgressPicture(this, "barra");
    layout->addWidget(barra);

    Comentarios = new QLabel(this);
    Comentarios->setObjectName("Comentarios");
    Comentarios->setWordWrap(true);
    Comentarios->setMinimumHeight(Comentarios->fontMetrics().lineSpacing() * 3);
    Comentarios->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Comentarios->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(Comentarios, 1);

    auto* buttons = new QHBoxLayout;
    Comienza = new QPushButton(QStringLiteral("Comenzar"), this);
    Comienza->setObjectName("Comienza");
    Comienza->setDefault(true);
    GrabaSale = new QPushButton(QStringLiteral("Grabar y Salir"), this);
    GrabaSale->setObjectName("GrabaSale");
    GrabaSale->setEnabled(false);
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    buttons->addStretch();
    buttons->addWidget(Comienza);
    buttons->addWidget(GrabaSale);
    buttons->addWidget(Salir);
    layout->addLayout(buttons);

    connect(Comienza, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &RenumberWindow::Comienza_Click));
    connect(GrabaSale, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &RenumberWindow::GrabaSale_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &RenumberWindow::Salir_Click));
    connect(UnNudo, &QRadioButton::toggled, nudonumero, &QLineEdit::setEnabled);
    connect(nudonumero, &QLineEdit::returnPressed, this,
            ui::slot(this->context(), this, &RenumberWindow::Comienza_Click));

    Form_Load();
    resize(560, 340);
}

RenumberWindow::~RenumberWindow() = default;

void RenumberWindow::Form_Load() {
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    Renum->setText(qs(dir.string()));
    clearProgress(*barra);
    try {
        renumbering_.emplace(renumber::LeeDatos(dir));
    } catch (const renumber::RenumberError& e) {
        Comienza->setEnabled(false);
        closeSoon(WarningTitle, e.what());
        return;
    } catch (const FileError& e) {
        Comienza->setEnabled(false);
        // A structure still without data has nothing to renumber; that is no
        // reason to end the program.
        if (e.kind() == FileError::Kind::Missing && !fileExists(dir, "DATOS.DAT")) {
            closeSoon(WarningTitle, "La estructura no tiene los datos básicos.");
            return;
        }
        context().fatal(e);
        return;
    }
    AnchoBanda->setText(QString::number(renumbering_->InitialWidth()));
    showBest();
}

void RenumberWindow::showBest() {
    if (!renumbering_ || renumbering_->BestStart() == 0) {
        NuevoNudo->clear();
        NuevoAncho->clear();
        return;
    }
    NuevoNudo->setText(QString::number(renumbering_->BestStart()));
    NuevoAncho->setText(QString::number(renumbering_->BestWidth()));
}

void RenumberWindow::Comienza_Click() {
    if (!renumbering_ || running()) return;
    const bool complete = Completo->isChecked();
    int start = 0;
    if (!complete) {
        const auto typed = ui::numberInBox(context().messages(), nudonumero);
        if (!typed) return;
        const auto parsed =
            renumber::parseStartNode(writtenValue(*typed), renumbering_->data().nodeCount);
        if (const auto* message = std::get_if<std::string>(&parsed)) {
            context().messages().show(WarningTitle, *message, MessageIcon::Exclamation);
            nudonumero->setFocus();
            nudonumero->selectAll();
            return;
        }
        const auto node = std::get<renumber::StartNode>(parsed);
        start = node.node;
        if (node.clamped) nudonumero->setText(QString::number(start));
    }
    if (!beginWork({Comienza, GrabaSale, Salir, UnNudo, Completo, nudonumero})) return;
    GrabaSale->setEnabled(false);
    Comentarios->clear();
    clearProgress(*barra);

    PictureProgress progress(*barra, *this);
    progress.onShow = [this](int, long long, long long) { showBest(); };
    const renumber::StudyResult result =
        complete ? renumbering_->studyAll(&progress) : renumbering_->studyFrom(start, &progress);
    showBest();
    if (!endWork()) return;

    GrabaSale->setEnabled(renumbering_->canSave());
    if (result.outcome == renumber::StudyOutcome::NotConnected) {
        context().messages().show(WarningTitle, renumber::NotConnectedMessage,
                                  MessageIcon::Exclamation);
        close();
        return;
    }
    Comentarios->setText(qs(result.comment));
}

void RenumberWindow::GrabaSale_Click() {
    if (!renumbering_ || running() || !renumbering_->canSave()) return;
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    try {
        renumbering_->GrabaDatos(dir);
    } catch (const FileError& e) {
        fileFailure(e);
        return;
    }
    close();
}

void RenumberWindow::Salir_Click() {
    close();
}

}  // namespace vanto
