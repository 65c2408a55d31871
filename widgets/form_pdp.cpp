#include "widgets/form_pdp.h"
#include "ui_form_pdp.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

namespace
{

void set_headers(QStandardItemModel *model)
{
    model->setHeaderData(0, Qt::Horizontal, Form_pdp::tr("Субъект РФ"), Qt::EditRole);
    model->setHeaderData(1, Qt::Horizontal, Form_pdp::tr("ВУС офицеров запаса"), Qt::EditRole);
    model->setHeaderData(2, Qt::Horizontal,
                         Form_pdp::tr("ВУС прапорщиков, мичманов, сержантов, старшин, солдат и матросов запаса"),
                         Qt::EditRole);
}

} // namespace

Form_pdp::Form_pdp(QWidget *parent) : QWidget(parent), ui(new Ui::Form_pdp)
{
    ui->setupUi(this);
}

Form_pdp::~Form_pdp()
{
    delete ui;
}

void Form_pdp::set_vus_items(QVector<VusRecord> records)
{
    ui->groupBox_2->hide();
    ui->VUSlabel2->hide();

    vus_items = std::move(records);
    const int n = vus_items.size();
    QStandardItemModel *old_model = model;
    model = new QStandardItemModel(n, 3, this);
    set_headers(model);
    QStandardItemModel *old_header_model = header_model;
    header_model = new QStandardItemModel(0, 3, this);
    set_headers(header_model);

    model->blockSignals(true);
    for (int row = 0; row < n; ++row) {
        const VusRecord &rec = vus_items.at(row);
        auto *region = new QStandardItem(rec.region);
        region->setTextAlignment(Qt::AlignCenter);
        model->setItem(row, 0, region);
        model->setItem(row, 1, new QStandardItem(rec.officer_vus));
        model->setItem(row, 2, new QStandardItem(rec.enlisted_vus));
        model->setHeaderData(row, Qt::Vertical, QString(), Qt::EditRole);
    }
    model->blockSignals(false);
    for (const VusRecord &rec : qAsConst(vus_items))
        ui->comboBox->addItem(rec.region);

    ui->tableView->setModel(header_model);
    if (region_proxy) {
        delete region_proxy;
        region_proxy = nullptr;
    }
    delete old_header_model;
    delete old_model;

    const int w = width();
    QHeaderView *header = ui->tableView->horizontalHeader();
    header->setDefaultSectionSize(w / 3);
    ui->tableView->setColumnWidth(0, int(w * 0.15));
    ui->tableView->setColumnWidth(1, int(w * 0.4));
    ui->tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void Form_pdp::on_find_pdp_clicked()
{
    if (!model)
        return;
    chosen_region = ui->comboBox->currentText();
    auto *proxy = new QSortFilterProxyModel(this);
    proxy->setSourceModel(model);
    proxy->setFilterKeyColumn(0);
    // The whole name, taken literally: names hold parentheses, and one name may end
    // another ("Омская" in "Томская").
    proxy->setFilterRegularExpression(
        QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(chosen_region) + QLatin1Char('$'),
                           QRegularExpression::CaseInsensitiveOption));
    ui->tableView->setModel(proxy);
    delete region_proxy;
    region_proxy = proxy;
    ui->tableView->resizeRowsToContents();
    ui->tableView->setColumnWidth(0, int(width() * 0.15));
}

void Form_pdp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    ui->tableView->setColumnWidth(0, int(w * 0.15));
    ui->tableView->setColumnWidth(1, int(w * 0.45));
}

void Form_pdp::on_cb_dopinfo_toggled(bool checked)
{
    ui->VUSlabel->setVisible(!checked);
    ui->VUSlabel2->setVisible(checked);
}
