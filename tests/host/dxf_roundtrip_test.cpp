// Drawings through DXF and back: the host's own drawings, and drawings other programs made.
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "corpus.h"
#include "db/dxf/codepage.h"
#include "db/dxf/dxffile.h"
#include "db/dxf/filestate.h"
#include "db/dxf/structure.h"
#include "db_test_support.h"
#include "one_text_object.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cadhost::db::dxf;

namespace {

using rivlet_test::OneTextObject;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

Tags TagsOf(const std::string& text) {
    Tags tags;
    std::string error;
    EXPECT_TRUE(ReadTags(text, tags, error)) << error;
    return tags;
}

// The drawing, read back; fails the test when it does not read.
std::unique_ptr<AcDbDatabase> Reread(const std::string& text) {
    AcDbDatabase* db = nullptr;
    std::string error;
    EXPECT_EQ(ReadDxfText(text, db, error), Acad::eOk) << error;
    return std::unique_ptr<AcDbDatabase>(db);
}

std::string Write(AcDbDatabase* db) {
    std::string text, error;
    EXPECT_EQ(WriteDxfText(db, text, error), Acad::eOk) << error;
    return text;
}

// The text is read and written, and what is written reads back and writes the same;
// answers the first writing ("" when the text does not read).
std::string WrittenAlikeTwice(const std::string& text) {
    auto back = Reread(text);
    if (!back)
        return {};
    const std::string once = Write(back.get());
    auto again = Reread(once);
    EXPECT_TRUE(again) << once;
    if (again) {
        EXPECT_EQ(Write(again.get()), once);
    }
    return once;
}

std::string ContentsOf(AcDbObjectId id) {
    AcDbMText* mtext = nullptr;
    if (acdbOpenObject(mtext, id, AcDb::kForRead) != Acad::eOk)
        return "<not an mtext>";
    char* text = mtext->contents();
    std::string contents = text;
    acutDelString(text);
    mtext->close();
    return contents;
}

// The first entity of the database's model space.
AcDbObjectId FirstEntity(AcDbDatabase* db) {
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead) != Acad::eOk)
        return {};
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    AcDbObjectId id;
    if (!it->done())
        it->getEntityId(id);
    delete it;
    space->close();
    return id;
}

class DxfRoundTrip : public DrawingTest {
protected:
    // A drawing with long non-ASCII MText carrying extended data, and a dictionary of the
    // module's objects in the named objects dictionary.
    std::string m_contents;
    AcDbObjectId m_mtext, m_note;

    void build() {
        OneTextObject::desc();
        acrxBuildClassHierarchy();
        for (int i = 0; m_contents.size() < 2000; ++i)
            m_contents += "Fa\u00E7ade \u4E2D\u6587 \\P{\\fArial|b1;bold} \U0001F600 line " +
                          std::to_string(i) + " ";
        auto* mtext = new AcDbMText;
        mtext->setDatabaseDefaults(db());
        mtext->setLocation(AcGePoint3d(10, 20, 0));
        mtext->setContents(m_contents.c_str());
        m_mtext = appendToModelSpace(mtext);
        ASSERT_EQ(acdbRegApp("KSRRivlet"), RTNORM);
        AcDbMText* open = nullptr;
        ASSERT_EQ(acdbOpenObject(open, m_mtext, AcDb::kForWrite), Acad::eOk);
        resbuf* xdata = acutBuildList(1001, "KSRRivlet", 1000, "caf\u00E9", 1070, 7, 1040, 2.5, 0);
        ASSERT_EQ(open->setXData(xdata), Acad::eOk);
        acutRelRb(xdata);
        open->close();

        AcDbDictionary* nod = nullptr;
        ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
        auto* dictionary = new AcDbDictionary;
        AcDbObjectId dictionaryId;
        ASSERT_EQ(nod->setAt("KSR_SPEC_DICTIONARY", dictionary, dictionaryId), Acad::eOk);
        nod->close();
        auto* note = new OneTextObject;
        note->text = "Spec|2F|*{\\rtf1 caf\u00E9}";
        ASSERT_EQ(dictionary->setAt("0", note, m_note), Acad::eOk);
        note->close();
        auto* empty = new OneTextObject;
        AcDbObjectId emptyId;
        ASSERT_EQ(dictionary->setAt("1", empty, emptyId), Acad::eOk);
        empty->close();
        dictionary->close();
    }
};

} // namespace

TEST_F(DxfRoundTrip, OwnDrawingComesBackWithContentsExtendedDataAndCustomObjects) {
    build();
    std::string text = Write(db());
    auto back = Reread(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(DrawingVersion(back.get()), "AC1018");
    AcDbObjectId mtext = FirstEntity(back.get());
    EXPECT_EQ(mtext.handle(), m_mtext.handle());
    EXPECT_EQ(ContentsOf(mtext), m_contents);

    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, mtext, AcDb::kForRead), Acad::eOk);
    resbuf* xdata = object->xData("KSRRivlet");
    object->close();
    ASSERT_NE(xdata, nullptr);
    ASSERT_NE(xdata->rbnext, nullptr);
    EXPECT_STREQ(xdata->rbnext->resval.rstring, "caf\u00E9");
    EXPECT_EQ(xdata->rbnext->rbnext->resval.rint, 7);
    EXPECT_EQ(xdata->rbnext->rbnext->rbnext->resval.rreal, 2.5);
    acutRelRb(xdata);

    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(back->getNamedObjectsDictionary(nod, AcDb::kForRead), Acad::eOk);
    AcDbObject* specObject = nullptr;
    ASSERT_EQ(nod->getAt("KSR_SPEC_DICTIONARY", specObject, AcDb::kForRead), Acad::eOk);
    nod->close();
    AcDbDictionary* dictionary = AcDbDictionary::cast(specObject);
    ASSERT_NE(dictionary, nullptr);
    for (auto [key, expected] : {std::pair{"0", "Spec|2F|*{\\rtf1 caf\u00E9}"}, {"1", ""}}) {
        AcDbObject* entry = nullptr;
        ASSERT_EQ(dictionary->getAt(key, entry, AcDb::kForRead), Acad::eOk) << key;
        OneTextObject* note = OneTextObject::cast(entry);
        ASSERT_NE(note, nullptr) << "a registered class reads into its own objects";
        EXPECT_EQ(note->text, expected);
        entry->close();
    }
    dictionary->close();
    EXPECT_EQ(Write(back.get()), text) << "a drawing read and saved again is the same file";
}

