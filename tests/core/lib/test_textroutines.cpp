#include <gtest/gtest.h>

#include "core/lib/textroutines.h"
#include "platform/text/tstringlist.h"
#include "qstringprinter.h"

using namespace tev;

namespace {

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

} // namespace

TEST(TrimText, RemovesControlCharactersAndBlanksOnly)
{
    EXPECT_EQ(TrimText(U("\t\r\n x y \x01")), U("x y"));
    EXPECT_EQ(TrimText(QStringLiteral("\u00A0x\u00A0")), QStringLiteral("\u00A0x\u00A0"));
    EXPECT_TRUE(IsEmptyString(U(" \t\r\n")));
    EXPECT_TRUE(IsEmptyString(QString()));
    EXPECT_FALSE(IsEmptyString(U(" . ")));
}

TEST(Padding, FillsUpToTheWidthAndNeverCuts)
{
    struct Case
    {
        const char *s;
        int width;
        char pad;
        const char *left;
        const char *right;
    };
    const Case cases[] = {
        {"abc", 2, ' ', "abc", "abc"}, {"7", 3, '0', "007", "700"}, {"ab", 2, '*', "ab", "ab"},
        {"", 2, ' ', "  ", "  "},      {"x", -1, ' ', "x", "x"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PadLeft(U(c.s), c.width, QLatin1Char(c.pad)), U(c.left)) << c.s;
        EXPECT_EQ(PadRight(U(c.s), c.width, QLatin1Char(c.pad)), U(c.right)) << c.s;
    }
    EXPECT_EQ(PadLeft(U("a"), 3), U("  a"));
}

TEST(SeparatorStrToArray, TrimsOnlyTheLastElement)
{
    struct Case
    {
        const char *s;
        QStringList expected;
    };
    const Case cases[] = {
        {"a; b ; c ", {"a", " b ", "c"}}, {"", {""}},           {";", {"", ""}},
        {"x;;", {"x", "", ""}},           {" only ", {"only"}},
    };
    for (const Case &c : cases) {
        QStringList values{U("stale")};
        SeparatorStrToArray(U(c.s), QLatin1Char(';'), values);
        EXPECT_EQ(values, c.expected) << c.s;
    }
}

