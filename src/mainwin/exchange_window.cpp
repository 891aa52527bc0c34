#include "mainwin/exchange_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <optional>
#include <system_error>

#include "exchange/dxf_export.h"
#include "exchange/dxf_import.h"
#include "exchange/frames.h"
#include "model/files.h"
#include "reports/listing_import.h"
#include "ui/convert.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

constexpr const char* Caption = "Importar / Exportar";

struct ImportKind {
    const char* caption;
    const char* tooltip;
    const char* extension;
};
const ImportKind importKinds[4] = {
    {"DXF", "Importa la geometría", "DXF"},
    {"Pórtico plano de un caso de carga (DAT)",
     "Importa un pórtico plano con un solo caso de carga", "DAT"},
    {"Pórtico plano de cuatro casos de carga (DAT)",
     "Importa un pórtico plano con cuatro casos de carga, que se suman", "DAT"},
    {"Listado de VANTO 2", "Lee las modificaciones del fichero LISTADO.TXT", "TXT"},
};

std::string upper(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

ExchangeWindow::ExchangeWindow(ui::AppContext& context, QWidget* parent)
    : BusyWindow(context, parent) {
    setWindowTitle(qs(Caption));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;

    // Where the files come from or go.
    Directorio = new QGroupBox(QStringLiteral("Directorio origen o destino"), this);
    Directorio->setObjectName("Directorio");
    auto* d = new QVBoxLayout(Directorio);
    Drive1 = new QComboBox(Directorio);
    Drive1->setObjectName("Drive1");
    for (const QFileInfo& drive : QDir::drives())
        Drive1->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
    Dir1 = new DirectoryList(Directorio, DirectoryList::Structures::Shown);
    Dir1->setObjectName("Dir1");
    auto* filesCaption = new QLabel(QStringLiteral("Ficheros"), Directorio);
    List1 = new QListWidget(Directorio);
    List1->setObjectName("List1");
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    d->addWidget(Drive1);
    d->addWidget(Dir1, 3);
    d->addWidget(filesCaption);
    d->addWidget(List1, 2);
    columns->addWidget(Directorio, 4);

    // The operations: four imports and the export, one chosen at a time.
    auto* middle = new QVBoxLayout;
    operations_ = new QButtonGroup(this);
    Importar = new QGroupBox(QStringLiteral("Importar"), this);
    Importar->setObjectName("Importar");
    auto* im = new QVBoxLayout(Importar);
    for (int i = 0; i < 4; ++i) {
        Imp[i] = new QRadioButton(qs(importKinds[i].caption), Importar);
        Imp[i]->setObjectName(QStringLiteral("Imp%1").arg(i));
        Imp[i]->setToolTip(qs(importKinds[i].tooltip));
        operations_->addButton(Imp[i], i);
        im->addWidget(Imp[i]);
    }
    middle->addWidget(Importar);

    Exportar = new QGroupBox(QStringLiteral("Exportar"), this);
    Exportar->setObjectName("Exportar");
    auto* ex = new QGridLayout(Exportar);
    Exp = new QRadioButton(QStringLiteral("DXF"), Exportar);
    Exp->setObjectName("Exp");
    Exp->setToolTip(QStringLiteral("Escribe las barras de la estructura actual como líneas"));
    operations_->addButton(Exp, 4);
    ex->addWidget(Exp, 0, 0, 1, 2);
    ex->addWidget(new QLabel(QStringLiteral("Color Barras:"), Exportar), 1, 0, 1, 2);
    auto* colours = new QButtonGroup(this);
    ColTipo = new QRadioButton(QStringLiteral("Color según tipos barras"), Exportar);
    ColTipo->setObjectName("ColTipo");
    ColMono = new QRadioButton(QStringLiteral("Monócromo"), Exportar);
    ColMono->setObjectName("ColMono");
    ColMono->setChecked(true);
    colours->addButton(ColTipo);
    colours->addButton(ColMono);
    ex->addWidget(ColTipo, 2, 0, 1, 2);
    ex->addWidget(ColMono, 3, 0, 1, 2);
    ex->addWidget(new QLabel(QStringLiteral("Nombre:"), Exportar), 4, 0);
    Text1 = new QLineEdit(QStringLiteral("Estruct"), Exportar);
    Text1->setObjectName("Text1");
    ex->addWidget(Text1, 4, 1);
    ex->setColumnStretch(1, 1);
    middle->addWidget(Exportar);
    middle->addStretch();
    columns->addLayout(middle, 3);

    // The structure the imports replace and the export writes.
    Actual = new QGroupBox(QStringLiteral("Estructura actual"), this);
    Actual->setObjectName("Actual");
    auto* ac = new QVBoxLayout(Actual);
    Label1 = new QLabel(Actual);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Picture1 = new ui::PictureBox(Actual);
    Picture1->setObjectName("Picture1");
    Picture1->setBackgroundColour(editor::DinPreview::Background);
    Picture1->setMinimumSize(280, 220);
    ac->addWidget(Label1);
    ac->addWidget(Picture1, 1);
    columns->addWidget(Actual, 5);
    layout->addLayout(columns, 1);

    auto* bottom = new QHBoxLayout;
    auto* status = new QVBoxLayout;
    Pict = makeProgressPicture(this, "Pict");
    Estado = new QLabel(this);
    Estado->setObjectName("Estado");
    Estado->setWordWrap(true);
    status->addWidget(Pict);
    status->addWidget(Estado);
    bottom->addLayout(status, 1);
    Comenzar = new QPushButton(QStringLiteral("Comenzar"), this);
    Comenzar->setObjectName("Comenzar");
    Comenzar->setDefault(true);
    Salir = new QPushButton(QStringLiteral("Salir"), this);
    Salir->setObjectName("Salir");
    bottom->addWidget(Comenzar, 0, Qt::AlignTop);
    bottom->addWidget(Salir, 0, Qt::AlignTop);
    layout->addLayout(bottom);

    connect(Drive1, &QComboBox::activated, this, ui::slot(this->context(), [this] {
                const fs::path drive =
                    ui::fspath(QDir::fromNativeSeparators(Drive1->currentText()));
                if (drive != Dir1->path().root_path()) Dir1->setPath(drive);
            }));
    connect(Dir1, &DirectoryList::changed, this,
            ui::slot(this->context(), this, &ExchangeWindow::ListaFicheros));
    connect(operations_, &QButtonGroup::idClicked, this, ui::slot(this->context(), [this](int id) {
                if (id == 4)
                    Exp_Click();
                else
                    Imp_Click(id);
            }));
    connect(List1, &QListWidget::itemSelectionChanged, this,
            ui::slot(this->context(), this, &ExchangeWindow::List1_Click));
    connect(List1, &QListWidget::itemDoubleClicked, this,
            ui::slot(this->context(), [this](QListWidgetItem* item) {
                if (item && item->isSelected() && Comenzar->isEnabled()) Comenzar_Click();
            }));
    connect(Comenzar, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ExchangeWindow::Comenzar_Click));
    connect(Salir, &QPushButton::clicked, this,
            ui::slot(this->context(), this, &ExchangeWindow::Salir_Click));
    connect(Picture1, &ui::PictureBox::resized, this,
            ui::slot(this->context(), this, &ExchangeWindow::drawPreview));

    Form_Load();
    resize(980, 600);
}

