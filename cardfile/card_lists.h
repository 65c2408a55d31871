#pragma once

#include "balance/card_balance_row.h"

#include <QString>
#include <QVector>

// The four lists that carry a whole card between the window and the card file:
// the main list of fixed slots and three flat row lists.
namespace card_lists
{

// Slots of the main list.
constexpr int main_size = 126;
// A main list read back from a card document is this long; slots from main_size on stay empty.
constexpr int read_main_size = 150;

// Values per row of the three row lists.
constexpr int balance_row_size = balance_pos::row_size;
constexpr int bron_row_size = 5;
constexpr int nebron_row_size = 3;

// Texts the lists hold for yes/no answers and the reservation category.
const char *const yes = "Да";
const char *const no = "Нет";
const char *const category_reserving = "Б";
const char *const category_not_reserving = "А";
const char *const staff_for_task = "shtatvv";
const char *const staff_peace = "shtatmir";
// A masked phone field with no digits shows this; the lists hold it as an empty text.
const char *const empty_phone = "()---";

// Dates in the lists.
const char *const date_format = "yyyy-MM-dd";

// A registration number or code of the lists, where "0" stands for none, as the field shows it.
inline QString number_or_none(const QString &stored)
{
    return stored == QLatin1String("0") ? QString() : stored;
}

// A phone of the lists as its masked field shows it.
inline QString shown_phone(const QString &stored)
{
    return stored.isEmpty() ? QString::fromUtf8(empty_phone) : stored;
}

// A list's number as an int; anything that is not a whole number counts as 0.
inline int to_int(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

// A list's value at index; past either end, empty.
inline QString value_at(const QVector<QString> &list, int index)
{
    return index >= 0 && index < list.size() ? list.at(index) : QString();
}

// A reader of one list's slots by number, for code that reads many: slot(card_slot::le_INN). The list must
// outlive it.
inline auto slot_reader(const QVector<QString> &list)
{
    return [&list](int index) { return value_at(list, index); };
}

} // namespace card_lists

// Slot numbers of the main list, named after the widget each one comes from.
namespace card_slot
{

// Slots no widget feeds and no card element carries: always empty.
constexpr int unused_ranges[][2] = {{13, 13}, {42, 43}, {70, 92}, {94, 98}};

inline bool unused(int slot)
{
    for (const auto &range : unused_ranges) {
        if (slot >= range[0] && slot <= range[1])
            return true;
    }
    return false;
}

constexpr int te_orgname = 0;
constexpr int Mesto_reg = 12; // read from a card, fed by no widget
constexpr int lineEdit = 1;   // position of the head (item 1.3)
constexpr int le_FamRuk = 2;
constexpr int le_ImRuk = 3;
constexpr int le_OtRuk = 4;
constexpr int le_TelRuk = 5;
constexpr int le_FaxRuk = 6;
constexpr int le_DolgVur = 7;
constexpr int le_FamVur = 8;
constexpr int le_ImVur = 9;
constexpr int le_OtVur = 10;
constexpr int le_TelVur = 11;
constexpr int lineEdit_21 = 14; // legal address (item 2.3): street, as typed
constexpr int lineEdit_8 = 15;  // legal address (item 2.3): house
constexpr int lineEdit_18 = 16; // legal address (item 2.3): room
constexpr int lineEdit_23 = 17; // actual address (item 2.1): street, held as its code in the street list
constexpr int lineEdit_9 = 18;  // actual address (item 2.1): house
constexpr int checkBox_balance_voenshtat = 19;
constexpr int lineEdit_31 = 20; // actual address (item 2.1): room
constexpr int lineEdit_37 = 21; // postal address (item 2.2): street, held as its code in the street list
constexpr int lineEdit_34 = 22; // postal address (item 2.2): house
constexpr int lineEdit_35 = 23; // postal address (item 2.2): room
constexpr int lineEdit_29 = 24; // postal address (item 2.2): index
constexpr int lineEdit_10 = 25; // e-mail (item 2.4), without blanks
constexpr int lineEdit_36 = 26; // superior organisation (item 2.5)
constexpr int le_INN = 27;
constexpr int le_OGRN = 28;
constexpr int le_okato = 29;
constexpr int le_OKPO = 30;
constexpr int lineEdit_11 = 31; // OKOPF code (item 3.6)
constexpr int lineEdit_25 = 32; // OKFS code (item 3.7)
constexpr int le_osn_ved = 33;
constexpr int le_dop_ved = 34;
constexpr int sb_f6_all = 35;
constexpr int sb_f6_of = 36;
constexpr int sb_f6_neof = 37;
constexpr int sb_f6_mp = 38;
constexpr int sb_f6_priziv = 39;
constexpr int sb_f6_bron_of = 40;
constexpr int sb_f6_bron_neof = 41;
constexpr int cb_kat_b = 44;
constexpr int OKOGU_le = 45;
constexpr int cb_sf_ved = 46;
constexpr int cb_OGV = 47;
constexpr int te_up_l = 48;
constexpr int te_up_r = 49;
constexpr int te_down_l = 50;
constexpr int te_dopinfo = 51;
constexpr int dateZap = 52;
constexpr int lineEdit_24 = 53; // OKFS name (item 3.7)
constexpr int le_RegNo = 54;
constexpr int te_orgname2 = 55;
constexpr int le_FaxVur = 56;
constexpr int le_DopRuk = 57;
constexpr int le_DopVur = 58;
constexpr int sb_kol_vred = 59;
constexpr int sb_kol_opas = 60;
constexpr int ob_ruk = 61;
constexpr int ob_ruk_date = 62;
constexpr int ob_ruk_gou = 63;
constexpr int ob_vur = 64;
constexpr int ob_vur_date = 65;
constexpr int ob_vur_gou = 66;
constexpr int ob_mob = 67;
constexpr int ob_mob_date = 68;
constexpr int ob_mob_gou = 69;
constexpr int te_down_r = 93;
constexpr int lineEdit_46 = 99; // legal address (item 2.3): city
constexpr int balance_row_count = 100;
constexpr int sb_b_bron = 101;
constexpr int sb_b_rab = 102;
constexpr int sb_b_ruk = 103;
constexpr int sb_b_slug = 104;
constexpr int sb_b_spec = 105;
constexpr int sb_b_sum_mp = 106;
constexpr int sb_b_sum_treb = 107;
constexpr int sb_b_sum_vnutr = 108;
constexpr int VK_org = 109;
constexpr int le_KPP = 110;
constexpr int dateINN = 111;
constexpr int NPA_doc = 112;
constexpr int NPA_no = 113;
constexpr int bron_row_count = 114;
constexpr int nebron_row_count = 115;
constexpr int NPA_date = 116;
constexpr int cb_MobOrgan = 117;
constexpr int cb_MobOrgan_2 = 118;
constexpr int DolgRukMO = 119;
constexpr int FamRukMO = 120;
constexpr int ImRukMO = 121;
constexpr int OtRukMO = 122;
constexpr int TelRukMO = 123;
constexpr int DopRukMO = 124;
constexpr int FaxRukMO = 125;

} // namespace card_slot

namespace card_lists
{

// The form's three switches as a main list holds them.
inline bool reserving(const QVector<QString> &main)
{
    return value_at(main, card_slot::cb_kat_b) == QString::fromUtf8(category_reserving);
}

inline bool state_body(const QVector<QString> &main)
{
    return value_at(main, card_slot::cb_OGV) == QString::fromUtf8(yes);
}

inline bool mob_body(const QVector<QString> &main)
{
    return value_at(main, card_slot::cb_MobOrgan) == QString::fromUtf8(yes);
}

} // namespace card_lists

// Positions within one row of balance_rows: balance_pos:: in card_balance_row.h.

// Positions within one row of bron_rows (columns 0-4 of the reserved table, each cut to 254 characters).
namespace bron_pos
{

constexpr int pdp_entry = 0;
constexpr int position_code = 1;
constexpr int position_name = 2;
constexpr int order = 3;
constexpr int full_name = 4;
constexpr int max_length = 254;

} // namespace bron_pos

// Positions within one row of nebron_rows (column 0 uncut, columns 1 and 2 cut to 254 characters).
namespace nebron_pos
{

constexpr int count = 0;
constexpr int reason = 1;
constexpr int extra = 2;
constexpr int max_length = 254;

} // namespace nebron_pos
