#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout, `kill`) as a Qt signal on the thread that
// made this object. The signal handler only writes a byte into a pipe; the
// event loop reads it, so nothing but that write runs in the handler.
// One per process; the handlers stay installed while it lives.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    // The signal's number; several at once are reported as the last.
    void Received(int signal);

private:
    void Drain();

    QSocketNotifier *notifier_ = nullptr;
};
