#include "data_access/jet/wire_format.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace tablift::jet {
namespace {

// The tags of the alternatives of Value, in the order of its declaration.
enum ValueTag : std::uint8_t {
  kNullTag,
  kBoolTag,
  kIntegerTag,
  kRealTag,
  kCurrencyTag,
  kDateTag,
  kDecimalTag,
  kTextTag,
  kGuidTag,
  kBytesTag,
};

// Integers travel little-endian; on a little-endian machine (every machine
// the program runs on) that is their memory form, copied in one piece.
template <typename T>
T LittleEndian(T value) {
  static_assert(std::is_unsigned_v<T>);
  if constexpr (std::endian::native == std::endian::little) {
    return value;
  } else {
    T swapped = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
      swapped |= static_cast<T>((value >> (8 * i)) & 0xFF) << (8 * (sizeof(T) - 1 - i));
    return swapped;
  }
}

template <typename T>
void AppendLittleEndian(std::string& out, T value) {
  const T stored = LittleEndian(value);
  out.append(reinterpret_cast<const char*>(&stored), sizeof stored);
}

template <typename T>
T LoadLittleEndian(const char* at) {
  T stored = 0;
  std::memcpy(&stored, at, sizeof stored);
  return LittleEndian(stored);
}

// Memory a decoded value may keep beyond what it needs: rows are decoded
// into the values of earlier rows, and one long value must not leave every
// value that passes through its place that large.
constexpr std::size_t kKeptSpareBytes = 64u << 10;

std::size_t Capacity(const std::string& text) {
  return text.capacity();
}
std::size_t Capacity(const Decimal& decimal) {
  return decimal.digits.capacity();
}
std::size_t Capacity(const Guid& guid) {
  return guid.text.capacity();
}
std::size_t Capacity(const Bytes& bytes) {
  return bytes.data.capacity();
}

// The value's alternative T for `size` bytes: the one it holds, so that its
// memory is reused, unless that holds far more memory than needed.
template <typename T>
T& Reuse(Value& value, std::size_t size) {
  if (T* held = std::get_if<T>(&value); held && Capacity(*held) <= size + kKeptSpareBytes) {
    return *held;
  }
  return value.emplace<T>();
}

}  // namespace

void WireWriter::u32(std::uint32_t value) {
  AppendLittleEndian(buffer_, value);
}

void WireWriter::i64(std::int64_t value) {
  AppendLittleEndian(buffer_, static_cast<std::uint64_t>(value));
}

void WireWriter::f64(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  AppendLittleEndian(buffer_, bits);
}

void WireWriter::text(std::string_view value) {
  u32(static_cast<std::uint32_t>(value.size()));
  buffer_.append(value);
}

void WireWriter::bytes(std::span<const std::uint8_t> value) {
  u32(static_cast<std::uint32_t>(value.size()));
  buffer_.append(reinterpret_cast<const char*>(value.data()), value.size());
}

void WireWriter::value(const Value& value) {
  // A value's tag and its fixed-size part (a number, or a length) go in
  // with one append.
  char head[9];
  const auto put = [&](ValueTag tag, auto number) {
    static_assert(sizeof number <= 8);
    const auto stored = LittleEndian(number);
    head[0] = static_cast<char>(tag);
    std::memcpy(head + 1, &stored, sizeof stored);
    buffer_.append(head, 1 + sizeof stored);
  };
  const auto putBits = [&](ValueTag tag, double number) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    put(tag, bits);
  };
  const auto putText = [&](ValueTag tag, const void* data, std::size_t size) {
    put(tag, static_cast<std::uint32_t>(size));
    buffer_.append(static_cast<const char*>(data), size);
  };
  std::visit(
      [&](const auto& held) {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, Null>) {
          u8(kNullTag);
        } else if constexpr (std::is_same_v<T, bool>) {
          put(kBoolTag, static_cast<std::uint8_t>(held ? 1 : 0));
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          put(kIntegerTag, static_cast<std::uint64_t>(held));
        } else if constexpr (std::is_same_v<T, double>) {
          putBits(kRealTag, held);
        } else if constexpr (std::is_same_v<T, Currency>) {
          put(kCurrencyTag, static_cast<std::uint64_t>(held.scaled));
        } else if constexpr (std::is_same_v<T, DateTime>) {
          putBits(kDateTag, held.days);
        } else if constexpr (std::is_same_v<T, Decimal>) {
          putText(kDecimalTag, held.digits.data(), held.digits.size());
        } else if constexpr (std::is_same_v<T, std::string>) {
          putText(kTextTag, held.data(), held.size());
        } else if constexpr (std::is_same_v<T, Guid>) {
          putText(kGuidTag, held.text.data(), held.text.size());
        } else {
          putText(kBytesTag, held.data.data(), held.data.size());
        }
      },
      value);
}

