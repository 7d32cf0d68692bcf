#include <gtest/gtest.h>

#include "colour.h"

TEST(ColourConversion, SwapsRedAndBlueAndMakesItOpaque)
{
    EXPECT_EQ(ColorRefToD3DColor(RGB(0x12, 0x34, 0x56)), 0xFF123456u);
    EXPECT_EQ(ColorRefToD3DColor(RGB(255, 0, 0)), 0xFFFF0000u);
    EXPECT_EQ(ColorRefToD3DColor(RGB(0, 0, 255)), 0xFF0000FFu);
    EXPECT_EQ(ColorRefToD3DColor(RGB(255, 255, 255)), 0xFFFFFFFFu);
    EXPECT_EQ(ColorRefToD3DColor(RGB(0, 0, 0)), 0xFF000000u);
}

TEST(ColourConversion, IgnoresTheHighByteOfTheColorref)
{
    EXPECT_EQ(ColorRefToD3DColor(0x7F563412), 0xFF123456u);
}
