#include "tests/support/core_test_support.h"

#include "cardfile/archiver.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "cardfile/password_list_reader.h"
#include "cardfile/temp_card.h"
#include "cardfile/work_folders.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/time.h>

using test_support::entries;
using test_support::file_bytes;
using test_support::write_file;

namespace
{

using Values = QVector<QString>;

const QString pass_list = QStringLiteral(QUELT_SOURCE_DIR "/resources/xml/pass.xml");
const QString golden = QStringLiteral(QUELT_TEST_DATA "/cardfile/golden_card.xml");
const char *const current_password = "marvolt47";

bool utime_of(const QString &path, const QDateTime &when)
{
    const struct timeval times[2] = {{time_t(when.toSecsSinceEpoch()), 0}, {time_t(when.toSecsSinceEpoch()), 0}};
    return utimes(QFile::encodeName(path).constData(), times) == 0;
}

// qt.lib holding a QVector<QString> of `count` elements, each given as its stated byte length and its bytes,
// every byte escaped as the settings store may write it.
QByteArray settings_holding(quint32 count, const QList<QPair<quint32, QByteArray>> &elements)
{
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out << quint32(127);
    out.writeBytes("QVector<QString>", 17);
    out << count;
    for (const auto &element : elements) {
        out << element.first;
        out.writeRawData(element.second.constData(), element.second.size());
    }
    QByteArray escaped;
    for (const char c : raw)
        escaped += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    return "[qt]\ntemp=@Variant(" + escaped + ")\n";
}

} // namespace

class TestCardArchive : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp_home; // stands in for the system's temporary folder
    QTemporaryDir scratch;   // fixtures and fake archivers
    QString work;            // where cards are saved, fresh per test
    Archiver real;
    iexml golden_reader;
    Values card;

    void setup(iexml &x, const QString &archiver = QString())
    {
        x.set_password_list(pass_list);
        x.set_archiver(archiver.isEmpty() ? real : Archiver(archiver));
    }
    bool save(iexml &saver, const QString &path, const QString &entry)
    {
        return saver.save_card(card, golden_reader.balance_rows, golden_reader.bron_rows, golden_reader.nebron_rows,
                               path, entry);
    }
    // A fake archiver: records each command's arguments and standard input (args_<command>,
    // stdin_<command>) and the mode of the folder it extracts into; runs `on_pack` for "a"
    // (then the real archiver unless that exits) and the real archiver for everything else.
    QString fake_archiver(const QString &name, const QString &on_pack = QString())
    {
        const QString dir = scratch.path() + "/" + name;
        QDir().mkpath(dir);
        const QString script = QString("#!/bin/sh\n"
                                       "log='%1'; real='%2'; cmd=$1\n"
                                       "printf '%s\\n' \"$@\" > \"$log/args_$cmd\"\n"
                                       "cat > \"$log/stdin_$cmd\"\n"
                                       "for a; do [ \"$prev\" = -- ] && archive=$a; prev=$a; case \"$a\" in -o*) "
                                       "out=${a#-o} ;; esac; done\n"
                                       "[ -n \"$out\" ] && stat -c %a \"$(dirname \"$out\")\" > \"$log/mode\"\n"
                                       "if [ \"$cmd\" = a ]; then\n%3\nfi\n"
                                       "exec \"$real\" \"$@\" < \"$log/stdin_$cmd\"\n")
                                   .arg(dir, real.program(), on_pack.isEmpty() ? ":" : on_pack);
        write_file(dir + "/7z", script.toUtf8());
        QFile::setPermissions(dir + "/7z", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return dir + "/7z";
    }
    // Packs raw XML under the given entries with `password`, the way an older build would have.
    QString pack_raw(const QStringList &entries, const QByteArray &xml, const QString &password)
    {
        QTemporaryDir src;
        const QString archive = work + "/raw.quelt";
        for (const QString &entry : entries)
            if (!write_file(src.path() + "/" + entry, xml) || real.pack(archive, src.path() + "/" + entry, password))
                return QString();
        return archive;
    }
    QStringList listing(const QString &archive)
    {
        real.run({"l", "-slt", "--", archive});
        QStringList entries;
        for (const QByteArray &line : real.last_output().split('\n'))
            if (line.startsWith("Path = ") && !line.endsWith(".quelt") && !line.contains("/"))
                entries << QString::fromUtf8(line.mid(7));
        return entries;
    }

private slots:
    void initTestCase();
    void init();
    void listing_read_data();
    void listing_read();
    void temp_settings_refused_data();
    void temp_settings_refused();
    void oversized_member_never_unpacked_data();
    void oversized_member_never_unpacked();
    void save_and_open();
    void open_failures_data();
    void open_failures();
    void failed_save_keeps_previous_card_data();
    void failed_save_keeps_previous_card();
    void killed_save_leaves_nothing_after_restart_data();
    void killed_save_leaves_nothing_after_restart();
    void written_names_open_data();
    void written_names_open();
    void temp_settings_read_as_written_data();
    void temp_settings_read_as_written();
    void wildcards_are_literal();
    void password_never_on_command_line();
    void save_clears_stale_staging_folders();
};

