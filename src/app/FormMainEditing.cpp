#include "app/TFormMain.h"

void TFormMain::buildEditCommands()
{
}
