#include "excelimport/stored_workbook.h"
#include "excelimport/workbook_readers.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QHash>
#include <QSet>
#include <QTextCodec>
#include <QUrl>
#include <QVector>
#include <QXmlStreamReader>

#include <cstring>
#include <memory>
#include <string_view>

namespace
{

// No tag, text or comment a workbook part needs comes near this; longer ones are refused, not buffered.
constexpr int max_scanned_piece = workbook_limits::max_markup_bytes;

// Watches the bytes of an XML part go by and stops a tag, a text, a comment, a character data section or a
// processing instruction longer than max_scanned_piece before the XML reader has buffered it whole; a document type
// declaration is stopped at once. UTF-16 is told from the first bytes and watched by code units.
class MarkupGuard
{
public:
    // False when the part is refused; reason() says why.
    bool pass(const char *data, qint64 n)
    {
        for (qint64 i = 0; i < n; ++i) {
            const uchar byte = static_cast<uchar>(data[i]);
            if (width_ == 0) {
                // The first two bytes tell the encoding.
                if (pending_ < 0) {
                    pending_ = byte;
                    continue;
                }
                const int first = pending_;
                pending_ = -1;
                width_ = (first == 0xFF && byte == 0xFE) || (first == '<' && byte == 0)   ? 2
                         : (first == 0xFE && byte == 0xFF) || (first == 0 && byte == '<') ? -2
                                                                                          : 1;
                if (width_ == 1) {
                    if (!unit(first) || !unit(byte))
                        return false;
                } else {
                    if (first != 0xFF && first != 0xFE && !unit('<'))
                        return false;
                }
                continue;
            }
            if (width_ == 1) {
                if (!unit(byte))
                    return false;
            } else if (pending_ < 0) {
                pending_ = byte;
            } else {
                const int code = width_ == 2 ? pending_ | (byte << 8) : (pending_ << 8) | byte;
                pending_ = -1;
                if (!unit(code))
                    return false;
            }
        }
        return true;
    }
    const char *reason() const { return reason_; }
    WorkbookLimit limit() const { return limit_; }

private:
    enum class State { content, open, tag, comment, cdata, instruction };

    bool unit(int c)
    {
        if (++run_ > max_scanned_piece) {
            reason_ = "tag, text or comment past 16 MiB";
            limit_ = WorkbookLimit::markup_length;
            return false;
        }
        switch (state_) {
        case State::content:
            if (c == '<')
                start(State::open);
            break;
        case State::open:
            head_[head_size_++] = static_cast<char>(c < 128 ? c : '?');
            return opened();
        case State::tag:
            if (quote_) {
                if (c == quote_)
                    quote_ = 0;
            } else if (c == '"' || c == '\'') {
                quote_ = c;
            } else if (c == '>') {
                start(State::content);
            }
            break;
        case State::comment:
        case State::cdata:
        case State::instruction: {
            const int end = state_ == State::comment ? '-' : state_ == State::cdata ? ']' : '?';
            const bool closed = c == '>' && last_ == end && (state_ == State::instruction || before_last_ == end);
            before_last_ = last_;
            last_ = c;
            if (closed)
                start(State::content);
            break;
        }
        }
        return true;
    }

    // After each character of a markup's opening: which markup it is.
    bool opened()
    {
        const std::string_view head(head_, static_cast<std::size_t>(head_size_));
        if (head.size() == 1) {
            if (head[0] == '?')
                state_ = State::instruction;
            else if (head[0] != '!')
                state_ = State::tag, quote_ = 0;
            return true;
        }
        if (head == "!--")
            state_ = State::comment;
        else if (head == "![CDATA[")
            state_ = State::cdata;
        else if (std::string_view("!--").substr(0, head.size()) != head &&
                 std::string_view("![CDATA[").substr(0, head.size()) != head) {
            reason_ = "document type declaration";
            return false;
        }
        return true;
    }

    void start(State state)
    {
        state_ = state;
        run_ = 0;
        head_size_ = 0;
        last_ = before_last_ = 0;
    }

    State state_ = State::content;
    int width_ = 0; // 1 for byte encodings, 2 for UTF-16LE, -2 for UTF-16BE; 0 before the first two bytes
    int pending_ = -1;
    qint64 run_ = 0;
    char head_[9] = {};
    int head_size_ = 0;
    int quote_ = 0;
    int last_ = 0;
    int before_last_ = 0;
    const char *reason_ = "";
    WorkbookLimit limit_ = WorkbookLimit::none;
};

// One member of the package, read through a counter that stops at the size limit whatever the zip header
// claims, so a zip bomb is cut off instead of inflated. Each refusal sets limit to the size limit behind it, or none.
class MemberDevice : public QIODevice
{
public:
    MemberDevice(QuaZip *zip, WorkbookLimit *limit) : zip_(zip), file_(zip), limit_(limit) {}
    ~MemberDevice() override
    {
        if (file_.isOpen())
            file_.close();
    }

