#pragma once

// The printed staff balance: the table body with its pagination, and the whole form.

#include "balance/balance_rules.h"
#include "printing/print_rules.h"

namespace printing
{

// Totals of the staff page that the balance prints, as their boxes show them.
struct BalanceBoxes {
    QString all_text; // sb_b_all
    int all = 0;
    QString sum_mp_text; // sb_b_sum_mp
    int sum_mp = 0;
    QString sum_treb_text;  // sb_b_sum_treb
    QString sum_vnutr_text; // sb_b_sum_vnutr
    int sum_vnutr = 0;
    QString bron_text;                                // sb_b_bron
    QString ruk_text, spec_text, slug_text, rab_text; // sb_b_ruk .. sb_b_rab
};

// What the body works out besides its HTML, as the staff page's boxes keep it (a sum beyond a box's
// maximum is kept as that maximum).
struct BalanceBody {
    QString html;
    int auxiliary = 0;      // sb_b_kol_vspom
    int other_services = 0; // sb_b_kol_drsl
    int pages = 1;          // sb_b_pages
    int external = 0;       // sb_b_sum_vnesh
    int natural_loss = 0;   // sb_b_sum_est
};

// Largest values of the boxes the body fills.
constexpr int kol_vspom_max = 999999;
constexpr int kol_drsl_max = 99999;
constexpr int pages_max = 1000;
constexpr int sum_vnesh_max = 999999;
constexpr int sum_est_max = 999999;

// The body of the balance table for rows already sorted by their key: one row each, the total row,
// and for a long table its page breaks, footers, page numbers and filler rows.
// `down_left` and `down_right` are the plain texts of the lower running titles.
BalanceBody balance_rows_html(const QVector<balance::BalanceRow> &rows, const BalanceBoxes &boxes,
                              const QString &down_left, const QString &down_right, const QString &version);

// The html element's height for a balance of `pages` pages.
int balance_page_height(int dpi, int pages);

struct BalanceValues {
    CommonValues common;
    QString short_name; // te_orgname2 as the card list holds it
    QString ogrn;
    QVector<balance::BalanceRow> rows; // sorted by their key
    BalanceBoxes boxes;
    QString down_left_plain, down_right_plain;
};

// The balance's HTML; `body` receives what the table body worked out.
QString build_balance(const BalanceValues &values, int desktop_dpi, BalanceBody *body = nullptr,
                      const std::function<void()> &step = {});

} // namespace printing
