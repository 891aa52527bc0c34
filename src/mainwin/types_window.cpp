#include "mainwin/types_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/files.h"
#include "model/helpers.h"
#include "ui/convert.h"
#include "ui/number_box.h"
#include "ui/qt_surface.h"

namespace vanto {

using ui::qs;

namespace {

// A default text as the user's locale writes it; the generator takes "," and
// "." alike.
QString localised(const std::string& text) {
    QString s = qs(text);
    s.replace(QLatin1Char(','), QLatin1Char(decimalSeparator()));
    return s;
}

QLineEdit* box(QWidget* parent, const char* name, const std::string& text) {
    auto* edit = new QLineEdit(localised(text), parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("000000,00") + 10);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance("000000,00") + 30);
    return edit;
}

QCheckBox* family(QWidget* parent, const char* name, const char* caption) {
    auto* check = new QCheckBox(qs(caption), parent);
    check->setObjectName(name);
    return check;
}

void headings(QGridLayout* grid, QWidget* parent) {
    int column = 2;
    for (const char* h : {"Desde", "Hasta", "Cada"}) {
        auto* label = new QLabel(qs(h), parent);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column++);
    }
}

// One row of range boxes: caption, then the boxes in "Desde", "Hasta", "Cada".
void rangeRow(QGridLayout* grid, int row, QWidget* parent, const char* caption,
              std::initializer_list<QLineEdit*> boxes) {
    grid->addWidget(new QLabel(qs(caption), parent), row, 1);
    int column = 2;
    // Each box is named for messages: column, row, group and family.
    QString family;
    for (int r = row; r >= 0 && family.isEmpty(); --r)
        if (QLayoutItem* item = grid->itemAtPosition(r, 0))
            if (auto* check = qobject_cast<QCheckBox*>(item->widget())) family = check->text();
    const QString where = QStringLiteral(" de %1 (%2, %3)")
                              .arg(qs(caption), static_cast<QGroupBox*>(parent)->title(), family);
    const char* columns[] = {"Desde", "Hasta", "Cada"};
    for (QLineEdit* b : boxes) {
        b->setAccessibleName(qs(columns[column - 2]) + where);
        grid->addWidget(b, row, column++);
    }
}

// A box's text with "." for the locale's separator; Crear_Click has checked
// that the enabled ones hold numbers.
std::string text(const QLineEdit* edit) {
    QString s = edit->text();
    s.replace(QLatin1Char(decimalSeparator()), QLatin1Char('.'));
    return ui::utf8(s);
}

}  // namespace

