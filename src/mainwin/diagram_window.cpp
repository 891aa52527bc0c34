#include "mainwin/diagram_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "analysis/calculation.h"
#include "diagrams/extremes.h"
#include "diagrams/results_dxf.h"
#include "mainwin/picture_window.h"
#include "model/files.h"
#include "ui/convert.h"
#include "ui/event_pump.h"

namespace vanto {

using ui::qs;

namespace {

constexpr const char* WarningTitle = "¡ Aviso !";
constexpr const char* PrintHint = "Con las opciones elegidas y escala de diagramas actual";
const Colour RubberColour = palette16(view::ZoomWindowTool::ColourIndex);
// The list `Perspec` names the fixed views from the last to the first.
constexpr int viewOfListIndex(int index) {
    return int(view::FixedViews.size()) - 1 - index;
}

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
    auto* c = new QCheckBox(qs(caption), parent);
    c->setObjectName(name);
    return c;
}

QScrollBar* scrollBar(QWidget* parent, const char* name, int min, int max, int value,
                      const char* hint) {
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setPageStep(10);
    s->setValue(value);
    s->setToolTip(qs(hint));
    s->setMinimumWidth(120);
    return s;
}

QString colourStyle(Colour c) {
    return QStringLiteral("color: rgb(%1, %2, %3);")
        .arg(c & 0xFF)
        .arg((c >> 8) & 0xFF)
        .arg((c >> 16) & 0xFF);
}

std::string dxfQuestion(double S) {
    return std::string("La escala de los diagramas de esfuerzos será de \r") +
           "1 ud. de dibujo (multiplicada por el factor de escala)=\r" +
           "1t(cargas), 1m·t(momentos) o 1cm (para la deformada). \r\r" +
           "O sea, en estos momentos " + FormatPadded(S, " 0.00") +
           " ud. dibujo= 1t, 1m·t, 1cm.\r" + "¿Desea sacar el .DXF con esta escala de diagramas?";
}

}  // namespace

DiagramWindow::DiagramWindow(ui::AppContext& context, QWidget* parent)
    : ModuleWindow(context, parent) {
    const SessionSettings& s = context.session().settings;
    setWindowTitle(qs("Diagramas de Esfuerzos  [" + s.StructureDirectory + "]"));
    setHelpTopic("diagramas");
    build();
    applyWindowState(*this, s.ChildWindowState);
    ui::guarded(context, [&] {
        try {
            picture_ = std::make_unique<diagrams::DiagramPicture>(
                diagrams::DiagramPicture::load(s.StructureDirectory));
        } catch (const diagrams::DiagramError& e) {
            context.messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
        } catch (const analysis::CalculationError& e) {
            context.messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
        }
    });
    if (!picture_) {
        // Nothing to show: only "Salir" is left working.
        for (QGroupBox* frame : findChildren<QGroupBox*>())
            frame->setEnabled(false);
        Dib->setEnabled(false);
        Perspec->setEnabled(false);
        return;
    }
    fillSets();
    HPrn_Change();
    const int opening = diagrams::openingView(picture_->structure());
    Perspec->setCurrentIndex(viewOfListIndex(opening));
    picture_->Perspec(opening, dibWidth(), dibHeight());
    tickOpeningDiagrams();
}

// The cases, the combinations and, when there is more than one, their
// envelope.
void DiagramWindow::fillSets() {
    const LoadCases<float>& cases = picture_->structure().cases;
    QSignalBlocker quiet(Hipotesis);
    Hipotesis->clear();
    sets_.clear();
    for (const ResultSet& r : resultSets(cases)) {
        const std::string& name = r.kind == ResultSet::Kind::Case
                                      ? cases.name(r.number)
                                      : cases.combinations[std::size_t(r.number - 1)].name;
        Hipotesis->addItem(qs(r.code() + "  " + name));
        sets_.push_back({r, false});
    }
    if (sets_.size() > 1) {
        Hipotesis->addItem(QStringLiteral("Envolvente"));
        sets_.push_back({{}, true});
    }
    Hipotesis->setEnabled(sets_.size() > 1);
}

