#include "mainwin/directory_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>
#include <system_error>
#include <vector>

#include "ui/convert.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {
constexpr int PathRole = Qt::UserRole + 1;
}

DirectoryList::DirectoryList(QWidget* parent, Structures structures)
    : QListWidget(parent), structures_(structures) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &DirectoryList::open);
}

fs::path DirectoryList::pathOf(const QListWidgetItem* item) const {
    return item ? ui::fspath(item->data(PathRole).toString()) : fs::path();
}

void DirectoryList::open(QListWidgetItem* item) {
    const fs::path target = pathOf(item);
    if (target.empty() || target == path_) return;
    std::error_code ec;
    if (!fs::is_directory(target, ec)) {
        refresh();
        return;
    }
    setPath(target);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryList::setPath(const fs::path& path) {
    path_ = path.lexically_normal();
    // "/a/b/" and "/a/b" are the same directory; keep the root as it is.
    if (path_.has_relative_path() && path_.filename().empty()) path_ = path_.parent_path();
    refresh();
    emit changed();
}

void DirectoryList::refresh() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [&](const fs::path& p, const QString& name, int depth, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, QString(depth * 3, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, ui::qpath(p));
        item->setToolTip(ui::qpath(p));
        return item;
    };

    // The chain from the root down to the current directory.
    std::vector<fs::path> chain;
    for (fs::path p = path_; !p.empty(); p = p.parent_path()) {
        chain.push_back(p);
        if (p == p.parent_path()) break;
    }
    std::reverse(chain.begin(), chain.end());
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const fs::path& p : chain) {
        const QString name = p == p.root_path() ? ui::qpath(p) : ui::qpath(p.filename());
        current = add(p, name, depth++, openIcon);
    }

    std::vector<fs::path> children;
    std::error_code ec;
    for (fs::directory_iterator it(path_, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code dirEc;
        if (!it->is_directory(dirEc)) continue;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        if (name[0] == '-' && structures_ == Structures::Hidden) continue;
        children.push_back(it->path());
    }
    std::sort(children.begin(), children.end(), [](const fs::path& a, const fs::path& b) {
        return QString::compare(ui::qpath(a.filename()), ui::qpath(b.filename()),
                                Qt::CaseInsensitive) < 0;
    });
    for (const fs::path& c : children)
        add(c, ui::qpath(c.filename()), depth, closedIcon);

    if (current) {
        QFont bold = current->font();
        bold.setBold(true);
        current->setFont(bold);
        setCurrentItem(current);
        scrollToItem(current);
    }
}

}  // namespace vanto
