#pragma once

// Reads what the whole-card rules and the output gate look at from the collected card list.

#include "validation/card_rules.h"

#include <QString>
#include <QVector>

namespace Ui
{
class Widget;
}

// Every value of the whole-card check but the results of the Form 6 and balance checks, from the collected
// card list `values` (Widget::collect_card_values()); from the form only what the list does not hold.
card_rules::CardFacts read_card_facts(const QVector<QString> &values, const Ui::Widget &ui);
// What the gate asks about, from the card list collected after the tidy-up; today is the current local date.
card_rules::GateFacts read_gate_facts(const QVector<QString> &values);
