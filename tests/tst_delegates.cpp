#include "test_support.h"

#include "comboboxdelegate.h"
#include "ncombobox.h"
#include "nspinbox.h"
#include "spinboxdelegate.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>

namespace
{

const int kind_col = 1;
const int number_col = 6;

// A one-row balance table of 21 text columns, as the main window builds it.
struct Table {
    QStandardItemModel model{2, 21};
    QTableView view;
    comboboxDelegate combo;
    spinboxDelegate spin;
    // Column 20 and 0 as they were whenever the model announced a change.
    QList<QPair<int, QString>> announced;

    Table()
    {
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                model.setItem(r, c, new QStandardItem());
        view.setModel(&model);
        view.setItemDelegateForColumn(kind_col, &combo);
        view.setItemDelegateForColumn(number_col, &spin);
        view.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
        QObject::connect(&model, &QStandardItemModel::dataChanged, [this](const QModelIndex &a, const QModelIndex &) {
            announced << qMakePair(a.column(), text(a.row(), 20));
        });
        view.resize(1200, 200);
    }
    bool open()
    {
        view.show();
        view.activateWindow();
        return QTest::qWaitForWindowActive(&view);
    }
    void set(int row, int col, const QString &text)
    {
        const QSignalBlocker block(&model);
        model.setData(model.index(row, col), text, Qt::EditRole);
    }
    QString text(int row, int col) const { return model.index(row, col).data(Qt::DisplayRole).toString(); }
    QWidget *edit(int row, int col)
    {
        const QModelIndex i = model.index(row, col);
        view.setCurrentIndex(i);
        view.edit(i);
        return view.indexWidget(i);
    }
    // Leaving the editor by clicking another cell, as a user does.
    void click_cell(int row, int col)
    {
        const QRect r = view.visualRect(model.index(row, col));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
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
    void combo_editor_sits_on_cell();

    void spin_editor_shows_cell_number_data();
    void spin_editor_shows_cell_number();
    void spin_typed_number_committed_as_integer();
    void spin_enter_moves_on_and_relays_once();
};

void TestDelegates::combo_editor_opens_on_kind_code_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1") << "1" << 0 << "Основное";
    QTest::newRow("2") << "2" << 1 << "Вспомогательное";
    QTest::newRow("3") << "3" << 2 << "Др.службы";
    QTest::newRow("4") << "4" << 3 << "Пр.рабочие";
    QTest::newRow("empty") << "" << -1 << "";
    QTest::newRow("5") << "5" << -1 << "";
    QTest::newRow("not a number") << "x" << -1 << "";
}

void TestDelegates::combo_editor_opens_on_kind_code()
{
    QFETCH(QString, code);
    QFETCH(int, index);
    QFETCH(QString, shown);
    Table t;
    t.set(0, kind_col, "Основное");
    t.set(0, 20, code);
    QVERIFY(t.open());
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    QCOMPARE(box->parentWidget(), t.view.viewport());
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), shown);
}

void TestDelegates::combo_commit_rewrites_code_and_key_data()
{
    QTest::addColumn<QString>("old_code");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("key");
    QTest::newRow("Др.службы") << "1" << 2 << "Др.службы"
                               << "3"
                               << "3220336";
    QTest::newRow("Основное") << "4" << 0 << "Основное"
                              << "1"
                              << "1220336";
    QTest::newRow("Вспомогательное") << "1" << 1 << "Вспомогательное"
                                     << "2"
                                     << "2220336";
    QTest::newRow("Пр.рабочие") << "2" << 3 << "Пр.рабочие"
                                << "4"
                                << "4220336";
}

void TestDelegates::combo_commit_rewrites_code_and_key()
{
    QFETCH(QString, old_code);
    QFETCH(int, choice);
    QFETCH(QString, kind);
    QFETCH(QString, code);
    QFETCH(QString, key);
    Table t;
    t.set(0, 18, "2");
    t.set(0, 3, "20336");
    t.set(0, 19, "");
    t.set(0, 20, old_code);
    t.set(0, 0, old_code + "220336");
    t.set(1, 20, "9");
    QVERIFY(t.open());
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    box->setCurrentIndex(choice);
    t.click_cell(1, 5);

    QCOMPARE(t.text(0, kind_col), kind);
    QCOMPARE(t.text(0, 20), code);
    QCOMPARE(t.text(0, 0), key);
    QCOMPARE(t.text(1, 20), QString("9"));
    // Only the kind cell is announced, while the code still held its old value.
    QCOMPARE(t.announced.size(), 1);
    QCOMPARE(t.announced.at(0).first, kind_col);
    QCOMPARE(t.announced.at(0).second, old_code);
    QVERIFY(!t.model.signalsBlocked());
}

