#include "windows1250.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <memory>

namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    // Indexed by UTF-16 code unit; 0 means "no byte", except for U+0000 itself.
    std::unique_ptr<uint8_t[]> fromUnicode{new uint8_t[0x10000]()};
};

Tables buildTables() {
    Tables t;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-1250", &status);
    for (int b = 0; b < 256; ++b) {
        char16_t u = char16_t(b); // undefined bytes keep their number as a C1 control
        if (conv && U_SUCCESS(status)) {
            UErrorCode err = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
            const char in = char(b);
            UChar out[4];
            err = U_ZERO_ERROR;
            const int32_t n = ucnv_toUChars(conv, out, 4, &in, 1, &err);
            if (U_SUCCESS(err) && n == 1)
                u = out[0];
        } else if (b >= 0x80) {
            u = 0xfffd; // no converter: refuse high bytes rather than guess
        }
        t.toUnicode[size_t(b)] = u;
    }
    if (conv)
        ucnv_close(conv);
    for (int b = 255; b >= 1; --b) {
        const char16_t u = t.toUnicode[size_t(b)];
        if (u != 0xfffd)
            t.fromUnicode[u] = uint8_t(b);
    }
    return t;
}

const Tables& tables() {
    static const Tables t = buildTables();
    return t;
}

void decodeInto(QByteArrayView bytes, char16_t* dst) {
    const auto& table = tables().toUnicode;
    const auto* src = reinterpret_cast<const uint8_t*>(bytes.data());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        dst[i] = table[src[i]];
}

} // namespace

namespace Windows1250 {

void decodeAppend(QByteArrayView bytes, QString& out) {
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    decodeInto(bytes, reinterpret_cast<char16_t*>(out.data()) + start);
}

QString decode(QByteArrayView bytes) {
    // Made at its full length at once: the loader decodes two names a line.
    QString out(bytes.size(), Qt::Uninitialized);
    decodeInto(bytes, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

bool canEncode(QStringView text, qsizetype* badIndex) {
    const uint8_t* table = tables().fromUnicode.get();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u != 0 && table[u] == 0) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
    }
    return true;
}

qsizetype encodeTo(QStringView text, char* out) {
    const uint8_t* table = tables().fromUnicode.get();
    const char16_t* src = text.utf16();
    // One look-up a character, ASCII included: a branch on the kind of character would be
    // mispredicted at every letter with a diacritic.
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const uint8_t b = table[src[i]];
        if (b == 0 && src[i] != 0)
            return i;
        out[i] = char(b);
    }
    return -1;
}

bool encodeAppend(QStringView text, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    if (encodeTo(text, out.data() + start) < 0)
        return true;
    out.resize(start);
    return false;
}

} // namespace Windows1250
