#pragma once

#include "ObservationHandover.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class CCell;
class QTimer;
class TRunThread;

// One simulated world and its runs, without widgets: the cell, the thread
// that runs it, the observer on that thread and the hand-over of what it
// observes to the thread that made the session (the window's).
//
// From Start until Finished the cell belongs to the run's thread; World() is
// for the time between runs. During a run the session hands copies of the
// observations to its subscribers (Observed) at display rate, once more
// after the run has returned, and then emits Finished. Stop may come at any
// time; whoever must wait for the end of a run (to close, say) stops it and
// acts on Finished, never blocking its own thread.
class RunSession : public QObject {
    Q_OBJECT

public:
    // Hand-overs during a run, about 28 a second.
    static constexpr int HandOverInterval = 35; // ms

    explicit RunSession(QObject *parent = nullptr);
    // A run still going is stopped and waited for.
    ~RunSession() override;

    // The world, only while no run is active; raises std::logic_error
    // during one, when the cell belongs to the run's thread.
    CCell &World();
    const CCell &World() const;

    // From Start until Finished has been emitted.
    bool Active() const;
    // Active but no longer running: stopped or at its end, about to return.
    bool Returning() const;

    // Runs the world up to endTime (s) on the run's thread, with or without
    // the mechanics. Returns at once; a Stop from then on ends the run.
    void Start(double endTime, bool withMechanics);
    // Safe at any time; the run returns at its next test of the cell's
    // running flag.
    void Stop();

    // What each observation records besides its record: the size
    // histogram, and the scene (once per hand-over). May change during a run.
    void SetRecording(bool sizes, bool scene);
    bool RecordsScene() const;

    // Called on the run's thread at every observation with the cell as it
    // is then; set only while no run is active (none: nothing is called).
    using ObservationHook = std::function<void(const CCell &)>;
    void SetObservationHook(ObservationHook hook) { hook_ = std::move(hook); }

    // After the world was rebuilt or replaced: a body far outside the box is
    // announced again.
    void ForgetBodiesFarOutside();

    // Hands what the run has recorded since the last hand-over to Observed,
    // if anything. The session's timer calls it during a run; public so that
    // a measurement can drive it.
    void HandOver();

signals:
    // Copies of what the run has observed since the last hand-over, valid
    // for the duration of the call.
    void Observed(const ObservationHandover::Records &records);
    // At a hand-over, once after ForgetBodiesFarOutside: the run has seen a
    // body far outside the box.
    void BodyFarOutside();
    // Once the run has returned and its last observations were handed over:
    // the error's message, empty when the run ended normally or was stopped.
    void Finished(const QString &error);

private:
    // On the run's thread, at every observation.
    void Observe();
    void OnRunReturned(const QString &error);

    std::unique_ptr<CCell> cell_;
    ObservationHandover handover_;
    ObservationHandover::Records taken_; // reused from one hand-over to the next
    std::atomic<bool> bodyFarOutside_ = false;
    bool farOutsideAnnounced_ = false;
    ObservationHook hook_;
    QTimer *handOverTimer_ = nullptr;
    // Destroyed first: a run still going stops before anything it uses goes.
    std::unique_ptr<TRunThread> runner_;
};
