// Numbers as the text form of a shape writes them, read straight from the UTF-16 characters.
// Only the plain forms are read here ("-12", "ff969696", "-0.020043"); each function stops at
// the first character that does not belong to the form and gives where it stopped, or null
// when the form is not plain (an exponent, a long mantissa, a stray sign). The caller then
// reads the value the slow way, which gives the same value for every form read here.
#pragma once

#include <QtGlobal>
#include <array>
#include <iterator>

namespace qv {

namespace numbers {

inline bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The values of the hex digits among the first 128 characters; 16 for every other character.
inline constexpr std::array<quint8, 128> kHexValues = [] {
    std::array<quint8, 128> values{};
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (c >= '0' && c <= '9')
            values[c] = quint8(c - '0');
        else if (c >= 'a' && c <= 'f')
            values[c] = quint8(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            values[c] = quint8(c - 'A' + 10);
        else
            values[c] = 16;
    }
    return values;
}();

inline quint32 HexDigit(char16_t c) {
    return c < 128 ? kHexValues[c] : 16;
}

} // namespace numbers

// An optional "-" and one to nine decimal digits.
inline const char16_t* PlainInt(const char16_t* from, const char16_t* end, qint32* value) {
    const bool negative = from < end && *from == u'-';
    if (negative)
        ++from;
    const char16_t* digits = from;
    // Nine digits always fit 32 bits; a tenth is read only to refuse the number.
    const char16_t* last = end - from > 10 ? from + 10 : end;
    qint64 result = 0;
    for (; from < last && numbers::IsDigit(*from); ++from)
        result = result * 10 + (*from - u'0');
    if (from == digits || from - digits > 9)
        return nullptr;
    *value = qint32(negative ? -result : result);
    return from;
}

// One to eight hex digits.
inline const char16_t* PlainHex(const char16_t* from, const char16_t* end, quint32* value) {
    const char16_t* digits = from;
    const char16_t* last = end - from > 9 ? from + 9 : end;
    quint32 result = 0;
    for (quint32 digit; from < last && (digit = numbers::HexDigit(*from)) < 16; ++from)
        result = result << 4 | digit;
    if (from == digits || from - digits > 8)
        return nullptr;
    *value = result;
    return from;
}

// An optional sign, digits, and optionally "." and more digits, whose digits (without leading
// zeros) fit a float's 24-bit mantissa with at most ten after the point: the quotient of two
// exact floats, rounded once, which is the nearest float to the decimal.
inline const char16_t* PlainFloat(const char16_t* from, const char16_t* end, float* value) {
    // Powers of ten up to 1e10 are exact in a float (5^10 < 2^24).
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                        1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr quint32 kExactMantissa = 1u << 24;
    bool negative = false;
    if (from < end && (*from == u'-' || *from == u'+')) {
        negative = *from == u'-';
        ++from;
    }
    quint32 mantissa = 0;
    const char16_t* digits = from;
    for (; from < end && numbers::IsDigit(*from); ++from) {
        mantissa = mantissa * 10 + (*from - u'0');
        if (mantissa > kExactMantissa)
            return nullptr;
    }
    if (from == digits)
        return nullptr;
    int decimals = 0;
    if (from < end && *from == u'.') {
        const char16_t* fraction = ++from;
        for (; from < end && numbers::IsDigit(*from); ++from) {
            mantissa = mantissa * 10 + (*from - u'0');
            if (mantissa > kExactMantissa)
                return nullptr;
        }
        decimals = int(from - fraction);
        if (decimals == 0 || decimals >= int(std::size(kPowers)))
            return nullptr;
    }
    const float magnitude = float(mantissa) / kPowers[decimals];
    *value = negative ? -magnitude : magnitude;
    return from;
}

} // namespace qv