bool WireReader::take(std::size_t count, const char*& at) {
  if (!ok_ || count > data_.size() - position_) return fail();
  at = data_.data() + position_;
  position_ += count;
  return true;
}

bool WireReader::u8(std::uint8_t& value) {
  const char* at = nullptr;
  if (!take(1, at)) return false;
  value = static_cast<std::uint8_t>(*at);
  return true;
}

bool WireReader::boolean(bool& value) {
  std::uint8_t byte = 0;
  if (!u8(byte)) return false;
  if (byte > 1) return fail();
  value = byte == 1;
  return true;
}

bool WireReader::u32(std::uint32_t& value) {
  const char* at = nullptr;
  if (!take(4, at)) return false;
  value = LoadLittleEndian<std::uint32_t>(at);
  return true;
}

bool WireReader::i32(std::int32_t& value) {
  std::uint32_t bits = 0;
  if (!u32(bits)) return false;
  value = static_cast<std::int32_t>(bits);
  return true;
}

bool WireReader::i64(std::int64_t& value) {
  const char* at = nullptr;
  if (!take(8, at)) return false;
  value = static_cast<std::int64_t>(LoadLittleEndian<std::uint64_t>(at));
  return true;
}

bool WireReader::f64(double& value) {
  const char* at = nullptr;
  if (!take(8, at)) return false;
  const auto bits = LoadLittleEndian<std::uint64_t>(at);
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

bool WireReader::textView(std::string_view& value) {
  std::uint32_t length = 0;
  const char* at = nullptr;
  if (!u32(length) || !take(length, at)) return false;
  value = std::string_view(at, length);
  return true;
}

bool WireReader::text(std::string& value) {
  std::string_view held;
  if (!textView(held)) return false;
  value.assign(held);
  return true;
}

bool WireReader::value(Value& value) {
  std::uint8_t tag = 0;
  if (!u8(tag)) return false;
  switch (tag) {
    case kNullTag:
      value = Null{};
      return true;
    case kBoolTag: {
      bool held = false;
      if (!boolean(held)) return false;
      value = held;
      return true;
    }
    case kIntegerTag: {
      std::int64_t held = 0;
      if (!i64(held)) return false;
      value = held;
      return true;
    }
    case kRealTag: {
      double held = 0;
      if (!f64(held)) return false;
      value = held;
      return true;
    }
    case kCurrencyTag: {
      Currency held;
      if (!i64(held.scaled)) return false;
      value = held;
      return true;
    }
    case kDateTag: {
      DateTime held;
      if (!f64(held.days)) return false;
      value = held;
      return true;
    }
    case kDecimalTag: {
      std::string_view held;
      if (!textView(held)) return false;
      Reuse<Decimal>(value, held.size()).digits.assign(held);
      return true;
    }
    case kTextTag: {
      std::string_view held;
      if (!textView(held)) return false;
      Reuse<std::string>(value, held.size()).assign(held);
      return true;
    }
    case kGuidTag: {
      std::string_view held;
      if (!textView(held)) return false;
      Reuse<Guid>(value, held.size()).text.assign(held);
      return true;
    }
    case kBytesTag: {
      std::string_view held;
      if (!textView(held)) return false;
      const auto* at = reinterpret_cast<const std::uint8_t*>(held.data());
      Reuse<Bytes>(value, held.size()).data.assign(at, at + held.size());
      return true;
    }
    default:
      return fail();
  }
}

}  // namespace tablift::jet
