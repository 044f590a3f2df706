#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The data file and the report are Windows-1250 text. The byte table is taken once from ICU's
// windows-1250 converter; the five bytes that code page leaves undefined (0x81, 0x83, 0x88, 0x90,
// 0x98) read as the C1 control characters of the same number and are written back as those bytes,
// so a file always survives loading and saving unchanged.
namespace Windows1250 {

QString decode(QByteArrayView bytes);
// Appends the decoded bytes to out.
void decodeAppend(QByteArrayView bytes, QString& out);

// True when every character of text has a byte in Windows-1250. When it has not, badIndex (if
// given) receives the position of the first character that has none.
bool canEncode(QStringView text, qsizetype* badIndex = nullptr);

// Appends the encoded text to out. Returns false, leaving out as it was, when a character has no
// byte in Windows-1250: nothing is ever replaced by "?".
bool encodeAppend(QStringView text, QByteArray& out);
// Writes the encoded text, one byte a character, to out. Returns -1, or the position of the first
// character that has no byte (what is at out from there on is then undefined).
qsizetype encodeTo(QStringView text, char* out);

} // namespace Windows1250
