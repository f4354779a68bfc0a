// Dictionaries: key order, letter case, replacement, removal, hidden erased entries.
#include "arx/dbdict.h"
#include "arx/dbmtext.h"
#include "db_test_support.h"

#include <string>
#include <vector>

namespace {

class Dictionaries : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        AcDbDictionary* nod = nullptr;
        ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
        m_dict = new AcDbDictionary;
        ASSERT_EQ(nod->setAt("TEST_DICTIONARY", m_dict, m_dictId), Acad::eOk);
        nod->close();
        // Left open for write for the test.
    }
    void TearDown() override {
        if (m_dict->isWriteEnabled() || m_dict->isReadEnabled())
            m_dict->close();
        DrawingTest::TearDown();
    }

    // Stores a new dictionary (a cheap object) under the key; answers its id.
    AcDbObjectId store(const char* key) {
        auto* value = new AcDbDictionary;
        AcDbObjectId id;
        EXPECT_EQ(m_dict->setAt(key, value, id), Acad::eOk) << key;
        value->close();
        return id;
    }
    std::vector<std::string> keys(AcRx::DictIterType type = AcRx::kDictSorted) {
        std::vector<std::string> out;
        AcDbDictionaryIterator* it = m_dict->newIterator(type);
        for (; !it->done(); it->next())
            out.push_back(it->name());
        delete it;
        return out;
    }

    AcDbDictionary* m_dict = nullptr;
    AcDbObjectId m_dictId;
};

TEST_F(Dictionaries, IterateSortedByKeyOrInStoredOrder) {
    for (const char* key : {"10", "0_1", "2", "0", "1", "0_0"})
        store(key);
    EXPECT_EQ(keys(), (std::vector<std::string>{"0", "0_0", "0_1", "1", "10", "2"}));
    EXPECT_EQ(keys(AcRx::kDictCollated),
              (std::vector<std::string>{"10", "0_1", "2", "0", "1", "0_0"}));
    EXPECT_EQ(m_dict->numEntries(), 6);
}

TEST_F(Dictionaries, KeysIgnoreLetterCaseAndKeepTheirSpelling) {
    AcDbObjectId id = store("Sheet_Record");
    AcDbObjectId found;
    EXPECT_EQ(m_dict->getAt("SHEET_RECORD", found), Acad::eOk);
    EXPECT_EQ(found, id);
    EXPECT_TRUE(m_dict->has("sheet_record"));
    EXPECT_TRUE(m_dict->has(id));
    char* name = nullptr;
    ASSERT_EQ(m_dict->nameAt(id, name), Acad::eOk);
    EXPECT_STREQ(name, "Sheet_Record");
    acutDelString(name);
    // Sorting folds case too: "a" and "B" sort as "A" < "B".
    store("b");
    store("A");
    EXPECT_EQ(keys(), (std::vector<std::string>{"A", "b", "Sheet_Record"}));
}

TEST_F(Dictionaries, SetAtReplacesAndErasesTheOldObject) {
    AcDbObjectId first = store("0");
    AcDbObjectId second = store("0");
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.isErased());
    EXPECT_FALSE(second.isErased());
    EXPECT_EQ(m_dict->numEntries(), 1);
    AcDbObjectId found;
    m_dict->getAt("0", found);
    EXPECT_EQ(found, second);
    // The new object is the drawing's, owned by the dictionary.
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, second, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(object->ownerId(), m_dictId);
    EXPECT_EQ(object->database(), db());
    object->close();
}

TEST_F(Dictionaries, AReplacedObjectThatIsOpenElsewhereIsNotErasedUnderItsReader) {
    AcDbObjectId first = store("0");
    AcDbObject* reader = nullptr;
    ASSERT_EQ(acdbOpenObject(reader, first, AcDb::kForRead), Acad::eOk);
    auto* value = new AcDbDictionary;
    AcDbObjectId id;
    EXPECT_EQ(m_dict->setAt("0", value, id), Acad::eWasOpenForRead);
    EXPECT_FALSE(value->isDatabaseResident());
    delete value;
    reader->close();
    AcDbObjectId found;
    m_dict->getAt("0", found);
    EXPECT_EQ(found, first);
    EXPECT_FALSE(first.isErased());
}

TEST_F(Dictionaries, RemoveLeavesTheObjectUnerasedAndOwnerless) {
    AcDbObjectId a = store("0"), b = store("1"), c = store("2");
    AcDbObjectId removed;
    ASSERT_EQ(m_dict->remove("0", removed), Acad::eOk);
    EXPECT_EQ(removed, a);
    ASSERT_EQ(m_dict->remove(b), Acad::eOk);
    ASSERT_EQ(m_dict->remove("2"), Acad::eOk);
    for (AcDbObjectId id : {a, b, c}) {
        AcDbObject* object = nullptr;
        ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
        EXPECT_FALSE(object->isErased());
        EXPECT_TRUE(object->ownerId().isNull());
        object->close();
    }
    EXPECT_EQ(m_dict->numEntries(), 0);
    EXPECT_EQ(m_dict->remove("0"), Acad::eKeyNotFound);
    EXPECT_EQ(m_dict->remove(a), Acad::eKeyNotFound);
}

