// Extended data: registration, replacement and removal per application, the checks and the
// size limit, transformation.
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "db/xdatastore.h"
#include "db_test_support.h"

#include <numbers>

#include <string>
#include <vector>

namespace {

// A chain as (code, text) pairs for comparison: strings as they are, numbers printed.
std::vector<std::pair<int, std::string>> Flatten(const resbuf* chain) {
    std::vector<std::pair<int, std::string>> out;
    for (const resbuf* rb = chain; rb; rb = rb->rbnext) {
        std::string value;
        if (acutRbTypeIsString(rb->restype))
            value = rb->resval.rstring;
        else if (acutRbTypeIsPoint(rb->restype))
            value = std::to_string(rb->resval.rpoint[0]) + "," +
                    std::to_string(rb->resval.rpoint[1]) + "," +
                    std::to_string(rb->resval.rpoint[2]);
        else if (rb->restype == 1070)
            value = std::to_string(rb->resval.rint);
        else if (rb->restype == 1071)
            value = std::to_string(rb->resval.rlong);
        else
            value = std::to_string(rb->resval.rreal);
        out.emplace_back(rb->restype, value);
    }
    return out;
}

class ExtendedData : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ASSERT_EQ(acdbRegApp("KSRRivlet"), RTNORM);
        ASSERT_EQ(acdbRegApp("OTHER"), RTNORM);
        m_text = new AcDbMText;
        appendToModelSpace(m_text);
        ASSERT_EQ(acdbOpenObject(m_text, m_text->objectId(), AcDb::kForWrite), Acad::eOk);
    }
    void TearDown() override {
        m_text->close();
        DrawingTest::TearDown();
    }
    Acad::ErrorStatus set(resbuf* chain) {
        Acad::ErrorStatus es = m_text->setXData(chain);
        acutRelRb(chain);
        return es;
    }
    std::vector<std::pair<int, std::string>> get(const char* app) {
        resbuf* chain = m_text->xData(app);
        auto out = Flatten(chain);
        acutRelRb(chain);
        return out;
    }

    AcDbMText* m_text = nullptr;
};

const double kCornerA[3] = {1, 2, 0};
const double kCornerB[3] = {30, -40, 0};

TEST_F(ExtendedData, StoresTheBoxCornersAsGivenAndReturnsACopy) {
    ASSERT_EQ(
        set(acutBuildList(1001, "KSRRivlet", 1070, 1, 1010, kCornerA, 1070, 2, 1010, kCornerB, 0)),
        Acad::eOk);
    auto expected =
        std::vector<std::pair<int, std::string>>{{1001, "KSRRivlet"},
                                                 {1070, "1"},
                                                 {1010, "1.000000,2.000000,0.000000"},
                                                 {1070, "2"},
                                                 {1010, "30.000000,-40.000000,0.000000"}};
    EXPECT_EQ(get("KSRRivlet"), expected);
    EXPECT_EQ(get("ksrrivlet"), expected) << "application names ignore letter case";
    EXPECT_EQ(get(nullptr), expected);
    EXPECT_TRUE(get("OTHER").empty());
}

TEST_F(ExtendedData, ApplicationsMustBeRegistered) {
    EXPECT_EQ(set(acutBuildList(1001, "NOBODY", 1070, 1, 0)), Acad::eRegappIdNotFound);
    // A good part before a bad one is not kept either: the call changes nothing.
    EXPECT_EQ(set(acutBuildList(1001, "KSRRivlet", 1070, 1, 1001, "NOBODY", 1070, 2, 0)),
              Acad::eRegappIdNotFound);
    EXPECT_TRUE(get(nullptr).empty());
}

TEST_F(ExtendedData, AnApplicationNamedTwiceInOneChainKeepsItsLastPart) {
    ASSERT_EQ(set(acutBuildList(1001, "KSRRivlet", 1070, 1, 1001, "OTHER", 1000, "keep", 1001,
                                "KSRRIVLET", 1070, 2, 0)),
              Acad::eOk);
    EXPECT_EQ(get(nullptr),
              (std::vector<std::pair<int, std::string>>{
                  {1001, "KSRRivlet"}, {1070, "2"}, {1001, "OTHER"}, {1000, "keep"}}));
}

