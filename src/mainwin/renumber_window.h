#pragma once
// The renumbering window (Renumera): looks for a node numbering with a smaller
// half band width by a breadth-first numbering from one start node or from
// every node in turn, shows the best one found, and on "Grabar y Salir"
// rewrites the structure's files with it.
//
// Leaving by "Salir" or closing the window writes nothing; closing it during a
// complete study stops the study after its current start node.

#include <optional>

#include "mainwin/busy_window.h"
#include "renumber/renumbering.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vanto {

class RenumberWindow : public BusyWindow {
    Q_OBJECT
  public:
    explicit RenumberWindow(ui::AppContext& context, QWidget* parent = nullptr);
    ~RenumberWindow() override;

    void Comienza_Click();
    void GrabaSale_Click();
    void Salir_Click();

    // The study of this window; empty when the structure could not be read.
    const renumber::Renumbering* renumbering() const {
        return renumbering_ ? &*renumbering_ : nullptr;
    }

    QLabel* Renum;
    QGroupBox* Frame1;
    QLabel* AnchoBanda;
    QGroupBox* Frame2;
    QLabel* NuevoNudo;
    QLabel* NuevoAncho;
    QRadioButton* UnNudo;
    QLineEdit* nudonumero;
    QRadioButton* Completo;
    ui::PictureBox* barra;
    QLabel* Comentarios;
    QPushButton* Comienza;
    QPushButton* GrabaSale;
    QPushButton* Salir;

  private:
    void Form_Load();
    void showBest();

    std::optional<renumber::Renumbering> renumbering_;
};

}  // namespace vanto
