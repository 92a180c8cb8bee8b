// The vRd classes of a CC voltage and their texts, at every range boundary.
#include <gtest/gtest.h>

#include "app/ctrl/cc_status.h"

TEST(CcStatus, AdvertisementRangesIncludeTheirBounds) {
    EXPECT_EQ(ClassifyCc(250), CcStatus::VrdUsb);
    EXPECT_EQ(ClassifyCc(610), CcStatus::VrdUsb);
    EXPECT_EQ(ClassifyCc(700), CcStatus::Vrd15);
    EXPECT_EQ(ClassifyCc(1160), CcStatus::Vrd15);
    EXPECT_EQ(ClassifyCc(1310), CcStatus::Vrd30);
    EXPECT_EQ(ClassifyCc(2040), CcStatus::Vrd30);
}

TEST(CcStatus, GapsUpTo2180AreConnectOutsideNothing) {
    EXPECT_EQ(ClassifyCc(249), CcStatus::None);
    EXPECT_EQ(ClassifyCc(0), CcStatus::None);
    EXPECT_EQ(ClassifyCc(-300), CcStatus::None);
    EXPECT_EQ(ClassifyCc(611), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(650), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(699), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(1161), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(1309), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(2041), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(2180), CcStatus::VrdConnect);
    EXPECT_EQ(ClassifyCc(2181), CcStatus::None);
    EXPECT_EQ(ClassifyCc(4900), CcStatus::None);
}

TEST(CcStatus, TextsNameTheLine) {
    EXPECT_EQ(CcStatusText(CcStatus::VrdUsb, 1), "vRd-USB (CC1)");
    EXPECT_EQ(CcStatusText(CcStatus::VrdUsb, 2), "vRd-USB (CC2)");
    EXPECT_EQ(CcStatusText(CcStatus::Vrd15, 1), "vRd-1.5 (CC1)");
    EXPECT_EQ(CcStatusText(CcStatus::Vrd30, 2), "vRd-3.0 (CC2)");
    EXPECT_EQ(CcStatusText(CcStatus::VrdConnect, 1), "vRd-Connect (CC1)");
    EXPECT_EQ(CcStatusText(CcStatus::VrdConnect, 2), "vRd-Connect (CC2)");
    EXPECT_EQ(CcStatusText(CcStatus::None, 1), "");
    EXPECT_EQ(CcStatusText(CcStatus::None, 2), "");
}
