#include "pd/message_header.h"

#include <gtest/gtest.h>

#include "pd/hand_packets.h"

namespace {

PacketPtr WithHeader(int32_t kind, uint16_t header) {
    return hand::Raw(kind, {static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8)});
}

TEST(MessageHeaderFields, ReadsEveryFieldOfTheLittleEndianHeader) {
    // type 0x11, DFP, revision 3.0, Source, MessageID 5, 3 objects, no extended bit.
    const auto p = WithHeader(kOsSop, 0x3BB1);
    EXPECT_EQ(MessageHeader(*p), 0x3BB1);
    EXPECT_EQ(MessageTypeBits(*p), 0x11);
    EXPECT_TRUE(PortDataRoleIsDfp(*p));
    EXPECT_EQ(SpecRevision(*p), 2);
    EXPECT_TRUE(PortPowerRoleIsSource(*p));
    EXPECT_TRUE(CablePlugBit(*p));
    EXPECT_EQ(MessageId(*p), 5);
    EXPECT_EQ(DataObjectCount(*p), 3);
    EXPECT_FALSE(ExtendedBit(*p));
}

TEST(MessageHeaderFields, ReadsTheExtendedHeader) {
    // Chunked, chunk 3, request chunk, Data Size 0x123.
    const auto p = hand::Raw(kOsSop, {0x91, 0x90, 0x23, 0x9D});
    EXPECT_EQ(ExtendedHeader(*p), 0x9D23);
    EXPECT_EQ(ExtDataSize(*p), 0x123);
    EXPECT_TRUE(ExtRequestChunk(*p));
    EXPECT_EQ(ExtChunkNumber(*p), 3);
    EXPECT_TRUE(ExtChunked(*p));
}

TEST(MessageHeaderFields, ZeroedBytesOfAnUnassembledPacketReadAsZero) {
    CCCPacket p;
    p.orderedSetKind = kOsSop;
    EXPECT_EQ(MessageHeader(p), 0);
    EXPECT_EQ(ExtendedHeader(p), 0);
    EXPECT_TRUE(IsControl(p));
    EXPECT_EQ(MessageName(p), "Unknown(0)");
}

TEST(MessageClass, Pd20HeaderWithBit15IsNotExtendedAndUsesFourBitTypes) {
    // Control message, bits 0-4 = 0x13, bit 15 set.
    const auto pd20 = WithHeader(kOsSop, 0x8053);
    EXPECT_FALSE(IsExtended(*pd20));
    EXPECT_TRUE(IsControl(*pd20));
    EXPECT_EQ(MessageType(*pd20), 3);
    EXPECT_EQ(MessageName(*pd20), "Accept");

    const auto pd30 = WithHeader(kOsSop, 0x0093);
    EXPECT_EQ(MessageType(*pd30), 0x13);
    EXPECT_EQ(MessageName(*pd30), "FR_Swap");

    const auto pd30Extended = WithHeader(kOsSop, 0x8093);
    EXPECT_TRUE(IsExtended(*pd30Extended));
    EXPECT_FALSE(IsControl(*pd30Extended));
    EXPECT_FALSE(IsData(*pd30Extended));
}

TEST(MessageClass, Pd10HeaderAlsoUsesFourBitTypes) {
    const auto p = WithHeader(kOsSop, 0x801A);  // revision field 0, bits 0-4 = 0x1A
    EXPECT_FALSE(IsExtended(*p));
    EXPECT_EQ(MessageType(*p), 10);
    EXPECT_EQ(MessageName(*p), "PR_Swap");
}

TEST(MessageClass, ReservedRevisionDecodesLikeRevision30) {
    const auto p = WithHeader(kOsSop, 0x80D1);  // revision field 3, type 0x11, extended
    EXPECT_TRUE(IsExtended(*p));
    EXPECT_EQ(MessageType(*p), 0x11);
    EXPECT_EQ(MessageName(*p), "EPR_Source_Capabilities");
    EXPECT_EQ(RevisionText(*p), "Rsv(3)");
}

