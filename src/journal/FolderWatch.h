#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Tells, at most a few times a second, that something in a folder changed: a sync tool
// delivering a day written on another machine arrives as a burst of creates and renames.
class TFolderWatch : public QObject
{
    Q_OBJECT
public:
    explicit TFolderWatch(QObject* parent = nullptr);

    // Watches dir from now on (and nothing else); an empty or missing dir watches nothing.
    void watch(const QString& dir);

signals:
    void changed();

private:
    QFileSystemWatcher* watcher = nullptr;
    QTimer* settle = nullptr;
    QString watched;
};
