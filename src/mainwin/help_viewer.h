#pragma once
// The help texts viewer, caption "Instrucciones": one rich-text document of
// the program's directory (menu.rtf, tutor.rtf, matrici.rtf), shown in an
// editable box that fills the window, with "Guardar" to write it back as RTF
// and "Salir" to close.
//
// The window is not modal: it opens over the main window, which stays usable.
// A missing or unreadable document shows an explanation in the box, read-only,
// and nothing can be saved over it. The user's edits of a shipped document are
// saved apart from it (see editedPath), so reinstalling the program never
// overwrites them. A file that is plain text rather than RTF is
// shown as plain text and saved as RTF. Closing with unsaved changes asks
// whether to save them.
//
// Typical use from the main window's "Ayuda" menu:
//     session.HelpTopic = "tutor";
//     HelpViewer::open(session, this);

#include <QString>
#include <QWidget>
#include <filesystem>

class QPushButton;
class QTextEdit;

namespace vanto {

struct Session;

class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    // A viewer of the document at `documentPath`, saved to `savePath` (by
    // default the document itself). Not shown yet.
    explicit HelpViewer(const std::filesystem::path& documentPath, QWidget* parent = nullptr,
                        std::filesystem::path savePath = {});

    // The document of `session.HelpTopic`: the user's edited copy when there
    // is one, otherwise the program's directory, the topic and ".rtf" (the
    // name matched regardless of case).
    static std::filesystem::path documentPath(const Session& session);
    // Where the user's edits of that topic are kept: the folder "ayuda" of the
    // settings directory. Empty when the session has no settings directory.
    static std::filesystem::path editedPath(const Session& session);

    // Shows the viewer of `session.HelpTopic` over `parent`, non-modal, deleted
    // when closed. A viewer of the same document already open under `parent`
    // is raised instead of opening a second one.
    static HelpViewer* open(const Session& session, QWidget* parent);

    // The document being shown.
    const std::filesystem::path& path() const { return path_; }
    // True when the document was loaded and can be saved back.
    bool isDocumentLoaded() const { return loaded_; }

    // Writes the box's contents to the document as RTF. Shows an error message
    // and returns false when the file cannot be written.
    bool Save_Click();
    void Salir_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes, as "Salir" does.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void load();
    void showProblem(const QString& text);
    void updateSaveButton();

    std::filesystem::path path_;
    std::filesystem::path shippedPath_;
    std::filesystem::path savePath_;
    bool loaded_ = false;
    QTextEdit* RichTextBox1;
    QPushButton* Save;
    QPushButton* Salir;
};

}  // namespace vanto
