// Damaged and crafted card files opened through the main window: a message, the card on screen
// unchanged, nothing decrypted left behind.
#include "cardfile/archiver.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "cardfile/password_list_reader.h"
#include "cardfile/temp_card.h"
#include "mainwindow/widget.h"
#include "tests/support/form_helpers.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <memory>

using test_support::entries;

namespace
{

const char *const temp_password = "ZAR@wind";
const int big = 40 * 1024 * 1024; // past the limit of one archive member

QByteArray card_xml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot><R_aORG><N_ver_quelt>25</N_ver_quelt>"
           "<Naim_org1>Чужая</Naim_org1>" +
           body + "</R_aORG></dataroot>\n";
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth);
}

// The settings file of an unfinished card holding card_xml(""), with its vector's element count replaced.
QByteArray settings_declaring(const QByteArray &count_escaped)
{
    bool ok = false;
    QByteArray file = TempCardFile::settings_file_for(QString::fromUtf8(card_xml("")), &ok);
    const QByteArray one = QByteArray("QVector<QString>") + "\\0\\0\\0\\0\\x1\\0";
    if (!ok || !file.contains(one))
        return QByteArray();
    return file.replace(one, "QVector<QString>\\0" + count_escaped + "\\0");
}

} // namespace

class TestHostileCards : public QObject
{
    Q_OBJECT

    QTemporaryDir private_temp;
    QTemporaryDir work;
    QString card_password;
    std::unique_ptr<Widget> window;

    // Packs `contents` as the one member `name` of an archive at `path`; `link` stores a link instead.
    bool pack(const QString &path, const QString &name, const QByteArray &contents, const QString &password,
              bool link = false)
    {
        QTemporaryDir source;
        const QString member = source.path() + "/" + name;
        Archiver archiver;
        const QByteArray line = password.toUtf8() + "\n";
        if (name == "many") {
            // Twelve hundred empty members with long names: their listing alone is longer than any run may give.
            QStringList names;
            for (int i = 0; i < 1200; ++i) {
                names << QString("%1/%2%3.xml").arg(source.path(), QString(100, QChar(0x0436))).arg(i);
                QFile(names.last()).open(QIODevice::WriteOnly);
            }
            return archiver.run(QStringList{"a", "-p", "-mx1", "-spd", "-y", "--", path} + names, line + line) == 0;
        }
        if (name == "tar") {
            // Another kind of archive, without a password: the card inside is sound.
            QFile file(member);
            return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.flush() &&
                   archiver.run({"a", "-ttar", "-spd", "-y", "--", path, member}) == 0;
        }
        if (link) {
            if (!QFile::link("/etc/passwd", member))
                return false;
        } else {
            QFile file(member);
            if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
                return false;
        }
        const QStringList options = link ? QStringList{"a", "-p", "-snl", "-mx1", "-spd", "-y", "--"}
                                         : QStringList{"a", "-p", "-mx1", "-spd", "-y", "--"};
        return archiver.run(options + QStringList{path, member}, line + line) == 0;
    }

