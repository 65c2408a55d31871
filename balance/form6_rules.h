#pragma once

// Form 6 figures: the derived boxes and the six consistency rules, without widgets.

#include <QMetaType>
#include <QString>
#include <array>

namespace balance
{

struct F6Figures {
    int all = 0;       // sb_f6_all
    int priziv = 0;    // sb_f6_priziv
    int gpz = 0;       // sb_f6_gpz (derived)
    int of = 0;        // sb_f6_of
    int neof = 0;      // sb_f6_neof
    int bron_all = 0;  // sb_f6_bron_all (derived)
    int bron_of = 0;   // sb_f6_bron_of
    int bron_neof = 0; // sb_f6_bron_neof
    int mp = 0;        // sb_f6_mp
};

// Sphere of management (cb_sf_ved) that follows an ownership code (OKFS): federal codes 10-12
// give the federal body, 13 and 14 the subject of the federation, anything else none.
enum class Sphere { none = 0, subject = 1, federal = 2 };
Sphere management_sphere(const QString &okfs);

// Range of the Form 6 boxes; derived values are held inside it as the boxes hold them.
constexpr int f6_maximum = 999999;
int f6_clamp(qint64 value);

int f6_gpz(const F6Figures &f);      // of + neof
int f6_bron_all(const F6Figures &f); // bron_of + bron_neof
int f6_ost(const F6Figures &f);      // of + neof - bron_all - mp

// The first fault of the Form 6 check. The rules run in the order of the faults here; each fault keeps the
// number of its rule.
enum class F6Fault {
    none = 0,
    reserve_over_staff = 1,       // reserve and conscripts exceed all working staff
    officers_reserved_over = 3,   // more officers reserved than in the reserve
    others_reserved_over = 4,     // more non-officers reserved than in the reserve
    reserved_and_orders_over = 2, // reserved and mobilisation orders exceed the reserve
    reserved_sum_differs = 5,     // reserved officers and non-officers do not add up to all reserved
    reserve_sum_differs = 6,      // officers and non-officers do not add up to the reserve
};

F6Fault check_f6(const F6Figures &f);
// Message for f6_errlabel; empty for none.
QString f6_error_text(F6Fault fault);

enum class F6Colour { white, yellow, red };

// Colours of the seven input boxes for a fault, in the order
// all, priziv, of, neof, bron_of, bron_neof, mp.
std::array<F6Colour, 7> f6_input_colours(F6Fault fault);
QString f6_style_sheet(F6Colour colour);

} // namespace balance

// Test tables carry faults in their columns.
Q_DECLARE_METATYPE(balance::F6Fault)
