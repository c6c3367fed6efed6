// Sine and cosine from their definitions: reduce the argument modulo pi/2 to a double-double r in
// [-pi/4, pi/4] (Cody-Waite with a four-part pi/2 below 2^16, the full product with the bits of 2/pi
// above), split r = i/64 + t with |t| <= 1/128, and combine tabulated sin(i/64), cos(i/64) with short
// Taylor series in t by the angle-sum formulas. The leading products are exact, so only terms below
// 2^-14 of the result carry rounding errors of their own.
//
// The medium-range reduction and the kernel are written once, as templates over the lane type: a double
// for the scalar path, two doubles in a vector register for sine_cosine_pair. Both run the same IEEE-754
// operations in the same order on each lane, so they give the same bits.
#include "rules/trig.hpp"

#include <cfloat>
#ifdef BRINEWAKE_LIBC_TRIG
#include <cmath>
#endif
#include <cstdint>
#include <cstring>

#if !defined(BRINEWAKE_LIBC_TRIG) && !defined(BRINEWAKE_SCALAR_TRIG) && defined(__SSE2__)
#include <emmintrin.h>
#define BRINEWAKE_TRIG_SSE2 1
#elif !defined(BRINEWAKE_LIBC_TRIG) && !defined(BRINEWAKE_SCALAR_TRIG) && defined(__aarch64__) &&            \
    defined(__ARM_NEON)
#include <arm_neon.h>
#define BRINEWAKE_TRIG_NEON 1
#endif

