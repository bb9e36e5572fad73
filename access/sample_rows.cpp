#include "access/sample_rows.h"

#include <array>
#include <cstdio>

namespace tablift::sample {
namespace {

using jet::Bytes;
using jet::Currency;
using jet::DateTime;
using jet::Decimal;
using jet::Guid;
using jet::Null;
using jet::Value;

constexpr std::uint64_t kSeed = 0x5A3C1E2D4B6F7081ULL;
constexpr std::uint64_t kCustomers = 30;
constexpr std::uint64_t kEmployees = 9;
constexpr std::uint64_t kCategories = 8;
constexpr std::uint64_t kShippers = 3;
constexpr std::uint64_t kProducts = 77;

// SplitMix64 over (seed, table, row): the same numbers on every platform.
std::uint64_t Mix(std::uint64_t value) {
  value += 0x9E3779B97F4A7C15ULL;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
  return value ^ (value >> 31);
}

std::uint64_t Random(std::uint64_t table, std::uint64_t row, std::uint64_t field) {
  return Mix(kSeed ^ Mix(table * 0x100000001B3ULL ^ Mix(row * 131 + field)));
}

std::string CustomerCode(std::uint64_t index) {
  char code[8];
  std::snprintf(code, sizeof code, "C%03u", static_cast<unsigned>(index + 1));
  return code;
}

Bytes Blob(std::size_t size, std::uint64_t row) {
  Bytes bytes;
  bytes.data.resize(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes.data[i] = static_cast<std::uint8_t>(Mix(row + i));
  return bytes;
}

std::string GuidText(std::uint64_t table, std::uint64_t row) {
  std::uint64_t high = Random(table, row, 1);
  std::uint64_t low = Random(table, row, 2);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
  return text;
}

// A value, or Null when it is not present.
Value Maybe(bool present, Value value) {
  if (!present) return Null{};
  return value;
}

const std::array<const char*, 8> kCountries = {"Germany", "France", "Spain", "Sweden",
                                               "Mexico",  "Brazil", "Japan", "USA"};

SampleRows CategoryRows() {
  static const std::array<const char*, kCategories> names = {
      "Beverages", "Condiments", "Confections", "Dairy Products",
      "Grains",    "Meat",       "Produce",     "Seafood"};
  return {"Categories", kCategories, [](std::uint64_t i) -> std::vector<Value> {
            Value picture = Maybe(i % 3 != 0, Blob(100 + i * 700, i));
            Value description =
                Maybe(i != 1, std::string(names[i]) + " \xE2\x80\x94 \"best\" of 'class'");
            return {static_cast<std::int64_t>(i + 1), std::string(names[i]), description, picture};
          }};
}

SampleRows CustomerRows() {
  return {"Customers", kCustomers, [](std::uint64_t i) -> std::vector<Value> {
            static const std::array<const char*, 6> companies = {
                "Alfreds Futterkiste",
                "O'Brien & Sons",
                "Caf\xC3\xA9 \xE2\x98\x95 M\xC3\xBCller",
                "Back\\slash \"Quoted\" Ltd",
                "\xE6\x9D\xB1\xE4\xBA\xAC\xE5\x95\x86\xE4\xBA\x8B",
                "Smile \xF0\x9F\x98\x80 Corp"};
            Value contact = Maybe(i % 5 != 4, "Contact " + std::to_string(i + 1));
            Value country = Maybe(i % 9 != 8, std::string(kCountries[i % 8]));
            Value credit =
                Maybe(i % 7 != 6, Currency{static_cast<std::int64_t>(Random(2, i, 1) % 100000000)});
            Value notes = Maybe(i % 4 != 0, std::string("Line one\r\nLine two"));
            Value logo = Maybe(i % 6 == 0, Blob(40, i));
            return {CustomerCode(i),
                    std::string(companies[i % companies.size()]) + " " + std::to_string(i + 1),
                    contact,
                    country,
                    credit,
                    i % 2 == 0,
                    notes,
                    logo};
          }};
}

SampleRows EmployeeRows() {
  return {"Employees", kEmployees, [](std::uint64_t i) -> std::vector<Value> {
            Value birth = Maybe(i != 8, DateTime{AccessDate(1950 + static_cast<int>(i) * 4,
                                                            1 + static_cast<int>(i), 10)});
            if (i == 0) birth = DateTime{AccessDate(1871, 3, 15)};
            Value photo = Maybe(i == 2, Blob(5000, i));
            return {"Last" + std::to_string(i + 1),
                    Maybe(i != 3, std::string("J\xC3\xBCrgen")),
                    birth,
                    DateTime{AccessDate(2001, 1 + static_cast<int>(i), 1, 9, 30)},
                    Currency{static_cast<std::int64_t>(30000 + i * 1234) * 10000 + 1234},
                    photo,
                    Null{}};
          }};
}

SampleRows ShipperRows() {
  return {"Shippers", kShippers, [](std::uint64_t i) -> std::vector<Value> {
            static const std::array<const char*, kShippers> names = {
                "Speedy Express", "United Package", "Federal \"Fast\" Shipping"};
            return {static_cast<std::int64_t>(i + 1), std::string(names[i]),
                    Maybe(i != 2, "(503) 555-98" + std::to_string(30 + i))};
          }};
}

SampleRows ProductRows() {
  return {"Products", kProducts, [](std::uint64_t i) -> std::vector<Value> {
            std::uint64_t r = Random(5, i, 0);
            Value sku = Maybe(i % 10 != 9, "SKU" + std::to_string(10000 + i * 7));
            Value weight = Maybe(i % 11 != 10, static_cast<double>(r % 5000) / 4.0);
            Value rating = Maybe(i % 13 != 12, static_cast<double>(r % 1000) / 200.0);
            char tax[16];
            std::snprintf(tax, sizeof tax, "%u.%04u", static_cast<unsigned>(r % 30),
                          static_cast<unsigned>((r >> 8) % 10000));
            Value checksum = Maybe(i % 8 != 7, Blob(16, i));
            return {static_cast<std::int64_t>(i + 1),
                    "Product " + std::to_string(i + 1) + (i % 5 == 0 ? " 'special'" : ""),
                    sku,
                    static_cast<std::int64_t>(i % kCategories + 1),
                    Currency{static_cast<std::int64_t>(r % 2000000) + 1},
                    static_cast<std::int64_t>(r % 500) - 20,
                    weight,
                    rating,
                    Maybe(i % 6 != 5, Decimal{tax}),
                    i % 9 == 0,
                    Maybe(i % 12 != 11, Guid{GuidText(5, i)}),
                    checksum};
          }};
}

SampleRows OrderRows(std::uint64_t count) {
  return {"Order", count, [](std::uint64_t i) -> std::vector<Value> {
            std::uint64_t r = Random(6, i, 0);
            double ordered = AccessDate(1996, 7, 4) + static_cast<double>(i % 12000) +
                             static_cast<double>(r % 1440) / 1440.0;
            Value shipped =
                Maybe(i % 7 != 3, DateTime{i % 97 == 5 ? AccessDate(2040, 6, 30, 12, 0)
                                                       : ordered + static_cast<double>(r % 20)});
            std::string ship = i % 50 == 7 ? std::string("O'Neil \"Quick\" C:\\Ship\\Dock")
                                           : "Ship to " + CustomerCode(r % kCustomers);
            Value comments =
                Maybe(i % 40 == 1, std::string("Deliver before noon, \xE2\x82\xAC 5 tip"));
            return {static_cast<std::int64_t>(i + 1),
                    Maybe(i % 31 != 30, CustomerCode(r % kCustomers)),
                    static_cast<std::int64_t>((r >> 8) % kEmployees + 1),
                    DateTime{ordered},
                    shipped,
                    static_cast<std::int64_t>((r >> 16) % kShippers + 1),
                    Currency{static_cast<std::int64_t>((r >> 20) % 5000000)},
                    ship,
                    comments};
          }};
}

SampleRows OrderDetailRows(std::uint64_t count) {
  return {"Order Details", count, [](std::uint64_t i) -> std::vector<Value> {
            std::uint64_t r = Random(7, i, 0);
            return {static_cast<std::int64_t>(i / 3 + 1),
                    static_cast<std::int64_t>(i % 3 + 1),
                    static_cast<std::int64_t>(r % kProducts + 1),
                    Maybe(i % 29 != 28, static_cast<std::int64_t>(r % 120 + 1)),
                    Currency{static_cast<std::int64_t>((r >> 8) % 1000000) + 5},
                    i % 4 == 0 ? 0.0 : static_cast<double>((r >> 24) % 5) * 0.05};
          }};
}

std::string LongMemo() {
  std::string memo;
  for (int line = 0; memo.size() < 9000; ++line) {
    memo += "Line " + std::to_string(line) + ": \"quoted\", back\\slash, plain ASCII.\r\n";
  }
  return memo.substr(0, 9000);
}

SampleRows AwkwardRows() {
  return {"Awkward Values", 6, [](std::uint64_t i) -> std::vector<Value> {
            switch (i) {
              case 0:
                return {std::int64_t{1}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{},
                        Null{},          Null{}, Null{}, false,  Null{}, Null{}, Null{}};
              case 1:
                return {std::int64_t{2},
                        std::string("Smile \xF0\x9F\x98\x80 caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"),
                        LongMemo(),
                        std::int64_t{255},
                        std::int64_t{-32768},
                        std::int64_t{-2147483647 - 1},
                        3.5,
                        -1.25e300,
                        Currency{123456789},
                        Decimal{"-123456789012345678.1234567890"},
                        DateTime{AccessDate(1850, 1, 1)},
                        true,
                        Guid{"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
                        Bytes{{0x00, 0x00, 0x01, 0x02, 0x00, 0x00}},
                        Bytes{{0x00, 0xFF, 0x00}}};
              case 2:
                return {std::int64_t{3},
                        std::string("O'Reilly said \"hi\" \\ C:\\path\\"),
                        std::string(""),
                        std::int64_t{0},
                        std::int64_t{32767},
                        std::int64_t{2147483647},
                        -0.5,
                        0.1,
                        Currency{-9999},
                        Decimal{"0.0000000001"},
                        DateTime{AccessDate(2099, 12, 31, 23, 59)},
                        false,
                        Guid{"{00000000-0000-0000-0000-000000000000}"},
                        Bytes{{0x00}},
                        Bytes{}};
              case 3:
                return {std::int64_t{4},
                        std::string(""),
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Currency{1},
                        Null{},
                        DateTime{AccessDate(1899, 12, 30)},
                        true,
                        Null{},
                        Null{},
                        Null{}};
              case 4:
                return {std::int64_t{5},
                        std::string("Tab\there, line\r\nbreak"),
                        Null{},
                        std::int64_t{1},
                        std::int64_t{-1},
                        std::int64_t{-1},
                        1e-30,
                        -0.0,
                        Currency{922337203685477LL * 10000},
                        Decimal{"1.5000000000"},
                        DateTime{AccessDate(1753, 1, 1)},
                        false,
                        Null{},
                        Bytes{std::vector<std::uint8_t>(32, 0)},
                        Null{}};
              default:
                return {std::int64_t{6},
                        Null{},
                        std::string("short memo"),
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        Null{},
                        DateTime{AccessDate(2038, 1, 19, 3, 14)},
                        false,
                        Null{},
                        Null{},
                        Blob(70000, 6)};
            }
          }};
}

}  // namespace

double AccessDate(int year, int month, int day, int hour, int minute) {
  // Days from 1970-01-01 (proleptic Gregorian), then shifted to 1899-12-30.
  year -= month <= 2 ? 1 : 0;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const long long unixDays = static_cast<long long>(era) * 146097 + dayOfEra - 719468;
  return static_cast<double>(unixDays + 25569) + (hour * 60 + minute) / 1440.0;
}

std::vector<SampleRows> SampleRowSources(std::uint64_t scaledRows) {
  return {CategoryRows(),
          CustomerRows(),
          EmployeeRows(),
          ShipperRows(),
          ProductRows(),
          OrderRows(scaledRows),
          OrderDetailRows(scaledRows),
          AwkwardRows()};
}

}  // namespace tablift::sample
