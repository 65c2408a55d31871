#include "test_support.h"

#include "ncombobox.h"
#include "nlineedit.h"
#include "nspinbox.h"
#include "ntextedit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace
{

// A window with a field under test and a neighbour to move the focus to.
struct Window : QWidget {
    QVBoxLayout *layout = new QVBoxLayout(this);
    QLineEdit *other = new QLineEdit(this);
    int wheel_turns = 0;

    template <class W> W *open(W *w)
    {
        layout->insertWidget(0, w);
        resize(400, 200);
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this))
            return nullptr;
        w->setFocus();
        return w;
    }

protected:
    void wheelEvent(QWheelEvent *e) override
    {
        ++wheel_turns;
        e->accept();
    }
};

// Parent whose slot is wired by object name, as the main form does.
class Owner : public Window
{
    Q_OBJECT
public:
    int lost = 0;
public slots:
    void on_le_dop_ved_lostFocus() { ++lost; }
};

// Exposes where the cursor is drawn, to click at a given character.
struct ProbeLineEdit : nLineEdit {
    using nLineEdit::cursorRect;
    using nLineEdit::nLineEdit;
};

void turn_wheel(QWidget *w, int delta)
{
    const QPoint pos = w->rect().center();
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestCustomEditors : public QObject
{
    Q_OBJECT

private slots:
    void line_edit_tool_tip_follows_typing_only();
    void line_edit_cursor_placement_data();
    void line_edit_cursor_placement();
    void line_edit_lost_focus_reaches_slot_by_name();

    void text_edit_stops_at_max_length();
    void text_edit_takes_no_break_or_tab_data();
    void text_edit_takes_no_break_or_tab();
    void text_edit_cuts_overlong_text();

    void spin_box_keys_data();
    void spin_box_keys();
    void spin_box_refuses_number_above_maximum();
    void spin_box_enter_moves_focus_then_announces();

    void combo_box_ignores_keys_and_wheel_data();
    void combo_box_ignores_keys_and_wheel();
    void combo_box_chosen_by_mouse();
};

void TestCustomEditors::line_edit_tool_tip_follows_typing_only()
{
    Window w;
    nLineEdit *le = w.open(new nLineEdit(&w));
    QVERIFY(le);
    QTest::keyClicks(le, "abc");
    QCOMPARE(le->toolTip(), QString("abc"));
    le->setText("другой текст");
    QCOMPARE(le->toolTip(), QString("abc"));
    QTest::keyClick(le, Qt::Key_Backspace);
    QCOMPARE(le->toolTip(), QString("другой текс"));
}

void TestCustomEditors::line_edit_cursor_placement_data()
{
    QTest::addColumn<bool>("home");
    QTest::newRow("off") << false;
    QTest::newRow("on") << true;
}

void TestCustomEditors::line_edit_cursor_placement()
{
    QFETCH(bool, home);
    Window w;
    auto *le = new ProbeLineEdit(&w);
    le->set_home_on_press(home);
    le->set_home_on_focus_out(home);
    le->setText("0123456789");
    QVERIFY(w.open(le));
    le->setCursorPosition(5);
    const QPoint middle = le->cursorRect().center();
    le->setCursorPosition(10);
    QTest::mouseClick(le, Qt::LeftButton, Qt::NoModifier, middle);
    if (home)
        QCOMPARE(le->cursorPosition(), 0);
    else
        QVERIFY(le->cursorPosition() > 2 && le->cursorPosition() < 8);
    // Leaving puts the cursor at the start or the end of the text.
    le->setCursorPosition(7);
    w.other->setFocus();
    QCOMPARE(le->cursorPosition(), home ? 0 : 10);
}

void TestCustomEditors::line_edit_lost_focus_reaches_slot_by_name()
{
    Owner w;
    auto *le = new nLineEdit(&w);
    le->setObjectName("le_dop_ved");
    QMetaObject::connectSlotsByName(&w);
    QVERIFY(w.open(le));
    QCOMPARE(w.lost, 0);
    QTest::keyClick(le, Qt::Key_Tab);
    QVERIFY(w.other->hasFocus());
    QCOMPARE(w.lost, 1);
    le->setFocus();
    w.other->setFocus();
    QCOMPARE(w.lost, 2);
}

void TestCustomEditors::text_edit_stops_at_max_length()
{
    Window w;
    nTextEdit *te = w.open(new nTextEdit(&w));
    QVERIFY(te);
    QTest::keyClicks(te, "abcdef");
    QCOMPARE(te->toPlainText(), QString("abcde"));
    // At the limit even navigation is dropped.
    QTest::keyClick(te, Qt::Key_Left);
    QCOMPARE(te->textCursor().position(), 5);
    QTest::keyClick(te, Qt::Key_Backspace);
    QTest::keyClick(te, Qt::Key_Left);
    QTest::keyClick(te, Qt::Key_Delete);
    QTest::keyClicks(te, "XYZ");
    QCOMPARE(te->toPlainText(), QString("abcXY"));
}

void TestCustomEditors::text_edit_takes_no_break_or_tab_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
}

