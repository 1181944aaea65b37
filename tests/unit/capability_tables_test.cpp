#include "camera/capability_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fake_camera.h"

namespace {

// Answers the gets it was told to; any other call fails the test.
void ReadOnly(FakeCamera& camera) {
    camera.readOnly = true;
    camera.onFault = [](const std::string& what) { ADD_FAILURE() << what; };
}

std::vector<int32_t> Gets(FakeCamera& camera) {
    std::vector<int32_t> ids;
    for (const FakeCamera::Call& call : camera.Calls(FakeCamera::Op::Get)) {
        ids.push_back(call.id);
    }
    return ids;
}

constexpr CameraCapabilities kSentinel{111, 222, 333, 444};

void ExpectCaps(const CameraCapabilities& caps, int32_t kind, int32_t pixels, int32_t first,
                int32_t last) {
    EXPECT_EQ(caps.m_nSensorKind, kind);
    EXPECT_EQ(caps.m_nSensorPixels, pixels);
    EXPECT_EQ(caps.m_nFirstSizeIndex, first);
    EXPECT_EQ(caps.m_nLastSizeIndex, last);
}

std::vector<std::string> Rows(int first, int last) {
    std::vector<std::string> rows;
    for (int r = first; r <= last; ++r) {
        rows.emplace_back(ResolutionTable[r].szSize);
    }
    return rows;
}

// --- The tables -------------------------------------------------------------------------

TEST(CapabilityTables, EffectRowsAreEffectsThenSeparatorThenFrames) {
    ASSERT_EQ(std::size(EffectTable), 33u);
    for (int row = 0; row < kEffectTableRows; ++row) {
        const EffectRow& e = EffectTable[row];
        std::string expectedKey;
        int32_t expectedId = 0;
        if (row <= 20) {
            expectedId = row + 1;
            expectedKey = "IDC_SE_RADIO" + std::to_string(row + 1);
        } else if (row >= 22) {
            expectedId = 51 + (row - 22);
            expectedKey = "IDC_FRAME_RADIO" + std::to_string(row - 21);
        }
        EXPECT_EQ(e.nEffectId, expectedId) << "row " << row;
        EXPECT_EQ(std::string(e.szIniKey), expectedKey) << "row " << row;
        // NUL-padded: nothing after the terminator.
        const size_t len = std::strlen(e.szIniKey);
        for (size_t i = len; i < sizeof e.szIniKey; ++i) {
            ASSERT_EQ(e.szIniKey[i], '\0') << "row " << row;
        }
    }
}

TEST(CapabilityTables, ExactPixelCountsAreTheFirstSixSizes) {
    ASSERT_EQ(std::size(ResolutionTable), 15u);
    const int32_t counts[] = {19200, 25344, 76800, 101376, 307200, 480000};
    for (int row = 0; row < 6; ++row) {
        int w = 0, h = 0;
        ASSERT_EQ(std::sscanf(ResolutionTable[row].szSize, "%dx%d", &w, &h), 2);
        EXPECT_EQ(w * h, counts[row]) << ResolutionTable[row].szSize;
    }
    EXPECT_STREQ(ResolutionTable[13].szSize, "2560x1600");
    EXPECT_STREQ(ResolutionTable[14].szSize, "2560x2048");
}

// --- BuildSizeList: the pixel-count table ----------------------------------------------

struct SizeCase {
    int32_t pixels;
    int32_t last;
    const char* lastText;
};

class SizeListByPixels : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeListByPixels, OffersRowsZeroToTheTablesLastRow) {
    const SizeCase c = GetParam();
    FakeCamera camera{ReadOnly};
    camera.Reply(PROP_SENSOR_PIXELS, 0, c.pixels);
    CameraCapabilities caps = kSentinel;
    std::vector<std::string> list{"stale"};

    BuildSizeList(true, camera, caps, list);

    EXPECT_EQ(list, Rows(0, c.last));
    EXPECT_EQ(list.back(), c.lastText);
    ExpectCaps(caps, kSentinel.m_nSensorKind, c.pixels, 0, c.last);
    EXPECT_EQ(Gets(camera), std::vector<int32_t>{PROP_SENSOR_PIXELS});
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, SizeListByPixels,
    ::testing::Values(SizeCase{19200, 3, "352x288"}, SizeCase{25344, 3, "352x288"},
                      SizeCase{76800, 4, "640x480"}, SizeCase{101376, 4, "640x480"},
                      SizeCase{256000, 9, "1280x960"}, SizeCase{307200, 9, "1280x960"},
                      SizeCase{480000, 11, "1600x1200"},
                      // Anything else, near misses and 0 included, gets rows 0..13.
                      SizeCase{0, 13, "2560x1600"}, SizeCase{1280 * 1024, 13, "2560x1600"},
                      SizeCase{307201, 13, "2560x1600"}, SizeCase{19199, 13, "2560x1600"},
                      SizeCase{2560 * 2048, 13, "2560x1600"}, SizeCase{-1, 13, "2560x1600"}));

