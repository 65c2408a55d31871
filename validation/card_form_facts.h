#pragma once

// Reads the form's fields that the whole-card rules and the output gate look at.

#include "card_rules.h"

class Widget;
namespace Ui
{
class Widget;
}

// Every value of the whole-card check but the results of the Form 6 and balance checks.
card_rules::CardFacts read_card_facts(const Widget &window);
// The balance totals, read again once the balance table check has run.
void read_balance_figures(const Ui::Widget &ui, card_rules::CardFacts &card);
// What the gate asks about, after the tidy-up; today is the current local date.
card_rules::GateFacts read_gate_facts(const Widget &window);
