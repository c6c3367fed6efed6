// The library's own sine and cosine against MPFR: at most 1 ulp everywhere, correctly rounded nearly
// always, over small, medium and huge arguments; and the two-lane path against the scalar one.
#include "rules/trig.hpp"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using brinewake::sine_cosine;

namespace {

// Points in the random sample; the sanitizer build and BRINEWAKE_TRIG_SAMPLES ask for fewer.
#ifndef BRINEWAKE_TRIG_SAMPLES
#define BRINEWAKE_TRIG_SAMPLES 1000000
#endif

long sample_count() {
    if (const char *text = std::getenv("BRINEWAKE_TRIG_SAMPLES")) {
        const long n = std::strtol(text, nullptr, 10);
        if (n > 0) {
            return n;
        }
    }
    return BRINEWAKE_TRIG_SAMPLES;
}

double from_bits(uint64_t p_bits) {
    double value;
    std::memcpy(&value, &p_bits, sizeof(value));
    return value;
}

// Exact sine and cosine of a double, rounded to 300 bits, and the error of a result in ulps of the exact
// value (the ulp of its binade, subnormal spacing at the bottom).
class Reference {
public:
    Reference() { mpfr_inits2(300, m_x, m_sin, m_cos, m_diff, static_cast<mpfr_ptr>(nullptr)); }
    ~Reference() { mpfr_clears(m_x, m_sin, m_cos, m_diff, static_cast<mpfr_ptr>(nullptr)); }
    Reference(const Reference &) = delete;
    Reference &operator=(const Reference &) = delete;

    void evaluate(double p_x) {
        mpfr_set_d(m_x, p_x, MPFR_RNDN);
        mpfr_sin_cos(m_sin, m_cos, m_x, MPFR_RNDN);
    }
    double ulp_error_sin(double p_value) { return ulp_error(m_sin, p_value); }
    double ulp_error_cos(double p_value) { return ulp_error(m_cos, p_value); }
    double rounded_sin() const { return mpfr_get_d(m_sin, MPFR_RNDN); }
    double rounded_cos() const { return mpfr_get_d(m_cos, MPFR_RNDN); }

private:
    double ulp_error(mpfr_t p_exact, double p_value) {
        if (mpfr_zero_p(p_exact)) {
            return p_value == 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
        }
        const long exponent = mpfr_get_exp(p_exact); // |exact| in [2^(e-1), 2^e)
        const long ulp_exponent = exponent - 53 < -1074 ? -1074 : exponent - 53;
        mpfr_sub_d(m_diff, p_exact, p_value, MPFR_RNDN);
        mpfr_div_2si(m_diff, m_diff, ulp_exponent, MPFR_RNDN);
        return std::fabs(mpfr_get_d(m_diff, MPFR_RNDN));
    }

    mpfr_t m_x, m_sin, m_cos, m_diff;
};

struct Tally {
    double max_error = 0.0;
    double worst_argument = 0.0;
    long values = 0;
    long correctly_rounded = 0;

