#include "data_access/odbc/odbc_connection_string.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "data_access/ascii_text.h"

namespace tablift::odbc {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool HasKey(const std::vector<Attribute>& attributes,
            std::initializer_list<std::string_view> keys) {
  return std::any_of(attributes.begin(), attributes.end(), [&](const Attribute& attribute) {
    return std::any_of(keys.begin(), keys.end(), [&](std::string_view key) {
      return EqualsIgnoreCase(attribute.first, key);
    });
  });
}

// Drops every attribute named by one of `keys` and appends key=value.
void Replace(std::vector<Attribute>& attributes, std::initializer_list<std::string_view> keys,
             std::string key, std::string value) {
  attributes.erase(std::remove_if(attributes.begin(), attributes.end(),
                                  [&](const Attribute& attribute) {
                                    return std::any_of(
                                        keys.begin(), keys.end(), [&](std::string_view k) {
                                          return EqualsIgnoreCase(attribute.first, k);
                                        });
                                  }),
                   attributes.end());
  attributes.emplace_back(std::move(key), std::move(value));
}

const std::string* StringValue(const PropertyValue& value) {
  const auto* text = std::get_if<PropertyString>(&value);
  return text != nullptr && text->has_value() ? &**text : nullptr;
}

}  // namespace

InitProperties ReadInitProperties(const std::vector<PropertySet>& sets) {
  InitProperties properties;
  for (const PropertySet& set : sets) {
    if (set.id() != PropertySetId::DBInit) continue;
    for (const Property& property : set.properties()) {
      const std::string* text = StringValue(property.value);
      switch (property.id) {
        case DBPROP_INIT_DATASOURCE:
          properties.dataSource = text != nullptr ? *text : std::string();
          break;
        case DBPROP_INIT_PROVIDERSTRING:
          properties.providerString = text != nullptr ? *text : std::string();
          break;
        case DBPROP_AUTH_USERID:
          properties.userId = text != nullptr ? std::optional(*text) : std::nullopt;
          break;
        case DBPROP_AUTH_PASSWORD:
          properties.password = text != nullptr ? std::optional(*text) : std::nullopt;
          break;
        case DBPROP_INIT_CATALOG:
          properties.catalog = text != nullptr ? *text : std::string();
          break;
        default:
          break;
      }
    }
  }
  return properties;
}

std::vector<Attribute> ParseConnectionString(std::string_view text) {
  std::vector<Attribute> attributes;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t equals = text.find('=', at);
    const std::size_t semicolon = text.find(';', at);
    if (equals == std::string_view::npos ||
        (semicolon != std::string_view::npos && semicolon < equals)) {
      // A part without "=": nothing to keep.
      if (semicolon == std::string_view::npos) break;
      at = semicolon + 1;
      continue;
    }
    const std::string_view key = Trim(text.substr(at, equals - at));
    std::size_t valueAt = equals + 1;
    while (valueAt < text.size() && text[valueAt] == ' ')
      ++valueAt;
    std::string value;
    if (valueAt < text.size() && text[valueAt] == '{') {
      std::size_t i = valueAt + 1;
      for (; i < text.size(); ++i) {
        if (text[i] == '}') {
          if (i + 1 < text.size() && text[i + 1] == '}') {
            value += '}';
            ++i;
            continue;
          }
          break;
        }
        value += text[i];
      }
      const std::size_t end = text.find(';', i);
      at = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      const std::size_t end = text.find(';', valueAt);
      value = Trim(text.substr(
          valueAt, end == std::string_view::npos ? std::string_view::npos : end - valueAt));
      at = end == std::string_view::npos ? text.size() : end + 1;
    }
    if (!key.empty()) attributes.emplace_back(std::string(key), std::move(value));
  }
  return attributes;
}

std::string ConnectionStringValue(std::string_view value) {
  const bool braced = value.find_first_of(";{}=") != std::string_view::npos ||
                      (!value.empty() && (std::isspace(static_cast<unsigned char>(value.front())) ||
                                          std::isspace(static_cast<unsigned char>(value.back()))));
  if (!braced) return std::string(value);
  std::string text = "{";
  for (const char c : value) {
    text += c;
    if (c == '}') text += '}';
  }
  text += '}';
  return text;
}

std::string BuildConnectionString(const InitProperties& properties, std::string_view charset) {
  std::vector<Attribute> attributes = ParseConnectionString(properties.providerString);
  if (!properties.dataSource.empty() && !HasKey(attributes, {"DSN", "DRIVER", "FILEDSN"})) {
    attributes.insert(attributes.begin(), {"DSN", properties.dataSource});
  }
  if (properties.userId && !properties.userId->empty()) {
    Replace(attributes, {"UID", "USER"}, "UID", *properties.userId);
    Replace(attributes, {"PWD", "PASSWORD"}, "PWD", properties.password.value_or(std::string()));
  } else if (properties.password && !properties.password->empty()) {
    Replace(attributes, {"PWD", "PASSWORD"}, "PWD", *properties.password);
  }
  if (!properties.catalog.empty()) {
    Replace(attributes, {"DATABASE", "DB"}, "DATABASE", properties.catalog);
  }
  if (!charset.empty()) Replace(attributes, {"CHARSET"}, "CHARSET", std::string(charset));

  std::string text;
  for (const auto& [key, value] : attributes) {
    text += key;
    text += '=';
    // Driver names are braced whatever they hold, as drivers expect them.
    text += EqualsIgnoreCase(key, "DRIVER") ? "{" + value + "}" : ConnectionStringValue(value);
    text += ';';
  }
  return text;
}

}  // namespace tablift::odbc
