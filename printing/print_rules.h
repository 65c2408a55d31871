#pragma once

// Rules shared by the printed documents: reading a template, its dpi variant, the ordered
// replacement passes, the running titles and the signature block. Nothing here touches a widget.

#include <QString>
#include <QVector>
#include <functional>

namespace printing
{

// Resource paths of the four templates.
extern const char *const card_template;
extern const char *const balance_template;
extern const char *const zaya_template;
extern const char *const soglash_template;

// The template's lines joined with nothing between them; empty (and a debug line) when it cannot be read.
QString load_template(const QString &path);

// Brings into force the larger style block that the desktop's logical dpi selects, by deleting its comment
// markers. Returns the dpi the document is then built for, print_dpi(desktop_dpi).
int apply_dpi_variant(QString &html, int desktop_dpi);
// Which block a dpi selects: 0 (the base style), 120, 144 or 192.
int dpi_variant(int dpi);
// The dpi a document is built and laid out for on a desktop of `desktop_dpi`: the nominal dpi of the block it
// selects (a 111-dpi desktop prints what a 120-dpi one does), or the desktop's own below the first block.
int print_dpi(int desktop_dpi);

// Replaces every occurrence of `placeholder`, searching on behind each inserted value.
// Returns the number of replacements.
int replace_every(QString &html, const QString &placeholder, const QString &value);

// One replacement pass and the progress steps made after it.
struct Pass {
    QString placeholder;
    QString value;
    int steps = 0;
};

// Runs the passes one after another, in order; each one sees what the earlier ones inserted.
// `step` is called once per progress step.
void run_passes(QString &html, const QVector<Pass> &passes, const std::function<void()> &step = {});

// A plain field value made safe for HTML: markup characters print as themselves.
QString escaped(const QString &plain);

// "версия программы " + major + ".20" + minor.
QString version_footer(int major, int minor);

// First letter of the first name, ".", first letter of the patronymic, ". ", surname.
QString initials(const QString &first_name, const QString &patronymic, const QString &surname);

// A person's block of items 2 and 3.
struct PersonValues {
    QString post;
    QString surname, first_name, patronymic;
    QString phone, extension, fax; // phone and fax as their masked fields show them
};

// What every document takes from the form besides its own values.
struct CommonValues {
    // The four running titles as complete HTML documents (upper left, upper right, lower left, lower right).
    QString up_left, up_right, down_left, down_right;
    QString fill_date; // dateZap as shown, dd.MM.yyyy
    PersonValues head;
    QString version; // the text of [Колонт5]
};

// The shared passes, each usable alone so that a document keeps its own order.
Pass title_pass(int number, const CommonValues &common, int steps = 0); // [Колонт1] .. [Колонт4]
Pass version_pass(const QString &version, int steps = 0);               // [Колонт5]
Pass date_pass(const CommonValues &common, int steps = 0);              // [Дата]
Pass head_post_pass(const CommonValues &common, int steps = 0);         // [Должность руководителя]
Pass initials_pass(const CommonValues &common, int steps = 0);          // [ФИО]

// Whitespace simplified: trimmed, every inner run (line breaks included) one blank.
QString simplified_name(const QString &plain);

} // namespace printing
