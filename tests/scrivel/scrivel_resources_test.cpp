#include "scrivel/registrar_script.h"
#include "scrivel/resources.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrivelResources, RegistrarScriptDescribesTheApplicationIdentity) {
    std::optional<std::string_view> script = scrivel::FindRegistrarScript(101);
    ASSERT_TRUE(script);
    EXPECT_NE(script->find("'%APPID%'"), std::string_view::npos);
    EXPECT_FALSE(scrivel::FindRegistrarScript(102));

    std::string error;
    auto parsed = scrivel::ParseRegistrarScript(*script, {{"APPID", "{X}"}}, &error);
    ASSERT_TRUE(parsed) << error;
    ASSERT_EQ(parsed->roots.size(), 1u);
    EXPECT_EQ(parsed->roots[0].hive, HKEY_CLASSES_ROOT);
    ASSERT_EQ(parsed->roots[0].entries.size(), 1u);
    const scrivel::RegistrarEntry& appIds = parsed->roots[0].entries[0];
    EXPECT_EQ(appIds.name, "AppID");
    EXPECT_TRUE(appIds.noRemove);
    ASSERT_EQ(appIds.children.size(), 2u);
    EXPECT_EQ(appIds.children[0].name, "{X}");
    ASSERT_TRUE(appIds.children[0].value);
    EXPECT_EQ(appIds.children[0].value->text, "Scrivel");
    EXPECT_FALSE(appIds.children[0].noRemove);
    EXPECT_EQ(appIds.children[1].name, "Scrivel.EXE");
    ASSERT_EQ(appIds.children[1].children.size(), 1u);
    const scrivel::RegistrarEntry& value = appIds.children[1].children[0];
    EXPECT_EQ(value.kind, scrivel::RegistrarEntry::Kind::Value);
    EXPECT_EQ(value.name, "AppID");
    EXPECT_EQ(value.value->text, "{X}");
}

TEST(ScrivelResources, TypeLibraryStringsAndVersion) {
    const scrivel::TypeLibraryResource* library = scrivel::FindTypeLibrary(1);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->name, "ScrivelLib");
    EXPECT_EQ(library->majorVersion, 1);
    EXPECT_EQ(library->minorVersion, 0);
    EXPECT_EQ(library->lcid, 1033u);
    EXPECT_EQ(library->helpString, "Scrivel 1.0 Type Library");
    EXPECT_EQ(library->typeCount, 0u);
    EXPECT_EQ(library->libId, scrivel::kLibId);
    EXPECT_NE(scrivel::kLibId, scrivel::kAppId);
    EXPECT_EQ(scrivel::FindTypeLibrary(2), nullptr);

    EXPECT_EQ(scrivel::LoadStringResource(100), "Scrivel");
    EXPECT_FALSE(scrivel::LoadStringResource(101));

    const scrivel::VersionResource* version = scrivel::FindVersionResource(1);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->fileVersion, (std::array<WORD, 4>{1, 0, 0, 1}));
    EXPECT_EQ(version->Value("FileVersion"), "1.0.0.1");
    EXPECT_EQ(version->Value("InternalName"), "Scrivel.exe");
    EXPECT_EQ(version->Value("OriginalFilename"), "Scrivel.exe");
    EXPECT_EQ(version->Value("OLESelfRegister"), "");
    EXPECT_FALSE(version->Value("Comments"));
}

} // namespace
