#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tablift {

// Which group of properties a set belongs to.
// JetInit is the Jet provider's own initialisation group
// ({82CF8156-9B40-11D0-9EBD-00C04FC2C2E0}); other providers ignore it.
enum class PropertySetId { DBInit, Rowset, DataSourceInfo, JetInit };

// Property ids, as the OLE DB property sets number them.
enum PropertyId : std::uint32_t {
  DBPROP_AUTH_CACHE_AUTHINFO = 5,
  DBPROP_AUTH_ENCRYPT_PASSWORD = 6,
  DBPROP_AUTH_MASK_PASSWORD = 8,
  DBPROP_AUTH_PASSWORD = 9,
  DBPROP_AUTH_USERID = 12,
  DBPROP_CURRENTCATALOG = 37,
  DBPROP_DATASOURCENAME = 38,
  DBPROP_DBMSNAME = 40,
  DBPROP_DBMSVER = 41,
  DBPROP_INIT_DATASOURCE = 59,
  // The provider's own version; over ODBC, the driver's.
  DBPROP_PROVIDERVER = 98,
  DBPROP_INIT_MODE = 63,
  DBPROP_INIT_PROMPT = 64,
  DBPROP_UPDATABILITY = 117,
  DBPROP_IRowset = 126,
  DBPROP_IRowsetChange = 127,
  DBPROP_INIT_PROVIDERSTRING = 160,
  DBPROP_INIT_LCID = 186,
  DBPROP_INIT_CATALOG = 233,
  // In the JetInit group: the path of the workgroup (system) database.
  DBPROP_JETOLEDB_SYSDBPATH = 250,
  // Data source information of the Jet provider: the format of the open file,
  // "Jet 3", "Jet 4", "ACE 12", "ACE 14", "ACE 15", "ACE 16" or "ACE 17".
  DBPROP_JETOLEDB_ENGINE = 251,
};

inline constexpr std::int32_t DB_MODE_SHARE_DENY_NONE = 16;
inline constexpr std::int16_t DBPROMPT_NOPROMPT = 4;
// English (United States).
inline constexpr std::int32_t kLocaleEnglishUs = 0x409;
// Change, delete and insert allowed.
inline constexpr std::int32_t DBPROPVAL_UP_ALL = 7;

// A string property's value; no value stands for a null string.
using PropertyString = std::optional<std::string>;
// The typed value of one property (VT_BOOL, VT_I4, VT_I2, VT_BSTR).
using PropertyValue = std::variant<bool, std::int32_t, std::int16_t, PropertyString>;

struct Property {
  PropertyId id;
  std::uint32_t options = 0;  // always required
  std::uint32_t status = 0;
  PropertyValue value;
};

// One set of properties. Adding never replaces: every add appends an entry,
// even when the same id is already there, and readers take the entries in
// order (so the last of several provider strings is the one in force).
class PropertySet {
 public:
  explicit PropertySet(PropertySetId id) : id_(id) {}

  PropertySetId id() const { return id_; }
  const std::vector<Property>& properties() const { return properties_; }

  void addBool(PropertyId id, bool value) { properties_.push_back({id, 0, 0, value}); }
  void addInt32(PropertyId id, std::int32_t value) { properties_.push_back({id, 0, 0, value}); }
  void addInt16(PropertyId id, std::int16_t value) { properties_.push_back({id, 0, 0, value}); }
  void addString(PropertyId id, PropertyString value) {
    properties_.push_back({id, 0, 0, std::move(value)});
  }

  // The value of the last entry with this id, if there is one.
  const PropertyValue* find(PropertyId id) const {
    for (auto it = properties_.rbegin(); it != properties_.rend(); ++it) {
      if (it->id == id) return &it->value;
    }
    return nullptr;
  }

 private:
  PropertySetId id_;
  std::vector<Property> properties_;
};

}  // namespace tablift
