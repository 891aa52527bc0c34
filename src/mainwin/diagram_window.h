#pragma once
// The result diagrams ("Diagramas de Esfuerzos [dir]"): the calculated
// structure in `Dib` with the ticked diagrams and the deformed shape, one bar
// picked with the mouse in `DgBr` ("Barra 2D"), the zoom, the results DXF
// ("Crea DXF...") and printing. The picture is diagrams/picture.h; this
// window owns the controls and hands the pointer over.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <array>
#include <memory>
#include <vector>

#include <QVBoxLayout>

#include "diagrams/bar_detail.h"
#include "diagrams/picture.h"
#include "ui/module_window.h"
#include "ui/qt_surface.h"
#include "view/picker.h"
#include "view/zoom_window.h"

namespace vanto {

class DiagramWindow : public ui::ModuleWindow {
    Q_OBJECT
  public:
    explicit DiagramWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~DiagramWindow() override;

    // Null when the results could not be read.
    diagrams::DiagramPicture* picture() { return picture_.get(); }
    int currentBar() const { return picker_.current(); }
    diagrams::PictureOptions options() const;

    void Redibuja_Click();
    void ZoomP_Click();
    void ZoomV1_Click();
    void ZoomV2_Click();
    void Perspec_Click(int index);
    void HScDg_Change();
    // "Ajustar": the scale at which the ticked diagrams are readable.
    void Ajustar_Click();
    // The case, combination or envelope of list entry `index`.
    void Hipotesis_Click(int index);
    void HPrn_Change();
    void aDXF_Click();
    void Print3D_Click();
    void Print2D_Click();

    ui::PictureBox* Dib;
    ui::PictureBox* Ejes;
    ui::PictureBox* DgBr;
    QLabel *DefY, *DefZ;
    QPushButton* Redibuja2;
    QCheckBox *VerEjeLoc, *VerCoacciones, *VerCargas, *Vertipos, *Numeranu, *Numeraba;
    QScrollBar* HScal;
    // "Axil", "Cortante Y", "Cortante Z", "Torsor", "Flector Y", "Flector Z",
    // "Deformada": VerAxil, VerCortY, VerCortZ, VerTorsor, VerMtoY, VerMtoZ, VerDef.
    std::array<QCheckBox*, 7> Ver{};
    QScrollBar* HScDg;
    QLabel* LbScDg;
    QPushButton* Ajustar;
    QCheckBox* Valores;
    QComboBox* Hipotesis;
    QComboBox* Perspec;
    QPushButton *Redibuja, *ZoomP, *ZoomV1, *ZoomV2;
    QPushButton* aDXF;
    ui::PictureBox* PrgDXF;
    QPushButton *Print3D, *Print2D;
    QScrollBar* HPrn;
    QLabel* LbPorc;
    QPushButton* Salir;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void build();
    void buildViews(QWidget* side, QVBoxLayout* column);
    void buildDisplay(QWidget* side, QVBoxLayout* column);
    void buildResults(QWidget* side, QVBoxLayout* column);
    void buildDetail(QWidget* side, QVBoxLayout* column);
    void buildOutput(QWidget* side, QVBoxLayout* column);
    void connectControls();
    // The check boxes of "Ver Datos".
    std::array<QCheckBox*, 6> shown() const;
    void drawDetail();
    void drawAxes();
    void mouseDown(const PointerEvent& e);
    void mouseMove(const PointerEvent& e);
    void mouseUp(const PointerEvent& e);
    float dibWidth() const;
    float dibHeight() const;

    std::unique_ptr<diagrams::DiagramPicture> picture_;
    // BuscaBarra: presses on one spot step through the bars there, then
    // none, then round again.
    view::CyclingPicker picker_{diagrams::PickTolerance, view::CyclingPicker::AfterLast::Restart};
    view::ZoomWindowTool zoom_{view::SmallWindows::WidenEmpty};
    void fillSets();
    void tickOpeningDiagrams();
    diagrams::TitleBlock titleBlock(const std::string& contents);
    diagrams::ShownSet shownSet() const;

    // The fitted scale; the scroll bar's S multiplies it.
    double fitted_ = 1;
    double S_ = 1;
    std::vector<diagrams::ShownSet> sets_;
    int shownIndex_ = 0;  // the entry of sets_ drawn
    bool exporting_ = false, stop_ = false, closeAfterExport_ = false;
};

}  // namespace vanto
