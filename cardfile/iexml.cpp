#include "cardfile/iexml.h"

#include "cardfile/card_lists.h"
#include "cardfile/card_texts.h"
#include "cardfile/password_list_reader.h"
#include "cardfile/settings_keys.h"
#include "cardfile/work_folders.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <iterator>
#include <limits>

int card_file_version = 0;

namespace
{

using card_text::tr_text;

// The elements of the main list, for the writer and the reader alike.
enum Condition { Always, IfReserving, IfStateBody, IfMobBody }; // when the writer writes it
enum Place { InOrg, InTraining };                               // R_aORG itself or its R_obuchenie record
enum Take { Latest, WhileEmpty };                               // a repeated element: the last, or the first with text

constexpr int version_slot = -1;                            // the element holds the format version
constexpr int never_read = std::numeric_limits<int>::max(); // the program refills the slot itself

struct CardElement {
    const char *name;
    int slot;
    Condition condition;
    int first_version; // the reader takes the element from cards of this version on
    Place place = InOrg;
    Take take = Latest;
};

// In the order the writer writes them.
const CardElement card_elements[] = {
    {"N_ver_quelt", version_slot, Always, 0},
    {"OGRN", card_slot::le_OGRN, Always, 0},
    {"_x2116_", card_slot::le_RegNo, Always, 0},
    {"Naim_org1", card_slot::te_orgname, Always, 0},
    {"Naim_org2", card_slot::te_orgname2, Always, 0},
    {"shtatvv", card_slot::checkBox_balance_voenshtat, Always, 0},
    {"OKATO", card_slot::le_okato, Always, 0},
    {"OKPO", card_slot::le_OKPO, Always, 0},
    {"OKOPF", card_slot::lineEdit_11, Always, 0},
    {"OKFS", card_slot::lineEdit_25, Always, 0},
    {"OKFS_txt", card_slot::lineEdit_24, Always, never_read},
    {"INN", card_slot::le_INN, Always, 0},
    {"KPP", card_slot::le_KPP, Always, 23},
    {"Date_INN", card_slot::dateINN, Always, 23},
    {"Adr_ruk2", card_slot::lineEdit_23, Always, 0},
    {"Adr_ruk3", card_slot::lineEdit_9, Always, 0},
    {"Adr_ruk5", card_slot::lineEdit_31, Always, 0},
    {"Dolg_ruk", card_slot::lineEdit, Always, 0},
    {"Fam_ruk", card_slot::le_FamRuk, Always, 0},
    {"Im_ruk", card_slot::le_ImRuk, Always, 0},
    {"Ot_ruk", card_slot::le_OtRuk, Always, 0},
    {"Tel_ruk1", card_slot::le_TelRuk, Always, 0},
    {"Tel_ruk_dob1", card_slot::le_DopRuk, Always, 1},
    {"Fax", card_slot::le_FaxRuk, Always, 0},
    {"Fax_vur", card_slot::le_FaxVur, Always, 0},
    {"Adr_reg1", card_slot::lineEdit_46, Always, 4},
    {"Adr_reg6", card_slot::lineEdit_21, Always, 0},
    {"Adr_reg3", card_slot::lineEdit_8, Always, 0},
    {"Adr_reg5", card_slot::lineEdit_18, Always, 0},
    {"Adr_p1", card_slot::lineEdit_29, Always, 0},
    {"Adr_p3", card_slot::lineEdit_37, Always, 0},
    {"Adr_p4", card_slot::lineEdit_34, Always, 0},
    {"Adr_p5", card_slot::lineEdit_35, Always, 0},
    {"Org_first", card_slot::lineEdit_36, Always, 0},
    {"e_mail", card_slot::lineEdit_10, Always, 0},
    {"Dolg_vur", card_slot::le_DolgVur, Always, 0},
    {"Fam_vur", card_slot::le_FamVur, Always, 0},
    {"Im_vur", card_slot::le_ImVur, Always, 0},
    {"Ot_vur", card_slot::le_OtVur, Always, 0},
    {"Tel_vur", card_slot::le_TelVur, Always, 0},
    {"Tel_vur_dob", card_slot::le_DopVur, Always, 1},
    {"Kol_rab", card_slot::sb_f6_all, Always, 0},
    {"Kol_ofic", card_slot::sb_f6_of, Always, 0},
    {"Kol_PMSS", card_slot::sb_f6_neof, Always, 0},
    {"Kol_MP", card_slot::sb_f6_mp, Always, 0, InOrg, WhileEmpty},
    {"Kol_priziv", card_slot::sb_f6_priziv, Always, 0},
    {"AB", card_slot::cb_kat_b, Always, 0},
    {"Kol_SM", card_slot::sb_f6_bron_of, IfReserving, 25},
    {"Kol_neSM", card_slot::sb_f6_bron_neof, IfReserving, 25},
    {"NPA_doc", card_slot::NPA_doc, IfReserving, 23},
    {"NPA_no", card_slot::NPA_no, IfReserving, 23},
    {"NPA_date", card_slot::NPA_date, IfReserving, 23},
    {"VK_org", card_slot::VK_org, IfReserving, 23},
    {"Dop_inf", card_slot::te_dopinfo, Always, 0},
    {"Date_vvod", card_slot::dateZap, Always, 0},
    {"Mesto_reg", card_slot::Mesto_reg, Always, 0},
    {"Sphere_ved", card_slot::cb_sf_ved, Always, never_read},
    {"Org_upr", card_slot::cb_OGV, Always, 0},
    {"OKOGU", card_slot::OKOGU_le, IfStateBody, 23},
    {"Kol_vredn", card_slot::sb_kol_vred, Always, 3},
    {"Kol_vredn_opasn", card_slot::sb_kol_opas, Always, 3},
    {"kolont1", card_slot::te_up_l, Always, 4},
    {"kolont2", card_slot::te_up_r, Always, 4},
    {"kolont3", card_slot::te_down_l, Always, 4},
    {"kolont4", card_slot::te_down_r, Always, 4},
    {"mob_yes", card_slot::cb_MobOrgan, Always, 10},
    {"vur_in_mob", card_slot::cb_MobOrgan_2, IfMobBody, 10},
    {"Dolg_nkp", card_slot::DolgRukMO, IfMobBody, 10},
    {"Fam_nkp", card_slot::FamRukMO, IfMobBody, 10},
    {"Im_nkp", card_slot::ImRukMO, IfMobBody, 10},
    {"Ot_nkp", card_slot::OtRukMO, IfMobBody, 10},
    {"Tel_nkp", card_slot::TelRukMO, IfMobBody, 10},
    {"Tel_nkp_dob", card_slot::DopRukMO, IfMobBody, 10},
    {"fax_nkp", card_slot::FaxRukMO, IfMobBody, 10},
    {"ob_ruk", card_slot::ob_ruk, IfReserving, 25, InTraining},
    {"ob_ruk_date", card_slot::ob_ruk_date, IfReserving, 25, InTraining},
    {"ob_ruk_gou", card_slot::ob_ruk_gou, IfReserving, 25, InTraining},
    {"ob_vur", card_slot::ob_vur, IfReserving, 25, InTraining},
    {"ob_vur_date", card_slot::ob_vur_date, IfReserving, 25, InTraining},
    {"ob_vur_gou", card_slot::ob_vur_gou, IfReserving, 25, InTraining},
    {"ob_mob", card_slot::ob_mob, IfReserving, 25, InTraining},
    {"ob_mob_date", card_slot::ob_mob_date, IfReserving, 25, InTraining},
    {"ob_mob_gou", card_slot::ob_mob_gou, IfReserving, 25, InTraining},
};

// OKVED sections by the code's first two digits; any other beginning is section "C".
struct OkvedSection {
    const char *prefixes; // two-digit prefixes, run together
    const char *section;
};

const OkvedSection okved_sections[] = {
    {"010203", "A"}, {"0506070809", "B"},     {"35", "D"},           {"36373839", "E"},     {"414243", "F"},
    {"454647", "G"}, {"4950515253", "H"},     {"5556", "I"},         {"585960616263", "J"}, {"646566", "K"},
    {"68", "L"},     {"69707172737475", "M"}, {"777879808182", "N"}, {"84", "O"},           {"85", "P"},
    {"868788", "Q"}, {"90919293", "R"},       {"949596", "S"},       {"9798", "T"},         {"99", "U"},
};

const char *const balance_elements[] = {"kol_shtat",  "Naim_kat",   "Kod_spec", "Kod_faset",    "Kol_all",
                                        "Kol_ub_mob", "Kol_trbron", "Kol_treb", "kol_dob_vnut", "Kol_treb_mir"};
const char *const bron_elements[] = {"Kod_pdp", "Kod_dolg", "Dolgn", "SN", "FIO"};
const char *const nebron_elements[] = {"kol_nebron", "Povod", "Dop_sved"};

const char *const main_okved_kind = "Осн";
const char *const extra_okved_kind = "Доп";
const char *const okved_separator = ", ";

using card_lists::to_int;
using card_lists::value_at;

QString okved_section(const QString &code)
{
    const QString prefix = code.left(2);
    if (prefix.size() == 2) {
        for (const OkvedSection &s : okved_sections) {
            const QString prefixes = QString::fromLatin1(s.prefixes);
            for (int i = 0; i + 1 < prefixes.size(); i += 2) {
                if (prefixes.midRef(i, 2) == prefix)
                    return QString::fromLatin1(s.section);
            }
        }
    }
    return QStringLiteral("C");
}

// Builds the card document as a tree.
class DocumentBuilder
{
public:
    using Node = QDomElement;