TypesWindow::TypesWindow(ui::AppContext& context, QWidget* parent) : BusyWindow(context, parent) {
    setWindowTitle(QStringLiteral("Generación de tipos de barras"));
    const bartypes::GeneratorOptions d;
    auto* layout = new QVBoxLayout(this);

    // Rolled steel: profiles from the catalogue, rectangles and circles.
    AceroLaminado = new QGroupBox(QStringLiteral("Acero Laminado"), this);
    AceroLaminado->setObjectName("AceroLaminado");
    auto* steel = new QGridLayout(AceroLaminado);
    headings(steel, AceroLaminado);
    ALperf = family(AceroLaminado, "ALperf", "Perfiles");
    IPEmin = box(AceroLaminado, "IPEmin", d.IPEmin);
    IPEmax = box(AceroLaminado, "IPEmax", d.IPEmax);
    HEBmin = box(AceroLaminado, "HEBmin", d.HEBmin);
    HEBmax = box(AceroLaminado, "HEBmax", d.HEBmax);
    UPNmin = box(AceroLaminado, "UPNmin", d.UPNmin);
    UPNmax = box(AceroLaminado, "UPNmax", d.UPNmax);
    steel->addWidget(ALperf, 1, 0);
    rangeRow(steel, 1, AceroLaminado, "IPE (mm.)", {IPEmin, IPEmax});
    rangeRow(steel, 2, AceroLaminado, "HEB (mm.)", {HEBmin, HEBmax});
    rangeRow(steel, 3, AceroLaminado, "UPN (mm.)", {UPNmin, UPNmax});
    ALrect = family(AceroLaminado, "ALrect", "Rectangular");
    AAnchMin = box(AceroLaminado, "AAnchMin", d.AAnchMin);
    AAnchMax = box(AceroLaminado, "AAnchMax", d.AAnchMax);
    AAnchStep = box(AceroLaminado, "AAnchStep", d.AAnchStep);
    ACantMin = box(AceroLaminado, "ACantMin", d.ACantMin);
    ACantMax = box(AceroLaminado, "ACantMax", d.ACantMax);
    ACantStep = box(AceroLaminado, "ACantStep", d.ACantStep);
    steel->addWidget(ALrect, 4, 0);
    rangeRow(steel, 4, AceroLaminado, "Ancho (cm.)", {AAnchMin, AAnchMax, AAnchStep});
    rangeRow(steel, 5, AceroLaminado, "Canto (cm.)", {ACantMin, ACantMax, ACantStep});
    ALcirc = family(AceroLaminado, "ALcirc", "Circular");
    ADiamMin = box(AceroLaminado, "ADiamMin", d.ADiamMin);
    AdiamMax = box(AceroLaminado, "AdiamMax", d.AdiamMax);
    ADiamStep = box(AceroLaminado, "ADiamStep", d.ADiamStep);
    steel->addWidget(ALcirc, 6, 0);
    rangeRow(steel, 6, AceroLaminado, "Diametro (cm.)", {ADiamMin, AdiamMax, ADiamStep});
    CmbAcer = new QComboBox(AceroLaminado);
    CmbAcer->setObjectName("CmbAcer");
    for (const std::string& grade : bartypes::steelGrades())
        CmbAcer->addItem(qs(grade));
    steel->addWidget(new QLabel(QStringLiteral("Calidad:"), AceroLaminado), 7, 1);
    steel->addWidget(CmbAcer, 7, 2, 1, 2);
    steel->setColumnStretch(5, 1);
    layout->addWidget(AceroLaminado);

    // Reinforced concrete: rectangles and circles.
    HormigonArmado = new QGroupBox(QStringLiteral("Homigón Armado"), this);
    HormigonArmado->setObjectName("HormigonArmado");
    auto* concrete = new QGridLayout(HormigonArmado);
    headings(concrete, HormigonArmado);
    HArect = family(HormigonArmado, "HArect", "Rectangular");
    HAnchMin = box(HormigonArmado, "HAnchMin", d.HAnchMin);
    HAnchMax = box(HormigonArmado, "HAnchMax", d.HAnchMax);
    HAnchStep = box(HormigonArmado, "HAnchStep", d.HAnchStep);
    HCantMin = box(HormigonArmado, "HCantMin", d.HCantMin);
    HCantMax = box(HormigonArmado, "HCantMax", d.HCantMax);
    HCantStep = box(HormigonArmado, "HCantStep", d.HCantStep);
    concrete->addWidget(HArect, 1, 0);
    rangeRow(concrete, 1, HormigonArmado, "Ancho (cm.)", {HAnchMin, HAnchMax, HAnchStep});
    rangeRow(concrete, 2, HormigonArmado, "Canto (cm.)", {HCantMin, HCantMax, HCantStep});
    HAcirc = family(HormigonArmado, "HAcirc", "Circular");
    HDiamMin = box(HormigonArmado, "HDiamMin", d.HDiamMin);
    HDiamMax = box(HormigonArmado, "HDiamMax", d.HDiamMax);
    HDiamStep = box(HormigonArmado, "HDiamStep", d.HDiamStep);
    concrete->addWidget(HAcirc, 3, 0);
    rangeRow(concrete, 3, HormigonArmado, "Diametro (cm.)", {HDiamMin, HDiamMax, HDiamStep});
    CmbHorm = new QComboBox(HormigonArmado);
    CmbHorm->setObjectName("CmbHorm");
    for (const std::string& grade : bartypes::concreteGrades())
        CmbHorm->addItem(qs(grade));
    concrete->addWidget(new QLabel(QStringLiteral("Calidad:"), HormigonArmado), 4, 1);
    concrete->addWidget(CmbHorm, 4, 2, 1, 2);
    concrete->setColumnStretch(5, 1);
    layout->addWidget(HormigonArmado);

    // Soil springs, with the explanation behind "?".
    FrameTerreno = new QGroupBox(this);
    FrameTerreno->setObjectName("FrameTerreno");
    auto* soil = new QHBoxLayout(FrameTerreno);
    Terreno = family(FrameTerreno, "Terreno", "Terreno");
    Int = new QToolButton(FrameTerreno);
    Int->setObjectName("Int");
    Int->setText(QStringLiteral("?"));
    Int->setToolTip(qs(bartypes::TerrenoHelpTitle));
    soil->addWidget(Terreno);
    soil->addWidget(new QLabel(QStringLiteral("Generar piezas de longitud 1 m."), FrameTerreno), 1);
    soil->addWidget(Int);
    layout->addWidget(FrameTerreno);

    // Align the first column of both grids.
    const int first = std::max({ALperf->sizeHint().width(), ALrect->sizeHint().width(),
                                HArect->sizeHint().width(), Terreno->sizeHint().width()});
    steel->setColumnMinimumWidth(0, first);
    concrete->setColumnMinimumWidth(0, first);
    const int second = steel->itemAtPosition(6, 1)->sizeHint().width();
    steel->setColumnMinimumWidth(1, second);
    concrete->setColumnMinimumWidth(1, second);

    Barra = makeProgressPicture(this, "Barra");
    layout->addWidget(Barra);
    Estado = new QLabel(this);
    Estado->setObjectName("Estado");
    layout->addWidget(Estado);

    auto* buttons = new QHBoxLayout;
    Crear = new QPushButton(QStringLiteral("Crear"), this);
    Crear->setObjectName("Crear");
    Crear->setDefault(true);
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    buttons->addStretch();
    buttons->addWidget(Crear);
    buttons->addWidget(Salir);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(Crear, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &TypesWindow::Crear_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &TypesWindow::Salir_Click));
    connect(Int, &QToolButton::clicked, this,
            ui::slot(this->context(), this, &TypesWindow::Int_Click));
    for (QCheckBox* c : {ALperf, ALrect, ALcirc, HArect, HAcirc})
        connect(c, &QCheckBox::toggled, this,
                ui::slot(this->context(), this, &TypesWindow::enableRanges));

    Form_Load();
}

