// Sine and cosine from their definitions: reduce the argument modulo pi/2 to a double-double r in
// [-pi/4, pi/4] (Cody-Waite with a four-part pi/2 below 2^16, the full product with the bits of 2/pi
// above), split r = i/64 + t with |t| <= 1/128, and combine tabulated sin(i/64), cos(i/64) with short
// Taylor series in t by the angle-sum formulas. The leading product is formed exactly (Dekker), so only
// terms below 2^-14 of the result carry rounding errors of their own.
#include "rules/trig.hpp"

#include <cfloat>
#ifdef BRINEWAKE_LIBC_TRIG
#include <cmath>
#endif
#include <cstdint>
#include <cstring>

namespace brinewake {

#ifdef BRINEWAKE_LIBC_TRIG

// For comparison only (the determinism program's "before" build): the C library's functions.
void sine_cosine(double p_x, double &r_sine, double &r_cosine) {
    r_sine = std::sin(p_x);
    r_cosine = std::cos(p_x);
}

#else

namespace {

#include "rules/trig_tables.inc"

constexpr double ROUNDER = 0x1.8p52;     // adding and subtracting it rounds |v| < 2^51 to an integer
constexpr double SPLITTER = 134217729.0; // 2^27 + 1, Veltkamp's constant
constexpr double MEDIUM_LIMIT = 65536.0; // below it the Cody-Waite reduction is exact enough

// Taylor coefficients, |t| <= 1/128: sin t - t = t^3 (S3 + t^2 (S5 + t^2 S7)) to about 2^-60 relative,
// cos t - 1 = t^2 (C2 + t^2 (C4 + t^2 C6)) to about 2^-71.
constexpr double S3 = -1.0 / 6.0;
constexpr double S5 = 1.0 / 120.0;
constexpr double S7 = -1.0 / 5040.0;
constexpr double C2 = -0.5;
constexpr double C4 = 1.0 / 24.0;
constexpr double C6 = -1.0 / 720.0;

struct Reduced {
    double hi; // r = hi + lo, |hi| <= pi/4 (plus a rounding), |lo| <= ulp(hi) / 2
    double lo;
    uint32_t quadrant; // the argument is r + quadrant * pi/2 modulo 2 pi
};

// a + b = r_sum + r_error exactly.
inline void two_sum(double p_a, double p_b, double &r_sum, double &r_error) {
    r_sum = p_a + p_b;
    const double b_part = r_sum - p_a;
    r_error = (p_a - (r_sum - b_part)) + (p_b - b_part);
}

// p_x in [0, MEDIUM_LIMIT).
inline Reduced reduce_medium(double p_x) {
    const double k = (p_x * TWO_OVER_PI_D + ROUNDER) - ROUNDER;
    const double a = p_x - k * PIO2_1; // exact: both products below are exact too (k < 2^17)
    double s1, e1, s2, e2;
    two_sum(a, -(k * PIO2_2), s1, e1);
    two_sum(s1, -(k * PIO2_3), s2, e2);
    const double tail = (e1 + e2) - k * PIO2_4;
    Reduced result;
    two_sum(s2, tail, result.hi, result.lo);
    result.quadrant = static_cast<uint32_t>(static_cast<int32_t>(k)) & 3u;
    return result;
}

// Bits [p_position, p_position + 64) of the 288-bit number held in 32-bit limbs, least significant first.
inline uint64_t bits_at(const uint64_t p_limbs[9], int p_position) {
    const int limb = p_position / 32;
    const int offset = p_position % 32;
    const uint64_t low = p_limbs[limb];
    const uint64_t middle = limb + 1 < 9 ? p_limbs[limb + 1] : 0;
    const uint64_t high = limb + 2 < 9 ? p_limbs[limb + 2] : 0;
    if (offset == 0) {
        return low | (middle << 32);
    }
    return (low >> offset) | (middle << (32 - offset)) | (high << (64 - offset));
}

// p_x finite and >= MEDIUM_LIMIT: x * 2/pi modulo 4 from the exact product of x's integer significand
// with the 224 bits of 2/pi that matter for its exponent.
Reduced reduce_large(double p_x) {
    uint64_t bits;
    std::memcpy(&bits, &p_x, sizeof(bits));
    const uint64_t significand = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    const int exponent = static_cast<int>(bits >> 52) - 1075; // x = significand * 2^exponent, >= -36

    // Word i of 2/pi contributes significand * word * 2^(exponent - 32 (i + 1)); once that weight is
    // 2^3 or more the term is a multiple of 8 and leaves x * 2/pi modulo 4 unchanged.
    const int first = exponent - 3 >= 0 ? (exponent - 3) / 32 : 0;
    const int shift = exponent - 32 * (first + 1); // weight of the first word's last bit, in [-68, 2]

    // The seven words as a number, least significant limb first, times the significand.
    uint64_t words[7];
    for (int k = 0; k < 7; k++) {
        words[k] = TWO_OVER_PI[first + 6 - k];
    }
    const uint64_t low_half = significand & 0xffffffffu;
    const uint64_t high_half = significand >> 32;
    uint64_t product[9];
    uint64_t carry = 0;
    for (int k = 0; k < 7; k++) {
        const uint64_t v = words[k] * low_half + carry;
        product[k] = v & 0xffffffffu;
        carry = v >> 32;
    }
    product[7] = carry;
    carry = 0;
    for (int k = 0; k < 7; k++) {
        const uint64_t v = words[k] * high_half + product[k + 1] + carry;
        product[k + 1] = v & 0xffffffffu;
        carry = v >> 32;
    }
    product[8] = carry;

    // x * 2/pi = product * 2^(shift - 192): the units bit sits at bit 192 - shift.
    const int point = 192 - shift;
    uint32_t quadrant = static_cast<uint32_t>(bits_at(product, point)) & 3u;
    uint64_t fraction_high = bits_at(product, point - 64);
    uint64_t fraction_low = bits_at(product, point - 128);
    bool negative = false;
    if ((fraction_high >> 63) != 0) { // fraction >= 1/2: round up and keep the (negative) remainder
        quadrant = (quadrant + 1u) & 3u;
        negative = true;
        fraction_low = ~fraction_low + 1u;
        fraction_high = ~fraction_high + (fraction_low == 0 ? 1u : 0u);
    }
    // |fraction| = fraction_high 2^-64 + fraction_low 2^-128 as three exact doubles.
    const double a = static_cast<double>(static_cast<int64_t>(fraction_high >> 11)) * 0x1p-53;
    const double b =
        static_cast<double>(static_cast<int64_t>(((fraction_high & 0x7ffu) << 42) | (fraction_low >> 22))) *
        0x1p-106;
    const double c = static_cast<double>(static_cast<int64_t>(fraction_low & 0x3fffffu)) * 0x1p-128;
    double f_hi, f_lo;
    two_sum(a, b, f_hi, f_lo);
    f_lo = f_lo + c;

    // r = fraction * pi/2, with the leading product exact.
    const double p = f_hi * PIO2_HI;
    const double f_c = SPLITTER * f_hi;
    const double f_h = f_c - (f_c - f_hi);
    const double f_t = f_hi - f_h;
    const double pio2_c = SPLITTER * PIO2_HI;
    const double pio2_h = pio2_c - (pio2_c - PIO2_HI);
    const double pio2_t = PIO2_HI - pio2_h;
    const double p_error = ((f_h * pio2_h - p) + f_h * pio2_t + f_t * pio2_h) + f_t * pio2_t;
    const double rest = p_error + (f_hi * PIO2_LO + f_lo * PIO2_HI);
    Reduced result;
    two_sum(p, rest, result.hi, result.lo);
    if (negative) {
        result.hi = -result.hi;
        result.lo = -result.lo;
    }
    result.quadrant = quadrant;
    return result;
}

// sin and cos of hi + lo, |hi| <= pi/4 + a rounding.
inline void kernel(double p_hi, double p_lo, double &r_sine, double &r_cosine) {
    const bool negative = p_hi < 0.0;
    const double r = negative ? -p_hi : p_hi;
    const double rr = negative ? -p_lo : p_lo;
    const double index = (r * 64.0 + ROUNDER) - ROUNDER;
    const TrigRow &row = TRIG_ROWS[static_cast<int>(index)];
    const double t = r - index * (1.0 / 64.0); // exact, |t| <= 1/128

    // s * t and c * t exactly (Dekker's product with the tabulated splits).
    const double t_c = SPLITTER * t;
    const double t_h = t_c - (t_c - t);
    const double t_t = t - t_h;
    const double ct = row.c * t;
    const double ct_error =
        ((row.c_high * t_h - ct) + row.c_high * t_t + row.c_tail * t_h) + row.c_tail * t_t;
    const double st = row.s * t;
    const double st_error =
        ((row.s_high * t_h - st) + row.s_high * t_t + row.s_tail * t_h) + row.s_tail * t_t;

    const double z = t * t;
    const double sin_rest = rr + t * z * (S3 + z * (S5 + z * S7)); // sin(t + rr) - t
    const double cos_rest = z * (C2 + z * (C4 + z * C6)) - t * rr; // cos(t + rr) - 1

    // sin(a + u) = sin a + cos a * t + [cos a * (sin u - t) + sin a * (cos u - 1)]
    const double s_sum = row.s + ct;
    const double s_error = ct - (s_sum - row.s); // exact: |row.s| >= |ct| or row.s = 0
    const double s_low = s_error + ct_error + row.s_low + row.c_low * t + row.c * sin_rest + row.s * cos_rest;
    const double sine_value = s_sum + s_low;
    r_sine = negative ? -sine_value : sine_value;

    // cos(a + u) = cos a - sin a * t + [cos a * (cos u - 1) - sin a * (sin u - t)]
    const double c_sum = row.c - st;
    const double c_error = (row.c - c_sum) - st; // exact: |row.c| > |st|
    const double c_low = c_error - st_error + row.c_low - row.s_low * t + row.c * cos_rest - row.s * sin_rest;
    r_cosine = c_sum + c_low;
}

inline void finish(uint32_t p_quadrant, bool p_negative, double p_sin, double p_cos, double &r_sine,
                   double &r_cosine) {
    double s, c;
    switch (p_quadrant) {
    case 0:
        s = p_sin;
        c = p_cos;
        break;
    case 1:
        s = p_cos;
        c = -p_sin;
        break;
    case 2:
        s = -p_sin;
        c = -p_cos;
        break;
    default:
        s = -p_cos;
        c = p_sin;
        break;
    }
    r_sine = p_negative ? -s : s;
    r_cosine = c;
}

} // namespace

void sine_cosine(double p_x, double &r_sine, double &r_cosine) {
    uint64_t bits;
    std::memcpy(&bits, &p_x, sizeof(bits));
    const bool negative = (bits >> 63) != 0;
    const double x = negative ? -p_x : p_x;
    if (!(x <= DBL_MAX)) {
        r_sine = p_x - p_x; // NaN for NaN and both infinities
        r_cosine = r_sine;
        return;
    }
    const Reduced reduced = x < MEDIUM_LIMIT ? reduce_medium(x) : reduce_large(x);
    double s, c;
    kernel(reduced.hi, reduced.lo, s, c);
    finish(reduced.quadrant, negative, s, c, r_sine, r_cosine);
}

#endif // BRINEWAKE_LIBC_TRIG

double sine(double p_x) {
    double s, c;
    sine_cosine(p_x, s, c);
    return s;
}

double cosine(double p_x) {
    double s, c;
    sine_cosine(p_x, s, c);
    return c;
}

namespace detail {

void sine_cosine_pair_scalar(const double p_x[2], double r_sine[2], double r_cosine[2]) {
    sine_cosine(p_x[0], r_sine[0], r_cosine[0]);
    sine_cosine(p_x[1], r_sine[1], r_cosine[1]);
}

} // namespace detail

void sine_cosine_pair(const double p_x[2], double r_sine[2], double r_cosine[2]) {
    detail::sine_cosine_pair_scalar(p_x, r_sine, r_cosine);
}

} // namespace brinewake
