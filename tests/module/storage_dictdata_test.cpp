// Text values in the specification dictionary: whole and chunked values, markers, deletes and
// purges.
#include "storage_test_host.h"

#include "frame/doclock.h"
#include "storage/dictdata.h"
#include "storage/rtfdataiterator.h"

#include <vector>

namespace {

// Bytes that differ from position to position, so a chunk joined at the wrong offset shows.
std::string Pattern(std::size_t length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('!' + (i * 7 + i / 32767) % 90);
    return text;
}

std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    // The walk makes the dictionary when it is missing.
    CDocLock lock;
    CKSRrtfDataIterator entries(acdbHostApplicationServices()->workingDatabase());
    std::string name;
    while (entries.Next())
        if (entries.Current(name) == Acad::eOk)
            keys.push_back(name);
    return keys;
}

bool IsErased(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk)
        return false;
    bool erased = object->isErased();
    object->close();
    return erased;
}

using DictDataTest = StorageTest;

} // namespace

TEST_F(DictDataTest, ValuesAroundTheChunkSizeComeBackByteForByte) {
    struct Case {
        std::size_t length;
        const char* stored;
        std::vector<std::size_t> chunks;
    };
    const Case cases[] = {{32767, nullptr, {}},
                          {32768, "BROKEN 2", {32767, 1}},
                          {65534, "BROKEN 2", {32767, 32767}},
                          {65535, "BROKEN 3", {32767, 32767, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string value = Pattern(c.length);
        ASSERT_TRUE(KSRxDictData::SetData("7", value));
        std::string raw;
        ASSERT_TRUE(KSRxDictData::GetEntry(db(), "7", raw));
        if (!c.stored) {
            EXPECT_EQ(raw.size(), c.length);
        } else {
            EXPECT_EQ(raw, c.stored);
            for (std::size_t i = 0; i < c.chunks.size(); ++i) {
                std::string piece;
                ASSERT_TRUE(
                    KSRxDictData::GetEntry(db(), ("7_" + std::to_string(i)).c_str(), piece));
                EXPECT_EQ(piece, value.substr(i * 32767, c.chunks[i]));
            }
        }
        std::string back;
        ASSERT_TRUE(KSRxDictData::GetData("7", back));
        EXPECT_TRUE(back == value);
    }
    EXPECT_EQ(Output(), "");
}

TEST_F(DictDataTest, ShortValuesThatLookLikeMarkersReadAsMarkers) {
    std::string back = "untouched";
    // A marker whose chunks are missing gives no text at all rather than a part of one.
    ASSERT_TRUE(KSRxDictData::SetData("1", "BROKEN 1 pipe"));
    EXPECT_FALSE(KSRxDictData::GetData("1", back));
    // A marker without a count, even one cut short before it, stands for nothing.
    for (const char* value : {"BROKEN", "BROKEN ", "BROKENx", "BROKEN -3"}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(KSRxDictData::SetData("2", value));
        back = "untouched";
        EXPECT_TRUE(KSRxDictData::GetData("2", back));
        EXPECT_EQ(back, "");
    }
    // A damaged count neither overflows nor has the delete walk keys that were never written.
    ASSERT_TRUE(KSRxDictData::SetData("2", "BROKEN 99999999999999"));
    EXPECT_FALSE(KSRxDictData::GetData("2", back));
    Output();
    EXPECT_TRUE(KSRxDictData::DeleteData("2"));
    EXPECT_EQ(Output(), "Failed Attempt to delete data for '2_0'");

    ASSERT_TRUE(KSRxDictData::SetData("3", "BROKE"));
    EXPECT_TRUE(KSRxDictData::GetData("3", back));
    EXPECT_EQ(back, "BROKE");
}

TEST_F(DictDataTest, DeletesAndPurgesLeaveNothingBehind) {
    ASSERT_TRUE(KSRxDictData::SetData("0", Pattern(40000)));
    ASSERT_TRUE(KSRxDictData::SetData("1", "one"));
    ASSERT_EQ(Keys(), (std::vector<std::string>{"0", "0_0", "0_1", "1"}));
    const AcDbObjectId ids[] = {EntryId("0"), EntryId("0_0"), EntryId("0_1"), EntryId("1")};
    Output();

    KSRxDictData::PurgeAll();
    EXPECT_TRUE(Keys().empty());
    EXPECT_EQ(Output(), "");
    // The removed objects are erased, not left in the drawing without an owner.
    for (AcDbObjectId id : ids)
        EXPECT_TRUE(IsErased(id));
    std::string value;
    EXPECT_FALSE(KSRxDictData::GetData("1", value));
}

TEST_F(DictDataTest, DeletingAChunkedValueTakesItsChunksAndAbsentKeysAreReported) {
    ASSERT_TRUE(KSRxDictData::SetData("4", Pattern(32768)));
    ASSERT_TRUE(KSRxDictData::SetData("5", "kept"));
    EXPECT_TRUE(KSRxDictData::DeleteData("4"));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"5"}));
    EXPECT_EQ(Output(), "");

    EXPECT_FALSE(KSRxDictData::DeleteData("4"));
    EXPECT_EQ(Output(), "");
    EXPECT_FALSE(KSRxDictData::DeleteEntry(db(), "4"));
    EXPECT_EQ(Output(), "Failed Attempt to delete data for '4'");
}

