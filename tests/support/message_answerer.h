#pragma once
// Answers the Qt message boxes that windows open themselves.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers the next modal message box by pressing the button with `caption`,
// and remembers what it showed.
class MessageAnswerer : public QObject {
  public:
    explicit MessageAnswerer(const QString& caption) : caption_(caption) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!mb) return;
            text = mb->text();
            title = mb->windowTitle();
            icon = mb->icon();
            buttons.clear();
            for (QAbstractButton* b : mb->buttons())
                buttons << b->text();
            for (QAbstractButton* b : mb->buttons()) {
                if (b->text() != caption_) continue;
                timer_.stop();
                answered = true;
                b->click();
                return;
            }
        });
        timer_.start();
    }
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool answered = false;

  private:
    QString caption_;
    QTimer timer_;
};
