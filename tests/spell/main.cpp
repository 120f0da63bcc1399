#include "TestMain.h"

int main(int argc, char** argv)
{
    return RunTests<QGuiApplication>(argc, argv);
}
