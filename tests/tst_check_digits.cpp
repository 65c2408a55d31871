#include "tests/support/core_test_support.h"
#include "validation/check_digits.h"

// Control digits of the test numbers were worked out by hand from the published rules.
class CheckDigitsTest : public QObject
{
    Q_OBJECT

private slots:
    void inn_data();
    void inn();
    void ogrn_data();
    void ogrn();
    void okpo_data();
    void okpo();
};

void CheckDigitsTest::inn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mismatch");

    QTest::newRow("legal entity") << "7707083893" << 0;
    QTest::newRow("legal entity, another") << "1860913905" << 0;
    QTest::newRow("legal entity, wrong control") << "7707083894" << 1;
    QTest::newRow("legal entity, swapped digits") << "7770083893" << 1;
    QTest::newRow("legal entity, remainder 10 gives 0") << "2527601890" << 0;
    QTest::newRow("legal entity, remainder 10 but 1 typed") << "2527601891" << 1;
    QTest::newRow("individual") << "500100732259" << 0;
    QTest::newRow("individual, another") << "555979711472" << 0;
    QTest::newRow("individual, both remainders 10") << "366712768400" << 0;
    QTest::newRow("individual, second control wrong") << "500100732258" << 1;
    QTest::newRow("individual, first control wrong") << "500100732269" << 1;
    QTest::newRow("individual, wrong 11th digit with fitting 12th") << "268465632106" << 1;
    QTest::newRow("blanks around are trimmed") << "  7707083893 " << 0;
    QTest::newRow("blanks around, wrong control") << " 7707083894 " << 1;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("11 digits are not tested") << "77070838931" << 0;
    QTest::newRow("9 digits are not tested") << "770708389" << 0;
    QTest::newRow("letter inside") << "77070838x3" << 1;
    QTest::newRow("blank inside") << "770708 3893" << 0; // 11 characters: not tested
    QTest::newRow("blank inside, tested length") << "77070 3893" << 1;
    QTest::newRow("non-ASCII digit") << QString("770708389") + QChar(0x0663) << 1;
}

void CheckDigitsTest::inn()
{
    QFETCH(QString, text);
    QFETCH(int, mismatch);
    QCOMPARE(inn_check_digit_mismatch(text), mismatch);
}

void CheckDigitsTest::ogrn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mismatch");

    QTest::newRow("legal entity") << "1027700132195" << 0;
    QTest::newRow("legal entity, another") << "1268599528900" << 0;
    QTest::newRow("legal entity, wrong control") << "1027700132196" << 1;
    QTest::newRow("legal entity, remainder 10 gives 0") << "1718818174140" << 0;
    QTest::newRow("legal entity, remainder 10 but 1 typed") << "1718818174141" << 1;
    QTest::newRow("entrepreneur") << "304500116000157" << 0;
    QTest::newRow("entrepreneur, remainder 5") << "398355032624565" << 0;
    QTest::newRow("entrepreneur, remainder 10 gives 0") << "304319554590450" << 0;
    QTest::newRow("entrepreneur, remainder 11 gives 1") << "382619958225421" << 0;
    QTest::newRow("entrepreneur, remainder 12 gives 2") << "330682651233082" << 0;
    QTest::newRow("entrepreneur, remainder 12 but 0 typed") << "330682651233080" << 1;
    QTest::newRow("entrepreneur, wrong control") << "304500116000158" << 1;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("14 digits are not tested") << "10277001321951" << 0;
    QTest::newRow("12 digits are not tested") << "102770013219" << 0;
    QTest::newRow("zero for no number") << "0" << 0;
    QTest::newRow("not trimmed: a blank makes 14 characters") << " 1027700132195" << 0;
    QTest::newRow("not trimmed: a blank in a tested length") << " 102770013219" << 1;
    QTest::newRow("letter inside") << "10277001321a5" << 1;
}

void CheckDigitsTest::ogrn()
{
    QFETCH(QString, text);
    QFETCH(int, mismatch);
    QCOMPARE(ogrn_check_digit_mismatch(text), mismatch);
}

void CheckDigitsTest::okpo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mismatch");

    QTest::newRow("8 digits") << "00032537" << 0;
    QTest::newRow("8 digits, another") << "24180573" << 0;
    QTest::newRow("8 digits, wrong control") << "00032538" << 1;
    QTest::newRow("8 digits, second pass") << "85027391" << 0;
    QTest::newRow("8 digits, second pass, first-pass control 0 typed") << "85027390" << 1;
    QTest::newRow("8 digits, both passes 10 give 0") << "19188510" << 0;
    QTest::newRow("8 digits, both passes 10, 1 typed") << "19188511" << 1;
    QTest::newRow("10 digits") << "1311544445" << 0;
    QTest::newRow("10 digits, wrong control") << "1311544446" << 1;
    QTest::newRow("10 digits, second pass") << "2947424459" << 0;
    QTest::newRow("10 digits, both passes 10 give 0") << "0768163200" << 0;
    QTest::newRow("14 digits tested by the first 8") << "00032537123456" << 0;
    QTest::newRow("14 digits, first 8 wrong") << "00032538123456" << 1;
    QTest::newRow("blanks around are trimmed") << " 00032537  " << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("zero for no code") << "0" << 0;
    QTest::newRow("9 digits are not tested") << "000325371" << 0;
    QTest::newRow("12 digits are not tested") << "000325371234" << 0;
    QTest::newRow("letter inside") << "0003253a" << 1;
}

void CheckDigitsTest::okpo()
{
    QFETCH(QString, text);
    QFETCH(int, mismatch);
    QCOMPARE(okpo_check_digit_mismatch(text), mismatch);
}

QUELT_CORE_TEST_MAIN(CheckDigitsTest)
#include "tst_check_digits.moc"
