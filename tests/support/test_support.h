#pragma once

#include "tests/support/core_test_support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <functional>

namespace test_support
{

// What a modal box showed before it was answered.
struct ModalAnswer {
    bool seen = false;
    QString title;
    QString text;
    QStringList buttons;
};

// Answers the next application-modal dialog (a message box or any QDialog) from a timer:
// presses the button whose text equals button_text (for a message box), or runs `act` on it.
// The returned object is filled when the box has been seen. Works for nested boxes when
// called again from `act`.
std::shared_ptr<ModalAnswer> answer_next_modal(const QString &button_text, std::function<void(QWidget *)> act = {},
                                               int timeout_ms = 5000);

// What one of the windows answered by answer_in_turn showed: for a file dialog, `text` is the file it proposed.
struct SeenBox {
    QString title, text, informative, default_button;
    QStringList buttons;
    int icon = 0;
};
using SeenBoxes = std::shared_ptr<QVector<SeenBox>>;

// Answers the next modal windows in turn, one answer each, and notes them: a message box by the button of that
// text ("<Enter>" presses its default button, "OK" its OK button), a file dialog by choosing that file (empty
// cancels); any other dialog is rejected. A box without the button is closed and fails the test.
SeenBoxes answer_in_turn(QStringList answers, SeenBoxes seen = std::make_shared<QVector<SeenBox>>());

} // namespace test_support

// QTEST_MAIN with the shared set-up in front.
#define QUELT_TEST_MAIN(TestObject) QUELT_TEST_MAIN_WITH(TestObject, QApplication)
