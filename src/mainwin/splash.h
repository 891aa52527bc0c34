#pragma once
// The start-up window: the version text "Vanto 2.11" on a frameless card in
// the middle of the screen, shown while the main window loads. It closes
// itself a moment after it is first shown, or at once when clicked, and then
// emits closed().
//
// Typical use at start:
//     auto* splash = new SplashWindow;
//     splash->setAttribute(Qt::WA_DeleteOnClose);
//     splash->show();
//     QCoreApplication::processEvents();  // paint it before the slow work
//     ... build and show the main window ...

#include <QTimer>
#include <QWidget>

namespace vanto {

class SplashWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int DefaultDurationMs = 1500;

    explicit SplashWindow(int durationMs = DefaultDurationMs, QWidget* parent = nullptr);

    int durationMs() const { return durationMs_; }

  signals:
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int durationMs_;
    QTimer timer_;
    bool timerStarted_ = false;
    bool closedEmitted_ = false;
};

}  // namespace vanto
