#pragma once

#include <QWidget>

// Puts the main form's fields into their keyboard order.
void set_form_tab_order(QWidget *window);
