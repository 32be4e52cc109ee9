#include "RunThread.h"

#include "Cell.h"

#include <exception>

namespace {

// A new thread starts with the vector registers of the thread that made it.
// The window's thread may have left the upper halves of the AVX registers in
// use (drawing code), and then every SSE instruction of the run pays a
// transition penalty on many x86 processors: the run went six times slower.
// Clearing them changes no result.
void ClearUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
}

} // namespace

TRunThread::TRunThread(QObject *parent) : QObject(parent)
{
    // Queued: Returned is emitted on the run's thread.
    connect(this, &TRunThread::Returned, this, &TRunThread::OnReturned, Qt::QueuedConnection);
}

TRunThread::~TRunThread()
{
    if (!thread_.joinable())
        return;
    Stop();
    thread_.join();
}

void TRunThread::Start(CCell &cell, double endTime, bool withMechanics)
{
    cell_ = &cell;
    returned_ = false;
    stopAsked_ = false;
    cell.BetweenReactions = [this] {
        if (stopAsked_)
            cell_->Stop();
    };
    // The run turns the floating-point traps on for its own thread.
    thread_ = std::thread([this, &cell, endTime, withMechanics] {
        ClearUpperVectorState();
        QString error;
        try {
            if (withMechanics)
                cell.RunChemMech(endTime);
            else
                cell.RunChemistry(endTime);
        } catch (const std::exception &raised) {
            error = QString::fromUtf8(raised.what());
        } catch (...) {
            error = tr("The run ended with an unknown error.");
        }
        returned_ = true;
        emit Returned(error);
    });
}

void TRunThread::Stop()
{
    stopAsked_ = true;
    if (cell_)
        cell_->Stop();
}

void TRunThread::OnReturned(const QString &error)
{
    thread_.join();
    cell_->BetweenReactions = nullptr;
    emit Finished(error);
}
