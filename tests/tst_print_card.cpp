// The card's print form built from plain values: the template, the dpi variants, the ordered passes
// and every value rule, with no window.
#include "printing/card_form.h"

#include <QRegularExpression>
#include <QtTest>

using namespace printing;

namespace
{

CardValues filled_card()
{
    CardValues v;
    v.common.up_left = "<html><body>верх слева</body></html>";
    v.common.up_right = "<html><body>верх справа</body></html>";
    v.common.down_left = "<html><body>низ слева</body></html>";
    v.common.down_right = "<html><body>низ справа</body></html>";
    v.common.fill_date = "15.03.2026";
    v.common.head = {"Генеральный директор", "Иванов", "Иван", "Петрович", "(812)-555-40-60", "77", "()---"};
    v.common.version = version_footer(3, 25);
    v.registration_number = "54076";
    v.reserving = true;
    v.reserving_text = "Да";
    v.full_name = "  Общество с ограниченной\nответственностью   \"Ромашка\" ";
    v.officer = {"Инспектор", "Сидорова", "Анна", "Львовна", "(812)-765-43-21", "", "(812)-765-43-22"};
    v.ogrn = "1027700132195";
    v.legal_city = "Санкт-Петербург";
    v.legal_street = "Невский пр.";
    v.legal_house = "1";
    v.okato = "40262563000";
    v.actual_house = "1";
    v.actual_room = "5";
    v.higher_organisation = "Головная компания";
    v.postal_street = "Невский пр.";
    v.postal_house = "1";
    v.postcode = "190000";
    v.email = "office@romashka.ru";
    v.okpo = "00032537";
    v.okopf_code = "12300";
    v.okopf_name = "Общества с ограниченной ответственностью";
    v.okfs_code = "16";
    v.okfs_name = "Частная собственность";
    v.okved_main = "62.01";
    v.okved_extra = "62.02, 62.09";
    v.okved_name = "Разработка компьютерного программного обеспечения";
    v.inn = "7707083893";
    v.tax_date = "01.02.2003";
    v.kpp = "780101001";
    v.f6_all = "120";
    v.f6_gpz = "40";
    v.f6_of = "10";
    v.f6_neof = "30";
    v.f6_ost = "35";
    v.f6_mp = "3";
    v.f6_priziv = "7";
    v.f6_bron_all = "5";
    v.sphere = "ФОИВ";
    v.state_body = "Нет";
    v.information = "Филиалов нет";
    v.training[0] = {"Иванов И.П.", "10.01.2025", "УМЦ"};
    v.training[1] = {"Сидорова А.Л.", "11.01.2025", "УМЦ"};
    v.training[2] = {"", "01.01.2000", "НЕ ПРОВОДИЛОСЬ"};
    return v;
}

QString pass_value(const CardValues &v, const QString &placeholder)
{
    for (const Pass &pass : card_passes(v, 96))
        if (pass.placeholder == placeholder)
            return pass.value;
    return "<no such pass>";
}

const QRegularExpression any_placeholder("\\[[^\\]<>\\[]{1,40}\\]");

} // namespace

using Change = std::function<void(CardValues &)>;
Q_DECLARE_METATYPE(Change)

