#include "ui/fonts.h"

#include <QFont>
#include <QStringList>

namespace vanto::ui {

void installFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Letter Gothic"),
        {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
}

}  // namespace vanto::ui
