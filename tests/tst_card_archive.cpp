#include "test_support.h"

#include "archiver.h"
#include "card_lists.h"
#include "iexml.h"
#include "password_list_reader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
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

QStringList tree(const QString &root)
{
    QStringList names;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(root).relativeFilePath(it.next());
    names.sort();
    return names;
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
    iexml reader_of_golden;
    Values card, balance, bron, nebron;

    void make_iexml(iexml &x, const Archiver &archiver = Archiver())
    {
        x.set_password_list(pass_list);
        x.set_archiver(archiver.program().isEmpty() ? real : archiver);
    }
    // A fake archiver: records its arguments, environment and standard input, optionally
    // writes garbage to the archive it was given, and exits with `code`.
    QString fake_archiver(const QString &name, int code, bool write_archive)
    {
        const QString dir = scratch.path() + "/" + name;
        QDir().mkpath(dir);
        const QString script = QString("#!/bin/sh\n"
                                       "printf '%s\\n' \"$@\" > '%1/args'\n"
                                       "printf '%s' \"$LC_ALL\" > '%1/lc_all'\n"
                                       "cat > '%1/stdin'\n"
                                       "seen=0; archive=; out=\n"
                                       "for a; do\n"
                                       "  case \"$a\" in -o*) out=${a#-o} ;; esac\n"
                                       "  if [ $seen = 1 ] && [ -z \"$archive\" ]; then archive=$a; fi\n"
                                       "  [ \"$a\" = -- ] && seen=1\n"
                                       "done\n"
                                       "[ -n \"$out\" ] && stat -c %a \"$(dirname \"$out\")\" > '%1/mode'\n"
                                       "%2\n"
                                       "exit %3\n")
                                   .arg(dir, write_archive ? "[ \"$1\" = a ] && printf garbage > \"$archive\"" : "",
                                        QString::number(code));
        const QString path = dir + "/7z";
        write_file(path, script.toUtf8());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }
    // Packs raw XML under `entry` with `password`, the way an older build would have.
    QString pack_raw(const QString &entry, const QByteArray &xml, const QString &password, const QString &extra = {})
    {
        QTemporaryDir src;
        write_file(src.path() + "/" + entry, xml);
        const QString archive = work + "/raw_" + QString::number(qHash(entry + password + extra)) + ".quelt";
        if (real.pack(archive, src.path() + "/" + entry, password) != 0)
            return QString();
        if (!extra.isEmpty()) {
            write_file(src.path() + "/" + extra, xml);
            if (real.pack(archive, src.path() + "/" + extra, password) != 0)
                return QString();
        }
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
    void archiver_runs();
    void save_and_open();
    void saved_card_opens_only_with_current_password();
    void extension_rules_data();
    void extension_rules();
    void old_password_path();
    void wrong_password();
    void damaged_archive();
    void damaged_xml();
    void card_without_version();
    void two_entries_give_10002();
    void entry_name_with_sign_gives_10003();
    void failing_archiver_keeps_previous_card();
    void missing_archiver_stops();
    void unwritable_folder_reports_document_error();
    void no_plain_xml_left_behind();
    void wildcards_are_literal();
    void password_never_on_command_line();
    void unusable_passwords_never_run();
};

void TestCardArchive::initTestCase()
{
    QVERIFY(temp_home.isValid() && scratch.isValid());
    qputenv("TMPDIR", QFile::encodeName(temp_home.path()));
    QCOMPARE(QDir::tempPath(), temp_home.path());
    real.set_program(QStandardPaths::findExecutable("7z"));
    if (!real.found())
        QSKIP("7z is not installed");
    QVERIFY(reader_of_golden.read_card_document(file_bytes(golden)));
    card = reader_of_golden.card_values.mid(0, card_lists::main_size);
    balance = reader_of_golden.balance_rows;
    bron = reader_of_golden.bron_rows;
    nebron = reader_of_golden.nebron_rows;
}

void TestCardArchive::init()
{
    work = scratch.path() + "/work_" + QTest::currentTestFunction() + "_" +
           QString(QTest::currentDataTag()).replace(QRegExp("[^A-Za-z0-9]"), "_");
    QDir(work).removeRecursively();
    QVERIFY(QDir().mkpath(work));
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");
}

void TestCardArchive::archiver_runs()
{
    // Creating reads the password from standard input (once or twice); extracting too.
    QVERIFY(write_file(work + "/f.txt", "hello"));
    QCOMPARE(real.pack(work + "/a.7z", work + "/f.txt", "pw"), 0);
    QCOMPARE(real.extract(work + "/a.7z", work + "/out", "pw"), 0);
    QCOMPARE(file_bytes(work + "/out/f.txt"), QByteArray("hello"));
    QVERIFY(real.extract(work + "/a.7z", work + "/out2", "wrong") != 0);
    QCOMPARE(Archiver(work + "/none").run({"l"}), Archiver::not_found);
}

void TestCardArchive::save_and_open()
{
    iexml saver;
    make_iexml(saver);
    const QString path = work + "/Ромашка_Ф18.quelt";
    QVERIFY(saver.save_card(card, balance, bron, nebron, path, "Ромашка_Ф18.xml"));
    QCOMPARE(saver.saved_path(), path);
    QCOMPARE(saver.messages().size(), 1);
    QCOMPARE(saver.messages().first().title, QString("Успешно!"));
    QCOMPARE(saver.messages().first().text,
             QString("Данные сохранены в файл ") + path + "\nДанный файл (.quelt) можно сдавать в ИОГВ.");
    QCOMPARE(saver.messages().first().icon, CardMessage::Information);
    QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toInt(), 0);
    QCOMPARE(tree(work), QStringList({"Ромашка_Ф18.quelt"}));
    QCOMPARE(file_bytes(path).left(6), QByteArray("7z\xBC\xAF\x27\x1C", 6));
    QCOMPARE(listing(path), QStringList({"Ромашка_Ф18.xml"}));

    iexml opener;
    make_iexml(opener);
    int progress_calls = 0;
    opener.set_old_password_progress([&](int, int, const QString &) { ++progress_calls; });
    const Values main = opener.open_card(path);
    QCOMPARE(progress_calls, 0);
    QVERIFY(opener.messages().isEmpty());
    QCOMPARE(main.size(), card_lists::read_main_size);
    QCOMPARE(main, reader_of_golden.card_values);
    QCOMPARE(opener.open_card("Getbalance"), balance);
    QCOMPARE(opener.open_card("Getbron"), bron);
    QCOMPARE(opener.open_card("Getnebron"), nebron);
    QCOMPARE(card_file_version, 25);
    QCOMPARE(opener.open_card("getbalance"), Values());

    // Saving over it replaces it with exactly one new entry.
    Values changed = card;
    changed[card_slot::te_orgname] = "Новое имя";
    QVERIFY(saver.save_card(changed, balance, bron, nebron, path, "Другое.xml"));
    QCOMPARE(listing(path), QStringList({"Другое.xml"}));
    QCOMPARE(opener.open_card(path).at(card_slot::te_orgname), QString("Новое имя"));
}

