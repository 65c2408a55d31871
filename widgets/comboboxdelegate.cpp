#include "widgets/comboboxdelegate.h"

#include "balance/balance_rules.h"
#include "widgets/ncombobox.h"

#include <QSignalBlocker>

namespace
{

using namespace balance;

QString cell_text(const QAbstractItemModel *model, int row, int column)
{
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
}

} // namespace

comboboxDelegate::comboboxDelegate(QObject *parent) : QItemDelegate(parent) {}

QWidget *comboboxDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    return new NCOMBOBOX(parent);
}

void comboboxDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // Kind codes 1..4 map to items 0..3; anything else selects nothing.
    const int code = cell_text(index.model(), index.row(), col_kind_code).toInt();
    auto *box = static_cast<NCOMBOBOX *>(editor);
    box->setCurrentIndex(code >= 1 && code <= box->count() ? code - 1 : -1);
}

void comboboxDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    QString kind = static_cast<NCOMBOBOX *>(editor)->currentText();
    // Leaving the editor without a choice must not blank the kind while the code says "main".
    if (kind.isEmpty())
        kind = kind_word(1);

    // This change is announced: the window's recalculation runs on it.
    model->setData(index, kind, Qt::EditRole);

    const int row = index.row();
    const QSignalBlocker blocker(model);
    // A word the list does not hold counts as the main kind.
    const int code = kind_code(kind);
    model->setData(model->index(row, col_kind_code), QString::number(code != 0 ? code : 1), Qt::EditRole);

    const QString key = row_key(cell_text(model, row, col_kind_code), cell_text(model, row, col_cat_code),
                                cell_text(model, row, col_code), cell_text(model, row, col_facet_code));
    model->setData(model->index(row, col_key), key, Qt::EditRole);
}

void comboboxDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