TEST_F(Dictionaries, MissingAndInvalidKeys) {
    AcDbObjectId id;
    AcDbObject* object = nullptr;
    EXPECT_EQ(m_dict->getAt("absent", id), Acad::eKeyNotFound);
    EXPECT_EQ(m_dict->getAt("absent", object, AcDb::kForRead), Acad::eKeyNotFound);
    for (const char* bad : {"", "a|b", "a*", "x<y", "tab\there", "semi;colon"}) {
        auto* value = new AcDbDictionary;
        EXPECT_EQ(m_dict->setAt(bad, value, id), Acad::eInvalidKey) << bad;
        EXPECT_FALSE(value->isDatabaseResident());
        delete value;
        EXPECT_EQ(m_dict->getAt(bad, id), Acad::eInvalidKey) << bad;
    }
    auto* text = new AcDbMText;
    EXPECT_EQ(m_dict->setAt(std::string(256, 'k').c_str(), text, id), Acad::eInvalidKey);
    delete text;
    EXPECT_EQ(m_dict->setAt("null", nullptr, id), Acad::eNullObjectPointer);
}

TEST_F(Dictionaries, ChangesNeedTheDictionaryOpenForWrite) {
    store("0");
    m_dict->downgradeOpen();
    auto* value = new AcDbDictionary;
    AcDbObjectId id;
    EXPECT_EQ(m_dict->setAt("1", value, id), Acad::eNotOpenForWrite);
    EXPECT_EQ(m_dict->remove("0"), Acad::eNotOpenForWrite);
    EXPECT_FALSE(m_dict->setName("0", "1"));
    delete value;
    EXPECT_TRUE(m_dict->has("0"));
}

TEST_F(Dictionaries, ErasedEntriesAreHiddenUntilUnerased) {
    AcDbObjectId a = store("0");
    store("1");
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, a, AcDb::kForWrite), Acad::eOk);
    object->erase();
    object->close();
    EXPECT_FALSE(m_dict->has("0"));
    EXPECT_EQ(m_dict->numEntries(), 1);
    EXPECT_EQ(keys(), (std::vector<std::string>{"1"}));
    ASSERT_EQ(acdbOpenObject(object, a, AcDb::kForWrite, true), Acad::eOk);
    object->erase(false);
    object->close();
    EXPECT_EQ(keys(), (std::vector<std::string>{"0", "1"}));
}

TEST_F(Dictionaries, IteratorOpensEntriesAndSurvivesRemovalDuringTheWalk) {
    for (const char* key : {"0", "0_0", "0_1", "1"})
        store(key);
    // Collect and remove while walking, as a purge does.
    AcDbDictionaryIterator* it = m_dict->newIterator();
    std::vector<std::string> seen;
    for (; !it->done(); it->next()) {
        AcDbObject* object = nullptr;
        ASSERT_EQ(it->getObject(object, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(object->objectId(), it->objectId());
        object->close();
        seen.push_back(it->name());
        EXPECT_EQ(m_dict->remove(it->name()), Acad::eOk);
    }
    delete it;
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(m_dict->numEntries(), 0);
}

TEST_F(Dictionaries, RenameKeepsTheEntryAndRefusesATakenKey) {
    AcDbObjectId a = store("old");
    store("other");
    EXPECT_FALSE(m_dict->setName("old", "OTHER"));
    EXPECT_FALSE(m_dict->setName("old", "bad|key"));
    ASSERT_TRUE(m_dict->setName("old", "new"));
    AcDbObjectId found;
    EXPECT_EQ(m_dict->getAt("NEW", found), Acad::eOk);
    EXPECT_EQ(found, a);
    EXPECT_FALSE(m_dict->has("old"));
    EXPECT_EQ(keys(AcRx::kDictCollated), (std::vector<std::string>{"new", "other"}));
}

TEST_F(Dictionaries, AnObjectOwnedElsewhereOrOfAnotherDrawingIsRefused) {
    AcDbObjectId a = store("0");
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    AcDbObject* entry = nullptr;
    ASSERT_EQ(acdbOpenObject(entry, a, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(nod->setAt("STOLEN", entry, id), Acad::eAlreadyInDb);
    entry->close();
    nod->close();

    // Ownership stays a tree: neither the dictionary nor its owner can become an entry.
    EXPECT_EQ(m_dict->setAt("SELF", m_dict, id), Acad::eInvalidInput);
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(m_dict->setAt("ROOT", nod, id), Acad::eInvalidInput);
    nod->close();

    AcDbDatabase other;
    AcDbDictionary* foreign = nullptr;
    ASSERT_EQ(other.getNamedObjectsDictionary(foreign, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(m_dict->setAt("1", foreign, id), Acad::eWrongDatabase);
    foreign->close();
}

} // namespace
