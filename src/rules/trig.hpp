// The library's own sine and cosine in double precision. Every path whose result must be reproducible on
// other machines uses these instead of the C library's: the functions are built from IEEE-754 additions,
// subtractions, multiplications and integer operations in a fixed order, so every conforming processor
// and compiler (with contraction off) gives the same bits.
//
// Accuracy: within 1 ulp of the exact value for every finite double, correctly rounded for nearly every
// argument; the argument reduction is exact for the whole double range. NaN and infinities give NaN.
#pragma once

namespace brinewake {

double sine(double p_x);
double cosine(double p_x);
// Both at once, for the price of about one.
void sine_cosine(double p_x, double &r_sine, double &r_cosine);

// Two arguments at once, in the two lanes of a vector register where the processor has them (SSE2 on
// x86-64, NEON on arm64); the bits are those of sine_cosine for each argument.
void sine_cosine_pair(const double p_x[2], double r_sine[2], double r_cosine[2]);

// Four arguments at once: two vector registers side by side; the bits are those of sine_cosine.
void sine_cosine_quad(const double p_x[4], double r_sine[4], double r_cosine[4]);

namespace detail {
// The scalar path of sine_cosine_pair, kept callable so that tests can compare the two.
void sine_cosine_pair_scalar(const double p_x[2], double r_sine[2], double r_cosine[2]);
} // namespace detail

} // namespace brinewake
