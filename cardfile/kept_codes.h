#pragma once

#include <QString>
#include <QVector>

// Stored codes that the carried classifiers do not know: the card keeps them as they are, the
// window shows them and tells the user once after a card has been put into it.
namespace kept_codes
{

// A field of the card and the stored code the classifier of that field does not hold; `kept` is
// false when the field cannot hold the code (a damaged card), which is then left out of the card.
struct UnknownCode {
    QString field;
    QString code;
    bool kept = true;
};

// The text a street field shows for a kept street code, and back: the code of such a text, or an
// empty string for any other text (a street name from the list, an empty field).
QString street_text(const QString &code);
QString street_code(const QString &text);

// The text the military office field shows beside a kept office code.
QString office_text(const QString &code);

// The notice listing the kept codes, field by field.
QString notice_title();
QString notice_text(const QVector<UnknownCode> &codes);

} // namespace kept_codes
