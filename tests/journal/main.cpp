#include <QGuiApplication>

#include <gtest/gtest.h>

// Documents need fonts, and fonts need a GUI application; offscreen needs no display. The
// journal's rules are tested without any window.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
