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

int check_f6(const F6Figures &f)
{
    const qint64 of = f.of, neof = f.neof;
    if (qint64(f.all) < qint64(f.gpz) + f.priziv)
        return 1;
    if (of < f.bron_of)
        return 3;
    if (neof < f.bron_neof)
        return 4;
    if (of + neof - f.mp - f.bron_all < 0)
        return 2;
    if (qint64(f.bron_of) + f.bron_neof != f.bron_all)
        return 5;
    if (of + neof != f.gpz)
        return 6;
    return 0;
}

Sphere management_sphere(const QString &okfs)
{
    if (okfs == QLatin1String("10") || okfs == QLatin1String("11") || okfs == QLatin1String("12"))
        return Sphere::federal;
    if (okfs == QLatin1String("13") || okfs == QLatin1String("14"))
        return Sphere::subject;
    return Sphere::none;
}

QString f6_error_text(int code)
{
    switch (code) {
    case 1:
        return tr("* - Количество ГПЗ и призывников не должно превышать всего работающих в организации.");
    case 2:
        return tr("* - Кол-во забронированных и имеющих моб.предписания превышают кол-во ГПЗ");
    case 3:
        return tr("* - Забронированных офицеров больше, чем офицеров в запасе");
    case 4:
        return tr("* - Забронированных не офицеров больше, чем не офицеров в запасе");
    case 5:
        return tr("* - Сумма забронированных офицеров и не офицеров не совпадает с общим количеством "
                  "забронированных");
    case 6:
        return tr("* - Сумма офицеров и не офицеров не совпадает с общим количеством ГПЗ");
    default:
        return QString();
    }
}

std::array<F6Colour, 7> f6_input_colours(int code)
{
    constexpr F6Colour W = F6Colour::white, Y = F6Colour::yellow, R = F6Colour::red;
    // The inputs' colours by error code.
    static constexpr std::array<F6Colour, 7> colours[] = {
        {W, W, W, W, W, W, W}, // no error
        {R, Y, Y, Y, W, W, W}, // 1
        {W, W, R, R, Y, Y, Y}, // 2
        {W, W, Y, W, Y, W, W}, // 3
        {W, W, W, Y, W, Y, W}, // 4
        {W, W, W, W, Y, Y, W}, // 5
        {W, W, Y, Y, W, W, W}, // 6
    };
    return code >= 1 && code <= 6 ? colours[code] : colours[0];
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
