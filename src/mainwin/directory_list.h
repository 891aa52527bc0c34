#pragma once
// A directory list: the chain of directories from the root down to the
// current one, then the current one's subdirectories, each indented by its
// depth. Double-clicking an entry (or Enter) makes it the current directory.
// Hidden directories are left out, and so are structure directories ("-"
// names) unless asked for: the main window lists the structures apart, while
// the import/export window needs them (a listing lives in one).

#include <QListWidget>
#include <filesystem>

namespace vanto {

class DirectoryList : public QListWidget {
    Q_OBJECT
  public:
    enum class Structures { Hidden, Shown };
    explicit DirectoryList(QWidget* parent = nullptr, Structures structures = Structures::Hidden);

    const std::filesystem::path& path() const { return path_; }
    // Shows `path` (which must be an existing directory) and emits changed().
    void setPath(const std::filesystem::path& path);
    // Reads the directory again.
    void refresh();

    // The directory an entry stands for.
    std::filesystem::path pathOf(const QListWidgetItem* item) const;

  signals:
    void changed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void open(QListWidgetItem* item);

    std::filesystem::path path_;
    Structures structures_;
};

}  // namespace vanto
