#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

#include "classifier/classifier_reader.h"

class QStandardItemModel;
class QSortFilterProxyModel;

namespace Ui
{
class Form_pdp;
}

// The list of military specialties (VUS) not reserved, one row per region; shows the row
// of the region chosen in the drop-down list.
class Form_pdp : public QWidget
{
    Q_OBJECT

public:
    explicit Form_pdp(QWidget *parent = nullptr);
    ~Form_pdp() override;

    void set_vus_items(QVector<VusRecord> records);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_cb_dopinfo_toggled(bool checked);
    void on_find_pdp_clicked();

private:
    QVector<VusRecord> vus_items;
    QStandardItemModel *model = nullptr;
    QStandardItemModel *header_model = nullptr;
    QSortFilterProxyModel *region_proxy = nullptr;
    QString chosen_region;
    Ui::Form_pdp *ui;
};
