#include "mainwin/editor_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "editor/angle_picture.h"
#include "editor/printing.h"
#include "editor/save.h"
#include "mainwin/combinations_window.h"
#include "mainwin/picture_window.h"
#include "model/files.h"
#include "ui/convert.h"

namespace vanto {

using editor::Mode;
using editor::NodeGroup;
using ui::qs;

namespace {

constexpr const char* WarningTitle = "¡ Aviso !";
constexpr const char* LeaveText =
    "Va a salir sin guardar los cambios\nefectuados hasta ahora.\n¿Es esto lo que desea hacer?";
constexpr const char* SurfaceHint =
    "Botón derecho: pinchar en nudo y arrastrar para poner/quitar barras";
const QString MissingNodeStyle =
    QStringLiteral("QLineEdit { background-color: rgb(255, 128, 128); color: black; }");

QLineEdit* field(QWidget* parent, const QString& name, const char* hint = nullptr) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-00000.000") + 10);
    if (hint) edit->setToolTip(qs(hint));
    return edit;
}

QString background(int r, int g, int b) {
    return QStringLiteral("QLineEdit { background-color: rgb(%1, %2, %3); color: black; }")
        .arg(r)
        .arg(g)
        .arg(b);
}

}  // namespace

EditorWindow::EditorWindow(ui::AppContext& context, QWidget* parent)
    : ModuleWindow(context, parent) {
    const SessionSettings& s = context.session().settings;
    setWindowTitle(qs("Editar estructura [" + s.StructureName + "]"));
    setHelpTopic("editor");
    build();
    applyWindowState(*this, s.ChildWindowState);
    ui::guarded(context, [&] {
        editor_ = std::make_unique<editor::Editor>(editor::openForEditing(s.StructureDirectory),
                                                   Dib->surface(), &Dib->overlay(),
                                                   static_cast<editor::EditorPanels*>(this));
    });
    if (!editor_) {
        setEnabled(false);
        return;
    }
    editor_->setBackground(0);
    for (int t = 1; t <= editor_->data().types.count; ++t)
        tipb->addItem(qs(editor_->data().types.names[std::size_t(t)]));
    editor_->open();
    refreshCases();
    Vista[std::size_t(editor_->openingView())]->setChecked(true);
    drawAxes();
    updateUndoButtons();
    updateHint();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::build() {
    const PictureAndColumn layout = pictureAndColumn(this, 4);
    Dib = layout.picture;
    Dib->setToolTip(qs(SurfaceHint));
    Dib->setMouseTracking(true);
    buildViews(layout.side, layout.column);
    buildTools(layout.side, layout.column);
    buildNodePanel(layout.side, layout.column);
    buildBarPanel(layout.side, layout.column);
    buildTypePanel(layout.side, layout.column);
    buildPrinting(layout.side, layout.column);
    placeHintAndLeaving(layout);
    setTabOrders();
    // Every panel as wide as the widest, so the column keeps its width
    // between "Nudos" and "Barras".
    const int panelWidth = std::max(
        {FramNud->sizeHint().width(), FramBar->sizeHint().width(), FramTip->sizeHint().width()});
    for (QWidget* panel : {static_cast<QWidget*>(FramNud), static_cast<QWidget*>(FramBar),
                           static_cast<QWidget*>(FramTip)})
        panel->setMinimumWidth(panelWidth);
    // The column keeps its natural size and scrolls when the window is low,
    // rather than squeezing the fields.
    layout.column->setSizeConstraint(QLayout::SetFixedSize);
    layout.scroll->setMinimumWidth(layout.side->sizeHint().width() +
                                   layout.scroll->verticalScrollBar()->sizeHint().width() + 4);
    connectButtons();
    connectFields();
    connectPictures();
    enablePanel(Mode::Nodes, false);
    enablePanel(Mode::Bars, false);
    FramBar->hide();
}

// The hint line under the picture, and "Grabar y Salir" and "Esc" under the
// scrolling column, where they stay in sight however low the window.
void EditorWindow::placeHintAndLeaving(const PictureAndColumn& layout) {
    auto* top = static_cast<QHBoxLayout*>(this->layout());
    Pista = new QLabel(this);
    Pista->setObjectName("Pista");
    Pista->setMinimumWidth(1);  // a long hint must not widen the window
    // Two lines, always: a hint that changed the picture's height would
    // refit the drawing under the pointer.
    Pista->setWordWrap(true);
    Pista->setFixedHeight(2 * Pista->fontMetrics().lineSpacing() + 4);
    top->removeWidget(Dib);
    top->removeWidget(layout.scroll);
    auto* left = new QVBoxLayout;
    left->addWidget(Dib, 1);
    left->addWidget(Pista);
    top->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(layout.scroll, 1);
    Guardar = namedButton(this, "Guardar", "Grabar y Salir");
    auto* note = new QLabel(QStringLiteral("... y eliminar puntos aislados."), this);
    Esc = namedButton(this, "Esc", "Esc", "Salir sin guardar cambios");
    right->addWidget(Guardar);
    right->addWidget(note);
    right->addWidget(Esc);
    top->addLayout(right);
}

// Tab goes down each column of a panel: coordinates, loads, displacements.
void EditorWindow::setTabOrders() {
    std::vector<QWidget*> chain;
    for (int k = 1; k <= 3; ++k)
        chain.push_back(crdn[std::size_t(k)]);
    for (int k = 1; k <= 6; ++k)
        chain.push_back(crga[std::size_t(k)]);
    for (int k = 1; k <= 6; ++k)
        chain.push_back(cccn[std::size_t(k)]);
    chain.push_back(nullptr);
    for (int k = 1; k <= BarFieldCount; ++k)
        if (barr[std::size_t(k)]) chain.push_back(barr[std::size_t(k)]);
    chain.push_back(tipb);
    chain.push_back(nullptr);
    chain.push_back(Textnom);
    for (int k = 1; k <= TypeFieldCount; ++k)
        chain.push_back(TipoDat[std::size_t(k)]);
    for (std::size_t i = 1; i < chain.size(); ++i)
        if (chain[i - 1] && chain[i]) setTabOrder(chain[i - 1], chain[i]);
}

// The load case shown, its name, and the cases' and combinations' buttons.
void EditorWindow::buildCases(QWidget* side, QVBoxLayout* col) {
    auto* grid = new QGridLayout;
    auto* label = new QLabel(QStringLiteral("Hipótesis"), side);
    Hipotesis = new QComboBox(side);
    Hipotesis->setObjectName("Hipotesis");
    Hipotesis->setToolTip(
        QStringLiteral("Hipótesis de carga cuyas cargas muestran y cambian los paneles"));
    label->setToolTip(Hipotesis->toolTip());
    NuevaHip = namedButton(side, "NuevaHip", "Nueva", "Añade una hipótesis sin cargas");
    BorraHip = namedButton(side, "BorraHip", "Borrar", "Borra la hipótesis con sus cargas");
    NombreHip = field(side, "NombreHip", "Nombre de la hipótesis");
    NombreHip->setAlignment(Qt::AlignLeft);
    Combina = namedButton(side, "Combina", "Combinaciones...",
                          "Nombres y factores de las combinaciones de hipótesis");
    grid->addWidget(label, 0, 0);
    grid->addWidget(Hipotesis, 0, 1);
    grid->addWidget(NuevaHip, 0, 2);
    grid->addWidget(BorraHip, 0, 3);
    grid->addWidget(NombreHip, 1, 1);
    grid->addWidget(Combina, 1, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    col->addLayout(grid);
}

// Views, axes indicator and zoom.
void EditorWindow::buildViews(QWidget* side, QVBoxLayout* col) {
    auto* views = new QGroupBox(QStringLiteral("Vistas"), side);
    auto* vg = new QGridLayout(views);
    vg->setContentsMargins(6, 2, 6, 2);
    vg->setVerticalSpacing(0);
    Ejes = new ui::PictureBox(views);
    Ejes->setObjectName("Ejes");
    Ejes->setBackgroundColour(0);
    Ejes->setFixedSize(96, 80);
    for (int i = 0; i < 8; ++i) {
        Vista[std::size_t(i)] = new QRadioButton(qs(view::FixedViews[std::size_t(i)].caption));
        Vista[std::size_t(i)]->setObjectName(QStringLiteral("Vista%1").arg(i));
        vg->addWidget(Vista[std::size_t(i)], i % 4, i / 4);
        wire(Vista[std::size_t(i)], &QRadioButton::clicked, this, [this, i] { Perspec_Click(i); });
    }
    Vista[view::InitialView]->setChecked(true);
    vg->addWidget(Ejes, 0, 2, 4, 1);
    col->addWidget(views);

    const ZoomButtons zoom = addZoomButtons(side, col);
    Redibuja = zoom.redraw;
    ZoomP = zoom.previous;
    ZoomV1 = zoom.window;
    ZoomV2 = zoom.drawing;
    Encuadrar = namedButton(zoom.redraw->parentWidget(), "Encuadrar", "Encuadrar",
                            "Muestra la estructura entera");
    static_cast<QBoxLayout*>(zoom.redraw->parentWidget()->layout())->insertWidget(1, Encuadrar);
}

// Detail scale, numbers, the multiple selection, undo and the mode tabs.
void EditorWindow::buildTools(QWidget* side, QVBoxLayout* col) {
    auto* detail = new QHBoxLayout;
    auto* hl = new QLabel(QStringLiteral("Escala detalle"), side);
    HScal = new QScrollBar(Qt::Horizontal, side);
    HScal->setObjectName("HScal");
    HScal->setRange(0, 100);
    HScal->setValue(30);
    HScal->setToolTip(QStringLiteral("Coacciones, cargas y ejes locales"));
    hl->setToolTip(HScal->toolTip());
    detail->addWidget(hl);
    detail->addWidget(HScal, 1);
    auto* gl = new QLabel(QStringLiteral("Rejilla (m)"), side);
    Rejilla = field(side, "Rejilla",
                    "Paso de la rejilla de las vistas Planta y Alzado, donde caen los nudos "
                    "nuevos (0: sin rejilla)");
    Rejilla->setMinimumWidth(Rejilla->fontMetrics().horizontalAdvance("00.000") + 10);
    Rejilla->setText(qs(FormatPaddedLocal(0.5, "0.0")));
    gl->setToolTip(Rejilla->toolTip());
    detail->addWidget(gl);
    detail->addWidget(Rejilla);
    col->addLayout(detail);

    auto* numbers = new QHBoxLayout;
    Numeranu = namedButton(side, "Numeranu", "Num. Nudos", "Numera los nudos");
    Numeraba = namedButton(side, "Numeraba", "Num. barras", "Numera las barras");
    numbers->addWidget(Numeranu);
    numbers->addWidget(Numeraba);
    col->addLayout(numbers);
    Selecci = new QCheckBox(QStringLiteral("Seleccionar varios/as"), side);
    Selecci->setObjectName("Selecci");
    Selecci->setToolTip(QStringLiteral("Para editar a la vez varios nudos o barras"));
    VerEjeLoc = new QCheckBox(QStringLiteral("Ver ejes locales barras"), side);
    VerEjeLoc->setObjectName("VerEjeLoc");
    VerEjeLoc->hide();
    col->addWidget(Selecci);
    col->addWidget(VerEjeLoc);

    auto* undo = new QHBoxLayout;
    Deshacer = namedButton(side, "Deshacer", "Deshacer", "Deshace el último cambio (Ctrl+Z)");
    Rehacer = namedButton(side, "Rehacer", "Rehacer", "Rehace el cambio deshecho (Ctrl+Y)");
    undo->addWidget(Deshacer);
    undo->addWidget(Rehacer);
    col->addLayout(undo);
    buildCases(side, col);

    Tabs = new QTabBar(side);
    Tabs->setObjectName("Tabs");
    Tabs->addTab(QStringLiteral("Nudos"));
    Tabs->addTab(QStringLiteral("Barras"));
    Tabs->setExpanding(true);
    col->addWidget(Tabs);
}

void EditorWindow::buildNodePanel(QWidget* side, QVBoxLayout* col) {
    FramNud = new QGroupBox(side);
    FramNud->setObjectName("FramNud");
    auto* ng = new QGridLayout(FramNud);
    ng->setContentsMargins(4, 4, 4, 4);
    ng->setVerticalSpacing(1);
    ng->addWidget(new QLabel(QStringLiteral("Número"), FramNud), 0, 0);
    nnum = new QLabel(FramNud);
    nnum->setObjectName("nnum");
    ng->addWidget(nnum, 0, 1);
    for (int k = 1; k <= 6; ++k) {
        if (k <= 3) {
            crdn[std::size_t(k)] = field(FramNud, QStringLiteral("crdn%1").arg(k));
            ng->addWidget(new QLabel(qs(editor::CoordinateCaptions[k]), FramNud), k, 0);
            ng->addWidget(crdn[std::size_t(k)], k, 1);
        }
        crga[std::size_t(k)] =
            field(FramNud, QStringLiteral("crga%1").arg(k), "Doble click pone a cero");
        cccn[std::size_t(k)] = field(FramNud, QStringLiteral("cccn%1").arg(k),
                                     "Doble click alterna entre cero y libre.");
        ng->addWidget(new QLabel(qs(editor::LoadCaptions[k]), FramNud), k, 2);
        ng->addWidget(crga[std::size_t(k)], k, 3);
        ng->addWidget(new QLabel(qs(editor::RestraintCaptions[k]), FramNud), k + 6, 2);
        ng->addWidget(cccn[std::size_t(k)], k + 6, 3);
    }
    col->addWidget(FramNud);
}

// The bar panel, and below it the picture `Ang` shows.
void EditorWindow::buildBarPanel(QWidget* side, QVBoxLayout* col) {
    FramBar = new QGroupBox(side);
    FramBar->setObjectName("FramBar");
    auto* bg = new QGridLayout(FramBar);
    bg->setContentsMargins(4, 4, 4, 4);
    bg->setVerticalSpacing(1);
    bg->addWidget(new QLabel(QStringLiteral("Número"), FramBar), 0, 0);
    bnum = new QLabel(FramBar);
    bnum->setObjectName("bnum");
    bg->addWidget(bnum, 0, 1);
    int row = 1;
    for (int k : {1, 2, 4, 5, 6, 7, 8, 9, 10}) {
        barr[std::size_t(k)] = field(FramBar, QStringLiteral("barr%1").arg(k),
                                     k >= 5 ? "Doble click pone a cero" : nullptr);
        bg->addWidget(new QLabel(qs(editor::BarCaptions[k]), FramBar), row, 0);
        bg->addWidget(barr[std::size_t(k)], row, 1);
        if (k == 4) {
            Ang = namedButton(FramBar, "Ang", "?", "Para aclaración pulsar en la interrogación");
            Ang->setFixedWidth(28);
            bg->addWidget(Ang, row, 2);
        }
        ++row;
    }
    bg->addWidget(new QLabel(QStringLiteral("Tipo"), FramBar), row, 0);
    tipb = new QListWidget(FramBar);
    tipb->setObjectName("tipb");
    tipb->setToolTip(QStringLiteral("Doble click para editar tipo"));
    tipb->setMaximumHeight(90);
    bg->addWidget(tipb, row, 1, 1, 2);
    col->addWidget(FramBar);

    AngDib = new ui::PictureBox(side);
    AngDib->setObjectName("AngDib");
    AngDib->setFixedSize(220, 200);
    AngDib->setToolTip(QStringLiteral("Para borra volver a pulsar la interrogación"));
    AngDib->hide();
    col->addWidget(AngDib, 0, Qt::AlignHCenter);
}

void EditorWindow::buildTypePanel(QWidget* side, QVBoxLayout* col) {
    FramTip = new QGroupBox(QStringLiteral("Tipo"), side);
    FramTip->setObjectName("FramTip");
    auto* tg = new QGridLayout(FramTip);
    tg->setContentsMargins(4, 4, 4, 4);
    tg->setVerticalSpacing(1);
    tg->addWidget(new QLabel(QStringLiteral("Descripción del tipo:"), FramTip), 0, 0);
    Textnom = new QLineEdit(FramTip);
    Textnom->setObjectName("Textnom");
    Textnom->setToolTip(QStringLiteral("Máximo 15 caracteres"));
    tg->addWidget(Textnom, 0, 1);
    for (int k = 1; k <= 9; ++k) {
        TipoDat[std::size_t(k)] = field(FramTip, QStringLiteral("TipoDat%1").arg(k));
        tg->addWidget(new QLabel(qs(editor::TypeCaptions[k]), FramTip), k, 0);
        tg->addWidget(TipoDat[std::size_t(k)], k, 1);
    }
    auto* materials = new QHBoxLayout;
    MatAcero = namedButton(FramTip, "MatAcero", "Acero", "Pone las constantes del acero");
    MatHormigon =
        namedButton(FramTip, "MatHormigon", "Hormigón", "Pone las constantes del hormigón");
    AceptaTipo = namedButton(FramTip, "AceptaTipo", "Aceptar");
    materials->addWidget(MatAcero);
    materials->addWidget(MatHormigon);
    materials->addWidget(AceptaTipo);
    tg->addLayout(materials, 10, 0, 1, 2);
    FramTip->hide();
    col->addWidget(FramTip);
}

void EditorWindow::buildPrinting(QWidget* side, QVBoxLayout* col) {
    auto* printer = new QGroupBox(QStringLiteral("Impresora"), side);
    auto* pl = new QVBoxLayout(printer);
    pl->setContentsMargins(6, 2, 6, 2);
    Imprimir = namedButton(printer, "Imprimir", "Imprimir...");
    pl->addWidget(Imprimir);
    PrintParam = new QGroupBox(QStringLiteral("Parámetros impresión..."), printer);
    PrintParam->setObjectName("PrintParam");
    auto* pp = new QGridLayout(PrintParam);
    ChCar = new QCheckBox(QStringLiteral("Cargas"), PrintParam);
    ChCoa = new QCheckBox(QStringLiteral("Coacciones"), PrintParam);
    ChEje = new QCheckBox(QStringLiteral("Ejes locales"), PrintParam);
    ChCar->setChecked(true);
    ChCoa->setChecked(true);
    pp->addWidget(ChCar, 0, 0);
    pp->addWidget(ChCoa, 0, 1);
    pp->addWidget(ChEje, 0, 2);
    pp->addWidget(new QLabel(QStringLiteral("Escalar:"), PrintParam), 1, 0);
    HPrn = new QSlider(Qt::Horizontal, PrintParam);
    HPrn->setObjectName("HPrn");
    HPrn->setRange(0, 100);
    HPrn->setValue(100);
    LbPorc = new QLabel(QStringLiteral("100%"), PrintParam);
    LbPorc->setObjectName("LbPorc");
    pp->addWidget(HPrn, 1, 1);
    pp->addWidget(LbPorc, 1, 2);
    Imprime = namedButton(PrintParam, "Imprime", "Imprimir");
    Cancela = namedButton(PrintParam, "Cancela", "Cancelar");
    pp->addWidget(Imprime, 2, 0);
    pp->addWidget(Cancela, 2, 1);
    PrintParam->hide();
    pl->addWidget(PrintParam);
    col->addWidget(printer);
}

void EditorWindow::connectButtons() {
    wire(Redibuja, &QPushButton::clicked, this, &EditorWindow::Redibuja_Click);
    wire(Encuadrar, &QPushButton::clicked, this, &EditorWindow::Encuadrar_Click);
    wire(Hipotesis, &QComboBox::activated, this, &EditorWindow::Hipotesis_Change);
    wire(NuevaHip, &QPushButton::clicked, this, &EditorWindow::NuevaHip_Click);
    wire(BorraHip, &QPushButton::clicked, this, &EditorWindow::BorraHip_Click);
    wire(NombreHip, &QLineEdit::editingFinished, this, &EditorWindow::NombreHip_Change);
    wire(Combina, &QPushButton::clicked, this, &EditorWindow::Combina_Click);
    wire(Rejilla, &QLineEdit::editingFinished, this, &EditorWindow::Rejilla_Change);
    wire(ZoomP, &QPushButton::clicked, this, &EditorWindow::ZoomP_Click);
    wire(ZoomV1, &QPushButton::clicked, this, &EditorWindow::ZoomV1_Click);
    wire(ZoomV2, &QPushButton::clicked, this, &EditorWindow::ZoomV2_Click);
    wire(Numeranu, &QPushButton::clicked, this, &EditorWindow::Numeranu_Click);
    wire(Numeraba, &QPushButton::clicked, this, &EditorWindow::Numeraba_Click);
    wire(Tabs, &QTabBar::tabBarClicked, this, &EditorWindow::Tabs_Click);
    wire(Selecci, &QCheckBox::clicked, this, &EditorWindow::Selecci_Click);
    wire(Deshacer, &QPushButton::clicked, this, &EditorWindow::Deshacer_Click);
    wire(Rehacer, &QPushButton::clicked, this, &EditorWindow::Rehacer_Click);
    wire(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
         &EditorWindow::Deshacer_Click);
    wire(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this), &QShortcut::activated, this,
         &EditorWindow::Rehacer_Click);
    wire(Guardar, &QPushButton::clicked, this, &EditorWindow::Guardar_Click);
    wire(Esc, &QPushButton::clicked, this, &EditorWindow::Esc_Click);
    wire(Ang, &QPushButton::clicked, this, &EditorWindow::Ang_Click);
    wire(Imprimir, &QPushButton::clicked, this, &EditorWindow::Imprimir_Click);
    wire(Imprime, &QPushButton::clicked, this, &EditorWindow::Imprime_Click);
    connect(Cancela, &QPushButton::clicked, PrintParam, &QWidget::hide);
    wire(HPrn, &QSlider::valueChanged, this,
         [this](int v) { LbPorc->setText(QStringLiteral("%1%").arg(v)); });
    wire(tipb, &QListWidget::itemClicked, this,
         [this](QListWidgetItem* item) { tipb_Click(tipb->row(item)); });
    wire(tipb, &QListWidget::itemDoubleClicked, this, &EditorWindow::tipb_DblClick);
    wire(AceptaTipo, &QPushButton::clicked, this, &EditorWindow::AceptaTipo_Click);
    wire(MatAcero, &QPushButton::clicked, this, [this] { setMaterial(true); });
    wire(MatHormigon, &QPushButton::clicked, this, [this] { setMaterial(false); });
    wire(HScal, &QScrollBar::valueChanged, this, [this](int v) {
        if (!editor_) return;
        editor_->setDetailScale(v);
        editor_->DibujaEstr();
    });
    wire(VerEjeLoc, &QCheckBox::clicked, this, [this](bool on) {
        if (!editor_) return;
        editor_->setLocalAxesShown(on);
        editor_->DibujaEstr();
    });
}

// Type names as they are typed; every field commits on losing the focus.
void EditorWindow::connectFields() {
    wire(Textnom, &QLineEdit::textEdited, this, [this](const QString& t) {
        int cursor = Textnom->cursorPosition();
        const QString shown = qs(editor::typeNameAsTyped(ui::utf8(t), cursor));
        if (shown == t) return;
        Textnom->setText(shown);
        Textnom->setModified(true);
        Textnom->setCursorPosition(cursor);
    });
    std::vector<QLineEdit*> fields;
    for (int k = 1; k <= 6; ++k) {
        if (k <= 3) fields.push_back(crdn[std::size_t(k)]);
        fields.push_back(crga[std::size_t(k)]);
        fields.push_back(cccn[std::size_t(k)]);
    }
    for (int k = 1; k <= BarFieldCount; ++k)
        if (barr[std::size_t(k)]) fields.push_back(barr[std::size_t(k)]);
    for (int k = 1; k <= 9; ++k)
        fields.push_back(TipoDat[std::size_t(k)]);
    fields.push_back(Textnom);
    for (QLineEdit* f : fields) {
        f->installEventFilter(this);
        wire(f, &QLineEdit::editingFinished, this, [this, f] {
            // Losing the focus to the message of a refusal is no new commit.
            if (!refusing_ && commitField(f) == Commit::Taken) editor_->Redibuja();
        });
    }
}

// The pointer on `Dib` goes to the editor; a new size fits the view again.
void EditorWindow::connectPictures() {
    wire(Dib, &ui::PictureBox::mouseDown, this, [this](const PointerEvent& e) {
        if (!editor_) return;
        Dib->setToolTip({});
        editor_->mouseDown(e);
        updateUndoButtons();
    });
    wire(Dib, &ui::PictureBox::mouseMove, this, [this](const PointerEvent& e) {
        if (!editor_) return;
        editor_->mouseMove(e);
        updateHint(view::ScreenPoint{float(e.x), float(e.y)});
    });
    wire(Dib, &ui::PictureBox::mouseUp, this, [this](const PointerEvent& e) {
        if (!editor_) return;
        editor_->mouseUp(e);
        showZoomMode();
        updateUndoButtons();
    });
    Dib->installEventFilter(this);
    wire(Dib, &ui::PictureBox::resized, this, [this] {
        if (!editor_ || isMinimized()) return;
        editor_->zoomnum(0);
        drawAxes();
    });
    wire(Ejes, &ui::PictureBox::resized, this, &EditorWindow::drawAxes);
    wire(AngDib, &ui::PictureBox::resized, this,
         [this] { editor::drawAnglePicture(AngDib->surface()); });
}

// ---- panels ----

void EditorWindow::setFieldBackgrounds(bool normal) {
    const QString grey = background(224, 224, 224);
    for (int k = 1; k <= 6; ++k) {
        if (k <= 3) crdn[std::size_t(k)]->setStyleSheet(grey);
        crga[std::size_t(k)]->setStyleSheet(normal ? background(192, 192, 255) : grey);
        cccn[std::size_t(k)]->setStyleSheet(normal ? background(255, 192, 192) : grey);
    }
}

void EditorWindow::showNode(int node) {
    setFieldBackgrounds(node != 0);
    nnum->setText(node ? QString::number(node) : QString());
    for (int k = 1; k <= 6; ++k) {
        if (k <= 3)
            crdn[std::size_t(k)]->setText(
                qs(editor_->panels().nodeText(node, NodeGroup::Coordinates, k)));
        crga[std::size_t(k)]->setText(qs(editor_->panels().nodeText(node, NodeGroup::Loads, k)));
        cccn[std::size_t(k)]->setText(
            qs(editor_->panels().nodeText(node, NodeGroup::Restraints, k)));
    }
}

void EditorWindow::showBar(int bar) {
    bnum->setText(bar ? QString::number(bar) : QString());
    for (int k = 1; k <= BarFieldCount; ++k)
        if (barr[std::size_t(k)])
            barr[std::size_t(k)]->setText(qs(editor_->panels().barText(bar, k)));
    markMissingNodes(bar);
    if (bar == 0) {
        tipb->clearSelection();
        showType(0);
        return;
    }
    const int type = itemNumber(editor_->data().bars(bar, Type));
    if (type >= 1 && type <= tipb->count())
        tipb->setCurrentRow(type - 1);
    else
        tipb->clearSelection();
    showType(type);
}

void EditorWindow::showType(int type) {
    const bool exists = type >= 1 && type <= editor_->data().types.count;
    Textnom->setText(exists ? qs(editor_->data().types.names[std::size_t(type)]) : QString());
    for (int k = 1; k <= 9; ++k)
        TipoDat[std::size_t(k)]->setText(qs(editor_->panels().typeText(type, k)));
}

void EditorWindow::enablePanel(Mode mode, bool enabled) {
    if (mode == Mode::Nodes) {
        FramNud->setEnabled(enabled);
        return;
    }
    FramBar->setEnabled(enabled);
    FramTip->setEnabled(enabled);
}

// The fields of the panels now shown.
std::vector<QLineEdit*> EditorWindow::visibleFields() const {
    std::vector<QLineEdit*> out;
    if (!editor_) return out;
    const bool nodes = editor_->mode() == Mode::Nodes;
    for (QGroupBox* panel : {FramNud, FramBar, FramTip})
        if (panel == FramNud ? nodes : !nodes && (panel == FramBar || FramTip->isVisible()))
            for (QLineEdit* f : panel->findChildren<QLineEdit*>())
                out.push_back(f);
    return out;
}

bool EditorWindow::takeOverEdits() {
    bool taken = false;
    for (QLineEdit* f : visibleFields()) {
        const Commit c = commitField(f);
        if (c == Commit::Refused) return false;
        taken = taken || c == Commit::Taken;
    }
    if (taken) editor_->Redibuja();
    return true;
}

bool EditorWindow::pendingEdits() const {
    const auto fields = visibleFields();
    return std::any_of(fields.begin(), fields.end(),
                       [](const QLineEdit* f) { return f->isModified(); });
}

// Only what the user typed is committed: a shown value is rounded to its
// pattern and must not overwrite the stored one. A refused text stays in its
// field, which keeps the focus.
EditorWindow::Commit EditorWindow::commitField(QLineEdit* f) {
    if (!editor_ || !f->isModified()) return Commit::Unchanged;
    const std::string text = ui::utf8(f->text());
    editor::PanelRules& rules = editor_->panels();
    editor::Refusal refusal;
    for (int k = 1; k <= 6; ++k) {
        if (k <= 3 && f == crdn[std::size_t(k)])
            refusal = rules.commitNode(NodeGroup::Coordinates, k, text);
        if (f == crga[std::size_t(k)]) refusal = rules.commitNode(NodeGroup::Loads, k, text);
        if (f == cccn[std::size_t(k)]) refusal = rules.commitNode(NodeGroup::Restraints, k, text);
    }
    for (int k = 1; k <= BarFieldCount; ++k)
        if (f == barr[std::size_t(k)]) refusal = rules.commitBar(k, text);
    const int type = tipb->currentRow() + 1;
    for (int k = 1; k <= 9; ++k)
        if (f == TipoDat[std::size_t(k)]) refusal = rules.commitType(type, k, text);
    if (!refusal.empty()) {
        refuse(f, refusal);
        return Commit::Refused;
    }
    f->setModified(false);
    if (f == Textnom && type >= 1) {
        rules.commitTypeName(type, text);
        tipb->item(type - 1)->setText(f->text());
    }
    if (f == barr[Origin] || f == barr[End]) markMissingNodes(editor_->currentBar());
    updateUndoButtons();
    return Commit::Taken;
}

void EditorWindow::refuse(QLineEdit* f, const std::string& why) {
    refusing_ = true;
    context().messages().show(WarningTitle, why, MessageIcon::Exclamation);
    refusing_ = false;
    f->setFocus();
    f->selectAll();
}

// A bar naming a node the structure lacks shows it in the field at once.
void EditorWindow::markMissingNodes(int bar) {
    for (int k : {Origin, End}) {
        const std::string missing = editor_->panels().missingNode(bar, k);
        barr[std::size_t(k)]->setStyleSheet(missing.empty() ? QString() : MissingNodeStyle);
        barr[std::size_t(k)]->setToolTip(qs(missing));
    }
}

void EditorWindow::fieldDoubleClicked(QLineEdit* f) {
    bool restraint = false, zeroes = false;
    for (int k = 1; k <= 6; ++k) {
        restraint = restraint || f == cccn[std::size_t(k)];
        zeroes = zeroes || f == crga[std::size_t(k)];
    }
    for (int k = 1; k <= BarFieldCount; ++k)
        zeroes = zeroes || (f == barr[std::size_t(k)]);
    if (restraint)
        f->setText(qs(editor::toggledRestraint(ui::utf8(f->text()))));
    else if (zeroes)
        f->setText(QStringLiteral("0"));
    else
        return;
    f->setModified(true);
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        Deshacer_Click();
        return;
    }
    if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier) {
        Rehacer_Click();
        return;
    }
    ModuleWindow::keyPressEvent(event);
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Z and Ctrl+Y undo the editor's changes unless a field holds typing
    // of its own to undo.
    if (event->type() == QEvent::KeyPress)
        if (auto* f = qobject_cast<QLineEdit*>(watched); f && !f->isModified()) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo)) {
                Deshacer_Click();
                return true;
            }
            if (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier) {
                Rehacer_Click();
                return true;
            }
        }
    if (watched == Dib && event->type() == QEvent::Leave) updateHint();
    if (event->type() == QEvent::MouseButtonDblClick)
        if (auto* f = qobject_cast<QLineEdit*>(watched)) {
            fieldDoubleClicked(f);
            return true;
        }
    return ModuleWindow::eventFilter(watched, event);
}

