#include "licence/FccLicenceSet.h"

#include "data/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString kPointer = QStringLiteral("current");

bool isSetName(const QString& name)
{
    static const QRegularExpression set(QStringLiteral("^set-([0-9]{1,9})$"));
    return set.match(name).hasMatch();
}

// The set the pointer file of root names, or an empty text.
QString pointedSet(const QString& root)
{
    QFile file(QDir(root).filePath(kPointer));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString name = QString::fromLatin1(file.read(64)).trimmed();
    return isSetName(name) ? name : QString();
}

// A rename or a new file in a folder is on the disk once the folder itself is.
void syncFolder(const QString& folder)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

const char* const kSetFiles[] = { "EN.dat", "HD.dat", "AM.dat", "dates.txt" };

} // namespace

QString FccCurrentSetFolder(const QString& fccFolder)
{
    const QString name = pointedSet(fccFolder);
    if (!name.isEmpty()) {
        const QString set = QDir(fccFolder).filePath(name);
        if (QFileInfo::exists(QDir(set).filePath(QStringLiteral("EN.dat"))))
            return set;
    }
    return fccFolder;
}

QString CurrentLicenceFile(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = info.path();
    const QString set = FccCurrentSetFolder(folder);
    if (set == folder)
        return path;
    return QDir::toNativeSeparators(QDir(set).filePath(info.fileName()));
}

struct FccSetWriter::Lock {
    explicit Lock(const QString& path) : file(path) { }
    QLockFile file;
};

FccSetWriter::FccSetWriter(const QString& fccFolder) : m_root(fccFolder) { }

FccSetWriter::~FccSetWriter()
{
    if (!m_committed && !m_staging.isEmpty())
        QDir(m_staging).removeRecursively();
}

bool FccSetWriter::begin(QString* error)
{
    if (!QDir().mkpath(m_root)) {
        *error = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(m_root));
        return false;
    }
    // A lock left by an import that was killed is stale and taken over.
    m_lock = std::make_unique<Lock>(QDir(m_root).filePath(QStringLiteral("import.lock")));
    if (!m_lock->file.tryLock(0)) {
        *error = QStringLiteral("another import into %1 is running").arg(QDir::toNativeSeparators(m_root));
        m_lock.reset();
        return false;
    }
    // Sets that are not current are what stopped imports left: removed. The next set
    // gets a number no earlier set had.
    const QString current = pointedSet(m_root);
    int highest = 0;
    const QDir root(m_root);
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString name = entry.endsWith(QLatin1String(".importing")) ? entry.chopped(10) : entry;
        if (!isSetName(name))
            continue;
        highest = std::max(highest, name.mid(4).toInt());
        if (entry != current)
            QDir(root.filePath(entry)).removeRecursively();
    }
    // Plain files beside a current set are those an import was killed before removing.
    if (FccCurrentSetFolder(m_root) != m_root)
        for (const char* name : kSetFiles)
            QFile::remove(root.filePath(QLatin1String(name)));
    m_name = QStringLiteral("set-%1").arg(highest + 1);
    m_staging = root.filePath(m_name + QStringLiteral(".importing"));
    if (!QDir().mkpath(m_staging)) {
        *error = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(m_staging));
        m_staging.clear();
        return false;
    }
    return true;
}

bool FccSetWriter::commit(QString* error, const std::function<void(const char*)>& step)
{
    auto passed = [&step](const char* name) {
        if (step)
            step(name);
    };
    QDir root(m_root);
    const QString previous = FccCurrentSetFolder(m_root);
    syncFolder(m_staging);
    if (!root.rename(m_name + QStringLiteral(".importing"), m_name)) {
        *error = QStringLiteral("%1 cannot be renamed").arg(QDir::toNativeSeparators(m_staging));
        return false;
    }
    m_staging = root.filePath(m_name);
    syncFolder(m_root);
    passed("named");
    // The one step: from here on every reader finds the new set.
    if (!writeFileAtomically(root.filePath(kPointer), m_name.toLatin1() + '\n', error))
        return false;
    m_committed = true;
    syncFolder(m_root);
    passed("switched");
    // The set that was current: its own folder, or the plain files of FCCraw itself. A
    // file still open elsewhere may not go yet; the next import takes it away then.
    if (previous != m_root)
        QDir(previous).removeRecursively();
    else
        for (const char* name : kSetFiles)
            QFile::remove(root.filePath(QLatin1String(name)));
    passed("cleaned");
    return true;
}
