#include "printing/print_rules.h"

#include "resources/init_resources.h"

#include <QFile>
#include <QTextStream>
#include <QtDebug>

namespace printing
{

const char *const card_template = ":/template/template/quelt.html";
const char *const balance_template = ":/template/template/10org.html";
const char *const zaya_template = ":/template/template/Zaya.html";
const char *const soglash_template = ":/template/template/soglash.html";

QString load_template(const QString &path)
{
    quelt_init_resources();
    QString html;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "Error open file input";
        return html;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd())
        html += in.readLine();
    return html;
}

int dpi_variant(int dpi)
{
    if (dpi > 110) {
        if (dpi > 190)
            return 192;
        if (dpi > 140)
            return 144;
        return 120;
    }
    return 0;
}

int print_dpi(int desktop_dpi)
{
    const int variant = dpi_variant(desktop_dpi);
    return variant == 0 ? desktop_dpi : variant;
}

int apply_dpi_variant(QString &html, int desktop_dpi)
{
    const int variant = dpi_variant(desktop_dpi);
    if (variant != 0) {
        const QString number = QString::number(variant);
        html.remove("<!---" + number);
        html.remove(number + "--->");
    }
    return print_dpi(desktop_dpi);
}

int replace_every(QString &html, const QString &placeholder, const QString &value)
{
    if (placeholder.isEmpty())
        return 0;
    int count = 0;
    int from = 0;
    for (;;) {
        const int at = html.indexOf(placeholder, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        html.replace(at, placeholder.size(), value);
        from = at + value.size();
        ++count;
    }
    return count;
}

void run_passes(QString &html, const QVector<Pass> &passes, const std::function<void()> &step)
{
    for (const Pass &pass : passes) {
        replace_every(html, pass.placeholder, pass.value);
        if (step)
            for (int i = 0; i < pass.steps; ++i)
                step();
    }
}

QString escaped(const QString &plain)
{
    return plain.toHtmlEscaped();
}

QString version_footer(int major, int minor)
{
    return "версия программы " + QString::number(major) + ".20" + QString::number(minor);
}

QString initials(const QString &first_name, const QString &patronymic, const QString &surname)
{
    return first_name.left(1) + "." + patronymic.left(1) + ". " + surname;
}

Pass title_pass(int number, const CommonValues &common, int steps)
{
    const QString *titles[] = {&common.up_left, &common.up_right, &common.down_left, &common.down_right};
    return {"[Колонт" + QString::number(number) + "]", *titles[number - 1], steps};
}

Pass version_pass(const QString &version, int steps)
{
    return {"[Колонт5]", escaped(version), steps};
}

Pass date_pass(const CommonValues &common, int steps)
{
    return {"[Дата]", escaped(common.fill_date), steps};
}

Pass head_post_pass(const CommonValues &common, int steps)
{
    return {"[Должность руководителя]", escaped(common.head.post), steps};
}

Pass initials_pass(const CommonValues &common, int steps)
{
    return {"[ФИО]", escaped(initials(common.head.first_name, common.head.patronymic, common.head.surname)), steps};
}

QString simplified_name(const QString &plain)
{
    return plain.simplified();
}

} // namespace printing
