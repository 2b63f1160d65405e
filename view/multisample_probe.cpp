#include "view/multisample_probe.h"

int multisampleFormat = 0;

bool ProbeMultisampleFormat()
{
    return false;
}
