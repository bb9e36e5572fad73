#include "tests/support/private_server.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace tablift::test {

namespace {

// Undoes POSIX shell quoting for the forms a script writes in an assignment:
// 'single quoted', "double quoted" with backslash escapes, and backslash-escaped
// bare characters. An unquoted blank ends the value (a comment may follow).
std::string ShellUnquote(const std::string& text) {
  std::string value;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == ' ' || c == '\t') break;
    if (c == '\'') {
      size_t end = text.find('\'', i + 1);
      if (end == std::string::npos) end = text.size();
      value.append(text, i + 1, end - i - 1);
      i = end + 1;
    } else if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size() &&
            std::string_view("$`\"\\").find(text[i + 1]) != std::string_view::npos) {
          ++i;
        }
        value += text[i];
      }
      ++i;
    } else if (c == '\\' && i + 1 < text.size()) {
      value += text[i + 1];
      i += 2;
    } else {
      value += c;
      ++i;
    }
  }
  return value;
}

// Connection string attribute values follow the ODBC rule: a value with a
// separator or brace is enclosed in braces, a closing brace inside doubled.
std::string OdbcValue(const std::string& value) {
  bool needs_braces = value.find_first_of(";{}=") != std::string::npos ||
                      (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!needs_braces) return value;
  std::string braced = "{";
  for (char c : value) {
    braced += c;
    if (c == '}') braced += '}';
  }
  braced += '}';
  return braced;
}

}  // namespace

std::string PrivateServer::odbcConnectionString(const std::string& database) const {
  std::string text = std::string("DRIVER={") + kMariaDbOdbcDriver + "};";
  text += "SERVER=" + OdbcValue(host) + ";";
  text += "PORT=" + std::to_string(port) + ";";
  text += "UID=" + OdbcValue(user) + ";";
  text += "PWD=" + OdbcValue(password) + ";";
  if (!database.empty()) text += "DATABASE=" + OdbcValue(database) + ";";
  return text;
}

std::optional<PrivateServer> PrivateServerFromEnvFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) return std::nullopt;
  PrivateServer server;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("export ", 0) == 0) line.erase(0, 7);
    size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
    std::string name = line.substr(0, equals);
    std::string value = ShellUnquote(line.substr(equals + 1));
    if (name == "TABLIFT_MARIADB_HOST") {
      server.host = value;
    } else if (name == "TABLIFT_MARIADB_PORT") {
      char* end = nullptr;
      long port = std::strtol(value.c_str(), &end, 10);
      if (end != value.c_str() && *end == '\0' && port > 0 && port < 65536) {
        server.port = static_cast<int>(port);
      }
    } else if (name == "TABLIFT_MARIADB_SOCKET") {
      server.socket = value;
    } else if (name == "TABLIFT_MARIADB_USER") {
      server.user = value;
    } else if (name == "TABLIFT_MARIADB_PASSWORD") {
      server.password = value;
    }
  }
  if (server.host.empty() || server.port == 0 || server.user.empty()) return std::nullopt;
  return server;
}

std::optional<PrivateServer> PrivateServerFromEnvironment() {
  const char* dir = std::getenv("TABLIFT_MARIADB_DIR");
  if (dir == nullptr || *dir == '\0') return std::nullopt;
  return PrivateServerFromEnvFile(std::filesystem::path(dir) / "env");
}

std::vector<PrivateServer> PrivateClusterFromEnvironment() {
  const char* dir = std::getenv("TABLIFT_GALERA_DIR");
  if (dir == nullptr || *dir == '\0') return {};
  std::ifstream in(std::filesystem::path(dir) / "env");
  std::string nodes;
  PrivateServer common;
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const std::string value = ShellUnquote(line.substr(equals + 1));
    if (name == "TABLIFT_GALERA_NODES") nodes = value;
    if (name == "TABLIFT_GALERA_USER") common.user = value;
    if (name == "TABLIFT_GALERA_PASSWORD") common.password = value;
  }
  std::vector<PrivateServer> servers;
  for (size_t start = 0; start < nodes.size();) {
    const size_t comma = std::min(nodes.find(',', start), nodes.size());
    const std::string entry = nodes.substr(start, comma - start);
    const size_t colon = entry.rfind(':');
    if (colon != std::string::npos) {
      PrivateServer node = common;
      node.host = entry.substr(0, colon);
      node.port = std::atoi(entry.c_str() + colon + 1);
      if (node.port > 0) servers.push_back(node);
    }
    start = comma + 1;
  }
  return servers;
}

}  // namespace tablift::test
