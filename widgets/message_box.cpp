#include "message_box.h"

void apply_message(QMessageBox &box, const MessageSpec &spec)
{
    if (!spec.icon_pixmap.isNull())
        box.setIconPixmap(spec.icon_pixmap);
    else if (spec.icon)
        box.setIcon(*spec.icon);
    if (spec.title)
        box.setWindowTitle(*spec.title);
    if (spec.text)
        box.setText(*spec.text);
    if (spec.informative_text)
        box.setInformativeText(*spec.informative_text);
    if (spec.buttons != QMessageBox::NoButton)
        box.setStandardButtons(spec.buttons);
    for (const auto &label : spec.labels)
        box.setButtonText(label.first, label.second);
    if (spec.default_button)
        box.setDefaultButton(*spec.default_button);
    if (!spec.style_sheet.isEmpty())
        box.setStyleSheet(spec.style_sheet);
    if (spec.on_top)
        box.setWindowFlags(Qt::WindowStaysOnTopHint);
}

int run_message(QMessageBox &box, const MessageSpec &spec)
{
    apply_message(box, spec);
    return box.exec();
}
