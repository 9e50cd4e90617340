#ifndef TONVERA_CHROMAGRAM_H
#define TONVERA_CHROMAGRAM_H

#include <cstdint>
#include <vector>

namespace Tonvera {

// Hops x 72 band magnitudes: one row per analysis frame, in time order.
// Every magnitude is finite. A value type; used by one thread at a time.
class Chromagram {
public:
  static constexpr std::uint32_t BANDS = 72;

  explicit Chromagram(std::uint32_t hops);

  std::uint32_t getHops() const { return static_cast<std::uint32_t>(magnitudes.size() / BANDS); }
  double getMagnitude(std::uint32_t hop, std::uint32_t band) const;
  void setMagnitude(std::uint32_t hop, std::uint32_t band, double value);

  // The per-band mean over all hops; 72 zeros for an empty matrix.
  std::vector<double> collapseToOneHop() const;
  void append(const Chromagram& that);

private:
  // Row-major: hop h, band b at h * 72 + b.
  std::vector<double> magnitudes;
};

} // namespace Tonvera

#endif
