#pragma once
// The help texts viewer, caption "Instrucciones": one rich-text document of
// the program's directory (menu.rtf, tutor.rtf, matrici.rtf), shown in an
// editable box that fills the window, with "Guardar" to write it back as RTF
// and "Salir" to close.
//
// The window is not modal: it opens over the main window, which stays usable.
// A missing or unreadable document shows an explanation in the box, read-only,
// and nothing can be saved over it. A file that is plain text rather than RTF is
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
    // A viewer of the document at `documentPath`. Not shown yet.
    explicit HelpViewer(const std::filesystem::path& documentPath, QWidget* parent = nullptr);

    // The document of `session.HelpTopic`: the program's directory, the topic
    // and ".rtf" (the name matched regardless of case).
    static std::filesystem::path documentPath(const Session& session);

    // Shows the viewer of `session.HelpTopic` over `parent`, non-modal, deleted
    // when closed. A viewer of the same document already open under `parent`
    // is raised instead of opening a second one.
    static HelpViewer* open(const Session& session, QWidget* parent);

    const std::filesystem::path& path() const { return path_; }
    // True when the document was loaded and can be saved back.
    bool isDocumentLoaded() const { return loaded_; }

    // Writes the box's contents to the document as RTF. Shows an error message
    // and returns false when the file cannot be written.
    bool Save_Click();
    void Salir_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void load();
    void showProblem(const QString& text);
    void updateSaveButton();

    std::filesystem::path path_;
    bool loaded_ = false;
    QTextEdit* RichTextBox1;
    QPushButton* Save;
    QPushButton* Salir;
};

}  // namespace vanto