TEST(SubString, CountsEmptyFieldsFromZero)
{
    struct Case
    {
        const char *s;
        int index;
        const char *expected;
    };
    const Case cases[] = {
        {"a;;c", 0, "a"}, {"a;;c", 1, ""}, {"a;;c", 2, "c"}, {"a;;c", 5, ""},
        {"a;;c", -1, ""}, {"", 0, ""},     {";x", 1, "x"},   {"a;b;", 2, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SubString(U(c.s), c.index, QLatin1Char(';')), U(c.expected))
            << c.s << " at " << c.index;
}

TEST(Capitalize, UpperCasesFirstLetterAndLettersAfterHyphens)
{
    const std::pair<const char *, const char *> cases[] = {
        {"jean-luc", "Jean-Luc"}, {"hELLO", "HELLO"}, {"", ""},         {"-a-b", "-A-B"},
        {"élan", "élan"},         {"1st-x", "1st-X"}, {"a--b", "A--B"}, {"x y", "X y"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(Capitalize(U(in)), U(out)) << in;
}

TEST(TitleCase, KeepsMinorWordsLowerAfterTheFirstWord)
{
    const std::pair<const char *, const char *> cases[] = {
        {"the end of it", "The End Of It"},
        {"the end", "The End"},
        {"(the end) in parentheses", "(the End) In Parentheses"},
        {"", ""},
        {"A TALE OF TWO CITIES", "A TALE OF TWO CITIES"},
        {"war AND peace", "War and Peace"},
        {"to be, or not to be?", "To Be, or Not to Be?"},
        {"x/y:z", "X/Y:Z"},
        {"  two  blanks", "  Two  Blanks"},
        {"jean-luc and an", "Jean-Luc and an"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(TitleCase(U(in)), U(out)) << in;
}

TEST(GetFirstPlaceholder, TakesTheTextBetweenTheMarks)
{
    struct Case
    {
        const char *text;
        char start;
        char end;
        const char *expected;
    };
    const Case cases[] = {
        {"x {name} y", '{', '}', "name"},
        {"x {a}{b}", '{', '}', "a"},
        {"no marks", '{', '}', ""},
        {"only {start", '{', '}', ""},
        {"} before {rest", '{', '}', "rest"},
        {"{}", '{', '}', ""},
        {"a|b|c", '|', '|', "b"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetFirstPlaceholder(U(c.text), QLatin1Char(c.start), QLatin1Char(c.end)),
                  U(c.expected))
            << c.text;
}

TEST(GetNextToken, CutsTheTokenAndOneCharacterAfterIt)
{
    struct Case
    {
        const char *s;
        const char *separators;
        const char *stop;
        const char *token;
        const char *rest;
    };
    const Case cases[] = {
        {"ab,cd", ",", "", "ab", "cd"}, {"abc", ",", "x", "ab", ""},
        {"abc", ",", "", "abc", ""},    {"a;b;c", ";", "", "a", "b;c"},
        {",x", ",", "", "", "x"},       {"ab)cd", ",", ")", "ab", "cd"},
        {"", ",", "", "", ""},          {"a", ",", "xyz", "", ""},
        {"a b", ", ", "", "a", "b"},
    };
    for (const Case &c : cases) {
        QString s = U(c.s);
        EXPECT_EQ(GetNextToken(s, U(c.separators), U(c.stop)), U(c.token)) << c.s;
        EXPECT_EQ(s, U(c.rest)) << c.s;
    }
}

TEST(GetNextToken, TokenLoopAlwaysEnds)
{
    QString s = U("k1=v1;k2=v2;last");
    QStringList tokens;
    for (int guard = 0; !s.isEmpty() && guard < 100; ++guard)
        tokens.append(GetNextToken(s, U(";"), U("=")));
    EXPECT_EQ(tokens, (QStringList{"k1", "v1", "k2", "v2", "las"}));
}

TEST(RemoveEmptyStrings, DeletesEmptyLinesAndKeepsOthersUnchanged)
{
    const QStringList lines{"a", "", "  ", " b ", "\t", ""};
    TStringList trimmed(lines);
    RemoveEmptyStrings(trimmed, true);
    EXPECT_EQ(trimmed.ToStringList(), (QStringList{"a", " b "}));
    TStringList untrimmed(lines);
    RemoveEmptyStrings(untrimmed, false);
    EXPECT_EQ(untrimmed.ToStringList(), (QStringList{"a", "  ", " b ", "\t"}));
}

TEST(AddDistinctStringListItem, UsesTheListsOwnComparison)
{
    TStringList list(QStringList{"Alpha", "Beta"});
    EXPECT_EQ(AddDistinctStringListItem(list, U("beta")), 1);
    EXPECT_EQ(AddDistinctStringListItem(list, U("Gamma")), 2);
    EXPECT_EQ(list.Count(), 3);
    list.SetCaseSensitive(true);
    EXPECT_EQ(AddDistinctStringListItem(list, U("alpha")), 3);

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(U("b"));
    sorted.Add(U("d"));
    EXPECT_EQ(AddDistinctStringListItem(sorted, U("c")), 1);
    EXPECT_EQ(AddDistinctStringListItem(sorted, U("D")), 2);
    EXPECT_EQ(sorted.ToStringList(), (QStringList{"b", "c", "d"}));
}

TEST(AsciiCase, ChangesOnlyAsciiLetters)
{
    EXPECT_EQ(AsciiUpperCase(U("abc-xyz äé 1")), U("ABC-XYZ äé 1"));
    EXPECT_EQ(AsciiLowerCase(U("ABC-XYZ ÄÉ 1")), U("abc-xyz ÄÉ 1"));
}
