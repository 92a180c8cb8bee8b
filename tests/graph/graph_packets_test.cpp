// The PD packet strip and the double-click pick: bar colours by their precedence, the label
// only on bars wider than 50 pixels, the flagged labels on their rows, the packets of a view
// giving the same bars and numbers as a walk over every packet, and the nearer packet picked.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "capture/packets_in_view.h"
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
        return PlacePacketBars({model.state, model.Geometry(), document, highlights});
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

// The strip's pixel columns after painting the bars in order, from the left of the graph area.
std::vector<RgbColour> PaintedColumns(const std::vector<PacketBar>& bars, int left, int width) {
    std::vector<RgbColour> columns(static_cast<size_t>(width));
    for (const PacketBar& bar : bars) {
        for (int x = std::max(bar.left, left); x < std::min(bar.left + bar.width, left + width);
             ++x) {
            columns[static_cast<size_t>(x - left)] = bar.colour;
        }
    }
    return columns;
}

// A whole capture in view: thousands of packets share each pixel column. The bars left out are
// those painted over whole; the strip looks as if every packet's bar were painted, each on its
// own, in time order.
TEST_F(PacketStripTest, BarsPaintedOverWholeAreLeftOutAndTheStripLooksTheSame) {
    model.state.timeScale = 0.002f;  // 500 us a pixel
    model.CentreOnTime(250000);
    for (int i = 0; i < 10000; ++i) {
        document.packets.push_back(ValidPacket(i * 50, 20 + i % 40));
        document.packets.back()->crcOk = i % 7 != 0;  // invalid ones are red
    }
    document.packets[4321]->totalTicks = 3000;  // one bar over several columns
    const PacketHighlights highlights{document.packets[100].get(), nullptr, nullptr};
    const std::vector<PacketBar> bars = Bars(highlights);

    std::vector<PacketBar> every;
    for (size_t i = 0; i < document.packets.size(); ++i) {
        DocumentSnapshot alone;
        alone.packets = {document.packets[i]};
        alone.firstPacketNumber = i;
        for (PacketBar& bar : PlacePacketBars({model.state, model.Geometry(), alone, highlights})) {
            every.push_back(std::move(bar));
        }
    }
    const int left = model.Geometry().graphLeft;
    const int width = model.Geometry().GraphArea().Width();
    EXPECT_EQ(PaintedColumns(bars, left, width), PaintedColumns(every, left, width));
    EXPECT_LT(bars.size(), 1200u);
    EXPECT_GT(every.size(), 9000u);
    // The flagged bar stays, with its label.
    const auto flagged = std::find_if(
        bars.begin(), bars.end(), [](const PacketBar& bar) { return bar.flag != BarFlag::None; });
    ASSERT_NE(flagged, bars.end());
    EXPECT_EQ(flagged->flagLabel.rfind("A #100 ", 0), 0u);
}

