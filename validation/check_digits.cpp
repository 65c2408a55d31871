#include "validation/check_digits.h"

#include <initializer_list>

namespace
{

bool all_digits(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

int digit(const QString &text, int i)
{
    return text.at(i).unicode() - '0';
}

// Last decimal digit of the weighted sum's remainder by 11 (10 gives 0).
int weighted_control(const QString &text, std::initializer_list<int> weights)
{
    int sum = 0;
    int i = 0;
    for (int w : weights)
        sum += digit(text, i++) * w;
    return (sum % 11) % 10;
}

} // namespace

int inn_check_digit_mismatch(const QString &inn)
{
    const QString text = inn.trimmed();
    if (text.size() != 10 && text.size() != 12)
        return 0;
    // A code with anything but digits cannot be a valid number.
    if (!all_digits(text))
        return 1;
    if (text.size() == 10) {
        const int control = weighted_control(text, {2, 4, 10, 3, 5, 9, 4, 6, 8});
        return control != digit(text, 9) ? 1 : 0;
    }
    const int c1 = weighted_control(text, {7, 2, 4, 10, 3, 5, 9, 4, 6, 8});
    const int c2 = weighted_control(text, {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8});
    return (c1 != digit(text, 10) || c2 != digit(text, 11)) ? 1 : 0;
}

int ogrn_check_digit_mismatch(const QString &ogrn)
{
    const int length = ogrn.size();
    if (length != 13 && length != 15)
        return 0;
    if (!all_digits(ogrn))
        return 1;
    const int body = length - 1;
    const qint64 number = ogrn.left(body).toLongLong();
    const int divisor = length == 13 ? 11 : 13;
    const int control = int(number % divisor) % 10;
    return control != digit(ogrn, body) ? 1 : 0;
}

int okpo_check_digit_mismatch(const QString &okpo)
{
    QString text = okpo.trimmed();
    if (text.size() != 8 && text.size() != 10 && text.size() != 14)
        return 0;
    if (!all_digits(text))
        return 1;
    if (text.size() == 14)
        text.truncate(8);
    const int n = text.size() - 1;
    // Weights run 1..10 and start again at 1; the second pass starts at 3.
    auto remainder = [&](int first_weight) {
        int sum = 0;
        for (int i = 0; i < n; ++i)
            sum += digit(text, i) * ((first_weight - 1 + i) % 10 + 1);
        return sum % 11;
    };
    int r = remainder(1);
    if (r == 10)
        r = remainder(3);
    if (r == 10)
        r = 0;
    return r != digit(text, n) ? 1 : 0;
}