// ---- view and modes ----

void EditorWindow::drawAxes() {
    if (!editor_) return;
    view::DibujaEjes(Ejes->surface(), editor_->screen().view(),
                     editor_->screen().rule().axesColour);
}

void EditorWindow::Perspec_Click(int index) {
    if (!editor_) return;
    Vista[std::size_t(index)]->setChecked(true);
    editor_->Perspec(index);
    drawAxes();
    updateHint();
}

void EditorWindow::Redibuja_Click() {
    if (editor_) editor_->Redibuja();
}

void EditorWindow::Encuadrar_Click() {
    if (editor_) editor_->zoomnum(0);
}

void EditorWindow::Rejilla_Change() {
    if (!editor_ || refusing_ || !Rejilla->isModified()) return;
    const auto step = editor::typedNumber(ui::utf8(Rejilla->text()));
    if (!step || *step < 0) {
        refuse(Rejilla, "El paso de la rejilla debe ser un número de metros, 0 o mayor.");
        return;
    }
    Rejilla->setModified(false);
    editor_->setGridStep(float(*step));
    editor_->DibujaEstr();
    updateHint();
}

// The hint line: what the mouse does now and, with the pointer over the
// picture, the point under it.
void EditorWindow::updateHint(std::optional<view::ScreenPoint> pointer) {
    if (editor_) Pista->setText(qs(editor_->hintLine(pointer)));
}