// The view's packets, as the document's snapshot of a paint takes them, give the bars of a walk
// over every packet, numbered as in the whole array.
TEST_F(PacketStripTest, TheViewsPacketsGiveTheBarsOfEveryPacket) {
    // Many packets before the window and one long packet reaching into it.
    for (int i = 0; i < 500; ++i) {
        document.packets.push_back(ValidPacket(-100000 + i * 150, 40 + i % 7));
    }
    document.packets.push_back(ValidPacket(-30000, 30100));
    std::sort(document.packets.begin(), document.packets.end(),
              [](const PacketPtr& a, const PacketPtr& b) { return a->relTime < b->relTime; });
    for (int i = 0; i < 30; ++i) {
        document.packets.push_back(ValidPacket(i * 40, 20 + i * 3));
    }
    document.timeOrigin = 0;
    int64_t longest = 0;
    for (const PacketPtr& packet : document.packets) {
        longest = std::max(longest, PacketDuration(*packet));
    }
    ASSERT_EQ(longest, 30100);
    const PacketHighlights highlights{document.packets[510].get(), nullptr,
                                      document.packets[520].get()};
    for (int64_t centre : {-50000, 0, 500, 20000}) {
        model.CentreOnTime(centre);
        const PacketIndexRange range =
            PacketsInView(document.packets, document.timeOrigin, model.state.leftTime,
                          model.state.rightTime, longest);
        DocumentSnapshot view = document;
        view.packets.assign(document.packets.begin() + static_cast<ptrdiff_t>(range.first),
                            document.packets.begin() + static_cast<ptrdiff_t>(range.end));
        view.firstPacketNumber = range.first;
        const std::vector<PacketBar> walked =
            PlacePacketBars({model.state, model.Geometry(), document, highlights});
        const std::vector<PacketBar> windowed =
            PlacePacketBars({model.state, model.Geometry(), view, highlights});
        ASSERT_EQ(walked.size(), windowed.size()) << centre;
        for (size_t i = 0; i < walked.size(); ++i) {
            EXPECT_EQ(walked[i].packet, windowed[i].packet);
            EXPECT_EQ(walked[i].left, windowed[i].left);
            EXPECT_EQ(walked[i].label, windowed[i].label);
            EXPECT_EQ(walked[i].flagLabel, windowed[i].flagLabel);
        }
        EXPECT_GT(range.first, 0u) << centre;
        EXPECT_LT(range.end - range.first, document.packets.size() / 2) << centre;
    }
    // Around 0 the long packet, the Marker A and the selected one are in view, labelled with
    // their numbers in the whole array.
    model.CentreOnTime(500);
    const PacketIndexRange range =
        PacketsInView(document.packets, 0, model.state.leftTime, model.state.rightTime, longest);
    DocumentSnapshot view = document;
    view.packets.assign(document.packets.begin() + static_cast<ptrdiff_t>(range.first),
                        document.packets.begin() + static_cast<ptrdiff_t>(range.end));
    view.firstPacketNumber = range.first;
    std::vector<std::string> labels;
    for (const PacketBar& bar :
         PlacePacketBars({model.state, model.Geometry(), view, highlights})) {
        if (!bar.flagLabel.empty()) {
            labels.push_back(bar.flagLabel.substr(0, bar.flagLabel.find(' ', 2)));
        }
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"A #510", "#520"}));
}

TEST(PacketsInViewTest, FromTheFirstThatCanReachTheWindowToTheLastStartingInIt) {
    std::vector<PacketPtr> packets;
    for (int i = 0; i < 10; ++i) {
        packets.push_back(ValidPacket(1000 * i, 100));
    }
    // [2500, 5000]: packets 3 to 5 start in it; with bursts up to 100 µs none before 3 reaches it.
    EXPECT_EQ(PacketsInView(packets, 0, 2500, 5000, 100), (PacketIndexRange{3, 6}));
    // A burst of up to 600 µs could reach it from packet 2 on.
    EXPECT_EQ(PacketsInView(packets, 0, 2500, 5000, 600), (PacketIndexRange{2, 6}));
    // Graph times are relTime minus the origin.
    EXPECT_EQ(PacketsInView(packets, 1000, 2500, 5000, 100), (PacketIndexRange{4, 7}));
    // Nothing in view: an empty range where the view would begin.
    EXPECT_EQ(PacketsInView(packets, 0, 20000, 30000, 100), (PacketIndexRange{10, 10}));
    EXPECT_EQ(PacketsInView(packets, 0, -3000, -2000, 100), (PacketIndexRange{0, 0}));
    EXPECT_EQ(PacketsInView(packets, 0, 5000, 2500, 100), (PacketIndexRange{5, 5}));
    EXPECT_EQ(PacketsInView({}, 0, 0, 100, 0), (PacketIndexRange{0, 0}));
    // Times at the ends of the range do not overflow.
    EXPECT_EQ(PacketsInView(packets, 0, INT64_MIN, INT64_MAX, INT64_MAX),
              (PacketIndexRange{0, 10}));
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