// The window opens on the moments, or on the axial forces of a structure
// that carries next to no moment (a truss), with their values, fitted.
void DiagramWindow::tickOpeningDiagrams() {
    const diagrams::DiagramData& d = picture_->data();
    const double my = diagrams::diagramExtremes(d, 'F').largest();
    const double mz = diagrams::diagramExtremes(d, 'M').largest();
    const double n = diagrams::diagramExtremes(d, 'X').largest();
    const std::size_t kind = std::max(my, mz) > 0.01 * n * d.maxBarLength ? (my > mz ? 4 : 5) : 0;
    for (QCheckBox* c : Ver)
        c->blockSignals(true);
    Valores->blockSignals(true);
    Ver[kind]->setChecked(true);
    Valores->setChecked(true);
    for (QCheckBox* c : Ver)
        c->blockSignals(false);
    Valores->blockSignals(false);
    Ajustar_Click();
}

DiagramWindow::~DiagramWindow() = default;

void DiagramWindow::build() {
    const PictureAndColumn layout = pictureAndColumn(this, 3);
    Dib = layout.picture;
    buildViews(layout.side, layout.column);
    buildDisplay(layout.side, layout.column);
    buildResults(layout.side, layout.column);
    buildDetail(layout.side, layout.column);
    buildOutput(layout.side, layout.column);
    Salir = namedButton(layout.side, "Salir", "Salir");
    layout.column->addWidget(Salir);
    layout.column->addStretch(1);
    connectControls();
}

// The view list, the axes indicator and the zoom.
void DiagramWindow::buildViews(QWidget* side, QVBoxLayout* col) {
    auto* views = new QHBoxLayout;
    Perspec = new QComboBox(side);
    Perspec->setObjectName("Perspec");
    for (int i = 0; i < int(view::FixedViews.size()); ++i)
        Perspec->addItem(qs(view::FixedViews[std::size_t(viewOfListIndex(i))].caption));
    Ejes = new ui::PictureBox(side);
    Ejes->setObjectName("Ejes");
    Ejes->setBackgroundColour(0);
    Ejes->setFixedSize(80, 60);
    views->addWidget(Perspec, 1);
    views->addWidget(Ejes);
    col->addLayout(views);

    const ZoomButtons zoom = addZoomButtons(side, col);
    Redibuja = zoom.redraw;
    ZoomP = zoom.previous;
    ZoomV1 = zoom.window;
    ZoomV2 = zoom.drawing;
}

// "Ver Datos": what is shown besides the diagrams.
void DiagramWindow::buildDisplay(QWidget* side, QVBoxLayout* col) {
    auto* data = new QGroupBox(QStringLiteral("Ver Datos"), side);
    auto* dg = new QGridLayout(data);
    dg->setContentsMargins(6, 2, 6, 2);
    dg->setVerticalSpacing(0);
    VerEjeLoc = check(data, "VerEjeLoc", "Ejes barras");
    VerCoacciones = check(data, "VerCoacciones", "Coacciones");
    VerCargas = check(data, "VerCargas", "Cargas");
    Vertipos = check(data, "Vertipos", "Tipos barras");
    Numeranu = check(data, "Numeranu", "Num.Nudos");
    Numeraba = check(data, "Numeraba", "Num.Barras");
    for (std::size_t k = 0; k < shown().size(); ++k)
        dg->addWidget(shown()[k], int(k % 3), int(k / 3));
    auto* hl = new QLabel(QStringLiteral("Escala detalles"), data);
    HScal = scrollBar(data, "HScal", 0, 100, 30, "Escala de coacciones, cargas y ejes barras");
    hl->setToolTip(HScal->toolTip());
    dg->addWidget(hl, 3, 0);
    dg->addWidget(HScal, 3, 1);
    col->addWidget(data);
}