// In the "Ventana" mode its green button stands in for "Ventana".
void EditorWindow::showZoomMode() {
    const bool on = editor_ && editor_->zoomWindowMode();
    ZoomV1->setVisible(!on);
    ZoomV2->setVisible(on);
    updateHint();
}

void EditorWindow::ZoomP_Click() {
    if (editor_) editor_->zoomnum(-1);
}

void EditorWindow::ZoomV1_Click() {
    if (!editor_) return;
    editor_->setZoomWindowMode(true);
    showZoomMode();
}

void EditorWindow::ZoomV2_Click() {
    if (!editor_) return;
    editor_->setZoomWindowMode(false);
    showZoomMode();
}

void EditorWindow::Numeranu_Click() {
    if (editor_) editor_->numberNodes();
}

void EditorWindow::Numeraba_Click() {
    if (editor_) editor_->numberBars();
}

void EditorWindow::Tabs_Click(int index) {
    if (!editor_ || index < 0) return;
    if (!takeOverEdits()) {
        Tabs->setCurrentIndex(editor_->mode() == Mode::Nodes ? 0 : 1);
        return;
    }
    const Mode mode = index == 0 ? Mode::Nodes : Mode::Bars;
    Tabs->setCurrentIndex(index);
    FramNud->setVisible(mode == Mode::Nodes);
    FramBar->setVisible(mode == Mode::Bars);
    VerEjeLoc->setVisible(mode == Mode::Bars);
    if (mode == Mode::Nodes) {
        FramTip->hide();
        AngDib->hide();
    }
    editor_->setMode(mode);
    updateHint();
}