void TestCardArchive::initTestCase()
{
    QVERIFY(temp_home.isValid() && scratch.isValid());
    qputenv("TMPDIR", QFile::encodeName(temp_home.path()));
    QCOMPARE(QDir::tempPath(), temp_home.path());
    real.set_program(QStandardPaths::findExecutable("7z"));
    if (!real.found())
        QSKIP("7z is not installed");
    QVERIFY(golden_reader.read_card_document(file_bytes(golden)));
    card = golden_reader.card_values.mid(0, card_lists::main_size);
}

void TestCardArchive::init()
{
    work = scratch.path() + "/work_" + QTest::currentTestFunction() + "_" +
           QString(QTest::currentDataTag()).replace(QRegExp("[^A-Za-z0-9]"), "_");
    QDir(work).removeRecursively();
    QVERIFY(QDir().mkpath(work));
}

void TestCardArchive::listing_read_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("members"); // path, size and whether it is a plain file, per member
    const QByteArray head = "7-Zip [64] 16.02\n\nListing archive: a.7z\n\n--\nPath = a.7z\nType = 7z\n";
    const QByteArray member = "\n----------\nPath = card.xml\nSize = 11\n";
    QTest::newRow("plain file") << head + member + "Attributes = A -rw-r--r--\n" << true << "card.xml 11 plain";
    QTest::newRow("link by its attributes") << head + member + "Attributes = A lrwxrwxrwx\n"
                                            << true << "card.xml 11 other";
    QTest::newRow("link by its mode") << head + member + "Mode = lrwxrwxrwx\nAttributes = A -rw-r--r--\n"
                                      << true << "card.xml 11 other";
    QTest::newRow("link by its target") << head + member + "Mode = -rw-r--r--\nSymbolic Link = /etc/passwd\n"
                                        << true << "card.xml 11 other";
    // Only the first kind line counts: a later one may come from the archive's comment.
    QTest::newRow("7z, then another kind")
        << head + "Comment = x\nType = tar\n" + member << true << "card.xml 11 plain";
    QTest::newRow("another kind, then 7z")
        << QByteArray(head).replace("Type = 7z", "Type = tar") + "Comment = x\nType = 7z\n" + member << false << "";
}

void TestCardArchive::listing_read()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, ok);
    QFETCH(QString, members);
    bool read = !ok;
    QStringList got;
    for (const ArchiveMember &m : Archiver::parse_listing(output, &read))
        got << QString("%1 %2 %3").arg(m.path).arg(m.size).arg(m.regular() ? "plain" : "other");
    QCOMPARE(read, ok);
    QCOMPARE(got.join("; "), members);
}

void TestCardArchive::temp_settings_refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("read");
    const QByteArray ab("\0a\0b", 4), cd("\0c\0d", 4);
    const QByteArray sound = settings_holding(2, {{4, ab}, {4, cd}});
    QTest::newRow("two whole strings") << sound << true;
    QTest::newRow("odd length of the first string") << settings_holding(1, {{3, ab}}) << false;
    QTest::newRow("odd length of a later string") << settings_holding(3, {{4, ab}, {3, cd.left(3)}, {4, cd}}) << false;
    QTest::newRow("last string cut short") << settings_holding(2, {{4, ab}, {8, cd}}) << false;
    QTest::newRow("larger than a member may be")
        << "; " + QByteArray(int(max_member_size), 'x') + "\n" + sound << false;
}

