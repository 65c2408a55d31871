#pragma once

#include "cardfile/archiver.h"
#include "cardfile/iexml.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The unfinished-card file (.qtemp): an archive with a fixed password holding one INI file,
// qt.lib, whose key qt/temp keeps a QVector<QString> with the card document text as element 0.
// It shows nothing itself: every outcome is a return value plus messages().
class TempCardFile
{
public:
    static constexpr const char *member_name = "qt.lib";

    // Looks for the archiver as Archiver() does.
    TempCardFile();
    explicit TempCardFile(const Archiver &archiver);

    // Writes `card_text` into the unfinished-card file at `path`; an older file there is replaced
    // only by an archive that tested good.
    bool write(const QString &path, const QString &card_text);
    // Reads the card inside the file at `path` into `card` (as iexml::read_card_document does).
    bool read(const QString &path, iexml &card);

    // Messages of the last write or read, in the order to show them.
    const QVector<CardMessage> &messages() const { return temp_messages; }

    // The card document text of qt.lib's contents, read without trusting any count in them.
    // False when the file holds no such text.
    static bool card_text_of(const QByteArray &settings_file, QString *card_text);
    // The qt.lib contents for `card_text`, exactly as the settings store writes them.
    static QByteArray settings_file_for(const QString &card_text, bool *ok);

private:
    void add_message(CardMessage::Icon icon, const QString &title, const QString &text);
    void add_read_error(const QString &path);

    Archiver archiver;
    QVector<CardMessage> temp_messages;
};