// The diagrams, each check box in its diagram's colour on a dark ground.
void DiagramWindow::buildResults(QWidget* side, QVBoxLayout* col) {
    auto* results = new QGroupBox(QStringLiteral("Resultados (t, m·t; deformada cm)"), side);
    results->setObjectName("Resultados");
    results->setStyleSheet(
        QStringLiteral("QGroupBox#Resultados { background-color: rgb(48, 48, "
                       "48); color: white; } QCheckBox { font-weight: bold; }"));
    auto* rg = new QGridLayout(results);
    rg->setContentsMargins(6, 14, 6, 2);
    rg->setVerticalSpacing(0);
    Hipotesis = new QComboBox(results);
    Hipotesis->setObjectName("Hipotesis");
    Hipotesis->setToolTip(QStringLiteral("Hipótesis, combinación o envolvente que se dibuja"));
    rg->addWidget(Hipotesis, 0, 0, 1, 2);
    const char* names[] = {"VerAxil", "VerCortY", "VerCortZ", "VerTorsor",
                           "VerMtoY", "VerMtoZ",  "VerDef"};
    for (std::size_t k = 0; k < Ver.size(); ++k) {
        const diagrams::DiagramKind& kind = diagrams::DiagramKinds[k];
        Ver[k] = check(results, names[k], kind.caption);
        Ver[k]->setStyleSheet(colourStyle(kind.colour));
        if (k < 6)
            rg->addWidget(Ver[k], 1 + int(k % 3), int(k / 3));
        else
            rg->addWidget(Ver[k], 4, 0);
    }
    Valores = check(results, "Valores", "Valores");
    Valores->setStyleSheet(QStringLiteral("color: white;"));
    Valores->setToolTip(
        QStringLiteral("Valores máximo y mínimo de cada barra, y en los extremos de los momentos"));
    rg->addWidget(Valores, 4, 1);
    auto* sl = new QLabel(QStringLiteral("Escala diagr."), results);
    sl->setStyleSheet(QStringLiteral("color: white;"));
    HScDg = scrollBar(results, "HScDg", 0, 200, 100, "Ampliación de escala");
    LbScDg = new QLabel(results);
    LbScDg->setObjectName("LbScDg");
    LbScDg->setStyleSheet(QStringLiteral("color: white;"));
    LbScDg->setMinimumWidth(LbScDg->fontMetrics().horizontalAdvance("00.00") + 4);
    Ajustar = namedButton(results, "Ajustar", "Ajustar",
                          "Escala con la que los diagramas marcados se leen bien");
    auto* sr = new QHBoxLayout;
    sr->addWidget(sl);
    sr->addWidget(HScDg, 1);
    sr->addWidget(LbScDg);
    sr->addWidget(Ajustar);
    rg->addLayout(sr, 5, 0, 1, 2);
    col->addWidget(results);
}

// "Barra 2D": one bar in detail, the legend of its deflections.
void DiagramWindow::buildDetail(QWidget* side, QVBoxLayout* col) {
    auto* detail = new QGroupBox(QStringLiteral("Barra 2D"), side);
    auto* bl = new QVBoxLayout(detail);
    bl->setContentsMargins(4, 2, 4, 2);
    DgBr = new ui::PictureBox(detail);
    DgBr->setObjectName("DgBr");
    DgBr->setBackgroundColour(diagrams::DetailBackground);
    DgBr->setFixedSize(330, 200);
    DgBr->setToolTip(QStringLiteral("Valores positivos hacia abajo, excepto la deformada Y"));
    bl->addWidget(DgBr);
    auto* legend = new QHBoxLayout;
    DefY = new QLabel(QStringLiteral("Deform. Y-"), detail);
    DefY->setObjectName("DefY");
    DefY->setStyleSheet(colourStyle(diagrams::DeflectionYColour) +
                        QStringLiteral(" background-color: rgb(64, 64, 64);"));
    DefZ = new QLabel(QStringLiteral("Deform. Z"), detail);
    DefZ->setObjectName("DefZ");
    DefZ->setStyleSheet(colourStyle(diagrams::DeflectionZColour) +
                        QStringLiteral(" background-color: rgb(64, 64, 64);"));
    Redibuja2 = namedButton(detail, "Redibuja2", "Redibuja");
    legend->addWidget(DefY);
    legend->addWidget(DefZ);
    legend->addStretch(1);
    legend->addWidget(Redibuja2);
    bl->addLayout(legend);
    col->addWidget(detail);
}

