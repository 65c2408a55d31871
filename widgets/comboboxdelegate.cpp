#include "comboboxdelegate.h"

#include "ncombobox.h"

#include <QSignalBlocker>

namespace
{

// Balance model columns touched here.
const int col_sort_key = 0;
const int col_position_code = 3;
const int col_category_code = 18;
const int col_facet_code = 19;
const int col_kind_code = 20;

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
        kind = tr("Основное");

    // This change is announced: the window's recalculation runs on it.
    model->setData(index, kind, Qt::EditRole);

    const int row = index.row();
    const QSignalBlocker blocker(model);
    QString code = "1";
    if (kind == tr("Вспомогательное"))
        code = "2";
    else if (kind == tr("Др.службы"))
        code = "3";
    else if (kind == tr("Пр.рабочие"))
        code = "4";
    model->setData(model->index(row, col_kind_code), code, Qt::EditRole);

    const QString key = cell_text(model, row, col_kind_code) + cell_text(model, row, col_category_code) +
                        cell_text(model, row, col_position_code) + cell_text(model, row, col_facet_code);
    model->setData(model->index(row, col_sort_key), key, Qt::EditRole);
}

void comboboxDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