// Broken or oversized settings files give no card text.
void TestCardArchive::temp_settings_refused()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, read);
    QString text;
    QCOMPARE(TempCardFile::card_text_of(file, &text), read);
    if (read)
        QCOMPARE(text, QString("ab"));
}

void TestCardArchive::oversized_member_never_unpacked_data()
{
    QTest::addColumn<bool>("temp");
    QTest::newRow("card") << false;
    QTest::newRow("temp") << true;
}

// A member the listing shows past the size limit is refused before anything is unpacked.
void TestCardArchive::oversized_member_never_unpacked()
{
    QFETCH(bool, temp);
    const QString member = work + "/" + (temp ? TempCardFile::member_name : "big.xml");
    QVERIFY(write_file(member, QByteArray(int(max_member_size) + 1, ' ')));
    const QString archive = work + (temp ? "/big.qtemp" : "/big.quelt");
    QCOMPARE(real.pack(archive, member, temp ? "ZAR@wind" : current_password), 0);
    const QString fake = fake_archiver(QString("oversized_") + QTest::currentDataTag());
    iexml card;
    setup(card, fake);
    QVERIFY(temp ? !TempCardFile(Archiver(fake)).read(archive, card) : card.open_card(archive).isEmpty());
    const QString log = QFileInfo(fake).path();
    QCOMPARE(entries(log).filter("args"), QStringList{"args_l"});
}

void TestCardArchive::save_and_open()
{
    iexml saver;
    setup(saver);
    const QString path = work + "/Ромашка_Ф18.quelt";
    const QStringList program_dir_before = entries(QCoreApplication::applicationDirPath());
    QVERIFY(write_file(work + "/Ромашка_Ф18.xml", "user's own file"));
    QVERIFY(save(saver, path, "Ромашка_Ф18.xml"));
    QCOMPARE(saver.messages().size(), 1);
    QCOMPARE(saver.messages().first().title + saver.messages().first().text,
             QString("Успешно!") + "Данные сохранены в файл " + path + "\nДанный файл (.quelt) можно сдавать в ИОГВ.");
    QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toString(), QString("0"));
    // Contents encrypted with the current password only; names readable.
    QCOMPARE(listing(path), QStringList({"Ромашка_Ф18.xml"}));
    QVERIFY(real.last_output().contains("Encrypted = +"));
    QVERIFY(real.extract(path, scratch.path() + "/x", "marvolt") != 0);

    iexml opener;
    setup(opener);
    QCOMPARE(opener.open_card(path), golden_reader.card_values);
    QCOMPARE(opener.open_card("Getbalance") + opener.open_card("Getbron") + opener.open_card("Getnebron"),
             golden_reader.balance_rows + golden_reader.bron_rows + golden_reader.nebron_rows);
    QCOMPARE(card_file_version, 25);
    // Nothing decrypted is left: not beside the card, nor in the temporary or the program's folder.
    QCOMPARE(entries(work), QStringList({"Ромашка_Ф18.quelt", "Ромашка_Ф18.xml"}));
    QCOMPARE(file_bytes(work + "/Ромашка_Ф18.xml"), QByteArray("user's own file"));
    QCOMPARE(entries(QDir::tempPath()), QStringList());
    QCOMPARE(entries(QCoreApplication::applicationDirPath()), program_dir_before);

    // Saving over it replaces it with exactly one new entry.
    card[card_slot::te_orgname] = "Новое имя";
    QVERIFY(save(saver, path, "Другое.xml"));
    card = golden_reader.card_values.mid(0, card_lists::main_size);
    QCOMPARE(listing(path), QStringList({"Другое.xml"}));
    QCOMPARE(opener.open_card(path).at(card_slot::te_orgname), QString("Новое имя"));

    // A card sealed with an older password opens too, after a progress line per password.
    PasswordListReader passwords;
    QVERIFY(passwords.load(pass_list));
    QStringList texts;
    opener.set_old_password_progress(
        [&](int i, int n, const QString &text) { texts << QString("%1 %2 ").arg(i).arg(n) + text; });
    QCOMPARE(opener.open_card(pack_raw({"old.xml"}, file_bytes(golden), passwords.old_passwords.at(1))),
             golden_reader.card_values);
    QCOMPARE(texts, QStringList(
                        {"0 2 Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 0/2",
                         "1 2 Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 1/2"}));
    QVERIFY(opener.messages().isEmpty());
}

