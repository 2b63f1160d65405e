// Finding a multisampled pixel format for the view on a throw-away window.
#pragma once

#include "platform/windows_headers.h"

// The format found by the last successful probe.
extern int multisampleFormat;

// True when multisampleFormat now holds a usable multisampled format.
bool ProbeMultisampleFormat();
