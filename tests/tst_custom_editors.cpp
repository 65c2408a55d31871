#include "tests/support/test_support.h"

#include "widgets/ncombobox.h"
#include "widgets/nlineedit.h"
#include "widgets/nspinbox.h"
#include "widgets/ntextedit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace
{

// A field under test, a neighbour to move the focus to, and a slot wired by object name as in the main form.
class Window : public QWidget
{
    Q_OBJECT
public:
    int lost = 0;
    QVBoxLayout *layout = new QVBoxLayout(this);
    QLineEdit *other = new QLineEdit(this);
    int wheel_turns = 0;

    // Shows the window with the field first in it and gives the field the focus.
    template <class W> W *open(W *w)
    {
        layout->insertWidget(0, w);
        resize(400, 200);
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this))
            qWarning("window not active");
        w->setFocus();
        return w;
    }

public slots:
    void on_le_dop_ved_lostFocus() { ++lost; }

protected:
    void wheelEvent(QWheelEvent *e) override { ++wheel_turns, e->accept(); }
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
    void line_edit_cursor_goes_home()
    {
        Window w;
        auto *le = new ProbeLineEdit(&w);
        le->set_home_on_press(true);
        le->set_home_on_focus_out(true);
        le->setText("0123456789");
        w.open(le);
        le->setCursorPosition(5);
        const QPoint middle = le->cursorRect().center();
        QTest::mouseClick(le, Qt::LeftButton, Qt::NoModifier, middle);
        QCOMPARE(le->cursorPosition(), 0);
        le->setCursorPosition(7);
        w.other->setFocus();
        QCOMPARE(le->cursorPosition(), 0);
    }

    void line_edit_tool_tip_and_lost_focus_by_name()
    {
        Window w;
        auto *le = new nLineEdit(&w);
        le->setObjectName("le_dop_ved");
        QMetaObject::connectSlotsByName(&w);
        w.open(le);
        QTest::keyClicks(le, "abc");
        le->setText("другой текст");
        QCOMPARE(le->toolTip(), QString("abc"));
        QTest::keyClick(le, Qt::Key_Backspace);
        QVERIFY(le->toolTip() == "другой текс" && w.lost == 0);
        QTest::keyClick(le, Qt::Key_Tab);
        QVERIFY(w.other->hasFocus() && w.lost == 1);
        le->setFocus();
        w.other->setFocus();
        QCOMPARE(w.lost, 2);
    }

    void text_edit_limits()
    {
        Window w;
        nTextEdit *te = w.open(new nTextEdit(&w));
        QTest::keyClicks(te, "ab");
        QTest::keyClick(te, Qt::Key_Return);
        QTest::keyClick(te, Qt::Key_Tab);
        QTest::keyClicks(te, "cdef");
        QVERIFY(te->toPlainText() == "abcde" && te->hasFocus());
        // At the limit even navigation is dropped.
        QTest::keyClick(te, Qt::Key_Left);
        QCOMPARE(te->textCursor().position(), 5);
        QTest::keyClick(te, Qt::Key_Backspace);
        QTest::keyClick(te, Qt::Key_Left);
        QTest::keyClick(te, Qt::Key_Delete);
        QTest::keyClicks(te, "XYZ");
        QCOMPARE(te->toPlainText(), QString("abcXY"));
        // A paste is cut at the limit, and so is text set by the program, at the next key.
        te->set_max_length(255);
        const QString pasted = QString("ДлинныйТе").repeated(29) + "Ё";
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(te, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(te->toPlainText(), (QString("abcXY") + pasted).left(255));
        te->set_max_length(10);
        te->setPlainText("Общество с ограниченной ответственностью");
        te->moveCursor(QTextCursor::End);
        QTest::keyClick(te, Qt::Key_Right);
        QCOMPARE(te->toPlainText(), QString("Общество с"));
    }

    void spin_box_keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("Up") << int(Qt::Key_Up) << 50;
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 60;
    }

    void spin_box_keys()
    {
        QFETCH(int, key);
        QFETCH(int, expected);
        Window w;
        nSpinBox *sb = w.open(new nSpinBox(&w));
        sb->setValue(50);
        QTest::keyClick(sb, Qt::Key(key));
        QCOMPARE(sb->value(), expected);
    }

    void spin_box_limit_and_enter()
    {
        Window w;
        nSpinBox *sb = w.open(new nSpinBox(&w));
        sb->selectAll();
        QTest::keyClicks(sb, "123456");
        QCOMPARE(sb->value(), 12345);
        sb->setMaximum(500); // the form's own range wins
        sb->selectAll();
        QTest::keyClicks(sb, "999");
        QCOMPARE(sb->value(), 99);
        // Enter moves the focus on, then announces itself once.
        QList<QWidget *> focus_when_announced;
        connect(sb, &nSpinBox::sig_press_enter, this, [&] { focus_when_announced << QApplication::focusWidget(); });
        QTest::keyClick(sb, Qt::Key_Return);
        QCOMPARE(focus_when_announced, QList<QWidget *>{w.other});
        QCOMPARE(sb->value(), 99);
    }

    void wheel_turns_nothing()
    {
        Window w;
        auto *box = w.open(new NCOMBOBOX(&w));
        auto *plain = w.open(new QSpinBox(&w));
        auto *sb = w.open(new nSpinBox(&w));
        sb->setValue(50);
        turn_wheel(sb, -240);
        turn_wheel(box, -240);
        QVERIFY(sb->value() == 50 && box->currentIndex() == 0 && w.wheel_turns == 0);
        // The base spin box steps, and so proves the turns really arrive.
        turn_wheel(plain, 120);
        QCOMPARE(plain->value(), 1);
    }

    void combo_box_ignores_keys_data()
    {
        QTest::addColumn<int>("key"); // with its modifiers
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("letter") << int(Qt::Key_P);
        QTest::newRow("Alt+Down") << int(Qt::Key_Down | Qt::AltModifier);
    }

    void combo_box_ignores_keys()
    {
        QFETCH(int, key);
        Window w;
        NCOMBOBOX *box = w.open(new NCOMBOBOX(&w));
        QTest::keyClick(box, Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        QVERIFY(box->currentIndex() == 0 && !box->view()->isVisible());
    }

    void combo_box_chosen_by_mouse()
    {
        Window w;
        NCOMBOBOX *box = w.open(new NCOMBOBOX(&w));
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
};

QUELT_TEST_MAIN(TestCustomEditors)
#include "tst_custom_editors.moc"