TEST_F(ExtendedData, EachApplicationsPartIsReplacedOrRemovedAlone) {
    ASSERT_EQ(set(acutBuildList(1001, "KSRRivlet", 1070, 1, 1001, "OTHER", 1000, "keep", 0)),
              Acad::eOk);
    ASSERT_EQ(set(acutBuildList(1001, "KSRRIVLET", 1070, 7, 0)), Acad::eOk);
    EXPECT_EQ(get("KSRRivlet"),
              (std::vector<std::pair<int, std::string>>{{1001, "KSRRivlet"}, {1070, "7"}}));
    EXPECT_EQ(get("OTHER"),
              (std::vector<std::pair<int, std::string>>{{1001, "OTHER"}, {1000, "keep"}}));
    // Replacing keeps the applications' order.
    EXPECT_EQ(get(nullptr).front().second, "KSRRivlet");

    ASSERT_EQ(set(acutBuildList(1001, "KSRRivlet", 0)), Acad::eOk);
    EXPECT_TRUE(get("KSRRivlet").empty());
    EXPECT_EQ(get(nullptr).size(), 2u);
    ASSERT_EQ(set(acutBuildList(1001, "OTHER", 0)), Acad::eOk);
    EXPECT_EQ(m_text->xData(), nullptr);
}

TEST_F(ExtendedData, BracesAreKeptAndMustPair) {
    ASSERT_EQ(
        set(acutBuildList(1001, "OTHER", 1002, "{", 1000, "a", 1002, "{", 1002, "}", 1002, "}", 0)),
        Acad::eOk);
    EXPECT_EQ(
        get("OTHER"),
        (std::vector<std::pair<int, std::string>>{
            {1001, "OTHER"}, {1002, "{"}, {1000, "a"}, {1002, "{"}, {1002, "}"}, {1002, "}"}}));
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1002, "{", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1002, "}", 1002, "{", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1002, "(", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(get("OTHER").size(), 6u);
}

TEST_F(ExtendedData, OnlyExtendedDataCodesAfterAnApplicationName) {
    EXPECT_EQ(set(acutBuildList(1000, "no application", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1, "entity text", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1020, 1.0, 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1005, "XYZ", 0)), Acad::eInvalidResBuf);
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1005, "2F", 1071, 70000, 1040, 0.5, 0)), Acad::eOk);
    EXPECT_EQ(m_text->setXData(nullptr), Acad::eOk);
    EXPECT_EQ(get("OTHER").size(), 4u);
}

TEST_F(ExtendedData, AnObjectHoldsAtMost16KB) {
    std::string block(4000, 'x');
    auto part = [&](const char* app, int strings) {
        resbuf* chain = acutBuildList(1001, app, 0);
        resbuf* tail = chain;
        for (int i = 0; i < strings; ++i) {
            tail->rbnext = acutBuildList(1000, block.c_str(), 0);
            tail = tail->rbnext;
        }
        return chain;
    };
    // Too much for an object that has none yet, in one part or two.
    EXPECT_EQ(set(part("KSRRivlet", 5)), Acad::eXdataSizeExceeded);
    resbuf* two = part("KSRRivlet", 3);
    two->rbnext->rbnext->rbnext->rbnext = part("OTHER", 2);
    EXPECT_EQ(set(two), Acad::eXdataSizeExceeded);
    EXPECT_EQ(m_text->xData(), nullptr);
    ASSERT_EQ(set(part("KSRRivlet", 3)), Acad::eOk); // 12 KB
    // Replacing the same application counts the new part instead of the old one.
    ASSERT_EQ(set(part("KSRRivlet", 3)), Acad::eOk);
    EXPECT_EQ(set(part("OTHER", 2)), Acad::eXdataSizeExceeded);
    EXPECT_TRUE(get("OTHER").empty());
    EXPECT_EQ(get("KSRRivlet").size(), 4u);
    EXPECT_EQ(set(part("KSRRivlet", 5)), Acad::eXdataSizeExceeded);
    EXPECT_EQ(get("KSRRivlet").size(), 4u) << "a refused part leaves the old one";
}

TEST_F(ExtendedData, NeedsTheObjectOpenForWrite) {
    m_text->downgradeOpen();
    EXPECT_EQ(set(acutBuildList(1001, "OTHER", 1070, 1, 0)), Acad::eNotOpenForWrite);
    m_text->upgradeOpen();
    EXPECT_TRUE(get(nullptr).empty());
}

