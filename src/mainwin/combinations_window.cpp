#include "mainwin/combinations_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "model/helpers.h"
#include "model/textfile.h"
#include "ui/convert.h"

namespace vanto {

using ui::qs;

CombinationsWindow::CombinationsWindow(ui::AppContext& context, editor::Editor& editor,
                                       QWidget* parent)
    : QDialog(parent), context_(context), editor_(editor) {
    setWindowTitle(QStringLiteral("Combinaciones de hipótesis"));
    Tabla = new QTableWidget(this);
    Tabla->setObjectName("Tabla");
    Tabla->setToolTip(QStringLiteral("Nombre de cada combinación y factor de cada hipótesis"));
    Anadir = new QPushButton(QStringLiteral("Añadir"), this);
    Quitar = new QPushButton(QStringLiteral("Quitar"), this);
    Cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Anadir);
    buttons->addWidget(Quitar);
    buttons->addStretch();
    buttons->addWidget(Cerrar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabla, 1);
    layout->addLayout(buttons);
    connect(Anadir, &QPushButton::clicked, this, &CombinationsWindow::add);
    connect(Quitar, &QPushButton::clicked, this, &CombinationsWindow::removeCurrent);
    connect(Cerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(Tabla, &QTableWidget::cellChanged, this, &CombinationsWindow::cellTyped);
    fill();
    resize(std::max(420, 140 + 90 * Tabla->columnCount()), 300);
}

void CombinationsWindow::fill() {
    const LoadCases<float>& cases = editor_.data().cases;
    filling_ = true;
    Tabla->clear();
    Tabla->setColumnCount(1 + cases.count());
    Tabla->setRowCount(int(cases.combinations.size()));
    QStringList headers{QStringLiteral("Nombre")};
    for (int k = 1; k <= cases.count(); ++k)
        headers << qs(cases.name(k));
    Tabla->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < Tabla->rowCount(); ++r) {
        const Combination& c = cases.combinations[std::size_t(r)];
        Tabla->setItem(r, 0, new QTableWidgetItem(qs(c.name)));
        for (int k = 1; k <= cases.count(); ++k) {
            const double f = std::size_t(k) <= c.factors.size() ? c.factors[std::size_t(k - 1)] : 0;
            Tabla->setItem(r, k, new QTableWidgetItem(qs(writtenValue(f))));
        }
    }
    Quitar->setEnabled(Tabla->rowCount() > 0);
    filling_ = false;
}

void CombinationsWindow::cellTyped(int row, int column) {
    if (filling_) return;
    std::vector<Combination> combinations = editor_.data().cases.combinations;
    if (row < 0 || row >= int(combinations.size())) return;
    Combination& c = combinations[std::size_t(row)];
    const std::string text = Tabla->item(row, column)->text().toUtf8().toStdString();
    if (column == 0) {
        c.name = text;
    } else {
        const auto f = editor::typedNumber(text);
        if (!f) {
            context_.messages().show("¡ Aviso !",
                                     "El factor de «" + editor_.data().cases.name(column) +
                                         "» en «" + c.name + "» no es un número: «" + text + "».",
                                     MessageIcon::Exclamation);
            fill();
            return;
        }
        c.factors.resize(std::size_t(editor_.data().cases.count()), 0.0);
        c.factors[std::size_t(column - 1)] = *f;
    }
    editor_.panels().setCombinations(std::move(combinations));
    fill();
}

void CombinationsWindow::add() {
    std::vector<Combination> combinations = editor_.data().cases.combinations;
    Combination c;
    c.name = "Combinación " + std::to_string(combinations.size() + 1);
    c.factors.assign(std::size_t(editor_.data().cases.count()), 1.0);
    combinations.push_back(std::move(c));
    editor_.panels().setCombinations(std::move(combinations));
    fill();
    Tabla->setCurrentCell(Tabla->rowCount() - 1, 0);
}

void CombinationsWindow::removeCurrent() {
    std::vector<Combination> combinations = editor_.data().cases.combinations;
    const int row = Tabla->currentRow();
    if (row < 0 || row >= int(combinations.size())) return;
    combinations.erase(combinations.begin() + row);
    editor_.panels().setCombinations(std::move(combinations));
    fill();
}

}  // namespace vanto