    QVector<QVector<QString>> collect()
    {
        return {window->collect_card_values(), window->collect_balance_rows(), window->collect_bron_rows(),
                window->collect_nebron_rows()};
    }

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", private_temp.path().toUtf8());
        if (!Archiver().found())
            QSKIP("7z is not installed");
        PasswordListReader passwords;
        QVERIFY(passwords.load(":/database/xml/pass.xml"));
        card_password = passwords.current_password;
        window = std::make_unique<Widget>();
        window->show();
        test_support::set_fields(*window, "te_orgname=Ромашка|le_FamRuk=Иванов|le_INN=7707083893|cb_kat_b=Да");
    }

    // The member of each hostile file, made only when its row runs.
    static QByteArray contents_for(const QString &name)
    {
        const QByteArray rows = QByteArray("<R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>");
        bool ok = false;
        if (name == "deep.quelt")
            return card_xml(nested(100000));
        if (name == "deep20.quelt")
            return card_xml(nested(20000));
        if (name == "zeros.quelt")
            return QByteArray(big, '\0');
        if (name == "blanks.quelt") {
            // Made in place: the test itself keeps one copy of the blanks.
            QByteArray xml = card_xml("<Dop_inf></Dop_inf>");
            return xml.insert(xml.indexOf("</Dop_inf>"), big, ' ');
        }
        if (name == "declared.quelt")
            return card_xml("<balance_str>1000000</balance_str>" + rows.repeated(3));
        if (name == "values.quelt")
            return card_xml("<balance_str>1</balance_str>" + QByteArray("<Kol_all/>").repeated(1000000));
        if (name == "bron.quelt")
            return card_xml("<bron_strok>1</bron_strok>" + QByteArray("<Kod_pdp>1</Kod_pdp>").repeated(5 * 5000 + 1));
        if (name == "tar.quelt")
            return card_xml("");
        if (name == "many.quelt")
            return "-";
        if (name == "count31.qtemp")
            return settings_declaring("\\x7f\\xff\\xff\\xff");
        if (name == "count28.qtemp")
            return settings_declaring("\\x10\\0\\0\\x1");
        if (name == "deep.qtemp")
            return TempCardFile::settings_file_for(QString::fromUtf8(card_xml(nested(100000))), &ok);
        if (name == "big.qtemp")
            return QByteArray("[qt]\ntemp=").append(QByteArray(big, 'x'));
        return QByteArray();
    }

    void hostile_file_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("link"); // the member is a link to a system file
        QTest::newRow("card, nested 100000 deep") << "deep.quelt" << false;
        QTest::newRow("card, nested 20000 deep") << "deep20.quelt" << false;
        QTest::newRow("card, member of 40 MiB") << "zeros.quelt" << false;
        QTest::newRow("card, 40 MiB of blanks in one element") << "blanks.quelt" << false;
        QTest::newRow("card, a million balance rows declared") << "declared.quelt" << false;
        QTest::newRow("card, a million balance values") << "values.quelt" << false;
        QTest::newRow("card, bron values past the limit") << "bron.quelt" << false;
        QTest::newRow("card, member is a link") << "link.quelt" << true;
        QTest::newRow("card, a tar archive") << "tar.quelt" << false;
        QTest::newRow("card, twelve hundred members") << "many.quelt" << false;
        QTest::newRow("temp, 2^31-1 strings declared") << "count31.qtemp" << false;
        QTest::newRow("temp, 2^28+1 strings declared") << "count28.qtemp" << false;
        QTest::newRow("temp, card nested 100000 deep") << "deep.qtemp" << false;
        QTest::newRow("temp, qt.lib of 40 MiB") << "big.qtemp" << false;
    }

    void hostile_file()
    {
        QFETCH(QString, name);
        QFETCH(bool, link);
        QByteArray contents = contents_for(name);
        QVERIFY(link || !contents.isEmpty());
        const bool temp = name.endsWith(".qtemp");
        const QString path = work.path() + "/" + name;
        const QString member = name.startsWith("many")  ? "many"
                               : name.startsWith("tar") ? "tar"
                               : temp                   ? "qt.lib"
                                                        : "card.xml";
        QVERIFY(pack(path, member, contents, temp ? temp_password : card_password, link));
        contents.clear();

        const auto before = collect();
        const QVector<QString> snapshot = window->saved_snapshot;
        QStringList titles, texts;
        test_support::answer_next_modal(QString(), [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            titles << modal->windowTitle();
            texts << (box ? box->text() : QString());
            modal->close();
        });
        window->open_card_file(path);
        QCOMPARE(titles, QStringList{"Ошибка!"});
        const QString expected = temp ? "Ошибка чтения файла!\nПроверьте наличие прав на запись в папку программы и "
                                        "папку с сохраняемым файлом " +
                                            work.path() + "/"
                                      : "Ошибка чтения файла!\nПроверьте наличие прав на запись во временную папку "
                                        "программы ";
        QVERIFY2(texts.first().startsWith(expected), qPrintable(texts.first()));
        QCOMPARE(collect(), before);
        QCOMPARE(window->saved_snapshot, snapshot);
        // Nothing decrypted anywhere: the temporary folder is empty, the card's folder holds the card.
        QCOMPARE(entries(private_temp.path()), QStringList());
        QCOMPARE(entries(work.path()), QStringList{name});
        QFile::remove(path);
    }

    void partial_balance_row_left_out()
    {
        // Two rows declared, one and a half stored: the half row is left out.
        QVector<QString> main = window->collect_card_values();
        main[card_slot::balance_row_count] = "2";
        card_file_version = card_format_version;
        const QVector<QString> row{"1", "Специалисты", "20336", "", "1", "0", "0", "1", "", "1"};
        window->fill_from_card(main, row + row.mid(0, card_lists::balance_row_size / 2), {}, {});
        QCOMPARE(window->collect_balance_rows().size(), card_lists::balance_row_size);
    }
};

QUELT_TEST_MAIN(TestHostileCards)
#include "tst_hostile_cards.moc"
