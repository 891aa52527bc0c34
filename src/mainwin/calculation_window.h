#pragma once
// The calculation window (CalcMaGE): runs the matrix calculation of the
// current structure on "Comenzar", showing each stage's progress and the
// estimated finishing time, and reports what stopped it.
//
// Closing the window during a calculation sets the stop flag; the running
// stage returns after its current bar or row, no further result file is
// written, and the window reports finished() once the calculation is gone.

#include <QString>
#include <array>
#include <string>

#include "mainwin/busy_window.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStackedLayout;

namespace vanto {

class CalculationWindow : public BusyWindow {
    Q_OBJECT
  public:
    explicit CalculationWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~CalculationWindow() override;

    void Comenzar_Click();
    void Salir_Click();

    QPushButton* Comenzar;
    QPushButton* Salir;
    QCheckBox* ChkMt;
    QCheckBox* ChkTr;
    QGroupBox* Frame1;
    QLabel* HoraFin;
    QGroupBox* Frame2;
    QGroupBox* ProCalc;

    // One progress row: fixed label, current number, total, picture.
    struct Row {
        QLabel* current;
        QLabel* total;
        ui::PictureBox* picture;
        long long done, of;  // what the picture shows
    };
    // Rows in stage order: assembly, reduction, back substitution, the case
    // or combination whose results follow, end forces, diagrams, envelope
    // (ba, fi, ig, hi, es, dg, en).
    std::array<Row, 7> rows;

  private:
    class Observer;
    friend class Observer;

    void Form_Load();
    void ChkMt_Click(bool checked);
    void showProgress(int stage, long long current, long long total);
    void showListingFrame(bool listing);
    void report(const std::string& title, const std::string& text);

    QStackedLayout* frames_;
    QString finishTime_;
};

}  // namespace vanto
