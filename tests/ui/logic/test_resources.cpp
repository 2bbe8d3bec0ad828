// The string table, menus and the language module replacement rule.
#include <gtest/gtest.h>

#include <set>

#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

// An empty folder standing for the one the program lives in.
using velmora::testing::TempDir;

// The language modules in the source tree, wherever the test runs from.
const std::filesystem::path kSourceLangDir = VELMORA_SOURCE_LANG_DIR;

std::vector<int> allStringIds() {
    std::vector<int> v;
#define VELMORA_COLLECT(name, id) v.push_back(id);
    VELMORA_STRING_IDS(VELMORA_COLLECT)
#undef VELMORA_COLLECT
    return v;
}

TEST(StringTable, CoversEveryIdOnceAndNothingElse) {
    std::vector<int> v = allStringIds();
    std::set<int> unique(v.begin(), v.end());
    EXPECT_EQ(unique.size(), v.size()) << "an id is named twice";
    const ResourceModule& fi = ResourceModule::builtIn();
    EXPECT_EQ(fi.stringCount(), unique.size());
    for (int id : v) EXPECT_FALSE(fi.load(id).empty()) << id;
    for (int missing : {40000, 39999, -1}) EXPECT_EQ(fi.load(missing), "") << missing;
}

// Every command that the main window routes is in the menus that send it.
TEST(Menus, CarryTheirCommands) {
    const ResourceModule& fi = ResourceModule::builtIn();
    for (int c : {cmd::kEditAlarm, cmd::kDeleteAlarm}) EXPECT_NE(fi.menuItemText(154, c), "") << c;
    for (int c = 40000; c <= 40016; ++c) {
        if (c == cmd::kEditAlarm || c == cmd::kDeleteAlarm) continue;
        EXPECT_NE(fi.menuItemText(180, c), "") << c;
    }
}

// Only the exact codes are known; anything near one is English.
TEST(Locale, MapsOnlyExactCodes) {
    for (const char* other : {"SV", "se", "", "fi ", " fi", "fin", "da", "sv\n"})
        EXPECT_EQ(localeIdentifier(other), 1033) << other;
}

TEST(Parser, ReadsEscapesMenusAndCaptions) {
    auto m = ResourceModule::parse(
        "\xEF\xBB\xBF# comment\r\n[strings]\r\n40001 \"a\\nb\\t\\\"c\\\\\"  # trailing\r\n"
        "[menu 7]\npopup \"P\"\n  item 5 \"Five\"\n  separator\n  popup \"Q\"\n    item 6 \"Six\"\n  end\nend\n"
        "[dialog 9]\ntitle \"T\"\n3 \"Three\"\n");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->load(40001), "a\nb\t\"c\\");
    ASSERT_NE(m->menu(7), nullptr);
    ASSERT_EQ(m->menu(7)->items.size(), 1u);
    EXPECT_EQ(m->menu(7)->items[0].children.size(), 3u);
    EXPECT_EQ(m->menuItemText(7, 6), "Six");
    EXPECT_EQ(m->dialogCaption(9, 0), "T");
    EXPECT_EQ(m->dialogCaption(9, 3), "Three");
    EXPECT_EQ(m->dialogCaption(9, 4), "");
}

TEST(Parser, RefusesMalformedText) {
    const char* bad[] = {
        "40001 \"outside a section\"\n",
        "[strings]\n40001 \"unterminated\n",
        "[strings]\n40001 \"a\"\n40001 \"twice\"\n",
        "[strings]\n40001 \"bad escape \\q\"\n",
        "[strings]\nabc \"no id\"\n",
        "[strings]\n40001 \"a\" extra\n",
        "[menu 1]\npopup \"P\"\n  item 1 \"x\"\n",
        "[menu 1]\nend\n",
        "[things]\n",
        "[menu]\n",
    };
    for (const char* text : bad) {
        std::string why;
        EXPECT_FALSE(ResourceModule::parse(text, &why)) << text;
        EXPECT_NE(why.find("line "), std::string::npos) << text;
    }
}

TEST(LanguageModule, ReplacesTheWholeTableWithoutFallback) {
    TempDir dir;
    dir.write(ResourceModule::kLanguageModuleFile,
              "[strings]\n40153 \"sv\"\n40011 \"Fel\"\n[menu 180]\npopup \"Arkiv\"\n  item 40006 \"Avsluta\"\nend\n");
    ResourceModule m = chooseResourceModule(dir.path());
    EXPECT_TRUE(m.isLanguageModule());
    EXPECT_EQ(m.load(ids::kCaptionError), "Fel");
    EXPECT_EQ(localeIdentifier(m.languageCode()), 1053);
    // Ids the module lacks are empty, never the Finnish text.
    EXPECT_EQ(m.load(ids::kCaptionQuestion), "");
    EXPECT_EQ(m.menuItemText(180, cmd::kExit), "Avsluta");
    EXPECT_EQ(m.menuItemText(180, cmd::kShowHistory), "");
    EXPECT_EQ(m.menu(154), nullptr);
}

TEST(LanguageModule, BesideTheProgramFirstThenInTheDataDirectory) {
    TempDir program, data;
    data.write(ResourceModule::kLanguageModuleFile, "[strings]\n40011 \"Fel\"\n");
    EXPECT_EQ(chooseResourceModule(program.path(), nullptr, data.path()).load(ids::kCaptionError), "Fel");
    program.write(ResourceModule::kLanguageModuleFile, "[strings]\n40011 \"Error\"\n");
    EXPECT_EQ(chooseResourceModule(program.path(), nullptr, data.path()).load(ids::kCaptionError), "Error");
}

