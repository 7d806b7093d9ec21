#include "scripting/mail/sslnames.h"

#include <gtest/gtest.h>

namespace {

using namespace tev;

TEST(SSLNames, JoinedListsInValueOrder)
{
    EXPECT_EQ(GetSSLModesText(), QStringLiteral("Unassigned\r\nClient\r\nServer\r\nBoth"));
    EXPECT_EQ(GetSSLVersionsText(),
              QStringLiteral("SSL 2\r\nSSL 23\r\nSSL 3\r\nTLS 1.0\r\nTLS 1.1\r\nTLS 1.2"));
    EXPECT_EQ(GetTLSModes(), QStringLiteral("No\r\nImplicit\r\nRequired\r\nExplicit"));
}

TEST(SSLNames, ModesToText)
{
    const std::pair<int, const char *> ssl[] = {{0, "Unassigned"}, {1, "Client"}, {2, "Server"},
                                                {3, "Both"},       {4, ""},       {255, ""}};
    for (const auto &[value, name] : ssl)
        EXPECT_EQ(SSLModeToText(static_cast<SSLMode>(value)), QLatin1String(name)) << value;
    const std::pair<int, const char *> tls[] = {{0, "No"},       {1, "Implicit"}, {2, "Required"},
                                                {3, "Explicit"}, {4, ""},         {200, ""}};
    for (const auto &[value, name] : tls)
        EXPECT_EQ(TLSModeToText(static_cast<TLSMode>(value)), QLatin1String(name)) << value;
}

TEST(SSLNames, ModesFromTextAreExactAndFallBack)
{
    const std::pair<const char *, SSLMode> ssl[] = {
        {"Client", SSLMode::Client}, {"client", SSLMode::Unassigned}, {"Both", SSLMode::Both},
        {"Server", SSLMode::Server}, {" Both", SSLMode::Unassigned},  {"", SSLMode::Unassigned},
    };
    for (const auto &[text, mode] : ssl)
        EXPECT_EQ(SSLModeFromText(QString::fromLatin1(text)), mode) << text;
    const std::pair<const char *, TLSMode> tls[] = {
        {"No", TLSMode::No},
        {"Explicit", TLSMode::Explicit},
        {"Required", TLSMode::Required},
        {"explicit", TLSMode::Implicit},
        {"STARTTLS", TLSMode::Implicit},
        {"", TLSMode::Implicit},
    };
    for (const auto &[text, mode] : tls)
        EXPECT_EQ(TLSModeFromText(QString::fromLatin1(text)), mode) << text;
}

TEST(SSLNames, VersionToTextUsesLowSevenBits)
{
    const std::pair<int, const char *> cases[] = {
        {0, "SSL 2"},
        {1, "SSL 23"},
        {2, "SSL 3"},
        {3, "TLS 1.0"},
        {4, "TLS 1.1"},
        {5, "TLS 1.2"},
        {6, "Unknown"},
        {127, "Unknown"},
        {128 + 3, "TLS 1.0"},
        {-1, "Unknown"},
        {DefaultSSLVersion, "TLS 1.2"},
    };
    for (const auto &[value, name] : cases)
        EXPECT_EQ(SSLVersionToText(value), QLatin1String(name)) << value;
}

TEST(SSLNames, VersionFromText)
{
    const std::pair<const char *, int> cases[] = {
        {"TLS 1.2", 5}, {"tlsv1.2", 5}, {"TLS1.2", 5}, {"TLS 1.0", 3}, {"tlsv1.1", 4},
        {"SSLv23", 1},  {"ssl 3", 2},   {"SSL 2", 0},  {"sslv2", 0},   {"TLS  1.0 ", 3},
        {"Tls1.0", 3},  {"TLS 1.3", 5}, {"http", 5},   {"", 5},        {"1.0", 5},
        {"TLS", 5},     {"SSL 2x", 5},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(SSLVersionFromText(QString::fromLatin1(text)), value) << text;
}

} // namespace