void TestCardArchive::open_failures_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text_start");
    QTest::addColumn<int>("icon");
    const int critical = CardMessage::Critical, information = CardMessage::Information;
    QTest::newRow("wrong password") << "Ошибка!"
                                    << "Ошибка чтения файла!\nПроверьте наличие прав на запись во временную папку "
                                    << critical;
    QTest::newRow("two") << "Ошибка 10002!"
                         << "Зафиксирована ошибка временной папки.\nПожалуйста, попробуйте открыть этот файл ещё раз"
                         << information;
    QTest::newRow("-card.xml") << "Ошибка 10003!"
                               << "Допущена ошибка в имени файла, которая может помешать его открытию.\n"
                               << critical;
    QTest::newRow("no archiver") << "Ошибка!"
                                 << "Ошибка - в папке программы не найден файл 7z.exe!\nПереустановите ПО ''Морвель'' "
                                    "или обратитесь к Вашему системному администратору."
                                 << critical;
    QTest::newRow("old") << "Уведомление!"
                         << "Вы открываете старую версию файла ''Морвель''.\n\n"
                         << information;
}

void TestCardArchive::open_failures()
{
    const QString kind = QTest::currentDataTag();
    QFETCH(QString, title);
    QFETCH(QString, text_start);
    QFETCH(int, icon);
    const QByteArray xml =
        kind == "old" ? "<dataroot><R_aORG><Naim_org1>Старая</Naim_org1></R_aORG></dataroot>" : file_bytes(golden);
    const QStringList members =
        kind == "two" ? QStringList{"one.xml", "two.xml"} : QStringList{kind.startsWith('-') ? kind : "c.xml"};
    const QString archive = pack_raw(members, xml, kind == "wrong password" ? "чужой" : current_password);
    QVERIFY(!archive.isEmpty());
    iexml opener;
    setup(opener, kind == "no archiver" ? work + "/no_such_7z" : QString());
    const Values main = opener.open_card(archive);
    QCOMPARE(main.isEmpty(), kind != "old");
    QCOMPARE(main.value(0), QString(kind == "old" ? "Старая" : ""));
    QCOMPARE(opener.open_card("Getbalance").isEmpty(), true);
    // One message only: no old-version notice for a card that was not read.
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().title, title);
    QVERIFY2(opener.messages().first().text.startsWith(text_start), qPrintable(opener.messages().first().text));
    QCOMPARE(int(opener.messages().first().icon), icon);
    QCOMPARE(entries(QDir::tempPath()), QStringList());
}

void TestCardArchive::failed_save_keeps_previous_card_data()
{
    QTest::addColumn<bool>("temp");       // an unfinished card instead of a card
    QTest::addColumn<QString>("on_pack"); // what the fake archiver does for "a"; "real": the real archiver
    QTest::addColumn<QString>("folder");  // below the work folder
    QTest::addColumn<bool>("read_only");  // the previous file may not be written
    QTest::addColumn<QString>("text");
    const QString card_failed = "Процесс сохранения данных закончился некорректно.\nПопробуйте сохранить файл в "
                                "другую папку или переустановить программу.";
    const QString temp_failed = "Процесс сохранения данных закончился некорректно или нажата кнопка ''Отмена''.\n"
                                "Попробуйте сохранить файл в другую папку или переустановить программу.";
    const QString not_created = "Ошибка создания файла, возможны сбои при его загрузке!\nПроверьте наличие прав на "
                                "запись в папку <folder>/ или обратитесь к Вашему системному администратору.";
    const QString read_only = "Файл <path> защищен от записи и не может быть заменен.\nСохраните данные в другой файл "
                              "или снимите с файла атрибут ''Только чтение''.";
    const QString other = "echo other > \"$log/other\"; \"$real\" a -p -spd -y -- \"$archive\" \"$log/other\" "
                          "< \"$log/stdin_a\" > /dev/null; exit 0";
    const QString truncated = "\"$real\" \"$@\" < \"$log/stdin_a\" > /dev/null; "
                              "truncate -s $(($(stat -c %s \"$archive\") / 2)) \"$archive\"; exit 0";
    // The member packed under its own name with one byte more.
    const QString grown = "for f; do :; done; g=\"$log/grown/${f##*/}\"; mkdir -p \"$log/grown\"; "
                          "{ cat \"$f\"; echo; } > \"$g\"; \"$real\" a -p -spd -y -- \"$archive\" \"$g\" "
                          "< \"$log/stdin_a\" > /dev/null; exit 0";
    for (const bool temp : {false, true}) {
        const QString failed = temp ? temp_failed : card_failed;
        const auto row = [&](const char *tag) {
            return &QTest::newRow(qPrintable((temp ? "temp, " : "card, ") + QString(tag)));
        };
        *row("exits 0, member of another size") << temp << grown << "" << false << failed;
        *row("fails after writing") << temp << "printf garbage > \"$archive\"; exit 2"
                                    << "" << false << failed;
        *row("exits 0, makes nothing") << temp << "exit 0"
                                       << "" << false << failed;
        *row("exits 0, empty archive") << temp << ": > \"$archive\"; exit 0"
                                       << "" << false << failed;
        *row("exits 0, corrupt archive") << temp << "printf garbage > \"$archive\"; exit 0"
                                         << "" << false << failed;
        *row("exits 0, truncated archive") << temp << truncated << "" << false << failed;
        *row("exits 0, another file packed") << temp << other << "" << false << failed;
        *row("read-only previous file") << temp << "real"
                                        << "" << true << read_only;
        *row("no such folder") << temp << "real"
                               << "/no_such_folder" << false << not_created;
    }
}

