#pragma once

#include <QString>

// Text rules of the first pages, free of any widget.

// Tidies an organisation's name: control characters, blanks, leading quotes, capitals, city names.
QString normalise_org_name(QString text);
// First letter capital, the rest small, after simplifying the blanks.
QString sentence_case(const QString &text);

// The list of additional OKVED codes: blanks removed, split at commas, sorted by characters,
// joined with ", ". An empty text stays empty.
QString sort_okved_list(const QString &text);
// What is left of a hand-edited list: no white space, no doubled, leading or trailing commas; then sorted.
QString clean_okved_list(const QString &text);

// A tool tip that shows a long value as a block 200 pixels wide.
QString wrap_tooltip_html(const QString &text);

// Appends one blank in place.
QString &append_space(QString &text);
