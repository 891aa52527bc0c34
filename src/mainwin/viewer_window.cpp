#include "mainwin/viewer_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

#include "mainwin/picture_window.h"
#include "model/files.h"
#include "model/structure_data.h"
#include "ui/convert.h"
#include "ui/input.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

// A box of "+" and "-" buttons, one row per caption; `place` names and keeps
// the button of each row and sign (0 "+", 1 "-").
QGroupBox* buttonBox(const QString& title, const QStringList& rows,
                     const std::function<void(int row, int sign, QPushButton*)>& place,
                     QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    for (int r = 0; r < rows.size(); ++r) {
        grid->addWidget(new QLabel(rows[r], box), r, 0);
        for (int sign = 0; sign < 2; ++sign) {
            auto* b = new QPushButton(sign == 0 ? QStringLiteral("+") : QStringLiteral("-"), box);
            b->setAutoRepeat(true);  // held down, the figure keeps turning
            b->setFixedWidth(40);
            place(r, sign, b);
            grid->addWidget(b, r, 1 + sign);
        }
    }
    return box;
}

// Buttons 1..3 are "+" about or along axes 1..3, 4..6 their "-".
std::function<void(int, int, QPushButton*)> axisButtons(std::array<QPushButton*, 7>& buttons,
                                                        const char* name) {
    return [&buttons, name](int row, int sign, QPushButton* b) {
        const int index = row + 1 + 3 * sign;
        b->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(index));
        buttons[std::size_t(index)] = b;
    };
}

void paintSwatch(QFrame* swatch, Colour colour) {
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, ui::qcolour(colour));
    swatch->setPalette(p);
}

QScrollBar* colourScroll(const char* name, const QString& colour, QWidget* parent) {
    auto* s = new QScrollBar(Qt::Vertical, parent);
    s->setObjectName(name);
    s->setRange(-viewer::ScrollLimit, viewer::ScrollLimit);
    s->setPageStep(viewer::ScrollLargeStep);
    s->setToolTip(QStringLiteral("Tono del %1 de la vista Cónica 3D:\n"
                                 "hacia arriba más claro, hacia abajo más oscuro")
                      .arg(colour));
    s->setMinimumHeight(120);
    return s;
}

QCheckBox* checkBox(const char* name, const QString& caption, const QString& tip, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

QFrame* swatch(const char* name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    f->setFixedSize(28, 20);
    return f;
}

}  // namespace

Visor3D::Visor3D(ui::AppContext& context, QWidget* parent) : ModuleWindow(context, parent) {
    setWindowTitle(qs(" Visor 3D  [" + context.session().settings.StructureDirectory + "]"));
    setHelpTopic("visor");
    auto* layout = new QHBoxLayout(this);

    Dib = new ui::PictureBox(this);
    Dib->setObjectName("Dib");
    Dib->setBackgroundColour(viewer::Background);
    Dib->setMinimumSize(320, 240);
    Dib->installEventFilter(this);
    layout->addWidget(Dib, 1);

    layout->addLayout(controlPanel());
    connectControls();

    resize(1000, 700);
    Form_Load();
}

Visor3D::~Visor3D() = default;

