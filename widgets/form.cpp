#include "widgets/form.h"
#include "ui_form.h"
#include "widgets/message_box.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

// The picker's records as the table shows them: filtered by the typed text and sorted by a column. It holds
// no copy of the records. It behaves as a sort-filter proxy over a plain table of the records would (the
// same rows in the same order, layout signals and persistent indexes), without that proxy's costs: each
// column's order is worked out once, so a filter keeps the records that pass in that order and sorts
// nothing, and a typed letter is a substring test unless the text holds pattern characters.
class PickerRows : public QAbstractTableModel
{
public:
    PickerRows(const QVector<ClassifierRecord> &records, QObject *parent)
        : QAbstractTableModel(parent), records(records)
    {
        reset();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : shown.size();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const int row = record_row(index);
        if (row < 0)
            return QVariant();
        const ClassifierRecord &rec = records.at(row);
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return index.column() == 0 ? rec.code : index.column() == 1 ? rec.name : rec.sort;
        if (role == Qt::TextAlignmentRole && index.column() != 1)
            return int(Qt::AlignCenter);
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
            return QAbstractTableModel::headerData(section, orientation, role);
        return section == 0 ? Form::tr("Код") : section == 1 ? Form::tr("Наименование") : Form::tr("Категория");
    }

    // The record a shown index stands for; -1 for none.
    int record_row(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this && index.row() < shown.size() ? shown.at(index.row()) : -1;
    }

    // A header click: the rows shown are sorted again, stably from their present order (ties keep it).
    void sort(int column, Qt::SortOrder order) override
    {
        if (column == sort_column && order == sort_order)
            return;
        sort_column = column;
        sort_order = order;
        QVector<int> rows = shown;
        sort_rows(rows);
        change_layout(std::move(rows), QAbstractItemModel::VerticalSortHint);
    }

    // Keeps the records whose field in column matches text as a regular expression (an unfinished one keeps
    // nothing). The kept rows follow the column order; rows that stay keep their
    // persistent indexes (the current row among them). The same rows as shown change nothing.
    void set_filter(int column, const QString &text, bool case_insensitive)
    {
        if (column == filter_column && text == filter_text && case_insensitive == filter_case_insensitive)
            return;
        filter_column = column;
        filter_text = text;
        filter_case_insensitive = case_insensitive;
        plain_text = std::all_of(text.begin(), text.end(), is_plain_letter);
        if (!plain_text)
            pattern = QRegularExpression(text, case_insensitive ? QRegularExpression::CaseInsensitiveOption
                                                                : QRegularExpression::NoPatternOption);
        QVector<int> rows = all_in_order();
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int row) { return !matches(row); }), rows.end());
        if (rows != shown)
            change_layout(std::move(rows), QAbstractItemModel::NoLayoutChangeHint);
    }

    // Every record shown again in the column order, as after a new source model.
    void reset()
    {
        beginResetModel();
        filter_column = 0;
        filter_text.clear();
        filter_case_insensitive = false;
        shown = all_in_order();
        endResetModel();
    }

