#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/convert.h"

namespace vanto::ui {

MessageAnswer QtMessages::show(std::string_view title, std::string_view text, MessageIcon icon,
                               MessageButtons buttons) {
    QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(qs(title));
    box.setText(qs(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    if (buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MessageAnswer::Ok;
}

}  // namespace vanto::ui
