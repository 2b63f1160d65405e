// Finding a multisampled pixel format for the view on a throw-away window.
#pragma once

#include "platform/windows_headers.h"

// The format found by the last successful probe, and its samples per pixel.
extern int multisampleFormat;
extern int multisampleSamples;

// Runs ChooseMultisampleFormat on a hidden window of its own, which it then
// destroys. True when multisampleFormat now holds a usable multisampled format.
bool ProbeMultisampleFormat();

// Gives deviceContext the standard format, or format 1 when the driver
// matches none. False when neither can be set.
bool SetStandardPixelFormat(HDC deviceContext);

// Gives deviceContext a plain format and a temporary context and asks the
// driver for an accelerated double-buffered format with 4, else 2, samples.
// The temporary context is gone again when it returns.
bool ChooseMultisampleFormat(HDC deviceContext);
