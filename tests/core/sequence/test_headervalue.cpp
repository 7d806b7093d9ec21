// The one-line notation of header values.
#include "core/lib/qstringprinter.h"
#include "core/sequence/headervalue.h"

#include <gtest/gtest.h>

using namespace tev;

// The notation of line breaks keeps what files have always held, and every text goes through it
// unchanged, backslashes included.
TEST(HeaderValueEscapes, EveryValueRoundTripsAndStoredTextsReadAsBefore)
{
    const std::pair<QString, QString> written[] = {
        {"a\r\nb", "a\\r\\nb"},
        {"a\nb", "a\\nb"},
        {"a\rb", "a\\rb"},
        {"\n\r", "\\n\\r"},
        {"C:\\new\\rates", "C:\\\\new\\\\rates"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"a\\\r\n", "a\\\\\\r\\n"},
        {"ends in \\", "ends in \\"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto &[value, text] : written) {
        EXPECT_EQ(EscapeHeaderValue(value), text) << value.toStdString();
        EXPECT_EQ(UnescapeHeaderValue(text), value) << text.toStdString();
        EXPECT_FALSE(text.contains('\r') || text.contains('\n')) << text.toStdString();
    }
    // Texts as stored files hold them.
    EXPECT_EQ(UnescapeHeaderValue("Pump housing\\r\\nDrawing 4711-03"),
              "Pump housing\r\nDrawing 4711-03");
    EXPECT_EQ(UnescapeHeaderValue("\\\\server\\share\\x.png"), "\\\\server\\share\\x.png");
}
