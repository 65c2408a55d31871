#include "stored_workbook.h"
#include "workbook_readers.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QVector>
#include <QXmlStreamReader>

namespace
{

// One member of the package, read through a counter that stops at the size limit whatever the zip header
// claims, so a zip bomb is cut off instead of inflated.
class MemberDevice : public QIODevice
{
public:
    explicit MemberDevice(QuaZip *zip) : zip_(zip), file_(zip) {}
    ~MemberDevice() override
    {
        if (file_.isOpen())
            file_.close();
    }

    bool open_member(const QString &name, QString *error)
    {
        if (!zip_->setCurrentFile(name, QuaZip::csInsensitive)) {
            *error = QStringLiteral("missing part %1").arg(name);
            return false;
        }
        QuaZipFileInfo64 info;
        if (zip_->getCurrentFileInfo(&info) && info.uncompressedSize > workbook_limits::max_member_bytes) {
            *error = QStringLiteral("part %1 too large").arg(name);
            return false;
        }
        if (!file_.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read part %1").arg(name);
            return false;
        }
        name_ = name;
        return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    // Closes the member; false when it was cut off, damaged or failed its checksum.
    bool finish(QString *error)
    {
        const bool read_all = !overflow_ && !failed_;
        if (file_.isOpen())
            file_.close();
        QIODevice::close();
        if (overflow_) {
            *error = QStringLiteral("part %1 too large").arg(name_);
            return false;
        }
        if (!read_all || file_.getZipError() != UNZ_OK) {
            *error = QStringLiteral("damaged part %1").arg(name_);
            return false;
        }
        return true;
    }
    bool cut_off() const { return overflow_ || failed_; }
    qint64 bytes_read() const { return total_; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (overflow_ || failed_)
            return -1;
        const qint64 n = file_.read(data, max);
        if (n < 0) {
            failed_ = true;
            return -1;
        }
        total_ += n;
        if (total_ > workbook_limits::max_member_bytes) {
            overflow_ = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QuaZip *zip_;
    QuaZipFile file_;
    QString name_;
    qint64 total_ = 0;
    bool overflow_ = false;
    bool failed_ = false;
};

struct Relationship {
    QString type;
    QString target; // resolved part name, empty when it leaves the package
};

// A relationship target as a part name: relative to the source part's folder, or absolute from the package root.
QString resolve_target(const QString &source_dir, const QString &target)
{
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path = source_dir + path;
    QStringList parts;
    for (const QString &segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (parts.isEmpty())
                return {};
            parts.removeLast();
        } else {
            parts << segment;
        }
    }
    return parts.join(QLatin1Char('/'));
}

QString folder_of(const QString &part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

bool type_is(const QString &type, const char *suffix)
{
    return type.endsWith(QLatin1Char('/') + QLatin1String(suffix));
}

// Text from the file with the _xHHHH_ escapes of control characters decoded.
QString unescape(QString text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    int last = 0;
    auto it = escape.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(last, m.capturedStart() - last);
        out += QChar(static_cast<ushort>(m.captured(1).toUShort(nullptr, 16)));
        last = m.capturedEnd();
    }
    out += text.midRef(last);
    return out;
}

// Text of a string item (<si> or <is>): its <t> and the <t> of its rich-text runs joined, phonetic hints left out.
// The reader stands on the item's start element and ends on its end element.
QString read_string_item(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("t"))
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == QLatin1String("rPh"))
                xml.skipCurrentElement();
            else
                ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return unescape(text);
}

// A1-style reference to 1-based row and column; false when it is malformed or past the sheet's edge.
bool parse_reference(const QStringRef &ref, int *row, int *column)
{
    int i = 0;
    qint64 c = 0;
    qint64 r = 0;
    const int n = ref.size();
    while (i < n && ref.at(i).isLetter()) {
        const ushort u = ref.at(i).toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return false;
        c = c * 26 + (u - 'A' + 1);
        if (c > workbook_limits::xlsx_max_columns)
            return false;
        ++i;
    }
    if (i == 0 || i == n)
        return false;
    for (; i < n; ++i) {
        const ushort u = ref.at(i).unicode();
        if (u < '0' || u > '9')
            return false;
        r = r * 10 + (u - '0');
        if (r > workbook_limits::xlsx_max_rows)
            return false;
    }
    if (r < 1)
        return false;
    *row = static_cast<int>(r);
    *column = static_cast<int>(c);
    return true;
}

class XlsxReader
{
public:
    XlsxReader(const QString &path, StoredWorkbook *book) : zip_(path), book_(book) {}

