#include <gtest/gtest.h>

#include <set>

#include "list/core/criteria_enabling.h"
#include "list/core/find_criteria.h"

namespace {

int CountOn(const FindCriteria& criteria) {
    int count = 0;
    for (bool on : criteria.on) {
        count += on ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(FindCriteria, BoxTablesHoldEveryLabelAndIdOnce) {
    std::set<std::string_view> labels;
    std::set<int> ids;
    for (const CriterionBox& box : kCriterionBoxes) {
        labels.insert(box.label);
        ids.insert(box.controlId);
    }
    EXPECT_EQ(labels.size(), 72u);
    EXPECT_EQ(ids.size(), 72u);
    EXPECT_EQ(kCriterionBoxes[kCritSopPrimeDebug].label, "SOP' Debug");
    EXPECT_EQ(kCriterionBoxes[kCritSopPrimeDebug].controlId, 1025);
    EXPECT_EQ(kCriterionBoxes[kCritNoErrors].controlId, 1078);
    EXPECT_EQ(kCriterionBoxes[kCritNoErrors].group, "Error Packet");
}

TEST(FindCriteria, MessageTypeBoxesByClassAndType) {
    const auto box = [](MessageClass c, int type) -> std::string_view {
        const std::optional<Criterion> criterion = MessageTypeCriterion(c, type);
        return criterion ? kCriterionBoxes[*criterion].label : "";
    };
    EXPECT_EQ(box(MessageClass::kControl, 1), "GoodCRC");
    EXPECT_EQ(box(MessageClass::kControl, 13), "Soft_Reset");
    EXPECT_EQ(box(MessageClass::kControl, 14), "Data_Reset");
    EXPECT_EQ(box(MessageClass::kControl, 24), "Get_Revision");
    EXPECT_EQ(box(MessageClass::kControl, 25), "");
    EXPECT_EQ(box(MessageClass::kControl, 0), "");
    EXPECT_EQ(box(MessageClass::kData, 1), "Source_Capabilities");
    EXPECT_EQ(box(MessageClass::kData, 12), "Revision");
    EXPECT_EQ(box(MessageClass::kData, 13), "");
    EXPECT_EQ(box(MessageClass::kData, 15), "Vendor_Defined");
    EXPECT_EQ(box(MessageClass::kExtended, 18), "EPR_Sink_Capabilities");
    EXPECT_EQ(box(MessageClass::kExtended, 30), "Vendor_Defined_Extended");
    EXPECT_EQ(box(MessageClass::kExtended, 31), "");
    EXPECT_EQ(box(MessageClass::kExtended, 99), "");
    EXPECT_EQ(kCriterionBoxes[*MessageTypeCriterion(MessageClass::kData, 2)].controlId, 1051);
    EXPECT_EQ(kCriterionBoxes[*MessageTypeCriterion(MessageClass::kExtended, 12)].controlId, 1081);
}

TEST(FindCriteria, LabelsParse) {
    EXPECT_EQ(CriterionByLabel("SOP''"), kCritSopDoublePrime);
    EXPECT_EQ(CriterionByLabel("Hard Reset"), kCritHardReset);
    EXPECT_EQ(CriterionByLabel("Invalid Packet"), kCritInvalidPacket);
    EXPECT_EQ(CriterionByLabel("sop"), std::nullopt);
    EXPECT_EQ(CriterionByLabel(""), std::nullopt);
}

TEST(FindCriteria, FindDefaultsAndFilterStartValues) {
    const FindCriteria find = FindDefaults();
    EXPECT_EQ(find.mode, CriteriaMode::kFind);
    EXPECT_EQ(find.direction, FindDirection::kForward);
    for (Criterion on : {kCritCc1, kCritCc2, kCritSop, kCritSopPrime, kCritSopDoublePrime,
                         kCritSource, kCritSink, kCritDfp, kCritUfp, kCritNoErrors}) {
        EXPECT_TRUE(find.on[on]) << kCriterionBoxes[on].label;
    }
    EXPECT_EQ(CountOn(find), 10);
    EXPECT_FALSE(find.on[kCritHardReset]);
    EXPECT_FALSE(find.on[kCritInvalidPacket]);
    EXPECT_FALSE(find.textEnabled);
    EXPECT_FALSE(find.allowAll);

    const FindCriteria filter = FilterStartValues();
    EXPECT_EQ(filter.mode, CriteriaMode::kFilter);
    EXPECT_EQ(CountOn(filter), 72);
    EXPECT_EQ(ContainingText(filter), "");
}

TEST(FindCriteria, CheckAndClearButtonsKeepDirectionTextAndSwitches) {
    FindCriteria criteria = FindDefaults();
    criteria.direction = FindDirection::kBackward;
    criteria.textEnabled = true;
    criteria.text = "Accept";
    criteria.allowAll = true;
    SetAllMessageTypes(criteria, true);
    EXPECT_EQ(CountOn(criteria), 66);
    SetAllMessageTypes(criteria, false);
    EXPECT_EQ(CountOn(criteria), 10);
    SetAllCriteria(criteria, false);
    EXPECT_EQ(CountOn(criteria), 0);
    SetAllCriteria(criteria, true);
    EXPECT_EQ(CountOn(criteria), 72);
    EXPECT_EQ(criteria.direction, FindDirection::kBackward);
    EXPECT_TRUE(criteria.allowAll);
    EXPECT_EQ(ContainingText(criteria), "Accept");
    criteria.textEnabled = false;
    EXPECT_EQ(ContainingText(criteria), "");
}

TEST(CriteriaEnabling, BoxesFollowTheCounters) {
    FindCriteria criteria = FindDefaults();
    const CriteriaEnabling none = EnableCriteria(criteria, nullptr);
    for (bool enabled : none.box) {
        EXPECT_TRUE(enabled);
    }
    EXPECT_TRUE(none.textEdit);

    PacketStatistics stats;
    stats.cc2 = 3;
    stats.kind[kOsCableReset] = 1;
    stats.source = 2;
    stats.ufp = 2;
    stats.control[13] = 1;
    stats.extended[30] = 1;
    stats.uiOutOfRange = 1;
    CriteriaEnabling enabling = EnableCriteria(criteria, &stats);
    EXPECT_FALSE(enabling.textEdit);
    EXPECT_FALSE(enabling.box[kCritCc1]);
    EXPECT_TRUE(enabling.box[kCritCc2]);
    EXPECT_FALSE(enabling.box[kCritHardReset]);
    EXPECT_TRUE(enabling.box[kCritCableReset]);
    EXPECT_TRUE(enabling.box[kCritSource]);
    EXPECT_FALSE(enabling.box[kCritSink]);
    EXPECT_FALSE(enabling.box[kCritDfp]);
    EXPECT_TRUE(enabling.box[kCritUfp]);
    EXPECT_TRUE(enabling.box[*MessageTypeCriterion(MessageClass::kControl, 13)]);
    EXPECT_FALSE(enabling.box[*MessageTypeCriterion(MessageClass::kData, 13 - 12)]);
    EXPECT_TRUE(enabling.box[*MessageTypeCriterion(MessageClass::kExtended, 30)]);
    EXPECT_TRUE(enabling.box[kCritInvalidPacket]);
    EXPECT_FALSE(enabling.box[kCritCrcError]);
    EXPECT_TRUE(enabling.box[kCritNoErrors]);  // always

    criteria.textEnabled = true;
    criteria.allowAll = true;
    enabling = EnableCriteria(criteria, &stats);
    EXPECT_TRUE(enabling.textEdit);
    for (bool enabled : enabling.box) {
        EXPECT_TRUE(enabled);
    }
}