TEST(LanguageModule, AbsentOrBrokenModuleLeavesTheOwnResources) {
    TempDir dir;
    ResourceModule none = chooseResourceModule(dir.path());
    EXPECT_FALSE(none.isLanguageModule());
    EXPECT_EQ(none.load(ids::kCaptionError), "Virhe");

    dir.write("VelmoraLang.txt", "[strings]\n40011 \"Fel\n");
    std::string diagnostic;
    ResourceModule broken = chooseResourceModule(dir.path(), &diagnostic);
    EXPECT_FALSE(broken.isLanguageModule());
    EXPECT_EQ(broken.load(ids::kCaptionError), "Virhe");
    EXPECT_NE(diagnostic.find("VelmoraLang.txt"), std::string::npos);

    // Another name beside the program is not the language module.
    TempDir other;
    other.write("velmoralang.txt", "[strings]\n40011 \"Fel\"\n");
    EXPECT_FALSE(chooseResourceModule(other.path()).isLanguageModule());

    // A module with an empty language code is still a module; English locale.
    other.write("VelmoraLang.txt", "[strings]\n40153 \"\"\n");
    ResourceModule blank = chooseResourceModule(other.path());
    EXPECT_TRUE(blank.isLanguageModule());
    EXPECT_EQ(blank.languageCode(), "");
    EXPECT_EQ(localeIdentifier(blank.languageCode()), 1033);
}

TEST(LanguageModule, EnglishModuleTranslatesEverything) {
    auto en = ResourceModule::fromFile(kSourceLangDir / "en.txt");
    ASSERT_TRUE(en);
    const ResourceModule& fi = ResourceModule::builtIn();
    for (int id : allStringIds()) EXPECT_FALSE(en->load(id).empty()) << id;
    for (int menuId : {154, 155, 173, 180}) {
        ASSERT_NE(en->menu(menuId), nullptr);
        for (int c = 40000; c <= 40016; ++c) {
            EXPECT_EQ(fi.menuItemText(menuId, c).empty(), en->menuItemText(menuId, c).empty())
                << menuId << " " << c;
            if (!fi.menuItemText(menuId, c).empty()) {
                EXPECT_NE(fi.menuItemText(menuId, c), en->menuItemText(menuId, c)) << c;
            }
        }
    }
    // The built-in table is the same file as the Finnish module in the tree.
    auto fiFile = ResourceModule::fromFile(kSourceLangDir / "fi.txt");
    ASSERT_TRUE(fiFile);
    for (int id : allStringIds()) EXPECT_EQ(fiFile->load(id), fi.load(id)) << id;
}

TEST(Language, TheDesktopsLanguageIsFoundAsGettextFindsIt) {
    struct Row {
        const char *language, *lcAll, *lcMessages, *lang;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char* code;
    } rows[] = {
        {"", "", "", "", "en"},
        {"", "", "", "fi_FI.UTF-8", "fi"},
        {"", "", "", "fi", "fi"},
        {"", "", "fi_FI@euro", "en_GB.UTF-8", "fi"},
        {"", "en_US.UTF-8", "fi_FI.UTF-8", "fi_FI.UTF-8", "en"},
        {"", "", "", "sv_FI.UTF-8", "en"},
        {"sv:fi:en", "", "", "en_US.UTF-8", "fi"},
        {"en_GB:fi", "", "", "fi_FI.UTF-8", "en"},
        {"sv", "", "", "fi_FI.UTF-8", "en"},       // no module of the list: untranslated
        {"fi", "C", "", "", "en"},                 // LANGUAGE is ignored in the C locale
        {"fi", "", "", "C.UTF-8", "en"},
        {"fi", "", "", "", "en"},
        {"", "", "", "fil_PH.UTF-8", "en"},        // Filipino is not Finnish
    };
    for (const Row& row : rows) {
        const LanguageEnvironment env{row.language, row.lcAll, row.lcMessages, row.lang, "", ""};
        EXPECT_EQ(desktopLanguage(env), row.code) << row.language << "|" << row.lcAll << "|" << row.lcMessages
                                                  << "|" << row.lang;
    }
}

TEST(Language, AModuleBesideTheProgramThenTheMenusChoiceThenTheDesktop) {
    // An installed program: prefix/bin/velmora and prefix/share/velmora/lang.
    TempDir prefix, config;
    prefix.write("share/velmora/lang/en.txt", "[strings]\n40153 \"en\"\n");
    const std::filesystem::path bin = prefix.path() / "bin";
    std::filesystem::create_directories(bin);
    LanguageEnvironment env{"", "", "", "fi_FI.UTF-8", config.path().string(), "/nonexistent"};
    const auto code = [&] { return chooseResourceModule(bin, nullptr, {}, env).languageCode(); };
    EXPECT_EQ(code(), "fi");
    env.lang = "en_US.UTF-8";
    EXPECT_EQ(code(), "en");

    const std::filesystem::path file = configurationFile(env);
    EXPECT_EQ(file, config.path() / "velmora" / "velmora.conf");
    // What else the file holds stays: that is the window placement's test of the same writer.
    Text reason;
    ASSERT_TRUE(saveChosenLanguage(file, "fi", reason)) << reason;
    EXPECT_EQ(code(), "fi") << "the menu's choice wins over the desktop";

    prefix.write("bin/VelmoraLang.txt", "[strings]\n40153 \"sv\"\n");
    EXPECT_EQ(code(), "sv") << "the module beside the program wins over everything";

    // Where the configuration lives without XDG_CONFIG_HOME, or with a relative one.
    for (const char* configHome : {"", "relative/dir"}) {
        EXPECT_EQ(configurationFile({"", "", "", "", configHome, "/home/aino"}),
                  std::filesystem::path("/home/aino/.config/velmora/velmora.conf"));
    }
    EXPECT_TRUE(configurationFile({}).empty());
}

}  // namespace
}  // namespace velmora