    explicit DocumentBuilder(QDomDocument &document) : doc(document) {}

    Node start()
    {
        doc.appendChild(doc.createProcessingInstruction("xml", "version = \"1.0\" encoding=\"UTF-8\""));
        QDomElement dataroot = doc.createElement("dataroot");
        doc.appendChild(dataroot);
        QDomElement org = doc.createElement("R_aORG");
        dataroot.appendChild(org);
        return org;
    }

    void add(Node &parent, const char *name, const QString &text)
    {
        QDomElement element = doc.createElement(QLatin1String(name));
        element.appendChild(doc.createTextNode(iexml::xml_safe(text)));
        parent.appendChild(element);
    }

    Node add_record(Node &parent, const char *name)
    {
        QDomElement element = doc.createElement(QLatin1String(name));
        parent.appendChild(element);
        return element;
    }

    void finish() {}

private:
    QDomDocument &doc;
};

// Writes the same document straight as text, byte for byte as the tree saved with indentation 1
// would be: elements come in document order, so a record is closed when its parent takes the next one.
class TextBuilder
{
public:
    using Node = int; // depth

    explicit TextBuilder(QString &text) : out(text) {}

    Node start()
    {
        out += QLatin1String("<?xml version = \"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n <R_aORG>\n");
        open = {"dataroot", "R_aORG"};
        return 1;
    }

