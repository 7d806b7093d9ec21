#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tev {

// The scrambling of the password stored in the connection file. Stored files rely on the exact
// form: a running xor key over the bytes, then six-bit characters of the Base64 alphabet packed
// least significant bits first, without fill characters. It hides the password from a casual
// reader; it is not encryption.

// The key with which the connection file's password is scrambled.
inline constexpr quint16 ConnectionPasswordKey = 61742;

QByteArray EncryptString(const QByteArray &text, quint16 key);
// Characters outside the alphabet count as 0 and a damaged text gives some other password, never
// an error: the connect that follows fails instead.
QByteArray DecryptString(const QByteArray &text, quint16 key);

} // namespace tev
