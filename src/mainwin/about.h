#pragma once
// The two windows about the program, opened modally from the main window's
// "Ayuda" menu: "El autor..." (who makes the program and why) and
// "Acerca de..." (what it does, its version and licence). Both close with
// "Aceptar".
//
//     AboutDialog(AboutDialog::Kind::Program, this).exec();

#include <QDialog>

class QPushButton;

namespace vanto {

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Kind {
        Author,   // "El autor..."
        Program,  // "Acerca de..."
    };

    explicit AboutDialog(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }

  private:
    Kind kind_;
    QPushButton* Aceptar;
};

}  // namespace vanto
