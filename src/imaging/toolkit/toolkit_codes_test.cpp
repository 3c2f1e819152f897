#include "imaging/toolkit/toolkit_codes.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolkitCodes, GeneralCodesKeepTheirExactTexts)
{
    const struct {
        int Code;
        const char* Text;
    } cases[] = {
        {7, "Function successful. Ignore this marker but copy all remaining markers."},
        {6, "Function successful. Ignore this marker and all remaining markers "},
        {1, "Function successful."},
        {0, "Function not successful."},
        {-1, "Not enough memory available."},
        {-3, "Not enough memory available."},
        {-2, "Invalid bitmap handle."},
        {-6, "File not present = - abort."},
        {-12, "Image format recognized, but sub= -type not supported."},
        {-16, "Feature not supported."},
        {-19, "Data CRC check error."},
        {-21, "Invalid QFactor specified."},
        {-29, "Escape key pressed = - or user aborted operation."},
        {-30, "Internal error = - call the toolkit vendor."},
        {-62, "Internal error = - call the toolkit vendor."},
        {-1050, "Internal error = - call the toolkit vendor."},
        {-1058, "Internal error = - call the toolkit vendor."},
    };
    for (const auto& c : cases) {
        QString text;
        ToolkitErrorText(c.Code, text);
        EXPECT_EQ(text, QLatin1String(c.Text)) << c.Code;
    }
}

TEST(ToolkitCodes, CodesOutsideTheTableAreUndefined)
{
    for (int code : {-20, 105, -66, -99, -1049, -1059, -1361, 99, 8})
        EXPECT_EQ(ToolkitErrorText(code), QStringLiteral("Undefined Error: ") + QString::number(code)) << code;
}

// Every code of every range of the table has a text, and nothing outside them.
TEST(ToolkitCodes, EveryRangeIsCoveredExactly)
{
    const std::pair<int, int> ranges[] = {
        {100, 104},     {0, 7},         {-19, -1},      {-29, -21},     {-62, -30},     {-1058, -1050}, {-65, -63},
        {-78, -70},     {-94, -79},     {-134, -100},   {-155, -140},   {-174, -160},   {-261, -250},   {-303, -270},
        {-340, -309},   {-357, -350},   {-381, -360},   {-433, -400},   {-497, -435},   {-519, -500},   {-542, -530},
        {-587, -560},   {-603, -600},   {-632, -630},   {-662, -660},   {-691, -690},   {-706, -700},   {-729, -721},
        {-750, -740},   {-781, -770},   {-797, -785},   {-816, -800},   {-902, -900},   {-916, -910},   {-930, -930},
        {-1000, -1000}, {-1107, -1100}, {-1330, -1200}, {-1352, -1350}, {-1360, -1360},
    };
    auto inRanges = [&](int code) {
        for (const auto& [low, high] : ranges)
            if (code >= low && code <= high)
                return true;
        return false;
    };
    for (int code = -1400; code <= 140; ++code) {
        EXPECT_EQ(IsToolkitCode(code), inRanges(code)) << code;
        if (IsToolkitCode(code)) {
            EXPECT_FALSE(ToolkitErrorText(code).startsWith(QLatin1String("Undefined"))) << code;
        }
    }
}

TEST(ToolkitCodes, BitmapRecordAccessors)
{
    EXPECT_FALSE(IsBitmapAllocated(nullptr));
    TKBitmap bitmap;
    EXPECT_FALSE(IsBitmapAllocated(&bitmap));
    bitmap.Flags = TKBF_Allocated | TKBF_Transparent;
    EXPECT_TRUE(IsBitmapAllocated(&bitmap));

    bitmap.Width = 30;
    bitmap.Height = 20;
    for (int perspective = 1; perspective <= 8; ++perspective) {
        bitmap.ViewPerspective = perspective;
        const bool transposed = perspective >= 5;
        EXPECT_EQ(IsViewTransposed(bitmap), transposed) << perspective;
        EXPECT_EQ(BitmapViewWidth(bitmap), transposed ? 20 : 30) << perspective;
        EXPECT_EQ(BitmapViewHeight(bitmap), transposed ? 30 : 20) << perspective;
    }
}

} // namespace
