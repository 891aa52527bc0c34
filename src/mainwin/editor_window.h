#pragma once
// The structure editor ("Editar estructura [name]"): the drawing `Dib` with
// the axes indicator `Ejes`, the views and zoom, node and bar modes, the node,
// bar and type panels, undo and redo, printing, "Grabar y Salir" and "Esc".
// The rules live in editor/editor.h; this window owns the controls, hands the
// pointer and the typed texts to the editor and shows what it asks. The
// drawing's overlay carries the marks of what is picked.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "mainwin/picture_window.h"
#include "ui/module_window.h"
#include "ui/qt_surface.h"

namespace vanto {

class EditorWindow : public ui::ModuleWindow, private editor::EditorPanels {
    Q_OBJECT
  public:
    explicit EditorWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // Null when the structure could not be read (the program is ending).
    editor::Editor* editor() { return editor_.get(); }

    void Perspec_Click(int index);
    void Redibuja_Click();
    void Encuadrar_Click();
    void Rejilla_Change();
    void ZoomP_Click();
    void ZoomV1_Click();
    void ZoomV2_Click();
    void Numeranu_Click();
    void Numeraba_Click();
    void Tabs_Click(int index);
    void Selecci_Click();
    void Deshacer_Click();
    void Rehacer_Click();
    void Guardar_Click();
    void Esc_Click();
    void Ang_Click();
    void Imprimir_Click();
    void Imprime_Click();
    void Hipotesis_Change(int index);
    void NuevaHip_Click();
    void BorraHip_Click();
    void NombreHip_Change();
    void Combina_Click();
    void tipb_Click(int row);
    void tipb_DblClick();
    void AceptaTipo_Click();

    ui::PictureBox* Dib;
    ui::PictureBox* Ejes;
    std::array<QRadioButton*, 8> Vista{};
    QPushButton *Redibuja, *Encuadrar, *ZoomP, *ZoomV1, *ZoomV2;
    QScrollBar* HScal;
    QLineEdit* Rejilla;  // grid step, m
    QLabel* Pista;       // the hint line under the picture
    QPushButton *Numeranu, *Numeraba;
    // The load case whose loads the panels show, its name, and the cases'
    // and combinations' buttons.
    QComboBox* Hipotesis;
    QLineEdit* NombreHip;
    QPushButton *NuevaHip, *BorraHip, *Combina;
    QCheckBox* VerEjeLoc;
    QCheckBox* Selecci;
    QTabBar* Tabs;  // "Nudos", "Barras"
    QPushButton *Deshacer, *Rehacer;

    QGroupBox* FramNud;
    QLabel* nnum;
    std::array<QLineEdit*, 4> crdn{};  // 1..3
    std::array<QLineEdit*, 7> crga{};  // 1..6
    std::array<QLineEdit*, 7> cccn{};  // 1..6

    QGroupBox* FramBar;
    QLabel* bnum;
    std::array<QLineEdit*, 11> barr{};  // 1, 2, 4..10
    QListWidget* tipb;
    QPushButton* Ang;
    ui::PictureBox* AngDib;

    QGroupBox* FramTip;
    QLineEdit* Textnom;
    std::array<QLineEdit*, 10> TipoDat{};  // 1..9
    QPushButton *MatAcero, *MatHormigon, *AceptaTipo;

    QPushButton* Imprimir;
    QGroupBox* PrintParam;
    QCheckBox *ChCar, *ChCoa, *ChEje;
    QSlider* HPrn;
    QLabel* LbPorc;
    QPushButton *Imprime, *Cancela;

    QPushButton* Guardar;
    QPushButton* Esc;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // EditorPanels
    void showNode(int node) override;
    void showBar(int bar) override;
    void enablePanel(editor::Mode mode, bool enabled) override;
    bool takeOverEdits() override;

    enum class Commit { Unchanged, Taken, Refused };

    void build();
    void placeHintAndLeaving(const PictureAndColumn& layout);
    void setTabOrders();
    void buildViews(QWidget* side, QVBoxLayout* column);
    void buildTools(QWidget* side, QVBoxLayout* column);
    void buildCases(QWidget* side, QVBoxLayout* column);
    // The case list and name as the structure has them.
    void refreshCases();
    void buildNodePanel(QWidget* side, QVBoxLayout* column);
    void buildBarPanel(QWidget* side, QVBoxLayout* column);
    void buildTypePanel(QWidget* side, QVBoxLayout* column);
    void buildPrinting(QWidget* side, QVBoxLayout* column);
    void connectButtons();
    void connectFields();
    void connectPictures();
    void setMaterial(bool steel);
    Commit commitField(QLineEdit* field);
    void refuse(QLineEdit* field, const std::string& why);
    void markMissingNodes(int bar);
    std::vector<QLineEdit*> visibleFields() const;
    // A typed value not yet taken counts as an edit.
    bool pendingEdits() const;
    void updateHint(std::optional<view::ScreenPoint> pointer = std::nullopt);
    void showZoomMode();
    void showType(int type);
    void afterUndo();
    void updateUndoButtons();
    void drawAxes();
    void setFieldBackgrounds(bool normal);
    void fieldDoubleClicked(QLineEdit* field);
    bool saveAndClose();

    std::unique_ptr<editor::Editor> editor_;
    bool shownOnce_ = false;
    bool leaving_ = false;
    bool refusing_ = false;
};

}  // namespace vanto