void TestCardArchive::saved_card_opens_only_with_current_password()
{
    iexml saver;
    make_iexml(saver);
    QVERIFY(saver.save_card(card, {}, {}, {}, work + "/c.quelt", "c.xml"));
    QVERIFY(real.extract(work + "/c.quelt", work + "/x1", "000") != 0);
    QVERIFY(real.extract(work + "/c.quelt", work + "/x2", "111") != 0);
    QVERIFY(real.extract(work + "/c.quelt", work + "/x3", "marvolt") != 0);
    QCOMPARE(real.extract(work + "/c.quelt", work + "/x4", current_password), 0);
    QCOMPARE(tree(work + "/x4"), QStringList({"c.xml"}));
    // Contents encrypted, names readable (no header encryption).
    QCOMPARE(listing(work + "/c.quelt"), QStringList({"c.xml"}));
    real.run({"l", "-slt", "--", work + "/c.quelt"});
    QVERIFY(real.last_output().contains("Encrypted = +"));
}

void TestCardArchive::extension_rules_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "card"
                                  << "card.quelt";
    QTest::newRow("extension") << "card.quelt"
                               << "card.quelt";
    QTest::newRow("letters without dot") << "myquelt"
                                         << "myquelt.quelt";
    QTest::newRow("capitals") << "card.QUELT"
                              << "card.QUELT.quelt";
}

void TestCardArchive::extension_rules()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    iexml saver;
    make_iexml(saver);
    QVERIFY(saver.save_card(card, {}, {}, {}, work + "/" + chosen, "card.xml"));
    QCOMPARE(tree(work), QStringList({written}));
    QCOMPARE(saver.saved_path(), work + "/" + written);
    QVERIFY(saver.messages().first().text.contains(work + "/" + written + "\n"));
}

