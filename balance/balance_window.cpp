// The staff balance table on the staff page: rows, arithmetic, totals, columns and the cursor.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_model_io.h"
#include "balance/balance_rules.h"
#include "mainwindow/main_tabs.h"
#include "widgets/message_box.h"

#include <QResizeEvent>
#include <QTableView>

using namespace balance;

namespace
{

bool ticked(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}

QStandardItem *new_cell(const QString &text, const QBrush *background, Qt::Alignment alignment, bool editable,
                        bool selectable)
{
    auto *item = new QStandardItem(text);
    if (background)
        item->setBackground(*background);
    if (alignment)
        item->setTextAlignment(alignment);
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (editable)
        flags |= Qt::ItemIsEditable;
    if (selectable)
        flags |= Qt::ItemIsSelectable;
    item->setFlags(flags);
    return item;
}

void set_box(nSpinBox *box, int value)
{
    box->setValue(value);
}

void set_totals(const CategoryTotals &t, nSpinBox *all, nSpinBox *ruk, nSpinBox *specialists, nSpinBox *slug,
                nSpinBox *rab)
{
    set_box(all, t.all);
    set_box(ruk, t.ruk);
    set_box(specialists, t.specialists);
    set_box(slug, t.slug);
    set_box(rab, t.rab);
}

// The totals named by the balance::Total bits in `totals`, summed over `rows`.
void show_totals(Ui::Widget *ui, const QVector<BalanceRow> &rows, unsigned totals)
{
    if (totals & total_fact)
        set_totals(balance::summ_all(rows), ui->sb_b_all, ui->sb_b_ruk, ui->sb_b_spec, ui->sb_b_slug, ui->sb_b_rab);
    if (totals & total_bron)
        set_totals(balance::summ_bron(rows), ui->sb_b_bron, ui->sb_b_ruk_bron, ui->sb_b_spec_bron, ui->sb_b_slug_bron,
                   ui->sb_b_rab_bron);
    if (totals & total_mp)
        set_box(ui->sb_b_sum_mp, balance::summ_mp(rows));
    if (totals & total_vnutr)
        set_totals(balance::summ_vnutr_ist(rows), ui->sb_b_sum_vnutr, ui->sb_b_vnutr_ruk, ui->sb_b_vnutr_spec,
                   ui->sb_b_vnutr_slug, ui->sb_b_vnutr_rab);
    if (totals & total_treb)
        set_totals(balance::summ_treb(rows), ui->sb_b_sum_treb, ui->sb_b_treb_ruk, ui->sb_b_treb_spec,
                   ui->sb_b_treb_slug, ui->sb_b_treb_rab);
}

} // namespace

void Widget::add_balance_row()
{
    const int row = balance_model->rowCount();
    balance_model->insertRow(row);
    const QList<QStandardItem *> cells = new_row_cells();
    const bool blocked = balance_model->blockSignals(true);
    for (int column = 0; column < column_count; ++column)
        if (cells[column])
            balance_model->setItem(row, column, cells[column]);
    balance_model->blockSignals(blocked);
}

QList<QStandardItem *> Widget::new_row_cells() const
{
    const Qt::Alignment centre = Qt::AlignCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    QList<QStandardItem *> cells;
    for (int column = 0; column < column_count; ++column)
        cells.append(nullptr);
    cells[col_key] = new_cell(QString(), &yellow_brush, {}, false, true);
    cells[col_cat_code] = new_cell(QString(), &yellow_brush, centre, false, true);
    cells[col_facet_code] = new_cell(QString(), &yellow_brush, centre, false, true);
    cells[col_kind_code] = new_cell("1", &yellow_brush, centre, false, false);
    cells[col_kind] = new_cell(kind_word(1), nullptr, left, true, true);
    cells[col_category] = new_cell(QString(), &grey_brush, {}, false, false);
    cells[col_facet] = new_cell(QString(), &grey_brush, {}, false, false);
    cells[col_name] = new_cell(QString(), &grey_brush, left, false, false);
    for (int column : {col_code, col_ubyl, col_posle_vybyt, col_nekomplekt, col_dop_potr, col_vnesh_ist, col_izbytok})
        cells[column] = new_cell(QString(), &grey_brush, centre, false, false);
    return cells;
}

