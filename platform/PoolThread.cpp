#include "platform/PoolThread.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

namespace platform {

void RunOnPoolThread(const std::function<void()>& work)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool->contains(QThread::currentThread())) {
        work();
        return;
    }
    QSemaphore done;
    pool->reserveThread();  // first in line when every thread of the pool is busy
    pool->startOnReservedThread([&] {
        work();
        done.release();
    });
    done.acquire();
}

}  // namespace platform