QVBoxLayout* Visor3D::controlPanel() {
    auto* panel = new QVBoxLayout;
    const QStringList axes{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    Girar = buttonBox(QStringLiteral("Girar la figura"), axes, axisButtons(Giro, "Giro"), this);
    Mover = buttonBox(QStringLiteral("Mover la figura"), axes, axisButtons(Desp, "Desp"), this);
    Zoom = buttonBox(
        QStringLiteral("Zoom y distancia"), {QStringLiteral("Distancia"), QStringLiteral("Ángulo")},
        [this](int row, int sign, QPushButton* b) {
            b->setObjectName(QStringLiteral("%1%2")
                                 .arg(QLatin1String(row == 0 ? "DistObs" : "Angulo"))
                                 .arg(sign + 1));
            (row == 0 ? DistObs : Angulo)[std::size_t(sign + 1)] = b;
        },
        this);
    Girar->setToolTip(
        QStringLiteral("Gira la figura alrededor de los ejes de la pantalla:\n"
                       "X horizontal, Y vertical, Z hacia el observador"));
    Mover->setToolTip(
        QStringLiteral("Mueve la figura a lo largo de los ejes de la pantalla:\n"
                       "X a la derecha, Y hacia arriba, Z hacia el observador"));
    Zoom->setToolTip(
        QStringLiteral("Distancia: + aleja al observador, - lo acerca\n"
                       "(más lejos, la figura se ve menor y con menos perspectiva).\n"
                       "Ángulo: + abre el ángulo de visión (figura menor),\n"
                       "- lo cierra (figura mayor)."));
    Encuadrar = new QPushButton(QStringLiteral("Encuadrar"), this);
    Encuadrar->setObjectName("Encuadrar");
    Encuadrar->setToolTip(
        QStringLiteral("Centra la figura y la muestra entera en el dibujo,\n"
                       "sin deshacer los giros"));
    panel->addWidget(Girar);
    panel->addWidget(Mover);
    panel->addWidget(Zoom);
    panel->addWidget(Encuadrar);

    Conica3D = checkBox("Conica3D", QStringLiteral("Cónica 3D"),
                        QStringLiteral("Anaglifo: dibuja la figura dos veces, en rojo y en azul,\n"
                                       "para verla en relieve con gafas de 2 colores"),
                        this);
    Vertipos = checkBox("Vertipos", QStringLiteral("Ver Tipos"),
                        QStringLiteral("Dibuja cada tipo de barra en un color\n"
                                       "(no en la vista Cónica 3D)"),
                        this);
    Amplitud = checkBox("Amplitud", QStringLiteral("+Amplitud"),
                        QStringLiteral("Paso de los botones.\n"
                                       "Marcado: giros de 15°, movimientos de 1,5 m,\n"
                                       "distancia y ángulo en 1/15.\n"
                                       "Sin marcar: giros de 1°, movimientos de 0,1 m;\n"
                                       "Distancia + duplica la distancia,\n"
                                       "Ángulo - amplía la figura al doble."),
                        this);
    panel->addWidget(Conica3D);
    panel->addWidget(Vertipos);
    panel->addWidget(Amplitud);

    auto* colours = new QGridLayout;
    ShapeR = swatch("ShapeR", this);
    ShapeB = swatch("ShapeB", this);
    VScrollR = colourScroll("VScrollR", QStringLiteral("rojo"), this);
    VScrollB = colourScroll("VScrollB", QStringLiteral("azul"), this);
    colours->addWidget(ShapeR, 0, 0, Qt::AlignHCenter);
    colours->addWidget(ShapeB, 0, 1, Qt::AlignHCenter);
    colours->addWidget(VScrollR, 1, 0, Qt::AlignHCenter);
    colours->addWidget(VScrollB, 1, 1, Qt::AlignHCenter);
    panel->addLayout(colours);
    panel->addStretch();
    return panel;
}

void Visor3D::connectControls() {
    for (int i = 1; i <= 6; ++i) {
        connect(Giro[std::size_t(i)], &QPushButton::clicked, this,
                ui::slot(this->context(), [this, i] { Giro_Click(i); }));
        connect(Desp[std::size_t(i)], &QPushButton::clicked, this,
                ui::slot(this->context(), [this, i] { Desp_Click(i); }));
    }
    for (int i = 1; i <= 2; ++i) {
        connect(DistObs[std::size_t(i)], &QPushButton::clicked, this,
                ui::slot(this->context(), [this, i] { DistObs_Click(i); }));
        connect(Angulo[std::size_t(i)], &QPushButton::clicked, this,
                ui::slot(this->context(), [this, i] { Angulo_Click(i); }));
    }
    connect(Encuadrar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &Visor3D::Encuadrar_Click));
    connect(Conica3D, &QCheckBox::clicked, this,
            ui::slot(this->context(), this, &Visor3D::Conica3D_Click));
    connect(Vertipos, &QCheckBox::clicked, this,
            ui::slot(this->context(), this, &Visor3D::Vertipos_Click));
    connect(Amplitud, &QCheckBox::clicked, this,
            ui::slot(this->context(), this, &Visor3D::Amplitud_Click));
    connect(VScrollR, &QScrollBar::valueChanged, this,
            ui::slot(this->context(), this, &Visor3D::VScrollR_Change));
    connect(VScrollB, &QScrollBar::valueChanged, this,
            ui::slot(this->context(), this, &Visor3D::VScrollB_Change));
    connect(Dib, &ui::PictureBox::resized, this,
            ui::slot(this->context(), this, &Visor3D::Form_Resize));
    connect(Dib, &ui::PictureBox::mouseDown, this,
            ui::slot(this->context(), [this](const PointerEvent& e) { visor_.press(e); }));
    connect(Dib, &ui::PictureBox::mouseMove, this,
            ui::slot(this->context(), [this](const PointerEvent& e) {
                if (visor_.drag(e)) redraw();
            }));
}