ExchangeWindow::~ExchangeWindow() = default;

void ExchangeWindow::Form_Load() {
    const Session& session = context().session();
    const SessionSettings& s = session.settings;
    std::error_code ec;
    structure_ = s.StructureDirectory;
    hasStructure_ = !s.StructureName.empty() && fs::is_directory(structure_, ec);
    Label1->setText(hasStructure_ ? ui::qpath(structure_)
                                  : QStringLiteral("No hay ninguna estructura seleccionada."));
    for (QRadioButton* r : Imp)
        r->setEnabled(hasStructure_);
    clearProgress(*Pict);

    // The session's work directory, as NOMBRE.DAT holds it.
    fs::path start;
    if (fileExists(session.settingsDirectory, "NOMBRE.DAT") && !s.WorkDirectory.empty() &&
        fs::is_directory(s.WorkDirectory, ec))
        start = s.WorkDirectory;
    else if (hasStructure_)
        start = structure_.parent_path();
    else if (!session.programDirectory.empty() && fs::is_directory(session.programDirectory, ec))
        start = session.programDirectory;
    else
        start = fs::current_path(ec);
    const int drive = Drive1->findText(QDir::toNativeSeparators(ui::qpath(start.root_path())));
    if (drive >= 0) Drive1->setCurrentIndex(drive);

    Imp[0]->setChecked(true);
    extension_ = qs(importKinds[0].extension);
    Dir1->setPath(start);
    Imp_Click(0);
    refreshStructure();
}