    void add(double p_x, double p_error, bool p_correct) {
        values++;
        correctly_rounded += p_correct ? 1 : 0;
        if (p_error > max_error) {
            max_error = p_error;
            worst_argument = p_x;
        }
    }
};

TEST(Trig, WithinOneUlpAndCorrectlyRoundedOverARandomSample) {
    const long total = sample_count();
    std::mt19937_64 random(20261211);
    Reference reference;
    const char *names[4] = {"small  |x| < 4", "medium |x| < 1e5", "huge   |x| < 1e300", "any finite double"};
    Tally all;
    for (int range = 0; range < 4; range++) {
        Tally tally;
        for (long i = 0; i < total / 4; i++) {
            const uint64_t draw = random();
            const double unit = static_cast<double>(draw >> 11) * 0x1p-53; // [0, 1)
            const bool negative = (draw & 1u) != 0;
            double x;
            switch (range) {
            case 0: // exponent-uniform near zero, down to the subnormals, and uniform on [0, 4)
                x = (i % 2 == 0) ? std::ldexp(1.0 + unit, -static_cast<int>(random() % 1075)) : 4.0 * unit;
                break;
            case 1:
                x = 1e5 * unit;
                break;
            case 2: // exponent-uniform from 1 up to about 1e300
                x = std::ldexp(1.0 + unit, static_cast<int>(random() % 997));
                break;
            default: // uniform over the bit patterns of the finite doubles
                x = from_bits(random() % 0x7ff0000000000000u);
                break;
            }
            x = negative ? -x : x;
            double s, c;
            sine_cosine(x, s, c);
            reference.evaluate(x);
            tally.add(x, reference.ulp_error_sin(s), s == reference.rounded_sin());
            tally.add(x, reference.ulp_error_cos(c), c == reference.rounded_cos());
        }
        std::printf("  %s: max error %.6f ulp (at %a), correctly rounded %.5f%% of %ld values\n",
                    names[range], tally.max_error, tally.worst_argument,
                    100.0 * double(tally.correctly_rounded) / double(tally.values), tally.values);
        EXPECT_LE(tally.max_error, 1.0) << names[range] << " at " << tally.worst_argument;
        all.values += tally.values;
        all.correctly_rounded += tally.correctly_rounded;
        if (tally.max_error > all.max_error) {
            all.max_error = tally.max_error;
            all.worst_argument = tally.worst_argument;
        }
    }
    const double share = double(all.correctly_rounded) / double(all.values);
    std::printf("sine and cosine over %ld arguments: max error %.6f ulp, correctly rounded %.5f%%\n",
                all.values / 2, all.max_error, 100.0 * share);
    RecordProperty("max_ulp_error", std::to_string(all.max_error));
    RecordProperty("correctly_rounded_share", std::to_string(share));
    EXPECT_LE(all.max_error, 1.0);
    EXPECT_GE(share, 0.999);
}

// Arguments where the reduction cancels the most (doubles nearest to multiples of pi/2, small and huge), the
// edges of the reduction's ranges and of the kernel's interval, and the ends of the double range.
TEST(Trig, HardAndBoundaryArgumentsStayWithinOneUlp) {
    std::vector<double> cases = {
        0.0,
        DBL_TRUE_MIN,
        DBL_MIN,
        1e-300,
        0x1p-27,
        0x1p-26,
        1.0 / 128.0,
        0.5,
        0.7853981633974483,
        0.7853981633974484,
        65535.99999999999,
        65536.0,
        65536.00000000001,
        1e22,
        1e300,
        2e300,
        DBL_MAX,
        6381956970095103.0 * 0x1p797, // the double closest to a multiple of pi/2 (about 2^-61 away)
    };
    mpfr_t half_pi, multiple;
    mpfr_inits2(2400, half_pi, multiple, static_cast<mpfr_ptr>(nullptr));
    mpfr_const_pi(half_pi, MPFR_RNDN);
    mpfr_div_2ui(half_pi, half_pi, 1, MPFR_RNDN);
    for (long k = 1; k <= 2000; k++) { // k pi/2, k = 1..2000
        mpfr_mul_si(multiple, half_pi, k, MPFR_RNDN);
        cases.push_back(mpfr_get_d(multiple, MPFR_RNDN));
    }
    for (int e = 1; e <= 1022; e++) { // 2^e pi/2 and its odd neighbours 3 * 2^e pi/2
        mpfr_mul_2ui(multiple, half_pi, static_cast<unsigned long>(e), MPFR_RNDN);
        cases.push_back(mpfr_get_d(multiple, MPFR_RNDN));
        mpfr_mul_ui(multiple, multiple, 3, MPFR_RNDN);
        cases.push_back(mpfr_get_d(multiple, MPFR_RNDN));
    }
    mpfr_clears(half_pi, multiple, static_cast<mpfr_ptr>(nullptr));

    Reference reference;
    Tally tally;
    for (double magnitude : cases) {
        for (double x :
             {magnitude, -magnitude, std::nextafter(magnitude, 0.0), std::nextafter(magnitude, DBL_MAX)}) {
            if (!std::isfinite(x)) {
                continue;
            }
            double s, c;
            sine_cosine(x, s, c);
            reference.evaluate(x);
            const double sin_error = reference.ulp_error_sin(s);
            const double cos_error = reference.ulp_error_cos(c);
            EXPECT_LE(sin_error, 1.0) << "sine of " << std::hexfloat << x;
            EXPECT_LE(cos_error, 1.0) << "cosine of " << std::hexfloat << x;
            tally.add(x, sin_error, s == reference.rounded_sin());
            tally.add(x, cos_error, c == reference.rounded_cos());
            EXPECT_EQ(brinewake::sine(x), s);
            EXPECT_EQ(brinewake::cosine(x), c);
        }
    }
    std::printf("hard and boundary arguments: max error %.6f ulp (at %a), correctly rounded %ld of %ld\n",
                tally.max_error, tally.worst_argument, tally.correctly_rounded, tally.values);
}

TEST(Trig, SignedZerosAndNonFiniteArguments) {
    double s, c;
    sine_cosine(0.0, s, c);
    EXPECT_EQ(s, 0.0);
    EXPECT_FALSE(std::signbit(s));
    EXPECT_EQ(c, 1.0);
    sine_cosine(-0.0, s, c);
    EXPECT_EQ(s, 0.0);
    EXPECT_TRUE(std::signbit(s));
    EXPECT_EQ(c, 1.0);
    for (double x : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()}) {
        sine_cosine(x, s, c);
        EXPECT_TRUE(std::isnan(s)) << x;
        EXPECT_TRUE(std::isnan(c)) << x;
        EXPECT_TRUE(std::isnan(brinewake::sine(x)));
        EXPECT_TRUE(std::isnan(brinewake::cosine(x)));
    }
}