void Visor3D::Form_Load() {
    const Session& session = context().session();
    const fs::path dir = session.settings.StructureDirectory;
    // A structure still without data shows an empty picture.
    if (!ui::guarded(context(), [&] {
            if (fileExists(dir, "DATOS.DAT"))
                visor_.load(loadStructure<float>(dir, part::Geometry));
        }))
        return;
    visor_.step = viewer::Visor::LargeStep;
    Amplitud->setChecked(true);
    Conica3D->setChecked(false);
    Vertipos->setChecked(false);
    // A missing, unreadable or malformed file starts both colours at 0; the
    // file is written afresh on closing.
    const auto colours = viewer::readColours(session.settingsDirectory);
    VScrollR->setValue(colours ? colours->red : 0);
    VScrollB->setValue(colours ? colours->blue : 0);
    VScrollR_Change();
    VScrollB_Change();
    if (session.settings.ChildWindowState == 2) setWindowState(Qt::WindowMaximized);
    Form_Resize();
}

void Visor3D::Form_Resize() {
    const Surface& s = Dib->surface();
    visor_.reset(float(s.scaleWidth()), float(s.scaleHeight()));
    redraw();
}

void Visor3D::redraw() {
    visor_.project();
    visor_.draw(Dib->surface());
}

void Visor3D::Giro_Click(int index) {
    visor_.Giro(index);
    redraw();
}

void Visor3D::Desp_Click(int index) {
    visor_.Desp(index);
    redraw();
}

void Visor3D::DistObs_Click(int index) {
    if (visor_.DistObs(index)) redraw();
}

void Visor3D::Angulo_Click(int index) {
    if (visor_.Angulo(index)) redraw();
}

void Visor3D::Encuadrar_Click() {
    visor_.fitToPicture();
    redraw();
}

void Visor3D::Conica3D_Click() {
    visor_.anaglyph = Conica3D->isChecked();
    redraw();
}

void Visor3D::Vertipos_Click() {
    visor_.colourByType = Vertipos->isChecked();
    visor_.draw(Dib->surface());
}

void Visor3D::Amplitud_Click() {
    visor_.step = Amplitud->isChecked() ? viewer::Visor::LargeStep : viewer::Visor::SmallStep;
}

// The figure takes the new colour at its next drawing.
void Visor3D::VScrollR_Change() {
    visor_.red = viewer::redSwatch(VScrollR->value());
    paintSwatch(ShapeR, visor_.red);
}

void Visor3D::VScrollB_Change() {
    visor_.blue = viewer::blueSwatch(VScrollB->value());
    paintSwatch(ShapeB, visor_.blue);
}

bool Visor3D::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Dib && event->type() == QEvent::Wheel) {
        const PointerEvent e =
            ui::pointerEvent(*static_cast<QWheelEvent*>(event), Dib->qtSurface());
        if (visor_.wheel(e)) redraw();
        return true;
    }
    return ModuleWindow::eventFilter(watched, event);
}

void Visor3D::closeEvent(QCloseEvent* event) {
    Form_Unload();
    ModuleWindow::closeEvent(event);
}

void Visor3D::Form_Unload() {
    Session& session = context().session();
    try {
        viewer::writeColours(session.settingsDirectory, {VScrollR->value(), VScrollB->value()});
    } catch (const FileError& e) {
        // Only the colours are lost; the window closes all the same.
        context().messages().show("¡ Aviso !", e.message(), MessageIcon::Exclamation);
    }
    session.settings.ChildWindowState = windowStateOf(*this);
}

}  // namespace vanto