TEST_F(DxfRoundTrip, FileOfCodePageWithShortLinesSeedAndClasses) {
    build();
    std::string text = Write(db());
    Tags tags = TagsOf(text);
    std::uint64_t highest = 0, seed = 0;
    bool inMText = false;
    std::string pieces;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag& tag = tags[i];
        if ((tag.code == 5 || tag.code == 105) && !(i > 0 && tags[i - 1].is(9, "$HANDSEED")))
            highest = std::max(highest, static_cast<std::uint64_t>(AcDbHandle(tag.value.c_str())));
        if (tag.is(9, "$HANDSEED"))
            seed = static_cast<std::uint64_t>(AcDbHandle(tags[i + 1].value.c_str()));
        if (tag.code == 0)
            inMText = tag.value == "MTEXT";
        if (inMText && (tag.code == 3 || tag.code == 1)) {
            EXPECT_LE(tag.value.size(), 250u);
            pieces += tag.value;
        }
        for (char c : tag.value)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80u * 2);
    }
    EXPECT_GT(seed, highest) << "$HANDSEED lies past every handle";
    EXPECT_NE(pieces.find("Fa\xE7"
                          "ade \\U+4E2D\\U+6587"),
              std::string::npos)
        << "code page 1252 bytes and escapes for the rest";
    EXPECT_NE(pieces.find("\\U+D83D\\U+DE00"), std::string::npos);

    FileStructure file;
    std::string error;
    ASSERT_TRUE(SplitSections(tags, file, error)) << error;
    const FileSection* classes = file.find("CLASSES");
    ASSERT_NE(classes, nullptr);
    ASSERT_EQ(classes->records.size(), 1u) << "only the custom class in use is listed";
    Tags expected{{1, "TESTNOTE", 0}, {2, "OneTextObject", 0}, {3, "RIVLETTESTS", 0}, {90, "0", 0},
                  {91, "2", 0},       {280, "0", 0},           {281, "0", 0}};
    EXPECT_EQ(classes->records[0].tags, expected);
    // The module's objects name their dictionary as owner and reactor.
    for (const FileRecord& record : file.find("OBJECTS")->records) {
        if (record.type != "TESTNOTE")
            continue;
        ASSERT_GE(record.tags.size(), 5u);
        EXPECT_EQ(record.tags[1].value, "{ACAD_REACTORS");
        EXPECT_EQ(record.tags[2].value, record.tags[4].value);
    }
    EXPECT_NE(text.find("\nAPPID\n  5\n"), std::string::npos);
    EXPECT_NE(text.find("\n  2\nKSRRivlet\n"), std::string::npos);
}

TEST_F(DxfRoundTrip, ACustomClassIsCountedByItsObjectsNotByWhatTheFileSaid) {
    build();
    std::string text = Write(db());
    // Another program left a stale count of the class's objects.
    const std::size_t classes = text.find("\nCLASSES\n");
    ASSERT_NE(classes, std::string::npos);
    const std::size_t count = text.find("\n 91\n2\n", classes);
    ASSERT_NE(count, std::string::npos);
    text.replace(count, 7, "\n 91\n7\n");
    auto back = Reread(text);
    ASSERT_TRUE(back);
    const std::string out = Write(back.get());
    const std::size_t written = out.find("\nCLASSES\n");
    ASSERT_NE(written, std::string::npos);
    EXPECT_NE(out.find("\n 91\n2\n", written), std::string::npos) << out.substr(written, 300);
    EXPECT_EQ(out.find("\n 91\n7\n", written), std::string::npos);
}

TEST_F(DxfRoundTrip, ACodePageNameThatNamesNoneReadsAsTheDefaultAndStaysStable) {
    // Its own text would otherwise be read in one code page and written in another, and
    // each save would give a different file.
    const std::string file = std::string("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n"
                                         "  9\n$DWGCODEPAGE\n  3\nANSI_1252\xE9 \\U+4E2D\n") +
                             "  9\n$TITLE\n  1\ncaf\xE9\n  0\nENDSEC\n  0\nEOF\n";
    std::unique_ptr<AcDbDatabase> first = Reread(file);
    ASSERT_NE(first, nullptr);
    std::string written = Write(first.get());
    EXPECT_NE(written.find("$DWGCODEPAGE\n  3\nANSI_1252\n"), std::string::npos) << written;
    EXPECT_NE(written.find("caf\xE9\n"), std::string::npos) << "the 1252 text is kept";
    std::unique_ptr<AcDbDatabase> second = Reread(written);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Write(second.get()), written);
}

TEST_F(DxfRoundTrip, AVersionOrCodePageWithoutAValueTakesNoneFromTheNextGroup) {
    // The groups after $DWGCODEPAGE and $ACADVER start the next variable or end the section:
    // they are no values, and the drawing is the same after every save.
    const std::string file = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n"
                             "  9\n$DWGCODEP\n  9\n$ACADVER\n  1\nAC1015\n"
                             "  9\n$DWGCODEPAGE\n  0\nENDSEC\n  0\nEOF\n";
    std::unique_ptr<AcDbDatabase> first = Reread(file);
    ASSERT_NE(first, nullptr);
    std::string written = Write(first.get());
    EXPECT_NE(written.find("  9\n$DWGCODEPAGE\n  9\n$HANDSEED\n"), std::string::npos) << written;
    std::unique_ptr<AcDbDatabase> second = Reread(written);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Write(second.get()), written);
    EXPECT_EQ(DrawingVersion(second.get()), "AC1015");

    AcDbDatabase* db = nullptr;
    std::string error;
    EXPECT_NE(
        ReadDxfText("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  0\nENDSEC\n  0\nEOF\n", db, error),
        Acad::eOk);
    EXPECT_EQ(error, "line 1: the header names no DXF version ($ACADVER); the host reads DXF "
                     "versions AC1012 to AC1032");
}