private:
    // A character that as a pattern matches itself alone, letter case aside as QString folds it: printable
    // ASCII but the pattern characters, and the Cyrillic letters. (Elsewhere the expression library may
    // know case pairs that Qt's tables do not, e.g. U+2C2F and U+2C5F, so other text takes the expression.)
    static bool is_plain_letter(QChar c)
    {
        const ushort u = c.unicode();
        if (u >= 0x0400 && u <= 0x04FF)
            return true;
        return u >= 0x20 && u <= 0x7E && !QLatin1String("\\^$.|?*+()[]{}").contains(c);
    }

    bool matches(int row) const
    {
        if (filter_text.isEmpty())
            return true;
        // Plain letters as a pattern match where they occur as text.
        const QString &text = field(row, filter_column);
        if (plain_text)
            return text.contains(filter_text, filter_case_insensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return pattern.isValid() && pattern.match(text).hasMatch();
    }

    const QString &field(int row, int column) const
    {
        const ClassifierRecord &rec = records.at(row);
        return column == 0 ? rec.code : column == 1 ? rec.name : rec.sort;
    }

    // Each record's place in the order of one column, equal texts sharing a place (plain, case-sensitive
    // comparison of the texts).
    const QVector<int> &ranks(int column) const
    {
        QVector<int> &rank = column_ranks[column];
        if (rank.size() == records.size())
            return rank;
        QVector<int> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return field(a, column).compare(field(b, column)) < 0; });
        rank.resize(records.size());
        for (int i = 0, place = 0; i < order.size(); ++i) {
            if (i > 0 && field(order.at(i), column) != field(order.at(i - 1), column))
                place = i;
            rank[order.at(i)] = place;
        }
        return rank;
    }

    // Sorts rows stably by the sort column and order; no sort column keeps them as they are.
    void sort_rows(QVector<int> &rows) const
    {
        if (sort_column < 0 || sort_column > 2)
            return;
        const QVector<int> &rank = ranks(sort_column);
        if (sort_order == Qt::AscendingOrder)
            std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return rank.at(a) < rank.at(b); });
        else
            std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return rank.at(b) < rank.at(a); });
    }

    // Every record in the order of the sort column, worked out once per column and order.
    QVector<int> all_in_order() const
    {
        const int key = sort_column < 0 || sort_column > 2 ? 0 : 1 + sort_column * 2 + int(sort_order);
        QVector<int> &order = orders[key];
        if (order.size() != records.size()) {
            order.resize(records.size());
            std::iota(order.begin(), order.end(), 0);
            sort_rows(order);
        }
        return order;
    }

    void change_layout(QVector<int> rows, QAbstractItemModel::LayoutChangeHint hint)
    {
        emit layoutAboutToBeChanged(QList<QPersistentModelIndex>(), hint);
        const QModelIndexList before = persistentIndexList();
        QVector<int> place(records.size(), -1);
        for (int i = 0; i < rows.size(); ++i)
            place[rows.at(i)] = i;
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before) {
            const int row = record_row(index);
            after << (row < 0 || place.at(row) < 0 ? QModelIndex() : createIndex(place.at(row), index.column()));
        }
        shown = std::move(rows);
        changePersistentIndexList(before, after);
        emit layoutChanged(QList<QPersistentModelIndex>(), hint);
    }

    const QVector<ClassifierRecord> &records;
    QVector<int> shown; // the records shown, in their order
    int sort_column = -1;
    Qt::SortOrder sort_order = Qt::AscendingOrder;
    int filter_column = 0;
    QString filter_text;
    bool filter_case_insensitive = false;
    bool plain_text = true;
    QRegularExpression pattern; // the typed text when it holds pattern characters
    mutable QVector<int> column_ranks[3];
    mutable QVector<int> orders[7];
};

Form::Form(QWidget *parent) : QWidget(parent)
{
    QFont box_font = msg_box.font();
    box_font.setFamily(QString());
    box_font.setPointSize(11);
    msg_box.setFont(box_font);
}

void Form::build_window()
{
    if (ui)
        return;
    // The form's own title stands in only for a title not given before.
    const QString title = windowTitle();
    ui = new Ui::Form;
    ui->setupUi(this);
    if (!title.isEmpty())
        setWindowTitle(title);
    connect(ui->tableView, &QTableView::doubleClicked, this, &Form::paste_to_sig);
}

void Form::setVisible(bool visible)
{
    if (visible && (!ui || items_held)) {
        build_window();
        if (items_held)
            fill();
    }
    QWidget::setVisible(visible);
}

Form::~Form()
{
    // The model reads the records, which go before the window's children: a shown window hiding them
    // on its way out would have its header ask the model.
    if (ui)
        ui->tableView->setModel(nullptr);
    delete rows;
    delete ui;
}

void Form::set_mode(int mode)
{
    this->mode = mode;
}

void Form::set_items(QVector<ClassifierRecord> records)
{
    build_window();
    // The old model reads the old records: it goes before the records change.
    ui->tableView->setModel(nullptr);
    delete rows;
    rows = nullptr;
    items = std::move(records);
    fill();
}

