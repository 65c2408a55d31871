#pragma once

#include <QString>
#include <QVector>

class QIODevice;

// Reads the archive password list: one current password and the old ones, in the
// order in which an opening tries them.
class PasswordListReader
{
public:
    PasswordListReader() = default;

    // True when the file could be opened; a file that does not parse leaves both members empty.
    bool load(const QString &path);
    bool load(QIODevice *device);

    QVector<QString> old_passwords;
    QString current_password;
};

// Where the program carries its password list.
const char *const password_list_resource = ":/database/xml/pass.xml";
