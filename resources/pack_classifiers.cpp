// Build-time tool: packs every classifier of the resource list (the files under xml/ of the /database
// prefix) into the form the program reads without parsing, and writes the resource list of the packed
// files. Usage: pack_classifiers <resources.qrc> <output folder>
#include "classifier/classifier_reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <cstdio>

namespace
{

// Writes the file anew (rcc reads the packed files again whenever the list is rewritten); false, with a
// message, when it cannot.
bool write_file(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pack_classifiers <resources.qrc> <output folder>\n");
        return 2;
    }
    QFile qrc(args.at(1));
    if (!qrc.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QDir source_dir = QFileInfo(qrc).absoluteDir();
    const QDir out_dir(args.at(2));
    if (!out_dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(args.at(2)));
        return 1;
    }

    QByteArray list = "<RCC>\n<qresource prefix=\"/database/packed\">\n";
    QXmlStreamReader xml(&qrc);
    QString prefix;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("qresource")) {
            prefix = xml.attributes().value(QLatin1String("prefix")).toString();
            continue;
        }
        if (xml.name() != QLatin1String("file") || prefix != QLatin1String("/database"))
            continue;
        const QString alias_attribute = xml.attributes().value(QLatin1String("alias")).toString();
        const QString file = xml.readElementText();
        const QString alias = alias_attribute.isEmpty() ? file : alias_attribute;
        if (!alias.startsWith(QLatin1String("xml/")) || !alias.endsWith(QLatin1String(".xml")))
            continue;
        QFile carried(source_dir.filePath(file));
        if (!carried.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(carried.fileName()));
            return 1;
        }
        const QString name = alias.mid(4);
        QString error;
        const QByteArray packed = pack_classifier(carried.readAll(), &error);
        if (!error.isEmpty())
            std::fprintf(stderr, "warning: %s is not well-formed XML (%s): the program gets no records from it\n",
                         qPrintable(carried.fileName()), qPrintable(error));
        if (!write_file(out_dir.filePath(name), packed))
            return 1;
        list += "<file>" + name.toHtmlEscaped().toUtf8() + "</file>\n";
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.at(1)), qPrintable(xml.errorString()));
        return 1;
    }
    list += "</qresource>\n</RCC>\n";
    // Rewritten every run: the build takes its time as the mark of the packed files.
    return write_file(out_dir.filePath(QStringLiteral("packed_classifiers.qrc")), list) ? 0 : 1;
}
