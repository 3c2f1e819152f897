#include "import/import_rules.h"

#include <gtest/gtest.h>

TEST(ImportRules, DepthTextsAndTags)
{
    struct {
        int Bits;
        const char* Text;
        const char* Tag;
    } cases[] = {{1, "1 Bit", " 1B"}, {4, "4 Bit", " 4B"}, {8, "8 Bit", " 8B"}, {15, "15 Bit", "15B"}, {24, "24 Bit", "24B"},
                 {32, "32 Bit", "32B"}, {64, "64 Bit", "64B"}, {2, "2 Bit", ""}, {0, "0 Bit", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(DepthText(c.Bits), c.Text) << c.Bits;
        EXPECT_EQ(DepthTag(c.Bits), c.Tag) << c.Bits;
    }
}

TEST(ImportRules, GridRowsAndViewerZoomAndCentring)
{
    EXPECT_EQ(GridRowCount(7, 7), 1);
    EXPECT_EQ(GridRowCount(8, 7), 2);
    EXPECT_EQ(GridRowCount(0, 7), 0);
    // 300 div 16 on a square picture; a wide one takes the width.
    EXPECT_EQ(FitZoom(400, 300, 16, 16), 18);
    EXPECT_EQ(FitZoom(400, 300, 40, 10), 10);
    // Larger than the area: shown at its own size rather than not at all.
    EXPECT_EQ(FitZoom(400, 300, 16, 600), 1);
    EXPECT_EQ(CentredOrigin(1024, 768, 100, 50), QPoint(462, 359));
    EXPECT_EQ(CentredOrigin(1024, 768, 2000, 1000), QPoint(-488, -116));
}

TEST(ImportRules, FormatPlanFollowsTheCheckedBoxes)
{
    const TImportFormat fallback{40, 40, "256"};
    const bool allSizes[7] = {true, true, true, true, true, true, false};
    const bool startKinds[5] = {true, true, true, false, false};
    const auto plan = ImportFormatPlan(allSizes, 0, 0, startKinds, fallback);
    ASSERT_EQ(plan.size(), 18u);
    EXPECT_EQ(plan[0], (TImportFormat{96, 96, "XP"}));
    EXPECT_EQ(plan[5], (TImportFormat{16, 16, "XP"}));
    EXPECT_EQ(plan[6], (TImportFormat{96, 96, "16.8M"}));
    EXPECT_EQ(plan[17], (TImportFormat{16, 16, "256"}));

    const bool none[7] = {};
    const auto bare = ImportFormatPlan(none, 0, 0, startKinds, fallback);
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0], (TImportFormat{40, 40, "XP"}));

    // The custom size comes last in each kind; alone it is the first format.
    const bool withCustom[7] = {false, false, false, true, false, false, true};
    const bool twoKinds[5] = {false, true, false, false, true};
    const auto custom = ImportFormatPlan(withCustom, 20, 10, twoKinds, fallback);
    ASSERT_EQ(custom.size(), 4u);
    EXPECT_EQ(custom[1], (TImportFormat{20, 10, "16.8M"}));
    EXPECT_EQ(custom[3], (TImportFormat{20, 10, "Mono"}));
    const bool onlyCustom[7] = {false, false, false, false, false, false, true};
    EXPECT_EQ(ImportFormatPlan(onlyCustom, 20, 10, twoKinds, fallback)[0], (TImportFormat{20, 10, "16.8M"}));
    // A custom size equal to a checked standard one makes no second, equal format.
    EXPECT_EQ(ImportFormatPlan(withCustom, 48, 48, twoKinds, fallback).size(), 2u);
}

TEST(ImportRules, CustomSidesMustBeWholeNumbersUpTo255)
{
    for (const char* good : {"1", "255", " 32 "})
        EXPECT_TRUE(CheckCustomSide(good, "width").isEmpty()) << good;
    for (const char* bad : {"", "  ", "0", "256", "12a", "-4"})
        EXPECT_FALSE(CheckCustomSide(bad, "width").isEmpty()) << bad;
}
