#pragma once
// The 3D viewer window (Visor3D, "Visor 3D"): the current structure's bars in
// central perspective on a black picture, turned, moved and zoomed by its
// buttons or the mouse, as one yellow image, coloured by type, or as a
// red/blue anaglyph whose two colours the scroll bars adjust and visor.dat
// keeps between runs. It reads the structure and writes only visor.dat.
//
// Mouse on the picture: the left button drags turns, the right or middle
// button moves, the wheel changes the observer distance (viewer/visor.h).
// "Encuadrar" brings the whole figure back into the picture, keeping the turns.

#include <QWidget>
#include <array>

#include "ui/module_window.h"
#include "viewer/visor.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QPushButton;
class QScrollBar;
class QVBoxLayout;

namespace vanto {

namespace ui {
class PictureBox;
}

class Visor3D : public ui::ModuleWindow {
    Q_OBJECT
  public:
    explicit Visor3D(ui::AppContext& context, QWidget* parent = nullptr);
    ~Visor3D() override;

    void Giro_Click(int index);
    void Desp_Click(int index);
    void DistObs_Click(int index);
    void Angulo_Click(int index);
    void Conica3D_Click();
    void Vertipos_Click();
    void Amplitud_Click();
    void Encuadrar_Click();

    const viewer::Visor& visor() const { return visor_; }

    ui::PictureBox* Dib;
    QGroupBox* Girar;
    QGroupBox* Mover;
    QGroupBox* Zoom;
    // Indexed from 1, as the buttons are numbered.
    std::array<QPushButton*, 7> Giro{};
    std::array<QPushButton*, 7> Desp{};
    std::array<QPushButton*, 3> DistObs{};
    std::array<QPushButton*, 3> Angulo{};
    QPushButton* Encuadrar;
    QCheckBox* Conica3D;
    QCheckBox* Vertipos;
    QCheckBox* Amplitud;
    QScrollBar* VScrollR;
    QScrollBar* VScrollB;
    QFrame* ShapeR;
    QFrame* ShapeB;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QVBoxLayout* controlPanel();
    void connectControls();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void VScrollR_Change();
    void VScrollB_Change();
    // Projects and draws the figure.
    void redraw();

    viewer::Visor visor_;
};

}  // namespace vanto
