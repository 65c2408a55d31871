#pragma once

#include "cardfile/archiver.h"

#include <QDomDocument>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

class QIODevice;
class PasswordListReader;

// Format version of the card documents this program writes.
constexpr int card_format_version = 25;

// Limits of what the reader takes from a file: bytes of the one archive member (and of a card
// document), element depth, and rows of each table.
constexpr qint64 max_member_size = 32 * 1024 * 1024;
constexpr int max_card_depth = 16;
constexpr int max_balance_rows = 20000;
constexpr int max_reservation_rows = 5000;

// Version of the last card document read (0 when it had none); tested after a read.
extern int card_file_version;

// One message for the user, shown in order by whoever drives the card file.
struct CardMessage {
    enum Icon { Information, Warning, Critical };
    Icon icon = Information;
    QString title;
    QString text;
    bool styled = true; // the box takes the style sheet "font-size: 12px"

    QString style_sheet() const;
};

// The card file: the card document (writer and reader) and the password-protected archive.
// It shows nothing itself: every outcome is a return value plus messages().
class iexml : public QObject
{
    Q_OBJECT
public:
    explicit iexml(QObject *parent = nullptr);

    // Writer: the card document for the four card lists. Cannot fail.
    QDomDocument write_card_xml(QVector<QString> card_values, QVector<QString> balance_rows, QVector<QString> bron_rows,
                                QVector<QString> nebron_rows);
    // The document as stored: indentation 1, UTF-8, no byte-order mark.
    static QByteArray card_xml_text(const QDomDocument &document);
    // The stored text of write_card_xml's document for these lists, written without the tree.
    QByteArray card_xml_bytes(const QVector<QString> &card_values, const QVector<QString> &balance_rows,
                              const QVector<QString> &bron_rows, const QVector<QString> &nebron_rows);

    // Writes the card archive at `path` (".quelt" appended when missing) holding the card
    // document under `xml_name`. True when the archive is in place; the old card at `path`
    // is replaced only then and stays untouched otherwise.
    bool save_card(QVector<QString> card_values, QVector<QString> balance_rows, QVector<QString> bron_rows,
                   QVector<QString> nebron_rows, QString path, QString xml_name);

    // Reader: kind 1 reads the document and returns the main list (empty, with the read error in
    // messages(), when the document is deeper or holds more rows than a card can); kinds 2, 3
    // and other hand out the balance, bron and nebron rows of the last kind-1 read.
    QVector<QString> parse_card(const QDomDocument &document, int kind);
    // Takes one element with its own text; false when the card goes past a limit.
    bool read_card_element(const QString &tag, const QString &text);

    // Parses card document text and reads it (kind 1). False when it does not parse or goes past
    // a limit: then all four lists are empty and messages() holds the read error.
    bool read_card_document(const QByteArray &xml);
    bool read_card_document(QIODevice *device);

    // Opens a card archive and returns its main list (empty when nothing could be read; the
    // reason is in messages()). "Getbalance", "Getbron" and "Getnebron" hand out the rows.
    QVector<QString> open_card(const QString &path);

    // Where the password list is read from (the program's resource unless set).
    void set_password_list(const QString &path) { password_list_path = path; }
    void set_archiver(const Archiver &archiver) { card_archiver = archiver; }
    // Called before each old-password attempt with its number, the number of old passwords
    // and the text for the progress window.
    void set_old_password_progress(std::function<void(int, int, const QString &)> callback)
    {
        old_password_progress = std::move(callback);
    }

    // Messages of the last save, open or read, in the order to show them.
    const QVector<CardMessage> &messages() const { return card_messages; }
    // The last error or warning text, empty when the last operation went well.
    QString error_text() const;
    // The path the last save wrote (with its extension).
    QString saved_path() const { return last_saved_path; }

    // The reader refuses an archive member whose name begins with "+" or "-"; so does the writer.
    static bool refused_member_name(const QString &name);
    // The one plain file unpacked into `folder`, when it is there and no longer than a member may be.
    static QByteArray read_member(const QString &folder, bool *ok);

    static QString old_password_progress_title();
    static QString old_password_progress_text(int attempt, int count);
    // Drops characters that an XML 1.0 document cannot hold.
    static QString xml_safe(const QString &text);

    QVector<QString> card_values;
    QVector<QString> balance_rows;
    QVector<QString> bron_rows;
    QVector<QString> nebron_rows;
    int row_counter = 0;
    int okved_counter = 0;
    QString okved_record_kind;

private:
    void add_message(CardMessage::Icon icon, const QString &title, const QString &text, bool styled = true);
    void add_read_error();
    void clear_lists();
    void begin_card_read();
    // One value of a balance row, widened from the old eight-value rows; false past the row limit.
    bool read_balance_value(const QString &tag, const QString &text);
    // One value of a reserved or not-reserved row; false past the row limit.
    bool read_reservation_value(QVector<QString> &rows, int count_slot, int row_size, const QString &text);
    // The archive's listing shows one plain member of a card's size; else the message is added.
    bool card_member_acceptable(const QString &path, const PasswordListReader &passwords, const QString &folder);

    QVector<CardMessage> card_messages;
    QString password_list_path;
    Archiver card_archiver;
    std::function<void(int, int, const QString &)> old_password_progress;
    QString last_saved_path;
};