TEST(MessageClass, EverySopKindCarriesAMessageAndTheOthersNone) {
    for (int32_t kind :
         {kOsSop, kOsSopPrime, kOsSopDoublePrime, kOsSopPrimeDebug, kOsSopDoublePrimeDebug}) {
        const auto control = WithHeader(kind, 0x0041);
        const auto data = WithHeader(kind, 0x1041);
        EXPECT_TRUE(IsControl(*control)) << kind;
        EXPECT_TRUE(IsData(*data)) << kind;
    }
    for (int32_t kind : std::initializer_list<int32_t>{kOsHardReset, kOsCableReset, kOsNotDecoded,
                                                       kOsUnrecognised, 0, 8}) {
        const auto p = WithHeader(kind, 0x9081);
        EXPECT_FALSE(IsControl(*p)) << kind;
        EXPECT_FALSE(IsData(*p)) << kind;
        EXPECT_FALSE(IsExtended(*p)) << kind;
    }
}

TEST(MessageName, OrderedSetsWithoutMessage) {
    EXPECT_EQ(MessageName(*WithHeader(kOsHardReset, 0)), "Hard Reset");
    EXPECT_EQ(MessageName(*WithHeader(kOsCableReset, 0)), "Cable Reset");
    EXPECT_EQ(MessageName(*WithHeader(kOsNotDecoded, 0x0041)), "(Unknown OS)");
    EXPECT_EQ(MessageName(*WithHeader(kOsUnrecognised, 0x0041)), "(Unknown OS)");
    EXPECT_EQ(MessageName(*WithHeader(0, 0x0041)), "(Unknown OS)");
}

TEST(MessageName, ChoosesTheTableByMessageClass) {
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x0081)), "GoodCRC");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x1081)), "Source_Capabilities");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x8081)), "Source_Capabilities_Extended");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x0098)), "Get_Revision");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x108F)), "Vendor_Defined");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x809E)), "Vendor_Defined_Extended");
    EXPECT_EQ(MessageName(*WithHeader(kOsSopPrimeDebug, 0x008D)), "Soft_Reset");
}

TEST(MessageName, TypesWithoutEntryAreUnknown) {
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x0080)), "Unknown(0)");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x0099)), "Unknown(25)");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x108D)), "Unknown(13)");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x1090)), "Unknown(16)");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x8093)), "Unknown(19)");
    EXPECT_EQ(MessageName(*WithHeader(kOsSop, 0x809F)), "Unknown(31)");
}

TEST(MessageName, TablesByType) {
    EXPECT_EQ(ControlMessageName(kCtrlPsRdy), "PS_RDY");
    EXPECT_EQ(ControlMessageName(kCtrlGetSinkCapExtended), "Get_Sink_Cap_Extended");
    EXPECT_EQ(DataMessageName(kDataEprRequest), "EPR_Request");
    EXPECT_EQ(ExtendedMessageName(kExtExtendedControl), "Extended_Control");
    EXPECT_TRUE(ControlMessageName(-1).empty());
    EXPECT_TRUE(DataMessageName(32).empty());
    EXPECT_TRUE(ExtendedMessageName(1000).empty());
}

TEST(RevisionText, ShowsTheRevisionOfMessagesOnly) {
    EXPECT_EQ(RevisionText(*WithHeader(kOsSop, 0x0001)), "1.0");
    EXPECT_EQ(RevisionText(*WithHeader(kOsSopPrime, 0x0041)), "2.0");
    EXPECT_EQ(RevisionText(*WithHeader(kOsSopDoublePrimeDebug, 0x0081)), "3.0");
    EXPECT_EQ(RevisionText(*WithHeader(kOsSop, 0x00C1)), "Rsv(3)");
    EXPECT_EQ(RevisionText(*WithHeader(kOsHardReset, 0x0081)), "");
    EXPECT_EQ(RevisionText(*WithHeader(kOsNotDecoded, 0x0081)), "");
}

TEST(RoleTexts, PowerAndDataRoleForSopOnly) {
    const auto sourceDfp = WithHeader(kOsSop, 0x01A1);
    const auto sinkUfp = WithHeader(kOsSop, 0x0081);
    EXPECT_EQ(PowerRoleText(*sourceDfp), "Source");
    EXPECT_EQ(DataRoleText(*sourceDfp), "DFP");
    EXPECT_EQ(PowerRoleText(*sinkUfp), "Sink");
    EXPECT_EQ(DataRoleText(*sinkUfp), "UFP");
    EXPECT_EQ(CablePlugText(*sourceDfp), "");
    EXPECT_EQ(PowerRoleText(*WithHeader(kOsSopPrime, 0x01A1)), "");
    EXPECT_EQ(DataRoleText(*WithHeader(kOsSopPrimeDebug, 0x01A1)), "");
}

