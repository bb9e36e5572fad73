#include "tests/translate/access_engines.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data_access/error_info.h"
#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/query_executor.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using jet::Value;

// Table One with its one row, all the executor needs.
class OneRowCursor : public jet::RowCursor {
 public:
  HResult next(std::vector<Value>& row) override {
    if (done_) return DB_S_ENDOFROWSET;
    done_ = true;
    row = {Value(std::int64_t{1}), Value(jet::Null{})};
    return S_OK;
  }

 private:
  bool done_ = false;
};

class OneRowTable : public jet::TableSource {
 public:
  const std::string& name() const override { return name_; }
  const std::vector<jet::SourceColumn>& columns() const override { return columns_; }
  HResult open(std::unique_ptr<jet::RowCursor>& cursor) override {
    cursor = std::make_unique<OneRowCursor>();
    return S_OK;
  }

 private:
  std::string name_ = "One";
  std::vector<jet::SourceColumn> columns_{{"Id", jet::JetType::Long},
                                          {"Nothing", jet::JetType::Long}};
};

class OneRowCatalog : public jet::TableCatalog {
 public:
  std::unique_ptr<jet::TableSource> table(const std::string& name) override {
    if (name != "One" && name != "one") return nullptr;
    return std::make_unique<OneRowTable>();
  }
};

std::string Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

std::string DateText(double serial) {
  const jet::CivilDateTime civil = jet::CivilFromSerial(serial);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", civil.year, civil.month,
                civil.day, civil.hour, civil.minute, civil.second);
  return buffer;
}

std::string Text(const Value& value) {
  struct Visitor {
    std::string operator()(jet::Null) const { return "NULL"; }
    std::string operator()(bool b) const { return b ? "1" : "0"; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return Number(d); }
    std::string operator()(jet::Currency c) const { return Number(c.scaled / 10000.0); }
    std::string operator()(jet::DateTime d) const { return DateText(d.days); }
    std::string operator()(const jet::Decimal& d) const { return d.digits; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const jet::Guid& g) const { return g.text; }
    std::string operator()(const jet::Bytes&) const { return "<bytes>"; }
  };
  return std::visit(Visitor{}, value);
}

bool AsNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

}  // namespace

std::string AccessValue(const std::string& expression) {
  OneRowCatalog catalog;
  ClearThreadErrorObject();
  std::unique_ptr<jet::QueryResult> result;
  const std::string sql = "select " + expression + " from One";
  if (Failed(jet::ExecuteJetQuery(catalog, sql, result))) {
    const auto error = TakeThreadErrorObject();
    return "<failed: " + (error ? error->own.description : std::string()) + ">";
  }
  std::vector<Value> row;
  if (result->next(row) != S_OK || row.empty()) {
    const auto error = TakeThreadErrorObject();
    return "<failed: " + (error ? error->own.description : std::string()) + ">";
  }
  return Text(row.front());
}

std::string ServerValue(Workbench& window, const std::string& mysqlExpression) {
  const std::vector<std::string> values = QueryColumn(
      window, "select " + mysqlExpression +
                  " from (select 1 as `Id`, cast(null as signed) as `Nothing`) as `One`");
  if (values.size() != 1) return "<no row>";
  return values.front();
}

bool SameValue(const std::string& access, const std::string& server) {
  if (access == server) return true;
  double a = 0, b = 0;
  if (!AsNumber(access, a) || !AsNumber(server, b)) return false;
  return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(a));
}

}  // namespace tablift::test