TEST_F(DxfRoundTrip, ChunksNeverSplitAnEscape) {
    // 249 letters then an escape: the cut goes before the backslash.
    std::string contents = std::string(249, 'a') + "\\U+4E2D" + std::string(300, 'b');
    auto* mtext = new AcDbMText;
    mtext->setDatabaseDefaults(db());
    mtext->setContents(contents.c_str());
    appendToModelSpace(mtext);
    Tags tags = TagsOf(Write(db()));
    bool inMText = false;
    std::vector<std::string> chunks;
    for (const Tag& tag : tags) {
        if (tag.code == 0)
            inMText = tag.value == "MTEXT";
        if (inMText && (tag.code == 3 || tag.code == 1))
            chunks.push_back(tag.value);
    }
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0], std::string(249, 'a'));
    EXPECT_EQ(chunks[1].rfind("\\U+4E2Db", 0), 0u);
}

TEST_F(DxfRoundTrip, UnknownCustomObjectsAndEntitiesSurviveAsRead) {
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$HANDSEED\n5\n30\n0\nENDSEC\n"
        "0\nSECTION\n2\nCLASSES\n0\nCLASS\n1\nZZTHING\n2\nZzThing\n3\nZZAPP\n90\n0\n91\n1\n280\n0\n"
        "281\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n5\n20\n100\nAcDbEntity\n8\n0\n100\n"
        "AcDbPolyline\n90\n2\n10\n0.0\n20\n0.0\n10\n1.0\n20\n1.0\n0\nENDSEC\n"
        "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n3\nTHING\n"
        "350\n21\n0\nZZTHING\n5\n21\n102\n{ACAD_REACTORS\n330\nC\n102\n}\n330\nC\n100\nZzThing\n"
        "300\n\u00FCber 1\n0\nENDSEC\n0\nEOF\n";
    auto back = Reread(text);
    ASSERT_TRUE(back);
    std::string out = Write(back.get());
    EXPECT_NE(out.find("  0\nCLASS\n  1\nZZTHING\n  2\nZzThing\n  3\nZZAPP\n"), std::string::npos);
    EXPECT_NE(
        out.find("  0\nLWPOLYLINE\n  5\n20\n100\nAcDbEntity\n  8\n0\n100\nAcDbPolyline\n 90\n2\n"
                 " 10\n0.0\n 20\n0.0\n 10\n1.0\n 20\n1.0\n"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("  0\nZZTHING\n  5\n21\n102\n{ACAD_REACTORS\n330\nC\n102\n}\n330\nC\n100\n"
                       "ZzThing\n300\n\u00FCber 1\n"),
              std::string::npos);
    EXPECT_EQ(DrawingVersion(back.get()), "AC1027");
    EXPECT_NE(out.find("$ACADVER\n  1\nAC1027\n"), std::string::npos);
}

TEST_F(DxfRoundTrip, BrokenFilesAreRefusedNamingTheLine) {
    AcDbDatabase* db = nullptr;
    std::string error;
    EXPECT_NE(ReadDxfText("hello\nworld\n", db, error), Acad::eOk);
    EXPECT_EQ(db, nullptr);
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
    EXPECT_NE(ReadDxfText("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n0\nEOF\n", db,
                          error),
              Acad::eOk);
    EXPECT_EQ(error, "line 8: the drawing is of DXF version AC1009 ($ACADVER); the host reads "
                     "DXF versions AC1012 to AC1032");
    EXPECT_NE(ReadDxfText("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n"
                          "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nabc\n0\nENDSEC\n0\nEOF\n",
                          db, error),
              Acad::eOk);
    EXPECT_EQ(error, "line 17: group 10 needs a number, found \"abc\"");
    EXPECT_EQ(db, nullptr);
    // A block's end among the entities would be written into a block and break it.
    EXPECT_NE(ReadDxfText("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n"
                          "0\nSECTION\n2\nENTITIES\n0\nENDBLK\n5\n2A\n0\nENDSEC\n0\nEOF\n",
                          db, error),
              Acad::eOk);
    EXPECT_EQ(error, "line 15: ENDBLK outside the BLOCKS section");
    EXPECT_EQ(db, nullptr);
}

TEST_F(DxfRoundTrip, VersionMessagesNameTheLineOfTheVersionAndTheVersionsRead) {
    AcDbDatabase* db = nullptr;
    std::string error;
    // The version stands below other header variables.
    const std::string head = "0\nSECTION\n2\nHEADER\n9\n$DWGCODEPAGE\n3\nANSI_1252\n";
    EXPECT_NE(ReadDxfText(head + "9\n$ACADVER\n1\nAC1006\n0\nENDSEC\n0\nEOF\n", db, error),
              Acad::eOk);
    EXPECT_EQ(error, "line 12: the drawing is of DXF version AC1006 ($ACADVER); the host reads "
                     "DXF versions AC1012 to AC1032");
    EXPECT_NE(ReadDxfText(head + "0\nENDSEC\n0\nEOF\n", db, error), Acad::eOk);
    EXPECT_EQ(error, "line 1: the header names no DXF version ($ACADVER); the host reads DXF "
                     "versions AC1012 to AC1032");
    EXPECT_EQ(db, nullptr);
    // The oldest version read is read.
    ASSERT_EQ(ReadDxfText("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1012\n0\nENDSEC\n0\nEOF\n", db,
                          error),
              Acad::eOk)
        << error;
    delete db;
}

// ---- Drawings by other programs ------------------------------------------------------------

namespace {

std::vector<std::string> CorpusFiles(const char* folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(rivlet_test::CorpusDir() / folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The tags of a file with their codes as numbers, so that layout does not count.
std::vector<std::pair<int, std::string>> Canon(const std::string& text) {
    std::vector<std::pair<int, std::string>> out;
    for (const Tag& tag : TagsOf(text))
        out.emplace_back(tag.code, tag.value);
    return out;
}

} // namespace

TEST(DxfCorpus, EveryDrawingComesOutWithEveryTagItHad) {
    SKIP_WITHOUT_CORPUS("dxf");
    auto files = CorpusFiles("dxf");
    ASSERT_GE(files.size(), 20u);
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::string original = Slurp(path);
        auto db = Reread(original);
        ASSERT_TRUE(db);
        std::string saved = Write(db.get());
        // The file's seed and renumbered duplicates aside, the tags come back unchanged.
        auto a = Canon(original), b = Canon(saved);
        ASSERT_EQ(a.size() + (path.find("duplicate_handles") != std::string::npos ? 2 : 0),
                  b.size());
        std::size_t differences = 0;
        for (std::size_t i = 0, j = 0; i < a.size() && j < b.size(); ++i, ++j)
            if (a[i] != b[j] && !(a[i].first == 5 || a[i].first == 105))
                ++differences;
        if (path.find("duplicate_handles") == std::string::npos) {
            EXPECT_EQ(differences, 0u);
        }
        auto again = Reread(saved);
        ASSERT_TRUE(again);
        EXPECT_EQ(Write(again.get()), saved) << "saving is stable";
    }
}

TEST(DxfCorpus, ADrawingChangedInTheHostKeepsWhatItHadAndGainsTheChange) {
    SKIP_WITHOUT_CORPUS("dxf");
    std::string path = (rivlet_test::CorpusDir() / "dxf/multi_insert_with_attribs.dxf").string();
    auto db = Reread(Slurp(path));
    ASSERT_TRUE(db);
    std::size_t before = Canon(Write(db.get())).size();
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
    auto* mtext = new AcDbMText;
    mtext->setDatabaseDefaults(db.get());
    mtext->setContents("added \u00E9");
    AcDbObjectId id;
    ASSERT_EQ(space->appendAcDbEntity(id, mtext), Acad::eOk);
    mtext->close();
    space->close();
    std::string saved = Write(db.get());
    EXPECT_GT(Canon(saved).size(), before);
    auto back = Reread(saved);
    ASSERT_TRUE(back);
    AcDbObjectId found;
    ASSERT_EQ(back->getAcDbObjectId(found, false, id.handle()), Acad::eOk);
    EXPECT_EQ(ContentsOf(found), "added \u00E9") << "AC1027 files hold UTF-8";
    EXPECT_NE(saved.find("added \u00E9"), std::string::npos);
}

TEST(DxfCorpus, MalformedAndTruncatedDrawingsAreRefused) {
    SKIP_WITHOUT_CORPUS("dxf");
    SKIP_WITHOUT_CORPUS("dxf-malformed");
    for (const std::string& path : CorpusFiles("dxf-malformed")) {
        AcDbDatabase* db = nullptr;
        std::string error;
        EXPECT_NE(ReadDxfText(Slurp(path), db, error), Acad::eOk) << path;
        EXPECT_EQ(db, nullptr);
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    }
    std::string whole = Slurp((rivlet_test::CorpusDir() / "dxf/text_alignments.dxf").string());
    for (std::size_t cut : {whole.size() / 3, whole.size() / 2, whole.size() - 10}) {
        AcDbDatabase* db = nullptr;
        std::string error;
        EXPECT_NE(ReadDxfText(whole.substr(0, cut), db, error), Acad::eOk) << cut;
        EXPECT_EQ(db, nullptr);
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    }
}

TEST_F(DxfRoundTrip, AChangedObjectKeepsWhatTheHostDoesNotModel) {
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n20\n102\n{ACAD_XDICTIONARY\n360\n22\n102\n}\n"
        "100\nAcDbEntity\n8\n0\n62\n5\n6\nDASHED\n370\n35\n100\nAcDbLine\n39\n2.5\n10\n0\n20\n0\n"
        "30\n0\n11\n1\n21\n1\n31\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n281\n1\n"
        "0\nDICTIONARY\n5\n22\n330\n20\n100\nAcDbDictionary\n281\n1\n0\nENDSEC\n0\nEOF\n";
    auto back = Reread(text);
    ASSERT_TRUE(back);
    AcDbObjectId lineId = FirstEntity(back.get());
    AcDbEntity* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, lineId, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(line->setColorIndex(256), Acad::eOk);
    line->close();
    Tags tags = TagsOf(Write(back.get()));
    Tags written;
    bool inLine = false;
    for (const Tag& tag : tags) {
        if (tag.code == 0)
            inLine = tag.value == "LINE";
        else if (inLine)
            written.push_back(Tag{tag.code, tag.value, 0});
    }
    Tags expected{{5, "20", 0},   {102, "{ACAD_XDICTIONARY", 0},
                  {360, "22", 0}, {102, "}", 0},
                  {330, "1", 0},  {100, "AcDbEntity", 0},
                  {8, "0", 0},    {6, "DASHED", 0},
                  {370, "35", 0}, {100, "AcDbLine", 0},
                  {10, "0.0", 0}, {20, "0.0", 0},
                  {30, "0.0", 0}, {11, "1.0", 0},
                  {21, "1.0", 0}, {31, "0.0", 0},
                  {39, "2.5", 0}};
    // The owner is the model space record the reader made for a file without one.
    ASSERT_GE(written.size(), 5u);
    expected[4].value = written[4].value;
    EXPECT_EQ(written, expected) << "the colour by layer drops 62; linetype, lineweight, "
                                    "thickness and the extension dictionary stay";
}

TEST_F(DxfRoundTrip, AChangedLayerKeepsItsLinetypeAndPlotStyle) {
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n"
        "0\nTABLE\n2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n1\n0\nLAYER\n5\n10\n330\n2\n"
        "100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n0\n70\n0\n62\n7\n6\nDASHED\n"
        "370\n-3\n390\nF\n0\nENDTAB\n0\nENDSEC\n0\nEOF\n";
    auto back = Reread(text);
    ASSERT_TRUE(back);
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(acdbOpenObject(layer, back->layerZero(), AcDb::kForWrite), Acad::eOk);
    layer->setColorIndex(1);
    layer->close();
    std::string out = Write(back.get());
    EXPECT_NE(out.find(" 62\n1\n  6\nDASHED\n370\n-3\n390\nF\n"), std::string::npos) << out;
}

namespace {

// A drawing whose entities name a layer and a text style and whose named objects dictionary
// has a second dictionary under "GONE"; its numbers are written as no host writes them, so
// that only objects written from their fields change them.
const char* kNamingDrawing =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n"
    "0\nTABLE\n2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n2\n"
    "0\nLAYER\n5\n10\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n0\n"
    "70\n0\n62\n7\n"
    "0\nLAYER\n5\n11\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\nWalls\n"
    "70\n0\n62\n1\n0\nENDTAB\n"
    "0\nTABLE\n2\nSTYLE\n5\n3\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
    "0\nSTYLE\n5\n12\n330\n3\n100\nAcDbSymbolTableRecord\n100\nAcDbTextStyleTableRecord\n"
    "2\nNotes\n70\n0\n40\n0.0\n0\nENDTAB\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n5\n20\n100\nAcDbEntity\n8\nWalls\n100\nAcDbLine\n"
    "10\n1.50\n20\n0\n30\n0\n11\n2.50\n21\n0\n31\n0\n"
    "0\nMTEXT\n5\n21\n100\nAcDbEntity\n8\n0\n100\nAcDbMText\n10\n1.50\n20\n0\n30\n0\n40\n2.50\n"
    "1\nNote\n7\nNotes\n"
    "0\nLINE\n5\n22\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
    "10\n7.50\n20\n0\n30\n0\n11\n8.50\n21\n0\n31\n0\n0\nENDSEC\n"
    "0\nSECTION\n2\nOBJECTS\n"
    "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n281\n1\n3\nGONE\n350\n30\n"
    "0\nDICTIONARY\n5\n30\n330\nC\n100\nAcDbDictionary\n281\n1\n0\nENDSEC\n0\nEOF\n";

// The tags of the entry with the handle, without its 0 tag.
Tags EntryOf(const std::string& text, const std::string& handle) {
    Tags entry;
    bool in = false;
    for (const Tag& tag : TagsOf(text)) {
        if (tag.code == 0) {
            if (in)
                break;
            entry.clear();
        } else if (tag.code == 5 && tag.value == handle) {
            in = true;
        }
        if (tag.code != 0)
            entry.push_back(Tag{tag.code, tag.value, 0});
    }
    return in ? entry : Tags{};
}

std::string ValueOf(const Tags& tags, int code) {
    for (const Tag& tag : tags)
        if (tag.code == code)
            return tag.value;
    return "<none>";
}

} // namespace

TEST_F(DxfRoundTrip, RenamedRecordsReachEveryObjectThatNamesThemOpenedOrNot) {
    auto back = Reread(kNamingDrawing);
    ASSERT_TRUE(back);
    for (AcDbObjectId table : {back->layerTableId(), back->textStyleTableId()}) {
        AcDbSymbolTable* open = nullptr;
        ASSERT_EQ(acdbOpenObject(open, table, AcDb::kForRead), Acad::eOk);
        AcDbSymbolTableRecord* record = nullptr;
        const char* name = table == back->layerTableId() ? "Walls" : "Notes";
        ASSERT_EQ(open->getAt(name, record, AcDb::kForWrite), Acad::eOk);
        open->close();
        ASSERT_EQ(record->setName(table == back->layerTableId() ? "Partitions" : "Specs"),
                  Acad::eOk);
        record->close();
    }
    const std::string out = Write(back.get());
    EXPECT_EQ(ValueOf(EntryOf(out, "20"), 8), "Partitions") << out;
    EXPECT_EQ(ValueOf(EntryOf(out, "21"), 7), "Specs") << out;
    // The line that names neither comes out as it was read, numbers and all.
    EXPECT_NE(out.find("  5\n22\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n7.50\n"),
              std::string::npos)
        << out;
}

TEST_F(DxfRoundTrip, AHandleClaimedTwiceStaysWithTheLastEntryAndWithATableHeadOnlyAmongHeads) {
    // 3: the layer Walls, then the heads of the style and linetype tables.  4: the heads of
    // the application and linetype tables.  20: two lines.
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n"
        "0\nTABLE\n2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n2\n"
        "0\nLAYER\n5\n10\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n0\n"
        "70\n0\n62\n7\n"
        "0\nLAYER\n5\n3\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n"
        "2\nWalls\n70\n0\n62\n1\n0\nENDTAB\n"
        "0\nTABLE\n2\nSTYLE\n5\n3\n330\n0\n100\nAcDbSymbolTable\n70\n0\n0\nENDTAB\n"
        "0\nTABLE\n2\nAPPID\n5\n4\n330\n0\n100\nAcDbSymbolTable\n70\n0\n0\nENDTAB\n"
        "0\nTABLE\n2\nLTYPE\n5\n4\n330\n0\n100\nAcDbSymbolTable\n70\n0\n0\nENDTAB\n"
        "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
        "0\nLINE\n5\n20\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
        "10\n1.5\n20\n0\n30\n0\n11\n2.5\n21\n0\n31\n0\n"
        "0\nLINE\n5\n20\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
        "10\n7.5\n20\n0\n30\n0\n11\n8.5\n21\n0\n31\n0\n0\nENDSEC\n0\nEOF\n";
    auto back = Reread(text);
    ASSERT_TRUE(back);
    auto openAt = [&](const char* handle) -> AcDbObject* {
        AcDbObjectId id;
        AcDbObject* object = nullptr;
        if (back->getAcDbObjectId(id, false, AcDbHandle(handle)) != Acad::eOk ||
            acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk)
            return nullptr;
        return object;
    };
    AcDbObject* three = openAt("3");
    ASSERT_NE(three, nullptr);
    auto* walls = AcDbLayerTableRecord::cast(three);
    ASSERT_NE(walls, nullptr) << three->isA()->name();
    const char* name = nullptr;
    walls->getName(name);
    EXPECT_STREQ(name, "Walls");
    three->close();
    // The linetype table is carried as read, the application table is the host's own.
    AcDbObject* four = openAt("4");
    ASSERT_NE(four, nullptr);
    EXPECT_FALSE(four->isKindOf(AcDbRegAppTable::desc())) << four->isA()->name();
    EXPECT_NE(four->objectId(), back->regAppTableId());
    four->close();
    AcDbObject* twenty = openAt("20");
    ASSERT_NE(twenty, nullptr);
    auto* line = AcDbLine::cast(twenty);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->startPoint().x, 7.5);
    twenty->close();
}

TEST_F(DxfRoundTrip, AnErasedEntryLeavesItsDictionaryThoughTheDictionaryWasNeverOpened) {
    auto back = Reread(kNamingDrawing);
    ASSERT_TRUE(back);
    AcDbObjectId gone;
    ASSERT_EQ(back->getAcDbObjectId(gone, false, AcDbHandle("30")), Acad::eOk);
    AcDbObject* entry = nullptr;
    ASSERT_EQ(acdbOpenObject(entry, gone, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(entry->erase(), Acad::eOk);
    entry->close();
    const std::string out = Write(back.get());
    EXPECT_EQ(ValueOf(EntryOf(out, "C"), 3), "<none>") << out;
    EXPECT_TRUE(EntryOf(out, "30").empty()) << out;
}

TEST_F(DxfRoundTrip, AnEntityOpenedForWriteKeepsItsTagsUnlessItChanges) {
    auto back = Reread(kNamingDrawing);
    ASSERT_TRUE(back);
    AcDbObjectId first = FirstEntity(back.get()), last;
    ASSERT_EQ(back->getAcDbObjectId(last, false, AcDbHandle("22")), Acad::eOk);
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, first, AcDb::kForWrite), Acad::eOk);
    line->close();
    ASSERT_EQ(acdbOpenObject(line, last, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(line->setEndPoint(AcGePoint3d(9, 0, 0)), Acad::eOk);
    line->close();
    const std::string out = Write(back.get());
    EXPECT_NE(out.find(" 10\n1.50\n 20\n0\n 30\n0\n 11\n2.50\n"), std::string::npos) << out;
    EXPECT_EQ(ValueOf(EntryOf(out, "22"), 11), "9.0") << out;
    EXPECT_EQ(ValueOf(EntryOf(out, "22"), 10), "7.5") << out;
}

TEST_F(DxfRoundTrip, EntriesComeBackTagForTagHoweverTheirLinesWereWritten) {
    // One entry's tags written six ways: the writer's form, then each way a file may part
    // from it (line ends, codes without padding, a value with a byte 01, an escape that
    // decodes, a change of form halfway).
    const std::string head = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n";
    const std::string tail = "  0\nENDSEC\n  0\nEOF\n";
    const std::vector<std::string> entries = {
        "  5\n2A\n100\nAcDbEntity\n  8\nWalls\n999\nx\n100\nAcDbLine\n 10\n1.50\n 11\n2\n",
        "  5\r\n2A\r\n100\r\nAcDbEntity\r\n  8\r\nWalls\r\n100\r\nAcDbLine\r\n 10\r\n1.50\r\n",
        "5\n2A\n100\nAcDbEntity\n8\nWalls\n100\nAcDbLine\n10\n1.50\n11\n2\n",
        "  5\n2A\n100\nAcDbEntity\n  8\nWa\x01n\x01lls\n100\nAcDbLine\n 10\n1.50\n",
        "  5\n2A\n100\nAcDbEntity\n  8\nWalls \\U+00E9\n100\nAcDbLine\n 10\n1.50\n",
        "  5\n2A\n100\nAcDbEntity\n8\r\nWalls\n100\nAcDbLine\n 10\n1.50\n1001\nAPP\n",
    };
    for (const std::string& entry : entries) {
        const std::string text = head + entry + tail;
        auto back = Reread(text);
        ASSERT_TRUE(back) << text;
        // Comments are not kept; text may come back in the code page's own bytes.
        auto decoded = [](Tags tags) {
            std::erase_if(tags, [](const Tag& tag) { return tag.code == 999; });
            for (Tag& tag : tags)
                tag.value = DecodeCodePage(tag.value, "ANSI_1252");
            return tags;
        };
        Tags read = decoded(EntryOf(text, "2A"));
        ASSERT_GE(read.size(), 5u) << text;
        EXPECT_EQ(decoded(EntryOf(Write(back.get()), "2A")), read) << text;
    }
}

TEST_F(DxfRoundTrip, KeptEntitiesWithTheirVerticesComeBackAndDrawHoweverTheirLinesWereWritten) {
    // A polyline the host keeps as read, its vertices folded into it: in the writer's form,
    // then with a vertex's 0 line, the vertex, the polyline or a value apart from it.
    const std::string head = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n";
    const std::string tail = "  0\nENDSEC\n  0\nEOF\n";
    const std::string polyline =
        "  0\nPOLYLINE\n  5\n2A\n100\nAcDbEntity\n  8\nWalls\n 62\n3\n100\nAcDb2dPolyline\n"
        " 66\n1\n 10\n0.0\n 20\n0.0\n 30\n0.0\n";
    const std::string first = "  5\n2B\n100\nAcDbEntity\n  8\nWalls\n 10\n1.0\n 20\n1.0\n";
    const std::string second = "  5\n2C\n100\nAcDbEntity\n  8\nWalls\n 10\n4.0\n 20\n5.0\n";
    const std::string end = "  0\nSEQEND\n  5\n2D\n100\nAcDbEntity\n  8\nWalls\n";
    auto crlf = [](std::string lines) {
        for (std::size_t at = 0; (at = lines.find('\n', at)) != std::string::npos; at += 2)
            lines.insert(at, "\r");
        return lines;
    };
    std::string withByte01 = polyline;
    withByte01.replace(withByte01.find("Walls"), 5, "Wa\x01lls");
    const std::vector<std::string> entities = {
        polyline + "  0\nVERTEX\n" + first + "  0\nVERTEX\n" + second + end,
        polyline + "0\nVERTEX\n" + first + "  0\nVERTEX\n" + second + end,
        polyline + "  0\nVERTEX\n" + first + "0  \nVERTEX\n" + second + end,
        polyline + "  0\nVERTEX\n" + crlf(first) + "  0\nVERTEX\n" + second + end,
        crlf(polyline) + "  0\nVERTEX\n" + first + "  0\nVERTEX\n" + second + end,
        withByte01 + "  0\nVERTEX\n" + first + "  0\nVERTEX\n" + second + end,
    };
    auto entitiesOf = [](const std::string& text) {
        Tags section;
        bool in = false;
        for (const Tag& tag : TagsOf(text)) {
            if (tag.code == 0 && (tag.value == "ENDSEC" || tag.value == "EOF"))
                in = false;
            if (in)
                section.push_back(Tag{tag.code, tag.value, 0});
            if (tag.code == 2 && tag.value == "ENTITIES")
                in = true;
        }
        return section;
    };
    for (const std::string& drawn : entities) {
        const std::string text = head + drawn + tail;
        auto back = Reread(text);
        ASSERT_TRUE(back) << text;
        const std::string out = WrittenAlikeTwice(text);
        EXPECT_EQ(entitiesOf(out), entitiesOf(text)) << text;
        EXPECT_NE(out.find("  0\nVERTEX\n  5\n2C\n"), std::string::npos) << "the writer's form\n"
                                                                         << out;

        // One entity, with the layer, color and outline of what it was read from.
        AcDbEntity* entity = nullptr;
        ASSERT_EQ(acdbOpenObject(entity, FirstEntity(back.get()), AcDb::kForRead), Acad::eOk);
        EXPECT_STREQ(entity->isA()->name(), "KeptEntity");
        EXPECT_EQ(entity->colorIndex(), 3);
        AcDbExtents box;
        EXPECT_EQ(entity->getGeomExtents(box), Acad::eOk) << text;
        EXPECT_EQ(box.minPoint(), AcGePoint3d(1, 1, 0)) << text;
        EXPECT_EQ(box.maxPoint(), AcGePoint3d(4, 5, 0)) << text;
        entity->close();
    }
}

TEST_F(DxfRoundTrip, EntitiesOfABlockStayInItWhateverBlockTheirOwnerTagNames) {
    // Between the BLOCK and ENDBLK of paper space, whose entities a drawing writes in its
    // ENTITIES section: a line whose owner tag names block Y, an entity the host keeps as read
    // without an owner tag, and a circle whose tag names paper space.
    auto record = [](const char* handle, const char* name) {
        return std::string("  0\nBLOCK_RECORD\n  5\n") + handle +
               "\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n  2\n" + name +
               "\n";
    };
    auto block = [](const char* handle, const char* owner, const char* name) {
        return std::string("  0\nBLOCK\n  5\n") + handle + "\n330\n" + owner +
               "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockBegin\n  2\n" + name +
               "\n 70\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n  3\n" + name + "\n  1\n\n";
    };
    auto end = [](const char* handle, const char* owner) {
        return std::string("  0\nENDBLK\n  5\n") + handle + "\n330\n" + owner +
               "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockEnd\n";
    };
    const std::string text =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nBLOCK_RECORD\n  5\n1\n330\n0\n100\n"
        "AcDbSymbolTable\n 70\n3\n" +
        record("2D", "*Model_Space") + record("2E", "*Paper_Space") + record("2F", "Y") +
        "  0\nENDTAB\n  0\nENDSEC\n" + "  0\nSECTION\n  2\nBLOCKS\n" +
        block("37", "2D", "*Model_Space") + end("38", "2D") + block("30", "2E", "*Paper_Space") +
        "  0\nLINE\n  5\n31\n330\n2F\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n"
        " 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n1.0\n 21\n1.0\n 31\n0.0\n"
        "  0\nZZSHAPE\n  5\n32\n100\nAcDbEntity\n  8\n0\n100\nZzShape\n"
        "  0\nCIRCLE\n  5\n33\n330\n2e\n100\nAcDbEntity\n  8\n0\n100\nAcDbCircle\n"
        " 10\n0.0\n 20\n0.0\n 30\n0.0\n 40\n1.0\n" +
        end("34", "2E") + block("35", "2F", "Y") + end("36", "2F") + "  0\nENDSEC\n  0\nEOF\n";
    auto count = [](AcDbDatabase* db, const char* name) {
        AcDbBlockTable* table = nullptr;
        if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
            return -1;
        AcDbBlockTableRecord* block = nullptr;
        const bool found = table->getAt(name, block, AcDb::kForRead) == Acad::eOk;
        table->close();
        if (!found)
            return -1;
        AcDbBlockTableRecordIterator* it = nullptr;
        block->newIterator(it);
        int entities = 0;
        for (; !it->done(); it->step())
            ++entities;
        delete it;
        block->close();
        return entities;
    };
    const std::string once = WrittenAlikeTwice(text);
    ASSERT_FALSE(once.empty());
    for (const std::string& drawing : {text, once}) {
        auto back = Reread(drawing);
        ASSERT_TRUE(back);
        EXPECT_EQ(count(back.get(), "*Paper_Space"), 3) << drawing;
        EXPECT_EQ(count(back.get(), "Y"), 0) << drawing;
        EXPECT_EQ(count(back.get(), "*Model_Space"), 0) << drawing;
    }
    EXPECT_NE(once.find("  0\nCIRCLE\n  5\n33\n330\n2e\n"), std::string::npos)
        << "an owner tag that names the block is left as it was\n"
        << once;
}

TEST_F(DxfRoundTrip, AVersionReadFromBeforeTheHeaderIsWrittenWhereReadersLookForIt) {
    // The version and code page stand in a section before a HEADER that names neither.
    const std::string text = "0\nSECTION\n2\nFIRST\n9\n$ACADVER\n1\nAC1018\n9\n$DWGCODEPAGE\n3\n"
                             "dos850\n0\nENDSEC\n0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n"
                             "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n2A\n100\nAcDbEntity\n"
                             "8\nW\xE4nde\n100\nAcDbLine\n10\n1\n11\n2\n0\nENDSEC\n0\nEOF\n";
    const std::string once = WrittenAlikeTwice(text);
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(ValueOf(EntryOf(once, "2A"), 8), "W\xE4nde") << "still in its code page";
}

TEST_F(DxfRoundTrip, AHeaderThatSaysAnotherVersionOrCodePageIsWrittenAsTheDrawingIsSaved) {
    // The version and code page are read from a section before the HEADER, which then says
    // others: the file saved says what it is written in, and reads back as it was saved.
    const std::string text = "0\nSECTION\n2\nFIRST\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\n"
                             "dos850\n0\nENDSEC\n0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n"
                             "9\n$DWGCODEPAGE\n3\n end\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n"
                             "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n2A\n100\nAcDbEntity\n"
                             "8\nW\xE4nde\n100\nAcDbLine\n10\n1\n11\n2\n0\nENDSEC\n0\nEOF\n";
    const std::string once = WrittenAlikeTwice(text);
    ASSERT_FALSE(once.empty());
    const Tags tags = TagsOf(once);
    std::vector<std::string> said;
    for (std::size_t i = 0; i + 1 < tags.size() && !tags[i].is(0, "ENDSEC"); ++i)
        if (tags[i].is(9, "$ACADVER") || tags[i].is(9, "$DWGCODEPAGE"))
            said.push_back(tags[i + 1].value);
    EXPECT_EQ(said, (std::vector<std::string>{"AC1015", "dos850"}));
    EXPECT_EQ(ValueOf(EntryOf(once, "2A"), 8), "W\xE4nde") << "still in its code page";
}

TEST_F(DxfRoundTrip, AHandSeedWithoutAValueTakesTheDrawingsSeedAndNothingElse) {
    for (const char* header : {"9\n$HANDSEED\n", "9\n$HANDSEED\n9\n$INSUNITS\n70\n4\n"}) {
        const std::string text = std::string("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1018\n") +
                                 header +
                                 "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n2A\n"
                                 "100\nAcDbEntity\n8\n0\n100\nAcDbLine\n0\nENDSEC\n0\nEOF\n";
        const std::string once = WrittenAlikeTwice(text);
        ASSERT_FALSE(once.empty());
        const std::string seed = "  9\n$HANDSEED\n  5\n";
        const std::size_t at = once.find(seed);
        ASSERT_NE(at, std::string::npos) << once;
        EXPECT_EQ(once.find("$HANDSEED", at + seed.size()), std::string::npos) << once;
        if (std::string(header).find("INSUNITS") != std::string::npos) {
            EXPECT_NE(once.find("  9\n$INSUNITS\n 70\n4\n"), std::string::npos) << once;
        }
    }
}

TEST(DxfOriginals, AreFoundByHandleInWhateverOrderTheFileHadThem) {
    // Orders a file may list its objects in: sorted, backwards, a few runs of each table and
    // section, an odd number of runs, and scattered.
    std::vector<std::vector<std::uint64_t>> orders;
    std::vector<std::uint64_t> sorted(300);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = 0x20 + 3 * i;
    orders.push_back(sorted);
    orders.emplace_back(sorted.rbegin(), sorted.rend());
    for (std::size_t runs : {2, 3, 5, 12}) {
        std::vector<std::uint64_t> order;
        for (std::size_t run = runs; run-- > 0;)
            for (std::size_t i = run; i < sorted.size(); i += runs)
                order.push_back(sorted[i]);
        orders.push_back(order);
    }
    std::vector<std::uint64_t> scattered = sorted;
    for (std::size_t i = 0; i < scattered.size(); ++i)
        std::swap(scattered[i], scattered[(i * 7919) % scattered.size()]);
    orders.push_back(scattered);
    orders.push_back({});
    orders.push_back({0x2A});

    for (const auto& order : orders) {
        // Each original's text names its handle, to show it moved with it.
        std::vector<std::string> texts;
        for (std::uint64_t handle : order)
            texts.push_back("text of " + std::to_string(handle));
        Originals originals;
        for (std::size_t i = 0; i < order.size(); ++i)
            originals.add(order[i], {}).read = texts[i];
        originals.sort();
        ASSERT_EQ(originals.size(), order.size());
        EXPECT_TRUE(std::is_sorted(
            originals.begin(), originals.end(),
            [](const Original& a, const Original& b) { return a.handle < b.handle; }));
        for (std::uint64_t handle : order) {
            const Original* found = originals.find(handle);
            ASSERT_NE(found, nullptr) << handle;
            EXPECT_EQ(found->handle, handle);
            EXPECT_EQ(found->read, "text of " + std::to_string(handle));
        }
        EXPECT_EQ(originals.find(0x21), nullptr);
        // In the order of the handles, as saving asks, with a handle that has none between.
        std::vector<std::uint64_t> ascending = order;
        std::sort(ascending.begin(), ascending.end());
        for (std::uint64_t handle : ascending) {
            const Original* found = originals.find(handle);
            ASSERT_NE(found, nullptr) << handle;
            EXPECT_EQ(found->read, "text of " + std::to_string(handle));
            EXPECT_EQ(originals.find(handle + 1), nullptr) << handle;
        }
    }
}