TEST(SizeList, DriverUnreachableLeavesEmptyListAndMembers) {
    FakeCamera camera{ReadOnly};
    camera.Reply(PROP_SENSOR_PIXELS, -1, 307200);  // a failed call's block is not used
    CameraCapabilities caps = kSentinel;
    std::vector<std::string> list{"stale", "entries"};

    BuildSizeList(true, camera, caps, list);

    EXPECT_TRUE(list.empty());
    ExpectCaps(caps, 111, 222, 333, 444);
}

TEST(SizeList, UnpluggedAsksNothingAndEmptiesTheList) {
    FakeCamera camera{ReadOnly};
    CameraCapabilities caps = kSentinel;
    std::vector<std::string> list{"stale"};

    BuildSizeList(false, camera, caps, list);

    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(Gets(camera).empty());
    ExpectCaps(caps, 111, 222, 333, 444);
}

// --- IsEffectSupported -----------------------------------------------------------------

struct EffectCase {
    int kindResult;
    int32_t kind;
    int pixelsResult;
    int32_t pixels;
    int expected;
    int32_t storedKind;
    int32_t storedPixels;
};

class EffectSupport : public ::testing::TestWithParam<EffectCase> {};

TEST_P(EffectSupport, DecidesFromKindAndPixelCount) {
    const EffectCase c = GetParam();
    FakeCamera camera{ReadOnly};
    camera.Reply(PROP_SENSOR_KIND, c.kindResult, c.kind);
    camera.Reply(PROP_SENSOR_PIXELS, c.pixelsResult, c.pixels);
    CameraCapabilities caps = kSentinel;

    EXPECT_EQ(IsEffectSupported(true, camera, caps), c.expected);

    ExpectCaps(caps, c.storedKind, c.storedPixels, 333, 444);
    EXPECT_EQ(Gets(camera), (std::vector<int32_t>{PROP_SENSOR_KIND, PROP_SENSOR_PIXELS}));
}

INSTANTIATE_TEST_SUITE_P(KindsAndLimits, EffectSupport,
                         ::testing::Values(
                             // At the limit with an effect-capable kind.
                             EffectCase{0, 1, 0, 307200, 1, 1, 307200},
                             // One pixel over the limit, and far over: never, whatever the kind.
                             EffectCase{0, 1, 0, 307201, 0, 1, 307201},
                             EffectCase{0, 2, 0, 1310720, 0, 2, 1310720},
                             // Kinds without effects.
                             EffectCase{0, 0, 0, 76800, 0, 0, 76800},
                             EffectCase{0, 3, 0, 76800, 0, 3, 76800},
                             // A driver that itself answers -1 as the kind is not forbidden.
                             EffectCase{0, -1, 0, 76800, 1, -1, 76800},
                             // No extension interface: both fallbacks, no effects.
                             EffectCase{-1, 7, -1, 76800, 0, -1, 307201},
                             // Kind unreadable alone: -1 does not forbid effects.
                             EffectCase{-1, 3, 0, 76800, 1, -1, 76800},
                             // Pixel count unreadable alone: the fallback is over the limit.
                             EffectCase{0, 1, -1, 76800, 0, 1, 307201},
                             // Signed comparison: a negative count is under the limit.
                             EffectCase{0, 1, 0, -5, 1, 1, -5}));

TEST(EffectSupport, UnpluggedAsksNothingAndKeepsMembers) {
    FakeCamera camera{ReadOnly};
    CameraCapabilities caps = kSentinel;

    EXPECT_EQ(IsEffectSupported(false, camera, caps), 0);

    EXPECT_TRUE(Gets(camera).empty());
    ExpectCaps(caps, 111, 222, 333, 444);
}

// --- A driver that answers without writing the block -----------------------------------

TEST(UnwrittenBlock, ReadsAsZeroKindAndZeroPixels) {
    FakeCamera camera{ReadOnly};
    camera.Reply(PROP_SENSOR_KIND, 0, std::nullopt);
    camera.Reply(PROP_SENSOR_PIXELS, 0, std::nullopt);
    CameraCapabilities caps = kSentinel;
    std::vector<std::string> list;

    EXPECT_EQ(IsEffectSupported(true, camera, caps), 0);
    BuildSizeList(true, camera, caps, list);

    ExpectCaps(caps, 0, 0, 0, 13);
    EXPECT_EQ(list, Rows(0, 13));
    // Every get started from a zeroed block, not from whatever the stack held.
    ASSERT_EQ(camera.Calls().size(), 3u);
    for (const auto& [op, id, block, stamp] : camera.Calls()) {
        EXPECT_EQ(block.words[0], 0);
        EXPECT_EQ(block.words[1], 0);
        EXPECT_EQ(block.words[2], 0);
        EXPECT_EQ(block.words[3], 0);
    }
}

}  // namespace
