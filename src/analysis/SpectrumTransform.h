#pragma once
// The amplitude spectrum of one trace, as the SPECTRUM dialog shows it.
//
// For N samples x(0) ... x(N-1) the angle step is w = 6.28 / N (the constant
// 6.28, held in single precision), and bin k has the amplitude
//     2 * | sum over j of x(j) * exp(i * k * w * j) |
// with no window, no removal of the mean and no division by N. Bin k stands
// for the frequency k * Sampling_freq / N. Because 6.28 is not 2*pi, this is
// not a discrete Fourier transform, so it is computed as a chirp-z transform:
// k*j = (k^2 + j^2 - (k-j)^2) / 2 turns the sum into a convolution with a
// chirp, evaluated exactly with FFTW's double-precision FFTs.
#include <complex>
#include <cstdint>
#include <vector>

#include "state/State.h"

namespace q24 {

// Last bin of an evaluation of n samples: the whole number nearest to
// (n - 1) / 2, a half going to the even neighbour (1024 samples give 512).
int SpectrumLastBin(int n);
// The bin drawn on the picture's right edge: the whole number nearest to n / 2,
// a half going to the even neighbour.
int SpectrumTopBin(int n);
// Bins an evaluation of n samples fills: 0 ... the larger of the two above,
// so every bin the curve passes through belongs to the trace just evaluated.
int SpectrumBinCount(int n);

// The chirp-z transform, keeping its FFT plans and its chirp for the last
// sample count, so repeated evaluations of equal-length traces pay only for
// three FFTs of about 1.5 N points.
class SpectrumTransform {
public:
    SpectrumTransform() = default;
    ~SpectrumTransform();
    SpectrumTransform(const SpectrumTransform&) = delete;
    SpectrumTransform& operator=(const SpectrumTransform&) = delete;

    // amp[k] for k = 0 ... bins - 1 from x[0] ... x[n - 1]. Nothing is written
    // for n < 1 or bins < 1.
    void amplitudes(const float* x, int n, int bins, float* amp);

private:
    void prepare(int n, int bins);
    void release();

    int n_ = 0, bins_ = 0, size_ = 0;
    std::vector<std::complex<double>> chirp_;   // exp(-i w j^2 / 2), j = 0 ... n-1
    std::vector<std::complex<double>> kernel_;  // FFT of the conjugate chirp, scaled by 1/size
    void* buffer_ = nullptr;                    // fftw_complex[size_]
    void* forward_ = nullptr;                   // fftw_plan
    void* backward_ = nullptr;                  // fftw_plan
};

// The same amplitudes by the direct sum, bin after bin: every angle and
// product in double precision, the running sums and the amplitudes in `Sum`
// (float reproduces the old computation; double is the reference the fast
// transform is checked against). About n * bins sines and cosines: a
// reference, not for the dialog.
template <typename Sum>
void DirectSpectrum(const float* x, int n, int bins, Sum* amp);

// EVALUATE's computation: the spectrum of trace t (row t - 1 of Dati) over
// N_samples samples into Spettro_amp, bins 0 ... SpectrumBinCount - 1; the
// later bins keep their values. Returns the number of bins written: 0 when
// t is not a row of Dati or N_samples is not a sample count Dati holds.
int EvaluateSpectrum(State& s, int t, SpectrumTransform& transform);

}  // namespace q24
