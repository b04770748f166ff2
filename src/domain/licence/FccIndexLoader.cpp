#include "licence/FccIndexLoader.h"

#include "work/WorkerThread.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <atomic>
#include <chrono>

struct FccIndexLoader::Job {
    QString path;
    QString cacheFolder;
    std::atomic<bool> cancel { false };
};

FccIndexLoader::FccIndexLoader(QObject* parent)
    : QObject(parent), m_worker(std::make_unique<WorkerThread>(QStringLiteral("call index")))
{
}

FccIndexLoader::~FccIndexLoader()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_job)
            m_job->cancel = true;
        m_job.reset();
    }
    m_worker.reset();
}

QString FccIndexLoader::defaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString FccIndexLoader::cacheFileFor(const QString& folder, const QString& path)
{
    // One cache file per licence file, named by its full path.
    const QByteArray hash
        = QCryptographicHash::hash(QFileInfo(path).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(16);
    return QDir(folder).filePath(QStringLiteral("fcc-calls-%1.idx").arg(QString::fromLatin1(hash)));
}

void FccIndexLoader::start(const QString& path, const QString& cacheFolder, std::chrono::milliseconds delay)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    job->cacheFolder = cacheFolder;
    {
        std::lock_guard lock(m_mutex);
        if (m_job)
            m_job->cancel = true; // its result would be for the old start
        m_job = job;
        m_path = path;
        m_cacheFolder = cacheFolder;
        m_started = true;
        m_state = State::Loading;
        m_origin = Origin::None;
        m_error.clear();
        m_index.reset();
    }
    m_worker->postAfter(delay, [this, job] { run(job); });
}

bool FccIndexLoader::startOnce(
    const QString& path, const QString& cacheFolder, std::chrono::milliseconds delay)
{
    bool startedForPath = false;
    {
        std::lock_guard lock(m_mutex);
        startedForPath = m_started && m_path == path;
    }
    if (startedForPath)
        return refreshIfChanged();
    start(path, cacheFolder, delay);
    return true;
}

QString FccIndexLoader::path() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

bool FccIndexLoader::refreshIfChanged()
{
    QString path, folder;
    {
        std::lock_guard lock(m_mutex);
        if (!m_started || m_state == State::Loading)
            return false;
        if (StampOfLicenceFile(m_path) == m_seen)
            return false;
        path = m_path;
        folder = m_cacheFolder;
    }
    start(path, folder);
    return true;
}

void FccIndexLoader::run(const std::shared_ptr<Job>& job)
{
    if (job->cancel)
        return;
    const QString cacheFile
        = job->cacheFolder.isEmpty() ? QString() : cacheFileFor(job->cacheFolder, job->path);
    std::optional<LicenceFileStamp> stamp = StampOfLicenceFile(job->path);
    if (!stamp) {
        finish(job, State::NoFile, nullptr,
            QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(job->path)), Origin::None,
            stamp);
        return;
    }
    if (!cacheFile.isEmpty()) {
        if (auto index = FccCallIndex::load(cacheFile, job->path, *stamp)) {
            finish(job, State::Ready, std::move(index), QString(), Origin::Cache, stamp);
            return;
        }
    }
    // A file that changes while it is read gives an index of neither version: read it
    // again, a few times at most.
    QString error;
    std::shared_ptr<const FccCallIndex> index;
    for (int attempt = 0; attempt < 3; ++attempt) {
        index = FccCallIndex::build(job->path, &error, &job->cancel);
        if (job->cancel)
            return;
        stamp = StampOfLicenceFile(job->path);
        if (!index || (stamp && index->stamp() == *stamp))
            break;
        index.reset();
        error = QStringLiteral("the file kept changing while it was read");
    }
    if (!index) {
        finish(job, State::Failed, nullptr, error, Origin::None, stamp);
        return;
    }
    // The cache is only a quicker way in next time: the index is ready without it.
    if (!cacheFile.isEmpty())
        index->save(cacheFile);
    finish(job, State::Ready, std::move(index), QString(), Origin::File, stamp);
}

void FccIndexLoader::finish(const std::shared_ptr<Job>& job, State state,
    std::shared_ptr<const FccCallIndex> index, const QString& error, Origin origin,
    std::optional<LicenceFileStamp> stamp)
{
    bool current = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_job == job) {
            current = true;
            m_job.reset();
            m_state = state;
            m_index = std::move(index);
            m_error = error;
            m_origin = origin;
            m_seen = stamp;
        }
    }
    m_done.notify_all();
    if (current)
        emit finished();
}

FccIndexLoader::State FccIndexLoader::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

QString FccIndexLoader::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

FccIndexLoader::Origin FccIndexLoader::origin() const
{
    std::lock_guard lock(m_mutex);
    return m_origin;
}

std::shared_ptr<const FccCallIndex> FccIndexLoader::index() const
{
    std::lock_guard lock(m_mutex);
    return m_index;
}

bool FccIndexLoader::waitForFinished(int msecs) const
{
    std::unique_lock lock(m_mutex);
    return m_done.wait_for(
        lock, std::chrono::milliseconds(msecs), [this] { return m_state != State::Loading; });
}
