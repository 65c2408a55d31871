#include "test_support.h"

#include "archiver.h"
#include "card_lists.h"
#include "iexml.h"
#include "password_list_reader.h"

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

QString oldset()
{
    return QSettings("Trevane", "QUELT").value("settings/oldset").toString();
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
    // A fake archiver: records its arguments, LC_ALL, standard input and the mode of the folder
    // it extracts into; optionally writes garbage to the archive; exits with `code`.
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
    void extension_rules_data();
    void extension_rules();
    void old_password_path();
    void open_failures_data();
    void open_failures();
    void failing_archiver_keeps_previous_card_data();
    void failing_archiver_keeps_previous_card();
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
    QVERIFY(golden_reader.read_card_document(file_bytes(golden)));
    card = golden_reader.card_values.mid(0, card_lists::main_size);
}

void TestCardArchive::init()
{
    work = scratch.path() + "/work_" + QTest::currentTestFunction() + "_" +
           QString(QTest::currentDataTag()).replace(QRegExp("[^A-Za-z0-9]"), "_");
    QDir(work).removeRecursively();
    QVERIFY(QDir().mkpath(work));
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");
}

void TestCardArchive::save_and_open()
{
    iexml saver;
    setup(saver);
    const QString path = work + "/Ромашка_Ф18.quelt";
    QVERIFY(save(saver, path, "Ромашка_Ф18.xml"));
    QCOMPARE(saver.messages().size(), 1);
    QCOMPARE(saver.messages().first().title, QString("Успешно!"));
    QCOMPARE(saver.messages().first().text,
             QString("Данные сохранены в файл ") + path + "\nДанный файл (.quelt) можно сдавать в ИОГВ.");
    QCOMPARE(oldset(), QString("0"));
    QCOMPARE(tree(work), QStringList({"Ромашка_Ф18.quelt"}));
    // Contents encrypted with the current password only; names readable.
    QCOMPARE(listing(path), QStringList({"Ромашка_Ф18.xml"}));
    QVERIFY(real.last_output().contains("Encrypted = +"));
    QVERIFY(real.extract(path, work + "/x1", "marvolt") != 0);
    QCOMPARE(real.extract(path, work + "/x2", current_password), 0);
    QDir(work + "/x1").removeRecursively();
    QDir(work + "/x2").removeRecursively();

    iexml opener;
    setup(opener);
    int progress_calls = 0;
    opener.set_old_password_progress([&](int, int, const QString &) { ++progress_calls; });
    QCOMPARE(opener.open_card(path), golden_reader.card_values);
    QCOMPARE(progress_calls, 0);
    QVERIFY(opener.messages().isEmpty());
    QCOMPARE(opener.open_card("Getbalance"), golden_reader.balance_rows);
    QCOMPARE(opener.open_card("Getbron"), golden_reader.bron_rows);
    QCOMPARE(opener.open_card("Getnebron"), golden_reader.nebron_rows);
    QCOMPARE(card_file_version, 25);

    // Saving over it replaces it with exactly one new entry.
    card[card_slot::te_orgname] = "Новое имя";
    QVERIFY(save(saver, path, "Другое.xml"));
    card = golden_reader.card_values.mid(0, card_lists::main_size);
    QCOMPARE(listing(path), QStringList({"Другое.xml"}));
    QCOMPARE(opener.open_card(path).at(card_slot::te_orgname), QString("Новое имя"));
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
    setup(saver);
    QVERIFY(save(saver, work + "/" + chosen, "card.xml"));
    QCOMPARE(tree(work), QStringList({written}));
    QCOMPARE(saver.saved_path(), work + "/" + written);
    QVERIFY(saver.messages().first().text.contains(work + "/" + written + "\n"));
}

void TestCardArchive::old_password_path()
{
    PasswordListReader passwords;
    QVERIFY(passwords.load(pass_list));
    const QString archive = pack_raw({"old.xml"}, file_bytes(golden), passwords.old_passwords.at(1));
    QVERIFY(!archive.isEmpty());
    iexml opener;
    setup(opener);
    QStringList texts;
    opener.set_old_password_progress([&](int i, int n, const QString &text) {
        QCOMPARE(n, 2);
        QCOMPARE(i, texts.size());
        texts << text;
    });
    QCOMPARE(opener.open_card(archive), golden_reader.card_values);
    QCOMPARE(opener.open_card("Getbalance"), golden_reader.balance_rows);
    QCOMPARE(texts,
             QStringList({"Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 0/2",
                          "Файл quelt создан в программе Морвель старой версии. Производится открытие файла: 1/2"}));
    QVERIFY(opener.messages().isEmpty());
}

