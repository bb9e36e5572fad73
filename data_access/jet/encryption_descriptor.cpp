#include "data_access/jet/encryption_descriptor.h"

#include <charconv>

namespace tablift::jet {
namespace {

// The attributes of the first element whose name is `name` or ends in
// ":name" (the key encryptor's element carries a namespace prefix).
std::optional<std::string_view> ElementAttributes(std::string_view xml, std::string_view name) {
  std::size_t at = 0;
  while ((at = xml.find('<', at)) != std::string_view::npos) {
    ++at;
    std::size_t end = at;
    while (end < xml.size() && xml[end] != ' ' && xml[end] != '>' && xml[end] != '/' &&
           xml[end] != '\r' && xml[end] != '\n' && xml[end] != '\t') {
      ++end;
    }
    const std::string_view tag = xml.substr(at, end - at);
    const bool matches =
        tag == name || (tag.size() > name.size() && tag.substr(tag.size() - name.size()) == name &&
                        tag[tag.size() - name.size() - 1] == ':');
    if (matches) {
      const std::size_t close = xml.find('>', end);
      if (close == std::string_view::npos) return std::nullopt;
      return xml.substr(end, close - end);
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> Attribute(std::string_view attributes, std::string_view name) {
  std::size_t at = 0;
  while ((at = attributes.find(name, at)) != std::string_view::npos) {
    const bool startsName = at == 0 || attributes[at - 1] == ' ' || attributes[at - 1] == '\n' ||
                            attributes[at - 1] == '\r' || attributes[at - 1] == '\t';
    std::size_t after = at + name.size();
    if (startsName && after + 1 < attributes.size() && attributes[after] == '=' &&
        (attributes[after + 1] == '"' || attributes[after + 1] == '\'')) {
      const char quote = attributes[after + 1];
      const std::size_t close = attributes.find(quote, after + 2);
      if (close == std::string_view::npos) return std::nullopt;
      return attributes.substr(after + 2, close - after - 2);
    }
    at = after;
  }
  return std::nullopt;
}

bool Number(std::string_view attributes, std::string_view name, std::uint32_t& value) {
  const auto text = Attribute(attributes, name);
  if (!text) return false;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  return error == std::errc() && end == text->data() + text->size();
}

bool Text(std::string_view attributes, std::string_view name, std::string& value) {
  const auto text = Attribute(attributes, name);
  if (!text) return false;
  value = std::string(*text);
  return true;
}

bool Binary(std::string_view attributes, std::string_view name, std::vector<std::uint8_t>& value) {
  const auto text = Attribute(attributes, name);
  if (!text) return false;
  auto decoded = DecodeBase64(*text);
  if (!decoded) return false;
  value = std::move(*decoded);
  return true;
}

bool KeyData(std::string_view attributes, AgileKeyData& data) {
  return Number(attributes, "blockSize", data.blockSize) &&
         Number(attributes, "keyBits", data.keyBits) &&
         Text(attributes, "cipherAlgorithm", data.cipherAlgorithm) &&
         Text(attributes, "cipherChaining", data.cipherChaining) &&
         Text(attributes, "hashAlgorithm", data.hashAlgorithm) &&
         Binary(attributes, "saltValue", data.salt) && !data.salt.empty() && data.blockSize <= 64 &&
         data.keyBits % 8 == 0;
}

int Sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  std::vector<std::uint8_t> out;
  std::uint32_t bits = 0;
  int count = 0;
  bool padding = false;
  for (const char c : text) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    const int value = Sextet(c);
    if (value < 0 || padding) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    if (++count == 4) {
      out.push_back(static_cast<std::uint8_t>(bits >> 16));
      out.push_back(static_cast<std::uint8_t>(bits >> 8));
      out.push_back(static_cast<std::uint8_t>(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) return std::nullopt;
  if (count == 2) out.push_back(static_cast<std::uint8_t>(bits >> 4));
  if (count == 3) {
    out.push_back(static_cast<std::uint8_t>(bits >> 10));
    out.push_back(static_cast<std::uint8_t>(bits >> 2));
  }
  return out;
}

std::optional<AgileDescriptor> ParseAgileDescriptor(std::string_view xml) {
  AgileDescriptor descriptor;
  const auto keyData = ElementAttributes(xml, "keyData");
  const auto encryptedKey = ElementAttributes(xml, "encryptedKey");
  if (!keyData || !encryptedKey || !KeyData(*keyData, descriptor.keyData) ||
      !KeyData(*encryptedKey, descriptor.passwordKey) ||
      !Number(*encryptedKey, "spinCount", descriptor.passwordKey.spinCount) ||
      !Binary(*encryptedKey, "encryptedVerifierHashInput", descriptor.encryptedVerifierHashInput) ||
      !Binary(*encryptedKey, "encryptedVerifierHashValue", descriptor.encryptedVerifierHashValue) ||
      !Binary(*encryptedKey, "encryptedKeyValue", descriptor.encryptedKeyValue)) {
    return std::nullopt;
  }
  return descriptor;
}

}  // namespace tablift::jet
