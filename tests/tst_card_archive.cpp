#include "test_support.h"

#include "archiver.h"
#include "card_lists.h"
#include "iexml.h"
#include "password_list_reader.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace
{

using Values = QVector<QString>;

const QString pass_list = QStringLiteral(QUELT_SOURCE_DIR "/resources/xml/pass.xml");
const QString golden = QStringLiteral(QUELT_TEST_DATA "/cardfile/golden_card.xml");
const char *const current_password = "marvolt47";

QByteArray file_bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write_file(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList names_in(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
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
    // A fake archiver: records its arguments, standard input and the mode of the folder it extracts
    // into; optionally writes garbage to the archive; exits with `code`.
    QString fake_archiver(const QString &name, int code, bool write_archive)
    {
        const QString dir = scratch.path() + "/" + name;
        QDir().mkpath(dir);
        const QString script = QString("#!/bin/sh\n"
                                       "printf '%s\\n' \"$@\" > '%1/args'\n"
                                       "cat > '%1/stdin'\n"
                                       "for a; do [ \"$prev\" = -- ] && archive=$a; prev=$a; case \"$a\" in -o*) "
                                       "out=${a#-o} ;; esac; done\n"
                                       "[ -n \"$out\" ] && stat -c %a \"$(dirname \"$out\")\" > '%1/mode'\n"
                                       "%2\n"
                                       "exit %3\n")
                                   .arg(dir, write_archive ? "[ \"$1\" = a ] && printf garbage > \"$archive\"" : "",
                                        QString::number(code));
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
    void save_and_open();
    void open_failures_data();
    void open_failures();
    void failed_save_keeps_previous_card_data();
    void failed_save_keeps_previous_card();
    void wildcards_are_literal();
    void password_never_on_command_line();
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

void TestCardArchive::save_and_open()
{
    iexml saver;
    setup(saver);
    const QString path = work + "/Ромашка_Ф18.quelt";
    const QStringList program_dir_before = names_in(QCoreApplication::applicationDirPath());
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
    QCOMPARE(names_in(work), QStringList({"Ромашка_Ф18.quelt", "Ромашка_Ф18.xml"}));
    QCOMPARE(file_bytes(work + "/Ромашка_Ф18.xml"), QByteArray("user's own file"));
    QCOMPARE(names_in(QDir::tempPath()), QStringList());
    QCOMPARE(names_in(QCoreApplication::applicationDirPath()), program_dir_before);

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
    const QStringList entries =
        kind == "two" ? QStringList{"one.xml", "two.xml"} : QStringList{kind.startsWith('-') ? kind : "c.xml"};
    const QString archive = pack_raw(entries, xml, kind == "wrong password" ? "чужой" : current_password);
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
    QCOMPARE(names_in(QDir::tempPath()), QStringList());
}

void TestCardArchive::failed_save_keeps_previous_card_data()
{
    QTest::addColumn<QString>("archiver"); // a fake archiver's name; empty: the real one
    QTest::addColumn<bool>("writes");      // the fake writes garbage to the archive and fails
    QTest::addColumn<QString>("folder");   // below the work folder
    QTest::addColumn<QString>("text");
    const QString failed = "Процесс сохранения данных закончился некорректно.\nПопробуйте сохранить файл в другую "
                           "папку или переустановить программу.";
    QTest::newRow("fails after writing") << "fail_writes" << true << "" << failed;
    QTest::newRow("exits 0 but makes nothing") << "silent" << false << "" << failed;
    QTest::newRow("no such folder") << "" << false << "/no_such_folder"
                                    << "Ошибка создания файла, возможны сбои при его загрузке!\nПроверьте наличие "
                                       "прав на запись в папку <folder>/ или обратитесь к Вашему системному "
                                       "администратору.";
}

void TestCardArchive::failed_save_keeps_previous_card()
{
    QFETCH(QString, archiver);
    QFETCH(bool, writes);
    QFETCH(QString, folder);
    QFETCH(QString, text);
    const QString path = work + folder + "/keep.quelt";
    iexml saver;
    setup(saver);
    if (folder.isEmpty())
        QVERIFY(save(saver, path, "keep.xml"));
    const QByteArray before = file_bytes(path);
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");

    iexml failing;
    setup(failing, archiver.isEmpty() ? QString() : fake_archiver(archiver, writes ? 2 : 0, writes));
    QVERIFY(!save(failing, path, "keep.xml"));
    QCOMPARE(file_bytes(path), before);
    QCOMPARE(names_in(work), folder.isEmpty() ? QStringList({"keep.quelt"}) : QStringList());
    QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toString(), QString("1"));
    QCOMPARE(failing.messages().size(), 1);
    QCOMPARE(failing.messages().first().title, QString("Ошибка!"));
    QCOMPARE(failing.messages().first().text, text.replace("<folder>", work + folder));
    QCOMPARE(names_in(QDir::tempPath()), QStringList());
}

void TestCardArchive::wildcards_are_literal()
{
    QVERIFY(write_file(work + "/cardX.xml", "other"));
    QVERIFY(write_file(work + "/cardX.quelt", "other card"));
    iexml saver;
    setup(saver);
    QVERIFY(save(saver, work + "/card*.quelt", "card*.xml"));
    QCOMPARE(names_in(work), QStringList({"card*.quelt", "cardX.quelt", "cardX.xml"}));
    QCOMPARE(listing(work + "/card*.quelt"), QStringList({"card*.xml"}));
    QCOMPARE(file_bytes(work + "/cardX.quelt"), QByteArray("other card"));
    iexml opener;
    setup(opener);
    QCOMPARE(opener.open_card(work + "/card?.quelt"), Values());
    QCOMPARE(opener.open_card(work + "/card*.quelt").at(0), card.at(0));
}

void TestCardArchive::password_never_on_command_line()
{
    const QString fake = fake_archiver("record", 0, true);
    const QString log = QFileInfo(fake).path();
    // Passwords that would break the line given on standard input never reach the archiver,
    // nor does a save whose password list has no current password.
    QVERIFY(write_file(work + "/empty_pass.xml", "<pass></pass>"));
    QCOMPARE(Archiver(fake).pack(work + "/a.7z", work + "/empty_pass.xml", "a\nb"), Archiver::bad_password);
    iexml refused;
    refused.set_password_list(work + "/empty_pass.xml");
    refused.set_archiver(Archiver(fake));
    QVERIFY(!save(refused, work + "/e.quelt", "e.xml"));
    QVERIFY(!QFile::exists(log + "/args"));

    iexml saver;
    setup(saver, fake);
    QVERIFY(save(saver, work + "/r.quelt", "r.xml"));
    QByteArray args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("a\n-p\n") && args.contains("\n-spd\n") && !args.contains(current_password));
    QVERIFY(file_bytes(log + "/stdin").startsWith(QByteArray(current_password) + "\n"));

    iexml opener;
    setup(opener, fake);
    opener.open_card(work + "/r.quelt");
    args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("e\n") && args.contains("\n-spd\n") && !args.contains("\n-p") &&
            !args.contains(current_password));
    QCOMPARE(file_bytes(log + "/stdin"), QByteArray(current_password) + "\n");
    // The private folder of an opening is the owner's alone, and goes with it.
    QCOMPARE(file_bytes(log + "/mode").trimmed(), QByteArray("700"));
    QCOMPARE(names_in(QDir::tempPath()), QStringList());
}

QUELT_TEST_MAIN(TestCardArchive)
#include "tst_card_archive.moc"
