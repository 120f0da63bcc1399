#include "app/TApplication.h"

#include "app/TFormMain.h"
#include "store/InstanceLock.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>

namespace {

std::unique_ptr<TInstanceLock> journalLock;
QLocalServer* raiseServer = nullptr;

// The running program listens under a name made from its program folder, so that a second
// start of the same journal can ask it to come to the front.
QString serverName(const QString& programDir)
{
    return QStringLiteral("jornix-") +
           QString::fromLatin1(
               QCryptographicHash::hash(programDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

void bringForward()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TFormMain*>(widget)) {
            if (form->isMinimized())
                form->showNormal();
            form->raise();
            form->activateWindow();
        }
    }
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

TApplication::~TApplication()
{
    delete raiseServer;
    raiseServer = nullptr;
    journalLock.reset();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (mainWindow)
            mainWindow->showError(QString::fromUtf8(e.what()));
        else
            QMessageBox::critical(nullptr, QStringLiteral("Tarvex's Diary"), QString::fromUtf8(e.what()));
    }
    return false;
}

bool TApplication::claimJournal(const QString& programDir)
{
    journalLock = std::make_unique<TInstanceLock>(programDir);
    const QString name = serverName(programDir);
    bool locked = true;
    try {
        locked = journalLock->tryLock();
    } catch (const std::exception&) {
        // No lock file can be made (a read-only program folder): nothing tells whether another
        // copy runs, and refusing to start would keep the user from their journal. The main
        // window reports the folders it cannot write when it needs them.
        journalLock.reset();
    }
    if (!locked) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(1000)) {
            socket.write("raise\n");
            socket.waitForBytesWritten(1000);
        }
        QMessageBox::information(
            nullptr, QStringLiteral("Tarvex's Diary"),
            QStringLiteral("This journal is already open in another window of Tarvex's Diary.\n"
                           "That window has been brought to the front."));
        return false;
    }
    QLocalServer::removeServer(name);
    raiseServer = new QLocalServer;
    QObject::connect(raiseServer, &QLocalServer::newConnection, [] {
        while (QLocalSocket* socket = raiseServer->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            bringForward();
        }
    });
    raiseServer->listen(name);
    return true;
}