    void add(Node parent, const char *name, const QString &text)
    {
        close_below(parent);
        indent(parent + 1);
        out += '<';
        out += QLatin1String(name);
        out += '>';
        append_escaped(iexml::xml_safe(text));
        out += QLatin1String("</");
        out += QLatin1String(name);
        out += QLatin1String(">\n");
    }

    Node add_record(Node parent, const char *name)
    {
        close_below(parent);
        indent(parent + 1);
        out += '<';
        out += QLatin1String(name);
        out += QLatin1String(">\n");
        open.append(name);
        return parent + 1;
    }

    void finish() { close_below(-1); }

private:
    void indent(int depth) { out += QString(depth, ' '); }

    void close_below(int depth)
    {
        while (open.size() - 1 > depth) {
            indent(open.size() - 1);
            out += QLatin1String("</");
            out += QLatin1String(open.takeLast());
            out += QLatin1String(">\n");
        }
    }

    // As the tree escapes a text node inside an element.
    void append_escaped(const QString &text)
    {
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == '<')
                out += QLatin1String("&lt;");
            else if (c == '&')
                out += QLatin1String("&amp;");
            else if (c == '>' && i >= 2 && text.at(i - 1) == ']' && text.at(i - 2) == ']')
                out += QLatin1String("&gt;");
            else if (c == '\r')
                out += QLatin1String("&#xd;");
            else
                out += c;
        }
    }

    QString &out;
    QVector<const char *> open;
};

} // namespace

QString CardMessage::style_sheet() const
{
    return styled ? QString::fromUtf8(card_text::message_style).arg(card_text::message_font_px) : QString();
}

iexml::iexml(QObject *parent) : QObject(parent), password_list_path(password_list_resource) {}

QString iexml::error_text() const
{
    for (int i = card_messages.size() - 1; i >= 0; --i) {
        if (card_messages.at(i).icon != CardMessage::Information)
            return card_messages.at(i).text;
    }
    return QString();
}

