#include "widgets/message_box.h"

void apply_message(QMessageBox &box, const MessageSetup &setup)
{
    if (!setup.icon_pixmap.isNull())
        box.setIconPixmap(setup.icon_pixmap);
    else if (setup.icon)
        box.setIcon(*setup.icon);
    if (setup.title)
        box.setWindowTitle(*setup.title);
    if (setup.text)
        box.setText(*setup.text);
    if (setup.informative_text)
        box.setInformativeText(*setup.informative_text);
    if (setup.buttons != QMessageBox::NoButton)
        box.setStandardButtons(setup.buttons);
    for (const auto &label : setup.labels)
        box.setButtonText(label.first, label.second);
    if (setup.default_button)
        box.setDefaultButton(*setup.default_button);
    if (!setup.style_sheet.isEmpty())
        box.setStyleSheet(setup.style_sheet);
    if (setup.on_top)
        box.setWindowFlags(Qt::WindowStaysOnTopHint);
}

int run_message(QMessageBox &box, const MessageSetup &setup)
{
    apply_message(box, setup);
    return box.exec();
}
