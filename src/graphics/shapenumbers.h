// Numbers as the text form of a shape writes them, read straight from the UTF-16 characters.
// Only the plain forms are read here ("-12", "ff969696", "-0.020043"); each function stops at
// the first character that does not belong to the form and gives where it stopped, or null
// when the form is not plain (an exponent, a long mantissa, a stray sign). The caller then
// reads the value the slow way, which gives the same value for every form read here.
#pragma once

#include <QtGlobal>
#include <array>
#include <iterator>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

#ifdef __SSE2__
// Eight hex digits at once, as flags are written: true with their value when all eight are hex
// digits. `from` must hold eight characters.
inline bool EightHexDigits(const char16_t* from, quint32* value) {
    // Compared without sign: the top bit is flipped for the signed comparison.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i digits = _mm_sub_epi16(chars, _mm_set1_epi16(u'0'));
    const __m128i letters =
        _mm_sub_epi16(_mm_or_si128(chars, _mm_set1_epi16(0x20)), _mm_set1_epi16(u'a'));
    const __m128i isDigit =
        _mm_cmplt_epi16(_mm_xor_si128(digits, flip), _mm_set1_epi16(short(0x8000 + 10)));
    const __m128i isLetter =
        _mm_cmplt_epi16(_mm_xor_si128(letters, flip), _mm_set1_epi16(short(0x8000 + 6)));
    if (_mm_movemask_epi8(_mm_or_si128(isDigit, isLetter)) != 0xFFFF)
        return false;
    // The digit of each character, the first one the highest.
    const __m128i nibbles =
        _mm_or_si128(_mm_and_si128(isDigit, digits),
                     _mm_andnot_si128(isDigit, _mm_add_epi16(letters, _mm_set1_epi16(10))));
    // Pairs of digits into bytes, then the four bytes in order into one word.
    const __m128i pairs = _mm_madd_epi16(nibbles, _mm_set1_epi32(0x00010010));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(pairs, pairs), pairs);
    const quint32 inOrder = quint32(_mm_cvtsi128_si32(bytes));
    *value = inOrder >> 24 | (inOrder >> 8 & 0xFF00) | (inOrder << 8 & 0xFF0000) | inOrder << 24;
    return true;
}
#endif

// One to eight hex digits.
inline const char16_t* PlainHex(const char16_t* from, const char16_t* end, quint32* value) {
#ifdef __SSE2__
    if (end - from >= 8 && (end - from == 8 || numbers::HexDigit(from[8]) == 16) &&
        EightHexDigits(from, value))
        return from + 8;
#endif
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
