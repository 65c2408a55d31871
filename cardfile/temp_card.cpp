#include "cardfile/temp_card.h"

#include "cardfile/card_texts.h"
#include "cardfile/work_folders.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace
{

const char *const temp_password = "ZAR@wind";
const char *const temp_key = "qt/temp";
const char *const temp_section = "qt";
const char *const temp_key_name = "temp";
const char *const vector_type_name = "QVector<QString>";

const char *const text_temp_failed = "Процесс сохранения данных закончился некорректно или нажата кнопка "
                                     "''Отмена''.\nПопробуйте сохранить файл в другую папку или переустановить "
                                     "программу.";
const char *const text_temp_read_error = "Ошибка чтения файла!\nПроверьте наличие прав на запись в папку программы и "
                                         "папку с сохраняемым файлом ";
const char *const text_temp_read_error_tail =
    " или обратитесь к Вашему системному администратору.\n\nВНИМАНИЕ!\nПри ограничении прав на запись сохранение "
    "введенных данных также будет невозможно!";

using card_text::tr_text;

// Folder an unfinished card is named after in the read-error message.
QString folder_of(const QString &path)
{
    int cut = path.lastIndexOf('/');
    if (cut < 0)
        cut = path.lastIndexOf('\\');
    return cut < 0 ? QString() : path.left(cut + 1);
}

void register_card_text_type()
{
    qRegisterMetaType<QVector<QString>>(vector_type_name);
    qRegisterMetaTypeStreamOperators<QVector<QString>>(vector_type_name);
}

// Writes qt.lib at `path` through the settings store; false when it did not write.
bool write_settings_file(const QString &path, const QString &card_text)
{
    register_card_text_type();
    QSettings file(path, QSettings::IniFormat);
    file.setValue(temp_key, QVariant::fromValue(QVector<QString>{card_text}));
    file.sync();
    return file.status() == QSettings::NoError && QFileInfo(path).isFile();
}

// ---- The settings file, read as the settings store reads its INI files ----

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// One logical line: from `start`, up to a line end or a ';' outside quotes; a backslash keeps the
// next character (so an escaped line end continues the line), and so do quotes.
struct IniLine {
    int start = 0;
    int end = 0;
    int equals = -1;
};

bool next_ini_line(const QByteArray &data, int &pos, IniLine &line)
{
    const int size = data.size();
    bool in_quotes = false;
    line.equals = -1;
    line.start = pos;
    while (line.start < size && is_space(data.at(line.start)))
        ++line.start;
    int i = line.start;
    while (i < size) {
        const char c = data.at(i++);
        if (c == '=') {
            if (!in_quotes && line.equals < 0)
                line.equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!in_quotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char after = data.at(i);
                    if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (c == '"') {
            in_quotes = !in_quotes;
        } else if (c == ';') {
            if (i == line.start + 1) {
                // A comment line.
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && is_space(data.at(i)))
                    ++i;
                line.start = i;
            } else if (!in_quotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.end = i;
    return line.end > line.start;
}

// A key or section name: "%XX" and "%UXXXX" escapes, a backslash stands for a slash.
QString unescaped_key(const QByteArray &key)
{
    QString result;
    for (int i = 0; i < key.size(); ++i) {
        const char c = key.at(i);
        if (c == '\\') {
            result += '/';
        } else if (c == '%' && i + 2 < key.size() && key.at(i + 1) == 'U') {
            bool ok = false;
            const ushort code = key.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok && i + 5 < key.size()) {
                result += QChar(code);
                i += 5;
            } else {
                result += QLatin1Char(c);
            }
        } else if (c == '%' && i + 2 < key.size()) {
            bool ok = false;
            const ushort code = key.mid(i + 1, 2).toUShort(&ok, 16);
            if (ok) {
                result += QChar(code);
                i += 2;
            } else {
                result += QLatin1Char(c);
            }
        } else {
            result += QLatin1Char(c);
        }
    }
    return result;
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void chop_trailing_blanks(QString &text, int limit)
{
    int n = text.size();
    while (n > limit && (text.at(n - 1) == ' ' || text.at(n - 1) == '\t'))
        --n;
    text.truncate(n);
}

// The value of a key: quotes, backslash escapes; an unquoted comma makes a list, which is
// reported as such (the card text is never a list).
bool unescaped_value(const QByteArray &data, int from, int to, QString &value)
{
    value.clear();
    bool list = false;
    bool in_quotes = false;
    bool quoted = false;
    int i = from;
    const auto skip_blanks = [&] {
        while (i < to && (data.at(i) == ' ' || data.at(i) == '\t'))
            ++i;
    };
    skip_blanks();
    int chop_limit = 0;
    while (i < to) {
        const char c = data.at(i);
        if (c == '\\') {
            ++i;
            if (i >= to)
                break;
            const char e = data.at(i++);
            static const char codes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                            {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                            {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool simple = false;
            for (const auto &code : codes) {
                if (e == code[0]) {
                    value += QLatin1Char(code[1]);
                    simple = true;
                    break;
                }
            }
            if (simple) {
                chop_limit = value.size();
                continue;
            }
            if (e == 'x' && i < to && hex_value(data.at(i)) >= 0) {
                uint code = 0;
                while (i < to && hex_value(data.at(i)) >= 0)
                    code = (code << 4) + uint(hex_value(data.at(i++)));
                value += QChar(ushort(code & 0xffff));
            } else if (e >= '0' && e <= '7') {
                uint code = uint(e - '0');
                while (i < to && data.at(i) >= '0' && data.at(i) <= '7')
                    code = (code << 3) + uint(data.at(i++) - '0');
                value += QChar(ushort(code & 0xffff));
            } else if (e == '\n' || e == '\r') {
                if (i < to && (data.at(i) == '\n' || data.at(i) == '\r') && data.at(i) != e)
                    ++i;
            }
            chop_limit = value.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            in_quotes = !in_quotes;
            if (!in_quotes) {
                skip_blanks();
                chop_limit = value.size();
            }
        } else if (c == ',' && !in_quotes) {
            list = true;
            value.clear();
            quoted = false;
            ++i;
            skip_blanks();
            chop_limit = 0;
        } else {
            int j = i + 1;
            while (j < to && data.at(j) != '\\' && data.at(j) != '"' && data.at(j) != ',')
                ++j;
            value += QString::fromLatin1(data.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted)
        chop_trailing_blanks(value, chop_limit);
    return !list;
}

// The raw value of qt/temp: the last one in the file, as the settings store keeps the last.
bool raw_card_value(const QByteArray &data, QString &value)
{
    bool found = false;
    QString section;
    int pos = 0;
    // A byte-order mark is skipped.
    if (data.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    IniLine line;
    while (next_ini_line(data, pos, line)) {
        if (data.at(line.start) == '[') {
            QByteArray name = data.mid(line.start + 1, line.end - line.start - 1).trimmed();
            const int close = name.indexOf(']');
            if (close >= 0)
                name.truncate(close);
            section = unescaped_key(name.trimmed());
            if (section.compare("General", Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        if (line.equals < 0)
            continue;
        const QString key = unescaped_key(data.mid(line.start, line.equals - line.start).trimmed());
        const QString full_key = section.isEmpty() ? key : section + "/" + key;
        if (full_key.compare(QLatin1String(temp_section) + "/" + temp_key_name, Qt::CaseInsensitive) != 0)
            continue;
        QString candidate;
        found = unescaped_value(data, line.equals + 1, line.end, candidate);
        if (found)
            value = candidate;
        else
            value.clear();
    }
    return found;
}

// The first element of a QVector<QString> kept as "@Variant(...)"; every count is checked against
// the bytes that follow before anything is made of it.
bool first_string_of_variant(const QString &value, QString *text)
{
    const QLatin1String head("@Variant(");
    if (!value.startsWith(head) || !value.endsWith(')'))
        return false;
    const QByteArray bytes = value.midRef(head.size()).toLatin1();
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    const auto remaining = [&] { return quint64(bytes.size()) - quint64(stream.device()->pos()); };

    quint32 type = 0;
    stream >> type;
    // A type of the program's own (127 in this stream version) followed by its name.
    if (type != 127 && type != 1024)
        return false;
    quint32 name_length = 0;
    stream >> name_length;
    if (stream.status() != QDataStream::Ok || name_length == 0 || name_length > 64 || name_length > remaining())
        return false;
    QByteArray name(int(name_length), '\0');
    if (stream.readRawData(name.data(), int(name_length)) != int(name_length))
        return false;
    // The type is looked up by the name up to its terminating zero.
    const int zero = name.indexOf('\0');
    if (zero >= 0)
        name.truncate(zero);
    if (name != vector_type_name)
        return false;

    quint32 count = 0;
    stream >> count;
    // Every element takes at least its four-byte length.
    if (stream.status() != QDataStream::Ok || count == 0 || quint64(count) * 4 > remaining())
        return false;
    quint32 length = 0;
    stream >> length;
    if (stream.status() != QDataStream::Ok)
        return false;
    if (length == 0xffffffff) {
        *text = QString();
        return true;
    }
    if (length % 2 != 0 || length > remaining())
        return false;
    QString first(int(length / 2), Qt::Uninitialized);
    for (int k = 0; k < first.size(); ++k) {
        quint16 unit = 0;
        stream >> unit;
        first[k] = QChar(unit);
    }
    if (stream.status() != QDataStream::Ok)
        return false;
    // The later elements must be whole too, as the settings store would drop a broken vector.
    for (quint32 n = 1; n < count; ++n) {
        stream >> length;
        if (stream.status() != QDataStream::Ok)
            return false;
        if (length == 0xffffffff)
            continue;
        if (length % 2 != 0 || length > remaining() || stream.skipRawData(int(length)) != int(length))
            return false;
    }
    *text = first;
    return true;
}

} // namespace

TempCardFile::TempCardFile() = default;

TempCardFile::TempCardFile(const Archiver &archiver) : archiver(archiver) {}

void TempCardFile::add_message(CardMessage::Icon icon, const QString &title, const QString &text)
{
    CardMessage message;
    message.icon = icon;
    message.title = title;
    message.text = text;
    temp_messages.append(message);
}

void TempCardFile::add_read_error(const QString &path)
{
    add_message(CardMessage::Critical, tr_text(card_text::title_error),
                tr_text(text_temp_read_error) + folder_of(path) + tr_text(text_temp_read_error_tail));
}

bool TempCardFile::card_text_of(const QByteArray &settings_file, QString *card_text)
{
    if (settings_file.size() > max_member_size)
        return false;
    QString value;
    if (!raw_card_value(settings_file, value))
        return false;
    return first_string_of_variant(value, card_text);
}

QByteArray TempCardFile::settings_file_for(const QString &card_text, bool *ok)
{
    *ok = false;
    QTemporaryDir plain(work_folder_template("temp"));
    if (!plain.isValid())
        return QByteArray();
    const QString scratch = plain.path() + "/" + member_name;
    if (!write_settings_file(scratch, card_text))
        return QByteArray();
    QFile file(scratch);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    *ok = true;
    return file.readAll();
}

bool TempCardFile::write(const QString &path, const QString &card_text)
{
    temp_messages.clear();
    const QString title = tr_text(card_text::title_error);
    const auto not_created = [&](const QString &where) {
        add_message(CardMessage::Critical, title, card_text::not_created_text(where));
        return false;
    };
    const auto failed = [&] {
        add_message(CardMessage::Warning, title, tr_text(text_temp_failed));
        return false;
    };

    if (!archiver.found()) {
        add_message(CardMessage::Critical, title, tr_text(card_text::text_archiver_missing));
        return false;
    }

    // The settings file with the plain card lives only in a private folder of its own.
    QTemporaryDir plain(work_folder_template("temp"));
    if (!plain.isValid())
        return not_created(QDir::tempPath() + "/" + member_name);
    const QString scratch = plain.path() + "/" + member_name;
    if (!write_settings_file(scratch, card_text))
        return not_created(scratch);

    const QFileInfo target(path);
    switch (archiver.pack_and_replace(target.absoluteFilePath(), scratch, temp_password)) {
    case Archiver::Outcome::done:
        return true;
    case Archiver::Outcome::target_not_writable:
        add_message(CardMessage::Critical, title,
                    tr_text(card_text::text_read_only) + path + tr_text(card_text::text_read_only_tail));
        return false;
    case Archiver::Outcome::no_staging:
        return not_created(target.absolutePath() + "/");
    default:
        return failed();
    }
}

bool TempCardFile::read(const QString &path, iexml &card)
{
    temp_messages.clear();
    if (!archiver.found()) {
        add_message(CardMessage::Critical, tr_text(card_text::title_error), tr_text(card_text::text_archiver_missing));
        add_read_error(path);
        return false;
    }
    // Nothing is unpacked before the listing shows the one plain settings file of a sane size.
    QVector<ArchiveMember> members;
    if (archiver.list(path, temp_password, &members) != 0 || members.size() != 1 ||
        members.first().path != member_name || !members.first().regular() || members.first().size < 0 ||
        members.first().size > max_member_size) {
        add_read_error(path);
        return false;
    }
    QByteArray contents;
    {
        // Unpacked into a private folder that goes away with everything in it.
        QTemporaryDir work(work_folder_template("temp"));
        if (!work.isValid()) {
            add_read_error(path);
            return false;
        }
        QFile::setPermissions(work.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        bool read = false;
        if (archiver.extract(path, work.path(), temp_password) == 0)
            contents = iexml::read_member(work.path(), &read);
        if (!read) {
            add_read_error(path);
            return false;
        }
    }
    QString card_text;
    if (!card_text_of(contents, &card_text) || !card.read_card_document(card_text.toUtf8())) {
        add_read_error(path);
        return false;
    }
    return true;
}
