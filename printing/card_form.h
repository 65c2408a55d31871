#pragma once

// The printed organisation card, built from plain values.

#include "printing/print_rules.h"

namespace printing
{

// Who was trained, the certificate date and the institution.
struct TrainingLine {
    QString who, date, institution;
};

// Every field the card prints, as the form shows it.
struct CardValues {
    CommonValues common;
    QString registration_number; // le_RegNo
    bool reserving = false;      // cb_kat_b stands at "Да"
    QString reserving_text;      // cb_kat_b as shown
    QString full_name;           // te_orgname, plain text
    PersonValues officer;        // the head is common.head
    QString ogrn;
    QString legal_city, legal_street, legal_house, legal_room;
    QString okato;
    QString actual_street, actual_house, actual_room;
    QString higher_organisation;
    QString postal_street, postal_house, postal_room, postcode;
    QString email;
    QString okpo;
    QString okopf_code, okopf_name;
    QString okfs_code, okfs_name;
    QString okved_main, okved_extra, okved_name;
    QString inn;
    QString tax_date, kpp; // dateINN as shown, le_KPP
    QString f6_all, f6_gpz, f6_of, f6_neof, f6_ost, f6_mp, f6_priziv, f6_bron_all;
    QString sphere;           // cb_sf_ved
    QString state_body;       // cb_OGV
    QString information;      // te_dopinfo, plain text
    TrainingLine training[3]; // head, military-registration officer, mobilisation preparation
};

// Value rules of the card, each usable alone.
QString registration_number_text(const QString &number, bool reserving);
QString phone_text(const QString &phone, const QString &extension);
QString fax_text(const QString &fax);
QString legal_address_text(const QString &city, const QString &street, const QString &house, const QString &room);
QString address_text(const QString &street, const QString &house, const QString &room);
QString postcode_text(const QString &postcode);
QString okved_summary_text(const QString &main, const QString &extra);
// Items 14 and 15: the additional information and the three training lines, joined with <br>.
QString additional_information_html(const QString &information, const TrainingLine (&training)[3]);

// The card's replacement passes in their order.
QVector<Pass> card_passes(const CardValues &values, int dpi);

// The card's HTML for the desktop's logical dpi (built for print_dpi(desktop_dpi)); `step` is called for every
// progress step.
QString build_card(const CardValues &values, int desktop_dpi, const std::function<void()> &step = {});

} // namespace printing
