#pragma once

#include <QItemDelegate>

// Whole-number cells of the staff tables, edited with an nSpinBox; the editor's Enter is
// passed on so the window can move to the next cell.
class spinboxDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit spinboxDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

signals:
    void sig_press_enter_tomain();
};
