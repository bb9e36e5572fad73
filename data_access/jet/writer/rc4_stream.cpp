#include "data_access/jet/writer/rc4_stream.h"

#include <array>
#include <utility>

namespace tablift::jet {

void Rc4Transform(std::span<const std::uint8_t> key, std::span<std::uint8_t> bytes) {
  if (key.empty()) return;
  std::array<std::uint8_t, 256> state{};
  for (std::size_t i = 0; i < state.size(); ++i)
    state[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (std::size_t i = 0; i < state.size(); ++i) {
    j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
    std::swap(state[i], state[j]);
  }
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  for (std::uint8_t& byte : bytes) {
    x = static_cast<std::uint8_t>(x + 1);
    y = static_cast<std::uint8_t>(y + state[x]);
    std::swap(state[x], state[y]);
    byte ^= state[static_cast<std::uint8_t>(state[x] + state[y])];
  }
}

}  // namespace tablift::jet