QString iexml::old_password_progress_title()
{
    return tr_text(card_text::title_old_password_progress);
}

QString iexml::old_password_progress_text(int attempt, int count)
{
    return tr_text(card_text::text_old_password_progress) + QString::number(attempt) + "/" + QString::number(count);
}

QString iexml::xml_safe(const QString &text)
{
    // Most values hold nothing to drop: they are shared, not copied.
    const auto plain = [](QChar c) {
        const ushort u = c.unicode();
        return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u < 0xD800) || (u >= 0xE000 && u <= 0xFFFD);
    };
    if (std::all_of(text.cbegin(), text.cend(), plain))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        const bool allowed =
            u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD);
        if (allowed)
            out += c;
    }
    return out;
}

void iexml::add_message(CardMessage::Icon icon, const QString &title, const QString &text, bool styled)
{
    CardMessage message;
    message.icon = icon;
    message.title = title;
    message.text = text;
    message.styled = styled;
    card_messages.append(message);
}

void iexml::add_read_error()
{
    add_message(CardMessage::Critical, tr_text(card_text::title_error),
                tr_text(card_text::text_read_error) + QDir::tempPath() + tr_text(card_text::text_read_error_tail));
}

void iexml::clear_lists()
{
    card_values.clear();
    balance_rows.clear();
    bron_rows.clear();
    nebron_rows.clear();
}

// ---- Writer ----

namespace
{

template <class Builder>
void build_card_document(Builder &b, const QVector<QString> &card_values, const QVector<QString> &balance_rows,
                         const QVector<QString> &bron_rows, const QVector<QString> &nebron_rows, int &okved_counter,
                         int &row_counter)
{
    typename Builder::Node org = b.start();

    const auto slot = card_lists::slot_reader(card_values);
    const bool reserving = card_lists::reserving(card_values);
    const bool state_body = card_lists::state_body(card_values);
    const bool mob_body = card_lists::mob_body(card_values);
    const QString ogrn = slot(card_slot::le_OGRN);

    const auto written = [&](Condition c) {
        return c == Always || (c == IfReserving && reserving) || (c == IfStateBody && state_body) ||
               (c == IfMobBody && mob_body);
    };
    const auto add_elements = [&](typename Builder::Node &parent, Place place) {
        for (const CardElement &e : card_elements) {
            if (e.place != place || !written(e.condition))
                continue;
            if (e.slot == version_slot)
                b.add(parent, e.name, QString::number(card_format_version));
            else if (e.slot == card_slot::le_OGRN && ogrn == "0")
                b.add(parent, e.name, slot(card_slot::le_INN));
            else
                b.add(parent, e.name, slot(e.slot));
        }
    };
    add_elements(org, InOrg);

    // OKVED: the main code, then the additional ones in their order.
    const QString main_code = slot(card_slot::le_osn_ved);
    auto ved = b.add_record(org, "R_aOrg_Ved");
    b.add(ved, "ogrn", ogrn);
    b.add(ved, "N", QString::fromUtf8(main_okved_kind));
    b.add(ved, "okved", main_code);
    b.add(ved, "OK_razdel", main_code.isEmpty() ? QString() : okved_section(main_code));
    const QStringList extra_codes = slot(card_slot::le_dop_ved).split(okved_separator, Qt::SkipEmptyParts);
    for (okved_counter = 0; okved_counter < extra_codes.size(); ++okved_counter) {
        const QString &code = extra_codes.at(okved_counter);
        auto extra = b.add_record(org, "R_aOrg_Ved");
        b.add(extra, "ogrn", ogrn);
        b.add(extra, "N", QString::fromUtf8(extra_okved_kind));
        b.add(extra, "okved", code);
        b.add(extra, "OK_razdel", okved_section(code));
    }

    if (reserving) {
        auto training = b.add_record(org, "R_obuchenie");
        b.add(training, "GRN", ogrn);
        add_elements(training, InTraining);
    }

    // Row blocks: the count comes from its slot; rows beyond the list's end are not written.
    const auto add_rows = [&](int count_slot, const char *count_name, const QVector<QString> &rows, int row_size,
                              const char *record_name, const char *key_name, const char *const *names) {
        const int count = to_int(slot(count_slot));
        if (count <= 0)
            return;
        b.add(org, count_name, slot(count_slot));
        const int available = (rows.size() + row_size - 1) / row_size;
        for (row_counter = 0; row_counter < count && row_counter < available; ++row_counter) {
            auto record = b.add_record(org, record_name);
            b.add(record, key_name, ogrn);
            for (int k = 0; k < row_size; ++k)
                b.add(record, names[k], value_at(rows, row_counter * row_size + k));
        }
    };
    add_rows(card_slot::balance_row_count, "balance_str", balance_rows, card_lists::balance_row_size, "R_aorg_tr",
             "OGRN_TR", balance_elements);
    if (to_int(slot(card_slot::bron_row_count)) > 0)
        qDebug().noquote() << "bron_strok=" << slot(card_slot::bron_row_count);
    add_rows(card_slot::bron_row_count, "bron_strok", bron_rows, card_lists::bron_row_size, "R_GPZ_bron", "ogrn_real",
             bron_elements);
    add_rows(card_slot::nebron_row_count, "nebron_strok", nebron_rows, card_lists::nebron_row_size, "R_GPZ_nebron",
             "ogrn_real", nebron_elements);
    b.finish();
}

} // namespace

