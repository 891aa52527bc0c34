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
    if (buttons != MessageButtons::Ok) {
        QPushButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        QPushButton* cancel =
            buttons == MessageButtons::YesNoCancel
                ? box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole)
                : nullptr;
        box.setDefaultButton(yes);
        // Escape takes the harmless answer: cancel when there is one.
        box.setEscapeButton(cancel ? cancel : no);
        box.exec();
        if (box.clickedButton() == yes) return MessageAnswer::Yes;
        return box.clickedButton() == no ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    QPushButton* ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MessageAnswer::Ok;
}

}  // namespace vanto::ui
