#pragma once

#include <QString>
#include <QVector>

class QXmlStreamReader;

// The carried classifiers: the resource folder and each file's name in it.
namespace classifier_file
{
const char *const resource_dir = ":/database/xml/";
// The same files packed at build time (pack_classifier()), under the same names.
const char *const packed_dir = ":/database/packed/";
const char *const addresses = "адрес_new.xml";
const char *const head_positions = "Должности_new.xml";
const char *const okato = "ОКАТО_new.xml";
const char *const okopf = "ОКОПФ_new.xml";
const char *const okfs = "ОКФС_new.xml";
const char *const okved = "OKVED_new.xml";
const char *const positions = "OKPDTR_new.xml";
const char *const facets = "Faset_new.xml";
const char *const iogv = "IOGV_new.xml";
const char *const okogu = "ОКОГУ_new.xml";
const char *const offices = "VK_org_new.xml";
const char *const vus = "VUS.xml";
} // namespace classifier_file

// One entry of a classifier: code, name and the optional sort/category value.
struct ClassifierRecord {
    QString code;
    QString name;
    QString sort;
};

// The same entry read from the VUS list: region, enlisted VUS codes, officer VUS codes.
struct VusRecord {
    QString region;
    QString enlisted_vus;
    QString officer_vus;
};

// A classifier XML file in a compact form read without parsing: the fields the reader applies, in
// document order. Made at build time from the carried files; empty input gives the form of a file
// that does not parse. error, when given, says why a file does not parse.
QByteArray pack_classifier(const QByteArray &xml, QString *error = nullptr);

// Reads a classifier XML file (<Код>, <Сорт>, <Наименование> below the root) into records.
// An <Наименование> closes a record; code and sort carry over from what was read last,
// also across loads.
class ClassifierReader
{
public:
    ClassifierReader();
    ~ClassifierReader();

    // False when the file does not open. A file that opens but is not well-formed XML
    // gives true and no records, and a warning. A carried file (classifier_file::resource_dir) is read
    // from its packed form when there is one, with the same result; a damaged packed form is reported
    // and the XML read instead.
    bool load(const QString &path);
    // As load(), always from the XML.
    bool load_xml(const QString &path);

    QVector<ClassifierRecord> records;
    QVector<VusRecord> vus_records;
    ClassifierRecord current;
    VusRecord current_vus;

private:
    enum Field : quint8 { Code, Sort, Name };
    struct FieldText {
        Field field;
        QString text;
    };
    // The fields of an XML document in the order they apply; false, with no fields and the reason in error,
    // when it is not well-formed (an empty one included).
    static bool xml_fields(const QByteArray &xml, QVector<FieldText> &fields, QString *error = nullptr);
    static bool walk_nodes(QXmlStreamReader &xml, QVector<FieldText> &fields);
    // The fields of a packed form and whether its XML was well-formed; false when it is damaged.
    static bool packed_fields(const QByteArray &data, bool &well_formed, QVector<FieldText> &fields);
    // The records of the fields, in place of those of the last load.
    void take(bool well_formed, const QVector<FieldText> &fields);
    void read_element(Field field, const QString &text);
    friend QByteArray pack_classifier(const QByteArray &xml, QString *error);
};