QDomDocument iexml::write_card_xml(QVector<QString> card_values, QVector<QString> balance_rows,
                                   QVector<QString> bron_rows, QVector<QString> nebron_rows)
{
    QDomDocument doc;
    DocumentBuilder b(doc);
    build_card_document(b, card_values, balance_rows, bron_rows, nebron_rows, okved_counter, row_counter);
    return doc;
}

QByteArray iexml::card_xml_bytes(const QVector<QString> &card_values, const QVector<QString> &balance_rows,
                                 const QVector<QString> &bron_rows, const QVector<QString> &nebron_rows)
{
    QString text;
    text.reserve(4096 + 60 * (balance_rows.size() + bron_rows.size() + nebron_rows.size()));
    TextBuilder b(text);
    build_card_document(b, card_values, balance_rows, bron_rows, nebron_rows, okved_counter, row_counter);
    return text.toUtf8();
}

QByteArray iexml::card_xml_text(const QDomDocument &document)
{
    // Written as text and encoded once: a stream with a codec asks it about every character.
    return document.toString(1).toUtf8();
}

// ---- Reader ----

namespace
{

// What the reader does with an element, by its name.
enum class Role { none, version, main_slot, okved_kind, okved, row_count, oficer_b, balance, bron, nebron };

struct ElementRole {
    Role role = Role::none;
    int index = 0; // main_slot: into card_elements; row_count: 0 balance, 1 bron, 2 nebron
};

const QHash<QString, ElementRole> &element_roles()
{
    static const QHash<QString, ElementRole> roles = [] {
        QHash<QString, ElementRole> r;
        for (const char *name : nebron_elements)
            r.insert(QLatin1String(name), {Role::nebron, 0});
        for (const char *name : bron_elements)
            r.insert(QLatin1String(name), {Role::bron, 0});
        for (const char *name : balance_elements)
            r.insert(QLatin1String(name), {Role::balance, 0});
        r.insert("oficer_b", {Role::oficer_b, 0});
        r.insert("balance_str", {Role::row_count, 0});
        r.insert("bron_strok", {Role::row_count, 1});
        r.insert("nebron_strok", {Role::row_count, 2});
        r.insert("okved", {Role::okved, 0});
        r.insert("N", {Role::okved_kind, 0});
        for (int i = 0; i < int(std::size(card_elements)); ++i) {
            const CardElement &e = card_elements[i];
            if (e.slot == version_slot)
                r.insert(QLatin1String(e.name), {Role::version, 0});
            else if (e.first_version != never_read)
                r.insert(QLatin1String(e.name), {Role::main_slot, i});
        }
        return r;
    }();
    return roles;
}

// An element's own text: its text and CDATA children up to its first child element, never its
// descendants' (as the stream reader takes it, before it reads on).
QString own_text(const QDomElement &element)
{
    QString text;
    for (QDomNode child = element.firstChild(); !child.isNull() && !child.isElement(); child = child.nextSibling()) {
        if (child.isText() || child.isCDATASection())
            text += child.toCharacterData().data();
    }
    return text;
}

} // namespace

