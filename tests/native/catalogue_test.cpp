#include "app/core/catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "support/core/text.h"

namespace {

// What every entry must hold, whatever its words: a unique key, a text in
// every language with the same placeholders, and Windows-1252 bytes (an
// umlaut typed into the source as UTF-8 would show as two letters).
TEST(Catalogue, EveryEntryInEveryLanguage) {
    std::set<std::string> keys;
    for (const CatalogueEntry& entry : MessageCatalogue) {
        SCOPED_TRACE(entry.key);
        EXPECT_TRUE(keys.insert(entry.key).second) << "a key twice";
        auto placeholders = [](std::string_view text) {
            std::multiset<std::string> found;
            for (const char* p : {"%name%", "%count%", "%path%"})
                for (size_t at = text.find(p); at != std::string_view::npos; at = text.find(p, at + 1)) found.insert(p);
            return found;
        };
        for (const char* text : entry.texts) {
            ASSERT_NE(text, nullptr);
            EXPECT_NE(std::string_view(text), "");
            EXPECT_EQ(placeholders(text), placeholders(entry.texts[0])) << text;
            for (std::string_view t = text; t.size() >= 2; t.remove_prefix(1))
                EXPECT_FALSE((unsigned char)t[0] >= 0xC2 && (unsigned char)t[0] <= 0xF4 &&
                             (unsigned char)t[1] >= 0x80 && (unsigned char)t[1] <= 0xBF)
                    << "UTF-8 in " << text;
        }
    }
}

TEST(Catalogue, MenuItemsHaveOneAccessKeyEachAndNoneTwice) {
    for (int language : {0, 1}) {
        std::string keys;
        for (Msg item : {Msg::kMenuStart, Msg::kMenuRename, Msg::kMenuLoad, Msg::kMenuReplace, Msg::kMenuEditor,
                         Msg::kMenuDelete, Msg::kMenuFolder}) {
            std::string text = CatalogueTextFor(item, language);
            size_t amp = text.find('&');
            ASSERT_NE(amp, std::string::npos) << text;
            ASSERT_EQ(text.find('&', amp + 1), std::string::npos) << text;
            std::string key = LowerName(text.substr(amp + 1, 1));
            EXPECT_EQ(keys.find(key), std::string::npos) << "access key " << key << " twice, language " << language;
            keys += key;
        }
    }
}

// A value below 0 reads as German, above 1 as English (a blank window otherwise).
TEST(Catalogue, LanguagesOutsideTheTable) {
    EXPECT_EQ(CatalogueTextFor(Msg::kQuitButton, -1), "Beenden");
    EXPECT_EQ(CatalogueTextFor(Msg::kQuitButton, -2147483647 - 1), "Beenden");
    EXPECT_EQ(CatalogueTextFor(Msg::kQuitButton, 2), "Quit");
    EXPECT_EQ(CatalogueTextFor(Msg::kQuitButton, 2147483647), "Quit");
}

TEST(Catalogue, NameGoesIntoThePlaceholderInQuotes) {
    // The catalogue leaves the placeholder alone; the caller fills it in.
    EXPECT_EQ(CatalogueTextFor(Msg::kDeleteQuestion, 0),
              "Soll das das Projekt %name% wirklich aus der Liste entfernt werden?");
    std::string find = CatalogueTextFor(Msg::kNotFound, 1);
    EXPECT_EQ(find, "Cannot find the project %name%!");
    const struct {
        const char* message;
        const char* name;
        const char* expected;
    } cases[] = {
        {find.c_str(), "x", "Cannot find the project \"x\"!"},
        {"%name%%name%", "", "\"\"\"\""},
        {"%%name%%", "b", "%\"b\"%"},
        {"%n\xC1me%", "c", "%n\xC1me%"},  // only ASCII letters fold
        {"no placeholder", "x", "no placeholder"},
    };
    for (const auto& c : cases) EXPECT_EQ(InsertQuotedName(c.message, c.name), c.expected) << c.message;
}

}  // namespace
