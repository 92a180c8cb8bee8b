#include <gtest/gtest.h>

#include "tools/sigrok/sr_import.h"
#include "tools/sigrok/sr_metadata.h"

namespace {

TEST(SrSampleRate, ReadsTheTextsSigrokWrites) {
    EXPECT_EQ(ParseSampleRate("4 MHz"), 4000000u);
    EXPECT_EQ(ParseSampleRate("2400 kHz"), 2400000u);
    EXPECT_EQ(ParseSampleRate("2.4 MHz"), 2400000u);
    EXPECT_EQ(ParseSampleRate("1 GHz"), 1000000000u);
    EXPECT_EQ(ParseSampleRate("500khz"), 500000u);
    EXPECT_EQ(ParseSampleRate("1000000"), 1000000u);
    EXPECT_EQ(ParseSampleRate(" 24 MHz "), 24000000u);
}

TEST(SrSampleRate, RefusesWhatIsNoWholeRate) {
    EXPECT_FALSE(ParseSampleRate("0"));
    EXPECT_FALSE(ParseSampleRate("0 MHz"));
    EXPECT_FALSE(ParseSampleRate("1.5 Hz"));
    EXPECT_FALSE(ParseSampleRate("fast"));
    EXPECT_FALSE(ParseSampleRate(""));
    EXPECT_FALSE(ParseSampleRate("99999999999999999999 GHz"));
}

TEST(SrSampleRate, WritesTheLargestWholeUnit) {
    EXPECT_EQ(SampleRateText(4000000), "4 MHz");
    EXPECT_EQ(SampleRateText(2400000), "2400 kHz");
    EXPECT_EQ(SampleRateText(48000000), "48 MHz");
    EXPECT_EQ(SampleRateText(300), "300 Hz");
    EXPECT_EQ(SampleRateText(2000000000), "2 GHz");
}

TEST(SrTickBase, ExactWhereFortyEightMegahertzDivides) {
    struct Case {
        uint64_t rate;
        int divider;
        bool exact;
    };
    for (const Case& c : {Case{4000000, 12, true}, Case{6000000, 8, true}, Case{12000000, 4, true},
                          Case{48000000, 1, true}, Case{2400000, 20, true}, Case{187500, 256, true},
                          Case{10000000, 5, false}, Case{100000000, 1, false},
                          Case{100000, 256, false}, Case{25000000, 2, false}}) {
        const SrTickBase base = TickBaseForSampleRate(c.rate);
        EXPECT_EQ(base.divider, c.divider) << c.rate;
        EXPECT_EQ(base.exact, c.exact) << c.rate;
    }
}

TEST(SrMetadata, ReadsTheFirstDeviceSection) {
    std::string error;
    const auto metadata = ParseSrMetadata(
        "[global]\r\nsigrok version=0.5.1\r\n\r\n# comment\r\n[device 1]\r\n"
        "capturefile=logic-1\r\ntotal probes=3\r\nsamplerate=4 MHz\r\ntotal analog=0\r\n"
        "probe1=D0\r\nprobe2 = cc2\r\nprobe3=CC1\r\nunitsize=1\r\n[device 2]\r\n"
        "samplerate=1 Hz\r\n",
        error);
    ASSERT_TRUE(metadata) << error;
    EXPECT_EQ(metadata->captureFile, "logic-1");
    EXPECT_EQ(metadata->sampleRate, 4000000u);
    EXPECT_EQ(metadata->unitSize, 1);
    EXPECT_EQ(metadata->totalProbes, 3);
    EXPECT_EQ(FindSrChannel(*metadata, "CC1"), 3);
    EXPECT_EQ(FindSrChannel(*metadata, "CC2"), 2);
    EXPECT_EQ(FindSrChannel(*metadata, "1"), 1);
    EXPECT_FALSE(FindSrChannel(*metadata, "4"));
    EXPECT_FALSE(FindSrChannel(*metadata, "CC3"));
}

TEST(SrMetadata, SaysWhatIsMissing) {
    std::string error;
    EXPECT_FALSE(ParseSrMetadata("[global]\nsigrok version=0.5.1\n", error));
    EXPECT_EQ(error, "no device section in the metadata");
    EXPECT_FALSE(ParseSrMetadata("[device 1]\ncapturefile=logic-1\nunitsize=1\n", error));
    EXPECT_EQ(error, "no samplerate in the metadata");
    EXPECT_FALSE(
        ParseSrMetadata("[device 1]\ncapturefile=logic-1\nsamplerate=1 MHz\nunitsize=9\n", error));
    EXPECT_EQ(error, "unsupported unitsize (1-8 bytes)");
    EXPECT_FALSE(ParseSrMetadata(
        "[device 1]\ncapturefile=logic-1\nsamplerate=1 MHz\nunitsize=1\ntotal probes=x\n", error));
    EXPECT_EQ(error, "unreadable total probes");
    EXPECT_FALSE(
        ParseSrMetadata("[device 1]\ncapturefile=x\nsamplerate=slow\nunitsize=1\n", error));
    EXPECT_EQ(error, "unreadable sample rate 'slow'");
}

// A 16-probe logic analyzer recording 8 channels writes unitsize=1 with total probes=16, as
// sigrok and PulseView open it: the channels the unit size holds are read, named ones beyond it
// are noted.
TEST(SrMetadata, ProbesBeyondTheUnitSizeAreDropped) {
    std::string error;
    std::optional<SrMetadata> metadata = ParseSrMetadata(
        "[device 1]\ncapturefile=logic-1\ntotal probes=16\nsamplerate=24 MHz\n"
        "total analog=0\nprobe1=D0\nprobe2=D1\nunitsize=1\n",
        error);
    ASSERT_TRUE(metadata) << error;
    EXPECT_EQ(metadata->totalProbes, 8);
    EXPECT_EQ(metadata->probeNames.size(), 8u);
    EXPECT_EQ(FindSrChannel(*metadata, "D1"), 2);
    EXPECT_TRUE(metadata->ignoredChannels.empty());

    metadata = ParseSrMetadata(
        "[device 1]\ncapturefile=logic-1\ntotal probes=16\nsamplerate=24 MHz\n"
        "probe1=CC1\nprobe9=D8\nprobe16=D15\nunitsize=1\n",
        error);
    ASSERT_TRUE(metadata) << error;
    EXPECT_EQ(metadata->totalProbes, 8);
    EXPECT_FALSE(FindSrChannel(*metadata, "D8"));
    EXPECT_EQ(
        metadata->ignoredChannels,
        (std::vector<std::string>{"channel 9 (D8) is beyond the unitsize of 1 byte; ignored",
                                  "channel 16 (D15) is beyond the unitsize of 1 byte; ignored"}));
}

TEST(SrMetadata, WrittenTextReadsBack) {
    SrMetadata metadata;
    metadata.sampleRate = 2400000;
    metadata.totalProbes = 2;
    metadata.probeNames = {"CC1", "CC2"};
    const std::string text = FormatSrMetadata(metadata);
    EXPECT_EQ(text,
              "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\n"
              "total probes=2\nsamplerate=2400 kHz\ntotal analog=0\nprobe1=CC1\nprobe2=CC2\n"
              "unitsize=1\n");
    std::string error;
    const auto back = ParseSrMetadata(text, error);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sampleRate, 2400000u);
    EXPECT_EQ(back->probeNames, metadata.probeNames);
}

TEST(SrPath, RecognisesTheExtension) {
    EXPECT_TRUE(IsSigrokSessionPath("capture.sr"));
    EXPECT_TRUE(IsSigrokSessionPath("/a/b/CAPTURE.SR"));
    EXPECT_FALSE(IsSigrokSessionPath("capture.zaz"));
    EXPECT_FALSE(IsSigrokSessionPath(".sr"));
    EXPECT_FALSE(IsSigrokSessionPath("capture.srt"));
}

}  // namespace