void TestCardArchive::failed_save_keeps_previous_card()
{
    QFETCH(bool, temp);
    QFETCH(QString, on_pack);
    QFETCH(QString, folder);
    QFETCH(bool, read_only);
    QFETCH(QString, text);
    const QString path = work + folder + (temp ? "/keep.qtemp" : "/keep.quelt");
    const auto save_with = [&](const Archiver &archiver, QVector<CardMessage> *messages) {
        iexml saver;
        setup(saver);
        saver.set_archiver(archiver);
        if (!temp) {
            const bool saved = save(saver, path, "keep.xml");
            *messages = saver.messages();
            return saved;
        }
        TempCardFile file(archiver);
        const bool saved = file.write(path, saver.write_card_xml(card, {}, {}, {}).toString(1));
        *messages = file.messages();
        return saved;
    };
    QVector<CardMessage> messages;
    if (folder.isEmpty())
        QVERIFY(save_with(real, &messages));
    const QByteArray before = file_bytes(path);
    if (read_only)
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");

    QVERIFY(!save_with(on_pack == "real" ? real : Archiver(fake_archiver("fake", on_pack)), &messages));
    QCOMPARE(file_bytes(path), before);
    QCOMPARE(entries(work), folder.isEmpty() ? QStringList({QFileInfo(path).fileName()}) : QStringList());
    QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toString(), QString("1"));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().title, QString("Ошибка!"));
    QCOMPARE(messages.first().text, text.replace("<folder>", work + folder).replace("<path>", path));
    QCOMPARE(entries(QDir::tempPath()), QStringList());
    if (read_only)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestCardArchive::killed_save_leaves_nothing_after_restart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("link"); // beside the save, a link named like a working folder to a folder of files
    QTest::newRow("card") << "card" << false;
    QTest::newRow("temp") << "temp" << false;
    QTest::newRow("card, beside a link named like a working folder") << "card" << true;
}

