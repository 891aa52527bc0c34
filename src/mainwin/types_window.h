#pragma once
// The bar-type generator window (Creatipo): replaces the structure's TIPOS.DAT
// by a table generated from the families ticked (rolled profiles, steel and
// concrete rectangles and circles, soil springs), the steel and concrete
// grades and the size ranges typed.
//
// Opened by another module (Session::OpenedByModule raised) it works alone:
// it ticks every family, writes the table with the default ranges and closes
// without ever appearing on screen, clearing the flag; the main window is not
// brought back.

#include "bartypes/generator.h"
#include "mainwin/busy_window.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vanto {

class TypesWindow : public BusyWindow {
    Q_OBJECT
  public:
    explicit TypesWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~TypesWindow() override;

    void Crear_Click();
    void Int_Click();
    void Salir_Click();

    // Whether the window was opened by another module and works alone.
    bool unattended() const { return unattended_; }
    // The options as the boxes hold them.
    bartypes::GeneratorOptions options() const;

    QGroupBox* AceroLaminado;
    QGroupBox* HormigonArmado;
    QGroupBox* FrameTerreno;
    QCheckBox* ALperf;
    QLineEdit *IPEmin, *IPEmax, *HEBmin, *HEBmax, *UPNmin, *UPNmax;
    QCheckBox* ALrect;
    QLineEdit *AAnchMin, *AAnchMax, *AAnchStep, *ACantMin, *ACantMax, *ACantStep;
    QCheckBox* ALcirc;
    QLineEdit *ADiamMin, *AdiamMax, *ADiamStep;
    QCheckBox* HArect;
    QLineEdit *HAnchMin, *HAnchMax, *HAnchStep, *HCantMin, *HCantMax, *HCantStep;
    QCheckBox* HAcirc;
    QLineEdit *HDiamMin, *HDiamMax, *HDiamStep;
    QCheckBox* Terreno;
    QToolButton* Int;
    QComboBox* CmbAcer;
    QComboBox* CmbHorm;
    ui::PictureBox* Barra;
    QLabel* Estado;
    QPushButton* Crear;
    QPushButton* Salir;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void tickEverything();
    void enableRanges();

    bool unattended_ = false;
    int MaxTypeUsed = 0;
};

}  // namespace vanto
