#include "archiver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

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

} // namespace

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
    if (!process.waitForFinished(timeout_ms_)) {
        process.kill();
        process.waitForFinished(5000);
        last_output_ = process.readAll();
        return failed_to_start;
    }
    last_output_ = process.readAll();
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
    const QByteArray line = password.toUtf8() + '\n';
    return run(
        {"a", "-p", "-spd", "-y", "--", QFileInfo(archive).absoluteFilePath(), QFileInfo(file).absoluteFilePath()},
        line + line);
}

int Archiver::extract(const QString &archive, const QString &folder, const QString &password)
{
    if (!password_usable(password))
        return bad_password;
    // Without -p the archiver asks for the password on standard input when it needs one.
    return run({"e", "-y", "-spd", "-o" + QDir(folder).absolutePath(), "--", QFileInfo(archive).absoluteFilePath()},
               password.toUtf8() + '\n');
}
