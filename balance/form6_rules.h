#pragma once

// Form 6 figures: the derived boxes and the six consistency rules, without widgets.

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

// The first failing rule (rules run in the order 1, 3, 4, 2, 5, 6 of their codes), 0 if none.
int check_f6(const F6Figures &f);
// Message for f6_errlabel; empty for 0.
QString f6_error_text(int code);

enum class F6Colour { white, yellow, red };

// Colours of the seven input boxes for a code, in the order
// all, priziv, of, neof, bron_of, bron_neof, mp.
std::array<F6Colour, 7> f6_input_colours(int code);
QString f6_style_sheet(F6Colour colour);

} // namespace balance
