#include "classifier/classifier_reader.h"

#include <QFile>
#include <QResource>
#include <QXmlStreamReader>

#include <cstring>

namespace
{

const QString code_tag = QStringLiteral("Код");
const QString sort_tag = QStringLiteral("Сорт");
const QString name_tag = QStringLiteral("Наименование");

// The packed form: this header, then per field its kind, its length in UTF-16 units and the units in
// the byte order of the machine that packed it (the build machine runs the program).
struct PackedHeader {
    char magic[4];
    quint32 well_formed;
    quint32 field_count;
};
const char packed_magic[4] = {'Q', 'C', 'F', '1'};

struct PackedField {
    quint32 field;
    quint32 length;
};

} // namespace

QByteArray pack_classifier(const QByteArray &xml, QString *error)
{
    QVector<ClassifierReader::FieldText> fields;
    PackedHeader header{};
    std::memcpy(header.magic, packed_magic, sizeof packed_magic);
    header.well_formed = ClassifierReader::xml_fields(xml, fields, error) ? 1 : 0;
    header.field_count = quint32(fields.size());
    QByteArray out(reinterpret_cast<const char *>(&header), sizeof header);
    for (const ClassifierReader::FieldText &f : qAsConst(fields)) {
        const PackedField packed{f.field, quint32(f.text.size())};
        out.append(reinterpret_cast<const char *>(&packed), sizeof packed);
        out.append(reinterpret_cast<const char *>(f.text.utf16()), f.text.size() * int(sizeof(QChar)));
    }
    return out;
}

ClassifierReader::ClassifierReader() = default;
ClassifierReader::~ClassifierReader() = default;

bool ClassifierReader::load(const QString &path)
{
    const QString carried = QString::fromUtf8(classifier_file::resource_dir);
    if (path.startsWith(carried)) {
        const QResource packed(QString::fromUtf8(classifier_file::packed_dir) + path.mid(carried.size()));
        if (packed.isValid()) {
            bool well_formed = false;
            QVector<FieldText> fields;
            if (packed_fields(packed.uncompressedData(), well_formed, fields)) {
                if (!well_formed)
                    qWarning("Classifier %s is not well-formed XML: it gives no records", qPrintable(path));
                take(well_formed, fields);
                return true;
            }
            qWarning("Classifier %s: its packed form is damaged, the XML is read instead", qPrintable(path));
        }
    }
    return load_xml(path);
}

bool ClassifierReader::load_xml(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        records.clear();
        vus_records.clear();
        return false;
    }
    QVector<FieldText> fields;
    QString error;
    const bool well_formed = xml_fields(file.readAll(), fields, &error);
    if (!well_formed)
        qWarning("Classifier %s is not well-formed XML (%s): it gives no records", qPrintable(path), qPrintable(error));
    take(well_formed, fields);
    return true;
}

bool ClassifierReader::xml_fields(const QByteArray &xml, QVector<FieldText> &fields, QString *error)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    if (walk_nodes(reader, fields))
        return true;
    fields.clear();
    if (error)
        *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    return false;
}

// The whole form is checked as it is read, so a damaged one applies nothing.
bool ClassifierReader::packed_fields(const QByteArray &data, bool &well_formed, QVector<FieldText> &fields)
{
    PackedHeader header{};
    if (data.size() < int(sizeof header))
        return false;
    std::memcpy(&header, data.constData(), sizeof header);
    if (std::memcmp(header.magic, packed_magic, sizeof packed_magic) != 0)
        return false;
    const char *at = data.constData() + sizeof header;
    const char *const end = data.constData() + data.size();
    // Each field takes at least its kind and length: a count the data cannot hold is refused before reserving.
    if (qint64(header.field_count) > (end - at) / qint64(sizeof(PackedField)))
        return false;
    fields.reserve(int(header.field_count));
    for (quint32 i = 0; i < header.field_count; ++i) {
        PackedField packed{};
        if (end - at < qint64(sizeof packed))
            return false;
        std::memcpy(&packed, at, sizeof packed);
        at += sizeof packed;
        const qint64 bytes = qint64(packed.length) * qint64(sizeof(QChar));
        if (packed.field > Name || end - at < bytes)
            return false;
        QString text;
        if (packed.length > 0) {
            text = QString(int(packed.length), Qt::Uninitialized);
            std::memcpy(text.data(), at, size_t(bytes));
        }
        at += bytes;
        fields.append(FieldText{Field(packed.field), std::move(text)});
    }
    well_formed = header.well_formed != 0;
    return true;
}

// A file that does not parse leaves no trace: no records, and the carried-over code and sort stay as
// they were before the load.
void ClassifierReader::take(bool well_formed, const QVector<FieldText> &fields)
{
    records.clear();
    vus_records.clear();
    if (!well_formed)
        return;
    for (const FieldText &f : fields)
        read_element(f.field, f.text);
}

// Visits every element below the root in document order, a parent before its children,
// as a DOM walk would. An element's text is all text inside it, child elements included;
// whitespace-only text nodes do not count. Nested fields are applied in document order
// once the outermost one has been read whole.
bool ClassifierReader::walk_nodes(QXmlStreamReader &xml, QVector<FieldText> &fields)
{
    using Pending = FieldText;
    QVector<Pending> pending; // fields of the current outermost field element, in document order
    QVector<int> open;        // indexes into pending of the field elements now open
    QVector<bool> is_field;   // per open element: whether it is a field
    is_field.reserve(16);

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            bool field_element = false;
            if (!is_field.isEmpty()) { // the root element itself is not read
                const QStringRef name = xml.name();
                Field field;
                if (name == name_tag) {
                    field = Name;
                    field_element = true;
                } else if (name == code_tag) {
                    field = Code;
                    field_element = true;
                } else if (name == sort_tag) {
                    field = Sort;
                    field_element = true;
                }
                if (field_element) {
                    open.append(pending.size());
                    pending.append(Pending{field, QString()});
                }
            }
            is_field.append(field_element);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!is_field.isEmpty() && is_field.takeLast()) {
                open.removeLast();
                if (open.isEmpty()) {
                    fields += pending;
                    pending.clear();
                }
            }
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty() && (xml.isCDATA() || !xml.isWhitespace())) {
                const QStringRef text = xml.text();
                for (int i : qAsConst(open))
                    pending[i].text.append(text);
            }
            break;
        default:
            break;
        }
    }
    return !xml.hasError();
}

void ClassifierReader::read_element(Field field, const QString &text)
{
    switch (field) {
    case Code:
        current.code = text;
        current_vus.region = text;
        break;
    case Sort:
        current.sort = text;
        current_vus.officer_vus = text;
        break;
    case Name:
        current.name = text;
        records.append(current);
        current_vus.enlisted_vus = text;
        vus_records.append(current_vus);
        break;
    }
}