void ExchangeWindow::Imp_Click(int index) {
    if (index < 0 || index > 3) return;
    if (!Imp[index]->isChecked()) Imp[index]->setChecked(true);
    Comenzar->setEnabled(false);
    Text1->setEnabled(false);
    ColMono->setEnabled(false);
    ColTipo->setEnabled(false);
    List1->setEnabled(true);
    extension_ = qs(importKinds[index].extension);
    ListaFicheros();
}

void ExchangeWindow::Exp_Click() {
    if (!Exp->isChecked()) Exp->setChecked(true);
    List1->clearSelection();
    List1->setEnabled(false);
    Text1->setEnabled(true);
    ColMono->setEnabled(true);
    ColTipo->setEnabled(true);
    Comenzar->setEnabled(exportable_);
}

void ExchangeWindow::List1_Click() {
    if (chosenImport() < 0) return;
    Comenzar->setEnabled(hasStructure_ && !List1->selectedItems().isEmpty());
}

int ExchangeWindow::chosenImport() const {
    for (int i = 0; i < 4; ++i)
        if (Imp[i]->isChecked()) return i;
    return -1;
}

void ExchangeWindow::ListaFicheros() {
    List1->clear();
    if (chosenImport() >= 0) Comenzar->setEnabled(false);
    const std::string wanted = "." + ui::utf8(extension_);
    std::vector<QString> names;
    std::error_code ec;
    for (fs::directory_iterator it(Dir1->path(), fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        if (upper(it->path().extension().string()) != wanted) continue;
        names.push_back(ui::qpath(it->path().filename()));
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& n : names)
        List1->addItem(n);
}

std::vector<QWidget*> ExchangeWindow::workControls() {
    return {Comenzar, Salir, Directorio, Importar, Exportar};
}

void ExchangeWindow::Comenzar_Click() {
    if (running()) return;
    const int index = chosenImport();
    if (index >= 0) {
        const auto selected = List1->selectedItems();
        if (selected.isEmpty() || !hasStructure_) return;
        importFile(index, Dir1->path() / ui::fspath(selected.first()->text()));
    } else if (Exp->isChecked()) {
        if (!exportable_) return;
        exportFile();
    }
}

void ExchangeWindow::importFile(int index, const fs::path& file) {
    // Double-clicking a file is quick; the structure's data are not.
    if (fileExists(structure_, "DATOS.DAT")) {
        const auto answer = context().messages().show(
            Caption,
            "Los datos de la estructura actual se sustituirán por los del fichero " +
                file.filename().string() + ".\n¿Desea continuar?",
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) return;
    }
    if (!beginWork(workControls())) return;
    Estado->clear();
    clearProgress(*Pict);
    exchange::Outcome outcome = exchange::Outcome::NothingWritten;
    std::string refusal;
    std::optional<FileError> failure;
    {
        PictureProgress progress(*Pict, *this);
        try {
            switch (index) {
                case 0:
                    outcome =
                        exchange::dxfin(structure_, file, context().messages(), &progress).outcome;
                    break;
                case 1:
                    outcome = exchange::wmin(structure_, file, &progress).outcome;
                    break;
                case 2:
                    outcome = exchange::kvin(structure_, file, &progress).outcome;
                    break;
                default:
                    reports::listin(structure_, file, progress);
                    outcome = progress.stopRequested() ? exchange::Outcome::Stopped
                                                       : exchange::Outcome::Written;
                    break;
            }
        } catch (const exchange::ExchangeError& e) {
            refusal = e.what();
        } catch (const reports::ListingImportError& e) {
            refusal = e.what();
        } catch (const FileError& e) {
            failure = e;
        }
    }
    if (!endWork()) return;
    if (!refusal.empty())
        context().messages().show(exchange::WarningTitle, refusal, MessageIcon::Exclamation);
    else if (failure)
        fileFailure(*failure);
    if (context().ending()) return;
    refreshStructure();
    if (outcome == exchange::Outcome::Written)
        Estado->setText(QStringLiteral("Importado %1: la estructura tiene %2 nudos y %3 barras.")
                            .arg(ui::qpath(file.filename()))
                            .arg(preview_.nodeCount())
                            .arg(preview_.barCount()));
}

void ExchangeWindow::exportFile() {
    const QString name = Text1->text().trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == "." || name == "..") {
        context().messages().show(exchange::WarningTitle,
                                  "Escriba en «Nombre:» el nombre del fichero DXF, sin «/».",
                                  MessageIcon::Exclamation);
        Text1->setFocus();
        return;
    }
    const fs::path target = exchange::dxfFileName(Dir1->path() / ui::fspath(name));
    std::error_code ec;
    if (fs::exists(target, ec)) {
        const auto answer = context().messages().show(
            Caption,
            "El fichero " + target.filename().string() + " ya existe.\n¿Desea sustituirlo?",
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) return;
    }
    if (!beginWork(workControls())) return;
    Estado->clear();
    clearProgress(*Pict);
    exchange::Outcome outcome = exchange::Outcome::NothingWritten;
    std::string refusal;
    std::optional<FileError> failure;
    {
        PictureProgress progress(*Pict, *this);
        try {
            outcome = exchange::dxfout(structure_, Dir1->path() / ui::fspath(name),
                                       ColTipo->isChecked(), &progress);
        } catch (const exchange::ExchangeError& e) {
            refusal = e.what();
        } catch (const FileError& e) {
            failure = e;
        }
    }
    if (!endWork()) return;
    if (!refusal.empty()) {
        context().messages().show(exchange::WarningTitle, refusal, MessageIcon::Critical);
    } else if (failure) {
        if (failure->kind() != FileError::Kind::WriteFailed) {
            context().fatal(*failure);
            return;
        }
        std::string text = failure->message();
        if (!failure->detail().empty()) text += "\n" + failure->detail();
        context().messages().show("Error", text, MessageIcon::Critical);
    }
    ListaFicheros();
    refreshStructure();
    if (outcome == exchange::Outcome::Written)
        Estado->setText(QStringLiteral("Escrito el fichero %1.").arg(ui::qpath(target)));
}

void ExchangeWindow::refreshStructure() {
    clearProgress(*Pict);
    std::error_code ec;
    hasStructure_ =
        !context().session().settings.StructureName.empty() && fs::is_directory(structure_, ec);
    exportable_ = hasStructure_ && exchange::exportAvailable(structure_);
    Exp->setEnabled(exportable_);
    if (Exp->isChecked()) Comenzar->setEnabled(exportable_);
    bool loaded = false;
    if (hasStructure_ && !ui::guarded(context(), [&] { loaded = preview_.load(structure_); }))
        return;
    if (!loaded) preview_ = editor::DinPreview();
    drawPreview();
}

void ExchangeWindow::drawPreview() {
    preview_.draw(Picture1->surface());
}

void ExchangeWindow::Salir_Click() {
    close();
}

}  // namespace vanto