TEST_F(ExtendedData, ANewObjectChecksAgainstTheWorkingDatabase) {
    auto* fresh = new AcDbMText;
    resbuf* chain = acutBuildList(1001, "KSRRivlet", 1070, 1, 0);
    EXPECT_EQ(fresh->setXData(chain), Acad::eOk);
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(fresh->setXData(chain), Acad::eNoDatabase);
    acdbHostApplicationServices()->setWorkingDatabase(db());
    acutRelRb(chain);
    resbuf* kept = fresh->xData("KSRRivlet");
    EXPECT_EQ(Flatten(kept).size(), 2u);
    acutRelRb(kept);
    delete fresh;
}

TEST_F(ExtendedData, WorldItemsMoveWithTheObjectAndPlainPointsStay) {
    const double world[3] = {1, 0, 0};
    const double dir[3] = {2, 0, 0};
    ASSERT_EQ(set(acutBuildList(1001, "OTHER", 1010, world, 1011, world, 1012, world, 1013, dir,
                                1041, 2.0, 1042, 3.0, 1040, 4.0, 0)),
              Acad::eOk);
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0)) *
                     AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis) *
                     AcGeMatrix3d::scaling(2.0);
    ASSERT_EQ(m_text->xDataTransformBy(m), Acad::eOk);
    resbuf* chain = m_text->xData("OTHER");
    const resbuf* rb = chain->rbnext;
    EXPECT_EQ(AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]),
              AcGePoint3d(1, 0, 0));
    rb = rb->rbnext; // 1011: moved, turned and scaled
    EXPECT_TRUE(AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2])
                    .isEqualTo(AcGePoint3d(10, 2, 0), AcGeTol()))
        << rb->resval.rpoint[0] << "," << rb->resval.rpoint[1];
    rb = rb->rbnext; // 1012: turned and scaled, not moved
    EXPECT_NEAR(rb->resval.rpoint[0], 0.0, 1e-12);
    EXPECT_NEAR(rb->resval.rpoint[1], 2.0, 1e-12);
    rb = rb->rbnext; // 1013: turned, unit length
    EXPECT_NEAR(rb->resval.rpoint[1], 1.0, 1e-12);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rreal, 4.0);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rreal, 6.0);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rreal, 4.0);
    acutRelRb(chain);
}

} // namespace

// Extended data read from a file is split into its applications' parts without a copy; the
// parts are the ones a copy makes, and a chain refused either way is refused both ways.
TEST(ExtendedDataParts, ChainsSplitIntoTheSamePartsTakenOrCopied) {
    using cadhost::db::XDataPart;
    const double point[3] = {1, 2, 3};
    const std::vector<resbuf*> chains = {
        acutBuildList(1001, "ONE", 1000, "a", 0),
        acutBuildList(1001, "ONE", 0),
        acutBuildList(1001, "ONE", 1002, "{", 1070, 1, 1002, "}", 1001, "TWO", 1010, point, 1001,
                      "three", 1040, 2.5, 1071, 7, 0),
        acutBuildList(1001, "ONE", 1002, "{", 1001, "TWO", 1002, "}", 0),
        acutBuildList(1000, "no application first", 0),
        acutBuildList(1001, "ONE", 1001, "bad name?", 0),
        acutBuildList(1001, "ONE", 1005, "not a handle", 0),
    };
    for (resbuf* chain : chains) {
        const auto read = Flatten(chain);
        std::vector<XDataPart> copied, taken;
        const Acad::ErrorStatus copiedStatus = cadhost::db::ParseXData(chain, nullptr, copied);
        const Acad::ErrorStatus takenStatus = cadhost::db::TakeXData(chain, taken);
        EXPECT_EQ(chain, nullptr) << "the chain is taken";
        EXPECT_EQ(takenStatus, copiedStatus) << read.front().second;
        ASSERT_EQ(taken.size(), copied.size()) << read.front().second;
        std::vector<std::pair<int, std::string>> joined;
        for (std::size_t i = 0; i < taken.size(); ++i) {
            EXPECT_EQ(taken[i].app, copied[i].app);
            EXPECT_EQ(Flatten(taken[i].chain), Flatten(copied[i].chain)) << copied[i].app;
            const auto part = Flatten(taken[i].chain);
            joined.insert(joined.end(), part.begin(), part.end());
            acutRelRb(taken[i].chain);
            acutRelRb(copied[i].chain);
        }
        if (takenStatus == Acad::eOk) {
            EXPECT_EQ(joined, read) << "every item in one part, in order";
        }
    }
}