void TestCardArchive::open_failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text_start");
    QTest::addColumn<int>("icon");

    const QString read_error = "Ошибка чтения файла!";
    QTest::newRow("wrong password") << "wrong password"
                                    << "Ошибка!"
                                    << read_error + "\nПроверьте наличие прав на запись во временную папку программы "
                                    << int(CardMessage::Critical);
    QTest::newRow("damaged archive") << "damaged"
                                     << "Ошибка!" << read_error << int(CardMessage::Critical);
    QTest::newRow("no archive") << "missing"
                                << "Ошибка!" << read_error << int(CardMessage::Critical);
    QTest::newRow("damaged xml") << "bad xml"
                                 << "Ошибка!" << read_error << int(CardMessage::Critical);
    QTest::newRow("two entries") << "two"
                                 << "Ошибка 10002!"
                                 << "Зафиксирована ошибка временной папки.\nПожалуйста, попробуйте открыть этот файл "
                                    "ещё раз или вручную удалите все файлы и папки из каталога программы: "
                                 << int(CardMessage::Information);
    QTest::newRow("entry named -x") << "-card.xml"
                                    << "Ошибка 10003!"
                                    << "Допущена ошибка в имени файла, которая может помешать его открытию.\n"
                                    << int(CardMessage::Critical);
    QTest::newRow("entry named +x") << "+card.xml"
                                    << "Ошибка 10003!"
                                    << "Допущена ошибка в имени файла" << int(CardMessage::Critical);
    QTest::newRow("no archiver") << "no archiver"
                                 << "Ошибка!"
                                 << "Ошибка - в папке программы не найден файл 7z.exe!\nПереустановите ПО ''Морвель'' "
                                    "или обратитесь к Вашему системному администратору."
                                 << int(CardMessage::Critical);
    // Read, with a notice.
    QTest::newRow("no version") << "old"
                                << "Уведомление!"
                                << "Вы открываете старую версию файла ''Морвель''.\n\n"
                                << int(CardMessage::Information);
}

void TestCardArchive::open_failures()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, text_start);
    QFETCH(int, icon);
    const QByteArray xml = file_bytes(golden);
    QString archive;
    QString archiver;
    if (kind == "wrong password") {
        archive = pack_raw({"w.xml"}, xml, "чужой");
    } else if (kind == "damaged" || kind == "no archiver") {
        archive = work + "/d.quelt";
        iexml saver;
        setup(saver);
        QVERIFY(save(saver, archive, "d.xml"));
        QByteArray bytes = file_bytes(archive);
        for (int i = 40; i < bytes.size() - 40; ++i)
            bytes[i] = char(bytes[i] ^ 0x5A);
        QVERIFY(write_file(archive, bytes));
        if (kind == "no archiver")
            archiver = work + "/no_such_7z";
    } else if (kind == "missing") {
        archive = work + "/missing.quelt";
    } else if (kind == "bad xml") {
        archive = pack_raw({"bad.xml"}, "<dataroot><R_aORG><Naim_org1>x</Naim_org1>", current_password);
    } else if (kind == "two") {
        archive = pack_raw({"one.xml", "two.xml"}, xml, current_password);
    } else if (kind == "old") {
        archive = pack_raw({"v0.xml"}, "<dataroot><R_aORG><Naim_org1>Старая</Naim_org1></R_aORG></dataroot>",
                           current_password);
    } else {
        archive = pack_raw({kind}, xml, current_password);
        QCOMPARE(listing(archive), QStringList({kind}));
    }
    iexml opener;
    setup(opener, archiver);
    const Values main = opener.open_card(archive);
    if (kind == "old") {
        QCOMPARE(main.at(0), QString("Старая"));
        QCOMPARE(card_file_version, 0);
    } else {
        QVERIFY(main.isEmpty());
        QVERIFY(opener.open_card("Getbalance").isEmpty());
    }
    // One message only: no old-version notice for a card that was not read.
    QCOMPARE(opener.messages().size(), 1);
    QCOMPARE(opener.messages().first().title, title);
    QVERIFY2(opener.messages().first().text.startsWith(text_start), qPrintable(opener.messages().first().text));
    QCOMPARE(int(opener.messages().first().icon), icon);
    QCOMPARE(tree(QDir::tempPath()), QStringList());
}

void TestCardArchive::failing_archiver_keeps_previous_card_data()
{
    QTest::addColumn<QString>("archiver"); // fake archiver name, or "missing"
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("writes");
    QTest::newRow("fails") << "fail" << 2 << false;
    QTest::newRow("fails after writing") << "fail_writes" << 2 << true;
    QTest::newRow("exits 0 but makes nothing") << "silent" << 0 << false;
    QTest::newRow("missing") << "missing" << 0 << false;
}

