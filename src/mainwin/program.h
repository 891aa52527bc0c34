#pragma once
// The program's application object: Qt's, with the last line of defence for
// errors that escape a window's handlers. A file error ends the program the
// way the file module prescribes (message, settings file deleted); anything
// else is reported and the program goes on.

#include <QApplication>
#include <QTranslator>

namespace vanto {

class AppController;

class VantoApplication : public QApplication {
    Q_OBJECT
  public:
    VantoApplication(int& argc, char** argv);

    void setController(AppController* controller) { controller_ = controller; }
    bool notify(QObject* receiver, QEvent* event) override;

    // The decimal separator of the user's locale, for the listings.
    static char localeDecimalSeparator();

  private:
    AppController* controller_ = nullptr;
    QTranslator qtTexts_;
};

}  // namespace vanto