    bool read(QString *error)
    {
        if (!zip_.open(QuaZip::mdUnzip)) {
            *error = QStringLiteral("damaged zip or not a workbook");
            return false;
        }
        QString workbook_part = QStringLiteral("xl/workbook.xml");
        QVector<QPair<QString, Relationship>> package_rels;
        if (zip_.setCurrentFile(QStringLiteral("_rels/.rels"), QuaZip::csInsensitive)) {
            if (!read_relationships(QStringLiteral("_rels/.rels"), QString(), &package_rels, error))
                return false;
            for (const auto &rel : package_rels)
                if (type_is(rel.second.type, "officeDocument") && !rel.second.target.isEmpty())
                    workbook_part = rel.second.target;
        }
        if (!zip_.setCurrentFile(workbook_part, QuaZip::csInsensitive)) {
            *error = QStringLiteral("not a workbook: no %1").arg(workbook_part);
            return false;
        }
        QVector<QPair<QString, QString>> sheets; // name, relationship id
        if (!read_workbook(workbook_part, &sheets, error))
            return false;

        const QString dir = folder_of(workbook_part);
        const QString rels_part =
            dir + QStringLiteral("_rels/") + workbook_part.mid(dir.size()) + QStringLiteral(".rels");
        QVector<QPair<QString, Relationship>> rels;
        if (zip_.setCurrentFile(rels_part, QuaZip::csInsensitive) && !read_relationships(rels_part, dir, &rels, error))
            return false;
        QHash<QString, Relationship> by_id;
        for (const auto &rel : rels) {
            by_id.insert(rel.first, rel.second);
            if (type_is(rel.second.type, "sharedStrings") && !rel.second.target.isEmpty() &&
                !read_shared_strings(rel.second.target, error))
                return false;
            if (type_is(rel.second.type, "styles") && !rel.second.target.isEmpty() &&
                !read_styles(rel.second.target, error))
                return false;
        }
        for (const auto &sheet : sheets) {
            const auto rel = by_id.constFind(sheet.second);
            // Chart sheets, macro sheets and dialog sheets are not worksheets.
            if (rel == by_id.constEnd() || !type_is(rel->type, "worksheet") || rel->target.isEmpty())
                continue;
            book_->add_sheet(sheet.first);
            if (!read_sheet(rel->target, error))
                return false;
            book_->finish_sheet();
        }
        return true;
    }

private:
    // Runs parse over a member's XML and checks that both the member and the XML were whole.
    // Each part is read once (sheets sharing one part would multiply the work), and all of them together stay
    // within a budget.
    template <typename Parse> bool read_part(const QString &part, QString *error, Parse parse)
    {
        const QString key = part.toLower();
        if (parts_read_.contains(key)) {
            *error = QStringLiteral("part %1 used twice").arg(part);
            return false;
        }
        parts_read_.insert(key);
        MemberDevice member(&zip_);
        if (!member.open_member(part, error))
            return false;
        QXmlStreamReader xml(&member);
        const bool parsed = parse(xml);
        inflated_ += member.bytes_read();
        if (inflated_ > workbook_limits::max_workbook_bytes) {
            *error = QStringLiteral("workbook too large");
            return false;
        }
        if (member.cut_off()) {
            member.finish(error);
            return false;
        }
        if (!parsed || xml.hasError()) {
            if (error->isEmpty())
                *error = QStringLiteral("damaged part %1: %2").arg(part, xml.errorString());
            return false;
        }
        return member.finish(error);
    }