TEST(RoleTexts, CablePlugForSopPrimeAndDoublePrimeOnly) {
    EXPECT_EQ(CablePlugText(*WithHeader(kOsSopPrime, 0x0181)), "Cable Plug");
    EXPECT_EQ(CablePlugText(*WithHeader(kOsSopDoublePrime, 0x0081)), "UFP or DFP");
    EXPECT_EQ(CablePlugText(*WithHeader(kOsSopPrimeDebug, 0x0181)), "");
    EXPECT_EQ(CablePlugText(*WithHeader(kOsHardReset, 0x0181)), "");
}

TEST(IsReset, HardAndCableResetAndSoftResetOnSopSopPrimeSopDoublePrime) {
    EXPECT_TRUE(IsReset(*WithHeader(kOsHardReset, 0)));
    EXPECT_TRUE(IsReset(*WithHeader(kOsCableReset, 0)));
    for (int32_t kind : {kOsSop, kOsSopPrime, kOsSopDoublePrime}) {
        EXPECT_TRUE(IsReset(*WithHeader(kind, 0x008D))) << kind;
    }
}

TEST(IsReset, NotForDebugSetsDataMessagesOrOtherControlMessages) {
    EXPECT_FALSE(IsReset(*WithHeader(kOsSopPrimeDebug, 0x008D)));
    EXPECT_FALSE(IsReset(*WithHeader(kOsSopDoublePrimeDebug, 0x008D)));
    EXPECT_FALSE(IsReset(*WithHeader(kOsSop, 0x108D)));  // data type 13
    EXPECT_FALSE(IsReset(*WithHeader(kOsSop, 0x808D)));  // extended type 13
    EXPECT_FALSE(IsReset(*WithHeader(kOsSop, 0x0083)));  // Accept
    EXPECT_FALSE(IsReset(*WithHeader(kOsNotDecoded, 0x008D)));
    EXPECT_FALSE(IsReset(*WithHeader(kOsUnrecognised, 0x008D)));
}

TEST(IsReset, Pd20SoftResetWithStrayBit4) {
    // Revision 2.0 ignores bit 4, so 0x1D reads as type 13.
    EXPECT_TRUE(IsReset(*WithHeader(kOsSop, 0x005D)));
}

TEST(DataObjects, ReadsLittleEndianObjectsWithinTheCount) {
    const auto p = hand::Data(kDataSourceCapabilities, true, true, {0x0801912C, 0x0002D0C8});
    EXPECT_EQ(DataObjectCount(*p), 2);
    EXPECT_EQ(DataObject(*p, 0), 0x0801912Cu);
    EXPECT_EQ(DataObject(*p, 1), 0x0002D0C8u);
    EXPECT_TRUE(HasDataObject(*p, 1));
    EXPECT_FALSE(HasDataObject(*p, 2));
    EXPECT_EQ(DataObject(*p, 2), 0u);
    EXPECT_EQ(DataObject(*p, -1), 0u);
    EXPECT_EQ(DataObject(*p, 1000000), 0u);
}

TEST(DataObjects, ObjectsBeyondTheAssembledBytesReadAsAbsent) {
    // The header announces seven objects but only one and a half were assembled; the CRC bytes
    // behind the last byte must not be read as data.
    auto p = hand::Data(
        kDataSourceCapabilities, true, true,
        {0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555, 0x66666666, 0x77777777});
    p->messageByteCount = 8;
    EXPECT_EQ(DataObjectCount(*p), 7);
    EXPECT_TRUE(HasDataObject(*p, 0));
    EXPECT_EQ(DataObject(*p, 0), 0x11111111u);
    EXPECT_FALSE(HasDataObject(*p, 1));
    EXPECT_EQ(DataObject(*p, 1), 0u);
    p->messageByteCount = -5;
    EXPECT_FALSE(HasDataObject(*p, 0));
}

}  // namespace