// sin(-x) = -sin(x), cos(-x) = cos(x) bit for bit, and a tiny argument is its own sine.
TEST(Trig, OddAndEvenToTheBit) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; i++) {
        const double x = from_bits(random() % 0x7ff0000000000000u);
        double s, c, ns, nc;
        sine_cosine(x, s, c);
        sine_cosine(-x, ns, nc);
        ASSERT_EQ(-s, ns) << std::hexfloat << x;
        ASSERT_EQ(c, nc) << std::hexfloat << x;
    }
    EXPECT_EQ(brinewake::sine(0x1p-30), 0x1p-30);
    EXPECT_EQ(brinewake::sine(DBL_TRUE_MIN), DBL_TRUE_MIN);
}

// The two- and four-lane paths (vector registers where the processor has them) give the bits of the
// scalar function in every lane, for medium arguments (the vector path), huge ones and non-finite ones
// (the scalar fallback) and mixtures of them.
TEST(Trig, LanesGiveTheScalarBits) {
    std::mt19937_64 random(11);
    const double specials[] = {0.0,
                               -0.0,
                               65536.0,
                               -65535.99999999999,
                               1e300,
                               -DBL_MAX,
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 200000; i++) {
        double x[4];
        for (double &value : x) {
            const uint64_t draw = random();
            const double unit = static_cast<double>(draw >> 11) * 0x1p-53;
            switch ((draw >> 3) % 8) {
            case 0:
                value = from_bits(random() % 0x7ff0000000000000u);
                break;
            case 1:
                value = specials[random() % 8];
                break;
            case 2:
                value = std::ldexp(1.0 + unit, static_cast<int>(random() % 80) - 60);
                break;
            default: // the sea's and the hull's range
                value = 1e4 * unit;
                break;
            }
            value = (draw & 1u) != 0 ? -value : value;
        }
        double s[4], c[4], quad_s[4], quad_c[4], pair_s[4], pair_c[4], scalar_s[2], scalar_c[2];
        for (int k = 0; k < 4; k++) {
            sine_cosine(x[k], s[k], c[k]);
        }
        brinewake::sine_cosine_quad(x, quad_s, quad_c);
        brinewake::sine_cosine_pair(x, pair_s, pair_c);
        brinewake::sine_cosine_pair(x + 2, pair_s + 2, pair_c + 2);
        brinewake::detail::sine_cosine_pair_scalar(x, scalar_s, scalar_c);
        // Same bits, NaN included.
        ASSERT_EQ(std::memcmp(s, quad_s, sizeof(s)), 0)
            << std::hexfloat << x[0] << " " << x[1] << " " << x[2] << " " << x[3];
        ASSERT_EQ(std::memcmp(c, quad_c, sizeof(c)), 0)
            << std::hexfloat << x[0] << " " << x[1] << " " << x[2] << " " << x[3];
        ASSERT_EQ(std::memcmp(s, pair_s, sizeof(s)), 0)
            << std::hexfloat << x[0] << " " << x[1] << " " << x[2] << " " << x[3];
        ASSERT_EQ(std::memcmp(c, pair_c, sizeof(c)), 0)
            << std::hexfloat << x[0] << " " << x[1] << " " << x[2] << " " << x[3];
        ASSERT_EQ(std::memcmp(s, scalar_s, sizeof(scalar_s)), 0);
        ASSERT_EQ(std::memcmp(c, scalar_c, sizeof(scalar_c)), 0);
    }
}

} // namespace
