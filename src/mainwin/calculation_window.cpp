#include "mainwin/calculation_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <new>

#include "analysis/calculation.h"
#include "model/files.h"
#include "ui/convert.h"
#include "ui/event_pump.h"
#include "ui/qt_surface.h"

namespace vanto {

using analysis::CalculationError;
using ui::qs;

namespace {

const Colour ProgressColour = rgb(0, 0, 128);

const char* const rowCaptions[7] = {
    "Ensamblando la barra nº:",   "Reduciendo la fila nº:",   "Calculando incógnita nº:",
    "Hipótesis y combinaciones:", "Esfuerzo en la barra nº:", "Diagrama de la barra nº:",
    "Envolvente de la barra nº:",
};
const char* const rowNames[7][3] = {
    {"ba1", "baT", "PctBa"}, {"fi1", "fiT", "PctFi"}, {"ig1", "igT", "PctIg"},
    {"hi1", "hiT", "PctHi"}, {"es1", "esT", "PctEs"}, {"dg1", "dgT", "PctDg"},
    {"en1", "enT", "PctEn"},
};

// The row of a stage: the cases' row above the end forces and diagrams it
// counts, the envelope's last.
int rowOf(int stage) {
    switch (stage) {
        case analysis::StageAssembly:
            return 0;
        case analysis::StageReduction:
            return 1;
        case analysis::StageBackSubstitution:
            return 2;
        case analysis::StageCases:
            return 3;
        case analysis::StageEndForces:
            return 4;
        case analysis::StageDiagrams:
            return 5;
        case analysis::StageEnvelope:
            return 6;
    }
    return -1;
}

}  // namespace

// Hands the calculation's progress to the window at most every 30 ms or so,
// and its stop flag on every bar and row.
class CalculationWindow::Observer : public analysis::CalcObserver {
  public:
    explicit Observer(CalculationWindow& window) : window_(window) {}

    void report(int stage, long long current, long long total) override {
        if (stage == analysis::StageListing) {
            window_.showListingFrame(current < total);
            pump_.pump();
            stage_ = stage;
            return;
        }
        if (stage == stage_ && current != total && !pump_.due()) {
            pending_ = {current, total};
            return;
        }
        // Leave the previous stage showing how far it got.
        if (stage != stage_ && stage_ > 0 && pending_.total > 0)
            window_.showProgress(stage_, pending_.current, pending_.total);
        stage_ = stage;
        pending_ = {};
        window_.showProgress(stage, current, total);
        pump_.pump();
    }
    bool stopRequested() override { return window_.stopRequested(); }
    void warning(const std::string& text) override { window_.report("¡ Aviso !", text); }
    void finishTime(const std::string& hoursMinutes) override {
        window_.finishTime_ = qs(hoursMinutes);
    }
    // The last values reported, shown when the calculation ends.
    void flush() {
        if (stage_ > 0 && stage_ != analysis::StageListing && pending_.total > 0)
            window_.showProgress(stage_, pending_.current, pending_.total);
        window_.HoraFin->setText(window_.finishTime_);
    }

