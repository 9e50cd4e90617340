#include "chromagram.h"

#include "exception.h"
#include "messages.h"

namespace Tonvera {

Chromagram::Chromagram(std::uint32_t hops)
    : magnitudes(static_cast<std::size_t>(hops) * BANDS, 0.0) {}

double Chromagram::getMagnitude(std::uint32_t hop, std::uint32_t band) const {
  if (hop >= getHops())
    detail::throwBounds("Cannot get magnitude of out-of-bounds hop (", hop, getHops());
  if (band >= BANDS) detail::throwBounds("Cannot get magnitude of out-of-bounds band (", band, BANDS);
  return magnitudes[static_cast<std::size_t>(hop) * BANDS + band];
}

void Chromagram::setMagnitude(std::uint32_t hop, std::uint32_t band, double value) {
  if (hop >= getHops())
    detail::throwBounds("Cannot set magnitude of out-of-bounds hop (", hop, getHops());
  if (band >= BANDS) detail::throwBounds("Cannot set magnitude of out-of-bounds band (", band, BANDS);
  if (!detail::isFinite(value)) throw Exception("Cannot set magnitude to NaN");
  magnitudes[static_cast<std::size_t>(hop) * BANDS + band] = value;
}

std::vector<double> Chromagram::collapseToOneHop() const {
  std::vector<double> result(BANDS, 0.0);
  const std::uint32_t hops = getHops();
  if (hops == 0) return result;
  // Each term is divided before it is added, in hop order: the rounding of
  // the mean is part of the result.
  const double divisor = static_cast<double>(hops);
  for (std::uint32_t h = 0; h < hops; ++h) {
    const double* row = &magnitudes[static_cast<std::size_t>(h) * BANDS];
    for (std::uint32_t b = 0; b < BANDS; ++b) result[b] += row[b] / divisor;
  }
  return result;
}

void Chromagram::append(const Chromagram& that) {
  if (&that == this) {
    const std::size_t n = magnitudes.size();
    magnitudes.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) magnitudes.push_back(magnitudes[i]);
    return;
  }
  magnitudes.insert(magnitudes.end(), that.magnitudes.begin(), that.magnitudes.end());
}

} // namespace Tonvera
