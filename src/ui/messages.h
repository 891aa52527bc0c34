#pragma once
// Message boxes: title, text, icon, OK or Yes/No, with Spanish button captions.

#include <QPointer>
#include <QWidget>

#include "model/platform.h"

namespace vanto::ui {

class QtMessages : public Messages {
  public:
    // Boxes open over `parent`, or over the active window when it is null.
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    MessageAnswer show(std::string_view title, std::string_view text, MessageIcon icon,
                       MessageButtons buttons) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace vanto::ui