  private:
    struct Pending {
        long long current = 0, total = 0;
    };
    CalculationWindow& window_;
    ui::EventPump pump_{30};
    int stage_ = 0;
    Pending pending_;
};

CalculationWindow::CalculationWindow(ui::AppContext& context, QWidget* parent)
    : BusyWindow(context, parent) {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    ChkMt = new QCheckBox(QStringLiteral("Grabar la ecuación matricial en MATRIZ.LSC"), this);
    ChkMt->setObjectName("ChkMt");
    ChkTr = new QCheckBox(QStringLiteral("Grabar matriz triangulada en MATRIZ.TRI"), this);
    ChkTr->setObjectName("ChkTr");
    checks->addWidget(ChkMt);
    checks->addWidget(ChkTr);
    top->addLayout(checks, 3);

    // Frame1 and Frame2 share one place: Frame2 shows while the listing is
    // written, Frame1 the rest of the time. Stacked, so nothing below moves.
    auto* frames = new QStackedLayout;
    Frame1 = new QGroupBox(QStringLiteral("Hora previsible de finalización."), this);
    Frame1->setObjectName("Frame1");
    auto* f1 = new QHBoxLayout(Frame1);
    f1->addWidget(new QLabel(QStringLiteral("Hora fin:"), Frame1));
    HoraFin = new QLabel(Frame1);
    HoraFin->setObjectName("HoraFin");
    HoraFin->setMinimumWidth(60);
    QFont big = HoraFin->font();
    big.setBold(true);
    HoraFin->setFont(big);
    f1->addWidget(HoraFin, 1);
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    auto* f2 = new QHBoxLayout(Frame2);
    f2->addWidget(new QLabel(QStringLiteral("Generando listado ..."), Frame2));
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    frames_ = frames;
    top->addLayout(frames, 2);
    layout->addLayout(top);

    ProCalc = new QGroupBox(QStringLiteral("Proceso cálculo"), this);
    ProCalc->setObjectName("ProCalc");
    auto* grid = new QGridLayout(ProCalc);
    for (int r = 0; r < int(rows.size()); ++r) {
        grid->addWidget(new QLabel(qs(rowCaptions[r]), ProCalc), r, 0);
        auto* current = new QLabel(ProCalc);
        current->setObjectName(rowNames[r][0]);
        current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        current->setMinimumWidth(current->fontMetrics().horizontalAdvance("0000000"));
        auto* total = new QLabel(ProCalc);
        total->setObjectName(rowNames[r][1]);
        total->setMinimumWidth(total->fontMetrics().horizontalAdvance("/ 0000000"));
        auto* picture = new ui::PictureBox(ProCalc);
        picture->setObjectName(rowNames[r][2]);
        picture->setMinimumWidth(160);
        picture->setFixedHeight(18);
        picture->surface().setForeground(ProgressColour);
        grid->addWidget(current, r, 1);
        grid->addWidget(total, r, 2);
        grid->addWidget(picture, r, 3);
        rows[r] = {current, total, picture, 0, 0};
    }
    grid->setColumnStretch(3, 1);
    layout->addWidget(ProCalc, 1);

    auto* buttons = new QHBoxLayout;
    Comenzar = new QPushButton(QStringLiteral("Comenzar"), this);
    Comenzar->setObjectName("Comenzar");
    Comenzar->setDefault(true);
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    buttons->addStretch();
    buttons->addWidget(Comenzar);
    buttons->addWidget(Salir);
    layout->addLayout(buttons);

    connect(Comenzar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &CalculationWindow::Comenzar_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &CalculationWindow::Salir_Click));
    connect(ChkMt, &QCheckBox::clicked, this,
            ui::slot(this->context(), this, &CalculationWindow::ChkMt_Click));
    // A resized picture starts blank: draw its bar again.
    for (Row& row : rows)
        connect(row.picture, &ui::PictureBox::resized, this, ui::slot(this->context(), [&row] {
                    row.picture->surface().setForeground(ProgressColour);
                    DrawProgress(row.picture->surface(), float(row.done), float(row.of));
                }));

    Form_Load();
    resize(620, 390);
}

CalculationWindow::~CalculationWindow() = default;

void CalculationWindow::Form_Load() {
    setWindowTitle("Cálculo matricial GE.[" + qs(context().session().settings.StructureDirectory) +
                   "]");
    for (Row& row : rows) {
        row.current->setText(QString());
        row.total->setText(QStringLiteral("/"));
        row.picture->surface().clear();
        row.done = row.of = 0;
    }
    finishTime_.clear();
    HoraFin->setText(QString());
}

void CalculationWindow::ChkMt_Click(bool checked) {
    if (!checked) return;
    context().messages().show("Aviso",
                              "Para estructuras un poco grandes (>30 nudos) se \n"
                              "genera un fichero grande y consume bastante tiempo",
                              MessageIcon::Exclamation);
}

