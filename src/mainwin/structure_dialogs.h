#pragma once
// The modal dialogs of the main window that create, copy and delete structure
// directories ("-" and the name) in the work directory. They work on whole
// directories and never open the data files. Each closes after "Aceptar",
// whatever happened; changed() tells the main window to list the directory
// again.
//
// The work on disk and its messages are the core's (model/names.h).

#include <QDialog>
#include <filesystem>
#include <string>

#include "model/names.h"
#include "ui/context.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vanto {

class StructureDialog : public QDialog {
    Q_OBJECT
  public:
    bool changed() const { return changed_; }
    // The structure created (new or copy); empty otherwise.
    const std::string& createdName() const { return created_; }

  protected:
    StructureDialog(ui::AppContext& context, const std::filesystem::path& workDirectory,
                    const QString& caption, QWidget* parent);
    // Adds the "Aceptar" (`si`) and "Cancelar" (`cancelar`) buttons under the
    // controls and connects them.
    void addButtons();
    virtual void accepted() = 0;
    // Takes in what a change did and shows its message under "Error".
    void apply(const StructureChange& change);

    ui::AppContext& context_;
    std::filesystem::path work_;
    QVBoxLayout* layout_;
    bool changed_ = false;
    std::string created_;

  public:
    QPushButton* si;
    QPushButton* cancelar;
};

// "Nueva estructura": creates an empty structure directory.
class NewStructureDialog : public StructureDialog {
    Q_OBJECT
  public:
    NewStructureDialog(ui::AppContext& context, const std::filesystem::path& workDirectory,
                       QWidget* parent = nullptr);
    QLineEdit* Nuev;

  protected:
    void accepted() override;
};

// "Copiar estructura": a new structure directory with the ordinary files of
// another (results and listings included).
class CopyStructureDialog : public StructureDialog {
    Q_OBJECT
  public:
    CopyStructureDialog(ui::AppContext& context, const std::filesystem::path& workDirectory,
                        const std::string& selected, QWidget* parent = nullptr);
    QLineEdit* NombAct;
    QLineEdit* Nuev;

  protected:
    void accepted() override;
};

// "Borrar estructura": removes a structure directory and its files.
class DeleteStructureDialog : public StructureDialog {
    Q_OBJECT
  public:
    DeleteStructureDialog(ui::AppContext& context, const std::filesystem::path& workDirectory,
                          const std::string& selected, QWidget* parent = nullptr);
    QLabel* Borr;

  protected:
    void accepted() override;
};

}  // namespace vanto
