// Bitmaps on both sides of the size from which their pixels are mapped on their own (for huge
// pages): they start transparent, take drawing at every corner, and survive resizing and
// moving.
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantor {
namespace {

void ExpectCorners(const TBitmap& bitmap, uint32_t argb, const char* what)
{
    int const right = bitmap.Width() - 1;
    int const bottom = bitmap.Height() - 1;
    EXPECT_EQ(bitmap.PixelAt(0, 0), argb) << what;
    EXPECT_EQ(bitmap.PixelAt(right, 0), argb) << what;
    EXPECT_EQ(bitmap.PixelAt(0, bottom), argb) << what;
    EXPECT_EQ(bitmap.PixelAt(right, bottom), argb) << what;
    EXPECT_EQ(bitmap.PixelAt(right / 2, bottom / 2), argb) << what;
}

TEST(BitmapTest, SmallAndLargeBitmapsStartClearAndTakeDrawing)
{
    constexpr uint32_t Red = 0xFFFF0000;
    // 2 MiB of pixels is where mapping begins; the window of a first start is 1092 x 630.
    const std::pair<int, int> sizes[] = { { 16, 16 }, { 1023, 512 }, { 1024, 512 }, { 1092, 630 }, { 1921, 1081 } };
    for (auto [width, height] : sizes) {
        TBitmap bitmap(width, height);
        ASSERT_EQ(bitmap.Width(), width);
        ExpectCorners(bitmap, 0, "fresh");
        bitmap.FillRect(TRect::FromSize(0, 0, width, height), Red);
        ExpectCorners(bitmap, Red, "filled");

        // Resized, the new pixels are clear again; moved, they go along.
        bitmap.SetSize(height, width);
        ExpectCorners(bitmap, 0, "resized");
        bitmap.FillRect(TRect::FromSize(0, 0, height, width), Red);
        TBitmap moved(std::move(bitmap));
        EXPECT_TRUE(bitmap.IsEmpty());
        ExpectCorners(moved, Red, "moved");
    }
}

}
}
