#include "ui_widget.h"
#include "widget.h"

#include "comboboxdelegate.h"
#include "spinboxdelegate.h"

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

    balance_model = new QStandardItemModel(0, 21, this);
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
    for (int column : {1, 2, 3, 10, 12, 15, 16, 7, 17, 0, 18, 19, 20})
        balance->hideColumn(column);
    const QVector<QPair<int, int>> widths = {{1, 0},  {2, 0},  {3, 0},  {5, 4},  {4, 1},  {6, 1},
                                             {7, 1},  {8, 1},  {9, 1},  {10, 0}, {11, 1}, {12, 0},
                                             {13, 1}, {14, 1}, {15, 0}, {16, 0}, {17, 0}};
    for (const auto &w : widths)
        balance->setColumnWidth(w.first, w.second * balance->width());
    // A model owns its prototype: each model gets its own copy.
    balance_model->setItemPrototype(item_prototype);
    for (int column : {6, 8, 9, 11, 7, 15})
        balance->setItemDelegateForColumn(column, spin_delegate);
    combo_delegate = new comboboxDelegate(this);
    balance->setItemDelegateForColumn(1, combo_delegate);
    connect(balance_model, &QStandardItemModel::dataChanged, this, &Widget::UpdateData_balance);

    bron_model = new QStandardItemModel(0, 5, this);
    nebron_model = new QStandardItemModel(0, 3, this);
    set_headers(bron_model, {"ПДП\n(необяз.)", "Код должн.\nпо ПДП\n(необяз.)", "Наименование\nдолжности",
                             "Дата и номер приказа (распоряжения) о бронировании", "Фамилия, инициалы\n"});
    set_headers(nebron_model,
                {"Количество\nГПЗ", "Причина, по которой\nне произведено бронирование", "Дополнительные сведения"});
    bron_model->setItemPrototype(item_prototype->clone());
    nebron_model->setItemPrototype(item_prototype->clone());
    ui->table_nebronGPZ->setItemDelegateForColumn(0, spin_delegate);

    ui->table_bronGPZ->setModel(bron_model);
    ui->table_bronGPZ->setShowGrid(true);
    ui->table_bronGPZ->setSortingEnabled(true);
    for (int column : {0, 1, 2})
        ui->table_bronGPZ->hideColumn(column);
    ui->table_bronGPZ->setColumnWidth(3, 8 * balance->width());

    ui->table_nebronGPZ->setModel(nebron_model);
    ui->table_nebronGPZ->setShowGrid(true);
    ui->table_nebronGPZ->setSortingEnabled(true);
    ui->table_nebronGPZ->setColumnWidth(1, int(2.5 * balance->width()));
}