void TestCustomEditors::text_edit_takes_no_break_or_tab()
{
    QFETCH(int, key);
    Window w;
    auto *te = new nTextEdit(&w);
    te->set_max_length(255);
    QVERIFY(w.open(te));
    QTest::keyClicks(te, "ab");
    QTest::keyClick(te, Qt::Key(key));
    QTest::keyClicks(te, "c");
    QCOMPARE(te->toPlainText(), QString("abc"));
    QVERIFY(te->hasFocus());
}

void TestCustomEditors::text_edit_cuts_overlong_text()
{
    Window w;
    auto *te = new nTextEdit(&w);
    te->set_max_length(255);
    QVERIFY(w.open(te));
    QTest::keyClicks(te, "0123456789");
    const QString pasted = QString("ДлинныйТе").repeated(29) + "Ё";
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(te, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(te->toPlainText(), (QString("0123456789") + pasted).left(255));

    // Text set by the program is cut at the next key.
    te->set_max_length(10);
    te->setPlainText("Общество с ограниченной ответственностью");
    te->moveCursor(QTextCursor::End);
    QTest::keyClick(te, Qt::Key_Right);
    QCOMPARE(te->toPlainText(), QString("Общество с"));
}

void TestCustomEditors::spin_box_keys_data()
{
    QTest::addColumn<int>("key"); // 0: a wheel turn
    QTest::addColumn<int>("expected");
    QTest::newRow("Up") << int(Qt::Key_Up) << 50;
    QTest::newRow("Down") << int(Qt::Key_Down) << 50;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 60;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 40;
    QTest::newRow("wheel") << 0 << 50;
}

void TestCustomEditors::spin_box_keys()
{
    QFETCH(int, key);
    QFETCH(int, expected);
    Window w;
    nSpinBox *sb = w.open(new nSpinBox(&w));
    QVERIFY(sb);
    sb->setValue(50);
    if (key) {
        QTest::keyClick(sb, Qt::Key(key));
    } else {
        turn_wheel(sb, -240);
        QCOMPARE(w.wheel_turns, 0);
        // The base spin box steps here, and so proves the turn really arrived.
        QSpinBox plain(&w);
        plain.setValue(50);
        plain.setFocus();
        turn_wheel(&plain, 120);
        QCOMPARE(plain.value(), 51);
    }
    QCOMPARE(sb->value(), expected);
}

void TestCustomEditors::spin_box_refuses_number_above_maximum()
{
    Window w;
    nSpinBox *sb = w.open(new nSpinBox(&w));
    QVERIFY(sb);
    QCOMPARE(sb->buttonSymbols(), QAbstractSpinBox::NoButtons);
    sb->selectAll();
    QTest::keyClicks(sb, "123456");
    QCOMPARE(sb->value(), 12345);
    sb->setMaximum(500); // the form's own range wins
    sb->selectAll();
    QTest::keyClicks(sb, "999");
    QCOMPARE(sb->value(), 99);
}

void TestCustomEditors::spin_box_enter_moves_focus_then_announces()
{
    Window w;
    nSpinBox *sb = w.open(new nSpinBox(&w));
    QVERIFY(sb);
    int emitted = 0;
    bool moved_first = false;
    connect(sb, &nSpinBox::sig_press_enter, this, [&] {
        ++emitted;
        moved_first = !sb->hasFocus() && w.other->hasFocus();
    });
    sb->selectAll();
    QTest::keyClicks(sb, "7");
    QTest::keyClick(sb, Qt::Key_Return);
    QCOMPARE(emitted, 1);
    QVERIFY(moved_first);
    QCOMPARE(sb->value(), 7);
    sb->setFocus();
    QTest::keyClick(sb, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(emitted, 2);
}

void TestCustomEditors::combo_box_ignores_keys_and_wheel_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Down") << int(Qt::Key_Down) << 0;
    QTest::newRow("End") << int(Qt::Key_End) << 0;
    QTest::newRow("letter") << int(Qt::Key_P) << 0;
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
    QTest::newRow("F4") << int(Qt::Key_F4) << 0;
    QTest::newRow("Space") << int(Qt::Key_Space) << 0;
}

void TestCustomEditors::combo_box_ignores_keys_and_wheel()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Window w;
    NCOMBOBOX *box = w.open(new NCOMBOBOX(&w));
    QVERIFY(box);
    QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box->currentIndex(), 0);
    QVERIFY(!box->view()->isVisible());
    turn_wheel(box, -120);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(w.wheel_turns, 0);
}

void TestCustomEditors::combo_box_chosen_by_mouse()
{
    Window w;
    NCOMBOBOX *box = w.open(new NCOMBOBOX(&w));
    QVERIFY(box);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    QCOMPARE(items, (QStringList{"Основное", "Вспомогательное", "Др.службы", "Пр.рабочие"}));
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView *view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QRect item = view->visualRect(view->model()->index(2, 0));
    // The popup ignores a release that follows its opening too closely.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseMove(view->viewport(), item.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    QTRY_COMPARE(box->currentText(), QString("Др.службы"));
}

QUELT_TEST_MAIN(TestCustomEditors)
#include "tst_custom_editors.moc"
