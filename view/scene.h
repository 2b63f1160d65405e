// The test picture: a lit cube with red, green and blue face pairs.
#pragma once

// Draws into the current context's back buffer, turned by angleX degrees about
// X and then angleY degrees about Y. Expects the state SetupView leaves and
// leaves the model-view matrix as it found it. Does not swap buffers.
void DrawScene(double angleX, double angleY);
