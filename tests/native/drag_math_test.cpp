#include "view/drag_math.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace {

// lparam as the 32-bit window system builds it: low word x, high word y.
std::intptr_t PackPosition(int x, int y)
{
    const std::uint32_t packed =
        (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
        static_cast<std::uint16_t>(x);
    // LPARAM is signed: a negative y makes the whole value negative, and a
    // 64-bit LPARAM carries it sign-extended.
    return static_cast<std::int32_t>(packed);
}

ViewRotation PressedAt(int x, int y)
{
    ViewRotation rotation;
    rotation.dragging = 1;
    rotation.lastX = x;
    rotation.lastY = y;
    return rotation;
}

TEST(DragMath, StartsAtFortyFiveDegreesAndIdle)
{
    const ViewRotation rotation;
    EXPECT_EQ(rotation.angleX, 45.0);
    EXPECT_EQ(rotation.angleY, 45.0);
    EXPECT_EQ(rotation.dragging, 0);
}

TEST(DragMath, HalfADegreePerPixelInWholeDegrees)
{
    ViewRotation right = PressedAt(10, 10);
    ApplyDragStep(right, 13, 10);
    EXPECT_EQ(right.angleY, 46.0);
    EXPECT_EQ(right.angleX, 45.0);

    ViewRotation onePixel = PressedAt(10, 10);
    ApplyDragStep(onePixel, 11, 10);
    EXPECT_EQ(onePixel.angleY, 45.0);

    ViewRotation left = PressedAt(10, 10);
    ApplyDragStep(left, 7, 10);
    EXPECT_EQ(left.angleY, 44.0);
    EXPECT_EQ(left.angleX, 45.0);

    ViewRotation down = PressedAt(10, 10);
    ApplyDragStep(down, 10, 14);
    EXPECT_EQ(down.angleX, 47.0);
    EXPECT_EQ(down.angleY, 45.0);

    ViewRotation up = PressedAt(10, 10);
    ApplyDragStep(up, 10, 5);
    EXPECT_EQ(up.angleX, 43.0);
}

TEST(DragMath, RemainderOfEachStepIsLost)
{
    // Truncation toward zero, step by step: three single pixels turn nothing,
    // -3 px is -1 degree (not -2, as flooring would give).
    ViewRotation rotation = PressedAt(0, 0);
    for (int x = 1; x <= 3; ++x)
        ApplyDragStep(rotation, x, 0);
    EXPECT_EQ(rotation.angleY, 45.0);
    EXPECT_EQ(rotation.lastX, 3);
    EXPECT_EQ(rotation.lastY, 0);

    ApplyDragStep(rotation, 0, -3);
    EXPECT_EQ(rotation.angleY, 44.0);
    EXPECT_EQ(rotation.angleX, 44.0);
    EXPECT_EQ(rotation.lastX, 0);
    EXPECT_EQ(rotation.lastY, -3);
}

TEST(DragMath, AnglesAccumulateWithoutWrapping)
{
    ViewRotation rotation = PressedAt(0, 0);
    for (int step = 1; step <= 400; ++step)
        ApplyDragStep(rotation, 2 * step, 0);
    EXPECT_EQ(rotation.angleY, 445.0);
}

TEST(DragMath, PositionsAreSigned16Bit)
{
    const std::intptr_t leftOf = PackPosition(-5, 20);
    EXPECT_EQ(PackedX(leftOf), -5);
    EXPECT_EQ(PackedY(leftOf), 20);

    const std::intptr_t above = PackPosition(30, -7);
    EXPECT_LT(above, 0);
    EXPECT_EQ(PackedX(above), 30);
    EXPECT_EQ(PackedY(above), -7);

    const std::intptr_t extremes = PackPosition(32767, -32768);
    EXPECT_EQ(PackedX(extremes), 32767);
    EXPECT_EQ(PackedY(extremes), -32768);
}

TEST(DragMath, SizesAreUnsigned16Bit)
{
    const std::intptr_t size = PackPosition(0xFFFF, 0x8000);
    EXPECT_EQ(PackedWidth(size), 65535);
    EXPECT_EQ(PackedHeight(size), 32768);

    const std::intptr_t small = PackPosition(112, 115);
    EXPECT_EQ(PackedWidth(small), 112);
    EXPECT_EQ(PackedHeight(small), 115);
}

TEST(DragMath, DragFromInsideToLeftOfTheViewKeepsTurning)
{
    // The positions a captured drag delivers as the pointer leaves the
    // control on the left: x goes negative and the cube keeps turning.
    ViewRotation rotation = PressedAt(6, 40);
    double previous = rotation.angleY;
    for (int x = 2; x >= -30; x -= 4) {
        ApplyDragStep(rotation, PackedX(PackPosition(x, 40)), PackedY(PackPosition(x, 40)));
        EXPECT_EQ(rotation.angleY, previous - 2.0) << "x = " << x;
        previous = rotation.angleY;
    }
    EXPECT_EQ(rotation.angleX, 45.0);
}

}  // namespace
