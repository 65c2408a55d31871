#pragma once

#include <QMessageBox>
#include <QPair>
#include <QPixmap>
#include <QString>
#include <QVector>

#include <optional>

// One use of a shared message box. Only what is named here is set: everything else (the font, a style
// sheet or window flags set by an earlier use, the default button) stays as the box has it.
struct MessageSetup {
    std::optional<QMessageBox::Icon> icon;
    QPixmap icon_pixmap; // used in place of the icon when not null
    std::optional<QString> title;
    std::optional<QString> text;
    std::optional<QString> informative_text;
    QMessageBox::StandardButtons buttons = QMessageBox::NoButton; // set when not NoButton
    QVector<QPair<QMessageBox::StandardButton, QString>> labels;
    std::optional<QMessageBox::StandardButton> default_button;
    QString style_sheet; // set when not empty
    bool on_top = false; // the box's window flags become "stays on top"
};

// Applies `setup` to `box` and runs it; the standard button pressed.
int run_message(QMessageBox &box, const MessageSetup &setup);
// Only the applying, for a box that runs later.
void apply_message(QMessageBox &box, const MessageSetup &setup);
