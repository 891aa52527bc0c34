#include "mainwin/results_viewer.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwin/text_print.h"
#include "model/files.h"
#include "model/textfile.h"
#include "ui/convert.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

Font fontOf(const std::string& listing, double size) {
    return Font{listing == "Resultad" ? "Courier New" : "Letter Gothic", size, false};
}

QLabel* marker(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

ResultsViewer::ResultsViewer(ui::AppContext& context, QWidget* parent)
    : ModuleWindow(context, parent) {
    setWindowTitle(QStringLiteral("Listado resultados"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);
    ComRes = new QPushButton(QStringLiteral("Resultados"), this);
    ComRes->setObjectName("ComRes");
    LabRes = marker(QStringLiteral("Resultados"), "LabRes", this);
    ComDia = new QPushButton(QStringLiteral("Diagramas"), this);
    ComDia->setObjectName("ComDia");
    LabDia = marker(QStringLiteral("Diagramas"), "LabDia", this);
    const int width = std::max(ComRes->sizeHint().width(), ComDia->sizeHint().width());
    for (QWidget* w : {static_cast<QWidget*>(ComRes), static_cast<QWidget*>(LabRes),
                       static_cast<QWidget*>(ComDia), static_cast<QWidget*>(LabDia)})
        w->setFixedWidth(width);
    top->addWidget(Label1, 1);
    top->addWidget(ComRes);
    top->addWidget(LabRes);
    top->addWidget(ComDia);
    top->addWidget(LabDia);
    layout->addLayout(top);

    Texto = new QPlainTextEdit(this);
    Texto->setObjectName("Texto");
    Texto->setReadOnly(true);
    Texto->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Texto, 1);

    auto* buttons = new QHBoxLayout;
    Prnt = new QPushButton(QStringLiteral("Imprimir"), this);
    Prnt->setObjectName("Prnt");
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    buttons->addWidget(Prnt);
    buttons->addWidget(Salir);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(ComRes, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ResultsViewer::ComRes_Click));
    connect(ComDia, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ResultsViewer::ComDia_Click));
    connect(Prnt, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ResultsViewer::Prnt_Click));
    connect(Salir, &QPushButton::clicked, this, &QWidget::close);

    resize(900, 660);
    load();
}

void ResultsViewer::ComRes_Click() {
    current_ = "Resultad";
    load();
}

void ResultsViewer::ComDia_Click() {
    current_ = "Diagrama";
    load();
}

void ResultsViewer::load() {
    const bool results = current_ == "Resultad";
    setWindowTitle(qs("Listado de " + current_ + ".res"));
    Label1->setText(qs(current_).toUpper());
    Texto->setPlainText(QStringLiteral("Un momento por favor..."));
    Texto->setFont(ui::qfont(fontOf(current_, 10)));
    ComRes->setVisible(!results);
    LabRes->setVisible(results);
    ComDia->setVisible(results);
    LabDia->setVisible(!results);
    if (isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const fs::path dir = context().session().settings.StructureDirectory;
    const fs::path path = findFile(dir, current_ + ".res");
    std::error_code ec;
    const auto text = fs::is_regular_file(path, ec) ? readTextFile(path) : std::nullopt;
    if (!text) {
        Texto->setPlainText(QStringLiteral("Todavía no existe el listado."));
        return;
    }
    Texto->setPlainText(qs(*text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ResultsViewer::Prnt_Click() {
    const fs::path dir = context().session().settings.StructureDirectory;
    auto printer = context().openPrinter(dir, current_);
    QString text = Texto->toPlainText();
    printText(*printer, ui::utf8(text), fontOf(current_, 9));
}

}  // namespace vanto
