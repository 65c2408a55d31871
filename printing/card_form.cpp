#include "printing/card_form.h"

namespace printing
{

namespace
{

const char *const empty_phone = "()---";
// A longer list of additional OKVED codes is only referred to.
constexpr int okved_list_limit = 449;

QString full_name_of(const PersonValues &person)
{
    return person.surname + " " + person.first_name + " " + person.patronymic;
}

} // namespace

QString registration_number_text(const QString &number, bool reserving)
{
    if (number.isEmpty())
        return QString();
    return number + (reserving ? "-Б" : "-А");
}

QString phone_text(const QString &phone, const QString &extension)
{
    if (!extension.isEmpty())
        return phone + " (" + extension + ")";
    return phone == QLatin1String(empty_phone) ? QString() : phone;
}

QString fax_text(const QString &fax)
{
    return fax == QLatin1String(empty_phone) ? QString() : fax;
}

QString legal_address_text(const QString &city, const QString &street, const QString &house, const QString &room)
{
    QString text = city + ", " + street + ", д." + house;
    if (!room.isEmpty())
        text += ", помещ." + room;
    return text;
}

QString address_text(const QString &street, const QString &house, const QString &room)
{
    if (street.isEmpty())
        return room.isEmpty() ? house : house + ", " + room;
    QString text = street + ", д." + house;
    if (!room.isEmpty())
        text += ", помещ." + room;
    return text;
}

QString postcode_text(const QString &postcode)
{
    return postcode.isEmpty() ? QString() : postcode + ", ";
}

QString okved_summary_text(const QString &main, const QString &extra)
{
    if (extra.isEmpty())
        return main;
    if (extra.size() > okved_list_limit)
        return main + " + см. неосновные коды ОКВЭД";
    return main + ", " + extra;
}

QString additional_information_html(const QString &information, const TrainingLine (&training)[3])
{
    const char *const labels[] = {"ОМП - ", "ВУ - ", "МП - "};
    QString html = escaped(information) + "<br>15. Данные по обучению:";
    for (int i = 0; i < 3; ++i)
        html += "<br>" + QString::fromUtf8(labels[i]) + escaped(training[i].who) + " / " + escaped(training[i].date) +
                " / " + escaped(training[i].institution);
    return html;
}

QVector<Pass> card_passes(const CardValues &v, int dpi)
{
    const CommonValues &c = v.common;
    return {
        {"[dpi_print]", QString::number(9 * dpi), 0},
        date_pass(c, 1),
        {"[РегНомер]", escaped(registration_number_text(v.registration_number, v.reserving)), 1},
        {"[Наименование организации]", escaped(simplified_name(v.full_name)), 1},
        {"[Дол_рук]", escaped(c.head.post), 0},
        {"[ФИО_рук]", escaped(full_name_of(c.head)), 1},
        {"[Телефон руководителя]", escaped(phone_text(c.head.phone, c.head.extension)), 1},
        {"[Факс руководителя]", escaped(fax_text(c.head.fax)), 1},
        {"[Дол_вур]", escaped(v.officer.post), 0},
        {"[ФИО_вур]", escaped(full_name_of(v.officer)), 1},
        {"[Телефон ответственного]", escaped(phone_text(v.officer.phone, v.officer.extension)), 1},
        {"[Факс ответственного]", escaped(fax_text(v.officer.fax)), 1},
        {"[Гос номер]", escaped(v.ogrn), 1},
        {"[Юридический адрес]", escaped(legal_address_text(v.legal_city, v.legal_street, v.legal_house, v.legal_room)),
         1},
        {"[Код окато]", escaped(v.okato), 1},
        {"[Фактический адрес]", escaped(address_text(v.actual_street, v.actual_house, v.actual_room)), 1},
        {"[вышестоящая организация]", escaped(v.higher_organisation), 1},
        {"[почтовый адрес]", escaped(address_text(v.postal_street, v.postal_house, v.postal_room)), 1},
        {"[Индекс]", escaped(postcode_text(v.postcode)), 1},
        {"[E-mail]", escaped(v.email), 1},
        {"[Код ОКПО]", escaped(v.okpo), 1},
        {"[Код ОКПФ]", escaped(v.okopf_code), 1},
        {"[Организационно-правовая форма]", escaped(v.okopf_name), 1},
        {"[Код ОКФС]", escaped(v.okfs_code), 1},
        {"[Форма собственности]", escaped(v.okfs_name), 1},
        {"[Код ОКВЭД]", escaped(v.okved_main), 1},
        {"[Неосновные коды ОКВЭД]", escaped(v.okved_extra), 1},
        {"[Виды экономической деятельности]", escaped(v.okved_name), 1},
        {"[Инн организации]", escaped(v.inn), 1},
        {"[КПП]", escaped(v.tax_date + ", КПП " + v.kpp), 1},
        {"[всего работающих]", escaped(v.f6_all), 1},
        {"[граждан в запасе]", escaped(v.f6_gpz), 1},
        {"[офицеров]", escaped(v.f6_of), 1},
        {"[прапоров]", escaped(v.f6_neof), 1},
        {"[незабронированых без моб]", escaped(v.f6_ost), 1},
        {"[незабронированых с моб]", escaped(v.f6_mp), 1},
        {"[по призыву]", escaped(v.f6_priziv), 1},
        {"[забронировано в запасе]", escaped(v.f6_bron_all), 1},
        {"[ведет ли бронирование]", escaped(v.reserving_text), 1},
        {"[ПДП]", escaped(okved_summary_text(v.okved_main, v.okved_extra)), 1},
        {"[сфера ведения]", escaped(v.sphere), 1},
        {"[Входит в орган управления]", escaped(v.state_body), 1},
        {"[Дополнительная информация]", additional_information_html(v.information, v.training), 1},
        title_pass(1, c, 1),
        title_pass(2, c, 1),
        title_pass(3, c, 1),
        title_pass(4, c, 0),
        version_pass(c.version, 2),
        head_post_pass(c, 1),
        initials_pass(c, 1),
    };
}

QString build_card(const CardValues &values, int desktop_dpi, const std::function<void()> &step)
{
    QString html = load_template(card_template);
    const int dpi = apply_dpi_variant(html, desktop_dpi);
    run_passes(html, card_passes(values, dpi), step);
    return html;
}

} // namespace printing
