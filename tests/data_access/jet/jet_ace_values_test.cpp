// What Access 2007 and later store differently, decoded from bytes made here:
// Date/Time Extended text, calculated values behind their header, attachment
// data (stored or deflated), the agile encryption descriptor, the column
// details of a table definition, and how all of it travels from the reader
// process. Damaged forms are refused without reading past their ends.

#include <gtest/gtest.h>
#include <zlib.h>

#include "data_access/jet/attachment_data.h"
#include "data_access/jet/encryption_descriptor.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/stored_values.h"
#include "data_access/jet/table_description.h"

namespace tablift::jet {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::optional<std::string> Extended(const std::string& stored) {
  return ExtendedDateTimeText(Of(stored));
}

TEST(JetAceValues, ExtendedDatesKeepSevenDigitsFromYearOneToYear9999) {
  EXPECT_EQ(Extended("0000000000000000000:0000000000000000000"), "0001-01-01 00:00:00.0000000");
  // 1899-12-30, the Access epoch, is day 693593.
  EXPECT_EQ(Extended("0000000000000693593:0000000000011234567"), "1899-12-30 00:00:01.1234567");
  EXPECT_EQ(Extended("0000000000000730178:0000000863990000001"), "2000-02-29 23:59:59.0000001");
  EXPECT_EQ(Extended("0000000000003652058:0000000863999999999"), "9999-12-31 23:59:59.9999999");
  // Trailing bytes beyond the value are no part of it.
  EXPECT_EQ(Extended("0000000000000000001:0000000000000000000\0\0\0"),
            "0001-01-02 00:00:00.0000000");

  EXPECT_EQ(Extended("0000000000003652059:0000000000000000000"), std::nullopt);  // year 10000
  EXPECT_EQ(Extended("0000000000000000000:0000000864000000000"), std::nullopt);  // 24:00:00
  EXPECT_EQ(Extended("000000000000000000x:0000000000000000000"), std::nullopt);
  EXPECT_EQ(Extended("0000000000000000000-0000000000000000000"), std::nullopt);
  EXPECT_EQ(Extended("0000000000000000000:000000000000000000"), std::nullopt);  // cut short
}

TEST(JetAceValues, ACalculatedValueIsTakenFromBehindItsHeader) {
  Bytes stored = Of(std::string(16, '\xEE') + std::string("\x03\0\0\0abcx", 8));
  const auto value = CalculatedValueBytes(stored);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(Bytes(value->begin(), value->end()), Of("abc"));
  // A length past the bytes takes what is there; a cut header gives nothing.
  stored[16] = 200;
  EXPECT_EQ(CalculatedValueBytes(stored)->size(), 4u);
  EXPECT_EQ(CalculatedValueBytes(Bytes(19, 0)), std::nullopt);
}

// FileData as Access writes it: kind, length of the contents, contents (a
// header of `header` bytes, its length first, then the file).
Bytes AttachmentData(const std::string& file, bool deflate) {
  constexpr std::uint8_t header = 12;
  Bytes contents = {header, 0, 0, 0};
  contents.resize(header, 0x01);
  contents.insert(contents.end(), file.begin(), file.end());
  Bytes body = contents;
  if (deflate) {
    uLongf size = compressBound(static_cast<uLong>(contents.size()));
    body.resize(size);
    EXPECT_EQ(compress(body.data(), &size, contents.data(), static_cast<uLong>(contents.size())),
              Z_OK);
    body.resize(size);
  }
  const auto length = static_cast<std::uint32_t>(contents.size());
  Bytes stored = {deflate ? std::uint8_t{1} : std::uint8_t{0}, 0, 0, 0};
  for (int i = 0; i < 4; ++i)
    stored.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  stored.insert(stored.end(), body.begin(), body.end());
  return stored;
}

std::optional<std::string> Attachment(const Bytes& stored, std::size_t limit = 1u << 20) {
  Bytes file;
  std::string problem;
  if (!DecodeAttachmentData(stored, file, problem, limit)) return std::nullopt;
  EXPECT_EQ(problem, "");
  return std::string(file.begin(), file.end());
}

TEST(JetAceValues, AttachmentsAreUnwrappedAndInflated) {
  const std::string file = std::string("PNG\0\x01\xFF", 6) + std::string(5000, 'z');
  EXPECT_EQ(Attachment(AttachmentData(file, false)), file);
  EXPECT_EQ(Attachment(AttachmentData(file, true)), file);
  EXPECT_EQ(Attachment(AttachmentData("", true)), "");

  Bytes unknownKind = AttachmentData(file, false);
  unknownKind[0] = 2;
  EXPECT_EQ(Attachment(unknownKind), std::nullopt);
  Bytes longHeader = AttachmentData("abc", false);
  longHeader[8] = 16;  // the header would end past the contents
  EXPECT_EQ(Attachment(longHeader), std::nullopt);
  Bytes shortHeader = AttachmentData("abc", false);
  shortHeader[8] = 2;
  EXPECT_EQ(Attachment(shortHeader), std::nullopt);
  Bytes cut = AttachmentData(file, true);
  cut.resize(cut.size() / 2);
  EXPECT_EQ(Attachment(cut), std::nullopt);
  Bytes garbage = AttachmentData(file, true);
  garbage[10] ^= 0xFF;
  EXPECT_EQ(Attachment(garbage), std::nullopt);
  EXPECT_EQ(Attachment(Bytes{1, 0, 0}), std::nullopt);
  // What inflates beyond the limit is refused, not held.
  EXPECT_EQ(Attachment(AttachmentData(std::string(100000, 'a'), true), 4096), std::nullopt);
}

TEST(JetAceValues, Base64AsXmlSchemaWritesIt) {
  EXPECT_EQ(DecodeBase64("TWFu"), Of("Man"));
  EXPECT_EQ(DecodeBase64("TWE="), Of("Ma"));
  EXPECT_EQ(DecodeBase64("TQ=="), Of("M"));
  EXPECT_EQ(DecodeBase64(" TW\r\nFu "), Of("Man"));
  EXPECT_EQ(DecodeBase64(""), Bytes{});
  EXPECT_EQ(DecodeBase64("T"), std::nullopt);
  EXPECT_EQ(DecodeBase64("TQ==TQ=="), std::nullopt);
  EXPECT_EQ(DecodeBase64("T!=="), std::nullopt);
}

constexpr const char* kDescriptor =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\r\n"
    R"(<encryption xmlns="http://schemas.microsoft.com/office/2006/encryption" )"
    R"(xmlns:p="http://schemas.microsoft.com/office/2006/keyEncryptor/password">)"
    R"(<keyData saltSize="16" blockSize="16" keyBits="256" hashSize="64" )"
    R"(cipherAlgorithm="AES" cipherChaining="ChainingModeCBC" hashAlgorithm="SHA512" )"
    R"(saltValue="AAECAwQFBgcICQoLDA0ODw=="/>)"
    R"(<dataIntegrity encryptedHmacKey="AA==" encryptedHmacValue="AA=="/>)"
    R"(<keyEncryptors><keyEncryptor uri="http://schemas.microsoft.com/office/2006/keyEncryptor/password">)"
    R"(<p:encryptedKey spinCount="100000" saltSize="16" blockSize="16" keyBits="256" )"
    R"(hashSize="64" cipherAlgorithm="AES" cipherChaining="ChainingModeCBC" )"
    R"(hashAlgorithm="SHA512" saltValue="EBESExQVFhcYGRobHB0eHw==" )"
    R"(encryptedVerifierHashInput="ICEiIyQlJicoKSorLC0uLw==" )"
    R"(encryptedVerifierHashValue="MDEyMzQ1Njc4OTo7PD0+Pw==" )"
    R"(encryptedKeyValue="QEFCQ0RFRkdISUpLTE1OTw=="/></keyEncryptor></keyEncryptors></encryption>)";

TEST(JetAceValues, TheAgileDescriptorGivesBothKeysAttributes) {
  const auto descriptor = ParseAgileDescriptor(kDescriptor);
  ASSERT_TRUE(descriptor.has_value());
  EXPECT_EQ(descriptor->keyData.keyBits, 256u);
  EXPECT_EQ(descriptor->keyData.hashAlgorithm, "SHA512");
  EXPECT_EQ(descriptor->keyData.salt.front(), 0x00);
  EXPECT_EQ(descriptor->passwordKey.spinCount, 100000u);
  EXPECT_EQ(descriptor->passwordKey.salt.front(), 0x10);
  EXPECT_EQ(descriptor->encryptedVerifierHashInput.front(), 0x20);
  EXPECT_EQ(descriptor->encryptedVerifierHashValue.front(), 0x30);
  EXPECT_EQ(descriptor->encryptedKeyValue.front(), 0x40);

  // Anything missing, or cut anywhere before the key encryptor ends, gives no
  // descriptor.
  const std::string whole = kDescriptor;
  for (std::size_t length = 0; length <= whole.find("/></keyEncryptor>"); length += 7)
    EXPECT_FALSE(ParseAgileDescriptor(whole.substr(0, length)).has_value()) << length;
  std::string noSpin = whole;
  noSpin.replace(noSpin.find("spinCount"), 9, "spinCounts");
  EXPECT_FALSE(ParseAgileDescriptor(noSpin).has_value());
}

// A Jet 4 property blob with one block for the column "Total".
Bytes ColumnProperties(
    const std::vector<std::pair<std::string, std::pair<std::uint8_t, Bytes>>>& properties) {
  Bytes blob = {'M', 'R', '2', 0};
  const auto word = [](Bytes& to, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto chunk = [&](std::uint16_t type, const Bytes& body) {
    word(blob, static_cast<std::uint32_t>(body.size() + 6), 4);
    word(blob, type, 2);
    blob.insert(blob.end(), body.begin(), body.end());
  };
  Bytes names;
  Bytes values;
  std::uint16_t number = 0;
  for (const auto& [name, value] : properties) {
    word(names, static_cast<std::uint32_t>(name.size()), 2);
    names.insert(names.end(), name.begin(), name.end());
    word(values, static_cast<std::uint32_t>(8 + value.second.size()), 2);
    values.push_back(0);
    values.push_back(value.first);
    word(values, number++, 2);
    word(values, static_cast<std::uint32_t>(value.second.size()), 2);
    values.insert(values.end(), value.second.begin(), value.second.end());
  }
  chunk(0x80, names);
  Bytes block;
  word(block, 0, 4);
  word(block, 5, 2);
  const std::string owner = "Total";
  block.insert(block.end(), owner.begin(), owner.end());
  block.insert(block.end(), values.begin(), values.end());
  chunk(0x00, block);
  return blob;
}

TEST(JetAceValues, ColumnDetailsComeFromFlagsAndProperties) {
  TableLayout layout;
  layout.columns.push_back({.type = 0x04, .number = 0, .size = 4, .flags = 0x05, .name = "ID"});
  layout.columns.push_back({.type = 0x0C, .number = 1, .flags = 0x80, .name = "Site"});
  layout.columns.push_back(
      {.type = 0x07, .number = 2, .size = 8, .flags = 0x01, .extraFlags = 0xC0, .name = "Total"});
  layout.columns.push_back(
      {.type = 0x12, .number = 3, .size = 4, .flags = 0x01, .complexId = 7, .name = "Files"});
  layout.columns.push_back({.type = 0x13, .number = 4, .size = 8, .flags = 0x01, .name = "Big"});
  layout.realIndexes.push_back({.keys = {{0, true}}, .flags = 0x01});
  layout.realIndexes.push_back({.keys = {{3, true}}, .flags = 0x01});
  layout.logicalIndexes.push_back({.name = "PrimaryKey", .realIndex = 0, .kind = 1});
  layout.logicalIndexes.push_back({.name = "Files_0123456789ABCDEF", .realIndex = 1});
  const Bytes properties = ColumnProperties({
      {"Expression", {10, Of("[Price]*[Count]")}},
      {"TextFormat", {2, {1}}},
      {"AppendOnly", {1, {1}}},
      {"UnicodeCompression", {1, {1}}},
  });
  const TableDefinition table =
      DescribeTable("Orders", layout, properties, [](std::span<const std::uint8_t> stored) {
        return std::string(stored.begin(), stored.end());
      });
  ASSERT_EQ(table.columns.size(), 5u);
  EXPECT_TRUE(table.columns[0].autoNumber);
  EXPECT_TRUE(table.columns[1].hyperlink);
  EXPECT_FALSE(table.columns[1].calculated);
  const ColumnDefinition& total = table.columns[2];
  EXPECT_TRUE(total.calculated);
  EXPECT_EQ(total.expression, "[Price]*[Count]");
  EXPECT_TRUE(total.richText);
  EXPECT_TRUE(total.appendOnly);
  EXPECT_TRUE(total.compressedText);
  EXPECT_FALSE(total.hyperlink);
  EXPECT_EQ(table.columns[3].type, JetType::Complex);
  EXPECT_EQ(table.columns[3].complexId, 7u);
  EXPECT_EQ(table.columns[4].type, JetType::BigInt);
  // The complex column's own unique index is Access's, not the user's.
  ASSERT_EQ(table.indexes.size(), 1u);
  EXPECT_EQ(table.indexes[0].name, "PrimaryKey");
}

TEST(JetAceValues, DetailsAndComplexValuesTravelAndCutMessagesAreRefused) {
  TableDefinition table;
  table.name = "Assets";
  ColumnDefinition column;
  column.name = "History";
  column.type = JetType::Complex;
  column.calculated = true;
  column.expression = "[A]&[B]";
  column.hyperlink = column.richText = column.compressedText = column.appendOnly = true;
  column.complexKind = ComplexKind::VersionHistory;
  column.complexId = 12;
  column.complexValueType = JetType::Memo;
  column.versionedColumn = "Notes";
  table.columns.push_back(column);
  WireWriter out;
  WriteTableDefinition(out, table);
  WireReader in(out.buffer());
  TableDefinition read;
  ASSERT_TRUE(ReadTableDefinition(in, read));
  const ColumnDefinition& back = read.columns.at(0);
  EXPECT_TRUE(back.calculated && back.hyperlink && back.richText && back.compressedText &&
              back.appendOnly);
  EXPECT_EQ(back.expression, "[A]&[B]");
  EXPECT_EQ(back.complexKind, ComplexKind::VersionHistory);
  EXPECT_EQ(back.complexId, 12u);
  EXPECT_EQ(back.complexValueType, JetType::Memo);
  EXPECT_EQ(back.versionedColumn, "Notes");

  ComplexValue file;
  file.key = 3;
  file.fileName = "a.png";
  file.fileType = "png";
  file.fileData.data = {0, 1, 2, 0xFF};
  file.fileUrl = "http://example.org/a.png";
  file.fileTimeStamp = DateTime{45000.5};
  file.fileFlags = 0;
  ComplexValue version;
  version.key = -1;
  version.value = std::string("earlier");
  version.modified = DateTime{40000.25};
  WireWriter values;
  WriteComplexValues(values, {file, version});
  WireReader valuesIn(values.buffer());
  std::vector<ComplexValue> readValues;
  ASSERT_TRUE(ReadComplexValues(valuesIn, readValues));
  ASSERT_EQ(readValues.size(), 2u);
  EXPECT_EQ(readValues[0].fileData, file.fileData);
  EXPECT_EQ(readValues[0].fileUrl, file.fileUrl);
  EXPECT_EQ(readValues[0].fileTimeStamp, file.fileTimeStamp);
  EXPECT_EQ(readValues[0].fileFlags, 0);
  EXPECT_FALSE(readValues[0].modified.has_value());
  EXPECT_EQ(readValues[1].value, Value(std::string("earlier")));
  EXPECT_EQ(readValues[1].modified, version.modified);
  EXPECT_FALSE(readValues[1].fileFlags.has_value());

  for (const std::string& whole : {out.buffer(), values.buffer()}) {
    for (std::size_t length = 0; length < whole.size(); ++length) {
      WireReader cut(std::string_view(whole).substr(0, length));
      EXPECT_FALSE(whole == out.buffer() ? ReadTableDefinition(cut, read)
                                         : ReadComplexValues(cut, readValues))
          << length;
    }
  }
}

}  // namespace
}  // namespace tablift::jet
