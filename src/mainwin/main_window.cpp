#include "mainwin/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "mainwin/about.h"
#include "mainwin/app_controller.h"
#include "mainwin/directory_list.h"
#include "mainwin/help_viewer.h"
#include "mainwin/report_menu.h"
#include "mainwin/structure_dialogs.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/session.h"
#include "ui/convert.h"
#include "ui/lists.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace fs = std::filesystem;
using ui::qs;

namespace {

const QColor DescriptionBlack(0, 0, 0);
const QColor DescriptionRed(255, 0, 0);
const QColor DescriptionGreen(0, 120, 0);
const QString NoDescription = QStringLiteral("[Sin descripción...]");

// The menus and their entries, in order; "&" marks the access key (Alt+letter
// on a menu, the letter inside it). An entry with a module code exists only
// while that module is registered; `selection` entries need a structure.
struct MenuEntry {
    const char* menu;
    const char* caption;
    const char* name;
    const char* code;  // module code, or null for the window's own actions
    bool selection;
    const char* shortcut = nullptr;
};

const MenuEntry menuEntries[] = {
    {"&Estructura", "&Nueva", "Nueva", nullptr, false, "Ctrl+N"},
    {"&Estructura", "&Importar/Exportar", "ImpExp", "IMEX", false},
    {"&Estructura", "&Copiar", "Copi", nullptr, false},
    {"&Estructura", "&Borrar", "Eliminar", nullptr, true},
    {"&Estructura", "&Salir", "Salir", nullptr, false, "Ctrl+Q"},
    {"&Generación", "&Reticulado", "Reticulado", "RETI", true},
    {"&Generación", "&Tipos de barras", "tiposbarras", "CRET", true},
    {"E&dición", "&Editar", "EditarM", "EDIT", true, "Ctrl+E"},
    {"E&dición", "&Listado", "Listad", "LIST", true, "Ctrl+L"},
    {"E&dición", "&Visor 3D", "Visoren3D", "VI3D", true},
    {"&Calculo", "&Cálculo Matricial", "Calculo_MatricialGE", "CMGE", true, "F5"},
    {"&Calculo", "&Renumerar", "Renumerar", "RENU", true},
    {"&Resultados", "&Diagramas", "Diagram", "DBDG", true},
    {"&Resultados", "&Listados", "ListRe", "LSTR", true},
    {"&Resultados", "&Memoria de cálculo (PDF)...", "Memoria", nullptr, true},
    {"A&yuda", "&Esta pantalla...", "HelpMenu", nullptr, false, "F1"},
    {"A&yuda", "&Tutorial...", "Helptutor", nullptr, false},
    {"A&yuda", "&Calculo Matricial...", "HelpMatricial", nullptr, false},
    {"A&yuda", "El &autor...", "ElAutor", nullptr, false},
    {"A&yuda", "Acerca &de...", "Acerca", nullptr, false},
};

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

MainWindow::MainWindow(AppController& controller) : controller_(controller) {
    setWindowTitle(qs(VersionText));
    buildControls();
    buildMenus();
    // A good share of the screen, and never less than the controls need.
    const QRect screenArea = screen()->availableGeometry();
    const QSize size = QSize(std::max(980, screenArea.width() * 3 / 5),
                             std::max(660, screenArea.height() * 7 / 10))
                           .boundedTo(screenArea.size());
    resize(size);
    move(screenArea.center() - QPoint(size.width() / 2, size.height() / 2));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    Drive1 = new QComboBox(central);
    Drive1->setObjectName("Drive1");
    for (const QFileInfo& drive : QDir::drives())
        Drive1->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
    Dire = new DirectoryList(central);
    Dire->setObjectName("Dire");
    List1 = new QListWidget(central);
    List1->setObjectName("List1");
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->installEventFilter(this);
    left->addWidget(Drive1);
    left->addWidget(caption(QStringLiteral("Directorio"), central));
    left->addWidget(Dire, 2);
    left->addWidget(caption(QStringLiteral("Estructuras"), central));
    left->addWidget(List1, 3);
    columns->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    auto* contents = new QVBoxLayout;
    List2 = new QListWidget(central);
    List2->setObjectName("List2");
    List2->setToolTip(QStringLiteral("Ficheros que tiene la estructura"));
    List2->setSelectionMode(QAbstractItemView::NoSelection);
    contents->addWidget(caption(QStringLiteral("Contenido"), central));
    contents->addWidget(List2);
    auto* description = new QVBoxLayout;
    descr = new QPlainTextEdit(central);
    descr->setObjectName("descr");
    descr->installEventFilter(this);
    description->addWidget(caption(QStringLiteral("Descripción"), central));
    description->addWidget(descr);
    top->addLayout(contents, 2);
    top->addLayout(description, 5);
    right->addLayout(top, 2);

    previewLabel_ = caption(QStringLiteral("Vista preliminar"), central);
    right->addWidget(previewLabel_);
    auto* pictures = new QWidget(central);
    pictures->setMinimumSize(320, 240);
    auto* stack = new QGridLayout(pictures);
    stack->setContentsMargins(0, 0, 0, 0);
    Dib = new ui::PictureBox(pictures);
    Dib->setObjectName("Dib");
    Dib->setToolTip(QStringLiteral("Usa el ratón para girar."));
    Dib->setBackgroundColour(preview_.backgroundColour);
    tachado = new ui::PictureBox(pictures);
    tachado->setObjectName("tachado");
    tachado->setBackgroundColour(rgb(240, 240, 240));
    stack->addWidget(Dib, 0, 0);
    stack->addWidget(tachado, 0, 0);
    Dib->hide();
    tachado->hide();
    right->addWidget(pictures, 5);
    columns->addLayout(right, 7);
    setCentralWidget(central);

    connect(Drive1, &QComboBox::activated, this, ui::slot(controller_, [this] {
                const fs::path drive =
                    ui::fspath(QDir::fromNativeSeparators(Drive1->currentText()));
                if (drive != Dire->path().root_path()) Dire->setPath(drive);
            }));
    connect(Dire, &DirectoryList::changed, this,
            ui::slot(controller_, this, &MainWindow::directoryChanged));
    connect(List1, &QListWidget::itemSelectionChanged, this,
            ui::slot(controller_, this, &MainWindow::selectionChanged));
    connect(descr, &QPlainTextEdit::textChanged, this, ui::slot(controller_, [this] {
                if (!settingDescription_) DescriptionChanged = true;
            }));
    connect(Dib, &ui::PictureBox::resized, this,
            ui::slot(controller_, this, &MainWindow::drawPreview));
    connect(tachado, &ui::PictureBox::resized, this,
            ui::slot(controller_, this, &MainWindow::drawCrossedOut));
    connect(Dib, &ui::PictureBox::mouseDown, this,
            ui::slot(controller_, [this](const PointerEvent& event) {
                preview_.press(event);
                Dib->setToolTip(QString());
            }));
    connect(Dib, &ui::PictureBox::mouseMove, this,
            ui::slot(controller_, [this](const PointerEvent& event) {
                if (preview_.drag(event)) drawPreview();
            }));
}

void MainWindow::buildMenus() {
    std::map<QString, QMenu*> menus;
    auto menuFor = [&](const char* title) {
        QMenu*& menu = menus[qs(title)];
        if (!menu) menu = menuBar()->addMenu(qs(title));
        return menu;
    };
    for (const MenuEntry& e : menuEntries) {
        if (e.code && !controller_.hasModule(e.code)) continue;
        QAction* action = menuFor(e.menu)->addAction(qs(e.caption));
        action->setObjectName(e.name);
        if (e.shortcut) action->setShortcut(QKeySequence(qs(e.shortcut)));
        entries_[e.name] = action;
        if (e.selection) selectionEntries_.push_back(action);
        if (e.code) {
            const std::string code = e.code;
            if (code == "DBDG")
                connect(action, &QAction::triggered, this,
                        ui::slot(controller_, this, &MainWindow::Diagram_Click));
            else if (code == "CRET")
                connect(action, &QAction::triggered, this, ui::slot(controller_, [this, code] {
                            controller_.session().OpenedByModule = false;
                            launch(code);
                        }));
            else
                connect(action, &QAction::triggered, this,
                        ui::slot(controller_, [this, code] { launch(code); }));
        }
    }
    connect(entries_.at("Nueva"), &QAction::triggered, this,
            ui::slot(controller_, this, &MainWindow::Nueva_Click));
    connect(entries_.at("Copi"), &QAction::triggered, this,
            ui::slot(controller_, this, &MainWindow::Copi_Click));
    connect(entries_.at("Eliminar"), &QAction::triggered, this,
            ui::slot(controller_, this, &MainWindow::Eliminar_Click));
    connect(entries_.at("Memoria"), &QAction::triggered, this,
            ui::slot(controller_, this, &MainWindow::Memoria_Click));
    connect(entries_.at("Salir"), &QAction::triggered, this,
            ui::slot(controller_, [this] { launch({}); }));
    connect(entries_.at("HelpMenu"), &QAction::triggered, this,
            ui::slot(controller_, [this] { showHelp("menu"); }));
    connect(entries_.at("Helptutor"), &QAction::triggered, this,
            ui::slot(controller_, [this] { showHelp("tutor"); }));
    connect(entries_.at("HelpMatricial"), &QAction::triggered, this,
            ui::slot(controller_, [this] { showHelp("matrici"); }));
    connect(entries_.at("ElAutor"), &QAction::triggered, this,
            ui::slot(controller_, [this] { AboutDialog(AboutDialog::Kind::Author, this).exec(); }));
    connect(entries_.at("Acerca"), &QAction::triggered, this, ui::slot(controller_, [this] {
                AboutDialog(AboutDialog::Kind::Program, this).exec();
            }));
    Seleccion(false);
}

QAction* MainWindow::entry(const QString& name) const {
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second;
}

fs::path MainWindow::workDirectory() const {
    return Dire->path();
}

void MainWindow::load() {
    unloading_ = false;
    ModuleCode.clear();
    setWindowTitle(qs(VersionText));
    Session& session = controller_.session();
    DiscoX::Status status = DiscoX::Status::Missing;
    if (!ui::guarded(controller_, [&] { status = DiscoX::readSettings(session); })) return;
    session.settings = startingSettings(session, status != DiscoX::Status::Missing);
    const SessionSettings& s = session.settings;

    const int drive = Drive1->findText(QDir::toNativeSeparators(qs(s.Drive)));
    if (drive >= 0) Drive1->setCurrentIndex(drive);
    const std::string remembered = s.StructureName;
    loading_ = true;
    Dire->setPath(s.WorkDirectory);
    show();
    raise();
    activateWindow();
    ui::SelectListEntries(*List1, remembered);
    loading_ = false;
}

void MainWindow::fillStructureList() {
    List1->clear();
    std::vector<QString> names;
    std::error_code ec;
    for (fs::directory_iterator it(Dire->path(), fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code dirEc;
        if (name.size() < 2 || name[0] != '-' || !it->is_directory(dirEc)) continue;
        names.push_back(qs(name.substr(1)));
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& n : names)
        List1->addItem(n);
}

void MainWindow::directoryChanged() {
    GuardaDescr();
    const QSignalBlocker block(List1);
    fillStructureList();
    showNoStructure();
    controller_.session().settings.WorkDirectory = Dire->path().string();
    if (!loading_) SaveSessionSettings();
}

void MainWindow::showNoStructure() {
    Dib->hide();
    tachado->hide();
    preview_.unload();
    shownDirectory_.clear();
    setDescription(QString(), DescriptionBlack, false);
    descr->setPlaceholderText(QString());
    List2->clear();
    setWindowTitle(qs(VersionText));
    Seleccion(false);
}

std::string MainWindow::selectedName() const {
    const auto items = List1->selectedItems();
    return items.isEmpty() ? std::string() : ui::utf8(items.first()->text());
}

void MainWindow::selectionChanged() {
    GuardaDescr();
    const std::string name = selectedName();
    SessionSettings& s = controller_.session().settings;
    if (name.empty()) {
        showNoStructure();
        s.StructureName.clear();
        if (!loading_) SaveSessionSettings();
        return;
    }
    Seleccion(true);
    descr->setEnabled(true);
    s.WorkDirectory = Dire->path().string();
    s.StructureName = name;
    s.StructureDirectory = structureDirectoryOf(Dire->path(), name).string();
    fillFileList();
    setCaption();
    Dibujo();
    if (!loading_) SaveSessionSettings();
}

void MainWindow::fillFileList() {
    List2->clear();
    std::vector<QString> files;
    std::error_code ec;
    for (fs::directory_iterator it(controller_.session().settings.StructureDirectory, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc)) files.push_back(ui::qpath(it->path().filename()));
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& f : files)
        List2->addItem(f);
}

void MainWindow::setCaption() {
    const SessionSettings& s = controller_.session().settings;
    if (s.StructureName.empty())
        setWindowTitle(qs(VersionText));
    else
        setWindowTitle(qs(VersionText) + "   [" + qs(s.StructureDirectory) + "]");
}

void MainWindow::Seleccion(bool enabled) {
    for (QAction* a : selectionEntries_)
        a->setEnabled(enabled);
}

void MainWindow::setDescription(const QString& text, const QColor& colour, bool editable) {
    settingDescription_ = true;
    QPalette p = descr->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::PlaceholderText, DescriptionGreen);
    descr->setPalette(p);
    descr->setPlainText(text);
    descr->setReadOnly(!editable);
    descr->setEnabled(editable || !text.isEmpty());
    settingDescription_ = false;
    DescriptionChanged = false;
}

