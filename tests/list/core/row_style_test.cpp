#include <gtest/gtest.h>

#include <limits>

#include "list/core/packet_class.h"
#include "list/core/packet_rows.h"
#include "list/core/row_style.h"
#include "pd/message_header.h"

TEST(PacketClass, InvalidPacketRules) {
    CCCPacket packet = GoodPacket();
    EXPECT_FALSE(IsInvalidPacket(packet));
    packet.preambleFound = false;
    EXPECT_TRUE(IsInvalidPacket(packet));
    packet = GoodPacket();
    packet.crcOk = false;
    EXPECT_TRUE(IsInvalidPacket(packet));
    packet.orderedSetKind = kOsHardReset;  // a reset carries no CRC
    EXPECT_FALSE(IsInvalidPacket(packet));
    packet = GoodPacket();
    packet.eopFound = false;
    EXPECT_TRUE(IsInvalidPacket(packet));
    packet = GoodPacket();
    packet.averageUnitInterval = 3.8f;
    EXPECT_TRUE(IsInvalidPacket(packet));
    packet.averageUnitInterval = 3.70f;
    EXPECT_FALSE(IsInvalidPacket(packet));
    packet.averageUnitInterval = 3.03f;
    EXPECT_FALSE(IsInvalidPacket(packet));
    packet.averageUnitInterval = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(IsInvalidPacket(packet));
    packet.edgeCount = 0;  // nothing measured, nothing invalid
    EXPECT_FALSE(IsInvalidPacket(packet));
}

TEST(RowStyle, BackgroundFollowsRuleOrder) {
    const RowColour selected{100, 100, 255};
    const RowColour markerA{255, 128, 0};
    const RowColour markerB{255, 0, 128};
    const RowColour invalid{255, 0, 0};
    const RowColour reset{255, 255, 0};
    const RowColour marked{200, 200, 0};

    CCCPacket packet = GoodPacket();
    const RowRoles markedOnly{.marked = true};
    EXPECT_EQ(RowBackground(packet, 1, markedOnly), marked);
    packet.orderedSetKind = kOsHardReset;
    EXPECT_TRUE(IsReset(packet));
    EXPECT_EQ(RowBackground(packet, 1, markedOnly), reset);
    packet.preambleFound = false;  // invalid and reset: invalid wins
    EXPECT_EQ(RowBackground(packet, 1, markedOnly), invalid);
    EXPECT_EQ(RowBackground(packet, 1, {false, false, true, true}), markerB);
    EXPECT_EQ(RowBackground(packet, 1, {false, true, true, true}), markerA);  // over invalid
    EXPECT_EQ(RowBackground(packet, 1, {true, true, true, true}), selected);  // over marker
}

TEST(RowStyle, BackgroundDefaultsAlternate) {
    const CCCPacket packet = GoodPacket();
    EXPECT_EQ(RowBackground(packet, 0, {}), (RowColour{240, 240, 240}));
    EXPECT_EQ(RowBackground(packet, 1, {}), (RowColour{255, 255, 255}));
    EXPECT_EQ(RowBackground(packet, 2, {}), (RowColour{240, 240, 240}));
}

TEST(RowStyle, TextColourByEdgesAndPort) {
    CCCPacket packet = GoodPacket();
    packet.port = 1;
    EXPECT_EQ(*RowTextColour(packet), (RowColour{0, 0, 255}));
    packet.port = 2;
    EXPECT_EQ(*RowTextColour(packet), (RowColour{0, 100, 100}));
    packet.port = 3;
    EXPECT_EQ(*RowTextColour(packet), (RowColour{100, 100, 0}));
    packet.port = -1;
    EXPECT_EQ(*RowTextColour(packet), (RowColour{255, 0, 0}));
    packet.port = 0;
    EXPECT_FALSE(RowTextColour(packet).has_value());
    packet.edgeCount = 0;
    EXPECT_EQ(*RowTextColour(packet), (RowColour{0, 0, 100}));
    packet.port = 1;  // the port overrides the no-edge colour
    EXPECT_EQ(*RowTextColour(packet), (RowColour{0, 0, 255}));
}

TEST(RowStyle, RecoveredRowsAreGreenUnlessAnotherRuleApplies) {
    CCCPacket packet = GoodPacket();
    packet.recovered = true;
    EXPECT_EQ(RowBackground(packet, 0, {}), (RowColour{200, 240, 200}));
    EXPECT_EQ(RowBackground(packet, 1, {}), (RowColour{200, 240, 200}));
    EXPECT_EQ(RowBackground(packet, 1, {.marked = true}), (RowColour{200, 200, 0}));
}

TEST(RowStyle, TextStaysReadableOnItsRowColour) {
    // Contrast ratios of the luminance formula: black on white 21, white on white 1.
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, {255, 255, 255}), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 0, 0}, {255, 255, 255}), 4.0, 0.01);
    const RowColour invalid{255, 0, 0};
    // Port 1 blue (2.2:1) and port -1 red (1:1) on an invalid row become black (5.3:1).
    EXPECT_EQ(ReadableTextColour({0, 0, 255}, invalid), (RowColour{0, 0, 0}));
    EXPECT_EQ(ReadableTextColour({255, 0, 0}, invalid), (RowColour{0, 0, 0}));
    // White text on a dark row stays; black on it would become white.
    EXPECT_EQ(ReadableTextColour({255, 255, 255}, {0, 0, 100}), (RowColour{255, 255, 255}));
    EXPECT_EQ(ReadableTextColour({0, 0, 0}, {0, 0, 100}), (RowColour{255, 255, 255}));
    // Every port colour on the ordinary rows, a reset and a marked row is kept as it is.
    const RowColour ports[] = {{0, 0, 255}, {0, 100, 100}, {100, 100, 0}, {255, 0, 0}, {0, 0, 100}};
    const RowColour rows[] = {{255, 255, 255}, {240, 240, 240}, {255, 255, 0}};
    for (const RowColour& port : ports) {
        for (const RowColour& row : rows) {
            EXPECT_EQ(ReadableTextColour(port, row), port);
        }
    }
}