// Results DXF and printing.
void DiagramWindow::buildOutput(QWidget* side, QVBoxLayout* col) {
    auto* dxf = new QGroupBox(QStringLiteral("Salida DXF"), side);
    auto* xl = new QHBoxLayout(dxf);
    xl->setContentsMargins(6, 2, 6, 2);
    aDXF = namedButton(dxf, "aDXF", "Crea DXF...",
                       "DXF 3D y 2D de todas barras. Con todos los diagramas y la escala de "
                       "diagramas actual");
    PrgDXF = new ui::PictureBox(dxf);
    PrgDXF->setObjectName("PrgDXF");
    PrgDXF->setBackgroundColour(rgb(255, 255, 255));
    PrgDXF->setFixedHeight(14);
    xl->addWidget(aDXF);
    xl->addWidget(PrgDXF, 1);
    col->addWidget(dxf);

    auto* print = new QGroupBox(QStringLiteral("Imprimir"), side);
    auto* pl = new QGridLayout(print);
    pl->setContentsMargins(6, 2, 6, 2);
    Print3D = namedButton(print, "Print3D", "Estructura", PrintHint);
    Print2D = namedButton(print, "Print2D", "Barra 2D", PrintHint);
    HPrn = scrollBar(print, "HPrn", 1, 100, 100, "Porcentaje ocupación página");
    LbPorc = new QLabel(print);
    LbPorc->setObjectName("LbPorc");
    pl->addWidget(Print3D, 0, 0);
    pl->addWidget(Print2D, 0, 1);
    pl->addWidget(HPrn, 1, 0);
    pl->addWidget(LbPorc, 1, 1);
    col->addWidget(print);
}

void DiagramWindow::connectControls() {
    wire(Perspec, &QComboBox::activated, this, &DiagramWindow::Perspec_Click);
    wire(Redibuja, &QPushButton::clicked, this, &DiagramWindow::Redibuja_Click);
    wire(Redibuja2, &QPushButton::clicked, this, &DiagramWindow::Redibuja_Click);
    wire(ZoomP, &QPushButton::clicked, this, &DiagramWindow::ZoomP_Click);
    wire(ZoomV1, &QPushButton::clicked, this, &DiagramWindow::ZoomV1_Click);
    wire(ZoomV2, &QPushButton::clicked, this, &DiagramWindow::ZoomV2_Click);
    for (QCheckBox* c : shown())
        wire(c, &QCheckBox::toggled, this, &DiagramWindow::Redibuja_Click);
    // While the scale bar stands at its middle, what is ticked is fitted.
    for (QCheckBox* c : Ver)
        wire(c, &QCheckBox::toggled, this, [this] {
            if (HScDg->value() == 100)
                Ajustar_Click();
            else
                Redibuja_Click();
        });
    wire(Valores, &QCheckBox::toggled, this, &DiagramWindow::Redibuja_Click);
    wire(Ajustar, &QPushButton::clicked, this, &DiagramWindow::Ajustar_Click);
    wire(Hipotesis, &QComboBox::activated, this, &DiagramWindow::Hipotesis_Click);
    wire(HScal, &QScrollBar::valueChanged, this, &DiagramWindow::Redibuja_Click);
    wire(HScDg, &QScrollBar::valueChanged, this, [this] {
        HScDg_Change();
        Redibuja_Click();
    });
    wire(HPrn, &QScrollBar::valueChanged, this, &DiagramWindow::HPrn_Change);
    wire(aDXF, &QPushButton::clicked, this, &DiagramWindow::aDXF_Click);
    wire(Print3D, &QPushButton::clicked, this, &DiagramWindow::Print3D_Click);
    wire(Print2D, &QPushButton::clicked, this, &DiagramWindow::Print2D_Click);
    connect(Salir, &QPushButton::clicked, this, &QWidget::close);
    wire(Dib, &ui::PictureBox::mouseDown, this, &DiagramWindow::mouseDown);
    wire(Dib, &ui::PictureBox::mouseMove, this, &DiagramWindow::mouseMove);
    wire(Dib, &ui::PictureBox::mouseUp, this, &DiagramWindow::mouseUp);
    // A new size fits the structure again; the picked bar stays.
    wire(Dib, &ui::PictureBox::resized, this, [this] {
        if (!picture_ || isMinimized()) return;
        picture_->zoomnum(0, dibWidth(), dibHeight());
        picture_->fitDrawn(options(), dibWidth(), dibHeight());
        drawAxes();
        Redibuja_Click();
    });
    wire(Ejes, &ui::PictureBox::resized, this, &DiagramWindow::drawAxes);
    wire(DgBr, &ui::PictureBox::resized, this, &DiagramWindow::drawDetail);
}

