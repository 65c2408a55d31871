#pragma once

#include "core_test_support.h"

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

} // namespace test_support

// QTEST_MAIN with the shared set-up in front.
#define QUELT_TEST_MAIN(TestObject) QUELT_TEST_MAIN_WITH(TestObject, QApplication)
