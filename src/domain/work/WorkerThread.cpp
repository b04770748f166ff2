#include "work/WorkerThread.h"

WorkerThread::WorkerThread(const QString& name) : m_context(std::make_unique<QObject>())
{
    m_thread.setObjectName(name);
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

WorkerThread::~WorkerThread()
{
    m_thread.quit();
    m_thread.wait();
    // The thread has ended: nothing runs in the context's name any more, and the jobs it
    // never started go with it.
    m_context.reset();
}
