#pragma once
// The one way long work leaves the page's thread: a thread of its own with an event loop,
// on which posted jobs run one after another, in the order posted. A job talks back with
// queued calls (or signals) to objects of the page's thread, which run there when that
// thread's event loop gets to them, and are dropped when their receiver is gone. Nothing
// here waits for a job, except the destructor: it lets the running job end (long jobs
// check a cancel flag of their own) and drops the jobs not started.
#include <QObject>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <memory>
#include <utility>

class WorkerThread {
public:
    explicit WorkerThread(const QString& name);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs job on the worker thread after the jobs posted before it.
    template <typename Job> void post(Job&& job)
    {
        QMetaObject::invokeMethod(m_context.get(), std::forward<Job>(job), Qt::QueuedConnection);
    }
    // Runs job on the worker thread once delay has passed; jobs posted meanwhile go first.
    template <typename Job> void postAfter(std::chrono::milliseconds delay, Job job)
    {
        QObject* context = m_context.get();
        post([context, delay, job = std::move(job)]() mutable {
            QTimer::singleShot(delay, context, std::move(job));
        });
    }
    // Whether the calling code runs on this worker.
    bool isCurrent() const { return QThread::currentThread() == &m_thread; }

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_context; // lives on m_thread; the jobs run in its name
};

// Asks receiver's thread to run call, later, through its event loop; dropped when the
// receiver is gone by then. From a worker, this is how a result reaches the page.
template <typename Call> void runOnThreadOf(QObject* receiver, Call&& call)
{
    QMetaObject::invokeMethod(receiver, std::forward<Call>(call), Qt::QueuedConnection);
}