void TestCardArchive::old_password_path()
{
    PasswordListReader passwords;
    QVERIFY(passwords.load(pass_list));
    const QString archive = pack_raw("old.xml", file_bytes(golden), passwords.old_passwords.at(1));
    QVERIFY(!archive.isEmpty());
    iexml opener;
    make_iexml(opener);
    QStringList texts;
    opener.set_old_password_progress([&](int i, int n, const QString &text) {
        QCOMPARE(n, 2);
        QCOMPARE(i, texts.size());
        texts << text;
    });
    QCOMPARE(opener.open_card(archive), reader_of_golden.card_values);
    QCOMPARE(opener.open_card("Getbalance"), balance);
    QCOMPARE(texts,
             QStringList({"Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 0/2",
                          "Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 1/2"}));
    QCOMPARE(iexml::old_password_progress_title(), QString("Старая версия файла!"));
    QVERIFY(opener.messages().isEmpty());
}

void TestCardArchive::wrong_password()
{
    const QString archive = pack_raw("w.xml", file_bytes(golden), "чужой");
    iexml opener;
    make_iexml(opener);
    int calls = 0;
    opener.set_old_password_progress([&](int, int, const QString &) { ++calls; });
    QVERIFY(opener.open_card(archive).isEmpty());
    QCOMPARE(calls, 2);
    QVERIFY(opener.open_card("Getbalance").isEmpty());
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().title, QString("Ошибка!"));
    QCOMPARE(opener.messages().first().text,
             QString("Ошибка чтения файла!\nПроверьте наличие прав на запись во временную папку программы ") +
                 QDir::tempPath() +
                 " или обратитесь к Вашему системному администратору.\n\nВНИМАНИЕ!\nПри ограничении прав на запись "
                 "сохранение введенных данных также будет невозможно!");
}

void TestCardArchive::damaged_archive()
{
    iexml saver;
    make_iexml(saver);
    const QString path = work + "/d.quelt";
    QVERIFY(saver.save_card(card, balance, bron, nebron, path, "d.xml"));
    QByteArray bytes = file_bytes(path);
    for (int i = 40; i < bytes.size() - 40; ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    QVERIFY(write_file(path, bytes));
    iexml opener;
    make_iexml(opener);
    QVERIFY(opener.open_card(path).isEmpty());
    QVERIFY(opener.open_card("Getbron").isEmpty());
    QCOMPARE(opener.messages().size(), 1);
    QVERIFY(opener.messages().first().text.startsWith("Ошибка чтения файла!"));

    QVERIFY(write_file(path, bytes.left(30)));
    QVERIFY(opener.open_card(path).isEmpty());
    QVERIFY(opener.open_card(work + "/missing.quelt").isEmpty());
    QVERIFY(opener.messages().first().text.startsWith("Ошибка чтения файла!"));
}

void TestCardArchive::damaged_xml()
{
    card_file_version = 0;
    const QString archive = pack_raw("bad.xml", "<dataroot><R_aORG><Naim_org1>x</Naim_org1>", current_password);
    iexml opener;
    make_iexml(opener);
    QVERIFY(opener.open_card(archive).isEmpty());
    QVERIFY(opener.open_card("Getbalance").isEmpty());
    // The read error only; no old-version notice for a card that was not read.
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().icon, CardMessage::Critical);
    QVERIFY(opener.messages().first().text.startsWith("Ошибка чтения файла!"));
}

void TestCardArchive::card_without_version()
{
    const QString archive =
        pack_raw("v0.xml", "<dataroot><R_aORG><Naim_org1>Старая</Naim_org1></R_aORG></dataroot>", current_password);
    iexml opener;
    make_iexml(opener);
    const Values main = opener.open_card(archive);
    QCOMPARE(main.size(), card_lists::read_main_size);
    QCOMPARE(main.at(0), QString("Старая"));
    QCOMPARE(card_file_version, 0);
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().title, QString("Уведомление!"));
    QCOMPARE(opener.messages().first().icon, CardMessage::Information);
    QVERIFY(opener.messages().first().text.startsWith("Вы открываете старую версию файла ''Морвель''.\n\n"));
}

void TestCardArchive::two_entries_give_10002()
{
    const QString archive = pack_raw("one.xml", file_bytes(golden), current_password, "two.xml");
    QCOMPARE(listing(archive).size(), 2);
    iexml opener;
    make_iexml(opener);
    QVERIFY(opener.open_card(archive).isEmpty());
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().title, QString("Ошибка 10002!"));
    QCOMPARE(opener.messages().first().icon, CardMessage::Information);
    QVERIFY(!opener.messages().first().styled);
    QVERIFY(opener.messages().first().text.startsWith(
        "Зафиксирована ошибка временной папки.\nПожалуйста, попробуйте открыть этот файл ещё раз или вручную удалите "
        "все файлы и папки из каталога программы: "));
    QCOMPARE(tree(QDir::tempPath()), QStringList());
}