TEST_F(DictDataTest, RewritingAChunkedValueLeavesOnlyTheChunksOfTheNewValue) {
    // A short value in place of a chunked one: the key alone remains.
    ASSERT_TRUE(KSRxDictData::SetData("7", Pattern(70000)));
    ASSERT_EQ(Keys(), (std::vector<std::string>{"7", "7_0", "7_1", "7_2"}));
    const AcDbObjectId dropped[] = {EntryId("7_0"), EntryId("7_1"), EntryId("7_2")};
    ASSERT_TRUE(KSRxDictData::SetData("7", "short"));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"7"}));
    for (AcDbObjectId id : dropped)
        EXPECT_TRUE(IsErased(id));
    std::string back;
    ASSERT_TRUE(KSRxDictData::GetData("7", back));
    EXPECT_EQ(back, "short");
    EXPECT_TRUE(KSRxDictData::DeleteData("7"));
    EXPECT_TRUE(Keys().empty());

    // A smaller chunked value keeps its own chunks and none of the old ones; the kept chunks
    // hold the new bytes, which differ from the old ones everywhere.
    ASSERT_TRUE(KSRxDictData::SetData("8", Pattern(100000)));
    ASSERT_EQ(Keys().size(), 5u);
    std::string smaller = Pattern(40000);
    for (char& c : smaller)
        ++c;
    ASSERT_TRUE(KSRxDictData::SetData("8", smaller));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"8", "8_0", "8_1"}));
    std::string raw;
    ASSERT_TRUE(KSRxDictData::GetEntry(db(), "8", raw));
    EXPECT_EQ(raw, "BROKEN 2");
    ASSERT_TRUE(KSRxDictData::GetData("8", back));
    EXPECT_TRUE(back == smaller) << "read back " << back.size() << " bytes";
    // A larger one again takes new chunks past the old count.
    ASSERT_TRUE(KSRxDictData::SetData("8", Pattern(70000)));
    ASSERT_TRUE(KSRxDictData::GetData("8", back));
    EXPECT_TRUE(back == Pattern(70000));
    EXPECT_TRUE(KSRxDictData::DeleteData("8"));
    EXPECT_TRUE(Keys().empty());
    EXPECT_EQ(Output(), "");
}

TEST_F(DictDataTest, RewritingAMarkerWhoseChunksAreMissingIsQuiet) {
    // A stored text that reads as a marker, with no chunks behind it or a damaged count: the
    // new value is stored without a report of chunks it could not remove.
    for (const char* marker : {"BROKEN 2", "BROKEN 99999999999999"}) {
        SCOPED_TRACE(marker);
        ASSERT_TRUE(KSRxDictData::SetData("3", marker));
        ASSERT_TRUE(KSRxDictData::SetData("3", "plain"));
        std::string back;
        ASSERT_TRUE(KSRxDictData::GetData("3", back));
        EXPECT_EQ(back, "plain");
        EXPECT_EQ(Keys(), (std::vector<std::string>{"3"}));
        EXPECT_EQ(Output(), "");
    }
    // Chunks under the key of a marker written by hand are the marker's: the ones a new value
    // does not use go.
    ASSERT_TRUE(KSRxDictData::SetData("3", "BROKEN 3"));
    ASSERT_TRUE(KSRxDictData::SetData("3_0", "a"));
    ASSERT_TRUE(KSRxDictData::SetData("3_1", "b"));
    ASSERT_TRUE(KSRxDictData::SetData("3", Pattern(32768)));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"3", "3_0", "3_1"}));
    ASSERT_TRUE(KSRxDictData::SetData("3", "plain"));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"3"}));
    EXPECT_EQ(Output(), "");
}

TEST_F(DictDataTest, WithoutAWorkingDatabaseNothingHappens) {
    AcDbDatabase* working = db();
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    std::string value = "untouched";
    EXPECT_FALSE(KSRxDictData::SetData("0", "x"));
    EXPECT_FALSE(KSRxDictData::GetData("0", value));
    EXPECT_FALSE(KSRxDictData::DeleteData("0"));
    KSRxDictData::PurgeAll();
    acdbHostApplicationServices()->setWorkingDatabase(working);
    EXPECT_EQ(value, "untouched");
    EXPECT_TRUE(Keys().empty());
    EXPECT_EQ(Output(), "");
}

TEST_F(DictDataTest, IteratorOverNoDictionaryOrAnEmptyOneHasNoEntries) {
    CKSRrtfDataIterator none(nullptr);
    EXPECT_FALSE(none.Next());
    std::string name = "untouched";
    EXPECT_NE(none.Current(name), Acad::eOk);
    EXPECT_EQ(name, "untouched");

    CDocLock lock;
    CKSRrtfDataIterator empty(db());
    EXPECT_FALSE(empty.Next());
    EXPECT_FALSE(empty.Next());
}