std::array<QCheckBox*, 6> DiagramWindow::shown() const {
    return {VerEjeLoc, VerCoacciones, VerCargas, Vertipos, Numeranu, Numeraba};
}

float DiagramWindow::dibWidth() const {
    return float(const_cast<ui::PictureBox*>(Dib)->surface().scaleWidth());
}
float DiagramWindow::dibHeight() const {
    return float(const_cast<ui::PictureBox*>(Dib)->surface().scaleHeight());
}

diagrams::PictureOptions DiagramWindow::options() const {
    diagrams::PictureOptions o;
    for (std::size_t k = 0; k < Ver.size(); ++k)
        if (Ver[k]->isChecked()) o.codes += diagrams::DiagramKinds[k].code;
    o.S = S_;
    o.HScal = HScal->value();
    o.localAxes = VerEjeLoc->isChecked();
    o.restraints = VerCoacciones->isChecked();
    o.loads = VerCargas->isChecked();
    o.types = Vertipos->isChecked();
    o.nodeNumbers = Numeranu->isChecked();
    o.barNumbers = Numeraba->isChecked();
    o.values = Valores->isChecked();
    return o;
}

// ---- drawing ----

void DiagramWindow::Redibuja_Click() {
    if (!picture_) return;
    picture_->DibujaEstr(Dib->surface(), 1, options());
    drawDetail();
}

void DiagramWindow::drawDetail() {
    if (!picture_ || picker_.current() <= 0) return;
    diagrams::DibujaBarra2D(picture_->data(), picker_.current(), DgBr->surface(),
                            {options().codes, false});
}

void DiagramWindow::drawAxes() {
    if (!picture_) return;
    // This indicator draws in the surface's own foreground colour.
    Ejes->surface().setForeground(palette16(15));
    view::DibujaEjes(Ejes->surface(), picture_->screen().view(),
                     picture_->screen().rule().axesColour);
}

void DiagramWindow::Perspec_Click(int index) {
    if (!picture_) return;
    Perspec->setCurrentIndex(index);
    picture_->Perspec(viewOfListIndex(index), dibWidth(), dibHeight());
    picture_->fitDrawn(options(), dibWidth(), dibHeight());
    drawAxes();
    Redibuja_Click();
}

void DiagramWindow::HScDg_Change() {
    S_ = fitted_ * diagrams::diagramScaleOf(HScDg->value());
    LbScDg->setText(QString::number(S_, 'g', 3));
}

