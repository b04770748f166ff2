#include "data/IsolatedReader.h"

#include "data/DataError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_READER_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_READER_UNDER_ASAN 1
#endif
#endif

namespace {

IsolatedReader::Limits currentLimits;
QString programOverride;
constexpr int StartTimeoutMs = 10000;

QString fullPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
#ifdef Q_OS_LINUX
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
#else
    return QDir::currentPath();
#endif
}

// The reason the reader gave: its last line that starts with "error: " (the libraries may
// print their own messages before it).
QString readerReason(const QByteArray& err)
{
    const QList<QByteArray> lines = err.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        if (it->startsWith("error: "))
            return QString::fromUtf8(it->mid(7)).trimmed();
    return {};
}

// Runs the reader on the file; its output decoded, or a DataError starting with what.
TextTable runReader(const QString& what, const QString& file, const QStringList& args)
{
    if (!QFileInfo::exists(file))
        throw DataError(QStringLiteral("%1: the file does not exist").arg(what).toStdString());
    if (QFileInfo(file).isDir())
        throw DataError(QStringLiteral("%1: it is a folder, not a file").arg(what).toStdString());
    const QString program = programOverride.isEmpty() ? IsolatedReader::readerProgram() : programOverride;
    if (program.isEmpty())
        throw DataError(QStringLiteral("%1: the reader program velmora-reader is not installed beside %2")
                            .arg(what, QDir::toNativeSeparators(executableDir()))
                            .toStdString());

    const IsolatedReader::Limits limits = currentLimits;
    QProcess reader;
    reader.setProgram(program);
    reader.setArguments(args);
    reader.setStandardInputFile(QProcess::nullDevice());
#ifdef VELMORA_READER_UNDER_ASAN
    // The address sanitizer reserves terabytes of address space, so an address-space limit
    // would stop the reader at once: let the sanitizer enforce the memory limit instead.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString options = env.value(QStringLiteral("ASAN_OPTIONS"));
    options += QStringLiteral("%1detect_leaks=0:hard_rss_limit_mb=%2")
                   .arg(options.isEmpty() ? QString() : QStringLiteral(":"))
                   .arg(limits.memoryBytes / (1024 * 1024));
    env.insert(QStringLiteral("ASAN_OPTIONS"), options);
    reader.setProcessEnvironment(env);
#endif
#ifdef Q_OS_UNIX
    const rlim_t memory = static_cast<rlim_t>(limits.memoryBytes);
    reader.setChildProcessModifier([memory]() {
        // Runs in the child between fork and exec: only async-signal-safe calls here.
        struct rlimit none = { 0, 0 };
        setrlimit(RLIMIT_CORE, &none); // a crash on a damaged file leaves no core dump
#ifndef VELMORA_READER_UNDER_ASAN
        struct rlimit space = { memory, memory };
        setrlimit(RLIMIT_AS, &space);
#else
        (void)memory;
#endif
    });
#endif
    reader.start();
    if (!reader.waitForStarted(StartTimeoutMs))
        throw DataError(QStringLiteral("%1: the reader program could not be started (%2)")
                            .arg(what, reader.errorString())
                            .toStdString());
    if (!reader.waitForFinished(limits.timeoutMs)) {
        reader.kill();
        reader.waitForFinished(2000);
        throw DataError(
            QStringLiteral("%1: reading took longer than %2 seconds and was stopped; the file may be "
                           "damaged")
                .arg(what)
                .arg(limits.timeoutMs / 1000.0)
                .toStdString());
    }
    const QByteArray output = reader.readAllStandardOutput();
    const QByteArray errors = reader.readAllStandardError();
    if (reader.exitStatus() == QProcess::CrashExit)
        throw DataError(
            QStringLiteral("%1: the file could not be read, the reader stopped on it; the file may be "
                           "damaged")
                .arg(what)
                .toStdString());
    if (reader.exitCode() != 0) {
        const QString reason = readerReason(errors);
        throw DataError(
            QStringLiteral("%1: %2")
                .arg(what,
                    reason.isEmpty() ? QStringLiteral("the file could not be read (the reader ended with "
                                                      "status %1); the file may be damaged")
                                           .arg(reader.exitCode())
                                     : reason)
                .toStdString());
    }
    QString why;
    std::optional<TextTable> table = decodeTextTable(output, &why);
    if (!table)
        throw DataError(QStringLiteral("%1: the reader's answer could not be understood (%2)")
                            .arg(what, why)
                            .toStdString());
    return std::move(*table);
}

} // namespace

TextTable IsolatedReader::readMdbTable(const QString& mdbPath, const QString& tableName)
{
    const QString file = fullPath(mdbPath);
    return runReader(QStringLiteral("Cannot read the table \"%1\" of %2").arg(tableName, file), file,
        { QStringLiteral("mdb"), file, tableName });
}

TextTable IsolatedReader::readFirstWorksheet(const QString& xlsPath)
{
    const QString file = fullPath(xlsPath);
    return runReader(
        QStringLiteral("Cannot read the workbook %1").arg(file), file, { QStringLiteral("xls"), file });
}

QString IsolatedReader::readerProgramName(HostSystem system)
{
    return system == HostSystem::Windows ? QStringLiteral("velmora-reader.exe")
                                         : QStringLiteral("velmora-reader");
}

QString IsolatedReader::readerProgram()
{
    const QString name = readerProgramName();
    const QDir here(executableDir());
    for (const QString& candidate :
        { here.filePath(name), here.filePath(QStringLiteral("../libexec/velmora/") + name) }) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath();
    }
    return {};
}

IsolatedReader::Limits IsolatedReader::limits()
{
    return currentLimits;
}

void IsolatedReader::setLimits(const Limits& limits)
{
    currentLimits = limits;
}

void IsolatedReader::setProgram(const QString& program)
{
    programOverride = program;
}

RosterTable openRosterTable(const QString& mdbPath, const QString& tableName)
{
    TextTable table = IsolatedReader::readMdbTable(mdbPath, tableName);
    return RosterTable(std::move(table.columns), std::move(table.rows));
}
