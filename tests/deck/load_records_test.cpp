// Load and point-mass records streamed and read back, and the object type table answering their loads.
#include "deck/load_records.h"

#include <gtest/gtest.h>

#include "deck/object_type_table.h"
#include "foundation/jx_stream.h"
#include "foundation/signed_memory.h"

namespace {

CoordSystemSafe SomeFrame() {
    CoordSystemSafe frame;
    frame.SetOrigin({1.0, 2.0, 3.0});
    frame.SetType(1);
    frame.SetId(9);
    return frame;
}

}  // namespace

TEST(LoadRecords, PlainLoadRoundTripAndKindNormalisation) {
    CLoad load(551);
    load.firstNumber = 4;
    load.kind = 7;  // outside 0 to 3: streamed as 0
    load.flag = 1;
    load.frame = SomeFrame();
    JXMemoryChannel channel;
    JXStream out(channel);
    EXPECT_EQ(load.Save(out), kLoadRecordDone);
    channel.Rewind();
    JXStream in(channel);
    CLoad back(0);
    EXPECT_EQ(back.Load(in), kLoadRecordDone);
    EXPECT_EQ(back.GetObjectType(), 551);
    EXPECT_EQ(back.firstNumber, 4);
    EXPECT_EQ(back.kind, 0);
    EXPECT_EQ(back.flag, 1);
    EXPECT_EQ(back.frame, SomeFrame());
}

TEST(LoadRecords, OtherVersionReadsNothing) {
    JXMemoryChannel channel;
    JXStream out(channel);
    out.WriteInt32(2);
    out.WriteInt32(99);
    channel.Rewind();
    JXStream in(channel);
    CLoad load(500);
    EXPECT_EQ(load.Load(in), kLoadRecordDone);
    EXPECT_EQ(load.GetObjectType(), 500);
    EXPECT_EQ(load.firstNumber, 0);
}

TEST(LoadRecords, TruncatedStreamLeavesTheLoadUnchanged) {
    CPointMass mass(568);
    mass.mass = 12.5;
    JXMemoryChannel channel;
    JXStream out(channel);
    ASSERT_EQ(mass.Save(out), kLoadRecordDone);
    std::vector<std::uint8_t> bytes = channel.Bytes();
    bytes.resize(bytes.size() - 5);
    JXMemoryChannel shortChannel(bytes);
    JXStream in(shortChannel);
    CPointMass back(1);
    back.mass = 3.0;
    EXPECT_EQ(back.Load(in), kLoadRecordReadFailed);
    EXPECT_EQ(back.mass, 3.0);
    EXPECT_EQ(back.GetObjectType(), 1);
}

TEST(LoadRecords, PointMassRoundTripAndCopy) {
    CPointMass mass(568);
    mass.mass = 12.5;
    mass.point[0] = 1;
    mass.point[1] = 2;
    mass.point[2] = 3;
    mass.integer = 42;
    mass.inertia[2] = 0.25;
    mass.kind = 2;
    mass.frame = SomeFrame();
    JXMemoryChannel channel;
    JXStream out(channel);
    EXPECT_EQ(mass.Save(out), kLoadRecordDone);
    channel.Rewind();
    JXStream in(channel);
    CPointMass back(0);
    EXPECT_EQ(back.Load(in), kLoadRecordDone);
    EXPECT_EQ(back.mass, 12.5);
    EXPECT_EQ(back.point[2], 3.0);
    EXPECT_EQ(back.integer, 42);
    EXPECT_EQ(back.inertia[2], 0.25);
    EXPECT_EQ(back.kind, 2);
    EXPECT_EQ(back.GetObjectType(), 568);
    CPointMass copy(0);
    copy.CopyFrom(mass);
    EXPECT_EQ(copy.frame, SomeFrame());
    EXPECT_EQ(copy.integer, 42);
    EXPECT_EQ(CPointMass(5).integer, 0);
}

TEST(ObjectTypeTable, RecordsAnswerTheirLoads) {
    HostObjectTable host;
    HostObjectRecord plain;
    plain.id = 3;
    plain.hostType = 4;
    plain.load.loadClass = HostLoadRecord::Class::kPlain;
    plain.load.objectType = 500;
    HostObjectRecord mass;
    mass.id = 1;
    mass.hostType = 45;
    mass.load.loadClass = HostLoadRecord::Class::kPointMass;
    mass.load.objectType = 568;
    mass.load.mass = 7.0;
    HostObjectRecord temperature;
    temperature.id = 2;
    temperature.hostType = 4;
    temperature.load.loadClass = HostLoadRecord::Class::kTemperature;
    temperature.load.objectType = 551;
    temperature.load.temperature = 80.0;
    temperature.load.temperatureFlag = 1;
    HostObjectRecord bare;
    bare.id = 5;
    host.records = {plain, mass, temperature, bare};
    const ObjectTypeTable table(host);

    ASSERT_NE(table.FindById(1), nullptr);
    EXPECT_EQ(table.FindById(4), nullptr);
    CPointMass out(0);
    table.FindById(3)->GetPointMass(out);
    EXPECT_EQ(out.mass, 0.0);  // a plain load leaves it as constructed
    table.FindById(1)->GetPointMass(out);
    EXPECT_EQ(out.mass, 7.0);
    EXPECT_EQ(out.GetObjectType(), 568);
    double t = -1;
    std::uint8_t flag = 0;
    table.FindById(3)->GetTemperature(t, flag);
    EXPECT_EQ(t, -1);
    table.FindById(2)->GetTemperature(t, flag);
    EXPECT_EQ(t, 80.0);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(table.FindById(2)->GetLoadObjectType(), 551);
    EXPECT_EQ(table.FindById(5)->GetLoadObjectType(), 0);

    std::vector<int> ids;
    std::vector<const ObjectTypeRecord*> objects;
    EXPECT_EQ(FindEntriesById(table, 4, ids, objects), S_OK);
    EXPECT_EQ(ids, (std::vector<int>{2, 3}));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[1]->GetId(), 3);
    EXPECT_EQ(FindEntriesById(table, 77, ids, objects), E_FAIL);
    EXPECT_TRUE(ids.empty());
}

TEST(ObjectTypeTable, ResolveUnknownObjectFails) {
    const ObjectTypeTable table;
    int* nodes = reinterpret_cast<int*>(1);
    int count = 5;
    EXPECT_EQ(ResolveReferencedObject(table, 3, nullptr, nodes, count), E_FAIL);
    EXPECT_EQ(nodes, nullptr);
    EXPECT_EQ(count, 0);
}
