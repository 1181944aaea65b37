#include "tray/tray_tip.h"

#include <gtest/gtest.h>

namespace {

// Code page 932's lead bytes.
bool ShiftJisLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
bool NoLead(unsigned char) {
    return false;
}

TEST(TrayTip, NamesTheCameraOnlyWhilePluggedIn) {
    EXPECT_EQ(TrayTipText(false, "KRY Simulated Camera"), "ZOZEZA Tray");
    EXPECT_EQ(TrayTipText(true, "KRY Simulated Camera"), "ZOZEZA Tray - KRY Simulated Camera");
    EXPECT_EQ(TrayTipText(true, ""), "ZOZEZA Tray") << "no dangling separator";
}

TEST(TrayTip, CutKeepsWholeCharacters) {
    const std::string ascii(200, 'a');
    EXPECT_EQ(CutToBytes(ascii, 127, NoLead), std::string(127, 'a'));
    EXPECT_EQ(CutToBytes("short", 127, NoLead), "short");

    // 126 single bytes, then a double-byte character: it does not fit in 127 bytes.
    const std::string kanji = "\x93\xfa";  // a two-byte character in code page 932
    const std::string text = std::string(126, 'a') + kanji + "b";
    EXPECT_EQ(CutToBytes(text, 127, ShiftJisLead), std::string(126, 'a'));
    EXPECT_EQ(CutToBytes(text, 128, ShiftJisLead), std::string(126, 'a') + kanji);
    // The same bytes in a single-byte code page are cut where the limit says.
    EXPECT_EQ(CutToBytes(text, 127, NoLead).size(), 127u);
    // A trail byte in the lead-byte range is not mistaken for a lead byte.
    const std::string trailLikeLead = "\x88\x88\x88\x88";
    EXPECT_EQ(CutToBytes(trailLikeLead, 3, ShiftJisLead), "\x88\x88");
}

}  // namespace
