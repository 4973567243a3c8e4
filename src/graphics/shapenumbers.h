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

// The decimal digits from `from` on, at most `kMost` of them, appended to *value: where they
// end. The text must hold `kMost` characters, so that no digit needs a look at its end.
template <int kMost> inline const char16_t* AddDigits(const char16_t* from, quint64* value) {
    quint64 result = *value;
    int n = 0;
#pragma GCC unroll 16
    for (; n < kMost; ++n) {
        const quint32 digit = quint32(from[n]) - u'0';
        if (digit > 9)
            break;
        result = result * 10 + digit;
    }
    *value = result;
    return from + n;
}

// An optional "-" and one to nine decimal digits.
inline const char16_t* PlainInt(const char16_t* from, const char16_t* end, qint32* value) {
    const bool negative = from < end && *from == u'-';
    if (negative)
        ++from;
    const char16_t* digits = from;
    quint64 result = 0;
    if (end - from >= 10) {
        // Nine digits always fit 32 bits; a tenth is read only to refuse the number.
        from = AddDigits<10>(from, &result);
    } else {
        for (; from < end && numbers::IsDigit(*from); ++from)
            result = result * 10 + (*from - u'0');
    }
    if (from == digits || from - digits > 9)
        return nullptr;
    *value = qint32(negative ? -qint64(result) : qint64(result));
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

// An optional sign, digits, optionally "." and more digits, and optionally an exponent ("e" or
// "E", an optional sign and one to four digits), whose digits (without leading zeros) fit a
// float's 24-bit mantissa and whose power of ten, the exponent less the digits after the
// point, is at most ten either way: the quotient or the product of two exact floats, rounded
// once, which is the nearest float to the decimal.
inline const char16_t* PlainFloat(const char16_t* from, const char16_t* end, float* value) {
    // Powers of ten up to 1e10 are exact in a float (5^10 < 2^24).
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                        1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr int kMostPower = int(std::size(kPowers)) - 1;
    constexpr quint64 kExactMantissa = 1u << 24;
    bool negative = false;
    if (from < end && (*from == u'-' || *from == u'+')) {
        negative = *from == u'-';
        ++from;
    }
    quint64 mantissa = 0;
    int decimals = 0;
    const char16_t* digits = from;
    // Room for nine digits, a tenth, a point and eleven digits more: the digits are read
    // without a look at the end, and the mantissa, of at most nineteen digits, fits 64 bits
    // until it is checked once. Anything longer is read digit by digit below.
    bool quick = false;
    if (end - from >= 22) {
        from = AddDigits<9>(from, &mantissa);
        if (from == digits)
            return nullptr;
        quick = !numbers::IsDigit(*from);
        if (quick && *from == u'.') {
            const char16_t* fraction = ++from;
            from = AddDigits<11>(from, &mantissa);
            decimals = int(from - fraction);
            if (decimals == 0 || decimals > kMostPower)
                return nullptr;
        }
        if (quick && mantissa > kExactMantissa)
            return nullptr;
    }
    if (!quick) {
        from = digits;
        mantissa = 0;
        for (; from < end && numbers::IsDigit(*from); ++from) {
            mantissa = mantissa * 10 + (*from - u'0');
            if (mantissa > kExactMantissa)
                return nullptr;
        }
        if (from == digits)
            return nullptr;
        if (from < end && *from == u'.') {
            const char16_t* fraction = ++from;
            for (; from < end && numbers::IsDigit(*from); ++from) {
                mantissa = mantissa * 10 + (*from - u'0');
                if (mantissa > kExactMantissa)
                    return nullptr;
            }
            decimals = int(from - fraction);
            if (decimals == 0 || decimals > kMostPower)
                return nullptr;
        }
    }
    int power = -decimals;
    if (from < end && (*from == u'e' || *from == u'E')) {
        ++from;
        const bool down = from < end && *from == u'-';
        if (from < end && (*from == u'-' || *from == u'+'))
            ++from;
        const char16_t* exponent = from;
        int written = 0;
        for (; from < end && numbers::IsDigit(*from) && from - exponent < 5; ++from)
            written = written * 10 + (*from - u'0');
        if (from == exponent || from - exponent > 4)
            return nullptr;
        power += down ? -written : written;
    }
    if (power < -kMostPower || power > kMostPower)
        return nullptr;
    const float magnitude =
        power < 0 ? float(mantissa) / kPowers[-power] : float(mantissa) * kPowers[power];
    *value = negative ? -magnitude : magnitude;
    return from;
}

} // namespace qv