void TestCardArchive::killed_save_leaves_nothing_after_restart()
{
    QFETCH(QString, kind);
    QFETCH(bool, link);
    const QString path = work + (kind == "card" ? "/kill.quelt" : "/kill.qtemp");
    QVERIFY(write_file(path, "previous card"));
    // The archiver kills the program that runs it, as a power cut or the task manager would.
    const QString killer = fake_archiver("killer", "kill -9 $PPID; exit 0");
    QProcess child;
    child.start(QUELT_SAVE_CHILD, {kind, path, killer, pass_list});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(file_bytes(path), QByteArray("previous card"));
    const QStringList left = entries(QDir::tempPath());
    QCOMPARE(left.size(), 1);
    QVERIFY2(QRegExp("quelt-(save|temp)-......").exactMatch(left.first()), qPrintable(left.first()));

    // Folders that are not ours, or not stale yet, stay; so does a link, and what it leads to.
    const QString stale = QDir::tempPath() + "/" + left.first();
    for (const char *name : {"quelt-save-ABC", "quelt-other-ABCDEF", "other-save-ABCDEF"})
        QVERIFY(QDir().mkpath(QDir::tempPath() + "/" + QString(name)));
    QStringList kept{"other-save-ABCDEF", "quelt-other-ABCDEF", "quelt-save-ABC"};
    if (link) {
        QVERIFY(QDir().mkpath(work + "/linked") && write_file(work + "/linked/file", "linked file"));
        QVERIFY(QFile::link(work + "/linked", QDir::tempPath() + "/quelt-save-LINKED"));
        kept << "quelt-save-LINKED";
    }
    QCOMPARE(remove_stale_work_folders(QDir::tempPath()), 0);
    // A minute later, the next start of the program removes the plain text.
    const QDateTime earlier = QDateTime::currentDateTime().addSecs(-120);
    for (const QString &name : entries(QDir::tempPath()))
        QVERIFY(utime_of(QDir::tempPath() + "/" + name, earlier));
    QCOMPARE(remove_stale_work_folders(QDir::tempPath()), 1);
    QVERIFY(!QFileInfo::exists(stale));
    kept.sort();
    QCOMPARE(entries(QDir::tempPath()), kept);
    if (link) {
        QCOMPARE(file_bytes(work + "/linked/file"), QByteArray("linked file"));
        QVERIFY(QFile::remove(QDir::tempPath() + "/quelt-save-LINKED"));
    }
    for (const QString &name : entries(QDir::tempPath()))
        QDir(QDir::tempPath() + "/" + name).removeRecursively();
    QCOMPARE(file_bytes(path), QByteArray("previous card"));
}

void TestCardArchive::written_names_open_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("written");
    QTest::newRow("plus") << "+card.xml" << false;
    QTest::newRow("minus") << "-card.xml" << false;
    QTest::newRow("signs later") << "card+-.xml" << true;
}

// The writer applies the reader's rule for member names: whatever it writes, it can open.
void TestCardArchive::written_names_open()
{
    QFETCH(QString, entry);
    QFETCH(bool, written);
    const QString path = work + "/names.quelt";
    iexml saver;
    setup(saver);
    QCOMPARE(save(saver, path, entry), written);
    QCOMPARE(QFileInfo::exists(path), written);
    if (!written) {
        QCOMPARE(saver.messages().size(), 1);
        QCOMPARE(saver.messages().first().title, QString("Недопустимое имя файла!"));
        return;
    }
    iexml opener;
    setup(opener);
    QCOMPARE(opener.open_card(path), golden_reader.card_values);
}

void TestCardArchive::temp_settings_read_as_written_data()
{
    QTest::addColumn<QString>("text");
    QString every_char;
    for (int c = 1; c < 0x500; ++c)
        every_char += QChar(c);
    QTest::newRow("golden card") << QString::fromUtf8(file_bytes(golden));
    QTest::newRow("every character") << every_char + "\"\\,;=[]%" + QChar(0xFFFD) + " ";
    QTest::newRow("digits after escapes") << QString("\x01"
                                                     "1a\x7f"
                                                     "f\x0b"
                                                     "7 ,;") +
                                                 QChar(0x100) + "0";
    QTest::newRow("empty") << QString("");
}

// The guarded reader of qt.lib gives exactly what the settings store wrote, and what it reads.
void TestCardArchive::temp_settings_read_as_written()
{
    QFETCH(QString, text);
    bool ok = false;
    const QByteArray written = TempCardFile::settings_file_for(text, &ok);
    QVERIFY(ok);
    QString read;
    QVERIFY(TempCardFile::card_text_of(written, &read));
    QCOMPARE(read, text);
    // The same value in other layouts the settings store reads, read as the settings store reads them.
    QByteArray crlf = written;
    crlf.replace("\n", "\r\n");
    const QByteArray value = written.mid(written.indexOf('=') + 1).trimmed();
    qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
    for (const QByteArray &variant :
         {crlf, "; note\n[General]\nx=1\n" + written + "[other]\ntemp=2\n",
          "[qt]\ntemp=1\n  temp  =  " + value + "  ; comment\n", "\xEF\xBB\xBF[qt]\r\ntemp=" + value}) {
        // A file of its own each time: the settings store keeps what it read of a path.
        const QString file = QString("%1/qt%2.lib").arg(work).arg(qHash(variant));
        QVERIFY(write_file(file, variant));
        const QVariant stored = QSettings(file, QSettings::IniFormat).value("qt/temp");
        QVERIFY2(TempCardFile::card_text_of(variant, &read), variant.left(40).constData());
        QCOMPARE(read, stored.value<QVector<QString>>().value(0));
        QCOMPARE(read, text);
    }
}

