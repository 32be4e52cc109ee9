#include "RunSession.h"

#include "Boxescape.h"
#include "Cell.h"
#include "RunThread.h"

#include <QTimer>

#include <stdexcept>
#include <utility>

RunSession::RunSession(QObject *parent)
    : QObject(parent), cell_(std::make_unique<CCell>()), handOverTimer_(new QTimer(this)),
      runner_(std::make_unique<TRunThread>())
{
    cell_->OnObserve = [this] { Observe(); };
    handOverTimer_->setInterval(HandOverInterval);
    connect(handOverTimer_, &QTimer::timeout, this, &RunSession::HandOver);
    connect(runner_.get(), &TRunThread::Finished, this, &RunSession::OnRunReturned);
}

RunSession::~RunSession() = default;

CCell &RunSession::World()
{
    return const_cast<CCell &>(std::as_const(*this).World());
}

const CCell &RunSession::World() const
{
    if (Active())
        throw std::logic_error("the world was read during a run, while it belongs to the run's thread");
    return *cell_;
}

bool RunSession::Active() const
{
    return runner_->Active();
}

bool RunSession::Returning() const
{
    return runner_->Returning();
}

void RunSession::Start(double endTime, bool withMechanics)
{
    runner_->Start(*cell_, endTime, withMechanics);
    handOverTimer_->start();
}

void RunSession::Stop()
{
    runner_->Stop();
}

void RunSession::SetRecording(bool sizes, bool scene)
{
    handover_.RecordSizes = sizes;
    handover_.RecordScene = scene;
}

bool RunSession::RecordsScene() const
{
    return handover_.RecordScene;
}

void RunSession::ForgetBodiesFarOutside()
{
    bodyFarOutside_ = false;
    farOutsideAnnounced_ = false;
}

void RunSession::Observe()
{
    handover_.Record(*cell_);
    if (hook_)
        hook_(*cell_);
    if (!bodyFarOutside_ && AnyBodyFarOutsideBox(*cell_))
        bodyFarOutside_ = true;
}

void RunSession::HandOver()
{
    if (!handover_.Take(taken_))
        return;
    emit Observed(taken_);
    if (bodyFarOutside_ && !farOutsideAnnounced_) {
        farOutsideAnnounced_ = true;
        emit BodyFarOutside();
    }
}

void RunSession::OnRunReturned(const QString &error)
{
    handOverTimer_->stop();
    HandOver();
    emit Finished(error);
}