QVector<QString> iexml::parse_card(const QDomDocument &document, int kind)
{
    if (kind == 2)
        return balance_rows;
    if (kind == 3)
        return bron_rows;
    if (kind != 1)
        return nebron_rows;

    begin_card_read();
    // Depth first, in document order, without recursion: the file decides the depth.
    const QDomElement root = document.documentElement();
    int depth = 2;
    bool sound = true;
    for (QDomNode node = root.firstChild(); sound && !node.isNull();) {
        if (node.isElement()) {
            sound = depth <= max_card_depth && read_card_element(node.nodeName(), own_text(node.toElement()));
            if (sound && !node.firstChild().isNull()) {
                node = node.firstChild();
                ++depth;
                continue;
            }
        }
        while (node.nextSibling().isNull() && depth > 2) {
            node = node.parentNode();
            --depth;
        }
        node = node.nextSibling();
    }
    if (!sound) {
        clear_lists();
        add_read_error();
    }
    return card_values;
}

void iexml::begin_card_read()
{
    card_file_version = 0;
    card_values = QVector<QString>(card_lists::read_main_size);
    for (int s : {card_slot::dateZap, card_slot::ob_ruk_date, card_slot::ob_vur_date, card_slot::ob_mob_date,
                  card_slot::dateINN, card_slot::NPA_date})
        card_values[s] = QStringLiteral("2000-01-01");
    balance_rows.clear();
    bron_rows.clear();
    nebron_rows.clear();
}

bool iexml::read_card_element(const QString &tag, const QString &text)
{
    const ElementRole role = element_roles().value(tag);
    const int version = card_file_version;

    switch (role.role) {
    case Role::none:
        return true;
    case Role::version:
        card_file_version = to_int(text);
        return true;
    case Role::main_slot: {
        const CardElement &e = card_elements[role.index];
        if (version >= e.first_version && (e.take == Latest || card_values[e.slot].isEmpty()))
            card_values[e.slot] = text;
        return true;
    }
    case Role::okved_kind:
        if (version >= 1 && (text == QString::fromUtf8(main_okved_kind) || text == QString::fromUtf8(extra_okved_kind)))
            okved_record_kind = text;
        return true;
    case Role::okved:
        if (version < 1)
            return true;
        if (okved_record_kind == QString::fromUtf8(main_okved_kind)) {
            card_values[card_slot::le_osn_ved] = text;
        } else if (okved_record_kind == QString::fromUtf8(extra_okved_kind)) {
            QString &extra = card_values[card_slot::le_dop_ved];
            if (!extra.isEmpty())
                extra += okved_separator;
            extra += text;
        }
        return true;
    case Role::row_count: {
        static const int targets[] = {card_slot::balance_row_count, card_slot::bron_row_count,
                                      card_slot::nebron_row_count};
        static const int limits[] = {max_balance_rows, max_reservation_rows, max_reservation_rows};
        if (version < (role.index == 0 ? 5 : 7))
            return true;
        // A count far beyond any organisation's is a damaged or crafted card.
        if (to_int(text) > limits[role.index])
            return false;
        card_values[targets[role.index]] = text;
        return true;
    }
    case Role::oficer_b:
        if (version <= 24) {
            QString &figure = card_values[card_slot::sb_f6_bron_of];
            figure = QString::number(to_int(figure) + to_int(text));
        }
        return true;
    case Role::balance:
        return read_balance_value(tag, text);
    case Role::bron:
        return read_reservation_value(bron_rows, card_slot::bron_row_count, card_lists::bron_row_size, text);
    case Role::nebron:
        return read_reservation_value(nebron_rows, card_slot::nebron_row_count, card_lists::nebron_row_size, text);
    }
    return true;
}

bool iexml::read_reservation_value(QVector<QString> &rows, int count_slot, int row_size, const QString &text)
{
    if (card_file_version < 7 || to_int(card_values[count_slot]) <= 0)
        return true;
    if (rows.size() >= max_reservation_rows * row_size)
        return false;
    rows << text;
    return true;
}

bool iexml::read_balance_value(const QString &tag, const QString &text)
{
    const int version = card_file_version;
    if (version < 5 || to_int(card_values[card_slot::balance_row_count]) <= 0)
        return true;
    if (balance_rows.size() >= max_balance_rows * card_lists::balance_row_size)
        return false;
    const int position =
        int(std::find(std::begin(balance_elements), std::end(balance_elements), tag) - std::begin(balance_elements));
    balance_rows << balance::widened_stored_values(version, position, text);
    return true;
}

