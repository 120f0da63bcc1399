#include "journal/FolderWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

TFolderWatch::TFolderWatch(QObject* parent) : QObject(parent)
{
    settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(300);
    connect(settle, &QTimer::timeout, this, &TFolderWatch::changed);
}

void TFolderWatch::watch(const QString& dir)
{
    if (dir == watched && watcher)
        return;
    delete watcher;
    watcher = nullptr;
    watched = dir;
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return;
    watcher = new QFileSystemWatcher(this);
    // A folder that cannot be watched (no inotify watch left) still works; its listeners only
    // learn of other programs' changes at their next look.
    watcher->addPath(dir);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, [this] { settle->start(); });
}
