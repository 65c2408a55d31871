#pragma once

#include <QItemDelegate>

// Production-kind cell of the balance table: edited with an NCOMBOBOX; a chosen kind also
// rewrites the row's kind code and sort key.
class comboboxDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit comboboxDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
};
