// The wrapper object: its class registration, and its DWG and DXF filing.
#include "storage_test_host.h"

#include "frame/rivletapp.h"
#include "storage/dictdata.h"

#include "arx/dbentity.h"
#include "arx/dbsymtb.h"

#include "../host/db_test_support.h"

#include "arx/docman.h"
#include "db/dwgfiler.h"

#include <algorithm>

namespace {

using WrapperTest = StorageTest;

} // namespace

TEST_F(WrapperTest, DxfFormIsSubclassMarkerAndOneTextGroup) {
    for (const std::string& text : {std::string(), std::string("{\\rtf1 Doors}")}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(KSRxDictData::SetData("0", text));
        KSRxDictDataWrapper* stored = nullptr;
        ASSERT_EQ(acdbOpenObject(stored, EntryId("0"), AcDb::kForRead), Acad::eOk);
        MemoryDxfFiler out(db());
        EXPECT_EQ(stored->dxfOutFields(&out), Acad::eOk);
        stored->close();
        std::vector<int> codes = out.codes();
        ASSERT_GE(codes.size(), 2u);
        EXPECT_EQ(codes[codes.size() - 2], 100);
        EXPECT_EQ(codes.back(), 300);
        EXPECT_EQ(
            out.textOf(100, static_cast<int>(std::count(codes.begin(), codes.end(), 100)) - 1),
            "KSRxDictDataWrapper");
        EXPECT_EQ(out.textOf(300), text);

        KSRxDictDataWrapper back("not yet read");
        out.rewindFiler();
        EXPECT_EQ(back.dxfInFields(&out), Acad::eOk);
        std::string value;
        back.data(value);
        EXPECT_EQ(value, text);
    }
}

TEST_F(WrapperTest, DxfLinesHoldNoLineBreaksAndTheValueComesBackExactly) {
    // Rich Text of a word processor: line breaks, a caret, carets that look like notation.
    const std::string text = "{\\rtf1\r\n\\par x^2 ^J ^ \t\x01}";
    ASSERT_TRUE(KSRxDictData::SetData("0", text));
    KSRxDictDataWrapper* stored = nullptr;
    ASSERT_EQ(acdbOpenObject(stored, EntryId("0"), AcDb::kForRead), Acad::eOk);
    MemoryDxfFiler out(db());
    EXPECT_EQ(stored->dxfOutFields(&out), Acad::eOk);
    stored->close();
    std::string line = out.textOf(300);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(line, "{\\rtf1^M^J\\par x^ 2 ^ J ^  ^I^A}");
    KSRxDictDataWrapper back("not yet read");
    out.rewindFiler();
    ASSERT_EQ(back.dxfInFields(&out), Acad::eOk);
    std::string value;
    back.data(value);
    EXPECT_EQ(value, text);
}

