#include "cardfile/password_list_reader.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>

namespace
{

void walk(const QDomNode &parent, PasswordListReader &reader)
{
    const QString current_tag = QCoreApplication::translate("PasswordListReader", "Текущий_пароль");
    const QString old_tag = QCoreApplication::translate("PasswordListReader", "Старый_пароль");
    for (QDomNode node = parent.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            const QDomElement element = node.toElement();
            if (element.tagName() == current_tag)
                reader.current_password = element.text();
            else if (element.tagName() == old_tag)
                reader.old_passwords.append(element.text());
        }
        walk(node, reader);
    }
}

} // namespace

bool PasswordListReader::load(const QString &path)
{
    old_passwords.clear();
    current_password = QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return load(&file);
}

bool PasswordListReader::load(QIODevice *device)
{
    old_passwords.clear();
    current_password = QString();
    if (!device || !device->isReadable())
        return false;
    QDomDocument document;
    if (document.setContent(device))
        walk(document.documentElement(), *this);
    return true;
}
