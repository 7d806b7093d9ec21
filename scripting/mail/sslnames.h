#pragma once

#include <QString>
#include <QtGlobal>

namespace tev {

// Names of the SSL modes, SSL versions and TLS modes, so that scripts can fill choice lists and
// store a choice as text. The values are those scripts already store; the mail component uses
// the SSL versions and TLS modes, the SSL modes only have names.

// Script type "TIdSSLMode".
enum class SSLMode : quint8 { Unassigned = 0, Client = 1, Server = 2, Both = 3 };

// Script type "TIdUseTLS". Port 25 gives No, 587 Explicit (STARTTLS), any other port Implicit.
enum class TLSMode : quint8 { No = 0, Implicit = 1, Required = 2, Explicit = 3 };

// SSL versions are plain integers in scripts. SSL 2 and SSL 3 are no longer available from the
// TLS library; SSL 23 means "negotiate the best"; the TLS values are minimums.
enum SSLVersion : int {
    SSLVersionSSL2 = 0,
    SSLVersionSSL23 = 1,
    SSLVersionSSL3 = 2,
    SSLVersionTLS10 = 3,
    SSLVersionTLS11 = 4,
    SSLVersionTLS12 = 5,
};

// The script constant "DefaultSSLVersion".
inline constexpr int DefaultSSLVersion = SSLVersionTLS12;

// The four SSL mode names in value order, joined with CR LF, no line break at the end.
QString GetSSLModesText();
// The name of a mode; empty for a value outside 0 to 3.
QString SSLModeToText(SSLMode mode);
// The first mode whose name equals the text exactly (case-sensitive); Unassigned when none does.
SSLMode SSLModeFromText(const QString &text);

// The six SSL version names in value order, joined with CR LF, no line break at the end.
QString GetSSLVersionsText();
// The name of a version; only the low seven bits count; "Unknown" above 5.
QString SSLVersionToText(int version);
// Reads "TLS 1.2", "tlsv1.2", "TLS1.2", "SSLv23" and the like, without regard to case;
// TLS 1.2 when nothing matches.
int SSLVersionFromText(const QString &text);

// The four TLS mode names in value order, joined with CR LF, no line break at the end.
QString GetTLSModes();
// The name of a mode; empty for a value outside 0 to 3.
QString TLSModeToText(TLSMode mode);
// The first mode whose name equals the text exactly (case-sensitive); Implicit when none does.
TLSMode TLSModeFromText(const QString &text);

} // namespace tev