// ---- load cases ----

void EditorWindow::refreshCases() {
    if (!editor_) return;
    const LoadCases<float>& cases = editor_->data().cases;
    const int k = editor_->panels().loadCase();
    Hipotesis->clear();
    for (int i = 1; i <= cases.count(); ++i)
        Hipotesis->addItem(qs(cases.name(i)));
    Hipotesis->setCurrentIndex(k - 1);
    NombreHip->setText(qs(cases.name(k)));
    NombreHip->setModified(false);
    BorraHip->setEnabled(k >= 2);
}

// The panels show the loads of the chosen case, and so does the drawing.
void EditorWindow::Hipotesis_Change(int index) {
    if (!editor_ || !takeOverEdits()) return refreshCases();
    editor_->panels().setLoadCase(index + 1);
    refreshCases();
    editor_->DibujaEstr();
}

void EditorWindow::NuevaHip_Click() {
    if (!editor_ || !takeOverEdits()) return;
    const int k = editor_->data().cases.count() + 1;
    editor_->panels().setLoadCase(editor_->panels().addCase("Hipótesis " + std::to_string(k)));
    refreshCases();
    editor_->DibujaEstr();
    updateUndoButtons();
    NombreHip->setFocus();
    NombreHip->selectAll();
}

void EditorWindow::BorraHip_Click() {
    const int k = editor_ ? editor_->panels().loadCase() : 0;
    if (k < 2 || !takeOverEdits()) return;
    if (context().messages().show(
            WarningTitle,
            "¿Borrar la hipótesis «" + editor_->data().cases.name(k) + "» con todas sus cargas?",
            MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    editor_->panels().removeCase(k);
    refreshCases();
    editor_->DibujaEstr();
    updateUndoButtons();
}

void EditorWindow::NombreHip_Change() {
    if (!editor_ || !NombreHip->isModified()) return;
    const std::string name = ui::utf8(NombreHip->text().trimmed());
    if (!name.empty()) editor_->panels().renameCase(editor_->panels().loadCase(), name);
    refreshCases();
    updateUndoButtons();
}

void EditorWindow::Combina_Click() {
    if (!editor_ || !takeOverEdits()) return;
    CombinationsWindow combinations(context(), *editor_, this);
    combinations.exec();
    updateUndoButtons();
}

void EditorWindow::Selecci_Click() {
    if (!editor_) return;
    if (!takeOverEdits()) {
        Selecci->setChecked(editor_->multiple());
        return;
    }
    const bool on = Selecci->isChecked();
    Selecci->setStyleSheet(on ? QStringLiteral("color: rgb(255, 0, 0);") : QString());
    Tabs->setEnabled(!on);
    Numeranu->setEnabled(!on);
    Numeraba->setEnabled(!on);
    editor_->setMultiple(on);
    updateHint();
}

// ---- undo ----

void EditorWindow::updateUndoButtons() {
    const bool ready = editor_ != nullptr;
    Deshacer->setEnabled(ready && editor_->canUndo());
    Rehacer->setEnabled(ready && editor_->canRedo());
}

void EditorWindow::afterUndo() {
    tipb->blockSignals(true);
    for (int t = 1; t <= editor_->data().types.count && t <= tipb->count(); ++t)
        tipb->item(t - 1)->setText(qs(editor_->data().types.names[std::size_t(t)]));
    tipb->blockSignals(false);
    refreshCases();
    editor_->DibujaEstr();
    if (editor_->mode() == Mode::Bars && FramTip->isVisible()) showType(tipb->currentRow() + 1);
    updateUndoButtons();
}

void EditorWindow::Deshacer_Click() {
    if (!editor_ || !takeOverEdits()) return;
    if (editor_->undo()) afterUndo();
}

void EditorWindow::Rehacer_Click() {
    if (!editor_ || !takeOverEdits()) return;
    if (editor_->redo()) afterUndo();
}

// ---- types ----

void EditorWindow::tipb_Click(int row) {
    if (!editor_ || row < 0) return;
    showType(row + 1);
    editor_->panels().chooseType(row);
    editor_->Redibuja();  // the bar takes its type's colour
    updateUndoButtons();
}

void EditorWindow::tipb_DblClick() {
    if (!editor_) return;
    Tabs->setEnabled(false);
    FramBar->setEnabled(false);
    FramTip->show();
    FramTip->setEnabled(true);
}

void EditorWindow::setMaterial(bool steel) {
    const int t = tipb->currentRow() + 1;
    if (!editor_ || t < 1) return;
    editor_->panels().setMaterial(t, steel);
    showType(t);
    updateUndoButtons();
}

void EditorWindow::AceptaTipo_Click() {
    for (QLineEdit* f : FramTip->findChildren<QLineEdit*>())
        if (commitField(f) == Commit::Refused) return;
    Tabs->setEnabled(!Selecci->isChecked());
    FramBar->setEnabled(true);
    FramTip->hide();
}

void EditorWindow::Ang_Click() {
    AngDib->setVisible(!AngDib->isVisible());
    if (AngDib->isVisible()) editor::drawAnglePicture(AngDib->surface());
}

// ---- printing ----

void EditorWindow::Imprimir_Click() {
    PrintParam->show();
}

void EditorWindow::Imprime_Click() {
    if (!editor_) return;
    const editor::PrintOptions o{ChCar->isChecked(), ChCoa->isChecked(), ChEje->isChecked(),
                                 HPrn->value()};
    auto printer =
        context().openPrinter(context().session().settings.StructureDirectory, "estructura");
    editor::printStructure(*printer, *editor_, o);
    printer->endDocument();
    PrintParam->hide();
}

// ---- leaving ----

bool EditorWindow::saveAndClose() {
    if (!takeOverEdits()) return false;
    try {
        editor::saveStructure(context().session().settings.StructureDirectory, editor_->data());
    } catch (const editor::SaveError& e) {
        context().messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
        return false;
    } catch (const FileError& e) {
        // The old files are as they were; the edits stay open for another try.
        context().messages().show(WarningTitle, e.message(), MessageIcon::Critical);
        return false;
    }
    leaving_ = true;
    close();
    return true;
}

void EditorWindow::Guardar_Click() {
    if (editor_) saveAndClose();
}

void EditorWindow::Esc_Click() {
    if (context().messages().show(WarningTitle, LeaveText, MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    leaving_ = true;
    close();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    // Closed from the title bar or by Escape with changes, typed ones not yet
    // taken included: the same question as "Esc".
    if (!leaving_ && editor_ && (editor_->changed() || pendingEdits()) && !context().ending() &&
        context().messages().show(WarningTitle, LeaveText, MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    context().session().settings.ChildWindowState = windowStateOf(*this);
    ModuleWindow::closeEvent(event);
}

void EditorWindow::showEvent(QShowEvent* event) {
    ModuleWindow::showEvent(event);
    if (shownOnce_ || !editor_) return;
    shownOnce_ = true;
    // Shown: the opening view afresh, node mode.
    Tabs_Click(0);
    Perspec_Click(editor_->openingView());
}

}  // namespace vanto
