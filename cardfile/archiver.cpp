#include "cardfile/archiver.h"

#include "cardfile/work_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace
{

#ifdef Q_OS_WIN
const char *const program_name = "7z.exe";
#else
const char *const program_name = "7z";
#endif

bool is_program(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The folder a new archive is built in, beside its target: ".quelt-pack-XXXXXX".
const char *const staging_prefix = ".quelt-";
const char *const staging_kind = "pack";

QByteArray password_line(const QString &password)
{
    return password.toUtf8() + '\n';
}

// Lines of the archiver's output, without line ends.
QList<QByteArray> output_lines(const QByteArray &output)
{
    QList<QByteArray> lines = output.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// A file whose mode lets no one write it is read-only, even for the superuser.
bool target_writable(const QFileInfo &target)
{
    if (!target.exists() && !target.isSymLink())
        return true;
    const QFileDevice::Permissions write_bits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return target.isFile() && target.isWritable() && (target.permissions() & write_bits);
}

// The file's bytes are on the disk, so that a power cut after a rename cannot leave an empty file.
bool flushed_to_disk(const QString &path)
{
#ifdef Q_OS_UNIX
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace

bool ArchiveMember::regular() const
{
    if (folder || link || attributes.startsWith('D'))
        return false;
    // Unix attributes follow a blank: a mode string whose first letter is the kind of file.
    const int blank = attributes.indexOf(' ');
    const QString unix_mode = !mode.isEmpty() ? mode : blank < 0 ? QString() : attributes.mid(blank + 1).trimmed();
    return unix_mode.isEmpty() || unix_mode.startsWith('-');
}

Archiver::Archiver() : program_(locate()) {}

Archiver::Archiver(const QString &program) : program_(program) {}

QString Archiver::locate()
{
    const QString beside = QCoreApplication::applicationDirPath() + "/" + program_name;
    if (is_program(beside))
        return beside;
    return QStandardPaths::findExecutable("7z");
}

bool Archiver::found() const
{
    return !program_.isEmpty() && is_program(program_);
}

bool Archiver::password_usable(const QString &password)
{
    return !password.isEmpty() && !password.contains('\n') && !password.contains('\r');
}

int Archiver::run(const QStringList &arguments, const QByteArray &input)
{
    const int code = run_program(arguments, input);
    // A failed run is logged with what the archiver said; the callers turn the code into a message.
    if (code != 0)
        qWarning("Archiver %s exited with %d: %s", qPrintable(arguments.value(0)), code,
                 last_output_.left(2000).constData());
    return code;
}

int Archiver::run_program(const QStringList &arguments, const QByteArray &input)
{
    last_output_.clear();
    if (!found())
        return not_found;

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program_, arguments, QIODevice::ReadWrite);
    if (!process.waitForStarted())
        return failed_to_start;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    // Output is gathered as it comes, so that a flood of it ends the run instead of filling memory.
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(50) && process.state() != QProcess::NotRunning) {
        last_output_ += process.readAll();
        if (last_output_.size() > max_output || clock.elapsed() > timeout_ms_) {
            process.kill();
            process.waitForFinished(5000);
            return failed_to_start;
        }
    }
    last_output_ += process.readAll();
    if (last_output_.size() > max_output)
        return failed_to_start;
    if (process.exitStatus() != QProcess::NormalExit)
        return failed_to_start;
    return process.exitCode();
}

int Archiver::pack(const QString &archive, const QString &file, const QString &password)
{
    if (!password_usable(password))
        return bad_password;
    // A bare -p makes the archiver read the password from standard input; it is given
    // twice in case the archiver asks to confirm it.
    // A card is small: fast compression in one thread packs it in a fraction of the default's
    // time, which pays for testing the archive afterwards.
    const QByteArray line = password_line(password);
    return run({"a", "-p", "-mx3", "-mmt=1", "-spd", "-y", "--", QFileInfo(archive).absoluteFilePath(),
                QFileInfo(file).absoluteFilePath()},
               line + line);
}

int Archiver::extract(const QString &archive, const QString &folder, const QString &password)
{
    if (!password_usable(password))
        return bad_password;
    // Without -p the archiver asks for the password on standard input when it needs one.
    return run({"e", "-y", "-spd", "-o" + QDir(folder).absolutePath(), "--", QFileInfo(archive).absoluteFilePath()},
               password_line(password));
}

int Archiver::list(const QString &archive, const QString &password, QVector<ArchiveMember> *members)
{
    members->clear();
    if (!password_usable(password))
        return bad_password;
    const int code = run({"l", "-slt", "-spd", "--", QFileInfo(archive).absoluteFilePath()}, password_line(password));
    if (code != 0)
        return code;
    bool ok = false;
    *members = parse_listing(last_output_, &ok);
    return ok ? 0 : bad_contents;
}

QVector<ArchiveMember> Archiver::parse_listing(const QByteArray &output, bool *ok)
{
    QVector<ArchiveMember> members;
    bool in_members = false;
    bool seven_zip = false;
    bool type_seen = false;
    *ok = false;
    for (const QByteArray &line : output_lines(output)) {
        if (!in_members) {
            // Cards are 7z archives: the archiver's other formats are never read. The archive's
            // kind comes first; a later line of that form could come from a comment.
            if (line.startsWith("Type = ") && !type_seen) {
                type_seen = true;
                seven_zip = line == "Type = 7z";
            }
            in_members = line == "----------";
            continue;
        }
        const int eq = line.indexOf(" = ");
        const QByteArray key = eq < 0 ? line.trimmed() : line.left(eq);
        const QString value = eq < 0 ? QString() : QString::fromUtf8(line.mid(eq + 3));
        if (key.isEmpty())
            continue;
        if (key == "Path") {
            members.append(ArchiveMember());
            members.last().path = value;
            continue;
        }
        if (members.isEmpty()) {
            // Anything before the first member's path: not a listing we understand.
            return {};
        }
        ArchiveMember &m = members.last();
        if (key == "Size") {
            bool number = false;
            m.size = value.toLongLong(&number);
            if (!number || m.size < 0)
                m.size = -1;
        } else if (key == "Folder") {
            m.folder = value == "+";
        } else if (key == "Attributes") {
            m.attributes = value.trimmed();
        } else if (key == "Mode") {
            m.mode = value.trimmed();
        } else if (key == "Symbolic Link" || key == "Hard Link") {
            m.link = m.link || !value.trimmed().isEmpty();
        }
    }
    *ok = seven_zip;
    return seven_zip ? members : QVector<ArchiveMember>();
}

int Archiver::test(const QString &archive, const QString &password, const QString &member, qint64 size)
{
    if (!password_usable(password))
        return bad_password;
    const int code = run({"t", "-bb1", "-spd", "--", QFileInfo(archive).absoluteFilePath()}, password_line(password));
    if (code != 0)
        return code;
    // The archiver names each member it tested ("T name") and sums up their sizes ("Size: n").
    QStringList tested;
    qint64 total = -1;
    for (const QByteArray &line : output_lines(last_output_)) {
        if (line.startsWith("T "))
            tested << QString::fromUtf8(line.mid(2));
        else if (line.startsWith("Size:"))
            total = line.mid(5).trimmed().toLongLong();
    }
    return tested == QStringList{member} && total == size ? 0 : bad_contents;
}

Archiver::Outcome Archiver::pack_and_replace(const QString &target, const QString &file, const QString &password)
{
    const QFileInfo target_info(target);
    if (!target_writable(target_info))
        return Outcome::target_not_writable;
    // A save killed while it packed left its folder behind (encrypted data only); the next save clears it.
    remove_stale_folders(target_info.absolutePath(), staging_prefix, staging_kind);
    QTemporaryDir staging(folder_template(target_info.absolutePath(), staging_prefix, staging_kind));
    if (!staging.isValid())
        return Outcome::no_staging;
    const QString staged = staging.path() + "/card.7z";
    if (pack(staged, file, password) != 0 || !QFileInfo(staged).isFile())
        return Outcome::pack_failed;
    const QFileInfo packed(file);
    if (test(staged, password, packed.fileName(), packed.size()) != 0)
        return Outcome::test_failed;
    if (!flushed_to_disk(staged) || std::rename(QFile::encodeName(staged).constData(),
                                                QFile::encodeName(target_info.absoluteFilePath()).constData()) != 0)
        return Outcome::replace_failed;
    return Outcome::done;
}