bool iexml::read_card_document(const QByteArray &xml)
{
    card_messages.clear();
    const auto refuse = [this] {
        clear_lists();
        add_read_error();
        return false;
    };
    if (xml.isEmpty() || xml.size() > max_member_size)
        return refuse();

    // Read as a stream: an element is taken when its first child element begins or, for a leaf,
    // when it ends, so parents come before their children as in the document.
    struct Open {
        QString tag;
        QString text;
        bool taken = false;
    };
    QVector<Open> open;
    open.reserve(max_card_depth);
    bool root_seen = false;
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    begin_card_read();
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!open.isEmpty() && !open.last().taken) {
                open.last().taken = true;
                if (open.size() > 1 && !read_card_element(open.last().tag, open.last().text))
                    return refuse();
                open.last().text.clear();
            }
            if (open.size() >= max_card_depth)
                return refuse();
            root_seen = true;
            open.append({reader.qualifiedName().toString(), QString(), false});
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty() && !open.last().taken)
                open.last().text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (open.isEmpty())
                return refuse();
            // The root is the document itself, never a value.
            if (!open.last().taken && open.size() > 1 && !read_card_element(open.last().tag, open.last().text))
                return refuse();
            open.removeLast();
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !root_seen)
        return refuse();
    return true;
}

bool iexml::read_card_document(QIODevice *device)
{
    if (!device || !device->isReadable()) {
        card_messages.clear();
        clear_lists();
        add_read_error();
        return false;
    }
    // One byte past the limit is enough to know the document is too long.
    return read_card_document(device->read(max_member_size + 1));
}

// ---- Archive ----

bool iexml::save_card(QVector<QString> card_values, QVector<QString> balance_rows, QVector<QString> bron_rows,
                      QVector<QString> nebron_rows, QString path, QString xml_name)
{
    card_messages.clear();
    last_saved_path.clear();
    const QString error_title = tr_text(card_text::title_error);

    if (!path.endsWith(".quelt"))
        path += ".quelt";
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    const auto document_failure = [&](const QString &where) {
        add_message(CardMessage::Critical, error_title, card_text::not_created_text(where));
        return false;
    };
    const auto save_failure = [&] {
        add_message(CardMessage::Warning, error_title, tr_text(card_text::text_save_failed));
        return false;
    };

    if (!card_archiver.found()) {
        add_message(CardMessage::Critical, error_title, tr_text(card_text::text_archiver_missing));
        return false;
    }
    if (xml_name.isEmpty() || xml_name.contains('/') || xml_name == "." || xml_name == "..")
        return document_failure(folder + "/");
    // The reader refuses such a member: a card is never written that could not be opened.
    if (refused_member_name(xml_name)) {
        add_message(CardMessage::Critical, tr_text(card_text::title_bad_name), tr_text(card_text::text_bad_name),
                    false);
        return false;
    }

    PasswordListReader passwords;
    if (!passwords.load(password_list_path))
        qWarning("Password list %s did not read", qPrintable(password_list_path));
    if (!Archiver::password_usable(passwords.current_password))
        return save_failure();

    // The plain document lives only in a private folder of its own.
    QTemporaryDir plain(work_folder_template("save"));
    if (!plain.isValid())
        return document_failure(QDir::tempPath() + "/");
    const QString document_path = plain.path() + "/" + xml_name;
    {
        QFile file(document_path);
        if (!file.open(QIODevice::WriteOnly))
            return document_failure(QDir::tempPath() + "/");
        const QByteArray text = card_xml_bytes(card_values, balance_rows, bron_rows, nebron_rows);
        if (file.write(text) != text.size() || !file.flush()) {
            file.close();
            return document_failure(QDir::tempPath() + "/");
        }
        file.close();
    }

    switch (card_archiver.pack_and_replace(path, document_path, passwords.current_password)) {
    case Archiver::Outcome::done:
        break;
    case Archiver::Outcome::target_not_writable:
        add_message(CardMessage::Critical, error_title,
                    tr_text(card_text::text_read_only) + path + tr_text(card_text::text_read_only_tail));
        return false;
    case Archiver::Outcome::no_staging:
        return document_failure(folder + "/");
    default:
        return save_failure();
    }

    QSettings(app_settings::organisation, app_settings::application)
        .setValue(app_settings::oldset, app_settings::oldset_card_saved);
    last_saved_path = path;
    add_message(CardMessage::Information, tr_text(card_text::title_success),
                tr_text(card_text::text_saved) + path + tr_text(card_text::text_saved_tail));
    return true;
}

