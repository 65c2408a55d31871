#include "tests/support/test_support.h"

#include "balance/balance_rules.h"
#include "tests/support/named_values.h"
#include "widgets/comboboxdelegate.h"
#include "widgets/ncombobox.h"
#include "widgets/nspinbox.h"
#include "widgets/spinboxdelegate.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>

namespace
{

using namespace balance;

// A two-row balance table of text columns, as the main window builds it, shown and active.
struct Table {
    QStandardItemModel model{2, column_count};
    QTableView view;
    comboboxDelegate combo;
    spinboxDelegate spin;
    // Column changed, and the kind code as it was when the model announced the change.
    QList<QPair<int, QString>> announced;

    Table()
    {
        view.setModel(&model);
        view.setItemDelegateForColumn(col_kind, &combo);
        view.setItemDelegateForColumn(col_shtat, &spin);
        QObject::connect(&model, &QStandardItemModel::dataChanged, [this](const QModelIndex &a, const QModelIndex &) {
            announced << qMakePair(a.column(), text(a.row(), col_kind_code));
        });
        view.resize(1200, 200);
        view.show();
        view.activateWindow();
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("view not active");
    }
    // Sets cells of a row unannounced.
    void fill(int row, const test_support::NamedValues &cells)
    {
        const QSignalBlocker block(&model);
        test_support::set_row(&model, row, cells);
    }
    QString text(int row, int col) const { return model.index(row, col).data().toString(); }
    QWidget *edit(int row, int col)
    {
        const QModelIndex i = model.index(row, col);
        view.setCurrentIndex(i);
        view.edit(i);
        QWidget *editor = view.indexWidget(i);
        return editor && editor->geometry() == view.visualRect(i) ? editor : nullptr; // it must sit on its cell
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
    void combo_editor_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("opens_at");
        QTest::addColumn<int>("choice"); // -1: left without a choice
        QTest::addColumn<QString>("kind_code_key");
        QTest::newRow("1 to Др.службы") << "1" << 0 << 2 << "Др.службы|3|322033607";
        QTest::newRow("4 to Основное") << "4" << 3 << 0 << "Основное|1|122033607";
        // An empty choice keeps kind and code in step.
        QTest::newRow("empty code, empty choice") << "" << -1 << -1 << "Основное|1|122033607";
        QTest::newRow("out of range, empty choice") << "5" << -1 << -1 << "Основное|1|122033607";
        QTest::newRow("not a number, empty choice") << "x" << -1 << -1 << "Основное|1|122033607";
    }

    void combo_editor()
    {
        QFETCH(QString, code);
        QFETCH(int, opens_at);
        QFETCH(int, choice);
        QFETCH(QString, kind_code_key);
        Table t;
        t.fill(0, {{col_kind, choice < 0 ? "Основное" : ""},
                   {col_cat_code, "2"},
                   {col_code, "20336"},
                   {col_facet_code, "07"},
                   {col_kind_code, code}});
        t.fill(1, {{col_kind_code, "9"}});
        auto *box = qobject_cast<NCOMBOBOX *>(t.edit(0, col_kind));
        QVERIFY(box && box->currentIndex() == opens_at);
        if (choice >= 0)
            box->setCurrentIndex(choice);
        t.click_cell(1, col_name);
        QVERIFY(!t.view.indexWidget(t.model.index(0, col_kind)));
        QCOMPARE(t.text(0, col_kind) + "|" + t.text(0, col_kind_code) + "|" + t.text(0, col_key), kind_code_key);
        QVERIFY(t.text(1, col_kind_code) == "9" && !t.model.signalsBlocked());
        // A choice announces the kind cell only, while the code still held its old value.
        if (choice >= 0)
            QCOMPARE(t.announced, (QList<QPair<int, QString>>{{col_kind, code}}));
    }

    void spin_editor_round_trip_data()
    {
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<int>("shown");
        QTest::newRow("empty") << QVariant() << 0;
        QTest::newRow("number as text") << QVariant(QString("77")) << 77;
        QTest::newRow("above range") << QVariant(123456) << 99999;
    }

    void spin_editor_round_trip()
    {
        QFETCH(QVariant, cell);
        QFETCH(int, shown);
        Table t;
        t.model.setData(t.model.index(0, col_shtat), cell, Qt::EditRole);
        auto *spin = qobject_cast<nSpinBox *>(t.edit(0, col_shtat));
        QVERIFY(spin && spin->value() == shown);
        // Leaving writes the number back as an integer, announcing one change.
        t.announced.clear();
        t.click_cell(1, col_name);
        const QVariant written = t.model.index(0, col_shtat).data(Qt::EditRole);
        QVERIFY(written.userType() == QMetaType::Int && written.toInt() == shown && t.announced.size() == 1);
    }

    void spin_enter_moves_on_and_relays_once()
    {
        Table t;
        QList<QWidget *> focus_when_relayed;
        connect(&t.spin, &spinboxDelegate::sig_press_enter_tomain, this,
                [&] { focus_when_relayed << QApplication::focusWidget(); });
        auto *spin = qobject_cast<nSpinBox *>(t.edit(0, col_shtat));
        QVERIFY(spin);
        spin->selectAll();
        QTest::keyClicks(spin, "15");
        QTest::keyClick(spin, Qt::Key_Return);
        // Relayed once, after the editor was left.
        QVERIFY(focus_when_relayed.size() == 1 && !qobject_cast<nSpinBox *>(focus_when_relayed.first()));
        QTRY_VERIFY(!t.view.indexWidget(t.model.index(0, col_shtat)));
        QCOMPARE(t.model.index(0, col_shtat).data(Qt::EditRole).toInt(), 15);
        // A second editor relays its own Enter once too.
        spin = qobject_cast<nSpinBox *>(t.edit(1, col_shtat));
        QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(focus_when_relayed.size(), 2);
    }
};

QUELT_TEST_MAIN(TestDelegates)
#include "tst_delegates.moc"
