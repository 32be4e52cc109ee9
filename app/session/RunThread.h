#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

class CCell;

// Runs a cell's run loop on a thread of its own. From Start until Finished
// the cell belongs to that thread: nobody else may touch it except through
// its Stop. An error raised in the run ends it and is handed over as text;
// nothing thrown leaves the thread.
class TRunThread : public QObject {
    Q_OBJECT

public:
    explicit TRunThread(QObject *parent = nullptr);
    // A run still going is stopped and waited for.
    ~TRunThread() override;

    // Returns at once; a Stop from then on ends the run, even one asked for
    // before the run has begun.
    void Start(CCell &cell, double endTime, bool withMechanics);
    // Safe at any time: the run returns at its next test of the cell's
    // running flag.
    void Stop();
    // From Start until Finished has been emitted.
    bool Active() const { return thread_.joinable(); }
    // Active, and stopped or back from the run: about to return.
    bool Returning() const { return Active() && (stopAsked_ || returned_); }

signals:
    // On the thread that called Start, once the run has returned; the
    // error's message, empty when the run ended normally or was stopped.
    void Finished(const QString &error);
    // Emitted by the run's thread; Finished follows it on the caller's.
    void Returned(const QString &error);

private:
    void OnReturned(const QString &error);

    CCell *cell_ = nullptr;
    std::thread thread_;
    std::atomic<bool> returned_ = false;
    // The run raises the cell's running flag as it begins, which would undo
    // a stop asked for before; the run tests this before every reaction.
    std::atomic<bool> stopAsked_ = false;
};
