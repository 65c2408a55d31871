#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
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

} // namespace test_support
