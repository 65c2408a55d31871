#include "tests/support/test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace test_support
{

namespace
{

void poll(std::shared_ptr<ModalAnswer> answer, QString button_text, std::function<void(QWidget *)> act,
          std::shared_ptr<QElapsedTimer> clock, int timeout_ms)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal) {
        if (clock->elapsed() < timeout_ms)
            QTimer::singleShot(10, [=] { poll(answer, button_text, act, clock, timeout_ms); });
        return;
    }
    answer->seen = true;
    answer->title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        answer->text = box->text();
        for (QAbstractButton *b : box->buttons())
            answer->buttons << b->text();
        if (act) {
            act(box);
            return;
        }
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == button_text) {
                b->click();
                return;
            }
        }
        // No such button: leave the box the way a test would notice.
        box->done(-1);
        return;
    }
    if (act) {
        act(modal);
        return;
    }
    for (QPushButton *b : modal->findChildren<QPushButton *>()) {
        if (b->text() == button_text) {
            b->click();
            return;
        }
    }
    modal->close();
}

} // namespace

std::shared_ptr<ModalAnswer> answer_next_modal(const QString &button_text, std::function<void(QWidget *)> act,
                                               int timeout_ms)
{
    auto answer = std::make_shared<ModalAnswer>();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QTimer::singleShot(0, [=] { poll(answer, button_text, act, clock, timeout_ms); });
    return answer;
}

SeenBoxes answer_in_turn(QStringList answers, SeenBoxes seen)
{
    if (answers.isEmpty())
        return seen;
    const QString answer = answers.takeFirst();
    answer_next_modal(QString(), [=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        SeenBox s;
        s.title = modal->windowTitle();
        if (box) {
            s.text = box->text();
            s.informative = box->informativeText();
            s.default_button = box->defaultButton() ? box->defaultButton()->text() : QString();
            s.icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                s.buttons << b->text();
        } else if (dialog) {
            s.text = dialog->selectedFiles().value(0);
        }
        seen->append(s);
        answer_in_turn(answers, seen); // this answer may open the next window from inside
        if (dialog && !answer.isEmpty()) {
            dialog->selectFile(answer);
            return (void)QMetaObject::invokeMethod(dialog, "accept");
        }
        if (!box) {
            if (auto *other = qobject_cast<QDialog *>(modal))
                return other->reject();
            return (void)modal->close();
        }
        if (answer == "<Enter>")
            return QTest::keyClick(box, Qt::Key_Return);
        if (answer == "OK" && box->button(QMessageBox::Ok))
            return box->button(QMessageBox::Ok)->click();
        for (QAbstractButton *b : box->buttons())
            if (b->text() == answer)
                return b->click();
        box->done(-1);
        QFAIL(qPrintable("no button " + answer + " in " + s.title));
    });
    return seen;
}

} // namespace test_support
