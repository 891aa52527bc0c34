#pragma once
// Answers modal message boxes in window tests.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers the next modal message box by pressing the button with `caption`,
// and remembers its text.
class MessageAnswerer : public QObject {
  public:
    explicit MessageAnswerer(const QString& caption) : caption_(caption) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!mb) return;
            text = mb->text();
            title = mb->windowTitle();
            for (QAbstractButton* b : mb->buttons()) {
                if (b->text() == caption_) {
                    timer_.stop();
                    b->click();
                    answered = true;
                    return;
                }
            }
        });
        timer_.start();
    }
    QString text;
    QString title;
    bool answered = false;

  private:
    QString caption_;
    QTimer timer_;
};
