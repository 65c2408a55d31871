#include "printing/application_form.h"

namespace printing
{

namespace
{

// A date field that still shows this was never filled in.
const char *const unset_date = "01.01.2000";

} // namespace

bool basis_document_missing(const BasisDocument &document)
{
    return document.name.trimmed().isEmpty() || document.number.trimmed().isEmpty() ||
           document.date == QLatin1String(unset_date);
}

QString basis_document_text(const BasisDocument &document)
{
    if (basis_document_missing(document))
        return QString();
    return document.name.trimmed() + " от " + document.date + " №" + document.number.trimmed();
}

QString build_application(const ApplicationValues &v, int desktop_dpi)
{
    QString html = load_template(zaya_template);
    const int dpi = apply_dpi_variant(html, desktop_dpi);
    const CommonValues &c = v.common;
    const QString short_name = simplified_name(v.short_name);
    QString full_name = simplified_name(v.full_name);
    if (!short_name.isEmpty() && short_name != full_name)
        full_name += " (" + short_name + ")";
    qint64 wartime = 0;
    for (int figure : v.wartime_staff)
        wartime += figure;
    run_passes(html,
               {
                   title_pass(1, c),
                   title_pass(2, c),
                   title_pass(3, c),
                   title_pass(4, c),
                   {"[naim]", escaped(short_name)},
                   {"[2]", escaped(full_name)},
                   {"[3]", escaped(v.inn)},
                   {"[4]", escaped(v.kpp) + "<BR>" + escaped(v.tax_date)},
                   {"[5]", escaped(v.okato)},
                   {"[8]", escaped(basis_document_text(v.basis))},
                   {"[6]", v.state_body ? escaped(v.okogu) : QString("---")},
                   {"[7]", v.state_body ? QString("Орган управления")
                                        : QString("Организация, имеющая мобилизационное задание (заказ, задачу)")},
                   {"[9]", v.state_body ? QString("95%") : QString("85%")},
                   {"[11]", escaped(v.military_office)},
                   {"[10]", QString::number(wartime)},
                   {"[12]", escaped(v.reserve_text)},
                   {"[13]", escaped(v.reserved_text)},
                   {"[dpi_print]", QString::number(9.4 * dpi, 'g', 6)},
                   head_post_pass(c),
                   initials_pass(c),
                   date_pass(c),
               });
    return html;
}

QString build_agreement(const AgreementValues &v, int desktop_dpi, NumberWords &words,
                        const std::function<void()> &step)
{
    fill_number_words(words);
    QString html = load_template(soglash_template);
    const int dpi = apply_dpi_variant(html, desktop_dpi);
    const CommonValues &c = v.common;
    run_passes(html,
               {
                   {"[dpi_print]", QString::number(13.2 * dpi, 'g', 6)},
                   {"[Наименование организации]", escaped(v.full_name), 1},
                   {"[ИНН]", escaped(v.inn), 1},
                   date_pass(c, 1),
                   title_pass(1, c, 1),
                   title_pass(2, c, 1),
                   title_pass(3, c, 1),
                   title_pass(4, c, 1),
                   head_post_pass(c, 1),
                   {"[колво]", escaped(v.staff_text) + " (" + number_to_words(v.staff, words) + ")", 1},
                   initials_pass(c, 1),
               },
               step);
    return html;
}

} // namespace printing
