#pragma once

// Helpers for tests that drive the main window.

#include "widgets/form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

namespace test_support
{

// The picker window with this title (pickers are top-level windows without parent).
inline Form *picker_titled(const QString &title)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form *>(w))
            if (form->windowTitle() == title)
                return form;
    return nullptr;
}

// Sets fields of a form in the order given: "object name=value|...", a date as yyyy-MM-dd, a check
// box as 1 or 0 (set without its slot running).
inline void set_fields(QWidget &w, const QString &fields)
{
    if (fields.isEmpty())
        return;
    for (const QString &pair : fields.split('|')) {
        const QString name = pair.section('=', 0, 0), value = pair.section('=', 1);
        QWidget *field = w.findChild<QWidget *>(name);
        if (auto *line = qobject_cast<QLineEdit *>(field))
            line->setText(value);
        else if (auto *text = qobject_cast<QTextEdit *>(field))
            text->setPlainText(value);
        else if (auto *combo = qobject_cast<QComboBox *>(field))
            combo->setCurrentText(value);
        else if (auto *spin = qobject_cast<QSpinBox *>(field))
            spin->setValue(value.toInt());
        else if (auto *date = qobject_cast<QDateEdit *>(field))
            date->setDate(QDate::fromString(value, Qt::ISODate));
        else if (auto *check = qobject_cast<QCheckBox *>(field)) {
            QSignalBlocker block(check);
            check->setChecked(value == "1");
        } else
            QFAIL(qPrintable(name));
    }
}

} // namespace test_support
