#pragma once

#include <QApplication>
#include <QPointer>
#include <memory>

class TFormMain;
class TInstanceLock;

// The application object. A failure that escapes an event handler lands here and is shown in
// the main window's error box; the program then goes on with the state it had reached.
class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
    void setMainWindow(TFormMain* form) { mainWindow = form; }

    // One program per journal: a second start in the same program folder tells the user,
    // brings the running window forward and returns false.
    static bool claimJournal(const QString& programDir);

private:
    QPointer<TFormMain> mainWindow;
};