TEST_F(WrapperTest, CaretNotationReadAsWrittenByOthersAndEveryByteComesBack) {
    // A caret before a letter outside the notation, before another caret, and at the very
    // end stands for itself or starts the next pair, as the notation reads left to right.
    const std::pair<const char*, std::string> read[] = {
        {"^^J^a^", std::string("\x1E") + "J^a^"}, {"^", "^"}, {"plain", "plain"}, {"^ ^ ", "^^"},
        {"x^@y", std::string("x\0y", 3)},
    };
    for (const auto& [notation, value] : read) {
        SCOPED_TRACE(notation);
        MemoryDxfFiler in(db());
        resbuf marker{};
        marker.restype = 100;
        marker.resval.rstring = const_cast<char*>("KSRxDictDataWrapper");
        in.writeItem(marker);
        resbuf text{};
        text.restype = 300;
        text.resval.rstring = const_cast<char*>(notation);
        in.writeItem(text);
        in.rewindFiler();
        KSRxDictDataWrapper wrapper("stale");
        ASSERT_EQ(wrapper.dxfInFields(&in), Acad::eOk);
        std::string got;
        wrapper.data(got);
        EXPECT_EQ(got, value);
    }
    // Every byte but NUL, carets at both ends and in runs, through DXF and back.
    std::string all = "^^";
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    all += "^^^";
    KSRxDictDataWrapper original(all.c_str());
    MemoryDxfFiler out(db());
    ASSERT_EQ(original.dxfOutFields(&out), Acad::eOk);
    EXPECT_EQ(out.textOf(300).find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    out.rewindFiler();
    KSRxDictDataWrapper back("stale");
    ASSERT_EQ(back.dxfInFields(&out), Acad::eOk);
    std::string value;
    back.data(value);
    EXPECT_EQ(value, all);
}

TEST_F(WrapperTest, DxfInputWithoutTheTextGroupIsABadSequence) {
    MemoryDxfFiler in(db());
    resbuf marker{};
    marker.restype = 100;
    marker.resval.rstring = const_cast<char*>("KSRxDictDataWrapper");
    in.writeItem(marker);
    resbuf wrong{};
    wrong.restype = 1;
    wrong.resval.rstring = const_cast<char*>("text under another code");
    in.writeItem(wrong);
    in.rewindFiler();
    KSRxDictDataWrapper wrapper("kept");
    EXPECT_EQ(wrapper.dxfInFields(&in), Acad::eBadDxfSequence);
    std::string value;
    wrapper.data(value);
    EXPECT_EQ(value, "kept");
    // The item is left for the reader that comes next.
    resbuf item{};
    ASSERT_EQ(in.readItem(&item), Acad::eOk);
    EXPECT_EQ(item.restype, 1);
}

TEST_F(WrapperTest, DwgFilingKeepsAFullChunkAndTheEmptyText) {
    for (const std::string& value : {std::string(32766, 'q') + "z", std::string()}) {
        SCOPED_TRACE(value.size());
        KSRxDictDataWrapper original(value.c_str());
        cadhost::db::BinaryDwgFiler filer(AcDb::kFileFiler, db());
        EXPECT_EQ(original.dwgOutFields(&filer), Acad::eOk);
        filer.rewind();
        KSRxDictDataWrapper back("stale");
        EXPECT_EQ(back.dwgInFields(&filer), Acad::eOk);
        std::string read;
        back.data(read);
        EXPECT_TRUE(read == value) << read.size();
    }
}

TEST_F(WrapperTest, ClassIsRegisteredWithItsFilingNamesAndNumbers) {
    AcRxClass* cls = static_cast<AcRxClass*>(acrxClassDictionary()->at("KSRxDictDataWrapper"));
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls, KSRxDictDataWrapper::desc());
    ASSERT_NE(cls->myParent(), nullptr);
    EXPECT_STREQ(cls->myParent()->name(), "AcDbObject");
    int maintenance = 0;
    EXPECT_EQ(cls->dwgVersion(maintenance), 25);
    EXPECT_EQ(maintenance, 39);
    EXPECT_EQ(cls->proxyFlags(), 0);
    EXPECT_STREQ(cls->dxfName(), "ASDKMYCLASS");
    EXPECT_STREQ(cls->appName(), "SAMP2");
    AcRxObject* made = cls->create();
    ASSERT_NE(KSRxDictDataWrapper::cast(made), nullptr);
    std::string value = "stale";
    KSRxDictDataWrapper::cast(made)->data(value);
    EXPECT_EQ(value, "");
    delete made;
    // A second registration keeps the class.
    KSRxDictDataWrapper::rxInit();
    EXPECT_EQ(acrxClassDictionary()->at("KSRxDictDataWrapper"), cls);
}

TEST_F(WrapperTest, ANameTakenByAnotherClassAborts) {
    KSRxDictDataWrapper::rxUninit();
    AcRxClass* foreign = newAcRxClass("KSRxDictDataWrapper", "AcDbObject");
    EXPECT_DEATH(KSRxDictDataWrapper::rxInit(), "Class mismatch");
    deleteAcRxClass(foreign);
    KSRxDictDataWrapper::rxInit();
}

namespace {

// The module itself, started and unloaded as the host's loader does.
class WrapperModuleTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
    }
    void TearDown() override {
        DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
        g_InstallFolder.clear();
        HostTest::TearDown();
    }
};

} // namespace

TEST_F(WrapperModuleTest, StartUpRegistersTheClassAndUnloadRemovesIt) {
    ASSERT_EQ(acrxClassDictionary()->at("KSRxDictDataWrapper"), nullptr);
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kAutoWrite), Acad::eOk);
    ASSERT_EQ(acrxEntryPoint(AcRx::kInitAppMsg, nullptr), AcRx::kRetOK);
    acDocManager->unlockDocument(doc);
    auto* cls = static_cast<AcRxClass*>(acrxClassDictionary()->at("KSRxDictDataWrapper"));
    ASSERT_NE(cls, nullptr);
    ASSERT_NE(cls->myParent(), nullptr);
    EXPECT_STREQ(cls->myParent()->name(), "AcDbObject");
    acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr);
    EXPECT_EQ(acrxClassDictionary()->at("KSRxDictDataWrapper"), nullptr);
}
