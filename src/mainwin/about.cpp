#include "mainwin/about.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/structure.h"

namespace vanto {

namespace {

const char* const ProgramText =
    "<p>Cálculo estático y lineal de estructuras de barras en tres dimensiones "
    "(pórticos espaciales y planos, emparrillados y celosías) por el método "
    "matricial de rigidez.</p>"
    "<p>Cada extremo de barra lleva un coeficiente de empotramiento entre 0 "
    "(articulado) y 1 (empotrado), que entra directamente en la rigidez de la "
    "barra y en sus cargas de empotramiento, de modo que las uniones "
    "semirrígidas se modelan sin artificios.</p>"
    "<p>Guarda cada estructura como una carpeta de ficheros de texto; genera "
    "retículas y tipos de barras, renumera los nudos para reducir el ancho de "
    "banda, resuelve el sistema de ecuaciones, detecta mecanismos y escribe "
    "desplazamientos, esfuerzos en extremos de barra, fuerzas desequilibradas y "
    "diagramas a lo largo de cada barra.</p>"
    "<p>Unidades: t, m, m·t y t/m en la estructura; cm², cm⁴ y kg/cm² en los "
    "tipos de barras.</p>"
    "<p><b>Licencia.</b> Vanto es software libre, distribuido bajo la licencia "
    "MIT: puede usarlo, copiarlo, modificarlo y redistribuirlo libremente, "
    "siempre que conserve el aviso de derechos y de licencia. Se ofrece tal "
    "cual, sin garantía de ningún tipo.</p>"
    "<p>Los resultados de un cálculo deben ser revisados por un técnico "
    "competente antes de usarse en un proyecto.</p>";

const char* const AuthorText =
    "<p>Vanto es obra de un pequeño equipo de ingenieros y programadores que lo "
    "desarrolla como proyecto abierto.</p>"
    "<p>Su propósito es ofrecer a estudiantes y profesionales una herramienta de "
    "cálculo de estructuras transparente: los datos y los resultados son "
    "ficheros de texto que pueden leerse y modificarse a mano, el método de "
    "cálculo está explicado paso a paso en la ayuda (<i>Calculo "
    "Matricial...</i>) y el código fuente está a disposición de quien quiera "
    "estudiarlo, comprobarlo o mejorarlo.</p>"
    "<p>El programa está escrito en C++ con la biblioteca Qt, y su herramienta "
    "de órdenes <i>vanto-cli</i> hace los mismos cálculos sin ventanas.</p>"
    "<p>Las sugerencias y los avisos de errores son bienvenidos: cada uno ayuda "
    "a que el programa calcule mejor.</p>";

}  // namespace

AboutDialog::AboutDialog(Kind kind, QWidget* parent)
    : QDialog(parent), kind_(kind), Aceptar(new QPushButton(QStringLiteral("Aceptar"), this)) {
    setModal(true);
    setWindowTitle(kind == Kind::Author ? QStringLiteral("El autor")
                                        : QStringLiteral("Acerca de Vanto"));

    auto* title = new QLabel(QString::fromUtf8(VersionText), this);
    title->setObjectName(QStringLiteral("Version"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    title->setFont(big);

    auto* subtitle =
        new QLabel(kind == Kind::Author ? QStringLiteral("Quién hace este programa")
                                        : QStringLiteral("Cálculo matricial de estructuras"),
                   this);
    QFont medium = subtitle->font();
    medium.setPointSizeF(medium.pointSizeF() * 1.15);
    subtitle->setFont(medium);

    auto* body =
        new QLabel(QString::fromUtf8(kind == Kind::Author ? AuthorText : ProgramText), this);
    body->setObjectName(QStringLiteral("Texto"));
    body->setTextFormat(Qt::RichText);
    body->setWordWrap(true);
    body->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Wide enough to read comfortably, and the height follows the text.
    body->setFixedWidth(body->fontMetrics().averageCharWidth() * 68);

    Aceptar->setObjectName(QStringLiteral("Aceptar"));
    Aceptar->setDefault(true);
    connect(Aceptar, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(8);
    layout->addWidget(body);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vanto