TypesWindow::~TypesWindow() = default;

void TypesWindow::Form_Load() {
    CmbAcer->setCurrentIndex(0);
    CmbHorm->setCurrentIndex(0);
    clearProgress(*Barra);
    enableRanges();
    if (context().session().OpenedByModule) {
        // Completing a structure: no one is there to press "Crear".
        unattended_ = true;
        setAttribute(Qt::WA_DontShowOnScreen);
        tickEverything();
        QTimer::singleShot(0, this, [this] {
            Crear_Click();
            close();
        });
        return;
    }
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    ui::guarded(context(), [&] { MaxTypeUsed = bartypes::maxTypeUsed(dir); });
}

void TypesWindow::tickEverything() {
    for (QCheckBox* c : {ALrect, ALcirc, ALperf, HArect, HAcirc, Terreno})
        c->setChecked(true);
}

void TypesWindow::enableRanges() {
    for (QLineEdit* e : {IPEmin, IPEmax, HEBmin, HEBmax, UPNmin, UPNmax})
        e->setEnabled(ALperf->isChecked());
    for (QLineEdit* e : {AAnchMin, AAnchMax, AAnchStep, ACantMin, ACantMax, ACantStep})
        e->setEnabled(ALrect->isChecked());
    for (QLineEdit* e : {ADiamMin, AdiamMax, ADiamStep})
        e->setEnabled(ALcirc->isChecked());
    for (QLineEdit* e : {HAnchMin, HAnchMax, HAnchStep, HCantMin, HCantMax, HCantStep})
        e->setEnabled(HArect->isChecked());
    for (QLineEdit* e : {HDiamMin, HDiamMax, HDiamStep})
        e->setEnabled(HAcirc->isChecked());
    CmbAcer->setEnabled(ALperf->isChecked() || ALrect->isChecked() || ALcirc->isChecked());
    CmbHorm->setEnabled(HArect->isChecked() || HAcirc->isChecked());
}