void CalculationWindow::showProgress(int stage, long long current, long long total) {
    const int r = rowOf(stage);
    if (r < 0) return;
    Row& row = rows[std::size_t(r)];
    row.current->setText(QString::number(current));
    row.total->setText("/ " + QString::number(total));
    row.done = current;
    row.of = total;
    DrawProgress(row.picture->surface(), float(current), float(total));
    HoraFin->setText(finishTime_);
}

void CalculationWindow::showListingFrame(bool listing) {
    frames_->setCurrentWidget(listing ? static_cast<QWidget*>(Frame2) : Frame1);
}

void CalculationWindow::report(const std::string& title, const std::string& text) {
    context().messages().show(title, text, MessageIcon::Exclamation);
}

void CalculationWindow::Comenzar_Click() {
    if (!beginWork({Comenzar, Salir})) return;
    for (Row& row : rows) {
        row.current->setText(QString());
        row.total->setText(QStringLiteral("/"));
        row.picture->surface().clear();
        row.done = row.of = 0;
    }
    const std::filesystem::path dir = context().session().settings.StructureDirectory;
    // The totals are known from DATOS.DAT before anything runs.
    StructureCounts counts;
    try {
        if (DiscoX::readDatos(dir, counts) == DiscoX::Status::Read) {
            const QString bars = "/ " + QString::number(counts.BarCount);
            const QString dofs = "/ " + QString::number(counts.DofCount);
            rows[0].total->setText(bars);
            rows[1].total->setText(dofs);
            rows[2].total->setText(dofs);
            rows[4].total->setText(bars);
            rows[5].total->setText(bars);
        }
    } catch (const FileError&) {
        // The calculation reads DATOS.DAT again and reports it.
    }
    QCoreApplication::processEvents();

    const analysis::CalcOptions options{ChkMt->isChecked(), ChkTr->isChecked()};
    Observer observer(*this);
    try {
        analysis::runCalculation(dir, options, observer, context().clock());
    } catch (const CalculationError& e) {
        using Kind = CalculationError::Kind;
        switch (e.kind()) {
            case Kind::NoData:
            case Kind::OtherVersion:
            case Kind::Mechanism:
            case Kind::UndefinedType:
            case Kind::ZeroArea:
            case Kind::ZeroModulus:
            case Kind::BadFixity:
            case Kind::BandTooLarge:
                // The data's own messages; a zero area or modulus no longer
                // ends the program, the user can mend the type and retry.
                report("¡ Aviso !", e.what());
                break;
            case Kind::BadNode:
                report("¡ Error !",
                       std::string("Error sin tratamiento previsto.\nNº: 9\n") + e.what());
                break;
            case Kind::ZeroLength:
                report("¡ Error !",
                       std::string("Error sin tratamiento previsto.\nNº: 11\n") + e.what());
                break;
            case Kind::NotFinite:
                report("¡ Error !",
                       std::string("Error sin tratamiento previsto.\nNº: 6\n") + e.what());
                break;
        }
    } catch (const FileError& e) {
        // Without DATOS.DAT the calculation says "Debe generar..." itself;
        // any other missing file is named.
        if (e.kind() == FileError::Kind::Missing)
            report("¡ Aviso !", e.message());
        else
            context().fatal(e);
    } catch (const std::bad_alloc&) {
        report("¡ Error !", "Error sin tratamiento previsto.\nNº: 7\nMemoria insuficiente");
    } catch (const std::exception& e) {
        report("¡ Error !", std::string("Error sin tratamiento previsto.\nNº: 5\n") + e.what());
    }
    observer.flush();
    showListingFrame(false);
    // Closed meanwhile: the window has finished.
    if (!endWork()) return;
    QCoreApplication::processEvents();
}

void CalculationWindow::Salir_Click() {
    close();
}

}  // namespace vanto