class TestPrintCard : public QObject
{
    Q_OBJECT

private slots:
    void value_rules_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *tag, Change change, const char *placeholder, const QString &expected) {
            QTest::newRow(tag) << change << QString(placeholder) << expected;
        };
        const Change none = [](CardValues &) {};
        row("registration while reserving", none, "[РегНомер]", "54076-Б");
        row(
            "registration otherwise", [](CardValues &v) { v.reserving = false; }, "[РегНомер]", "54076-А");
        row(
            "registration empty", [](CardValues &v) { v.registration_number.clear(); }, "[РегНомер]", "");
        row("phone with extension", none, "[Телефон руководителя]", "(812)-555-40-60 (77)");
        row("phone alone", none, "[Телефон ответственного]", "(812)-765-43-21");
        row(
            "phone only the mask", [](CardValues &v) { v.officer.phone = "()---"; }, "[Телефон ответственного]", "");
        row("fax only the mask", none, "[Факс руководителя]", "");
        row("fax", none, "[Факс ответственного]", "(812)-765-43-22");
        row("legal address without room", none, "[Юридический адрес]", "Санкт-Петербург, Невский пр., д.1");
        row(
            "legal address with room", [](CardValues &v) { v.legal_room = "5"; }, "[Юридический адрес]",
            "Санкт-Петербург, Невский пр., д.1, помещ.5");
        row(
            "legal address empty parts", [](CardValues &v) { v.legal_street.clear(), v.legal_city.clear(); },
            "[Юридический адрес]", ", , д.1");
        row("address: house and room", none, "[Фактический адрес]", "1, 5");
        row(
            "address: house alone", [](CardValues &v) { v.actual_room.clear(); }, "[Фактический адрес]", "1");
        row(
            "address: street and house", [](CardValues &v) { v.actual_street = "Садовая ул.", v.actual_room.clear(); },
            "[Фактический адрес]", "Садовая ул., д.1");
        row(
            "address: street, house and room", [](CardValues &v) { v.actual_street = "Садовая ул."; },
            "[Фактический адрес]", "Садовая ул., д.1, помещ.5");
        row("postal address", none, "[почтовый адрес]", "Невский пр., д.1");
        row("postcode", none, "[Индекс]", "190000, ");
        row(
            "postcode empty", [](CardValues &v) { v.postcode.clear(); }, "[Индекс]", "");
        row("kpp with the tax date", none, "[КПП]", "01.02.2003, КПП 780101001");
        row("full name tidied", none, "[Наименование организации]",
            "Общество с ограниченной ответственностью &quot;Ромашка&quot;");
        row("head's full name", none, "[ФИО_рук]", "Иванов Иван Петрович");
        row("initials", none, "[ФИО]", "И.П. Иванов");
        row(
            "initials without patronymic", [](CardValues &v) { v.common.head.patronymic.clear(); }, "[ФИО]",
            "И.. Иванов");
        row("additional information", none, "[Дополнительная информация]",
            "Филиалов нет<br>15. Данные по обучению:<br>ОМП - Иванов И.П. / 10.01.2025 / УМЦ<br>"
            "ВУ - Сидорова А.Л. / 11.01.2025 / УМЦ<br>МП -  / 01.01.2000 / НЕ ПРОВОДИЛОСЬ");
        row(
            "additional information empty", [](CardValues &v) { v.information.clear(); }, "[Дополнительная информация]",
            "<br>15. Данные по обучению:<br>ОМП - Иванов И.П. / 10.01.2025 / УМЦ<br>"
            "ВУ - Сидорова А.Л. / 11.01.2025 / УМЦ<br>МП -  / 01.01.2000 / НЕ ПРОВОДИЛОСЬ");
        row("okved summary", none, "[ПДП]", "62.01, 62.02, 62.09");
        row(
            "okved summary: 449 characters", [](CardValues &v) { v.okved_extra = QString(449, 'x'); }, "[ПДП]",
            "62.01, " + QString(449, 'x'));
        row(
            "okved summary: 450 characters", [](CardValues &v) { v.okved_extra = QString(450, 'x'); }, "[ПДП]",
            "62.01 + см. неосновные коды ОКВЭД");
        row("version", none, "[Колонт5]", "версия программы 3.2025");
        row(
            "markup in a field prints as text", [](CardValues &v) { v.email = "<script>alert(1)</script>"; },
            "[E-mail]", "&lt;script&gt;alert(1)&lt;/script&gt;");
        row("running titles stay HTML", none, "[Колонт1]", "<html><body>верх слева</body></html>");
        row(
            "markup in the training fields prints as text",
            [](CardValues &v) {
                for (TrainingLine &line : v.training)
                    line.who = "<b>" + line.who + "</b>";
            },
            "[Дополнительная информация]",
            "Филиалов нет<br>15. Данные по обучению:<br>ОМП - &lt;b&gt;Иванов И.П.&lt;/b&gt; / 10.01.2025 / УМЦ<br>"
            "ВУ - &lt;b&gt;Сидорова А.Л.&lt;/b&gt; / 11.01.2025 / УМЦ<br>МП - &lt;b&gt;&lt;/b&gt; / 01.01.2000 / "
            "НЕ ПРОВОДИЛОСЬ");
    }
    void value_rules()
    {
        QFETCH(Change, change);
        QFETCH(QString, placeholder);
        QFETCH(QString, expected);
        CardValues v = filled_card();
        change(v);
        QCOMPARE(pass_value(v, placeholder), expected);
        if (placeholder != "[ПДП]" && !expected.isEmpty())
            QVERIFY2(build_card(v, 96).contains(expected), qPrintable(expected));
    }

    void filled_card_leaves_no_placeholder()
    {
        const QString html = build_card(filled_card(), 96);
        QVERIFY(html.size() > 3000);
        QCOMPARE(any_placeholder.match(html).captured(), QString());
        QVERIFY(!html.contains('\n'));
        QVERIFY(!html.contains("DOCTYPE", Qt::CaseInsensitive));
        // Both dates and both the signature lines.
        QCOMPARE(html.count("15.03.2026"), 2);
        QVERIFY(html.contains("Регистрационный номер: </font><font class=\"zagolovok\">54076-Б</font>"));
        QVERIFY(html.contains("190000,  Невский пр., д.1"));
    }

    void template_holds_every_placeholder_of_its_passes()
    {
        const QString html = load_template(card_template);
        QSet<QString> found;
        for (auto it = any_placeholder.globalMatch(html); it.hasNext();)
            found << it.next().captured();
        QSet<QString> passes;
        for (const Pass &pass : card_passes(filled_card(), 96))
            passes << pass.placeholder;
        passes.remove("[ПДП]");
        QCOMPARE(found, passes);
        QCOMPARE(found.size(), 49);
        QCOMPARE(html.count("[Дата]"), 2);
        QCOMPARE(html.count("[КПП]"), 2);
    }

    void progress_makes_47_steps()
    {
        int steps = 0;
        build_card(filled_card(), 96, [&] { ++steps; });
        QCOMPARE(steps, 47);
    }

    // A desktop's dpi, the block it opens and the dpi the card is then built for.
    void dpi_variants_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("open");
        QTest::addColumn<int>("printed");
        QTest::newRow("96") << 96 << 0 << 96;
        QTest::newRow("110") << 110 << 0 << 110;
        QTest::newRow("111") << 111 << 120 << 120;
        QTest::newRow("120") << 120 << 120 << 120;
        QTest::newRow("140") << 140 << 120 << 120;
        QTest::newRow("141") << 141 << 144 << 144;
        QTest::newRow("190") << 190 << 144 << 144;
        QTest::newRow("191") << 191 << 192 << 192;
        QTest::newRow("240") << 240 << 192 << 192;
    }
    void dpi_variants()
    {
        QFETCH(int, dpi);
        QFETCH(int, open);
        QFETCH(int, printed);
        const QString html = build_card(filled_card(), dpi);
        QVERIFY(html.contains("html{height:" + QString::number(9 * printed) + ";}"));
        for (int variant : {120, 144, 192}) {
            const QString number = QString::number(variant);
            const bool commented = variant != open;
            QCOMPARE(html.contains("<!---" + number), commented);
            QCOMPARE(html.contains(number + "--->"), commented);
        }
        QCOMPARE(dpi_variant(dpi), open);
        QCOMPARE(print_dpi(dpi), printed);
    }

    void a_pass_inserts_each_value_once_and_whole_data()
    {
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value holding its placeholder") << "[X]"
                                                       << "<[X]>" << 2 << "a<[X]>b<[X]>c";
        QTest::newRow("shorter value") << "[X]"
                                       << "y" << 2 << "aybyc";
        QTest::newRow("empty value") << "[X]"
                                     << "" << 2 << "abc";
        QTest::newRow("longer value") << "[X]"
                                      << "<<<<<<[X" << 2 << "a<<<<<<[Xb<<<<<<[Xc";
        QTest::newRow("empty placeholder") << ""
                                           << "y" << 0 << "a[X]b[X]c";
    }
    void a_pass_inserts_each_value_once_and_whole()
    {
        QFETCH(QString, placeholder);
        QFETCH(QString, value);
        QFETCH(int, count);
        QFETCH(QString, expected);
        QString html = "a[X]b[X]c";
        QCOMPARE(replace_every(html, placeholder, value), count);
        QCOMPARE(html, expected);
    }

    void later_passes_see_earlier_values()
    {
        CardValues v = filled_card();
        // Item 14 comes before the initials: its typed placeholder is filled.
        v.information = "Подписал [ФИО]";
        // The running titles come after the date: a date typed into one stays as typed.
        v.common.up_left = "<p>[Дата]</p>";
        // A value holding its own placeholder goes in once.
        v.email = "[E-mail]";
        const QString html = build_card(v, 96);
        QVERIFY(html.contains("Подписал И.П. Иванов<br>15."));
        QVERIFY(html.contains("<p>[Дата]</p>"));
        QVERIFY(html.contains("[E-mail]"));
    }

    void markup_typed_into_fields_prints_literally()
    {
        CardValues v = filled_card();
        v.full_name = "ООО \"<Ромашка> & Ко\"";
        v.information = "<b>x</b>";
        v.common.head.surname = "<i>Иванов</i>";
        const QString html = build_card(v, 96);
        QVERIFY(html.contains("ООО &quot;&lt;Ромашка&gt; &amp; Ко&quot;"));
        QVERIFY(html.contains("&lt;b&gt;x&lt;/b&gt;<br>15. Данные по обучению:<br>ОМП - "));
        QVERIFY(html.contains("И.П. &lt;i&gt;Иванов&lt;/i&gt;"));
        QVERIFY(!html.contains("<b>x</b>"));
    }

    void unreadable_template_gives_empty_text()
    {
        QTest::ignoreMessage(QtDebugMsg, "Error open file input");
        QCOMPARE(load_template(":/template/template/none.html"), QString());
    }
};

QTEST_GUILESS_MAIN(TestPrintCard)
#include "tst_print_card.moc"
