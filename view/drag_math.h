// The arithmetic of the view's mouse handling, free of any window system.
#pragma once

#include <cstdint>

// Mouse positions are packed as two signed 16-bit values: x low, y high.
// Left of or above a window that captured the mouse they are negative.
inline int PackedX(std::intptr_t lparam)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lparam & 0xFFFF));
}

inline int PackedY(std::intptr_t lparam)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((lparam >> 16) & 0xFFFF));
}

// Sizes are packed as two unsigned 16-bit values: width low, height high.
inline int PackedWidth(std::intptr_t lparam)
{
    return static_cast<int>(lparam & 0xFFFF);
}

inline int PackedHeight(std::intptr_t lparam)
{
    return static_cast<int>((lparam >> 16) & 0xFFFF);
}

// The change of an angle for a drag of delta pixels: half a degree per pixel
// in whole degrees, truncated toward zero, so a remainder is lost.
inline double DragAngleStep(int delta)
{
    return static_cast<double>(delta / 2);
}

struct ViewRotation {
    double angleX = 45.0;
    double angleY = 45.0;
    int dragging = 0;
    int lastX = 0;
    int lastY = 0;
};

// One drag step to (x, y): moving right turns about Y, moving down about X.
inline void ApplyDragStep(ViewRotation& rotation, int x, int y)
{
    const int dX = rotation.lastX - x;
    const int dY = rotation.lastY - y;
    rotation.angleY -= DragAngleStep(dX);
    rotation.angleX -= DragAngleStep(dY);
    rotation.lastX = x;
    rotation.lastY = y;
}