void Widget::append_balance_rows(const QVector<BalanceRow> &rows)
{
    if (rows.isEmpty())
        return;
    // Each row's cells are copies of a new row's, written before they go into the model, which then takes them
    // quietly.
    const QList<QStandardItem *> new_cells = new_row_cells();
    const QVector<QList<QStandardItem *>> cells = cells_for_rows(*balance_model, new_cells, rows);
    qDeleteAll(new_cells);
    const int first = balance_model->rowCount();
    balance_model->insertRows(first, rows.size());
    const bool blocked = balance_model->blockSignals(true);
    for (int i = 0; i < rows.size(); ++i)
        for (int column = 0; column < column_count; ++column)
            if (QStandardItem *item = cells.at(i).at(column))
                balance_model->setItem(first + i, column, item);
    balance_model->blockSignals(blocked);
    current_row = balance_model->rowCount() - 1;
    // The view heard nothing of the cells.
    ui->table_balance->viewport()->update();
}

void Widget::paste_okpdtr(QString str1, QString str2, QString str3)
{
    add_balance_row();
    const int row = balance_model->rowCount() - 1;
    auto cell = [&](int column) { return balance_model->index(row, column); };

    const bool blocked = balance_model->blockSignals(true);
    balance_model->setData(cell(col_code), str1, Qt::EditRole);
    balance_model->setData(cell(col_name), str2, Qt::EditRole);
    balance_model->setData(cell(col_cat_code), str3, Qt::EditRole);
    balance_model->setData(cell(col_vnutr_ist), 0, Qt::EditRole);
    balance_model->setData(cell(col_key), row_key(cell(col_kind_code).data().toString(), str3, str1, QString()),
                           Qt::EditRole);
    balance_model->setData(cell(col_category), category_word(cell(col_cat_code).data().toString().toInt()),
                           Qt::EditRole);

    ui->table_balance->setCurrentIndex(cell(col_shtat));
    ui->table_balance->setFocus(Qt::OtherFocusReason);
    balance_model->blockSignals(blocked);
    // The view heard nothing of the writes above.
    ui->table_balance->viewport()->update();
    update();
}

void Widget::UpdateData_balance(QModelIndex indexA, QModelIndex)
{
    current_row = indexA.row();
    current_col = indexA.column();
    if (balance_writing || current_row < 0 || current_row >= balance_model->rowCount())
        return;

    if (current_col == col_kind) {
        ui->table_balance->setCurrentIndex(balance_model->index(current_row, col_shtat));
        return;
    }

    // The core runs the whole ripple of the change; writing its result back raises changes of
    // the written cells, which would find the row already settled.
    RowOptions options;
    options.mobilisation_staff_column = ticked(ui->checkBox_balance_voenshtat);
    const int row_number = current_row;
    BalanceRow row = row_from_model(*balance_model, row_number);
    const RowEffects effects = apply_cell_change(row, current_col, options);

    balance_writing = true;
    write_row_to_model(*balance_model, row_number, row);
    balance_writing = false;

    if (balance_totals_deferred)
        deferred_balance_totals |= effects.totals;
    else
        summ_totals(effects.totals);
}

void Widget::summ_totals(unsigned totals)
{
    if (totals != total_none)
        show_totals(ui, rows_from_model(*balance_model), totals);
}

void Widget::summ_every_total()
{
    summ_totals(total_every);
}

void Widget::show_every_total(const QVector<BalanceRow> &rows)
{
    show_totals(ui, rows, total_every);
}