    bool read_relationships(const QString &part, const QString &source_dir, QVector<QPair<QString, Relationship>> *out,
                            QString *error)
    {
        return read_part(part, error, [&](QXmlStreamReader &xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                Relationship rel;
                rel.type = a.value(QLatin1String("Type")).toString();
                if (a.value(QLatin1String("TargetMode")) != QLatin1String("External"))
                    rel.target = resolve_target(source_dir, a.value(QLatin1String("Target")).toString());
                out->append({a.value(QLatin1String("Id")).toString(), rel});
            }
            return true;
        });
    }

    bool read_workbook(const QString &part, QVector<QPair<QString, QString>> *sheets, QString *error)
    {
        return read_part(part, error, [&](QXmlStreamReader &xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                if (xml.name() == QLatin1String("workbookPr")) {
                    const QStringRef v = a.value(QLatin1String("date1904"));
                    book_->set_date1904(v == QLatin1String("1") || v == QLatin1String("true"));
                } else if (xml.name() == QLatin1String("sheet")) {
                    QString id;
                    for (const QXmlStreamAttribute &attr : a)
                        if (attr.name() == QLatin1String("id") && !attr.namespaceUri().isEmpty())
                            id = attr.value().toString();
                    sheets->append({a.value(QLatin1String("name")).toString(), id});
                }
            }
            return true;
        });
    }

    bool read_shared_strings(const QString &part, QString *error)
    {
        return read_part(part, error, [&](QXmlStreamReader &xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("si"))
                    continue;
                std::uint32_t index;
                if (!book_->add_text(read_string_item(xml), &index)) {
                    *error = QStringLiteral("too much text");
                    return false;
                }
                ++shared_count_;
            }
            return true;
        });
    }

    bool read_styles(const QString &part, QString *error)
    {
        QHash<int, bool> custom; // numFmtId -> shows a date
        return read_part(part, error, [&](QXmlStreamReader &xml) {
            bool in_cell_xfs = false;
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
                    in_cell_xfs = false;
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                if (xml.name() == QLatin1String("numFmt")) {
                    custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                  number_format_is_date(a.value(QLatin1String("formatCode")).toString()));
                } else if (xml.name() == QLatin1String("cellXfs")) {
                    in_cell_xfs = true;
                } else if (in_cell_xfs && xml.name() == QLatin1String("xf")) {
                    const int id = a.value(QLatin1String("numFmtId")).toInt();
                    const auto it = custom.constFind(id);
                    xf_is_date_.push_back(it != custom.constEnd() ? *it : builtin_format_is_date(id));
                }
            }
            return true;
        });
    }

    bool read_sheet(const QString &part, QString *error)
    {
        return read_part(part, error, [&](QXmlStreamReader &xml) {
            int row = 0;
            int column = 0;
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("sheetData"))
                    return true; // nothing after the cells is needed
                if (token != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("row")) {
                    const QStringRef r = xml.attributes().value(QLatin1String("r"));
                    bool ok = true;
                    const int next = r.isEmpty() ? row + 1 : r.toInt(&ok);
                    if (!ok || next < 1 || next > workbook_limits::xlsx_max_rows) {
                        *error = QStringLiteral("row past the sheet's edge in %1").arg(part);
                        return false;
                    }
                    row = next;
                    column = 0;
                } else if (xml.name() == QLatin1String("c")) {
                    if (!read_cell(xml, part, &row, &column, error))
                        return false;
                }
            }
            return true;
        });
    }

    bool read_cell(QXmlStreamReader &xml, const QString &part, int *row, int *column, QString *error)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const QStringRef ref = a.value(QLatin1String("r"));
        if (!ref.isEmpty()) {
            if (!parse_reference(ref, row, column)) {
                *error = QStringLiteral("cell %1 past the sheet's edge in %2").arg(ref.toString(), part);
                return false;
            }
        } else {
            // A cell without a reference follows the one before it.
            if (*row == 0)
                *row = 1;
            if (++*column > workbook_limits::xlsx_max_columns) {
                *error = QStringLiteral("more cells in a row than a sheet holds in %1").arg(part);
                return false;
            }
        }
        const QStringRef type = a.value(QLatin1String("t"));
        const int style = a.value(QLatin1String("s")).toInt();

        // One buffer serves every cell's value, keeping its capacity.
        QString &value = value_buffer_;
        value.resize(0);
        bool has_value = false;
        QString inline_text;
        bool has_inline = false;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                break; // </c>
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("v")) {
                has_value = true;
                while (!xml.atEnd()) {
                    const QXmlStreamReader::TokenType inner = xml.readNext();
                    if (inner == QXmlStreamReader::Characters)
                        value += xml.text();
                    else if (inner == QXmlStreamReader::EndElement)
                        break;
                    else if (inner == QXmlStreamReader::StartElement)
                        xml.skipCurrentElement();
                }
            } else if (xml.name() == QLatin1String("is")) {
                inline_text = read_string_item(xml);
                has_inline = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            return false;

        bool stored = true;
        std::uint32_t index = 0;
        using Kind = StoredWorkbook::Kind;
        if (type == QLatin1String("s")) {
            bool ok = false;
            index = value.toUInt(&ok);
            if (has_value && ok && index < shared_count_)
                stored = book_->add_text_cell(*row, *column, Kind::Text, index);
        } else if (type == QLatin1String("inlineStr") || type == QLatin1String("str") || type == QLatin1String("e")) {
            if (has_inline || has_value) {
                const Kind kind = type == QLatin1String("e") ? Kind::Error : Kind::Text;
                stored = book_->add_text(has_inline ? inline_text : unescape(value), &index) &&
                         book_->add_text_cell(*row, *column, kind, index);
            }
        } else if (type == QLatin1String("b")) {
            if (has_value)
                stored = book_->add_number(
                    *row, *column, Kind::Boolean,
                    value.trimmed() == QLatin1String("1") || value.trimmed() == QLatin1String("true") ? 1 : 0);
        } else if (type == QLatin1String("d")) {
            // ISO 8601 date, date and time, or time; taken as wall-clock time.
            const QString iso = value.trimmed();
            const int t = iso.indexOf(QLatin1Char('T'));
            const QString time_part = t >= 0 ? iso.mid(t + 1).remove(QLatin1Char('Z')) : QString();
            QDateTime when;
            if (iso.contains(QLatin1Char('-')))
                when = QDateTime(QDate::fromString(t >= 0 ? iso.left(t) : iso, Qt::ISODate),
                                 time_part.isEmpty() ? QTime(0, 0) : QTime::fromString(time_part, Qt::ISODateWithMs),
                                 Qt::UTC);
            else
                when = QDateTime(book_->date1904() ? QDate(1904, 1, 1) : QDate(1899, 12, 30),
                                 QTime::fromString(iso, Qt::ISODateWithMs), Qt::UTC);
            if (has_value && when.isValid()) {
                stored = book_->add_number(*row, *column, Kind::Date, serial_from_date(when, book_->date1904()));
            }
        } else if (has_value) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (ok) {
                const bool is_date = style >= 0 && style < xf_is_date_.size() && xf_is_date_[style];
                stored = book_->add_number(*row, *column, is_date ? Kind::Date : Kind::Number, number);
            }
        }
        if (!stored)
            *error = QStringLiteral("too many cells");
        return stored;
    }

    QuaZip zip_;
    StoredWorkbook *book_;
    std::uint32_t shared_count_ = 0;
    QVector<bool> xf_is_date_;
    QString value_buffer_;
    QSet<QString> parts_read_;
    qint64 inflated_ = 0;
};

} // namespace

std::unique_ptr<Workbook> open_xlsx_workbook(const QString &path, QString *error)
{
    auto book = std::make_unique<StoredWorkbook>();
    XlsxReader reader(path, book.get());
    if (!reader.read(error))
        return nullptr;
    return book;
}
