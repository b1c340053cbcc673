#include "analysis/SpectrumTransform.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

#include "state/NumberFormat.h"

namespace q24 {

namespace {

// The angle step, rounded to single precision as the dialog always held it.
double AngleStep(int n) { return static_cast<double>(6.28f / static_cast<float>(n)); }

// Smallest length >= need whose only prime factors are 2, 3 and 5: the sizes
// FFTW transforms fastest.
int SmoothSize(int need) {
    for (int size = std::max(need, 1);; ++size) {
        int m = size;
        for (int p : {2, 3, 5})
            while (m % p == 0) m /= p;
        if (m == 1) return size;
    }
}

std::complex<double>* Complex(void* buffer) { return reinterpret_cast<std::complex<double>*>(buffer); }

}  // namespace

int SpectrumLastBin(int n) { return n < 1 ? -1 : static_cast<int>(RoundHalfEven((n - 1) / 2.0)); }

int SpectrumTopBin(int n) { return n < 1 ? -1 : static_cast<int>(RoundHalfEven(n / 2.0)); }

int SpectrumBinCount(int n) { return n < 1 ? 0 : std::max(SpectrumLastBin(n), SpectrumTopBin(n)) + 1; }

SpectrumTransform::~SpectrumTransform() { release(); }

void SpectrumTransform::release() {
    if (forward_) fftw_destroy_plan(static_cast<fftw_plan>(forward_));
    if (backward_) fftw_destroy_plan(static_cast<fftw_plan>(backward_));
    if (buffer_) fftw_free(buffer_);
    forward_ = backward_ = buffer_ = nullptr;
    n_ = bins_ = size_ = 0;
}

void SpectrumTransform::prepare(int n, int bins) {
    if (n == n_ && bins == bins_) return;
    release();
    const double w = AngleStep(n);
    // The convolution runs over the lags -(n-1) ... bins-1, so a circular one
    // of at least n + bins - 1 points gives it without wrap-around.
    const int size = SmoothSize(n + bins - 1);
    buffer_ = fftw_malloc(sizeof(fftw_complex) * static_cast<std::size_t>(size));
    if (!buffer_) throw std::bad_alloc();
    auto* buf = static_cast<fftw_complex*>(buffer_);
    forward_ = fftw_plan_dft_1d(size, buf, buf, FFTW_FORWARD, FFTW_ESTIMATE);
    backward_ = fftw_plan_dft_1d(size, buf, buf, FFTW_BACKWARD, FFTW_ESTIMATE);
    if (!forward_ || !backward_) {
        release();
        throw std::bad_alloc();
    }
    size_ = size;

    // j^2 is exact in double up to the largest lag, so each phase is correct
    // to the last bits of w.
    auto phase = [w](int j) { return w * (static_cast<double>(j) * j) / 2; };
    chirp_.resize(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) chirp_[j] = std::polar(1.0, -phase(j));

    std::complex<double>* b = Complex(buffer_);
    std::fill(b, b + size, std::complex<double>());
    for (int m = 0; m < std::max(n, bins); ++m) {
        const std::complex<double> c = std::polar(1.0 / size, phase(m));
        if (m < bins) b[m] = c;
        if (m > 0 && m < n) b[size - m] = c;
    }
    fftw_execute(static_cast<fftw_plan>(forward_));
    kernel_.assign(b, b + size);
    n_ = n;
    bins_ = bins;
}

void SpectrumTransform::amplitudes(const float* x, int n, int bins, float* amp) {
    if (n < 1 || bins < 1) return;
    prepare(n, bins);
    std::complex<double>* a = Complex(buffer_);
    for (int j = 0; j < n; ++j) a[j] = static_cast<double>(x[j]) * chirp_[j];
    std::fill(a + n, a + size_, std::complex<double>());
    fftw_execute(static_cast<fftw_plan>(forward_));
    for (int i = 0; i < size_; ++i) a[i] *= kernel_[i];
    fftw_execute(static_cast<fftw_plan>(backward_));
    // Bin k of the sum is the convolution at k times a unit chirp, which
    // leaves its magnitude alone.
    for (int k = 0; k < bins; ++k) amp[k] = static_cast<float>(2 * std::abs(a[k]));
}

template <typename Sum>
void DirectSpectrum(const float* x, int n, int bins, Sum* amp) {
    if (n < 1 || bins < 1) return;
    const double w = AngleStep(n);
    for (int k = 0; k < bins; ++k) {
        Sum re = 0, im = 0;
        for (int j = 0; j < n; ++j) {
            const double angle = static_cast<double>(k) * w * j;
            re = static_cast<Sum>(re + static_cast<double>(x[j]) * std::cos(angle));
            im = static_cast<Sum>(im + static_cast<double>(x[j]) * std::sin(angle));
        }
        amp[k] = static_cast<Sum>(2 * std::sqrt(static_cast<double>(re) * re + static_cast<double>(im) * im));
    }
}

template void DirectSpectrum<float>(const float*, int, int, float*);
template void DirectSpectrum<double>(const float*, int, int, double*);

int EvaluateSpectrum(State& s, int t, SpectrumTransform& transform) {
    const int n = s.N_samples;
    if (t < 1 || t > s.Dati.rows() || n < 1 || n > s.Dati.cols()) return 0;
    const int bins = std::min(SpectrumBinCount(n), static_cast<int>(s.Spettro_amp.size()));
    transform.amplitudes(s.Dati.row(t - 1), n, bins, s.Spettro_amp.data());
    return bins;
}

}  // namespace q24