void Widget::copy_shtat_to_treb()
{
    // Each write is an ordinary change: the handler recomputes the row and the totals.
    for (int row = 0; row < balance_model->rowCount(); ++row) {
        const int shtat = row_from_model(*balance_model, row).figure(col_shtat);
        balance_model->setData(balance_model->index(row, col_treb), shtat, Qt::EditRole);
    }
}

void Widget::clear_vnutr_ist()
{
    for (int row = 0; row < balance_model->rowCount(); ++row)
        balance_model->setData(balance_model->index(row, col_vnutr_ist), 0, Qt::EditRole);
}

void Widget::summ_same()
{
    MessageSetup setup;
    setup.icon = QMessageBox::Question;
    setup.title = merge_question_title();
    setup.text = merge_question_text();
    setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Save, merge_accept_button()});
    setup.labels.append({QMessageBox::Cancel, merge_skip_button()});
    setup.default_button = QMessageBox::Save;
    setup.on_top = true;
    if (run_message(msg_box, setup) != QMessageBox::Save)
        return;

    RowOptions options;
    options.mobilisation_staff_column = ticked(ui->checkBox_balance_voenshtat);
    QVector<BalanceRow> rows = rows_from_model(*balance_model);
    const MergeResult result = balance::summ_same(rows, options);
    replace_rows_in_model(*balance_model, rows);
    summ_every_total();
    if (!result.report)
        return;

    show_notice(QMessageBox::Information, merge_report_title(), merge_report_text(result.merged));
}

void Widget::on_balance_faset_clicked()
{
    current_row = ui->table_balance->currentIndex().row();
    if (current_row < 0) {
        show_notice(QMessageBox::Information, "Выберите строку!",
                    "Выделите любую ячейку ячейку в строке, где Вы хотели бы изменить фасет.");
        return;
    }
    facet_picker.setVisible(true);
    facet_picker.raise();
    facet_picker.activateWindow();
}

void Widget::on_balance_delete_clicked()
{
    const int row = confirm_row_deletion(ui->table_balance, "Для удаления строки, выделите в ней любую ячейку.");
    if (row < 0)
        return;
    balance_model->removeRow(row);
    summ_every_total();
}

void Widget::on_balance_sort_clicked()
{
    sort_balance_table();
}

void Widget::sort_balance_table()
{
    QItemSelectionModel *selection = ui->table_balance->selectionModel();
    const QModelIndex current = selection->currentIndex();
    const int current_row = current.row(), current_column = current.column();
    QVector<QPair<int, int>> selected;
    for (const QModelIndex &index : selection->selectedIndexes())
        selected.append({index.row(), index.column()});
    const QVector<int> moved_from = sort_model_rows(*balance_model);
    if (moved_from.isEmpty())
        return;
    // The current and the selected cells follow their rows, as they would with the item model's own sort.
    QVector<int> now_at(moved_from.size());
    for (int r = 0; r < moved_from.size(); ++r)
        now_at[moved_from[r]] = r;
    const auto cell = [&](int row, int column) { return balance_model->index(now_at.value(row, -1), column); };
    QItemSelection kept;
    for (const auto &index : qAsConst(selected))
        kept.select(cell(index.first, index.second), cell(index.first, index.second));
    selection->select(kept, QItemSelectionModel::ClearAndSelect);
    if (current_row >= 0)
        selection->setCurrentIndex(cell(current_row, current_column), QItemSelectionModel::NoUpdate);
}

void Widget::on_checkBox_balance_hiden_stateChanged(int)
{
    QTableView *view = ui->table_balance;
    const QList<int> columns = {col_key, col_cat_code, col_facet_code, col_kind_code};
    if (!ticked(ui->checkBox_balance_hiden)) {
        for (int column : columns)
            view->hideColumn(column);
        return;
    }
    for (int column : columns)
        view->showColumn(column);
    const int n = 12 + (ticked(ui->checkBox_balance_vid_pr) ? 1 : 0) +
                  (ticked(ui->checkBox_balance_voenshtat) ? 1 : 0) + (ticked(ui->checkBox_balance_dop) ? 5 : 0) +
                  (ticked(ui->checkBox_balance_vnutr_ist) ? 2 : 0);
    for (int column = 0; column < column_count; ++column)
        view->setColumnWidth(column, view->width() / n - 2);
}

