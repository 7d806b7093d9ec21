#include <gtest/gtest.h>

#include "core/lang/languages.h"

using namespace tev;

namespace {

// Restores the program-wide current language after a test.
class CurrentLanguageGuard
{
public:
    CurrentLanguageGuard()
        : m_saved(CurrentLanguage())
    {}
    ~CurrentLanguageGuard() { SetCurrentLanguage(m_saved); }

private:
    quint8 m_saved;
};

} // namespace

TEST(Languages, NamesAndIds)
{
    struct Case
    {
        int id;
        QString name;
    };
    const Case cases[] = {
        {4, "Chinese"},         {7, "Deutsch"},     {9, "English"},      {10, u"Esnañol"_qs},
        {12, u"Français"_qs},   {16, "Italiano"},   {17, "Japanese"},    {21, "Polski"},
        {150, u"Português"_qs}, {0, "Not defined"}, {22, "Not defined"}, {255, "Not defined"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LanguageName(c.id), c.name) << c.id;
    EXPECT_EQ(LanguageByName("Deutsch"), 7);
    EXPECT_EQ(LanguageByName(u"Português"_qs), 150);
    EXPECT_EQ(LanguageByName("Not defined"), 0);
    EXPECT_EQ(LanguageByName("deutsch"), 255);
    EXPECT_EQ(LanguageByName("Klingon"), 255);
}

TEST(Languages, SupportedSetAndStartLanguage)
{
    EXPECT_EQ(SupportedLanguages(), QList<quint8>({7, 9, 16, 150}));
    EXPECT_TRUE(IsSupportedLanguage(150));
    EXPECT_FALSE(IsSupportedLanguage(12));
    EXPECT_FALSE(IsSupportedLanguage(150 + 256));
    EXPECT_EQ(CurrentLanguage(), 9);
}

TEST(Languages, SystemLanguageIsOfferedOrEnglish)
{
    struct Case
    {
        const char *locale;
        int expected;
    };
    const Case cases[] = {
        {"de_DE", 7}, {"de_AT", 7}, {"it_IT", 16}, {"en_US", 9}, {"en_GB", 9},
        {"fr_FR", 9}, {"pt_PT", 9}, {"pt_BR", 9},  {"ja_JP", 9}, {"C", 9},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetSystemLanguage(QLocale(QString::fromLatin1(c.locale))), c.expected)
            << c.locale;
    EXPECT_TRUE(IsSupportedLanguage(GetSystemLanguage()));
}

TEST(Languages, LocalisedTextsUseThirtyTwoBitKeysWithoutFallback)
{
    struct Case
    {
        int id, lang;
        QString expected;
    };
    const Case cases[] = {
        {kTextOK, 9, "OK"},
        {kTextCancel, 9, "Cancel"},
        {kTextCancel, 7, "Abbrechen"},
        {kTextCancel, 16, "Annulla"},
        {kTextCancel, 150, "Cancelar"}, // key 150102, beyond 16 bits
        {kTextSystemLanguage, 9, "Local language (English if local language is not supported)"},
        {kTextCancel, 12, ""}, // a language without texts: no fallback to English
        {103, 9, ""},          // a number without text
        {kTextCancel, -1, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LoadLangString(c.id, c.lang), c.expected) << c.id << "/" << c.lang;
}

TEST(Languages, LangStrFollowsTheCurrentLanguage)
{
    CurrentLanguageGuard guard;
    SetCurrentLanguage(16);
    EXPECT_EQ(LangStr(kTextCancel), "Annulla");
    SetCurrentLanguage(21);
    EXPECT_EQ(LangStr(kTextCancel), "");
    SetCurrentLanguage(9);
    EXPECT_EQ(LangStr(kTextSupportContacts), "Support contacts");
}
