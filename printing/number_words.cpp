#include "printing/number_words.h"

namespace printing
{

namespace
{

const char *const word_lists[4][10] = {
    {"", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"},
    {"", "одиннадцать", "двенадцать", "тринадцать", "четырнадцать", "пятнадцать", "шестнадцать", "семнадцать",
     "восемнадцать", "девятнадцать"},
    {"", "десять", "двадцать", "тридцать", "сорок", "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"},
    {"", "сто", "двести", "триста", "четыреста", "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"},
};

enum { units, teens, tens, hundreds };

constexpr int largest = 999999;

QString word(const NumberWords &words, int list, int index)
{
    return index < words[list].size() ? words[list].at(index) : QString();
}

QString words_of(int n, const NumberWords &words)
{
    QString s;
    if (n > 999) {
        const int t = n / 1000;
        s += words_of(t, words);
        const int last_two = t % 100, last = t % 10;
        if (last_two >= 11 && last_two <= 14) {
            s += " тысяч ";
        } else if (last == 1) {
            s += ' ';
            s.replace("один ", "одна ");
            s += "тысяча ";
        } else if (last == 2) {
            s += ' ';
            s.replace("два ", "две ");
            s += "тысячи ";
        } else if (last == 3 || last == 4) {
            s += " тысячи ";
        } else {
            s += " тысяч ";
        }
        n %= 1000;
    }
    if (n > 99) {
        s += word(words, hundreds, n / 100) + ' ';
        n %= 100;
    }
    if (n >= 11 && n <= 19)
        s += word(words, teens, n - 10) + ' ';
    else
        s += word(words, tens, n / 10) + ' ' + word(words, units, n % 10) + ' ';
    return s.simplified();
}

} // namespace

void fill_number_words(NumberWords &words)
{
    for (int list = 0; list < 4; ++list) {
        if (!words[list].isEmpty())
            continue;
        for (const char *entry : word_lists[list])
            words[list] << QString::fromUtf8(entry);
    }
}

QString number_to_words(int n, const NumberWords &words)
{
    if (n < 0 || n > largest)
        return QString::number(n);
    if (n == 0)
        return "ноль";
    return words_of(n, words);
}

} // namespace printing
