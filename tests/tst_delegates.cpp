#include "test_support.h"

#include "comboboxdelegate.h"
#include "ncombobox.h"
#include "nspinbox.h"
#include "spinboxdelegate.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>

namespace
{

const int kind_col = 1;
const int number_col = 6;

// A two-row balance table of 21 text columns, as the main window builds it.
struct Table {
    QStandardItemModel model{2, 21};
    QTableView view;
    comboboxDelegate combo;
    spinboxDelegate spin;
    // Column changed, and column 20 as it was when the model announced the change.
    QList<QPair<int, QString>> announced;

    Table()
    {
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                model.setItem(r, c, new QStandardItem());
        view.setModel(&model);
        view.setItemDelegateForColumn(kind_col, &combo);
        view.setItemDelegateForColumn(number_col, &spin);
        QObject::connect(&model, &QStandardItemModel::dataChanged, [this](const QModelIndex &a, const QModelIndex &) {
            announced << qMakePair(a.column(), text(a.row(), 20));
        });
        view.resize(1200, 200);
        view.show();
        view.activateWindow();
    }
    void set(int row, int col, const QString &text)
    {
        const QSignalBlocker block(&model);
        model.setData(model.index(row, col), text, Qt::EditRole);
    }
    QString text(int row, int col) const { return model.index(row, col).data().toString(); }
    QWidget *edit(int row, int col)
    {
        const QModelIndex i = model.index(row, col);
        view.setCurrentIndex(i);
        view.edit(i);
        QWidget *editor = view.indexWidget(i);
        if (editor && editor->geometry() != view.visualRect(i))
            return nullptr; // the editor must sit on its cell
        return editor;
    }
    // Leaves the editor by clicking another cell, as a user does.
    void click_cell(int row, int col)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(row, col)).center());
    }
};

} // namespace

class TestDelegates : public QObject
{
    Q_OBJECT

private slots:
    void combo_editor_opens_on_kind_code_data();
    void combo_editor_opens_on_kind_code();
    void combo_commit_rewrites_code_and_key_data();
    void combo_commit_rewrites_code_and_key();
    void combo_leaving_without_choice_keeps_kind_and_code_in_step();
    void spin_editor_round_trip_data();
    void spin_editor_round_trip();
    void spin_enter_moves_on_and_relays_once();
};

void TestDelegates::combo_editor_opens_on_kind_code_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("index");
    QTest::newRow("1") << "1" << 0;
    QTest::newRow("4") << "4" << 3;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("out of range") << "5" << -1;
    QTest::newRow("not a number") << "x" << -1;
}

void TestDelegates::combo_editor_opens_on_kind_code()
{
    QFETCH(QString, code);
    QFETCH(int, index);
    Table t;
    QVERIFY(QTest::qWaitForWindowActive(&t.view));
    t.set(0, kind_col, "Основное");
    t.set(0, 20, code);
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    QCOMPARE(box->currentIndex(), index);
}

void TestDelegates::combo_commit_rewrites_code_and_key_data()
{
    QTest::addColumn<QString>("old_code");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::newRow("to Др.службы") << "1" << 2 << "Др.службы"
                                  << "3220336";
    QTest::newRow("to Основное") << "4" << 0 << "Основное"
                                 << "1220336";
}

void TestDelegates::combo_commit_rewrites_code_and_key()
{
    QFETCH(QString, old_code);
    QFETCH(int, choice);
    QFETCH(QString, kind);
    QFETCH(QString, key);
    Table t;
    QVERIFY(QTest::qWaitForWindowActive(&t.view));
    t.set(0, 18, "2");
    t.set(0, 3, "20336");
    t.set(0, 20, old_code);
    t.set(0, 0, old_code + "220336");
    t.set(1, 20, "9");
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    box->setCurrentIndex(choice);
    t.click_cell(1, 5);

    QCOMPARE(t.text(0, kind_col), kind);
    QCOMPARE(t.text(0, 20), QString::number(choice + 1));
    QCOMPARE(t.text(0, 0), key);
    QCOMPARE(t.text(1, 20), QString("9"));
    // Only the kind cell is announced, while the code still held its old value.
    QCOMPARE(t.announced, (QList<QPair<int, QString>>{{kind_col, old_code}}));
    QVERIFY(!t.model.signalsBlocked());
}

void TestDelegates::combo_leaving_without_choice_keeps_kind_and_code_in_step()
{
    Table t;
    QVERIFY(QTest::qWaitForWindowActive(&t.view));
    t.set(0, kind_col, "Основное");
    t.set(0, 18, "1");
    t.set(0, 3, "20336");
    t.set(0, 19, "07");
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    QCOMPARE(box->currentIndex(), -1);
    t.click_cell(1, 5);
    QVERIFY(!t.view.indexWidget(t.model.index(0, kind_col)));
    QCOMPARE(t.text(0, kind_col), QString("Основное"));
    QCOMPARE(t.text(0, 20), QString("1"));
    QCOMPARE(t.text(0, 0), QString("112033607"));
}

void TestDelegates::spin_editor_round_trip_data()
{
    QTest::addColumn<QVariant>("cell");
    QTest::addColumn<int>("shown");
    QTest::newRow("empty") << QVariant() << 0;
    QTest::newRow("number as text") << QVariant(QString("77")) << 77;
    QTest::newRow("not a number") << QVariant(QString("abc")) << 0;
    QTest::newRow("above range") << QVariant(123456) << 99999;
}

void TestDelegates::spin_editor_round_trip()
{
    QFETCH(QVariant, cell);
    QFETCH(int, shown);
    Table t;
    QVERIFY(QTest::qWaitForWindowActive(&t.view));
    t.model.setData(t.model.index(0, number_col), cell, Qt::EditRole);
    auto *spin = qobject_cast<nSpinBox *>(t.edit(0, number_col));
    QVERIFY(spin);
    QCOMPARE(spin->value(), shown);
    // Leaving writes the number back as an integer, announcing one change.
    t.announced.clear();
    t.click_cell(1, 5);
    const QVariant written = t.model.index(0, number_col).data(Qt::EditRole);
    QCOMPARE(written.userType(), int(QMetaType::Int));
    QCOMPARE(written.toInt(), shown);
    QCOMPARE(t.announced.size(), 1);
}

void TestDelegates::spin_enter_moves_on_and_relays_once()
{
    Table t;
    QVERIFY(QTest::qWaitForWindowActive(&t.view));
    int relayed = 0;
    bool editor_left_first = false;
    connect(&t.spin, &spinboxDelegate::sig_press_enter_tomain, this, [&] {
        ++relayed;
        editor_left_first = !qobject_cast<nSpinBox *>(QApplication::focusWidget());
    });
    auto *spin = qobject_cast<nSpinBox *>(t.edit(0, number_col));
    QVERIFY(spin);
    spin->selectAll();
    QTest::keyClicks(spin, "15");
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(relayed, 1);
    QVERIFY(editor_left_first);
    QTRY_VERIFY(!t.view.indexWidget(t.model.index(0, number_col)));
    QCOMPARE(t.model.index(0, number_col).data(Qt::EditRole).toInt(), 15);

    // A second editor relays its own Enter once too.
    spin = qobject_cast<nSpinBox *>(t.edit(1, number_col));
    QVERIFY(spin);
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(relayed, 2);
}

QUELT_TEST_MAIN(TestDelegates)
#include "tst_delegates.moc"
