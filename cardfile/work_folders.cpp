#include "cardfile/work_folders.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace
{

// Private working folders in the temporary folder begin with this.
const char *const work_folder_prefix = "quelt-";

} // namespace

QString folder_template(const QString &folder, const QString &prefix, const QString &kind)
{
    return folder + "/" + prefix + kind + "-XXXXXX";
}

QString work_folder_template(const char *kind)
{
    return folder_template(QDir::tempPath(), work_folder_prefix, kind);
}

int remove_stale_work_folders(const QString &temp_folder, int min_age_seconds)
{
    // Our saving, opening and unfinished-card folders.
    return remove_stale_folders(temp_folder, work_folder_prefix, QStringLiteral("save|open|temp"), min_age_seconds);
}

int remove_stale_folders(const QString &folder, const QString &prefix, const QString &kinds, int min_age_seconds)
{
    const QRegularExpression ours("^" + QRegularExpression::escape(prefix) + "(" + kinds + ")-[A-Za-z0-9]{6}$");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList({prefix + "*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() || !entry.isDir() || !ours.match(entry.fileName()).hasMatch())
            continue;
#ifdef Q_OS_UNIX
        if (entry.ownerId() != uint(geteuid()))
            continue;
#endif
        if (entry.lastModified().toUTC().secsTo(now) < min_age_seconds)
            continue;
        if (QDir(entry.absoluteFilePath()).removeRecursively())
            ++removed;
    }
    return removed;
}
