#include "balance/form6_rules.h"

#include <QCoreApplication>

namespace balance
{

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("Widget", text);
}
} // namespace

int f6_clamp(qint64 value)
{
    if (value < 0)
        return 0;
    if (value > f6_maximum)
        return f6_maximum;
    return int(value);
}

int f6_gpz(const F6Figures &f)
{
    return f6_clamp(qint64(f.of) + f.neof);
}
int f6_bron_all(const F6Figures &f)
{
    return f6_clamp(qint64(f.bron_of) + f.bron_neof);
}
int f6_ost(const F6Figures &f)
{
    return f6_clamp(qint64(f.of) + f.neof - f.bron_all - f.mp);
}

F6Fault check_f6(const F6Figures &f)
{
    const qint64 of = f.of, neof = f.neof;
    if (qint64(f.all) < qint64(f.gpz) + f.priziv)
        return F6Fault::reserve_over_staff;
    if (of < f.bron_of)
        return F6Fault::officers_reserved_over;
    if (neof < f.bron_neof)
        return F6Fault::others_reserved_over;
    if (of + neof - f.mp - f.bron_all < 0)
        return F6Fault::reserved_and_orders_over;
    if (qint64(f.bron_of) + f.bron_neof != f.bron_all)
        return F6Fault::reserved_sum_differs;
    if (of + neof != f.gpz)
        return F6Fault::reserve_sum_differs;
    return F6Fault::none;
}

Sphere management_sphere(const QString &okfs)
{
    if (okfs == QLatin1String("10") || okfs == QLatin1String("11") || okfs == QLatin1String("12"))
        return Sphere::federal;
    if (okfs == QLatin1String("13") || okfs == QLatin1String("14"))
        return Sphere::subject;
    return Sphere::none;
}

QString f6_error_text(F6Fault fault)
{
    switch (fault) {
    case F6Fault::reserve_over_staff:
        return tr("* - Количество ГПЗ и призывников не должно превышать всего работающих в организации.");
    case F6Fault::reserved_and_orders_over:
        return tr("* - Кол-во забронированных и имеющих моб.предписания превышают кол-во ГПЗ");
    case F6Fault::officers_reserved_over:
        return tr("* - Забронированных офицеров больше, чем офицеров в запасе");
    case F6Fault::others_reserved_over:
        return tr("* - Забронированных не офицеров больше, чем не офицеров в запасе");
    case F6Fault::reserved_sum_differs:
        return tr("* - Сумма забронированных офицеров и не офицеров не совпадает с общим количеством "
                  "забронированных");
    case F6Fault::reserve_sum_differs:
        return tr("* - Сумма офицеров и не офицеров не совпадает с общим количеством ГПЗ");
    case F6Fault::none:
    default:
        return QString();
    }
}

std::array<F6Colour, 7> f6_input_colours(F6Fault fault)
{
    constexpr F6Colour W = F6Colour::white, Y = F6Colour::yellow, R = F6Colour::red;
    // The inputs' colours by the number of the fault's rule.
    static constexpr std::array<F6Colour, 7> colours[] = {
        {W, W, W, W, W, W, W}, // none
        {R, Y, Y, Y, W, W, W}, // reserve_over_staff
        {W, W, R, R, Y, Y, Y}, // reserved_and_orders_over
        {W, W, Y, W, Y, W, W}, // officers_reserved_over
        {W, W, W, Y, W, Y, W}, // others_reserved_over
        {W, W, W, W, Y, Y, W}, // reserved_sum_differs
        {W, W, Y, Y, W, W, W}, // reserve_sum_differs
    };
    const int rule = int(fault);
    return rule >= 1 && rule <= 6 ? colours[rule] : colours[0];
}

QString f6_style_sheet(F6Colour colour)
{
    switch (colour) {
    case F6Colour::red:
        return QStringLiteral("QSpinBox { background: red}");
    case F6Colour::yellow:
        return QStringLiteral("QSpinBox { background: yellow}");
    case F6Colour::white:
    default:
        return QStringLiteral("QSpinBox { background: white}");
    }
}

} // namespace balance