void DiagramWindow::Ajustar_Click() {
    if (!picture_) return;
    fitted_ = diagrams::fittedDiagramScale(picture_->data(), options().codes);
    QSignalBlocker quiet(HScDg);
    HScDg->setValue(100);
    HScDg_Change();
    picture_->fitDrawn(options(), dibWidth(), dibHeight());
    Redibuja_Click();
}

void DiagramWindow::Hipotesis_Click(int index) {
    if (!picture_ || index < 0 || index >= int(sets_.size())) return;
    const std::string dir = context().session().settings.StructureDirectory;
    ui::guarded(context(), [&] {
        try {
            auto next = std::make_unique<diagrams::DiagramPicture>(
                diagrams::DiagramPicture::load(dir, sets_[std::size_t(index)]));
            picture_ = std::move(next);
            shownIndex_ = index;
        } catch (const diagrams::DiagramError& e) {
            context().messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
        } catch (const analysis::CalculationError& e) {
            context().messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
        }
    });
    // A set that could not be read leaves the one shown, and the list says so.
    Hipotesis->setCurrentIndex(shownIndex_);
    picture_->Perspec(viewOfListIndex(Perspec->currentIndex()), dibWidth(), dibHeight());
    if (HScDg->value() == 100)
        Ajustar_Click();
    else
        Redibuja_Click();
}

// ---- zoom and picking ----

void DiagramWindow::ZoomP_Click() {
    if (!picture_) return;
    picture_->zoomnum(-1, dibWidth(), dibHeight());
    Redibuja_Click();
}

void DiagramWindow::ZoomV1_Click() {
    zoom_.setActive(true);
    ZoomV1->hide();
    ZoomV2->show();
}

void DiagramWindow::ZoomV2_Click() {
    zoom_.setActive(false);
    Dib->overlay().clear();
    ZoomV2->hide();
    ZoomV1->show();
}

void DiagramWindow::mouseDown(const PointerEvent& e) {
    if (!picture_ || e.button != Button::Left) return;
    zoom_.press(float(e.x), float(e.y));
    if (zoom_.active()) return;
    // Past the last bar on this spot the first comes again: a picked bar
    // never blanks the detail.
    const auto& at = picture_->screen().midpoints();
    if (picker_.press(float(e.x), float(e.y), at) > 0 ||
        picker_.press(float(e.x), float(e.y), at) > 0)
        drawDetail();
    else
        diagrams::emptyDetail(picture_->data(), DgBr->surface());
}

// The rubber band of the zoom window, on the overlay; a drag outside that
// mode zooms nothing, so it draws nothing either.
void DiagramWindow::mouseMove(const PointerEvent& e) {
    if (!picture_ || !zoom_.active() || !e.held(Button::Left)) return;
    zoom_.move(float(e.x), float(e.y));
    Dib->overlay().clear();
    view::drawBand(Dib->overlay(), zoom_.drag(), RubberColour);
}

void DiagramWindow::mouseUp(const PointerEvent& e) {
    if (!picture_ || !zoom_.active() || e.button != Button::Left) return;
    const auto window =
        zoom_.release(float(e.x), float(e.y), picture_->screen().view(), dibWidth(), dibHeight());
    picture_->zoomInto(window, dibWidth(), dibHeight());
    ZoomV2_Click();
    Redibuja_Click();
}

// ---- results DXF ----

