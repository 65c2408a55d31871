#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_rules.h"
#include "cardfile/card_lists.h"
#include "widgets/comboboxdelegate.h"
#include "widgets/spinboxdelegate.h"

namespace
{

void set_headers(QStandardItemModel *model, const QStringList &headers)
{
    for (int column = 0; column < headers.size(); ++column)
        model->setHeaderData(column, Qt::Horizontal, headers.at(column), Qt::EditRole);
}

} // namespace

// Models and delegates are children of the window, created after the form: they go after the views.
void Widget::setup_table_models()
{
    item_prototype = new QStandardItem;
    item_prototype->setTextAlignment(Qt::AlignCenter);
    grey_brush = QBrush(QColor(192, 192, 192, 155), Qt::SolidPattern);
    red_brush = QBrush(QColor(255, 0, 0, 255), Qt::SolidPattern);
    yellow_brush = QBrush(QColor(255, 255, 0, 255), Qt::SolidPattern);

    using namespace balance;
    balance_model = new QStandardItemModel(0, column_count, this);
    set_headers(balance_model, {"Сорт\n\n\n",
                                "Вид\nпроиз-\nводства\n",
                                "Категория\nперсонала\n\n",
                                "Код\n\n\n",
                                "Фасет\n\n\n",
                                "Наименование\nдолжности / профессии\n\n",
                                "Численность\nпо штатному\nрасписанию\n",
                                "Численность\nдля выполнения\nмоб.ЗАДАНИЯ\n",
                                "Численность\nфактическая\n\n",
                                "Выбытие\nпо\nмобилизации\n",
                                "Естест-\nвенная\nубыль\n(0,1%)",
                                "Заброни-\nровано\nГПЗ\n",
                                "Штатная\nчисленность\nс учетом\nвыбытия",
                                "Текущий\nнекомплект\n\n",
                                "Дополни-\nтельная\nпотребность\nпосле моб-ции",
                                "Обеспечение\nза счет\nвнутренних\nисточников",
                                "За счет\nвнешних\nисточников\n",
                                "Избыток\nтрудовых\nресурсов\n",
                                "Код\nкат\n\n",
                                "Код\nфасета\n\n",
                                "Код\nвид\n\n"});
    QTableView *balance = ui->table_balance;
    balance->setModel(balance_model);
    balance->setShowGrid(true);
    balance->setSortingEnabled(true);
    for (int column : {col_kind, col_category, col_code, col_ubyl, col_posle_vybyt, col_vnutr_ist, col_vnesh_ist,
                       col_treb, col_izbytok, col_key, col_cat_code, col_facet_code, col_kind_code})
        balance->hideColumn(column);
    const QVector<QPair<int, int>> widths = {
        {col_kind, 0},      {col_category, 0},    {col_code, 0},       {col_name, 4},     {col_facet, 1},
        {col_shtat, 1},     {col_treb, 1},        {col_fact, 1},       {col_mp, 1},       {col_ubyl, 0},
        {col_bron, 1},      {col_posle_vybyt, 0}, {col_nekomplekt, 1}, {col_dop_potr, 1}, {col_vnutr_ist, 0},
        {col_vnesh_ist, 0}, {col_izbytok, 0}};
    for (const auto &w : widths)
        balance->setColumnWidth(w.first, w.second * balance->width());
    // A model owns its prototype: each model gets its own copy.
    balance_model->setItemPrototype(item_prototype);
    for (int column : {col_shtat, col_fact, col_mp, col_bron, col_treb, col_vnutr_ist})
        balance->setItemDelegateForColumn(column, spin_delegate);
    combo_delegate = new comboboxDelegate(this);
    balance->setItemDelegateForColumn(col_kind, combo_delegate);
    connect(balance_model, &QStandardItemModel::dataChanged, this, &Widget::UpdateData_balance);

    bron_model = new QStandardItemModel(0, card_lists::bron_row_size, this);
    nebron_model = new QStandardItemModel(0, card_lists::nebron_row_size, this);
    set_headers(bron_model, {"ПДП\n(необяз.)", "Код должн.\nпо ПДП\n(необяз.)", "Наименование\nдолжности",
                             "Дата и номер приказа (распоряжения) о бронировании", "Фамилия, инициалы\n"});
    set_headers(nebron_model,
                {"Количество\nГПЗ", "Причина, по которой\nне произведено бронирование", "Дополнительные сведения"});
    bron_model->setItemPrototype(item_prototype->clone());
    nebron_model->setItemPrototype(item_prototype->clone());
    ui->table_nebronGPZ->setItemDelegateForColumn(nebron_pos::count, spin_delegate);

    ui->table_bronGPZ->setModel(bron_model);
    ui->table_bronGPZ->setShowGrid(true);
    ui->table_bronGPZ->setSortingEnabled(true);
    for (int column : {bron_pos::pdp_entry, bron_pos::position_code, bron_pos::position_name})
        ui->table_bronGPZ->hideColumn(column);
    ui->table_bronGPZ->setColumnWidth(bron_pos::order, 8 * balance->width());

    ui->table_nebronGPZ->setModel(nebron_model);
    ui->table_nebronGPZ->setShowGrid(true);
    ui->table_nebronGPZ->setSortingEnabled(true);
    ui->table_nebronGPZ->setColumnWidth(nebron_pos::reason, int(2.5 * balance->width()));
}
