#include "mainwin/lattice_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/files.h"
#include "ui/convert.h"
#include "ui/number_box.h"
#include "ui/qt_surface.h"

namespace vanto {

using ui::qs;

namespace {

QLineEdit* box(QWidget* parent, const char* name, const char* text) {
    auto* edit = new QLineEdit(qs(text), parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("0000000") + 12);
    return edit;
}

}  // namespace

LatticeWindow::LatticeWindow(ui::AppContext& context, QWidget* parent)
    : BusyWindow(context, parent) {
    setWindowTitle(QStringLiteral(" Generar retícula..."));
    auto* layout = new QVBoxLayout(this);

    estr = new QLabel(this);
    estr->setObjectName("estr");
    QFont bold = estr->font();
    bold.setBold(true);
    estr->setFont(bold);
    layout->addWidget(estr);

    Datos = new QGroupBox(QStringLiteral("Datos de cada dirección"), this);
    Datos->setObjectName("Datos");
    auto* grid = new QGridLayout(Datos);
    int column = 1;
    for (const char* axis : {"X", "Y", "Z"}) {
        auto* label = new QLabel(qs(axis), Datos);
        label->setAlignment(Qt::AlignCenter);
        label->setFont(bold);
        grid->addWidget(label, 0, column++);
    }
    Torx = box(Datos, "Torx", "0");
    Tory = box(Datos, "Tory", "0");
    Torz = box(Datos, "Torz", "0");
    Tex = box(Datos, "Tex", "5");
    Tey = box(Datos, "Tey", "6");
    Tez = box(Datos, "Tez", "3");
    Tnx = box(Datos, "Tnx", "3");
    Tny = box(Datos, "Tny", "4");
    Tnz = box(Datos, "Tnz", "5");
    const struct {
        const char* caption;
        QLineEdit *x, *y, *z;
    } rows[] = {
        {"Origen", Torx, Tory, Torz},
        {"Espaciado (m)", Tex, Tey, Tez},
        {"Nº de puntos", Tnx, Tny, Tnz},
    };
    int row = 1;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(qs(r.caption), Datos), row, 0);
        grid->addWidget(r.x, row, 1);
        grid->addWidget(r.y, row, 2);
        grid->addWidget(r.z, row, 3);
        for (auto [edit, axis] : {std::pair{r.x, " X"}, {r.y, " Y"}, {r.z, " Z"}})
            edit->setAccessibleName(qs(r.caption) + QLatin1String(axis));
        ++row;
    }
    layout->addWidget(Datos);

    ChConDat = new QCheckBox(QStringLiteral("Conservar datos actuales"), this);
    ChConDat->setObjectName("ChConDat");
    ChVigPil = new QCheckBox(QStringLiteral("Crear vigas y pilares"), this);
    ChVigPil->setObjectName("ChVigPil");
    ChVigPil->setChecked(true);
    ChVigCim = new QCheckBox(QStringLiteral("Crear vigas cimentación"), this);
    ChVigCim->setObjectName("ChVigCim");
    for (QCheckBox* c : {ChConDat, ChVigPil, ChVigCim})
        layout->addWidget(c);

    Progreso = makeProgressPicture(this, "Progreso");
    QSizePolicy keep = Progreso->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    Progreso->setSizePolicy(keep);
    Progreso->hide();
    layout->addWidget(Progreso);
    Estado = new QLabel(this);
    Estado->setObjectName("Estado");
    Estado->setWordWrap(true);
    layout->addWidget(Estado);

    auto* buttons = new QHBoxLayout;
    Generar = new QPushButton(QStringLiteral("Generar"), this);
    Generar->setObjectName("Generar");
    Generar->setDefault(true);
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    buttons->addStretch();
    buttons->addWidget(Generar);
    buttons->addWidget(Salir);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(Generar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &LatticeWindow::Generar_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &LatticeWindow::Salir_Click));

    estr->setText(qs(context.session().settings.StructureName));
    clearProgress(*Progreso);
}

LatticeWindow::~LatticeWindow() = default;

std::optional<exchange::LatticeOptions> LatticeWindow::options() {
    exchange::LatticeOptions o;
    const std::pair<QLineEdit*, double*> boxes[] = {{Torx, &o.ox}, {Tory, &o.oy}, {Torz, &o.oz},
                                                    {Tex, &o.ex},  {Tey, &o.ey},  {Tez, &o.ez},
                                                    {Tnx, &o.nx},  {Tny, &o.ny},  {Tnz, &o.nz}};
    for (auto [box, value] : boxes) {
        const auto v = ui::numberInBox(context().messages(), box);
        if (!v) return std::nullopt;
        *value = *v;
    }
    o.keepCurrent = ChConDat->isChecked();
    o.createBars = ChVigPil->isChecked();
    o.foundationBeams = ChVigCim->isChecked();
    return o;
}

void LatticeWindow::Generar_Click() {
    const auto read = options();
    if (!read) return;
    const exchange::LatticeOptions& o = *read;
    if (!beginWork({Generar, Salir, Datos, ChConDat, ChVigPil, ChVigCim})) return;
    Estado->clear();
    clearProgress(*Progreso);
    Progreso->show();
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    exchange::Summary summary;
    std::string refusal;
    std::optional<FileError> failure;
    {
        PictureProgress progress(*Progreso, *this);
        try {
            summary = exchange::generateLattice(dir, o, &progress);
        } catch (const exchange::ExchangeError& e) {
            refusal = e.what();
        } catch (const FileError& e) {
            failure = e;
        }
    }
    if (!endWork()) return;
    Progreso->hide();
    clearProgress(*Progreso);
    if (!refusal.empty()) {
        context().messages().show(exchange::WarningTitle, refusal, MessageIcon::Exclamation);
        return;
    }
    if (failure) {
        fileFailure(*failure);
        return;
    }
    if (summary.outcome == exchange::Outcome::NothingWritten)
        context().messages().show(exchange::WarningTitle, exchange::EmptyLatticeText,
                                  MessageIcon::Exclamation);
    if (summary.outcome == exchange::Outcome::Written)
        Estado->setText(QStringLiteral("La estructura tiene ahora %1 nudos y %2 barras.")
                            .arg(summary.nodeCount)
                            .arg(summary.barCount));
}

void LatticeWindow::Salir_Click() {
    close();
}

}  // namespace vanto
