#include "balance/row_fault_boxes.h"

#include <QCoreApplication>
#include <QStringList>

namespace balance
{

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("Widget", text);
}

// "строка", "строки" or "строк", as the number before it asks.
QString rows_word(int n)
{
    const int tens = n % 100, units = n % 10;
    if (units == 1 && tens != 11)
        return tr("строка");
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        return tr("строки");
    return tr("строк");
}

QString fault_words(RowFault fault)
{
    return fault == RowFault::position_code ? tr("с недействительным кодом должности")
                                            : tr("с недействительным кодом фасета");
}

} // namespace

bool RowFaultBoxes::own_box(int row)
{
    ++count;
    if (count <= own_boxes)
        return true;
    if (listed.size() < listed_rows)
        listed.append(row);
    last = row;
    return false;
}

QString RowFaultBoxes::closing_text() const
{
    const int folded = count - own_boxes;
    if (folded <= 0)
        return QString();
    QStringList numbers;
    for (int row : listed)
        numbers << QString::number(row);
    if (folded > listed.size() + 1)
        numbers << QStringLiteral("…");
    if (folded > listed.size())
        numbers << QString::number(last);
    return tr("Ещё %1 %2 %3: %4.").arg(folded).arg(rows_word(folded), fault_words(fault), numbers.join(", "));
}

} // namespace balance