bartypes::GeneratorOptions TypesWindow::options() const {
    bartypes::GeneratorOptions o;
    o.ALperf = ALperf->isChecked();
    o.IPEmin = text(IPEmin), o.IPEmax = text(IPEmax);
    o.HEBmin = text(HEBmin), o.HEBmax = text(HEBmax);
    o.UPNmin = text(UPNmin), o.UPNmax = text(UPNmax);
    o.ALrect = ALrect->isChecked();
    o.AAnchMin = text(AAnchMin), o.AAnchMax = text(AAnchMax), o.AAnchStep = text(AAnchStep);
    o.ACantMin = text(ACantMin), o.ACantMax = text(ACantMax), o.ACantStep = text(ACantStep);
    o.ALcirc = ALcirc->isChecked();
    o.ADiamMin = text(ADiamMin), o.AdiamMax = text(AdiamMax), o.ADiamStep = text(ADiamStep);
    o.HArect = HArect->isChecked();
    o.HAnchMin = text(HAnchMin), o.HAnchMax = text(HAnchMax), o.HAnchStep = text(HAnchStep);
    o.HCantMin = text(HCantMin), o.HCantMax = text(HCantMax), o.HCantStep = text(HCantStep);
    o.HAcirc = HAcirc->isChecked();
    o.HDiamMin = text(HDiamMin), o.HDiamMax = text(HDiamMax), o.HDiamStep = text(HDiamStep);
    o.Terreno = Terreno->isChecked();
    o.CmbAcer = std::max(0, CmbAcer->currentIndex());
    o.CmbHorm = std::max(0, CmbHorm->currentIndex());
    return o;
}

void TypesWindow::Crear_Click() {
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (e->isEnabled() && !ui::numberInBox(context().messages(), e)) return;
    const bartypes::GeneratorOptions o = options();
    if (!beginWork({Crear, Salir, AceroLaminado, HormigonArmado, FrameTerreno})) return;
    Estado->clear();
    clearProgress(*Barra);
    PictureProgress progress(*Barra, *this);
    auto result = bartypes::generateTypes(o, unattended_ ? 0 : MaxTypeUsed, &progress);
    // Closed meanwhile: the old table stays.
    if (!endWork()) return;

    if (const auto* refusal = std::get_if<bartypes::Refusal>(&result)) {
        clearProgress(*Barra);
        context().messages().show(refusal->title, refusal->message, MessageIcon::Exclamation);
        return;
    }
    const auto& types = std::get<bartypes::GeneratedTypes>(result);
    if (types.count == 0) {
        // An empty table would leave every bar without its type.
        clearProgress(*Barra);
        context().messages().show("¡ Aviso !",
                                  "Con las opciones elegidas no se genera ningún tipo de barra.",
                                  MessageIcon::Exclamation);
        return;
    }
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    try {
        bartypes::writeTypesFile(dir, types);
    } catch (const FileError& e) {
        clearProgress(*Barra);
        fileFailure(e);
        return;
    }
    showProgress(*Barra, 1, 1);
    Estado->setText(
        types.count == 1
            ? QStringLiteral("Se ha creado 1 tipo de barra en TIPOS.DAT.")
            : QStringLiteral("Se han creado %1 tipos de barras en TIPOS.DAT.").arg(types.count));
}

void TypesWindow::Int_Click() {
    context().messages().show(bartypes::TerrenoHelpTitle, bartypes::TerrenoHelpText,
                              MessageIcon::Information);
}

void TypesWindow::Salir_Click() {
    close();
}

void TypesWindow::closeEvent(QCloseEvent* event) {
    // Opened by another module: the flag goes down, and the main window is
    // not brought back.
    if (unattended_) context().session().OpenedByModule = false;
    BusyWindow::closeEvent(event);
}

}  // namespace vanto
