#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// One member of an archive, as the archiver lists it.
struct ArchiveMember {
    QString path;
    qint64 size = -1; // -1: not given
    bool folder = false;
    QString attributes;
    QString mode; // Unix mode string, when the format keeps one apart
    bool link = false;

    // A plain file: no folder, no link, no device.
    bool regular() const;
};

// Runs the external 7-Zip archiver. Passwords go over its standard input, never on its
// command line; names are passed literally (no wildcards); standard input is always
// fed or closed so that the archiver never waits for a person.
class Archiver
{
public:
    // Exit codes of our own, below any the archiver gives.
    static constexpr int not_found = -2;       // no archiver program
    static constexpr int failed_to_start = -1; // could not start, crashed or timed out
    static constexpr int bad_password = -3;    // empty, or holds a line break: cannot be handed over
    static constexpr int bad_contents = -4;    // the archive is not what was packed, or its listing is unreadable

    // Looks for the archiver beside the program, then on the PATH.
    Archiver();
    // Uses the given program (tests point this at a fake archiver).
    explicit Archiver(const QString &program);

    static QString locate();

    void set_program(const QString &program) { program_ = program; }
    QString program() const { return program_; }
    bool found() const;

    // Runs the archiver with these arguments, writes `input` to its standard input and closes it.
    // Returns the exit code or one of the codes above.
    int run(const QStringList &arguments, const QByteArray &input = QByteArray());

    // Packs one file into a new encrypted 7z archive (stored under the file's bare name).
    int pack(const QString &archive, const QString &file, const QString &password);
    // Extracts every member of an archive into `folder` under bare names, overwriting.
    int extract(const QString &archive, const QString &folder, const QString &password);

    // Lists the members of a 7z archive (the password goes over standard input, for encrypted
    // names); any other kind of archive is bad_contents.
    int list(const QString &archive, const QString &password, QVector<ArchiveMember> *members);
    static QVector<ArchiveMember> parse_listing(const QByteArray &output, bool *ok);
    // Tests an archive: 0 only when it decrypts and checks good and holds exactly one member
    // named `member` of `size` bytes.
    int test(const QString &archive, const QString &password, const QString &member, qint64 size);

    // How a pack_and_replace ended.
    enum class Outcome { done, target_not_writable, no_staging, pack_failed, test_failed, replace_failed };
    // Packs `file` into an archive built beside `target`, tests it and only then renames it over
    // `target`; a target that exists and cannot be written is left alone.
    Outcome pack_and_replace(const QString &target, const QString &file, const QString &password);

    // Combined standard output and error of the last run, for diagnostics.
    QByteArray last_output() const { return last_output_; }

    static bool password_usable(const QString &password);

    // Bytes of output a run may give before it is killed (an archive of a million names).
    static constexpr int max_output = 256 * 1024;

    // Milliseconds a run may take before it is killed.
    void set_timeout(int ms) { timeout_ms_ = ms; }

private:
    QString program_;
    QByteArray last_output_;
    int run_program(const QStringList &arguments, const QByteArray &input);
    int timeout_ms_ = 10 * 60 * 1000;
};