void TestCardArchive::entry_name_with_sign_gives_10003()
{
    for (const QString entry : {"-card.xml", "+card.xml"}) {
        const QString archive = pack_raw(entry, file_bytes(golden), current_password);
        QCOMPARE(listing(archive), QStringList({entry}));
        iexml opener;
        make_iexml(opener);
        QVERIFY(opener.open_card(archive).isEmpty());
        QCOMPARE(opener.messages().size(), 1);
        QCOMPARE(opener.messages().first().title, QString("Ошибка 10003!"));
        QCOMPARE(opener.messages().first().icon, CardMessage::Critical);
        QVERIFY(opener.messages().first().text.startsWith(
            "Допущена ошибка в имени файла, которая может помешать его открытию.\n"));
        QCOMPARE(tree(QDir::tempPath()), QStringList());
    }
}

void TestCardArchive::failing_archiver_keeps_previous_card()
{
    iexml saver;
    make_iexml(saver);
    const QString path = work + "/keep.quelt";
    QVERIFY(saver.save_card(card, balance, bron, nebron, path, "keep.xml"));
    const QByteArray before = file_bytes(path);
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");

    for (bool writes : {false, true}) {
        iexml failing;
        make_iexml(failing, Archiver(fake_archiver(writes ? "fail_writes" : "fail", 2, writes)));
        QVERIFY(!failing.save_card(card, {}, {}, {}, path, "keep.xml"));
        QCOMPARE(file_bytes(path), before);
        QCOMPARE(tree(work), QStringList({"keep.quelt"}));
        QCOMPARE(failing.messages().size(), 1);
        QCOMPARE(failing.messages().first().title, QString("Ошибка!"));
        QCOMPARE(failing.messages().first().icon, CardMessage::Warning);
        QCOMPARE(failing.messages().first().text,
                 QString("Процесс сохранения данных закончился некорректно.\nПопробуйте сохранить файл в другую папку "
                         "или переустановить программу."));
        QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toString(), QString("1"));
    }
    // Exit code 0 but no archive made: no success either.
    iexml silent;
    make_iexml(silent, Archiver(fake_archiver("silent", 0, false)));
    QVERIFY(!silent.save_card(card, {}, {}, {}, path, "keep.xml"));
    QCOMPARE(file_bytes(path), before);
}

void TestCardArchive::missing_archiver_stops()
{
    const QString path = work + "/m.quelt";
    QVERIFY(write_file(path, "old card"));
    iexml saver;
    make_iexml(saver, Archiver(work + "/no_such_7z"));
    QVERIFY(!saver.save_card(card, {}, {}, {}, path, "m.xml"));
    QCOMPARE(saver.messages().size(), 1);
    QCOMPARE(saver.messages().first().title, QString("Ошибка!"));
    QCOMPARE(saver.messages().first().icon, CardMessage::Critical);
    QCOMPARE(saver.messages().first().text,
             QString("Ошибка - в папке программы не найден файл 7z.exe!\nПереустановите ПО ''Морвель'' или обратитесь "
                     "к Вашему системному администратору."));
    QCOMPARE(file_bytes(path), QByteArray("old card"));
    QCOMPARE(tree(work), QStringList({"m.quelt"}));

    iexml opener;
    make_iexml(opener, Archiver(work + "/no_such_7z"));
    QVERIFY(opener.open_card(path).isEmpty());
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().text, saver.messages().first().text);
}

void TestCardArchive::unwritable_folder_reports_document_error()
{
    iexml saver;
    make_iexml(saver);
    const QString folder = work + "/no_such_folder";
    QVERIFY(!saver.save_card(card, {}, {}, {}, folder + "/c.quelt", "c.xml"));
    QCOMPARE(saver.messages().size(), 1);
    QCOMPARE(saver.messages().first().icon, CardMessage::Critical);
    QCOMPARE(
        saver.messages().first().text,
        QString("Ошибка создания файла, возможны сбои при его загрузке!\nПроверьте наличие прав на запись в папку ") +
            folder + "/ или обратитесь к Вашему системному администратору.");
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(tree(QDir::tempPath()), QStringList());
}