void MainWindow::Dibujo() {
    const fs::path dir = controller_.session().settings.StructureDirectory;
    Dib->show();
    tachado->hide();
    editor::PreviewState state = editor::PreviewState::NoData;
    if (!ui::guarded(controller_, [&] { state = preview_.load(dir); })) return;
    shownDirectory_ = dir;
    if (state != editor::PreviewState::Drawn) {
        Dib->hide();
        tachado->show();
        drawCrossedOut();
        descr->setPlaceholderText(QString());
        if (state == editor::PreviewState::NoData) {
            setDescription(QStringLiteral("La estructura no tiene los datos básicos."),
                           DescriptionRed, false);
        } else {
            setDescription(
                QStringLiteral("Estructura no compatible con la versión actual del programa"),
                DescriptionRed, false);
            Seleccion(false);
        }
        return;
    }
    drawPreview();
    std::optional<std::string> notes;
    if (!ui::guarded(controller_, [&] { notes = DiscoX::readNotes(dir); })) return;
    if (!notes || *notes == ".") {
        descr->setPlaceholderText(NoDescription);
        setDescription(QString(), DescriptionBlack, true);
    } else {
        descr->setPlaceholderText(QString());
        setDescription(qs(*notes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                       DescriptionBlack, true);
    }
}

void MainWindow::drawPreview() {
    preview_.draw(Dib->surface());
}

void MainWindow::drawCrossedOut() {
    Surface& s = tachado->surface();
    s.clear();
    const double w = s.scaleWidth(), h = s.scaleHeight();
    s.setForeground(rgb(160, 160, 160));
    s.setLineWidth(2);
    s.rectangle(0, 0, w, h);
    s.line(0, 0, w, h);
    s.line(0, h, w, 0);
    s.setLineWidth(1);
}

void MainWindow::GuardaDescr() {
    if (!DescriptionChanged || shownDirectory_.empty() || controller_.ending()) return;
    const std::string text = ui::utf8(descr->toPlainText());
    const fs::path dir = shownDirectory_;
    if (ui::guarded(controller_, [&] { DiscoX::writeNotes(dir, text); }))
        DescriptionChanged = false;
}

void MainWindow::SaveSessionSettings() {
    if (controller_.ending()) return;
    Session& session = controller_.session();
    SessionSettings& s = session.settings;
    s.Drive = ui::utf8(QDir::fromNativeSeparators(Drive1->currentText()));
    s.WorkDirectory = Dire->path().string();
    s.StructureName = selectedName();
    s.StructureDirectory = structureDirectoryOf(s.WorkDirectory, s.StructureName).string();
    ui::guarded(controller_, [&] { DiscoX::writeSettings(session); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1 && event->type() == QEvent::KeyPress && !selectedName().empty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter opens the structure in the editor, or its listing without one.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (const char* name : {"EditarM", "Listad"}) {
                QAction* open = entry(name);
                if (!open || !open->isEnabled()) continue;
                open->trigger();
                return true;
            }
        }
        if (key == Qt::Key_Delete && entries_.at("Eliminar")->isEnabled()) {
            Eliminar_Click();
            return true;
        }
    }
    if (watched == descr) {
        if (event->type() == QEvent::KeyPress && !descr->isReadOnly()) {
            QPalette p = descr->palette();
            p.setColor(QPalette::Text, DescriptionBlack);
            descr->setPalette(p);
        } else if (event->type() == QEvent::FocusOut) {
            GuardaDescr();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::launch(const std::string& code) {
    ModuleCode = code;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    // Ending the program: a help document with unsaved edits asks first, and
    // its "Cancelar" keeps the program open.
    if (ModuleCode.empty()) {
        for (HelpViewer* viewer :
             findChildren<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!viewer->close()) {
                event->ignore();
                return;
            }
        }
    }
    unloading_ = true;
    if (!selectedName().empty()) GuardaDescr();
    SaveSessionSettings();
    event->accept();
    const QString code = qs(ModuleCode);
    ModuleCode.clear();
    emit unloaded(code);
}

void MainWindow::refreshStructures(const std::string& select) {
    Dire->refresh();
    directoryChanged();
    if (!select.empty()) ui::SelectListEntries(*List1, select);
}

void MainWindow::Nueva_Click() {
    NewStructureDialog dialog(controller_, workDirectory(), this);
    dialog.exec();
    if (dialog.changed()) refreshStructures(dialog.createdName());
}

void MainWindow::Copi_Click() {
    GuardaDescr();
    CopyStructureDialog dialog(controller_, workDirectory(), selectedName(), this);
    dialog.exec();
    if (dialog.changed()) refreshStructures(dialog.createdName());
}

void MainWindow::Eliminar_Click() {
    GuardaDescr();
    DeleteStructureDialog dialog(controller_, workDirectory(), selectedName(), this);
    dialog.exec();
    if (dialog.changed()) refreshStructures();
}

void MainWindow::Diagram_Click() {
    if (!fileExists(controller_.session().settings.StructureDirectory, "INCOG.RES")) {
        controller_.messages().show("¡ Aviso !", "Antes debe efectuar un cálculo de la estructura",
                                    MessageIcon::Exclamation);
        return;
    }
    launch("DBDG");
}

void MainWindow::Memoria_Click() {
    // The description goes into the report's title page.
    GuardaDescr();
    const fs::path dir = controller_.session().settings.StructureDirectory;
    if (!writeReportFromMenu(controller_, this, dir).empty()) fillFileList();
}

void MainWindow::showHelp(const char* topic) {
    GuardaDescr();
    controller_.session().HelpTopic = topic;
    HelpViewer::open(controller_.session(), this);
}

}  // namespace vanto
