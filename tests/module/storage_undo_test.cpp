// Undoing a placement run: the texts it made and the records it stored go, and the records of
// the run before (long ones in chunks included) come back as they were.
#include "storage_test_host.h"

#include "frame/doclock.h"
#include "placement/mtextplacement.h"
#include "storage/dictdata.h"
#include "storage/specrecord.h"

#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "db/undolog.h"

#include <map>
#include <string>
#include <vector>

namespace {

class StorageUndoTest : public StorageTest {
protected:
    // The contents of the current space's texts, in order.
    static std::vector<std::string> ModelSpaceTexts() {
        std::vector<std::string> texts;
        for (const PlacedText& text : Texts())
            texts.push_back(text.contents);
        return texts;
    }
};

// One run as the layout does it: purge, then per item its texts and its record.
void PlaceRun(const std::vector<std::string>& sources) {
    KSRxDictData::PurgeAll();
    for (int i = 0; i < static_cast<int>(sources.size()); ++i) {
        CSpecRecord record(i, "item" + std::to_string(i), sources[static_cast<std::size_t>(i)]);
        const AcGePoint3d box[2] = {AcGePoint3d(0, 10, 0), AcGePoint3d(5, 0, 0)};
        AcDbMText* text =
            CreateMText(AcGePoint3d(0, 10.0 - i, 0), 5, sources[i].substr(0, 20).c_str(), 0.2, box);
        ASSERT_NE(text, nullptr);
        AcDbObjectId id = text->objectId();
        text->close();
        record.AddHandle(id);
        ASSERT_TRUE(record.Save());
    }
}

TEST_F(StorageUndoTest, UndoingARunBringsBackTheDrawingAndTheRecordsOfTheRunBefore) {
    CDocLock lock;
    cadhost::db::UndoLog& log = cadhost::db::UndoLogOf(*db());
    log.beginGroup("SHEETSPEC");
    PlaceRun({"{\\rtf1 first}", std::string(40000, 'x')});
    log.endGroup();
    const auto entriesBefore = SpecEntries();
    const auto textsBefore = ModelSpaceTexts();
    ASSERT_EQ(entriesBefore.size(), 4u) << "0, 1 as a marker and its chunks 1_0 and 1_1";
    std::string longBefore;
    ASSERT_TRUE(KSRxDictData::GetData("1", longBefore));

    log.beginGroup("REFORMFROMDICT");
    PlaceRun({"{\\rtf1 second}", "{\\rtf1 third}", "{\\rtf1 fourth}"});
    log.endGroup();
    ASSERT_NE(SpecEntries(), entriesBefore);

    std::string name;
    ASSERT_EQ(log.undoLast(name), Acad::eOk);
    EXPECT_EQ(name, "REFORMFROMDICT");
    EXPECT_EQ(SpecEntries(), entriesBefore);
    EXPECT_EQ(ModelSpaceTexts(), textsBefore);
    std::string value;
    ASSERT_TRUE(KSRxDictData::GetData("1", value));
    EXPECT_TRUE(value == longBefore) << value.substr(0, 20);

    ASSERT_EQ(log.undoLast(name), Acad::eOk);
    EXPECT_TRUE(SpecEntries().empty());
    EXPECT_TRUE(ModelSpaceTexts().empty());
}

TEST_F(StorageUndoTest, UndoingAShorterRewriteBringsBackTheChunksItRemoved) {
    CDocLock lock;
    cadhost::db::UndoLog& log = cadhost::db::UndoLogOf(*db());
    std::string longValue(70000, 'x');
    longValue.replace(40000, 5, "mark!");
    log.beginGroup("SHEETSPEC");
    ASSERT_TRUE(KSRxDictData::SetData("0", longValue));
    log.endGroup();
    const auto entriesBefore = SpecEntries();
    ASSERT_EQ(entriesBefore.size(), 4u);

    log.beginGroup("EDIT");
    ASSERT_TRUE(KSRxDictData::SetData("0", "{\\rtf1 short}"));
    log.endGroup();
    ASSERT_EQ(SpecEntries().size(), 1u);

    std::string name;
    ASSERT_EQ(log.undoLast(name), Acad::eOk);
    EXPECT_EQ(SpecEntries(), entriesBefore);
    std::string value;
    ASSERT_TRUE(KSRxDictData::GetData("0", value));
    EXPECT_TRUE(value == longValue) << value.size() << " bytes";
}

} // namespace
