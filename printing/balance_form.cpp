#include "printing/balance_form.h"

#include <QtDebug>
#include <algorithm>

namespace printing
{

namespace
{

// Rows of the first page of a long table, and of every later page.
constexpr int first_page_rows = 15;
constexpr int page_rows = 21;
constexpr int first_page_limit = 36;

const char *const filler_row =
    "<TR><TD colspan=\"17\" bordercolor=\"white\"><FONT class=\"normal_text\">&nbsp<p></FONT></TD></TR>";
const char *const first_page_footer =
    "<TR><TD colspan=\"6\" valign=\"top\" align=\"left\" bordercolor=\"white\"><FONT "
    "class=\"normal_text\">&nbsp<p>[kolont3]</FONT></TD><TD colspan=\"5\" valign=\"top\" align=\"center\" "
    "bordercolor=\"white\"><FONT class=\"little_text\">&nbsp<p>[kolont5]</FONT></TD><TD colspan=\"6\" valign=\"top\" "
    "align=\"right\" bordercolor=\"white\"><FONT class=\"normal_text\">&nbsp<p>[kolont4]</FONT></TD></TR>";
const char *const page_footer =
    "<TR><TD colspan=\"9\" valign=\"top\" align=\"left\" bordercolor=\"white\"><FONT "
    "class=\"normal_text\">&nbsp<p>[kolont3]</FONT></TD><TD colspan=\"8\" valign=\"top\" align=\"right\" "
    "bordercolor=\"white\"><FONT class=\"normal_text\">&nbsp<p>[kolont4]</FONT></TD></TR>";
const char *const page_break_row = "<TR class=\"page-break\"></TR>";
const char *const column_number_row =
    "<TR><TD>1</TD><TD colspan=\"2\">2</TD><TD>3</TD><TD>4.1</TD><TD>4.2</TD><TD>4.3</TD><TD>5</TD><TD>6</TD><TD>7</"
    "TD><TD>8</TD><TD>9</TD><TD>10.1</TD><TD>10.2</TD><TD>11</TD><TD>12</TD><TD>13</TD></TR><TR><TD colspan=\"17\" "
    "height=\"1px\"></TD></TR>";

// Placeholders of a data row and of the total row, in the order they are filled.
const char *const cells[] = {"1", "21", "22", "3",   "41",  "42", "43", "5", "6",
                             "7", "8",  "9",  "101", "102", "11", "12", "13"};

QString continuation_number_row(int page)
{
    return "<TR><TD colspan=\"17\" align=\"right\" bordercolor=\"white\"><FONT class=\"normal_text\">" +
           QString::number(page) + "</FONT></TD></TR><TR><TD colspan=\"17\" height=\"0px\"></TD></TR>";
}

QString closing_number_row(int page)
{
    return "<TR ><TD colspan=\"17\" align=\"right\" bordercolor=\"white\"><FONT class=\"normal_text\">" +
           QString::number(page) +
           "</FONT></TD></TR><TR><TD colspan=\"17\" height=\"0px\" bordercolor=\"white\"></TD></TR>";
}

// "[1]" .. "[13]" and "[i1]" .. "[i13]", made once.
const QVector<QString> &placeholders(bool total)
{
    static const auto make = [](const char *prefix) {
        QVector<QString> list;
        for (const char *cell : cells)
            list << QString("[%1%2]").arg(prefix, cell);
        return list;
    };
    static const QVector<QString> data = make(""), totals = make("i");
    return total ? totals : data;
}

const QString &row_pattern()
{
    static const QString pattern = [] {
        QString p = "<tr>";
        for (const char *cell : cells)
            p += QString(cell) == "3" ? QString("<td align=\"left\">[3]</td>") : QString("<td>[%1]</td>").arg(cell);
        return p + "</tr>";
    }();
    return pattern;
}

const QString &total_pattern()
{
    static const QString pattern = [] {
        QString p = "<tr>";
        for (const char *cell : cells)
            p += QString("<td%1><FONT class=\"zagolovok_bold\">[i%2]</FONT></td>")
                     .arg(QString(cell) == "3" ? " align=\"left\"" : "", cell);
        return p + "</tr>";
    }();
    return pattern;
}

int kept_in_box(qint64 value, int maximum)
{
    return int(std::max<qint64>(0, std::min<qint64>(value, maximum)));
}

// The lower running titles and the version, escaped once.
struct Footers {
    QString kolont3, kolont4, kolont5;
    bool any = false; // a later page has a footer only when a running title is set

