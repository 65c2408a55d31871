#pragma once

#include <QString>

// The QTemporaryDir template of a folder in `folder` named `prefix`, `kind`, "-" and XXXXXX.
QString folder_template(const QString &folder, const QString &prefix, const QString &kind);

// That of a private working folder of this `kind` ("save", "open" or "temp") in the temporary folder.
QString work_folder_template(const char *kind);

// Removes the private working folders that a killed run of this program left in `temp_folder`:
// only folders named as this program names them, owned by this user and untouched for at least
// `min_age_seconds`. Returns how many were removed.
int remove_stale_work_folders(const QString &temp_folder, int min_age_seconds = 60);

// The same for the folders in `folder` that folder_template() named with `prefix` and one of `kinds` ("a|b"),
// QTemporaryDir having put six letters or digits in place of XXXXXX.
int remove_stale_folders(const QString &folder, const QString &prefix, const QString &kinds, int min_age_seconds = 60);