void TestCardArchive::no_plain_xml_left_behind()
{
    const QStringList program_dir_before = tree(QCoreApplication::applicationDirPath());
    iexml saver;
    make_iexml(saver);
    const QString path = work + "/p.quelt";
    QVERIFY(write_file(work + "/p.xml", "user's own file"));
    QVERIFY(saver.save_card(card, balance, bron, nebron, path, "p.xml"));
    QCOMPARE(tree(QDir::tempPath()), QStringList());
    QCOMPARE(tree(work), QStringList({"p.quelt", "p.xml"}));
    QCOMPARE(file_bytes(work + "/p.xml"), QByteArray("user's own file"));

    iexml opener;
    make_iexml(opener);
    QVERIFY(!opener.open_card(path).isEmpty());
    QCOMPARE(tree(QDir::tempPath()), QStringList());
    QCOMPARE(tree(work), QStringList({"p.quelt", "p.xml"}));
    QCOMPARE(tree(QCoreApplication::applicationDirPath()), program_dir_before);

    // The private folder of an opening is the owner's alone.
    iexml watched;
    const QString fake = fake_archiver("watch", 2, false);
    make_iexml(watched, Archiver(fake));
    QVERIFY(watched.open_card(path).isEmpty());
    QCOMPARE(file_bytes(QFileInfo(fake).path() + "/mode").trimmed(), QByteArray("700"));
    QCOMPARE(tree(QDir::tempPath()), QStringList());
}

void TestCardArchive::wildcards_are_literal()
{
    QVERIFY(write_file(work + "/cardX.xml", "other"));
    QVERIFY(write_file(work + "/cardX.quelt", "other card"));
    iexml saver;
    make_iexml(saver);
    QVERIFY(saver.save_card(card, {}, {}, {}, work + "/card*.quelt", "card*.xml"));
    QCOMPARE(tree(work), QStringList({"card*.quelt", "cardX.quelt", "cardX.xml"}));
    QCOMPARE(listing(work + "/card*.quelt"), QStringList({"card*.xml"}));
    QCOMPARE(file_bytes(work + "/cardX.quelt"), QByteArray("other card"));
    iexml opener;
    make_iexml(opener);
    QCOMPARE(opener.open_card(work + "/card?.quelt"), Values());
    QCOMPARE(opener.open_card(work + "/card*.quelt").at(0), card.at(0));
}

void TestCardArchive::password_never_on_command_line()
{
    const QString fake = fake_archiver("record", 0, true);
    const QString log = QFileInfo(fake).path();
    iexml saver;
    make_iexml(saver, Archiver(fake));
    QVERIFY(saver.save_card(card, {}, {}, {}, work + "/r.quelt", "r.xml"));
    QByteArray args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("a\n-p\n"));
    QVERIFY(args.contains("\n-spd\n"));
    QVERIFY(!args.contains(current_password));
    QVERIFY(file_bytes(log + "/stdin").startsWith(QByteArray(current_password) + "\n"));
    QCOMPARE(file_bytes(log + "/lc_all"), QByteArray("C.UTF-8"));

    iexml opener;
    make_iexml(opener, Archiver(fake));
    opener.open_card(work + "/r.quelt");
    args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("e\n"));
    QVERIFY(!args.contains("\n-p"));
    QVERIFY(!args.contains(current_password));
    QCOMPARE(file_bytes(log + "/stdin"), QByteArray(current_password) + "\n");
}

void TestCardArchive::unusable_passwords_never_run()
{
    const QString fake = fake_archiver("never", 0, false);
    Archiver archiver(fake);
    QVERIFY(write_file(work + "/f", "x"));
    QCOMPARE(archiver.pack(work + "/a.7z", work + "/f", "a\nb"), Archiver::bad_password);
    QCOMPARE(archiver.pack(work + "/a.7z", work + "/f", "a\rb"), Archiver::bad_password);
    QCOMPARE(archiver.extract(work + "/a.7z", work + "/o", QString()), Archiver::bad_password);
    QVERIFY(!QFile::exists(QFileInfo(fake).path() + "/args"));

    // A password list without a current password stops the save before anything runs.
    QVERIFY(write_file(work + "/empty_pass.xml", "<pass></pass>"));
    iexml saver;
    saver.set_password_list(work + "/empty_pass.xml");
    saver.set_archiver(archiver);
    QVERIFY(!saver.save_card(card, {}, {}, {}, work + "/e.quelt", "e.xml"));
    QVERIFY(!QFile::exists(QFileInfo(fake).path() + "/args"));
    QVERIFY(!QFile::exists(work + "/e.quelt"));
}

QUELT_TEST_MAIN(TestCardArchive)
#include "tst_card_archive.moc"