    void fill(QString &s, bool with_version) const
    {
        replace_every(s, "[kolont3]", kolont3);
        replace_every(s, "[kolont4]", kolont4);
        if (with_version)
            replace_every(s, "[kolont5]", kolont5);
    }
};

// Where the table stands in its pages.
struct Pagination {
    int count = 0; // rows in the table
    int pages = 1;
    int limit = first_page_limit;
    bool total_placed = false;
};

// What follows row r where a page ends after it: the total row when it is the last, filler rows, the footer, the
// page break and the next page's number.
QString page_end_after(int r, Pagination &p, const Footers &footers)
{
    const int count = p.count;
    QString s;
    if (count >= 10 && count <= first_page_rows) {
        if (r == count - 1) {
            s += total_pattern();
            s += QString(filler_row).repeated(std::max(0, first_page_rows - 1 - count));
            s += first_page_footer;
            footers.fill(s, true);
            s += page_break_row + closing_number_row(2);
            p.total_placed = true;
            p.pages = 2;
        }
    } else if (count > first_page_rows) {
        if (r == first_page_rows - 1) {
            s += first_page_footer;
            footers.fill(s, true);
            s += page_break_row + continuation_number_row(2) + column_number_row;
            p.pages = 2;
        }
        const int l = p.limit;
        if (count >= l - 5 && count <= l) {
            if (r == count - 1) {
                s += total_pattern();
                s += QString(filler_row).repeated(std::max(0, l - 1 - count));
                ++p.pages;
                if (footers.any) {
                    s += page_footer;
                    footers.fill(s, false);
                }
                s += page_break_row + closing_number_row(p.pages);
                p.total_placed = true;
            }
        } else if (r == l - 1) {
            ++p.pages;
            if (footers.any) {
                s += page_footer;
                footers.fill(s, false);
            }
            s += page_break_row + continuation_number_row(p.pages) + column_number_row;
            p.limit += page_rows;
            qDebug().nospace() << "new newpage=" << p.limit;
        }
    }
    return s;
}

// Puts the row's values in place of the data placeholders of s.
void fill_row_values(QString &s, const balance::BalanceRow &row)
{
    using namespace balance;
    // The kind and category of cell 1 stand on two lines: the break is ours, the words are escaped.
    const QString values[] = {
        escaped(row.cells[col_kind]) + ",<br>" + escaped(row.cells[col_category]),
        row.cells[col_code],
        row.cells[col_facet],
        row.cells[col_name],
        row.cells[col_fact],
        row.cells[col_shtat],
        row.cells[col_nekomplekt],
        QString::number(qint64(row.figure(col_mp)) + row.figure(col_ubyl)),
        row.cells[col_mp],
        row.cells[col_ubyl],
        row.cells[col_posle_vybyt],
        row.cells[col_treb],
        row.cells[col_dop_potr],
        row.cells[col_izbytok],
        row.cells[col_vnutr_ist],
        row.cells[col_vnesh_ist],
        row.cells[col_bron],
    };
    for (int i = 0; i < 17; ++i)
        replace_every(s, placeholders(false).at(i), i == 0 ? values[i] : escaped(values[i]));
}

// Sums of the table, in 64 bits: a long table of large figures must not wrap.
struct BalanceSums {
    qint64 auxiliary = 0, other_services = 0, external = 0, natural_loss = 0, peacetime = 0, shortage = 0, surplus = 0;

