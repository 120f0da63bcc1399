#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop's browser: keeps what the program asked it to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
    TUrlCatcher()
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~TUrlCatcher() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
public slots:
    void open(const QUrl& url) { opened << url; }
};
