#pragma once
// The import/export window (ImpoExpo, "Importar / Exportar"): replaces the
// current structure by a DXF drawing, a file of one of two plane-frame
// programs or an edited listing, or writes the structure's bars as a DXF
// drawing. The user picks a directory and a file (or an output name) and
// presses "Comenzar"; afterwards the preview of the current structure, seen
// in the fixed "DIN-5" view, is drawn again.
//
// Imports and the export check everything before they write: a broken file
// shows its message and leaves the structure as it was, and closing the window
// during the work stops it the same way.

#include <array>
#include <filesystem>
#include <string>

#include "editor/preview.h"
#include "mainwin/busy_window.h"
#include "mainwin/directory_list.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vanto {

class ExchangeWindow : public BusyWindow {
    Q_OBJECT
  public:
    explicit ExchangeWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~ExchangeWindow() override;

    void Imp_Click(int index);
    void Exp_Click();
    void List1_Click();
    void Comenzar_Click();
    void Salir_Click();

    // The extension of the listed files ("DXF", "DAT", "TXT").
    const QString& extension() const { return extension_; }
    const editor::DinPreview& preview() const { return preview_; }

    QGroupBox* Directorio;
    QComboBox* Drive1;
    DirectoryList* Dir1;
    QGroupBox* Importar;
    std::array<QRadioButton*, 4> Imp;
    QListWidget* List1;
    QGroupBox* Exportar;
    QRadioButton* Exp;
    QRadioButton* ColTipo;
    QRadioButton* ColMono;
    QLineEdit* Text1;
    QGroupBox* Actual;
    QLabel* Label1;
    ui::PictureBox* Picture1;
    ui::PictureBox* Pict;
    QLabel* Estado;
    QPushButton* Comenzar;
    QPushButton* Salir;

  private:
    void Form_Load();
    void ListaFicheros();
    int chosenImport() const;
    void importFile(int index, const std::filesystem::path& file);
    void exportFile();
    // After every operation: the preview again, the progress cleared, the
    // export allowed only for a structure with its geometry.
    void refreshStructure();
    void drawPreview();
    std::vector<QWidget*> workControls();

    std::filesystem::path structure_;
    bool hasStructure_ = false;
    bool exportable_ = false;
    QString extension_;
    QButtonGroup* operations_;
    editor::DinPreview preview_;
};

}  // namespace vanto
