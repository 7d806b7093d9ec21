#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QtGlobal>

// Integers packed into byte strings, byte arrays and set storage, as the gauges' binary formats
// and scripts use them. Byte strings are big-endian (most significant byte first); byte arrays
// and sets hold the least significant byte first.
namespace tev {

// The first Len bytes of S (Len 1 to 4) as a big-endian unsigned number; 0 when S is shorter
// or Len is 0 or less. A longer Len keeps the low 32 bits of the first Len bytes.
qint32 ByteStrToInt(const QByteArray &S, int Len);
char ByteToAnsiChar(quint8 Value);
QByteArray IntToByteStr(qint32 Value);
QByteArray SmallIntToByteStr(qint16 Value);
QByteArray WordToByteStr(quint16 Value);
// Fills the first four bytes of B with Value, least significant first; a shorter B receives as
// many of those bytes as it holds, an empty B stays unchanged.
void IntToBytes(qint32 Value, QByteArray &B);
// Copies the low Size bytes of Value (Size 0 to 4) into the set storage ASet, never past its
// end; the other bytes of ASet keep their values.
void IntToSet(qint32 Value, QByteArray &ASet, int Size);
// 0 with its low Size bytes taken from the set storage ASet (as far as it reaches).
qint32 SetToInt(const QByteArray &ASet, int Size);
// The bytes from the stream's current position to its end, one character per byte (the byte's
// value is the character's code, so every byte survives the trip into text).
QString StreamToStr(QIODevice &Stream);

} // namespace tev
