#pragma once

// The application to the executive body and the agreement's extract from the staff list.

#include "printing/number_words.h"
#include "printing/print_rules.h"

namespace printing
{

// The document that grounds the reservation, as item 4 holds it.
struct BasisDocument {
    QString name, number, date; // NPA_doc, NPA_no as the card list holds them, NPA_date as shown
};
// Missing when the trimmed name or number is empty or the date was never set.
bool basis_document_missing(const BasisDocument &document);
// Name, " от ", date, " №", number; empty when the document is missing.
QString basis_document_text(const BasisDocument &document);

struct ApplicationValues {
    CommonValues common;
    QString short_name, full_name; // te_orgname2 and te_orgname as the card list holds them
    QString inn, kpp, tax_date, okato, okogu;
    bool state_body = false; // cb_OGV reads "Да"
    BasisDocument basis;
    QString military_office;             // le_VK
    int wartime_staff[4] = {0, 0, 0, 0}; // sb_b_treb_ruk, _spec, _slug, _rab
    QString reserve_text, reserved_text; // sb_f6_gpz, sb_f6_bron_all
};

// Built for print_dpi(desktop_dpi), as every document.
QString build_application(const ApplicationValues &values, int desktop_dpi);

struct AgreementValues {
    CommonValues common;
    QString full_name; // te_orgname as the card list holds it
    QString inn;
    QString staff_text; // sb_b_sum_treb as shown
    int staff = 0;      // and its value
};

// `words` are filled first where they are still empty.
QString build_agreement(const AgreementValues &values, int desktop_dpi, NumberWords &words,
                        const std::function<void()> &step = {});

} // namespace printing
