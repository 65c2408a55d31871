#pragma once

// The program's settings: its identity and the keys it keeps.
namespace app_settings
{

const char *const organisation = "Trevane";
const char *const organisation_domain = "trevane.ru";
const char *const application = "QUELT";

// What the last save left behind: a card, an unfinished card to remind of, or never remind.
const char *const oldset = "settings/oldset";
const char *const oldset_missing = "no_oldset_in_REG";
constexpr int oldset_card_saved = 0;
constexpr int oldset_temp_saved = 1;
constexpr int oldset_never_remind = 2;
// Left by older versions; removed when an unfinished card is saved.
const char *const obsolete_queltmas = "settings/queltmas";

} // namespace app_settings