void TestDelegates::combo_leaving_without_choice_keeps_kind_and_code_in_step()
{
    Table t;
    t.set(0, kind_col, "Основное");
    t.set(0, 20, "");
    t.set(0, 18, "1");
    t.set(0, 3, "20336");
    t.set(0, 19, "07");
    QVERIFY(t.open());
    auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, kind_col));
    QVERIFY(box);
    QCOMPARE(box->currentIndex(), -1);
    t.click_cell(1, 5);
    QVERIFY(!t.view.indexWidget(t.model.index(0, kind_col)));
    QCOMPARE(t.text(0, 20), QString("1"));
    QCOMPARE(t.text(0, kind_col), QString("Основное"));
    QCOMPARE(t.text(0, 0), QString("112033607"));
}

void TestDelegates::combo_editor_sits_on_cell()
{
    Table t;
    QVERIFY(t.open());
    QWidget *box = t.edit(0, kind_col);
    QVERIFY(box);
    QCOMPARE(box->geometry(), t.view.visualRect(t.model.index(0, kind_col)));
    QWidget *spin = t.edit(1, number_col);
    QVERIFY(spin);
    QCOMPARE(spin->geometry(), t.view.visualRect(t.model.index(1, number_col)));
}

void TestDelegates::spin_editor_shows_cell_number_data()
{
    QTest::addColumn<QVariant>("cell");
    QTest::addColumn<int>("shown");
    QTest::newRow("empty") << QVariant() << 0;
    QTest::newRow("empty text") << QVariant(QString()) << 0;
    QTest::newRow("integer") << QVariant(1234) << 1234;
    QTest::newRow("number as text") << QVariant(QString("77")) << 77;
    QTest::newRow("not a number") << QVariant(QString("abc")) << 0;
    QTest::newRow("above range") << QVariant(123456) << 99999;
}

void TestDelegates::spin_editor_shows_cell_number()
{
    QFETCH(QVariant, cell);
    QFETCH(int, shown);
    Table t;
    t.model.setData(t.model.index(0, number_col), cell, Qt::EditRole);
    QVERIFY(t.open());
    auto *spin = qobject_cast<nSpinBox *>(t.edit(0, number_col));
    QVERIFY(spin);
    QCOMPARE(spin->value(), shown);
    QCOMPARE(spin->buttonSymbols(), QAbstractSpinBox::NoButtons);

    // Leaving writes the number back as an integer.
    t.click_cell(1, 5);
    const QVariant written = t.model.index(0, number_col).data(Qt::EditRole);
    QCOMPARE(written.userType(), int(QMetaType::Int));
    QCOMPARE(written.toInt(), shown);
}

void TestDelegates::spin_typed_number_committed_as_integer()
{
    Table t;
    QVERIFY(t.open());
    auto *spin = qobject_cast<nSpinBox *>(t.edit(0, number_col));
    QVERIFY(spin);
    spin->selectAll();
    QTest::keyClicks(spin, "4250");
    t.announced.clear();
    t.click_cell(1, 5);
    QCOMPARE(t.announced.size(), 1);
    QCOMPARE(t.announced.at(0).first, number_col);
    const QVariant written = t.model.index(0, number_col).data(Qt::EditRole);
    QCOMPARE(written.userType(), int(QMetaType::Int));
    QCOMPARE(written.toInt(), 4250);
}

void TestDelegates::spin_enter_moves_on_and_relays_once()
{
    Table t;
    QVERIFY(t.open());
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
    QCOMPARE(relayed, 1);

    // A second editor relays its own Enter once too.
    spin = qobject_cast<nSpinBox *>(t.edit(1, number_col));
    QVERIFY(spin);
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(relayed, 2);
}

QUELT_TEST_MAIN(TestDelegates)
#include "tst_delegates.moc"