    // guarded: the member's markup passes a MarkupGuard (for parts an XML reader reads).
    bool open_member(const QString &name, QString *error, bool guarded = false)
    {
        guarded_ = guarded;
        if (!zip_->setCurrentFile(name, QuaZip::csInsensitive)) {
            *error = QStringLiteral("missing part %1").arg(name);
            return false;
        }
        QuaZipFileInfo64 info;
        if (zip_->getCurrentFileInfo(&info) && info.uncompressedSize > workbook_limits::max_member_bytes) {
            *error = QStringLiteral("part %1 too large (past 200 MB unpacked)").arg(name);
            *limit_ = WorkbookLimit::part_size;
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
        const bool read_all = !overflow_ && !failed_ && !refused_;
        if (file_.isOpen())
            file_.close();
        QIODevice::close();
        if (overflow_) {
            *error = QStringLiteral("part %1 too large (past 200 MB unpacked)").arg(name_);
            *limit_ = WorkbookLimit::part_size;
            return false;
        }
        if (refused_) {
            *error = QStringLiteral("%1 in part %2").arg(QLatin1String(guard_.reason()), name_);
            *limit_ = guard_.limit();
            return false;
        }
        if (!read_all || file_.getZipError() != UNZ_OK) {
            *error = QStringLiteral("damaged part %1").arg(name_);
            *limit_ = WorkbookLimit::none;
            return false;
        }
        return true;
    }
    bool cut_off() const { return overflow_ || failed_ || refused_; }
    qint64 bytes_read() const { return total_; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (overflow_ || failed_ || refused_)
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
        if (guarded_ && !guard_.pass(data, n)) {
            refused_ = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QuaZip *zip_;
    QuaZipFile file_;
    WorkbookLimit *limit_;
    QString name_;
    qint64 total_ = 0;
    bool overflow_ = false;
    bool failed_ = false;
    bool guarded_ = false;
    bool refused_ = false;
    MarkupGuard guard_;
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

// The spreadsheet namespace, transitional or strict (and none, as some writers leave it out).
bool is_main_namespace(const QStringRef &uri)
{
    return uri.isEmpty() || uri == QLatin1String("http://schemas.openxmlformats.org/spreadsheetml/2006/main") ||
           uri == QLatin1String("http://purl.oclc.org/ooxml/spreadsheetml/main");
}

bool type_is(const QString &type, const char *suffix)
{
    return type.endsWith(QLatin1Char('/') + QLatin1String(suffix));
}

// The character of an _xHHHH_ escape at c, with left characters from c on; false when there is none.
bool escape_at(const QChar *c, int left, ushort *code)
{
    if (left < 7 || c[0] != QLatin1Char('_') || c[1] != QLatin1Char('x') || c[6] != QLatin1Char('_'))
        return false;
    int value = 0;
    for (int k = 2; k < 6; ++k) {
        const ushort d = c[k].unicode();
        const ushort lower = d | 0x20;
        if (d >= '0' && d <= '9')
            value = value << 4 | (d - '0');
        else if (lower >= 'a' && lower <= 'f')
            value = value << 4 | (lower - 'a' + 10);
        else
            return false;
    }
    *code = static_cast<ushort>(value);
    return true;
}

// Decodes the _xHHHH_ escapes of control characters of a text from the file, in place.
void unescape(QString *text)
{
    const int first = text->indexOf(QLatin1String("_x"));
    if (first < 0)
        return;
    QChar *chars = text->data();
    const int n = text->size();
    int out = first;
    for (int i = first; i < n;) {
        ushort code;
        if (escape_at(chars + i, n - i, &code)) {
            chars[out++] = QChar(code);
            i += 7;
        } else {
            chars[out++] = chars[i++];
        }
    }
    text->truncate(out);
}

// The XML reader of a part. It keeps every open element, so nesting is held to far more than any workbook part
// has: a part of nothing but start tags would otherwise fill memory. readNext, skipCurrentElement and
// readElementText hide the base class's so that every token passes the depth check.
class PartXml : public QXmlStreamReader
{
public:
    PartXml(QIODevice *device, const StoredWorkbook *book) : QXmlStreamReader(device), book_(book) {}

    // Refuses the part when a text being read, of this many characters, could not be stored; false then.
    bool text_fits(qint64 chars)
    {
        if (book_->text_fits(chars))
            return true;
        raiseError(StoredWorkbook::budget_spent());
        limit_ = WorkbookLimit::memory_budget;
        return false;
    }
    bool over_budget() const { return limit_ == WorkbookLimit::memory_budget; }
    // The size limit behind the reader's error, or none.
    WorkbookLimit limit() const { return limit_; }

    TokenType readNext()
    {
        const TokenType token = QXmlStreamReader::readNext();
        if (token == DTD)
            raiseError(QStringLiteral("document type declaration")); // its entities could expand without end
        else if (token == StartElement && ++depth_ > workbook_limits::max_nesting_depth) {
            raiseError(QStringLiteral("elements nested too deep"));
            limit_ = WorkbookLimit::nesting_depth;
        } else if (token == EndElement)
            --depth_;
        return tokenType();
    }

    // Passes over the rest of the current element.
    void skipCurrentElement() { pass_element(nullptr); }

    // The text of the current element and of the elements within it; the reader ends on its end element.
    QString readElementText()
    {
        QString content;
        pass_element(&content);
        return content;
    }
    // The same appended to text, refused when text could not be stored; false then.
    bool append_element_text(QString *text)
    {
        pass_element(text);
        return !over_budget();
    }

private:
    void pass_element(QString *content)
    {
        for (int open = 1; open > 0 && !atEnd();) {
            const TokenType token = readNext();
            if (token == Characters && content) {
                *content += text();
                if (!text_fits(content->size()))
                    return;
            } else if (token == StartElement)
                ++open;
            else if (token == EndElement)
                --open;
        }
    }

    int depth_ = 0;
    const StoredWorkbook *book_;
    WorkbookLimit limit_ = WorkbookLimit::none;
};

// Text of a string item (<si> or <is>): its <t> and the <t> of its rich-text runs joined, phonetic hints left out.
// The reader stands on the item's start element and ends on its end element.
// The text is appended to *text, in place.
void read_string_item(PartXml &xml, QString *text)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("t")) {
                if (!xml.append_element_text(text))
                    return;
            } else if (xml.name() == QLatin1String("rPh"))
                xml.skipCurrentElement();
            else
                ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    unescape(text);
}

bool is_xml_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// An attribute's raw value within a tag's attribute text; null (data() == nullptr) when absent.
std::string_view attribute(std::string_view tag, std::string_view name)
{
    std::size_t i = 0;
    const std::size_t n = tag.size();
    while (i < n) {
        while (i < n && (is_xml_space(tag[i]) || tag[i] == '/'))
            ++i;
        const std::size_t name_start = i;
        while (i < n && tag[i] != '=' && !is_xml_space(tag[i]))
            ++i;
        const std::size_t name_end = i;
        while (i < n && is_xml_space(tag[i]))
            ++i;
        if (i >= n || tag[i] != '=')
            return {};
        ++i;
        while (i < n && is_xml_space(tag[i]))
            ++i;
        if (i >= n || (tag[i] != '"' && tag[i] != '\''))
            return {};
        const char quote = tag[i++];
        const std::size_t value_start = i;
        while (i < n && tag[i] != quote)
            ++i;
        if (tag.substr(name_start, name_end - name_start) == name)
            return tag.substr(value_start, i - value_start);
        ++i;
    }
    return {};
}

// An attribute's value as UTF-8, kept in storage; null when absent.
std::string_view attribute_utf8(const QXmlStreamAttributes &attributes, const char *name, QByteArray *storage)
{
    if (!attributes.hasAttribute(QLatin1String(name)))
        return {};
    *storage = attributes.value(QLatin1String(name)).toUtf8();
    return std::string_view(storage->constData(), static_cast<std::size_t>(storage->size()));
}

// A non-negative decimal number; -1 when malformed or past limit.
qint64 parse_count(std::string_view text, qint64 limit)
{
    if (text.empty())
        return -1;
    qint64 value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return -1;
        value = value * 10 + (ch - '0');
        if (value > limit)
            return -1;
    }
    return value;
}

// A1-style reference to 1-based row and column; false when it is malformed or past the sheet's edge.
bool parse_reference(std::string_view ref, int *row, int *column)
{
    std::size_t i = 0;
    qint64 c = 0;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        c = c * 26 + ((ref[i] & ~0x20) - 'A' + 1);
        if (c > workbook_limits::xlsx_max_columns)
            return false;
        ++i;
    }
    if (i == 0)
        return false;
    const qint64 r = parse_count(ref.substr(i), workbook_limits::xlsx_max_rows);
    if (r < 1)
        return false;
    *row = static_cast<int>(r);
    *column = static_cast<int>(c);
    return true;
}

// UTF-8 text of an element with its character and entity references replaced; ok false on a bad reference.
QString decode_text(const QByteArray &raw, bool *ok)
{
    if (!raw.contains('&'))
        return QString::fromUtf8(raw);
    QString text = QString::fromUtf8(raw);
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&')) {
            out += text.at(i);
            continue;
        }
        const int semicolon = text.indexOf(QLatin1Char(';'), i);
        if (semicolon < 0 || semicolon - i > 12) {
            *ok = false;
            return {};
        }
        const QStringRef entity = text.midRef(i + 1, semicolon - i - 1);
        if (entity == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (entity == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (entity == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (entity == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (entity == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else if (entity.startsWith(QLatin1Char('#'))) {
            bool number_ok = false;
            const uint code = entity.startsWith(QLatin1String("#x")) ? entity.mid(2).toUInt(&number_ok, 16)
                                                                     : entity.mid(1).toUInt(&number_ok, 10);
            if (!number_ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                *ok = false;
                return {};
            }
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else {
            *ok = false;
            return {};
        }
        i = semicolon;
    }
    return out;
}

// A part's bytes as UTF-8, read in pieces: what is not consumed yet starts at pos. A part in a single-byte encoding
// is turned into UTF-8 piece by piece through decoder.
struct ScanBuffer {
    explicit ScanBuffer(MemberDevice *member) : member(member) {}

    // From now on the part is read through a decoder of codec, the bytes not consumed yet included.
    void decode(QTextCodec *codec)
    {
        decoder.reset(codec->makeDecoder());
        buf = decoder->toUnicode(buf.constData() + pos, buf.size() - pos).toUtf8();
        pos = 0;
    }

    // Appends the next piece of the member, dropping what has been consumed; false at the end. What is left
    // unconsumed is searched again after the append, so the append is at least as large as that: a long tag or
    // comment costs its length a few times over, not its length squared.
    bool fill()
    {
        if (at_end)
            return false;
        buf.remove(0, pos);
        pos = 0;
        const int kept = buf.size();
        // Past half the longest piece, only what takes it one past that is read: the buffer does not double
        // beyond it.
        const int want = qMax(65536, kept <= max_scanned_piece / 2 ? kept : max_scanned_piece + 1 - kept);
        if (decoder) {
            QByteArray raw(want, Qt::Uninitialized);
            const qint64 n = member->read(raw.data(), want);
            if (n <= 0) {
                at_end = true;
                return false;
            }
            buf += decoder->toUnicode(raw.constData(), static_cast<int>(n)).toUtf8();
            return true;
        }
        buf.resize(kept + want);
        const qint64 n = member->read(buf.data() + kept, want);
        buf.resize(kept + static_cast<int>(qMax<qint64>(n, 0)));
        if (n <= 0) {
            at_end = true;
            return false;
        }
        return true;
    }

    MemberDevice *member;
    std::unique_ptr<QTextDecoder> decoder;
    QByteArray buf;
    int pos = 0;
    bool at_end = false;
};

// What the sheet scan does after one step.
enum class ScanStep {
    next,     // go on
    refill,   // read more of the member, even when there is none left
    more,     // read more of the member; none left ends the scan
    failed,   // the error is set
    finished, // the cells are all read
};

// Line ends as an XML reader gives them: CR LF and a lone CR become LF (a reference to CR stays one).
void normalise_line_ends(QByteArray *text)
{
    if (text->contains('\r'))
        text->replace("\r\n", "\n").replace('\r', '\n');
}

// Appends UTF-8 bytes to a text: ASCII is widened in place, anything else goes through Qt's decoder.
void append_utf8(QString *text, const char *data, int size)
{
    for (int i = 0; i < size; ++i) {
        if (data[i] & 0x80) {
            text->append(QString::fromUtf8(data, size));
            return;
        }
    }
    const int at = text->size();
    text->resize(at + size);
    QChar *out = text->data() + at;
    for (int i = 0; i < size; ++i)
        out[i] = QLatin1Char(data[i]);
}

// Whether a cell of this type attribute holds a text; its value is then read as the text.
bool is_text_type(const QByteArray &type)
{
    return type == "inlineStr" || type == "str" || type == "e";
}

// The cell being read by the scan. A text cell's value or inline text is read into text, as it is to be stored;
// any other value into value, as UTF-8.
struct ScannedCell {
    bool in_cell = false;
    QByteArray type;
    bool text_cell = false;
    int style = 0;
    bool has_value = false;
    bool in_value = false;
    QByteArray value;
    bool has_inline = false;
    int in_inline = 0;
    bool in_text = false;
    int phonetic = 0;
    QString text;

    // Text met now is the value or the inline text (phonetic runs left out).
    bool takes_text() const { return in_value || (in_text && phonetic == 0); }
    // The characters of the text being read, or more.
    qint64 text_size() const { return in_value && !text_cell ? value.size() : text.size(); }

    // Adds text found between tags, or the content of a character data section (raw: taken as it stands); false on
    // a bad character reference. The scanned bytes are appended as they are unless a line end or a reference
    // needs changing.
    bool add_text(const char *data, int size, bool raw = false)
    {
        const bool to_value = in_value && !text_cell;
        if (!to_value && in_value && has_inline)
            return true; // an inline text wins over a text cell's value
        QByteArray piece;
        if (std::memchr(data, '\r', static_cast<std::size_t>(size))) {
            piece = QByteArray(data, size);
            normalise_line_ends(&piece);
            data = piece.constData();
            size = piece.size();
        }
        if (!raw && std::memchr(data, '&', static_cast<std::size_t>(size))) {
            bool ok = true;
            const QString decoded = decode_text(QByteArray::fromRawData(data, size), &ok);
            if (to_value)
                value += decoded.toUtf8();
            else
                text += decoded;
            return ok;
        }
        if (to_value)
            value.append(data, size);
        else
            append_utf8(&text, data, size);
        return true;
    }

    // A <c> tag: a fresh cell with the tag's type and style.
    void start(std::string_view attributes, bool empty_tag)
    {
        const std::string_view t = attribute(attributes, "t");
        type = QByteArray(t.data(), static_cast<int>(t.size()));
        text_cell = is_text_type(type);
        const qint64 s = parse_count(attribute(attributes, "s"), 1 << 30);
        style = s < 0 ? 0 : static_cast<int>(s);
        has_value = false;
        value.resize(0);
        has_inline = false;
        text.resize(0);
        in_value = false;
        in_text = false;
        in_inline = 0;
        phonetic = 0;
        in_cell = !empty_tag;
    }

    // A start tag other than a row or a cell.
    void open(std::string_view name, bool empty_tag)
    {
        if (in_cell && name == "v") {
            has_value = true;
            in_value = !empty_tag;
        } else if (in_cell && name == "is") {
            // The inline text takes the place of what came before it.
            has_inline = true;
            text.resize(0);
            in_inline += empty_tag ? 0 : 1;
        } else if (in_inline > 0 && name == "rPh") {
            phonetic += empty_tag ? 0 : 1;
        } else if (in_inline > 0 && name == "t") {
            in_text = !empty_tag;
        }
    }

    // An end tag other than the cell's own.
    void close(std::string_view name)
    {
        if (name == "v")
            in_value = false;
        else if (name == "t")
            in_text = false;
        else if (name == "rPh")
            phonetic = qMax(0, phonetic - 1);
        else if (name == "is")
            in_inline = qMax(0, in_inline - 1);
    }
};

// Where the scan of one worksheet part, or of the shared strings, stands.
struct SheetScan {
    SheetScan(const QString &part, bool strings, QString *error, WorkbookLimit *limit)
        : part(part), strings(strings), error(error), limit(limit)
    {
    }

    const QString &part;
    const bool strings;
    QString *error;
    WorkbookLimit *limit;
    bool in_sheet_data = false; // within sheetData, or within sst
    int depth = 0;
    int row = 0;
    int column = 0;
    ScannedCell cell;

    ScanStep damaged(const char *what)
    {
        *error = QStringLiteral("damaged part %1: %2").arg(part, QLatin1String(what));
        return ScanStep::failed;
    }
    // A tag, text or comment past max_scanned_piece.
    ScanStep too_long(const char *what)
    {
        *limit = WorkbookLimit::markup_length;
        return damaged(what);
    }

    // A <row> tag with its r attribute (null when absent): its number, or the one after the last.
    bool start_row(std::string_view r)
    {
        const qint64 next = r.data() ? parse_count(r, workbook_limits::xlsx_max_rows) : row + 1;
        if (next < 1 || next > workbook_limits::xlsx_max_rows) {
            *error = QStringLiteral("row past the sheet's edge in %1").arg(part);
            return false;
        }
        row = static_cast<int>(next);
        column = 0;
        return true;
    }

    // A <c> tag with its r attribute (null when absent): its reference, or the cell after the last.
    bool place_cell(std::string_view ref)
    {
        if (ref.data()) {
            if (!parse_reference(ref, &row, &column)) {
                *error = QStringLiteral("cell %1 past the sheet's edge in %2")
                             .arg(QString::fromLatin1(ref.data(), static_cast<int>(ref.size())), part);
                return false;
            }
            return true;
        }
        if (row == 0)
            row = 1;
        if (++column > workbook_limits::xlsx_max_columns) {
            *error = QStringLiteral("more cells in a row than a sheet holds in %1").arg(part);
            return false;
        }
        return true;
    }
};

// A tag of the buffer; the views point into it.
struct ScannedTag {
    std::string_view name; // without its namespace prefix
    std::string_view attributes;
    bool end_tag = false;
    bool empty_tag = false;
};

// The '>' ending the tag that starts at lt, found outside quoted attribute values; -1 when not in the buffer yet.
int tag_end(const QByteArray &buf, int lt)
{
    char quote = 0;
    for (int i = lt + 1; i < buf.size(); ++i) {
        const char ch = buf.at(i);
        if (quote) {
            if (ch == quote)
                quote = 0;
        } else if (ch == '"' || ch == '\'') {
            quote = ch;
        } else if (ch == '>') {
            return i;
        }
    }
    return -1;
}

ScannedTag scan_tag(const QByteArray &buf, int lt, int gt)
{
    ScannedTag tag;
    tag.end_tag = buf.at(lt + 1) == '/';
    tag.empty_tag = !tag.end_tag && buf.at(gt - 1) == '/';
    int name_start = lt + (tag.end_tag ? 2 : 1);
    int name_end = name_start;
    while (name_end < gt && !is_xml_space(buf.at(name_end)) && buf.at(name_end) != '/')
        ++name_end;
    for (int i = name_start; i < name_end; ++i)
        if (buf.at(i) == ':')
            name_start = i + 1; // a namespace prefix
    tag.name = std::string_view(buf.constData() + name_start, static_cast<std::size_t>(name_end - name_start));
    tag.attributes = std::string_view(buf.constData() + name_end, static_cast<std::size_t>(gt - name_end));
    return tag;
}

const char *const cdata_end = "]]>";

// The end of the comment, processing instruction or character data section at head; nullptr for a tag, and an
// empty string for a document type declaration, which a sheet may not have.
const char *markup_closing(const char *head, int left)
{
    if (left >= 4 && std::memcmp(head, "<!--", 4) == 0)
        return "-->";
    if (left >= 2 && head[1] == '?')
        return "?>";
    if (left >= 9 && std::memcmp(head, "<![CDATA[", 9) == 0)
        return cdata_end;
    if (left >= 2 && head[1] == '!')
        return "";
    return nullptr;
}

// Passes over the markup at lt up to its closing; the content of a character data section may be the cell's.
ScanStep skip_markup(ScanBuffer &in, int lt, const char *closing, SheetScan &scan)
{
    const int close = in.buf.indexOf(closing, lt + 2);
    if (close < 0 || close + static_cast<int>(std::strlen(closing)) - lt > max_scanned_piece)
        return in.buf.size() - lt > max_scanned_piece ? scan.too_long("comment or character data past 16 MiB")
                                                      : ScanStep::more;
    if (closing == cdata_end && scan.cell.takes_text())
        scan.cell.add_text(in.buf.constData() + lt + 9, close - lt - 9, true);
    in.pos = close + static_cast<int>(std::strlen(closing));
    return ScanStep::next;
}

// The encoding a part's XML declaration names, in lower case; empty when it names none.
QByteArray declared_encoding(const QByteArray &head)
{
    const int start = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (head.mid(start, 5) != "<?xml")
        return {};
    const int end = head.indexOf("?>", start);
    if (end < 0)
        return {};
    const std::string_view declaration(head.constData() + start + 5, static_cast<std::size_t>(end - start - 5));
    const std::string_view encoding = attribute(declaration, "encoding");
    return QByteArray(encoding.data(), static_cast<int>(encoding.size())).toLower();
}

// The codec of a single-byte encoding (windows-1251, say) that keeps ASCII as it is, or null.
QTextCodec *single_byte_codec(const QByteArray &name)
{
    QTextCodec *codec = QTextCodec::codecForName(name);
    if (!codec)
        return nullptr;
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<char>(i);
    const QString chars = codec->toUnicode(bytes);
    if (chars.size() != 256)
        return nullptr;
    for (int i = 0; i < 128; ++i)
        if (chars.at(i).unicode() != i)
            return nullptr;
    return codec;
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
            const bool strings = type_is(rel.second.type, "sharedStrings");
            if (!strings && !type_is(rel.second.type, "styles"))
                continue;
            // A shared-strings or styles part named but absent means no shared texts or no formats.
            const QString &target = rel.second.target;
            if (target.isEmpty() || !zip_.setCurrentFile(target, QuaZip::csInsensitive))
                continue;
            if (!(strings ? read_shared_strings(target, error) : read_styles(target, error)))
                return false;
        }
        for (const auto &sheet : sheets) {
            const auto rel = by_id.constFind(sheet.second);
            // Chart sheets, macro sheets and dialog sheets are not worksheets.
            if (rel == by_id.constEnd() || !type_is(rel->type, "worksheet") || rel->target.isEmpty())
                continue;
            if (!book_->add_sheet(sheet.first))
                return budget_spent(error);
            bool other_encoding = false;
            if (!scan_part(rel->target, false, error, &other_encoding) &&
                (!other_encoding || !read_sheet(rel->target, error)))
                return false;
            if (!book_->finish_sheet())
                return budget_spent(error);
        }
        return true;
    }

    // The size limit behind the refusal of read(), or none.
    WorkbookLimit limit() const { return limit_; }

private:
    // Marks a part as read; false when it has been read before.
    bool claim_part(const QString &part, QString *error)
    {
        const QString key = part.toLower();
        if (parts_read_.contains(key)) {
            *error = QStringLiteral("part %1 used twice").arg(part);
            return false;
        }
        parts_read_.insert(key);
        return true;
    }

    // Adds what a member inflated to the workbook's budget; false when the budget is spent.
    bool count_inflated(const MemberDevice &member, QString *error)
    {
        inflated_ += member.bytes_read();
        if (inflated_ <= workbook_limits::max_workbook_bytes)
            return true;
        *error = QStringLiteral("workbook too large (past 1 GB unpacked)");
        limit_ = WorkbookLimit::unpacked_size;
        return false;
    }

    bool too_many(const char *what, WorkbookLimit limit, const QString &part, QString *error)
    {
        *error = QStringLiteral("too many %1 in %2").arg(QLatin1String(what), part);
        limit_ = limit;
        return false;
    }

    // Cells and texts past the memory budget.
    bool budget_spent(QString *error)
    {
        *error = StoredWorkbook::budget_spent();
        limit_ = WorkbookLimit::memory_budget;
        return false;
    }
    // The same, found while part was read.
    bool budget_spent(QString *error, const QString &part)
    {
        budget_spent(error);
        *error += QStringLiteral(" in part %1").arg(part);
        return false;
    }

    // Runs parse over a member's XML and checks that both the member and the XML were whole.
    // Each part is read once (sheets sharing one part would multiply the work), and all of them together stay
    // within a budget.
    template <typename Parse> bool read_part(const QString &part, QString *error, Parse parse)
    {
        if (!claim_part(part, error))
            return false;
        MemberDevice member(&zip_, &limit_);
        if (!member.open_member(part, error, true))
            return false;
        PartXml xml(&member, book_);
        const bool parsed = parse(xml);
        if (!count_inflated(member, error))
            return false;
        if (member.cut_off()) {
            member.finish(error);
            return false;
        }
        if (xml.over_budget())
            return budget_spent(error, part);
        if (!parsed || xml.hasError()) {
            if (error->isEmpty()) {
                *error = QStringLiteral("damaged part %1: %2").arg(part, xml.errorString());
                limit_ = xml.limit();
            }
            return false;
        }
        return member.finish(error);
    }

    bool read_relationships(const QString &part, const QString &source_dir, QVector<QPair<QString, Relationship>> *out,
                            QString *error)
    {
        return read_part(part, error, [&](PartXml &xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                Relationship rel;
                rel.type = a.value(QLatin1String("Type")).toString();
                if (a.value(QLatin1String("TargetMode")) != QLatin1String("External"))
                    rel.target = resolve_target(source_dir, a.value(QLatin1String("Target")).toString());
                if (out->size() >= workbook_limits::max_list_entries)
                    return too_many("relationships", WorkbookLimit::relationship_count, part, error);
                out->append({a.value(QLatin1String("Id")).toString(), rel});
            }
            return true;
        });
    }

    bool read_workbook(const QString &part, QVector<QPair<QString, QString>> *sheets, QString *error)
    {
        return read_part(part, error, [&](PartXml &xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                // Excel repeats workbookPr in an extension's namespace, without the date system.
                if (xml.name() == QLatin1String("workbookPr") && is_main_namespace(xml.namespaceUri())) {
                    const QStringRef v = a.value(QLatin1String("date1904"));
                    book_->set_date1904(v == QLatin1String("1") || v == QLatin1String("true"));
                } else if (xml.name() == QLatin1String("sheet")) {
                    QString id;
                    for (const QXmlStreamAttribute &attr : a)
                        if (attr.name() == QLatin1String("id") && !attr.namespaceUri().isEmpty())
                            id = attr.value().toString();
                    if (sheets->size() >= workbook_limits::max_list_entries)
                        return too_many("sheets", WorkbookLimit::sheet_count, part, error);
                    sheets->append({a.value(QLatin1String("name")).toString(), id});
                }
            }
            return true;
        });
    }

    bool read_shared_strings(const QString &part, QString *error)
    {
        bool other_encoding = false;
        if (scan_part(part, true, error, &other_encoding))
            return true;
        if (!other_encoding)
            return false;
        return read_part(part, error, [&](PartXml &xml) {
            QString text; // one room for each text in turn, unless the store takes it over
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("si"))
                    continue;
                std::uint32_t index;
                text.resize(0);
                read_string_item(xml, &text);
                if (xml.hasError())
                    return false;
                if (!book_->add_text(std::move(text), &index))
                    return budget_spent(error);
                ++shared_count_;
            }
            return true;
        });
    }

    bool read_styles(const QString &part, QString *error)
    {
        QHash<int, bool> custom; // numFmtId -> shows a date
        return read_part(part, error, [&](PartXml &xml) {
            bool in_cell_xfs = false;
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
                    in_cell_xfs = false;
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                if (custom.size() >= workbook_limits::max_list_entries ||
                    xf_is_date_.size() >= workbook_limits::max_list_entries)
                    return too_many("formats", WorkbookLimit::format_count, part, error);
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
        return read_part(part, error, [&](PartXml &xml) {
            SheetScan scan(part, false, error, &limit_);
            QByteArray r;
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("sheetData"))
                    return true; // nothing after the cells is needed
                if (token != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("row")) {
                    if (!scan.start_row(attribute_utf8(xml.attributes(), "r", &r)))
                        return false;
                } else if (xml.name() == QLatin1String("c")) {
                    if (!scan.place_cell(attribute_utf8(xml.attributes(), "r", &r)) ||
                        !read_cell(xml, scan.row, scan.column, error))
                        return false;
                }
            }
            return true;
        });
    }

    // As the scan does, a text cell's value or inline text is read into text, any other value into value.
    bool read_cell(PartXml &xml, int row, int column, QString *error)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const QByteArray type = a.value(QLatin1String("t")).toUtf8();
        const bool text_cell = is_text_type(type);
        const int style = a.value(QLatin1String("s")).toInt();
        QByteArray value;
        qint64 value_chars = 0;
        QString text;
        bool has_value = false;
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
                    if (inner == QXmlStreamReader::Characters) {
                        if (!text_cell) {
                            value += xml.text().toUtf8();
                            value_chars += xml.text().size();
                        } else if (!has_inline) {
                            text += xml.text(); // an inline text wins over a text cell's value
                        }
                        if (!xml.text_fits(text_cell ? text.size() : value_chars))
                            return false;
                    } else if (inner == QXmlStreamReader::EndElement) {
                        break;
                    } else if (inner == QXmlStreamReader::StartElement) {
                        xml.skipCurrentElement();
                    }
                }
            } else if (xml.name() == QLatin1String("is")) {
                has_inline = true;
                text.resize(0);
                read_string_item(xml, &text);
            } else {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            return false;
        if (text_cell && !has_inline)
            unescape(&text);
        return store_cell(row, column, type, style, has_value, value, has_inline, text, error);
    }

    // The cells of a worksheet part, or the texts of the shared strings, scanned straight from its UTF-8 bytes (or
    // a single-byte encoding's, turned into UTF-8 piece by piece): the cell data and the string items are a
    // handful of element kinds repeated, and this pass is several times faster than QXmlStreamReader on them.
    // Parts in another encoding go to the XML reader (other_encoding is set then).
    bool scan_part(const QString &part, bool strings, QString *error, bool *other_encoding)
    {
        *other_encoding = false;
        MemberDevice member(&zip_, &limit_);
        if (!member.open_member(part, error))
            return false;
        ScanBuffer in(&member);
        in.fill();
        if (in.buf.startsWith("\xEF\xBB\xBF"))
            in.pos = 3;
        const QByteArray &buf = in.buf;
        const QByteArray encoding = declared_encoding(buf);
        QTextCodec *codec = nullptr;
        if ((buf.size() >= 2 &&
             (buf.at(0) == 0 || buf.at(1) == 0 || buf.startsWith("\xFE\xFF") || buf.startsWith("\xFF\xFE"))) ||
            (!encoding.isEmpty() && encoding != "utf-8" && encoding != "utf8" &&
             !(codec = single_byte_codec(encoding)))) {
            *other_encoding = true;
            return false;
        }
        if (!claim_part(part, error))
            return false;
        if (codec)
            in.decode(codec);

        SheetScan scan(part, strings, error, &limit_);
        for (;;) {
            switch (scan_step(in, scan)) {
            case ScanStep::next:
                break;
            case ScanStep::refill:
                in.fill();
                break;
            case ScanStep::more:
                if (!in.fill())
                    return count_inflated(member, error) && finish_scan(member, scan);
                break;
            case ScanStep::failed:
                return false;
            case ScanStep::finished:
                return count_inflated(member, error) && member.finish(error);
            }
        }
    }

    // One piece of the part: text up to the next '<', then the markup or tag there.
    ScanStep scan_step(ScanBuffer &in, SheetScan &scan)
    {
        const int lt = in.buf.indexOf('<', in.pos);
        if (lt < 0) {
            // Text between elements is dropped unless it is a value being read; that is bounded.
            if (!scan.cell.takes_text())
                in.pos = in.buf.size();
            else if (in.buf.size() - in.pos > max_scanned_piece)
                return scan.too_long("text past 16 MiB");
            return ScanStep::more;
        }
        if (lt > in.pos && scan.cell.takes_text()) {
            if (!scan.cell.add_text(in.buf.constData() + in.pos, lt - in.pos))
                return scan.damaged("bad character reference");
            if (!book_->text_fits(scan.cell.text_size()))
                return over_budget(scan);
        }
        in.pos = lt;
        const int left = in.buf.size() - lt;
        if (left < 9 && !in.at_end)
            return ScanStep::refill;
        if (const char *closing = markup_closing(in.buf.constData() + lt, left)) {
            if (!*closing)
                return scan.damaged("document type declaration");
            const ScanStep step = skip_markup(in, lt, closing, scan);
            return step == ScanStep::next && !book_->text_fits(scan.cell.text_size()) ? over_budget(scan) : step;
        }
        const int gt = tag_end(in.buf, lt);
        if (gt < 0 || gt - lt >= max_scanned_piece)
            return in.buf.size() - lt > max_scanned_piece ? scan.too_long("tag past 16 MiB") : ScanStep::more;
        in.pos = gt + 1;
        return take_tag(scan_tag(in.buf, lt, gt), scan);
    }

    ScanStep over_budget(SheetScan &scan)
    {
        budget_spent(scan.error, scan.part);
        return ScanStep::failed;
    }

    // What a tag means to the cells: only those within sheetData count.
    ScanStep take_tag(const ScannedTag &tag, SheetScan &scan)
    {
        if (scan.strings)
            return take_string_tag(tag, scan);
        if (!scan.in_sheet_data) {
            if (tag.name == "sheetData" && !tag.end_tag) {
                if (tag.empty_tag)
                    return ScanStep::finished;
                scan.in_sheet_data = true;
            }
            return ScanStep::next;
        }
        ScannedCell &cell = scan.cell;
        if (tag.end_tag) {
            if (tag.name == "sheetData")
                return ScanStep::finished;
            if (tag.name == "c" && cell.in_cell) {
                cell.in_cell = false;
                unescape(&cell.text);
                return store_cell(scan.row, scan.column, cell.type, cell.style, cell.has_value, cell.value,
                                  cell.has_inline, cell.text, scan.error)
                           ? ScanStep::next
                           : ScanStep::failed;
            }
            cell.close(tag.name);
        } else if (tag.name == "row") {
            if (!scan.start_row(attribute(tag.attributes, "r")))
                return ScanStep::failed;
        } else if (tag.name == "c") {
            if (!scan.place_cell(attribute(tag.attributes, "r")))
                return ScanStep::failed;
            cell.start(tag.attributes, tag.empty_tag);
        } else {
            cell.open(tag.name, tag.empty_tag);
        }
        return ScanStep::next;
    }

    // What a tag of the shared strings means: each <si> is a text, its runs read as a cell's inline text.
    ScanStep take_string_tag(const ScannedTag &tag, SheetScan &scan)
    {
        ScannedCell &item = scan.cell;
        if (tag.end_tag) {
            --scan.depth;
            if (tag.name == "sst")
                return ScanStep::finished;
            if (tag.name == "si" && item.in_cell) {
                item.in_cell = false;
                return add_shared_string(scan);
            }
            item.close(tag.name);
            return ScanStep::next;
        }
        // Nesting is held as the XML reader holds it elsewhere.
        if (scan.depth + 1 > workbook_limits::max_nesting_depth) {
            *scan.limit = WorkbookLimit::nesting_depth;
            return scan.damaged("elements nested too deep");
        }
        scan.depth += tag.empty_tag ? 0 : 1;
        if (tag.name == "sst") {
            scan.in_sheet_data = !tag.empty_tag;
            return tag.empty_tag ? ScanStep::finished : ScanStep::next;
        }
        if (tag.name == "si") {
            item.start({}, tag.empty_tag);
            item.text_cell = true;
            item.open("is", tag.empty_tag);
            return tag.empty_tag ? add_shared_string(scan) : ScanStep::next;
        }
        item.open(tag.name, tag.empty_tag);
        return ScanStep::next;
    }

    ScanStep add_shared_string(SheetScan &scan)
    {
        std::uint32_t index;
        unescape(&scan.cell.text);
        if (!book_->add_text(std::move(scan.cell.text), &index)) {
            budget_spent(scan.error);
            return ScanStep::failed;
        }
        ++shared_count_;
        return ScanStep::next;
    }

    // The member ended before the cells did, or after a part with no sheetData.
    bool finish_scan(MemberDevice &member, const SheetScan &scan)
    {
        if (member.cut_off()) {
            member.finish(scan.error);
            return false;
        }
        if (scan.in_sheet_data) {
            *scan.error = QStringLiteral("damaged part %1: unexpected end").arg(scan.part);
            return false;
        }
        return member.finish(scan.error);
    }

    // Keeps one cell by its type attribute: a text cell's text (its inline text, or its value), unescaped, is taken
    // over from text; any other cell's value comes in value, as UTF-8. False when the budget is spent.
    bool store_cell(int row, int column, const QByteArray &type, int style, bool has_value, const QByteArray &value,
                    bool has_inline, QString &text, QString *error)
    {
        bool stored = true;
        std::uint32_t index = 0;
        using Kind = StoredWorkbook::Kind;
        if (type == "s") {
            bool ok = false;
            index = value.trimmed().toUInt(&ok);
            if (has_value && ok && index < shared_count_)
                stored = book_->add_text_cell(row, column, Kind::Text, index);
        } else if (is_text_type(type)) {
            if (has_inline || has_value) {
                const Kind kind = type == "e" ? Kind::Error : Kind::Text;
                stored = book_->add_text(std::move(text), &index) && book_->add_text_cell(row, column, kind, index);
            }
        } else if (type == "b") {
            if (has_value)
                stored = book_->add_number(row, column, Kind::Boolean,
                                           value.trimmed() == "1" || value.trimmed() == "true" ? 1 : 0);
        } else if (type == "d") {
            // ISO 8601 date, date and time, or time; taken as wall-clock time.
            const QString iso = QString::fromUtf8(value).trimmed();
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
                stored = book_->add_number(row, column, Kind::Date, serial_from_date(when, book_->date1904()));
            }
        } else if (has_value) {
            // "n", no type, or one this reader does not know.
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (ok) {
                const bool is_date = style >= 0 && style < xf_is_date_.size() && xf_is_date_[style];
                stored = book_->add_number(row, column, is_date ? Kind::Date : Kind::Number, number);
            }
        }
        return stored || budget_spent(error);
    }

    QuaZip zip_;
    StoredWorkbook *book_;
    std::uint32_t shared_count_ = 0;
    QVector<bool> xf_is_date_;
    QSet<QString> parts_read_;
    qint64 inflated_ = 0;
    WorkbookLimit limit_ = WorkbookLimit::none;
};

} // namespace

std::unique_ptr<Workbook> open_xlsx_workbook(const QString &path, QString *error, WorkbookLimit *limit)
{
    auto book = std::make_unique<StoredWorkbook>();
    XlsxReader reader(path, book.get());
    if (!reader.read(error)) {
        *limit = reader.limit();
        return nullptr;
    }
    return book;
}
