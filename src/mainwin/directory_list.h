#pragma once
// A directory list: the chain of directories from the root down to the
// current one, then the current one's subdirectories, each indented by its
// depth. Double-clicking an entry (or Enter) makes it the current directory.
// Hidden directories and structure directories ("-" names) are left out: the
// structures are listed apart.

#include <QListWidget>
#include <filesystem>

namespace vanto {

class DirectoryList : public QListWidget {
    Q_OBJECT
  public:
    explicit DirectoryList(QWidget* parent = nullptr);

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
};

}  // namespace vanto
