#include "data/DataStore.h"

#include <gtest/gtest.h>

TEST(DataStore, CreatesAnEmptyRecordOnlyIntoAnEmptySlot) {
    CDataStore store;
    EXPECT_EQ(store.blockCount, 1);
    ControllerDataSlot slot;
    ASSERT_TRUE(store.CreateControllerData(slot));
    ASSERT_TRUE(slot);
    ASSERT_EQ(slot->points.size(), std::size_t(kPointCount));
    for (const PointRecord& point : slot->points)
        EXPECT_EQ(point, PointRecord{});
    ASSERT_EQ(slot->robotParams.size(), 1u);
    for (int32_t value : slot->params().values)
        EXPECT_EQ(value, 0);
    EXPECT_TRUE(slot->controllerName.isEmpty());

    slot->controllerName = QStringLiteral("KQ-A");
    ControllerData* first = slot.get();
    EXPECT_FALSE(store.CreateControllerData(slot));
    EXPECT_EQ(slot.get(), first);
    EXPECT_EQ(slot->controllerName, QStringLiteral("KQ-A"));

    EXPECT_TRUE(store.FreeControllerData(slot));
    EXPECT_FALSE(slot);
    EXPECT_FALSE(store.FreeControllerData(slot));
}

TEST(DataStore, CopyKeepsTheDestinationsUserNameAndReservedWord) {
    CDataStore store;
    ControllerDataSlot source, destination;
    ASSERT_TRUE(store.CreateControllerData(source));
    ASSERT_TRUE(store.CreateControllerData(destination));
    source->controllerName = QStringLiteral("KQ-B2");
    source->userName = QStringLiteral("from source");
    source->robotName = QStringLiteral("R1");
    source->interfaceInfo = QStringLiteral("NPN");
    source->version = QStringLiteral("1.00");
    source->dbVersion = QStringLiteral("2.0");
    source->modelCode = QStringLiteral("B2");
    source->ipAddress = QStringLiteral("c0a80001");
    source->subnetMask = QStringLiteral("ffffff00");
    source->gateway = QStringLiteral("c0a800fe");
    source->points[254] = PointRecord{255, 2, -5, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    source->params().robotName = QStringLiteral("block robot");
    source->params().reserved = 99;
    source->params().K(38) = 4;
    source->params().H(7) = -1;
    destination->userName = QStringLiteral("mine");
    destination->params().reserved = 7;

    EXPECT_TRUE(CopyControllerData(*destination, *source));
    EXPECT_EQ(destination->userName, QStringLiteral("mine"));
    EXPECT_EQ(destination->params().reserved, 7);
    EXPECT_EQ(destination->controllerName, source->controllerName);
    EXPECT_EQ(destination->robotName, source->robotName);
    EXPECT_EQ(destination->interfaceInfo, source->interfaceInfo);
    EXPECT_EQ(destination->version, source->version);
    EXPECT_EQ(destination->dbVersion, source->dbVersion);
    EXPECT_EQ(destination->modelCode, source->modelCode);
    EXPECT_EQ(destination->ipAddress, source->ipAddress);
    EXPECT_EQ(destination->subnetMask, source->subnetMask);
    EXPECT_EQ(destination->gateway, source->gateway);
    EXPECT_EQ(destination->points, source->points);
    EXPECT_EQ(destination->params().robotName, QStringLiteral("block robot"));
    EXPECT_EQ(destination->params().values, source->params().values);
    EXPECT_TRUE(destination->isPulseTrainModel());
}

TEST(DataStore, PointFieldsFollowTheTagOrder) {
    PointRecord point{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (int index = 0; index < kPointFieldCount; ++index)
        EXPECT_EQ(point.field(index), index + 1);
    point.field(13) = -9;
    EXPECT_EQ(point.timer, -9);
    EXPECT_STREQ(kPointFieldTags[1], "M");
    EXPECT_STREQ(kPointFieldTags[4], "AC");
    EXPECT_STREQ(kPointFieldTags[13], "T");
}
