#pragma once

#include <QString>
#include <QVector>

class QXmlStreamReader;

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