bool iexml::refused_member_name(const QString &name)
{
    const QString bare = name.mid(name.lastIndexOf('/') + 1);
    return bare.startsWith('+') || bare.startsWith('-');
}

QByteArray iexml::read_member(const QString &folder, bool *ok)
{
    *ok = false;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (entries.size() != 1 || entries.first().isSymLink() || !entries.first().isFile() ||
        entries.first().size() > max_member_size)
        return QByteArray();
    QFile file(entries.first().absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = file.read(max_member_size + 1);
    *ok = bytes.size() <= max_member_size && file.error() == QFileDevice::NoError;
    return *ok ? bytes : QByteArray();
}

// Nothing is unpacked before the listing shows one plain member of a card's size.
bool iexml::card_member_acceptable(const QString &path, const PasswordListReader &passwords, const QString &folder)
{
    QVector<QString> all_passwords = passwords.old_passwords;
    all_passwords.prepend(passwords.current_password);
    QVector<ArchiveMember> members;
    int code = -1;
    for (int i = 0; code != 0 && i < all_passwords.size(); ++i)
        code = card_archiver.list(path, all_passwords.at(i), &members);
    if (code != 0 || members.isEmpty()) {
        add_read_error();
        return false;
    }
    if (members.size() > 1) {
        add_message(CardMessage::Information, tr_text(card_text::title_10002), tr_text(card_text::text_10002) + folder,
                    false);
        return false;
    }
    const ArchiveMember &member = members.first();
    if (refused_member_name(member.path)) {
        add_message(CardMessage::Critical, tr_text(card_text::title_10003),
                    tr_text(card_text::text_10003) + "\n" + tr_text(card_text::text_10003_contact) +
                        QString::fromUtf8(card_text::developer_contact),
                    false);
        return false;
    }
    if (!member.regular() || member.size < 0 || member.size > max_member_size) {
        add_read_error();
        return false;
    }
    return true;
}

QVector<QString> iexml::open_card(const QString &path)
{
    if (path == "Getbalance")
        return balance_rows;
    if (path == "Getbron")
        return bron_rows;
    if (path == "Getnebron")
        return nebron_rows;

    card_messages.clear();
    clear_lists();
    PasswordListReader passwords;
    if (!passwords.load(password_list_path))
        qWarning("Password list %s did not read", qPrintable(password_list_path));

    if (!card_archiver.found()) {
        add_message(CardMessage::Critical, tr_text(card_text::title_error), tr_text(card_text::text_archiver_missing));
        return card_values;
    }
    if (!QFileInfo(path).isFile()) {
        add_read_error();
        return card_values;
    }
    // Every attempt unpacks into a fresh folder inside one private (owner-only) folder,
    // which goes away on every path out of here.
    QTemporaryDir work(work_folder_template("open"));
    if (!work.isValid()) {
        add_read_error();
        return card_values;
    }
    QFile::setPermissions(work.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QString folder = work.path() + "/0";
    if (!card_member_acceptable(path, passwords, folder))
        return card_values;

    int attempt_number = 0;
    const auto attempt = [&](const QString &password) {
        folder = work.path() + "/" + QString::number(attempt_number++);
        QDir().mkpath(folder);
        return card_archiver.extract(path, folder, password);
    };
    int code = attempt(passwords.current_password);
    const int old_count = passwords.old_passwords.size();
    for (int i = 0; code != 0 && i < old_count; ++i) {
        if (old_password_progress)
            old_password_progress(i, old_count, old_password_progress_text(i, old_count));
        code = attempt(passwords.old_passwords.at(i));
    }
    if (code != 0) {
        add_read_error();
        return card_values;
    }

    bool read = false;
    const QByteArray xml = read_member(folder, &read);
    // The plain text goes before it is parsed.
    work.remove();
    if (!read) {
        add_read_error();
        return card_values;
    }
    if (!read_card_document(xml))
        return card_values;
    if (card_file_version == 0)
        add_message(CardMessage::Information, tr_text(card_text::title_notice), tr_text(card_text::text_old_version));
    return card_values;
}
