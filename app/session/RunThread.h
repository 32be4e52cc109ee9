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

    // Returns once the run has begun, so that a Stop from then on ends it.
    void Start(CCell &cell, double endTime, bool withMechanics);
    // From Start until Finished has been emitted.
    bool Active() const { return thread_.joinable(); }

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
};