void Widget::on_checkBox_balance_vid_pr_stateChanged(int)
{
    ui->table_balance->setColumnHidden(col_kind, !ticked(ui->checkBox_balance_vid_pr));
    relayout_balance_columns();
}

void Widget::on_checkBox_balance_dop_stateChanged(int)
{
    const bool hidden = !ticked(ui->checkBox_balance_dop);
    for (int column : {col_category, col_code, col_ubyl, col_posle_vybyt, col_izbytok})
        ui->table_balance->setColumnHidden(column, hidden);
    relayout_balance_columns();
}

void Widget::show_mobilisation_staff_column(bool shown)
{
    ui->table_balance->setColumnHidden(col_treb, !shown);
    ui->label_111->setText(shown ? "Для выполнения\nмоб.задания" : "Численность\nпо штату,\nчеловек");
}

void Widget::set_mobilisation_staff_column(bool shown)
{
    const bool blocked = ui->checkBox_balance_voenshtat->blockSignals(true);
    ui->checkBox_balance_voenshtat->setChecked(shown);
    ui->checkBox_balance_voenshtat->blockSignals(blocked);
    show_mobilisation_staff_column(shown);
    relayout_balance_columns();
}

void Widget::on_checkBox_balance_voenshtat_stateChanged(int)
{
    if (ticked(ui->checkBox_balance_voenshtat)) {
        show_mobilisation_staff_column(true);
    } else {
        if (ask_to_confirm(
                "Внимание!",
                "Вся информация в столбце баланса ''Численность для выполнения моб.задания'' будет УДАЛЕНА и "
                "приравнена к штатному расписанию организации.") == QMessageBox::Ok) {
            copy_shtat_to_treb();
            show_mobilisation_staff_column(false);
        } else {
            // Runs the ticked branch again.
            ui->checkBox_balance_voenshtat->setChecked(true);
        }
    }
    relayout_balance_columns();
}

void Widget::on_checkBox_balance_vnutr_ist_stateChanged(int)
{
    if (ticked(ui->checkBox_balance_vnutr_ist)) {
        ui->table_balance->showColumn(col_vnutr_ist);
        ui->table_balance->showColumn(col_vnesh_ist);
    } else {
        if (ask_to_confirm(
                "Внимание!",
                "Вся информация в столбце баланса ''Обеспечение за счет внутренних источников'' будет УДАЛЕНА.") ==
            QMessageBox::Ok) {
            clear_vnutr_ist();
            ui->table_balance->hideColumn(col_vnutr_ist);
            ui->table_balance->hideColumn(col_vnesh_ist);
        } else {
            ui->checkBox_balance_vnutr_ist->setChecked(true);
        }
    }
    relayout_balance_columns();
}

void Widget::on_checkBox_balance_itogi_stateChanged(int)
{
    ui->groupBox_b_itogi->setVisible(ticked(ui->checkBox_balance_itogi));
}

void Widget::on_checkBox_f6_resize_stateChanged(int)
{
    if (!ticked(ui->checkBox_f6_resize))
        return;
    QTableView *view = ui->table_balance;
    const int n = 8 + (ticked(ui->checkBox_balance_vid_pr) ? 1 : 0) + (ticked(ui->checkBox_balance_voenshtat) ? 1 : 0) +
                  (ticked(ui->checkBox_balance_dop) ? 5 : 0) + (ticked(ui->checkBox_balance_vnutr_ist) ? 2 : 0);
    for (int column = col_kind; column <= col_vnesh_ist; ++column)
        view->setColumnWidth(column, view->width() / n - 2);
}

void Widget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout_balance_columns();
}

