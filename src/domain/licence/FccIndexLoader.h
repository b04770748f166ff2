#pragma once
// Makes the call index of the licence file on a worker thread of its own, so the page
// never waits for it: from the cache file in the user's cache folder when that was made from the
// file as it is now (same size and time), else by reading the file, after which the
// cache file is written again. Until the index is ready the quick call box lists the
// rosters and the spreadsheet only. QtCore only, no widgets.
#include "licence/FccCallIndex.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

class WorkerThread;

class FccIndexLoader : public QObject {
    Q_OBJECT

public:
    enum class State {
        NoFile, // not started, or there is no licence file
        Loading, // the worker is reading the cache or the file
        Ready, // index() holds the index
        Failed, // the file could not be read; error() says why
    };
    enum class Origin { None, Cache, File };

    explicit FccIndexLoader(QObject* parent = nullptr);
    // Stops a running build (it gives up at its next piece of the file) and waits for it.
    ~FccIndexLoader() override;

    // The user's cache folder, where the cache file goes unless another is given.
    static QString defaultCacheFolder();
    // The cache file for the licence file at path inside folder.
    static QString cacheFileFor(const QString& folder, const QString& path);

    // Starts making the index of the licence file at path, dropping the index held.
    // An empty cacheFolder keeps no cache file. The worker first waits for delay, so the
    // program can let its start-up work go first; the state is Loading meanwhile.
    // Returns at once.
    void start(const QString& path, const QString& cacheFolder = defaultCacheFolder(),
        std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // Starts again when the file's size or time differ from those the index (or the
    // failed attempt) saw, or the file appeared or went away. Does nothing while the
    // worker runs or before start(). Returns whether it started again.
    bool refreshIfChanged();
    // Starts making the index of the licence file at path unless it was started for that
    // file already (then only refreshIfChanged()). Returns whether it started anew.
    bool startOnce(const QString& path, const QString& cacheFolder = defaultCacheFolder(),
        std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // The licence file the index is of; empty before start().
    QString path() const;

    State state() const;
    QString error() const;
    Origin origin() const;
    // The index when the state is Ready, else null. Any thread may call this.
    std::shared_ptr<const FccCallIndex> index() const;
    // Waits until the worker has finished, at most msecs milliseconds; true when it has.
    bool waitForFinished(int msecs) const;

signals:
    // A build finished: the state is now Ready, Failed or NoFile. Sent from the worker
    // thread, so receivers in the page's thread get it through their event loop.
    void finished();

private:
    struct Job;
    void run(const std::shared_ptr<Job>& job);
    void finish(const std::shared_ptr<Job>& job, State state, std::shared_ptr<const FccCallIndex> index,
        const QString& error, Origin origin, std::optional<LicenceFileStamp> stamp);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_done;
    QString m_path;
    QString m_cacheFolder;
    bool m_started = false;
    State m_state = State::NoFile;
    Origin m_origin = Origin::None;
    QString m_error;
    std::optional<LicenceFileStamp> m_seen; // the file as the last build saw it
    std::shared_ptr<const FccCallIndex> m_index;
    std::shared_ptr<Job> m_job; // the build whose result counts
    // Last, so it is stopped first: a build still running may finish into the members above.
    std::unique_ptr<WorkerThread> m_worker;
};