void DiagramWindow::aDXF_Click() {
    if (!picture_ || exporting_) return;
    if (context().messages().show("Resultados a DXF...", dxfQuestion(S_), MessageIcon::Information,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    Surface& bar = PrgDXF->surface();
    bar.setBackground(rgb(255, 255, 255));
    bar.clear();
    bar.setForeground(rgb(0, 0, 255));
    exporting_ = true;
    stop_ = false;
    ui::PumpedProgress progress(
        [&](int, long long current, long long total) {
            DrawProgress(bar, float(current), float(total));
        },
        stop_);
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    try {
        const std::string suffix = sets_.empty() ? "" : diagrams::dxfSuffix(shownSet());
        if (diagrams::writeResultsDxf(picture_->data(), dir, context().session().programDirectory,
                                      S_, &progress, suffix) == diagrams::DxfOutcome::Written)
            context().messages().show("Resultados a DXF...",
                                      "Dibujos escritos en la carpeta " + dir.string() + ":\r\r" +
                                          diagrams::dxfName(diagrams::Dxf3DName, suffix) +
                                          ": la estructura en 3D con todos sus diagramas\r" +
                                          diagrams::dxfName(diagrams::Dxf2DName, suffix) +
                                          ": una hoja por barra con sus diagramas",
                                      MessageIcon::Information);
    } catch (const diagrams::DiagramError& e) {
        context().messages().show(WarningTitle, e.what(), MessageIcon::Exclamation);
    } catch (const FileError& e) {
        // The earlier drawings are as they were; the window stays open.
        context().messages().show(WarningTitle, e.message(), MessageIcon::Critical);
    }
    exporting_ = false;
    if (closeAfterExport_) close();
}

// ---- printing ----

void DiagramWindow::HPrn_Change() {
    LbPorc->setText(QStringLiteral(" %1%").arg(HPrn->value()));
}

diagrams::ShownSet DiagramWindow::shownSet() const {
    const int k = shownIndex_;
    return k >= 0 && k < int(sets_.size()) ? sets_[std::size_t(k)] : diagrams::ShownSet{};
}

diagrams::TitleBlock DiagramWindow::titleBlock(const std::string& contents) {
    diagrams::TitleBlock t;
    t.structure = context().session().settings.StructureDirectory;
    t.contents = contents + " (" + Hipotesis->currentText().toStdString() + ")";
    t.units = "Unidades: m, t, m·t; deformada en cm";
    t.date = context().clock().today();
    return t;
}

void DiagramWindow::Print3D_Click() {
    if (!picture_) return;
    const SessionSettings& s = context().session().settings;
    const diagrams::PictureOptions o = options();
    std::string shown;
    for (char code : o.codes)
        shown += (shown.empty() ? "" : ", ") + std::string(diagrams::diagramKind(code).caption);
    diagrams::TitleBlock t = titleBlock("Diagramas: " + (shown.empty() ? "ninguno" : shown));
    t.scale =
        "Escala diagramas: " + QString::number(S_, 'g', 3).toStdString() + " m por t, m·t o cm";
    auto printer = context().openPrinter(s.StructureDirectory, "diagramas");
    picture_->print(*printer, Dib->surface(), o, HPrn->value(), t);
    printer->endDocument();
}

void DiagramWindow::Print2D_Click() {
    if (!picture_ || picker_.current() <= 0) return;
    auto printer = context().openPrinter(context().session().settings.StructureDirectory, "barra");
    diagrams::TitleBlock t = titleBlock("Barra " + std::to_string(picker_.current()));
    t.scale = "Cada diagrama a su escala; abscisas en metros";
    diagrams::printBarDetail(*printer, picture_->data(), picker_.current(), options().codes,
                             HPrn->value(), t);
    printer->endDocument();
}

// ---- window ----

bool DiagramWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        setWindowTitle(qs("Diagramas estructura... [" +
                          context().session().settings.StructureDirectory + "]"));
    return ModuleWindow::event(e);
}

void DiagramWindow::closeEvent(QCloseEvent* event) {
    // Closed while the DXF is written: stop it and close once it has returned.
    if (exporting_) {
        stop_ = true;
        closeAfterExport_ = true;
        event->ignore();
        return;
    }
    context().session().settings.ChildWindowState = windowStateOf(*this);
    ModuleWindow::closeEvent(event);
}

}  // namespace vanto
