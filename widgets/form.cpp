#include "form.h"
#include "message_box.h"
#include "ui_form.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include <algorithm>
#include <numeric>

namespace
{

// The picker's records as a read-only table: code, name, category. It holds no copy of its own.
class RecordTable : public QAbstractTableModel
{
public:
    RecordTable(const QVector<ClassifierRecord> &records, QObject *parent)
        : QAbstractTableModel(parent), records(records)
    {
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : records.size();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= records.size())
            return QVariant();
        const ClassifierRecord &rec = records.at(index.row());
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

private:
    const QVector<ClassifierRecord> &records;
};

// Sorts and filters by reading the picker's records directly instead of going through
// QVariant for every comparison: same order and same matches as the plain proxy
// (case-sensitive, not locale-aware string comparison of the display texts).
class ClassifierProxy : public QSortFilterProxyModel
{
public:
    ClassifierProxy(const QVector<ClassifierRecord> &records, QObject *parent)
        : QSortFilterProxyModel(parent), records(records)
    {
    }

    // Filters by its own pattern and rebuilds the mapping in one go: the proxy's own filter update
    // handles every run of rows that leaves or comes back on its own, which on a long list with
    // scattered matches costs hundreds of passes over the list for one typed letter. Rows that stay
    // keep their persistent indexes (the current row among them). A pattern that keeps exactly the
    // rows shown leaves the mapping as it is.
    void set_filter(int column, const QRegularExpression &re)
    {
        if (column == pattern_column && re == pattern)
            return;
        pattern_column = column;
        pattern = re;
        QVector<bool> accepted(records.size());
        int count = 0;
        for (int row = 0; row < records.size(); ++row) {
            accepted[row] = matches(row);
            count += accepted.at(row) ? 1 : 0;
        }
        bool same_rows = sourceModel() && count == rowCount();
        for (int i = 0; same_rows && i < count; ++i)
            same_rows = accepted.at(mapToSource(index(i, 0)).row());
        accepted_rows = std::move(accepted);
        if (!same_rows)
            invalidate();
    }

protected:
    // The proxy's sort is never made locale-aware or case-insensitive here, and the sort role stays
    // the display text: the places of the records in their column give the plain proxy's order.
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const int column = left.column();
        if (column != right.column() || !field(left.row(), column) || !field(right.row(), column))
            return QSortFilterProxyModel::lessThan(left, right);
        const QVector<int> &rank = ranks(column);
        return rank.at(left.row()) < rank.at(right.row());
    }

    bool filterAcceptsRow(int source_row, const QModelIndex &source_parent) const override
    {
        if (source_parent.isValid())
            return false;
        return source_row < accepted_rows.size() ? accepted_rows.at(source_row) : matches(source_row);
    }

private:
    bool matches(int row) const
    {
        if (pattern.pattern().isEmpty())
            return true;
        // An unfinished pattern (an open parenthesis) matches nothing, without a warning per row.
        if (!pattern.isValid())
            return false;
        const QString *text = field(row, pattern_column);
        return text && pattern.match(*text).hasMatch();
    }

    // The source model is a flat table built from the records: row r, column c is a field of record r.
    const QString *field(int row, int column) const
    {
        if (row < 0 || row >= records.size())
            return nullptr;
        const ClassifierRecord &rec = records.at(row);
        switch (column) {
        case 0:
            return &rec.code;
        case 1:
            return &rec.name;
        case 2:
            return &rec.sort;
        default:
            return nullptr;
        }
    }

    // Each record's place in the order of one column, equal texts sharing a place: every filter
    // sorts the rows it keeps again, and comparing places is much cheaper than comparing texts.
    const QVector<int> &ranks(int column) const
    {
        QVector<int> &rank = column_ranks[column];
        if (rank.size() == records.size())
            return rank;
        QVector<int> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        const auto text = [&](int row) { return field(row, column); };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return text(a)->compare(*text(b)) < 0; });
        rank.resize(records.size());
        for (int i = 0, place = 0; i < order.size(); ++i) {
            if (i > 0 && *text(order.at(i)) != *text(order.at(i - 1)))
                place = i;
            rank[order.at(i)] = place;
        }
        return rank;
    }

    const QVector<ClassifierRecord> &records;
    mutable QVector<int> column_ranks[3];
    QRegularExpression pattern;
    int pattern_column = 0;
    // Whether each record passes the pattern, worked out once per pattern.
    QVector<bool> accepted_rows;
};

} // namespace

Form::Form(QWidget *parent) : QWidget(parent), ui(new Ui::Form)
{
    ui->setupUi(this);
    QFont box_font = msg_box.font();
    box_font.setFamily(QString());
    box_font.setPointSize(11);
    msg_box.setFont(box_font);
    connect(ui->tableView, &QTableView::doubleClicked, this, &Form::paste_to_sig);
}

Form::~Form()
{
    delete ui;
}

void Form::set_mode(int mode)
{
    this->mode = mode;
}

void Form::set_items(QVector<ClassifierRecord> records)
{
    // The old models read the old records: they go before the records change.
    ui->tableView->setModel(nullptr);
    delete proxy;
    delete model;
    items = std::move(records);
    model = new RecordTable(items, this);
    proxy = new ClassifierProxy(items, this);
    proxy->setSourceModel(model);
    ui->tableView->setModel(proxy);
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
    if (!proxy)
        return;
    static_cast<ClassifierProxy *>(proxy)->set_filter(0, QRegularExpression());
    // Setting the source again rebuilds the proxy; sort column and order stay.
    proxy->setSourceModel(model);
    nothing_selected = true;
}

void Form::apply_filter(int column, const QString &pattern, bool case_insensitive)
{
    if (!proxy)
        return;
    const QRegularExpression re(pattern, case_insensitive ? QRegularExpression::CaseInsensitiveOption
                                                          : QRegularExpression::NoPatternOption);
    static_cast<ClassifierProxy *>(proxy)->set_filter(column, re);
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
    const int row = proxy ? proxy->mapToSource(index).row() : -1;
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
    if (proxy && proxy->rowCount() == 1) {
        paste_to_sig(proxy->index(0, 0));
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
