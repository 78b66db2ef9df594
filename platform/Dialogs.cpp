#include "Dialogs.h"

Dialogs::~Dialogs() = default;

int closedBoxAnswer(int buttons)
{
    if (buttons & mbCancel)
        return mbCancel;
    if (buttons & mbNo)
        return mbNo;
    return mbOK;
}