    void add(const balance::BalanceRow &row)
    {
        using namespace balance;
        const QString kind = row.cells[col_kind_code];
        if (kind == "2")
            auxiliary += row.figure(col_fact);
        else if (kind == "3")
            other_services += row.figure(col_fact);
        external += row.figure(col_vnesh_ist);
        natural_loss += row.figure(col_ubyl);
        peacetime += row.figure(col_shtat);
        shortage += row.figure(col_nekomplekt);
        surplus += row.figure(col_izbytok);
    }
};

// Puts the totals in place of the total row's placeholders of html; `kept_natural_loss` is the sum as its box keeps it.
void fill_totals(QString &html, const BalanceSums &sums, const BalanceBoxes &boxes, int kept_natural_loss)
{
    const qint64 after_leaving =
        std::max<qint64>(0, qint64(boxes.all) + sums.shortage - boxes.sum_mp - kept_natural_loss);
    const QString totals[] = {
        "ВСЕГО",
        QString(),
        QString(),
        QString(),
        escaped(boxes.all_text),
        QString::number(sums.peacetime),
        QString::number(sums.shortage),
        QString::number(qint64(boxes.sum_mp) + sums.natural_loss),
        escaped(boxes.sum_mp_text),
        QString::number(sums.natural_loss),
        QString::number(after_leaving),
        escaped(boxes.sum_treb_text),
        QString::number(sums.external + boxes.sum_vnutr),
        QString::number(sums.surplus),
        escaped(boxes.sum_vnutr_text),
        QString::number(sums.external),
        escaped(boxes.bron_text),
    };
    for (int i = 0; i < 17; ++i)
        replace_every(html, placeholders(true).at(i), totals[i]);
}

} // namespace

BalanceBody balance_rows_html(const QVector<balance::BalanceRow> &rows, const BalanceBoxes &boxes,
                              const QString &down_left, const QString &down_right, const QString &version)
{
    const int count = rows.size();
    Pagination pagination;
    pagination.count = count;
    Footers footers;
    footers.kolont3 = escaped(down_left);
    footers.kolont4 = escaped(down_right);
    footers.kolont5 = escaped(version);
    footers.any = !down_left.isEmpty() || !down_right.isEmpty();
    BalanceSums sums;

    QString result;
    result.reserve(count * 700 + 2000);
    for (int r = 0; r < count; ++r) {
        const balance::BalanceRow &row = rows.at(r);
        QString s = row_pattern();
        s += page_end_after(r, pagination, footers);
        fill_row_values(s, row);
        sums.add(row);
        result += s;
    }

    BalanceBody body;
    body.auxiliary = kept_in_box(sums.auxiliary, kol_vspom_max);
    body.other_services = kept_in_box(sums.other_services, kol_drsl_max);
    body.pages = kept_in_box(pagination.pages, pages_max);
    body.external = kept_in_box(sums.external, sum_vnesh_max);
    body.natural_loss = kept_in_box(sums.natural_loss, sum_est_max);

    if (!pagination.total_placed)
        result += total_pattern();
    fill_totals(result, sums, boxes, body.natural_loss);
    body.html = result;
    return body;
}

int balance_page_height(int dpi, int pages)
{
    const double d = dpi;
    double height;
    if (pages <= 1)
        height = 8.26 * d + d;
    else if (pages == 2)
        height = 2 * (8.26 * d) + 1.6 * d;
    else
        height = 8.26 * d * pages + 1.6 * d + 0.7 * d * (pages - 2);
    return int(height);
}

QString build_balance(const BalanceValues &v, int desktop_dpi, BalanceBody *body_out, const std::function<void()> &step)
{
    QString html = load_template(balance_template);
    const int dpi = apply_dpi_variant(html, desktop_dpi);
    const CommonValues &c = v.common;
    run_passes(html, {title_pass(1, c),
                      title_pass(2, c),
                      {"[Наименование организации]", escaped(simplified_name(v.short_name))},
                      {"[ОГРН]", escaped(v.ogrn)}});
    BalanceBody body;
    // The body is built only for a template that has a place for it.
    if (html.contains("[table_insert]"))
        body = balance_rows_html(v.rows, v.boxes, v.down_left_plain, v.down_right_plain, c.version);
    const qint64 main = qint64(v.boxes.all) - body.auxiliary - body.other_services;
    run_passes(html,
               {
                   {"[table_insert]", body.html},
                   {"[dpi_print]", QString::number(balance_page_height(dpi, body.pages))},
                   {"[all_osn]", QString::number(main)},
                   {"[all_vspom]", QString::number(body.auxiliary)},
                   {"[all_drsl]", QString::number(body.other_services)},
                   {"[all_prom]", QString::number(body.auxiliary + main)},
                   {"[all_nprom]", QString::number(body.other_services)},
                   {"[all_itogo]", escaped(v.boxes.all_text)},
                   {"[all_ruk]", escaped(v.boxes.ruk_text)},
                   {"[all_spec]", escaped(v.boxes.spec_text)},
                   {"[all_slug]", escaped(v.boxes.slug_text)},
                   {"[all_rab]", escaped(v.boxes.rab_text)},
                   head_post_pass(c),
                   initials_pass(c),
                   date_pass(c),
                   title_pass(3, c),
                   title_pass(4, c),
                   version_pass(body.pages == 1 ? c.version : QString(), 1),
               },
               step);
    if (body_out)
        *body_out = body;
    return html;
}

} // namespace printing
