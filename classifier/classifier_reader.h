#pragma once

#include <QString>
#include <QVector>

class QXmlStreamReader;

// The carried classifiers: the resource folder and each file's name in it.
namespace classifier_file
{
const char *const resource_dir = ":/database/xml/";
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

// Reads a classifier XML file (<Код>, <Сорт>, <Наименование> below the root) into records.
// An <Наименование> closes a record; code and sort carry over from what was read last,
// also across loads.
class ClassifierReader
{
public:
    ClassifierReader();
    ~ClassifierReader();

    // False when the file does not open. A file that opens but is not well-formed XML
    // gives true and no records.
    bool load(const QString &path);

    QVector<ClassifierRecord> records;
    QVector<VusRecord> vus_records;
    ClassifierRecord current;
    VusRecord current_vus;

private:
    enum Field { Code, Sort, Name };
    bool walk_nodes(QXmlStreamReader &xml);
    void read_element(Field field, const QString &text);
};
