#include "text/text_rules.h"

#include <QStringList>

namespace
{

void strip_leading(QString &text, QChar quote, int tests)
{
    for (int i = 0; i < tests; ++i)
        if (text.startsWith(quote))
            text.remove(0, 1);
}

} // namespace

QString normalise_org_name(QString text)
{
    text.replace(QChar(0x0002), '-');
    text.replace(QChar(0x0003), '-');
    text = text.simplified();
    strip_leading(text, '"', 3);
    strip_leading(text, QChar(0x00AB), 3);
    strip_leading(text, '\'', 4);
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    text.replace("спб", "СПб", Qt::CaseInsensitive);
    text.replace("санкт-петербург", "Санкт-Петербург", Qt::CaseInsensitive);
    const int quote = text.indexOf('"');
    if (quote > 0 && quote + 1 < text.size())
        text[quote + 1] = text.at(quote + 1).toUpper();
    return text;
}

QString sentence_case(const QString &text)
{
    const QString simple = text.simplified();
    if (simple.isEmpty())
        return simple;
    return simple.left(1).toUpper() + simple.mid(1).toLower();
}

QString sort_okved_list(const QString &text)
{
    if (text.isEmpty())
        return text;
    QString compact = text;
    compact.remove(' ');
    QStringList parts = compact.split(',');
    std::sort(parts.begin(), parts.end());
    return parts.join(", ").trimmed();
}

QString clean_okved_list(const QString &text)
{
    if (text.isEmpty())
        return text;
    QString list = text.simplified();
    list.remove(' ');
    for (int pass = 0; pass < 9; ++pass) {
        list.replace(",,", ",");
        if (list.startsWith(','))
            list.remove(0, 1);
        if (list.endsWith(','))
            list.chop(1);
    }
    return sort_okved_list(list);
}

QString wrap_tooltip_html(const QString &text)
{
    return "<html><body><table width=\"200\"><tr><td align=\"left\">" + text + "</td></tr></table></body></html>";
}

QString &append_space(QString &text)
{
    return text.append(' ');
}
