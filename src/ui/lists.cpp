#include "ui/lists.h"

#include "ui/convert.h"

namespace vanto::ui {

void SelectListEntries(QListWidget& list, std::string_view text) {
    const QString wanted = qs(text);
    const bool single = list.selectionMode() == QAbstractItemView::SingleSelection;
    bool first = true;
    for (int i = 0; i < list.count(); ++i) {
        QListWidgetItem* item = list.item(i);
        if (item->text() != wanted) continue;
        if (first) {
            list.setCurrentItem(item, QItemSelectionModel::NoUpdate);
            list.scrollToItem(item);
            first = false;
        }
        item->setSelected(true);
        // A list that holds one selection keeps the first entry that matches.
        if (single) return;
    }
}

}  // namespace vanto::ui