void Form::hold_items(QVector<ClassifierRecord> records)
{
    if (ui) {
        set_items(std::move(records));
        return;
    }
    items = std::move(records);
    items_held = true;
}

void Form::fill()
{
    items_held = false;
    rows = new PickerRows(items, this);
    ui->tableView->setModel(rows);
    connect(ui->tableView->selectionModel(), &QItemSelectionModel::currentChanged, this, &Form::selectedItem);

    QHeaderView *header = ui->tableView->horizontalHeader();
    int sort_column = 0;
    if (mode == picker_mode::positions || mode == picker_mode::positions_no_pick) {
        sort_column = 1;
        const int width = ui->tableView->width();
        ui->tableView->setColumnWidth(0, int(width * 0.7));
        ui->tableView->setColumnWidth(1, int(width * 3.0));
        ui->tableView->setColumnWidth(2, int(width * 0.5));
        if (mode == picker_mode::positions_no_pick)
            ui->pushButton->hide();
    } else {
        ui->tableView->hideColumn(2);
        ui->dopinfo->hide();
        if (mode == picker_mode::by_name || mode == picker_mode::names_only)
            sort_column = 1;
        else if (mode == picker_mode::by_category)
            sort_column = 2;
        if (mode == picker_mode::names_only || mode == picker_mode::names_by_code) {
            ui->tableView->hideColumn(0);
            ui->label->hide();
            ui->KlassForm_le_kod->hide();
        }
        if (mode == picker_mode::okved)
            ui->KlassForm_le_kod->setInputMask(QStringLiteral("99.99.99;"));
    }

    // Enabling sorting sorts by the header's indicator: set it first, so the list is
    // sorted once, ascending by the mode's column.
    header->setSortIndicator(sort_column, Qt::AscendingOrder);
    ui->tableView->setSortingEnabled(true);
    ui->tableView->verticalHeader()->hide();
}

void Form::selectedItem(QModelIndex index1, QModelIndex)
{
    current_index = index1;
    nothing_selected = false;
}

void Form::clear()
{
    nothing_selected = true;
    // Every row back; sort column and order stay.
    if (rows)
        rows->reset();
}

void Form::apply_filter(int column, const QString &pattern, bool case_insensitive)
{
    if (rows)
        rows->set_filter(column, pattern, case_insensitive);
}

void Form::on_KlassForm_le_naim_textEdited(QString text)
{
    if (text.isEmpty()) {
        clear();
        return;
    }
    apply_filter(1, text, true);
}

void Form::on_KlassForm_le_kod_textEdited(QString text)
{
    // Under the input mask the empty field reads "..", and unfilled groups leave dots behind.
    if (text == QLatin1String(".."))
        text.clear();
    else if (text.endsWith(QLatin1String("..")))
        text.chop(2);
    else if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.isEmpty()) {
        clear();
        return;
    }
    apply_filter(0, text, false);
}

void Form::paste_to_sig(QModelIndex index)
{
    const int row = rows ? rows->record_row(index) : -1;
    if (row == -1 || nothing_selected) {
        ermessage();
        return;
    }
    const ClassifierRecord rec = items.value(row);
    emit sig(rec.code, rec.name, rec.sort);
    ui->KlassForm_le_kod->setText(QString());
    ui->KlassForm_le_naim->setText(QString());
    clear();
    close();
}

void Form::on_pushButton_clicked()
{
    if (rows && rows->rowCount() == 1) {
        paste_to_sig(rows->index(0, 0));
        return;
    }
    if (!current_index.isValid() || current_index.row() == -1 || nothing_selected) {
        ermessage();
        return;
    }
    paste_to_sig(current_index);
}

void Form::ermessage()
{
    MessageSetup setup;
    setup.text = tr("Пожалуйста, перед нажатием кнопки выделите нужную строку из списка или дважды щелкните по ней.");
    setup.title = tr("Не выбрана строка.");
    setup.buttons = QMessageBox::Ok;
    setup.icon = QMessageBox::Critical;
    run_message(msg_box, setup);
}

void Form::on_dopinfo_toggled(bool checked)
{
    ui->textBrowser->setVisible(checked);
}
