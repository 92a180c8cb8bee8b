// The PD packet strip and the double-click pick: bar colours by their precedence, the label
// only on bars wider than 50 pixels, the flagged labels on their rows, the strip's bisection
// start giving the same bars as a walk from the first packet, and the nearer packet picked.
#include <gtest/gtest.h>

#include <memory>

#include "graph/packet_bars.h"
#include "graph/packet_pick.h"
#include "packet_test_data.h"

namespace {

class PacketStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.Layout(1300, 700);  // graph area 1001 pixels wide
        model.state.timeScale = 1.0f;
        model.CentreOnTime(500);
    }
    std::vector<PacketBar> Bars(const PacketHighlights& highlights = {}) {
        const PacketBarInput input{model.state, model.Geometry(), document, highlights};
        return PlacePacketBars(input, 0);
    }

    GraphModel model;
    DocumentSnapshot document;
};

TEST(PacketBarColourTest, RulesInTheirOrder) {
    PacketPtr packet = ValidPacket(0, 100);
    PacketHighlights none;
    EXPECT_EQ(PacketBarColour(*packet, false, none), (RgbColour{0, 0, 255}));  // port 1
    packet->port = 2;
    EXPECT_EQ(PacketBarColour(*packet, false, none), (RgbColour{0, 100, 100}));
    packet->port = 3;
    EXPECT_EQ(PacketBarColour(*packet, false, none), (RgbColour{100, 100, 0}));
    packet->port = 0;
    EXPECT_EQ(PacketBarColour(*packet, false, none), (RgbColour{255, 0, 0}));
    packet->port = 1;
    packet->crcOk = false;
    EXPECT_EQ(PacketBarColour(*packet, false, none), (RgbColour{255, 0, 0}));
    EXPECT_EQ(PacketBarColour(*packet, true, none), (RgbColour{200, 200, 0}));
    PacketHighlights selected{nullptr, nullptr, packet.get()};
    EXPECT_EQ(PacketBarColour(*packet, true, selected), (RgbColour{100, 100, 255}));
    PacketHighlights markerB{nullptr, packet.get(), packet.get()};
    EXPECT_EQ(PacketBarColour(*packet, true, markerB), (RgbColour{255, 0, 128}));
    PacketHighlights all{packet.get(), packet.get(), packet.get()};
    EXPECT_EQ(PacketBarColour(*packet, true, all), (RgbColour{255, 128, 0}));
}

TEST(PacketBarColourTest, HardResetWithFailedCrcIsYellow) {
    PacketPtr reset = HardResetPacket(0);
    reset->crcOk = false;
    EXPECT_EQ(PacketBarColour(*reset, false, {}), (RgbColour{255, 255, 0}));
    reset->averageUnitInterval = 3.8f;
    EXPECT_EQ(PacketBarColour(*reset, false, {}), (RgbColour{255, 0, 0}));
    reset->averageUnitInterval = 3.3f;
    reset->preambleFound = false;
    EXPECT_EQ(PacketBarColour(*reset, false, {}), (RgbColour{255, 0, 0}));
}

TEST_F(PacketStripTest, LabelOnlyAboveFiftyPixels) {
    // 40 µs and 51 µs at 1 pixel per µs.
    document.packets = {ValidPacket(100, 40), ValidPacket(300, 51)};
    const std::vector<PacketBar> bars = Bars();
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0].width, 40);
    EXPECT_TRUE(bars[0].label.empty());
    EXPECT_EQ(bars[1].width, 51);
    EXPECT_EQ(bars[1].label.rfind("#1 ", 0), 0u);
    EXPECT_EQ(bars[0].left, model.XOfTime(100));
}

TEST_F(PacketStripTest, SelectedBarOfAnyWidthGetsItsFlaggedLabel) {
    document.packets = {ValidPacket(100, 2), ValidPacket(300, 40)};
    const std::vector<PacketBar> bars =
        Bars({document.packets[1].get(), nullptr, document.packets[0].get()});
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0].flag, BarFlag::Selected);
    EXPECT_EQ(bars[0].flagLabel.rfind("#0 ", 0), 0u);
    EXPECT_EQ(bars[0].flagTop, model.Geometry().graphTop + 1);
    EXPECT_EQ(bars[1].flag, BarFlag::MarkerA);
    EXPECT_EQ(bars[1].flagLabel.rfind("A #1 ", 0), 0u);
    EXPECT_EQ(bars[1].flagTop, model.Geometry().graphTop + model.state.fontHeight + 1);
}

