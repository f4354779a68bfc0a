// The database's classes in the class dictionary: names, parents, DXF names, constructors.
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "db/registerclasses.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

AcRxClass* Lookup(const char* name) {
    return static_cast<AcRxClass*>(acrxClassDictionary()->at(name));
}

TEST(DatabaseClasses, AreRegisteredByNameWithParentAndDxfName) {
    cadhost::db::RegisterDatabaseClasses();
    cadhost::db::RegisterDatabaseClasses(); // a second start-up changes nothing
    struct Expected {
        const char* name;
        const char* parent;
        const char* dxfName;
    };
    for (const Expected& e :
         {Expected{"AcDbObject", "AcRxObject", nullptr},
          Expected{"AcDbEntity", "AcDbObject", nullptr},
          Expected{"AcDbMText", "AcDbEntity", "MTEXT"}, Expected{"AcDbLine", "AcDbEntity", "LINE"},
          Expected{"AcDbCircle", "AcDbEntity", "CIRCLE"},
          Expected{"AcDbDictionary", "AcDbObject", "DICTIONARY"},
          Expected{"AcDbBlockTable", "AcDbSymbolTable", "TABLE"},
          Expected{"AcDbBlockTableRecord", "AcDbSymbolTableRecord", "BLOCK_RECORD"},
          Expected{"AcDbLayerTableRecord", "AcDbSymbolTableRecord", "LAYER"},
          Expected{"AcDbTextStyleTableRecord", "AcDbSymbolTableRecord", "STYLE"},
          Expected{"AcDbRegAppTableRecord", "AcDbSymbolTableRecord", "APPID"}}) {
        AcRxClass* cls = Lookup(e.name);
        ASSERT_NE(cls, nullptr) << e.name;
        ASSERT_NE(cls->myParent(), nullptr) << e.name;
        EXPECT_STREQ(cls->myParent()->name(), e.parent) << e.name;
        if (e.dxfName)
            EXPECT_STREQ(cls->dxfName(), e.dxfName) << e.name;
        else
            EXPECT_EQ(cls->dxfName(), nullptr) << e.name;
    }
    EXPECT_EQ(Lookup("AcDbMText"), AcDbMText::desc());
}

TEST(DatabaseClasses, ConcreteClassesMakeInstancesAndKnowTheirKind) {
    std::unique_ptr<AcRxObject> made(AcDbMText::desc()->create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->isA(), AcDbMText::desc());
    EXPECT_TRUE(made->isKindOf(AcDbEntity::desc()));
    EXPECT_TRUE(made->isKindOf(AcDbObject::desc()));
    EXPECT_FALSE(made->isKindOf(AcDbDictionary::desc()));
    EXPECT_NE(AcDbEntity::cast(made.get()), nullptr);
    EXPECT_EQ(AcDbLine::cast(made.get()), nullptr);
    EXPECT_EQ(AcDbEntity::desc()->create(), nullptr) << "an abstract class makes nothing";
}

} // namespace
