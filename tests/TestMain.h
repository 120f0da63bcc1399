#pragma once

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The whole of a test program's main. Documents and text layout need fonts, and fonts a GUI
// application (a QApplication for windows); offscreen needs no display. Whatever keeps a search
// index in the user's cache folder gets a cache folder of the run's own.
template <class Application>
int RunTests(int argc, char** argv, bool ownCacheFolder = false)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir cache;
    if (ownCacheFolder)
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
