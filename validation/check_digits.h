#pragma once

// Control digits of the organisation's registration codes. Each function returns 1 when the
// control digit does not match and 0 when it matches or the length is not one it tests.

#include <QString>

// ИНН: 10 digits (legal entity) or 12 (individual); the text is trimmed first.
int inn_check_digit_mismatch(const QString &inn);

// ОГРН: 13 digits, or ОГРНИП: 15 digits; the text is taken as it is (a blank counts in its length).
int ogrn_check_digit_mismatch(const QString &ogrn);

// ОКПО: 8 or 10 digits; 14 digits are tested by their first 8. The text is trimmed first.
int okpo_check_digit_mismatch(const QString &okpo);
