#pragma once
// The combinations of the load cases, as a table: one row per combination,
// its name and a factor per case. Every change goes through the editor's
// history at once, one undo step each.

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

#include "editor/editor.h"
#include "ui/context.h"

namespace vanto {

class CombinationsWindow : public QDialog {
    Q_OBJECT
  public:
    CombinationsWindow(ui::AppContext& context, editor::Editor& editor, QWidget* parent);

    QTableWidget* Tabla;
    QPushButton *Anadir, *Quitar, *Cerrar;

  private:
    // The table as the structure has it.
    void fill();
    // A typed cell: the combinations with it, or the refusal's message.
    void cellTyped(int row, int column);
    void add();
    void removeCurrent();

    ui::AppContext& context_;
    editor::Editor& editor_;
    bool filling_ = false;
};

}  // namespace vanto