void TestCardArchive::failing_archiver_keeps_previous_card()
{
    QFETCH(QString, archiver);
    QFETCH(int, code);
    QFETCH(bool, writes);
    const QString path = work + "/keep.quelt";
    iexml saver;
    setup(saver);
    QVERIFY(save(saver, path, "keep.xml"));
    const QByteArray before = file_bytes(path);
    QSettings("Trevane", "QUELT").setValue("settings/oldset", "1");

    iexml failing;
    setup(failing, archiver == "missing" ? work + "/no_such_7z" : fake_archiver(archiver, code, writes));
    QVERIFY(!save(failing, path, "keep.xml"));
    QCOMPARE(file_bytes(path), before);
    QCOMPARE(tree(work), QStringList({"keep.quelt"}));
    QCOMPARE(oldset(), QString("1"));
    QCOMPARE(failing.messages().size(), 1);
    QCOMPARE(failing.messages().first().title, QString("Ошибка!"));
    if (archiver != "missing")
        QCOMPARE(failing.messages().first().text,
                 QString("Процесс сохранения данных закончился некорректно.\nПопробуйте сохранить файл в другую папку "
                         "или переустановить программу."));
    else
        QVERIFY(failing.messages().first().text.startsWith("Ошибка - в папке программы не найден файл 7z.exe!"));
}

void TestCardArchive::unwritable_folder_reports_document_error()
{
    iexml saver;
    setup(saver);
    const QString folder = work + "/no_such_folder";
    QVERIFY(!save(saver, folder + "/c.quelt", "c.xml"));
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
    setup(saver);
    const QString path = work + "/p.quelt";
    QVERIFY(write_file(work + "/p.xml", "user's own file"));
    QVERIFY(save(saver, path, "p.xml"));
    iexml opener;
    setup(opener);
    QVERIFY(!opener.open_card(path).isEmpty());
    QCOMPARE(tree(QDir::tempPath()), QStringList());
    QCOMPARE(tree(work), QStringList({"p.quelt", "p.xml"}));
    QCOMPARE(file_bytes(work + "/p.xml"), QByteArray("user's own file"));
    QCOMPARE(tree(QCoreApplication::applicationDirPath()), program_dir_before);

    // The private folder of an opening is the owner's alone.
    iexml watched;
    const QString fake = fake_archiver("watch", 2, false);
    setup(watched, fake);
    QVERIFY(watched.open_card(path).isEmpty());
    QCOMPARE(file_bytes(QFileInfo(fake).path() + "/mode").trimmed(), QByteArray("700"));
    QCOMPARE(tree(QDir::tempPath()), QStringList());
}

void TestCardArchive::wildcards_are_literal()
{
    QVERIFY(write_file(work + "/cardX.xml", "other"));
    QVERIFY(write_file(work + "/cardX.quelt", "other card"));
    iexml saver;
    setup(saver);
    QVERIFY(save(saver, work + "/card*.quelt", "card*.xml"));
    QCOMPARE(tree(work), QStringList({"card*.quelt", "cardX.quelt", "cardX.xml"}));
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
    iexml saver;
    setup(saver, fake);
    QVERIFY(save(saver, work + "/r.quelt", "r.xml"));
    QByteArray args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("a\n-p\n"));
    QVERIFY(args.contains("\n-spd\n"));
    QVERIFY(!args.contains(current_password));
    QVERIFY(file_bytes(log + "/stdin").startsWith(QByteArray(current_password) + "\n"));
    QCOMPARE(file_bytes(log + "/lc_all"), QByteArray("C.UTF-8"));

    iexml opener;
    setup(opener, fake);
    opener.open_card(work + "/r.quelt");
    args = file_bytes(log + "/args");
    QVERIFY(args.startsWith("e\n"));
    QVERIFY(args.contains("\n-spd\n"));
    QVERIFY(!args.contains("\n-p") && !args.contains(current_password));
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

    // A password list without a current password stops the save before anything runs.
    QVERIFY(write_file(work + "/empty_pass.xml", "<pass></pass>"));
    iexml saver;
    saver.set_password_list(work + "/empty_pass.xml");
    saver.set_archiver(archiver);
    QVERIFY(!save(saver, work + "/e.quelt", "e.xml"));
    QVERIFY(!QFile::exists(QFileInfo(fake).path() + "/args"));
    QVERIFY(!QFile::exists(work + "/e.quelt"));
}

QUELT_TEST_MAIN(TestCardArchive)
#include "tst_card_archive.moc"
