#pragma once

// The whole-card rules and the questions of the output gate, free of any widget: the window reads
// its fields into the structs below and shows what these functions return.

#include "balance/balance_rules.h"
#include "balance/form6_rules.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace card_rules
{

// Outside web sites that the messages send the user to.
extern const char register_host[];
extern const char statistics_host[];

// One person's block: post, surname and first name must be filled, and the phone must hold a digit.
struct Person {
    QString post, surname, first_name, phone;
};

// The raw values the whole-card check reads, as the form holds them (no trimming).
struct CardFacts {
    QString inn, kpp, ogrn, okpo;
    QString full_name, short_name;
    QString okato, okopf, okfs, okved;
    QDate tax_date;
    Person head, officer, mobilisation_head;
    bool mobilisation_body = false; // item 1.5 is "Да"
    QString email;
    bool state_body = false; // the organisation is a state body: its OKOGU code is required
    QString okogu;
    QString postal_index;
    bool reserving = false; // item 4 is "Да"
    // The Form 6 check's first fault.
    balance::F6Fault f6_fault = balance::F6Fault::none;
    int f6_all = 0;
    // Read only when reserving, after the balance table was checked.
    QString military_office, military_office_code;
    balance::BalanceFault balance_fault = balance::BalanceFault::none; // the balance table check's fault
    int f6_mp = 0, balance_mp = 0, balance_treb = 0;
    bool mobilisation_staff_column = false;
    QStringList training; // the six fields of the training page
};

// The card's faults in test order, each line its running number, the message and a line feed.
QStringList card_faults(const CardFacts &card);

// What the output gate reads after the tidy-up.
struct GateFacts {
    QString full_name, short_name;
    QString actual_house, postal_house, legal_street;
    QString ogrn;
    bool reserving = false;
    int f6_mp = 0, balance_mp = 0;
    QDate fill_date, today;
};

struct GateQuestion {
    enum Kind {
        notice,           // one OK button; the output is abandoned whatever is pressed
        question,         // "Да" goes back (abandons the output), "Нет" goes on
        critical_question // the same with the critical icon
    };
    Kind kind = question;
    QString title, text;
    bool yes_is_default = false;
    bool shows_first_page = false; // going back shows the first page of the form
};

struct GatePlan {
    // Names folded to small letters where they held too many capitals; the form takes them back.
    QString full_name, short_name;
    bool full_name_folded = false, short_name_folded = false;
    // Asked in this order until the user goes back; a notice always stops.
    QVector<GateQuestion> questions;
};

// House-number words shortened as the printed card writes them ("дом", "корпус", "строение", ...), in any case.
QString shorten_house_words(QString house);

// Number of capital letters (Unicode category Lu) of a text.
int capital_count(const QString &text);

GatePlan plan_gate(const GateFacts &card, const QStringList &state_body_ogrns);

} // namespace card_rules
