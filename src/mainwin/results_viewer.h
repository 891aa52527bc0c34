#pragma once
// The results viewer: shows, read-only, the results listing Resultad.res or
// the diagram listing DIAGRAMA.RES of the current structure, each read from
// disk whenever it is chosen, and prints the one shown.

#include <string>

#include "ui/module_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vanto {

class ResultsViewer : public ui::ModuleWindow {
    Q_OBJECT
  public:
    explicit ResultsViewer(ui::AppContext& context, QWidget* parent = nullptr);

    // The base name of the listing shown: "Resultad" or "Diagrama".
    const std::string& CurrentListing() const { return current_; }
    void ComRes_Click();
    void ComDia_Click();
    void Prnt_Click();

    QPlainTextEdit* Texto;
    QPushButton* ComRes;
    QPushButton* ComDia;
    QLabel* LabRes;
    QLabel* LabDia;
    QLabel* Label1;
    QPushButton* Prnt;
    QPushButton* Salir;

  private:
    void load();

    std::string current_ = "Resultad";
};

}  // namespace vanto
