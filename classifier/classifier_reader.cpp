#include "classifier_reader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace
{

const QString code_tag = QStringLiteral("Код");
const QString sort_tag = QStringLiteral("Сорт");
const QString name_tag = QStringLiteral("Наименование");

} // namespace

ClassifierReader::ClassifierReader() = default;
ClassifierReader::~ClassifierReader() = default;

bool ClassifierReader::load(const QString &path)
{
    records.clear();
    vus_records.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    file.close();

    // A file that does not parse leaves no trace: no records, and the carried-over
    // code and sort stay as they were before the load.
    const ClassifierRecord saved = current;
    const VusRecord saved_vus = current_vus;
    QXmlStreamReader xml(data);
    xml.setNamespaceProcessing(false);
    if (!walk_nodes(xml)) {
        records.clear();
        vus_records.clear();
        current = saved;
        current_vus = saved_vus;
    }
    return true;
}

// Visits every element below the root in document order, a parent before its children,
// as a DOM walk would. An element's text is all text inside it, child elements included;
// whitespace-only text nodes do not count. Nested fields are applied in document order
// once the outermost one has been read whole.
bool ClassifierReader::walk_nodes(QXmlStreamReader &xml)
{
    struct Pending {
        Field field;
        QString text;
    };
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
                    for (const Pending &p : qAsConst(pending))
                        read_element(p.field, p.text);
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