// The width rule of the balance columns, run on resizing and whenever the shown columns change.
void Widget::relayout_balance_columns()
{
    if (ticked(ui->checkBox_f6_resize) || ui->tabWidget->currentIndex() != main_tab::staff)
        return;

    QTableView *view = ui->table_balance;
    const int w = view->width();
    auto set = [&](int column, double share) { view->setColumnWidth(column, int(share * w)); };
    set(col_facet, 0.078);
    set(col_shtat, 0.081);
    set(col_fact, 0.081);
    set(col_mp, 0.075);
    set(col_bron, 0.056);
    set(col_nekomplekt, 0.065);
    if (ticked(ui->checkBox_balance_vid_pr))
        set(col_kind, 0.072);
    if (ticked(ui->checkBox_balance_voenshtat))
        set(col_treb, 0.09);
    const bool dop = ticked(ui->checkBox_balance_dop);
    if (dop) {
        set(col_category, 0.081);
        set(col_code, 0.04);
        set(col_ubyl, 0.046);
        set(col_posle_vybyt, 0.068);
        set(col_izbytok, 0.068);
    }

    const QList<int> counted =
        dop ? QList<int>{col_kind, col_category, col_code, col_facet,       col_shtat,      col_treb,    col_fact,
                         col_mp,   col_ubyl,     col_bron, col_posle_vybyt, col_nekomplekt, col_dop_potr}
            : QList<int>{col_kind, col_facet, col_shtat, col_treb, col_fact, col_mp, col_bron, col_nekomplekt};
    int rest = w;
    for (int column : counted)
        if (!view->isColumnHidden(column))
            rest -= view->columnWidth(column);
    const int name_width = int(rest - 0.14 * w);
    if (name_width > 0.07 * w)
        view->setColumnWidth(col_name, name_width);
}

void Widget::on_table_balance_entered(const QModelIndex &) {}

void Widget::move_balance_cursor(int row, int column)
{
    // The row after the last gives no index: the view is left without a current cell.
    ui->table_balance->setCurrentIndex(balance_model->index(row, column));
}

void Widget::on_table_balance_activated(const QModelIndex &index)
{
    current_row = index.row();
    current_col = index.column();
    const int r = current_row;
    const bool vnutr = ticked(ui->checkBox_balance_vnutr_ist);
    switch (current_col) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        move_balance_cursor(r, col_shtat);
        break;
    case 6:
        move_balance_cursor(r, ticked(ui->checkBox_balance_voenshtat) ? col_treb : col_fact);
        break;
    case 7:
        move_balance_cursor(r, col_fact);
        break;
    case 8:
        move_balance_cursor(r, col_mp);
        break;
    case 9:
    case 10:
        move_balance_cursor(r, col_bron);
        break;
    case 11:
    case 12:
    case 13:
    case 14:
        if (vnutr)
            move_balance_cursor(r, col_vnutr_ist);
        else
            move_balance_cursor(r + 1, col_shtat);
        break;
    case 15:
    case 16:
    case 17:
        move_balance_cursor(r + 1, col_shtat);
        break;
    default:
        break;
    }
}

void Widget::pressed_enter_widget()
{
    if (ui->tabWidget->currentIndex() != main_tab::staff)
        return;
    const QModelIndex index = ui->table_balance->currentIndex();
    current_row = index.row();
    current_col = index.column();
    if (current_row < 0 || current_col < 0)
        return;
    const int r = current_row;
    switch (current_col) {
    case 1:
    case 5:
        move_balance_cursor(r, col_shtat);
        break;
    case 10:
        move_balance_cursor(r, col_bron);
        break;
    case 12:
    case 13:
        if (ticked(ui->checkBox_balance_vnutr_ist))
            move_balance_cursor(r, col_vnutr_ist);
        else
            move_balance_cursor(r + 1, col_shtat);
        break;
    case 16:
        move_balance_cursor(r + 1, col_shtat);
        break;
    default:
        break;
    }
}