namespace brinewake {

#ifdef BRINEWAKE_LIBC_TRIG

// For comparison only (the determinism program's "before" build): the C library's functions.
void sine_cosine(double p_x, double &r_sine, double &r_cosine) {
    r_sine = std::sin(p_x);
    r_cosine = std::cos(p_x);
}

void sine_cosine_pair(const double p_x[2], double r_sine[2], double r_cosine[2]) {
    sine_cosine(p_x[0], r_sine[0], r_cosine[0]);
    sine_cosine(p_x[1], r_sine[1], r_cosine[1]);
}

void sine_cosine_quad(const double p_x[4], double r_sine[4], double r_cosine[4]) {
    sine_cosine_pair(p_x, r_sine, r_cosine);
    sine_cosine_pair(p_x + 2, r_sine + 2, r_cosine + 2);
}

#else

namespace {

#include "rules/trig_tables.inc"

constexpr double ROUNDER = 0x1.8p52;     // adding and subtracting it rounds |v| < 2^51 to an integer
constexpr double SPLITTER = 134217729.0; // 2^27 + 1, Veltkamp's constant
constexpr double MEDIUM_LIMIT = 65536.0; // below it the Cody-Waite reduction is exact enough
constexpr uint64_t SIGN_BIT = uint64_t(1) << 63;
constexpr uint64_t HIGH_MASK = ~((uint64_t(1) << 27) - 1); // keeps sign, exponent and 26 significant bits

// Taylor coefficients, |t| <= 1/128: sin t - t = t^3 (S3 + t^2 (S5 + t^2 S7)) to about 2^-60 relative,
// cos t - 1 = t^2 (C2 + t^2 (C4 + t^2 C6)) to about 2^-71.
constexpr double S3 = -1.0 / 6.0;
constexpr double S5 = 1.0 / 120.0;
constexpr double S7 = -1.0 / 5040.0;
constexpr double C2 = -0.5;
constexpr double C4 = 1.0 / 24.0;
constexpr double C6 = -1.0 / 720.0;

// The scalar lane: a double, with sign operations on its bits.
inline double lane_constant(double p_value, double) {
    return p_value;
}
inline uint64_t bits_of(double p_value) {
    uint64_t bits;
    std::memcpy(&bits, &p_value, sizeof(bits));
    return bits;
}
inline double from_bits(uint64_t p_bits) {
    double value;
    std::memcpy(&value, &p_bits, sizeof(value));
    return value;
}
inline double sign_of(double p_value) { // the sign bit alone
    return from_bits(bits_of(p_value) & SIGN_BIT);
}
inline double magnitude(double p_value) {
    return from_bits(bits_of(p_value) & ~SIGN_BIT);
}
inline double high_part(double p_value) { // the leading 26 significant bits
    return from_bits(bits_of(p_value) & HIGH_MASK);
}
inline double flip(double p_value, double p_sign) { // negated where p_sign has its sign bit
    return from_bits(bits_of(p_value) ^ bits_of(p_sign));
}

template <class V> struct Row { V s, s_low, c, c_low; };

inline Row<double> row_at(double p_index) {
    const TrigRow &row = TRIG_ROWS[static_cast<int>(p_index)];
    return {row.s, row.s_low, row.c, row.c_low};
}

#if defined(BRINEWAKE_TRIG_SSE2) || defined(BRINEWAKE_TRIG_NEON)

// Two lanes in one vector register; each operator is one IEEE-754 operation per lane.
struct Pair {
#ifdef BRINEWAKE_TRIG_SSE2
    __m128d v;
#else
    float64x2_t v;
#endif
};

#ifdef BRINEWAKE_TRIG_SSE2
inline Pair operator+(Pair p_a, Pair p_b) {
    return {_mm_add_pd(p_a.v, p_b.v)};
}
inline Pair operator-(Pair p_a, Pair p_b) {
    return {_mm_sub_pd(p_a.v, p_b.v)};
}
inline Pair operator*(Pair p_a, Pair p_b) {
    return {_mm_mul_pd(p_a.v, p_b.v)};
}
inline Pair lane_constant(double p_value, Pair) {
    return {_mm_set1_pd(p_value)};
}
inline Pair make_pair(double p_first, double p_second) {
    return {_mm_set_pd(p_second, p_first)};
}
inline Pair load_pair(const double p_values[2]) {
    return {_mm_loadu_pd(p_values)};
}
inline void store_pair(Pair p_pair, double r_values[2]) {
    _mm_storeu_pd(r_values, p_pair.v);
}
inline Pair sign_of(Pair p_value) {
    return {_mm_and_pd(p_value.v, _mm_set1_pd(-0.0))};
}
inline Pair magnitude(Pair p_value) {
    return {_mm_andnot_pd(_mm_set1_pd(-0.0), p_value.v)};
}
inline Pair flip(Pair p_value, Pair p_sign) {
    return {_mm_xor_pd(p_value.v, p_sign.v)};
}
inline Pair high_part(Pair p_value) {
    return {_mm_and_pd(p_value.v, _mm_castsi128_pd(_mm_set1_epi64x(static_cast<long long>(HIGH_MASK))))};
}
inline bool both_below(Pair p_value, double p_limit) { // false for NaN
    return _mm_movemask_pd(_mm_cmplt_pd(p_value.v, _mm_set1_pd(p_limit))) == 3;
}
#else
inline Pair operator+(Pair p_a, Pair p_b) {
    return {vaddq_f64(p_a.v, p_b.v)};
}
inline Pair operator-(Pair p_a, Pair p_b) {
    return {vsubq_f64(p_a.v, p_b.v)};
}
inline Pair operator*(Pair p_a, Pair p_b) {
    return {vmulq_f64(p_a.v, p_b.v)};
}
inline Pair lane_constant(double p_value, Pair) {
    return {vdupq_n_f64(p_value)};
}
inline Pair make_pair(double p_first, double p_second) {
    const double values[2] = {p_first, p_second};
    return {vld1q_f64(values)};
}
inline Pair load_pair(const double p_values[2]) {
    return {vld1q_f64(p_values)};
}
inline void store_pair(Pair p_pair, double r_values[2]) {
    vst1q_f64(r_values, p_pair.v);
}
inline Pair sign_of(Pair p_value) {
    return {vreinterpretq_f64_u64(vandq_u64(vreinterpretq_u64_f64(p_value.v), vdupq_n_u64(SIGN_BIT)))};
}
inline Pair magnitude(Pair p_value) {
    return {vreinterpretq_f64_u64(vbicq_u64(vreinterpretq_u64_f64(p_value.v), vdupq_n_u64(SIGN_BIT)))};
}
inline Pair flip(Pair p_value, Pair p_sign) {
    return {
        vreinterpretq_f64_u64(veorq_u64(vreinterpretq_u64_f64(p_value.v), vreinterpretq_u64_f64(p_sign.v)))};
}
inline Pair high_part(Pair p_value) {
    return {vreinterpretq_f64_u64(vandq_u64(vreinterpretq_u64_f64(p_value.v), vdupq_n_u64(HIGH_MASK)))};
}
inline bool both_below(Pair p_value, double p_limit) { // false for NaN
    const uint64x2_t below = vcltq_f64(p_value.v, vdupq_n_f64(p_limit));
    return (vgetq_lane_u64(below, 0) & vgetq_lane_u64(below, 1)) != 0;
}
#endif

inline Row<Pair> row_at(Pair p_index) {
    double index[2];
    store_pair(p_index, index);
    const TrigRow &a = TRIG_ROWS[static_cast<int>(index[0])];
    const TrigRow &b = TRIG_ROWS[static_cast<int>(index[1])];
    return {make_pair(a.s, b.s), make_pair(a.s_low, b.s_low), make_pair(a.c, b.c),
            make_pair(a.c_low, b.c_low)};
}

// Two pairs side by side: the same operations on four lanes, as two independent chains the processor
// can overlap.
struct Quad {
    Pair a, b;
};
inline Quad operator+(Quad p_x, Quad p_y) {
    return {p_x.a + p_y.a, p_x.b + p_y.b};
}
inline Quad operator-(Quad p_x, Quad p_y) {
    return {p_x.a - p_y.a, p_x.b - p_y.b};
}
inline Quad operator*(Quad p_x, Quad p_y) {
    return {p_x.a * p_y.a, p_x.b * p_y.b};
}
inline Quad lane_constant(double p_value, Quad) {
    const Pair value = lane_constant(p_value, Pair());
    return {value, value};
}
inline Quad sign_of(Quad p_value) {
    return {sign_of(p_value.a), sign_of(p_value.b)};
}
inline Quad magnitude(Quad p_value) {
    return {magnitude(p_value.a), magnitude(p_value.b)};
}
inline Quad flip(Quad p_value, Quad p_sign) {
    return {flip(p_value.a, p_sign.a), flip(p_value.b, p_sign.b)};
}
inline Quad high_part(Quad p_value) {
    return {high_part(p_value.a), high_part(p_value.b)};
}
inline Row<Quad> row_at(Quad p_index) {
    const Row<Pair> a = row_at(p_index.a);
    const Row<Pair> b = row_at(p_index.b);
    return {{a.s, b.s}, {a.s_low, b.s_low}, {a.c, b.c}, {a.c_low, b.c_low}};
}

#endif

// a - b = r_difference + r_error exactly.
template <class V> inline void two_difference(V p_a, V p_b, V &r_difference, V &r_error) {
    r_difference = p_a - p_b;
    const V b_part = r_difference - p_a;
    r_error = (p_a - (r_difference - b_part)) - (p_b + b_part);
}

// p_x in [0, MEDIUM_LIMIT): x = k pi/2 + hi + lo, |hi| <= pi/4 plus a rounding, |lo| below 2^-50.
// x - k (PIO2_1 + PIO2_2) is held exactly as hi + e; the last two parts (below 2^-51) join the low part.
template <class V> inline void reduce_medium(V p_x, V &r_hi, V &r_lo, V &r_k) {
    const V k =
        (p_x * lane_constant(TWO_OVER_PI_D, p_x) + lane_constant(ROUNDER, p_x)) - lane_constant(ROUNDER, p_x);
    const V a = p_x - k * lane_constant(PIO2_1, p_x); // exact, and so is k * PIO2_2 (k < 2^17)
    V e;
    two_difference(a, k * lane_constant(PIO2_2, p_x), r_hi, e);
    r_lo = (e - k * lane_constant(PIO2_3, p_x)) - k * lane_constant(PIO2_4, p_x);
    r_k = k;
}

// sin and cos of hi + lo, |hi| <= pi/4 plus a rounding, |lo| below 2^-50.
template <class V> inline void kernel(V p_hi, V p_lo, V &r_sine, V &r_cosine) {
    const V sign = sign_of(p_hi);
    const V r = magnitude(p_hi);
    const V rr = flip(p_lo, sign);
    const V index = (r * lane_constant(64.0, r) + lane_constant(ROUNDER, r)) - lane_constant(ROUNDER, r);
    const Row<V> row = row_at(index);
    const V t = r - index * lane_constant(1.0 / 64.0, r); // exact, |t| <= 1/128

    // t, s and c each split into their leading 26 significant bits and the exact rest, so that
    // s_high * t_head and c_high * t_head are exact; the rest of each product is below 2^-25 of it,
    // whatever the size of t.
    const V s_high = high_part(row.s);
    const V s_tail = row.s - s_high;
    const V c_high = high_part(row.c);
    const V c_tail = row.c - c_high;
    const V t_head = high_part(t);
    const V t_rest = t - t_head;
    const V ct_head = c_high * t_head;
    const V ct_rest = c_high * t_rest + c_tail * t;
    const V st_head = s_high * t_head;
    const V st_rest = s_high * t_rest + s_tail * t;

    const V z = t * t;
    const V sin_rest = rr + t * z *
                                (lane_constant(S3, r) +
                                 z * (lane_constant(S5, r) + z * lane_constant(S7, r))); // sin(t+rr) - t
    const V cos_rest = z * (lane_constant(C2, r) + z * (lane_constant(C4, r) + z * lane_constant(C6, r))) -
                       t * rr; // cos(t + rr) - 1

    // sin(a + u) = sin a + cos a * t + [cos a * (sin u - t) + sin a * (cos u - 1)]
    const V s_sum = row.s + ct_head;
    const V s_error = ct_head - (s_sum - row.s); // exact: |row.s| >= |ct_head| or row.s = 0
    const V s_low = s_error + ct_rest + row.s_low + row.c_low * t + row.c * sin_rest + row.s * cos_rest;
    r_sine = flip(s_sum + s_low, sign);

    // cos(a + u) = cos a - sin a * t + [cos a * (cos u - 1) - sin a * (sin u - t)]
    const V c_sum = row.c - st_head;
    const V c_error = (row.c - c_sum) - st_head; // exact: |row.c| > |st_head|
    const V c_low = c_error - st_rest + row.c_low - row.s_low * t + row.c * cos_rest - row.s * sin_rest;
    r_cosine = c_sum + c_low;
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
uint32_t reduce_large(double p_x, double &r_hi, double &r_lo) {
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
    two_difference(a, -b, f_hi, f_lo);
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
    double hi, lo;
    two_difference(p, -rest, hi, lo);
    r_hi = negative ? -hi : hi;
    r_lo = negative ? -lo : lo;
    return quadrant;
}

// sin and cos of the argument from those of its reduced part: quadrant q turns (s, c) into (s, c),
// (c, -s), (-s, -c) or (-c, s); a negative argument negates the sine. Sign-bit operations without
// branches (the quadrant is as good as random), each the same as an IEEE-754 negation.
inline void finish(uint32_t p_quadrant, bool p_negative, double p_sin, double p_cos, double &r_sine,
                   double &r_cosine) {
    const uint64_t swap = uint64_t(0) - uint64_t(p_quadrant & 1u);
    const uint64_t s = bits_of(p_sin);
    const uint64_t c = bits_of(p_cos);
    const uint64_t sine_flip = (uint64_t((p_quadrant >> 1) & 1u) ^ uint64_t(p_negative)) << 63;
    const uint64_t cosine_flip = uint64_t(((p_quadrant + 1u) >> 1) & 1u) << 63;
    r_sine = from_bits(((s & ~swap) | (c & swap)) ^ sine_flip);
    r_cosine = from_bits(((c & ~swap) | (s & swap)) ^ cosine_flip);
}

} // namespace

void sine_cosine(double p_x, double &r_sine, double &r_cosine) {
    const bool negative = (bits_of(p_x) & SIGN_BIT) != 0;
    const double x = magnitude(p_x);
    if (!(x <= DBL_MAX)) {
        r_sine = p_x - p_x; // NaN for NaN and both infinities
        r_cosine = r_sine;
        return;
    }
    double hi, lo;
    uint32_t quadrant;
    if (x < MEDIUM_LIMIT) {
        double k;
        reduce_medium(x, hi, lo, k);
        quadrant = static_cast<uint32_t>(static_cast<int32_t>(k)) & 3u;
    } else {
        quadrant = reduce_large(x, hi, lo);
    }
    double s, c;
    kernel(hi, lo, s, c);
    finish(quadrant, negative, s, c, r_sine, r_cosine);
}

namespace {

#if defined(BRINEWAKE_TRIG_SSE2) || defined(BRINEWAKE_TRIG_NEON)
// Finishes lanes reduced by reduce_medium: quadrant and the argument's sign.
inline void finish_lanes(const double *p_x, Pair p_k, Pair p_sine, Pair p_cosine, double *r_sine,
                         double *r_cosine) {
    double sines[2], cosines[2], ks[2];
    store_pair(p_sine, sines);
    store_pair(p_cosine, cosines);
    store_pair(p_k, ks);
    for (int lane = 0; lane < 2; lane++) {
        finish(static_cast<uint32_t>(static_cast<int32_t>(ks[lane])) & 3u,
               (bits_of(p_x[lane]) & SIGN_BIT) != 0, sines[lane], cosines[lane], r_sine[lane],
               r_cosine[lane]);
    }
}
#endif

} // namespace

void sine_cosine_pair(const double p_x[2], double r_sine[2], double r_cosine[2]) {
#if defined(BRINEWAKE_TRIG_SSE2) || defined(BRINEWAKE_TRIG_NEON)
    const Pair x = magnitude(load_pair(p_x));
    if (both_below(x, MEDIUM_LIMIT)) {
        Pair hi, lo, k;
        reduce_medium(x, hi, lo, k);
        Pair s, c;
        kernel(hi, lo, s, c);
        finish_lanes(p_x, k, s, c, r_sine, r_cosine);
        return;
    }
#endif
    sine_cosine(p_x[0], r_sine[0], r_cosine[0]);
    sine_cosine(p_x[1], r_sine[1], r_cosine[1]);
}

void sine_cosine_quad(const double p_x[4], double r_sine[4], double r_cosine[4]) {
#if defined(BRINEWAKE_TRIG_SSE2) || defined(BRINEWAKE_TRIG_NEON)
    const Quad x = {magnitude(load_pair(p_x)), magnitude(load_pair(p_x + 2))};
    if (both_below(x.a, MEDIUM_LIMIT) && both_below(x.b, MEDIUM_LIMIT)) {
        Quad hi, lo, k;
        reduce_medium(x, hi, lo, k);
        Quad s, c;
        kernel(hi, lo, s, c);
        finish_lanes(p_x, k.a, s.a, c.a, r_sine, r_cosine);
        finish_lanes(p_x + 2, k.b, s.b, c.b, r_sine + 2, r_cosine + 2);
        return;
    }
#endif
    sine_cosine_pair(p_x, r_sine, r_cosine);
    sine_cosine_pair(p_x + 2, r_sine + 2, r_cosine + 2);
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

} // namespace brinewake
