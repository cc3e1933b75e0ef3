// The pixel combination of solid fills, shared by every host: worked out by
// hand for one pen over one screen, and at the extremes the results bars
// rely on (a white or black screen, a black pen).

#include "platform/model/RasterOp.h"

#include <gtest/gtest.h>

namespace {

constexpr ui::Color kScreen = ui::rgb(0x28, 0x78, 0xC8);
constexpr ui::Color kPen = ui::rgb(0x0F, 0xF0, 0x55);

TEST(RasterOpTest, eachModeCombinesPenAndScreenChannelByChannel)
{
    EXPECT_EQ(ui::rasterPixel(kPen, kScreen, ui::DrawMode::CopyPen), kPen);
    // 0F|~28=0F|D7=DF, F0|~78=F0|87=F7, 55|~C8=55|37=77
    EXPECT_EQ(ui::rasterPixel(kPen, kScreen, ui::DrawMode::MergePenNot), ui::rgb(0xDF, 0xF7, 0x77));
    // ~0F|28=F0|28=F8, ~F0|78=0F|78=7F, ~55|C8=AA|C8=EA
    EXPECT_EQ(ui::rasterPixel(kPen, kScreen, ui::DrawMode::MergeNotPen), ui::rgb(0xF8, 0x7F, 0xEA));
    // 0F&D7=07, F0&87=80, 55&37=15
    EXPECT_EQ(ui::rasterPixel(kPen, kScreen, ui::DrawMode::MaskPenNot), ui::rgb(0x07, 0x80, 0x15));
    // 0F&28=08, F0&78=70, 55&C8=40
    EXPECT_EQ(ui::rasterPixel(kPen, kScreen, ui::DrawMode::MaskPen), ui::rgb(0x08, 0x70, 0x40));
}

TEST(RasterOpTest, extremesOfScreenAndPenGiveTheExpectedSolidColours)
{
    using ui::colors::black;
    using ui::colors::white;
    EXPECT_EQ(ui::rasterPixel(kPen, white, ui::DrawMode::MaskPen), kPen);
    EXPECT_EQ(ui::rasterPixel(kPen, black, ui::DrawMode::MaskPen), black);
    EXPECT_EQ(ui::rasterPixel(kPen, black, ui::DrawMode::MergePenNot), white);
    EXPECT_EQ(ui::rasterPixel(kPen, white, ui::DrawMode::MergePenNot), kPen);
    EXPECT_EQ(ui::rasterPixel(black, kScreen, ui::DrawMode::MergeNotPen), white);
    EXPECT_EQ(ui::rasterPixel(white, kScreen, ui::DrawMode::MergeNotPen), kScreen);
    EXPECT_EQ(ui::rasterPixel(kPen, white, ui::DrawMode::MaskPenNot), black);
    // Every result stays a byte, whatever the complement sets above bit 7.
    for (int value : {0x00, 0x7F, 0x80, 0xFF}) {
        for (ui::DrawMode mode : {ui::DrawMode::MergePenNot, ui::DrawMode::MergeNotPen, ui::DrawMode::MaskPenNot}) {
            const int channel = ui::rasterChannel(value, 0xFF - value, mode);
            EXPECT_GE(channel, 0);
            EXPECT_LE(channel, 0xFF);
        }
    }
}

} // namespace
