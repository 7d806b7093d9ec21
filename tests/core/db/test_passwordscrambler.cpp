#include "core/db/passwordscrambler.h"

#include <gtest/gtest.h>

using namespace tev;

namespace {

struct Vector
{
    const char *plain;
    const char *scrambled;
};

// Stored connection files were written with this exact form.
const Vector Vectors[] = {
    {"plumtrees", "BqSJx/blikOh"},
    {"a", "QC"},
    {"ab", "QWM"},
    {"abc", "QWMb"},
    {"abcd", "QWMbeB"},
    {"", ""},
};

} // namespace

TEST(PasswordScrambler, KnownVectorsWithTheConnectionKey)
{
    for (const Vector &v : Vectors) {
        SCOPED_TRACE(v.plain);
        EXPECT_EQ(EncryptString(v.plain, ConnectionPasswordKey), QByteArray(v.scrambled));
        EXPECT_EQ(DecryptString(v.scrambled, ConnectionPasswordKey), QByteArray(v.plain));
    }
}

TEST(PasswordScrambler, EveryByteValueRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    for (quint16 key : {quint16(0), quint16(61742), quint16(65535)}) {
        const QByteArray scrambled = EncryptString(all, key);
        EXPECT_EQ(DecryptString(scrambled, key), all) << key;
        for (char ch : scrambled)
            EXPECT_TRUE(
                QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
                    .contains(ch));
    }
}

TEST(PasswordScrambler, LengthGrowsByOneCharacterPerStartedBlock)
{
    const int expected[] = {0, 2, 3, 4, 6, 7, 8, 10};
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(EncryptString(QByteArray(n, 'x'), ConnectionPasswordKey).size(), expected[n])
            << n;
}

TEST(PasswordScrambler, DamagedTextGivesSomeOtherPasswordWithoutError)
{
    // A lone character in the last block carries no byte.
    EXPECT_EQ(DecryptString("QWMbe", ConnectionPasswordKey),
              DecryptString("QWMb", ConnectionPasswordKey));
    // Characters outside the alphabet count as 0.
    EXPECT_EQ(DecryptString("Q*", ConnectionPasswordKey),
              DecryptString("QA", ConnectionPasswordKey));
    EXPECT_NE(DecryptString("QD", ConnectionPasswordKey), QByteArray("a"));
}
