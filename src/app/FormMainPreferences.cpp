#include "app/TFormMain.h"

void TFormMain::buildToolsCommands()
{
}
