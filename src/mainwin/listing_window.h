#pragma once
// The listing window: shows the data listing listado.txt of the current
// structure in an editable box, generates it anew ("Listar"), saves the edits
// ("Guardar") and prints it ("Imprimir").
//
// Edits are never lost in silence: generating the listing again or leaving
// the window with unsaved edits asks first.

#include "ui/module_window.h"

class QPlainTextEdit;
class QPushButton;

namespace vanto {

class ListingWindow : public ui::ModuleWindow {
    Q_OBJECT
  public:
    explicit ListingWindow(ui::AppContext& context, QWidget* parent = nullptr);

    void Listar_Click();
    // Returns false when the file could not be written (the edits stay).
    bool Guardar_Click();
    void Imprimir_Click();
    void Salir_Click();

    QPlainTextEdit* Texto;
    QPushButton* Listar;
    QPushButton* Guardar;
    QPushButton* Imprimir;
    QPushButton* Salir;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadListing();
    void setText(const QString& text);
    void pleaseWait();

    bool settingText_ = false;
};

}  // namespace vanto
