#pragma once
// The main window: the work directory, its structures, the selected one's
// files, description and rotatable preview, and the menus that launch every
// module.
//
// Launching a module unloads the window: the description and the session
// settings are saved, the window hides and emits unloaded(code); the
// controller opens the module and calls load() again when it closes. "Salir"
// (or closing the window) unloads with an empty code, which ends the program.

#include <QMainWindow>
#include <QString>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "editor/preview.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;

namespace vanto {

namespace ui {
class PictureBox;
}
class AppController;
class DirectoryList;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(AppController& controller);
    ~MainWindow() override;

    // Form_Load: reads and checks the session settings, lists the work
    // directory, shows the window and selects the remembered structure.
    void load();

    // The menu entry `name` (control name such as "Calculo_MatricialGE"), or
    // null when its module does not exist in this program.
    QAction* entry(const QString& name) const;
    editor::Preview& preview() { return preview_; }
    // The structure whose description and preview are shown; empty if none.
    const std::filesystem::path& shownStructure() const { return shownDirectory_; }

    // Structure management (the dialogs): the work directory shown in Dire.
    std::filesystem::path workDirectory() const;
    // Lists the work directory again with nothing selected, then selects
    // `select` if given.
    void refreshStructures(const std::string& select = {});

    // The procedures of the window.
    void Seleccion(bool enabled);
    void GuardaDescr();
    void Dibujo();
    void SaveSessionSettings();

  signals:
    // The window has unloaded; `code` names the module to open (empty: end).
    void unloaded(const QString& code);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void launch(const std::string& code);
    void directoryChanged();
    void selectionChanged();
    // No structure selected: no preview, description or files, the plain caption.
    void showNoStructure();
    void fillStructureList();
    // List2: the files of the selected structure.
    void fillFileList();
    void drawPreview();
    void drawCrossedOut();
    void setDescription(const QString& text, const QColor& colour, bool editable);
    void setCaption();
    std::string selectedName() const;

    void Nueva_Click();
    void Copi_Click();
    void Eliminar_Click();
    void Diagram_Click();
    void Memoria_Click();
    void showHelp(const char* topic);

    AppController& controller_;
    QComboBox* Drive1;
    DirectoryList* Dire;
    QListWidget* List1;
    QListWidget* List2;
    QPlainTextEdit* descr;
    ui::PictureBox* Dib;
    ui::PictureBox* tachado;
    QLabel* previewLabel_;

    std::map<QString, QAction*> entries_;
    std::vector<QAction*> selectionEntries_;
    std::string ModuleCode;
    bool DescriptionChanged = false;
    bool settingDescription_ = false;
    bool unloading_ = false;
    bool loading_ = false;
    std::filesystem::path shownDirectory_;
    editor::Preview preview_;
};

}  // namespace vanto
