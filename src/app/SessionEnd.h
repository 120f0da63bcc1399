#pragma once

#include <QObject>

class QSocketNotifier;

// The end of the session arrives in two ways: the desktop's session manager asks us to save
// before it logs out or shuts down, and a termination signal (SIGTERM from the shut-down, SIGHUP
// when the terminal goes, SIGINT from Ctrl+C) asks us to end. A signal handler may do almost
// nothing, so it only writes a byte into a pipe; the event loop reads it and says so here.
class TSessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit TSessionEnd(QObject* parent = nullptr);
    ~TSessionEnd() override;

signals:
    // Save everything now; the program may be ended at any moment after.
    void commitRequested();
    // Save everything and end.
    void endRequested();

private:
    QSocketNotifier* notifier = nullptr;
};
