#include "cardfile/kept_codes.h"

#include <algorithm>

namespace kept_codes
{
namespace
{

const char *const street_head = "Улица с кодом ";
const char *const list_tail = " (нет в списке программы)";
const char *const office_head = "Военкомат с кодом ";

const char *const title = "Коды, которых нет в списках программы";
const char *const text_head = "Списки кодов, поставляемые с программой, неполны: в них нет следующих кодов этой "
                              "карточки.\n";
const char *const text_tail = "\nЭти коды сохранены и будут записаны в карточку без изменений, пока Вы не выберете "
                              "другое значение.";
const char *const not_kept_tail = " (код неверного вида, не сохранён - выберите значение заново)";

// A code from a damaged card may be of any length: the notice shows its beginning.
constexpr int shown_code_length = 40;

} // namespace

QString street_text(const QString &code)
{
    return QString::fromUtf8(street_head) + code + QString::fromUtf8(list_tail);
}

QString street_code(const QString &text)
{
    const QString head = QString::fromUtf8(street_head), tail = QString::fromUtf8(list_tail);
    if (text.size() <= head.size() + tail.size() || !text.startsWith(head) || !text.endsWith(tail))
        return QString();
    return text.mid(head.size(), text.size() - head.size() - tail.size());
}

QString office_text(const QString &code)
{
    return QString::fromUtf8(office_head) + code + QString::fromUtf8(list_tail);
}

QString notice_title()
{
    return QString::fromUtf8(title);
}

QString notice_text(const QVector<UnknownCode> &codes)
{
    QString text = QString::fromUtf8(text_head);
    for (const UnknownCode &c : codes) {
        const QString code = c.code.size() > shown_code_length ? c.code.left(shown_code_length) + "…" : c.code;
        text += "\n- " + c.field + ": " + code + (c.kept ? QString() : QString::fromUtf8(not_kept_tail));
    }
    const bool any_kept = std::any_of(codes.begin(), codes.end(), [](const UnknownCode &c) { return c.kept; });
    return any_kept ? text + "\n" + QString::fromUtf8(text_tail) : text;
}

} // namespace kept_codes