void TestCardArchive::wildcards_are_literal()
{
    QVERIFY(write_file(work + "/cardX.xml", "other"));
    QVERIFY(write_file(work + "/cardX.quelt", "other card"));
    iexml saver;
    setup(saver);
    QVERIFY(save(saver, work + "/card*.quelt", "card*.xml"));
    QCOMPARE(entries(work), QStringList({"card*.quelt", "cardX.quelt", "cardX.xml"}));
    QCOMPARE(listing(work + "/card*.quelt"), QStringList({"card*.xml"}));
    QCOMPARE(file_bytes(work + "/cardX.quelt"), QByteArray("other card"));
    iexml opener;
    setup(opener);
    QCOMPARE(opener.open_card(work + "/card?.quelt"), Values());
    QCOMPARE(opener.open_card(work + "/card*.quelt").at(card_slot::te_orgname), card.at(card_slot::te_orgname));
}

void TestCardArchive::password_never_on_command_line()
{
    const QString fake = fake_archiver("record");
    const QString log = QFileInfo(fake).path();
    // Passwords that would break the line given on standard input never reach the archiver,
    // nor does a save whose password list has no current password.
    QVERIFY(write_file(work + "/empty_pass.xml", "<pass></pass>"));
    QCOMPARE(Archiver(fake).pack(work + "/a.7z", work + "/empty_pass.xml", "a\nb"), Archiver::bad_password);
    iexml refused;
    refused.set_password_list(work + "/empty_pass.xml");
    refused.set_archiver(Archiver(fake));
    QVERIFY(!save(refused, work + "/e.quelt", "e.xml"));
    QVERIFY(entries(log).filter("args").isEmpty());

    // Packing, testing, listing and unpacking: the password goes over standard input only.
    iexml saver;
    setup(saver, fake);
    QVERIFY(save(saver, work + "/r.quelt", "r.xml"));
    iexml opener;
    setup(opener, fake);
    QCOMPARE(opener.open_card(work + "/r.quelt"), golden_reader.card_values);
    QCOMPARE(entries(log).filter("args"), QStringList({"args_a", "args_e", "args_l", "args_t"}));
    for (const QString command : {"a", "t", "l", "e"}) {
        const QByteArray args = file_bytes(log + "/args_" + command);
        QVERIFY2(args.startsWith(command.toLatin1() + "\n") && args.contains("\n-spd\n") &&
                     !args.contains(current_password) && !args.contains("\n-p" + QByteArray(current_password)),
                 args.constData());
        QVERIFY(file_bytes(log + "/stdin_" + command).startsWith(QByteArray(current_password) + "\n"));
    }
    QVERIFY(!file_bytes(log + "/args_e").contains("\n-p"));
    // The private folder of an opening is the owner's alone, and goes with it.
    QCOMPARE(file_bytes(log + "/mode").trimmed(), QByteArray("700"));
    QCOMPARE(entries(QDir::tempPath()), QStringList());
}

// A save killed while packing leaves its staging folder beside the card; the next save there removes it once it
// is a minute old, and nothing else.
void TestCardArchive::save_clears_stale_staging_folders()
{
    const QStringList names = {".quelt-pack-Old123", ".quelt-pack-New456", ".quelt-other-Old789", "quelt-pack-Old000"};
    for (const QString &name : names) {
        QVERIFY(QDir().mkpath(work + "/" + name) && write_file(work + "/" + name + "/card.7z", "encrypted"));
        if (name.contains("Old"))
            QVERIFY(utime_of(work + "/" + name, QDateTime::currentDateTime().addSecs(-120)));
    }
    iexml saver;
    setup(saver);
    QVERIFY(save(saver, work + "/card.quelt", "card.xml"));
    QCOMPARE(entries(work),
             QStringList({".quelt-other-Old789", ".quelt-pack-New456", "card.quelt", "quelt-pack-Old000"}));
}

QUELT_CORE_TEST_MAIN(TestCardArchive)
#include "tst_card_archive.moc"
