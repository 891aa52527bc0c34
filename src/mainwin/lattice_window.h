#pragma once
// The lattice generator window (" Generar retícula..."): a regular grid of
// nodes, and on request the beams and columns between neighbouring nodes,
// written as the current structure's geometry or appended to it. The window
// stays open after "Generar"; closing it during a generation stops it with the
// structure as it was.

#include <optional>

#include "exchange/lattice.h"
#include "mainwin/busy_window.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vanto {

class LatticeWindow : public BusyWindow {
    Q_OBJECT
  public:
    explicit LatticeWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~LatticeWindow() override;

    void Generar_Click();
    void Salir_Click();

    // The options as the boxes hold them; nullopt, after a warning, when a
    // box holds no number.
    std::optional<exchange::LatticeOptions> options();

    QGroupBox* Datos;
    QLineEdit *Torx, *Tory, *Torz;
    QLineEdit *Tex, *Tey, *Tez;
    QLineEdit *Tnx, *Tny, *Tnz;
    QCheckBox* ChConDat;
    QCheckBox* ChVigPil;
    QCheckBox* ChVigCim;
    QLabel* estr;
    ui::PictureBox* Progreso;
    QLabel* Estado;
    QPushButton* Generar;
    QPushButton* Salir;
};

}  // namespace vanto
