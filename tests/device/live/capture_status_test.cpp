// The status bar texts of live capture, letter for letter.
#include <gtest/gtest.h>

#include <cerrno>

#include "live/capture_status.h"

TEST(CaptureStatus, FileSizeInKilobytesUpToTenMillionBytesThenInMegabytes) {
    EXPECT_EQ(FileSizeStatusText(512000, 100), "    [File Size=512KB (0%) ]");
    EXPECT_EQ(FileSizeStatusText(12345678, 100), "    [File Size=12MB (12%) ]");
    EXPECT_EQ(FileSizeStatusText(10000000, 100), "    [File Size=10000KB (10%) ]");
    EXPECT_EQ(FileSizeStatusText(10000001, 100), "    [File Size=10MB (10%) ]");
    EXPECT_EQ(FileSizeStatusText(999999, 1), "    [File Size=999KB (99%) ]");
    EXPECT_EQ(FileSizeStatusText(0, 100), "    [File Size=0KB (0%) ]");
}

TEST(CaptureStatus, CapturingTextJoinsTimeFileSizePacketsAndSamples) {
    CaptureProgress progress;
    progress.elapsedUs = 3004005;
    progress.bytesWritten = 512000;
    progress.packets = 1234;
    progress.samples = 250000;
    EXPECT_EQ(CapturingStatusText(progress),
              "Capturing...   3s   4ms   5us    [File Size=512KB (0%) ]    [PD Packets=1234 (1%) ]"
              "     [VBUS Samples=250000 (2%) ]");
}

TEST(CaptureStatus, PercentagesTruncateAndSurviveLargeCountsAndZeroLimits) {
    CaptureProgress progress;
    progress.packets = 99999;
    progress.samples = 10999998;  // past the limit with auto-remove pending: no overflow
    std::string text = CapturingStatusText(progress);
    EXPECT_NE(text.find("[PD Packets=99999 (100%) ]"), std::string::npos);
    EXPECT_NE(text.find("[VBUS Samples=10999998 (109%) ]"), std::string::npos);

    progress.maxFileSizeMb = 0;  // a stored limit of 0 is taken as it is
    progress.maxPackets = 0;
    progress.bytesWritten = 20000000;
    text = CapturingStatusText(progress);
    EXPECT_NE(text.find("[File Size=20MB (0%) ]"), std::string::npos);
    EXPECT_NE(text.find("[PD Packets=99999 (0%) ]"), std::string::npos);
}

TEST(CaptureStatus, IdleAndMessageTexts) {
    EXPECT_STREQ(kConnectedStatusText, "Connected.  (Push \"Run\" button to start capturing.)");
    EXPECT_STREQ(kDisconnectedStatusText, "Disconnected.  (Connect Zoduz Device to USB port.)");
    EXPECT_STREQ(kRecordFileCreateErrorText,
                 "Creating a record file error. Please check the record file folder is writable "
                 "and has enough disk space.");
    EXPECT_STREQ(kVbusCountFullText, "VBUS Sample count full.");
    EXPECT_STREQ(kPacketCountFullText, "PD messege count full.");
    EXPECT_EQ(RecordFileWriteErrorText(ENOSPC),
              "Writing the record file failed: No space left on device. The capture was stopped; "
              "the data recorded so far is kept.");
}
