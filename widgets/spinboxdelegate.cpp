#include "widgets/spinboxdelegate.h"

#include "widgets/nspinbox.h"

spinboxDelegate::spinboxDelegate(QObject *parent) : QItemDelegate(parent) {}

QWidget *spinboxDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new nSpinBox(parent);
    connect(editor, &nSpinBox::sig_press_enter, this, &spinboxDelegate::sig_press_enter_tomain);
    return editor;
}

void spinboxDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // Empty or non-numeric cells start at 0.
    const int value = index.model()->data(index, Qt::EditRole).toInt();
    static_cast<nSpinBox *>(editor)->setValue(value);
}

void spinboxDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *spin = static_cast<nSpinBox *>(editor);
    spin->interpretText();
    model->setData(index, spin->value(), Qt::EditRole);
}

void spinboxDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                           const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
