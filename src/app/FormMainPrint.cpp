#include "app/TFormMain.h"

void TFormMain::buildPrintCommands()
{
}