TEST_F(PacketStripTest, MarkerAAndSelectedTogetherShowTheMarkerALabel) {
    document.packets = {ValidPacket(100, 2)};
    const std::vector<PacketBar> bars =
        Bars({document.packets[0].get(), nullptr, document.packets[0].get()});
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].colour, (RgbColour{255, 128, 0}));
    EXPECT_EQ(bars[0].flagLabel.rfind("A #0 ", 0), 0u);
}

TEST_F(PacketStripTest, FlaggedLabelsTakeSuccessiveRows) {
    for (int i = 0; i < 12; ++i) {
        document.packets.push_back(ValidPacket(10 + i * 20, 5));
    }
    // Rows advance per flagged label only: Marker A, Marker B and the selected packet stand on
    // rows 0, 1 and 2 whatever lies between them.
    const std::vector<PacketBar> bars =
        Bars({document.packets[3].get(), document.packets[5].get(), document.packets[9].get()});
    int row = 0;
    for (const PacketBar& bar : bars) {
        if (bar.flag != BarFlag::None) {
            EXPECT_EQ(bar.flagTop, model.Geometry().graphTop + model.state.fontHeight * row + 1);
            ++row;
        }
    }
    EXPECT_EQ(row, 3);
}

TEST_F(PacketStripTest, SkipsPacketsWithFewEdgesAndStopsRightOfTheView) {
    document.packets = {ValidPacket(100, 10), ValidPacket(200, 10), ValidPacket(2000, 10),
                        ValidPacket(3000, 10)};
    document.packets[1]->edgeCount = 1;
    const std::vector<PacketBar> bars = Bars();
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].packet, document.packets[0].get());
}

TEST_F(PacketStripTest, BisectionStartGivesTheBarsOfTheWalk) {
    // Many packets before the window and one long packet reaching into it.
    for (int i = 0; i < 500; ++i) {
        document.packets.push_back(ValidPacket(-100000 + i * 150, 40 + i % 7));
    }
    document.packets.push_back(ValidPacket(-30000, 30100));
    std::sort(document.packets.begin(), document.packets.end(),
              [](const PacketPtr& a, const PacketPtr& b) { return a->relTime < b->relTime; });
    for (int i = 0; i < 30; ++i) {
        document.packets.push_back(ValidPacket(i * 40, 20));
    }
    document.timeOrigin = 0;
    for (int64_t centre : {-50000, 0, 500, 20000}) {
        model.CentreOnTime(centre);
        PacketSpanBound bound;
        const size_t first =
            FirstPacketInView(document, model.state.leftTime, bound.Update(document.packets));
        const PacketBarInput input{model.state, model.Geometry(), document, {}};
        std::vector<PacketBar> walked = PlacePacketBars(input, 0);
        std::vector<PacketBar> bisected = PlacePacketBars(input, first);
        ASSERT_EQ(walked.size(), bisected.size()) << centre;
        for (size_t i = 0; i < walked.size(); ++i) {
            EXPECT_EQ(walked[i].packet, bisected[i].packet);
            EXPECT_EQ(walked[i].left, bisected[i].left);
        }
        EXPECT_GT(first, 0u);
    }
}

TEST(PacketSpanBoundTest, FollowsTheArray) {
    std::vector<PacketPtr> packets = {ValidPacket(0, 100)};
    PacketSpanBound bound;
    EXPECT_EQ(bound.Update(packets), 100);
    packets.push_back(ValidPacket(500, 900));
    EXPECT_EQ(bound.Update(packets), 900);
    packets.erase(packets.begin() + 1);
    packets.push_back(ValidPacket(600, 50));
    EXPECT_EQ(bound.Update(packets), 100);
    packets.clear();
    EXPECT_EQ(bound.Update(packets), 0);
}

TEST(PacketPickTest, NearerStartWinsAndATieTakesTheEarlier) {
    DocumentSnapshot document;
    document.packets = {ValidPacket(1000, 10), ValidPacket(2000, 10)};
    GraphViewState state;
    state.dataStartTime = 0;
    state.dataEndTime = 10000;
    EXPECT_EQ(PickPacket(document, state, 1500), std::optional<size_t>(0));
    EXPECT_EQ(PickPacket(document, state, 1501), std::optional<size_t>(1));
    EXPECT_EQ(PickPacket(document, state, 1499), std::optional<size_t>(0));
    EXPECT_EQ(PickPacket(document, state, 500), std::optional<size_t>(0));
    EXPECT_EQ(PickPacket(document, state, 9000), std::optional<size_t>(1));
    EXPECT_EQ(PickPacket(document, state, 10001), std::nullopt);
    document.packets.clear();
    EXPECT_EQ(PickPacket(document, state, 1500), std::nullopt);
}

}  // namespace
