#pragma once

// Counts written out in Russian words, as the agreement states its head count.

#include <QString>
#include <QStringList>

namespace printing
{

// Units, teens, tens and hundreds, ten entries each, entry 0 empty.
using NumberWords = QStringList[4];

// Fills the lists that are still empty; a list already filled keeps its entries.
void fill_number_words(NumberWords &words);

// The words of n (0 to 999999) in the nominative, with the feminine forms before "тысяча".
// Outside that range the digits themselves.
QString number_to_words(int n, const NumberWords &words);

} // namespace printing
