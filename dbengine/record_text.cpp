#include "dbengine/record_text.h"

#include <cstring>

#include "dbengine/result_codes.h"
#include "platform/sjis.h"

namespace dbengine {
namespace {

void AppendText(std::string& out, const uint8_t* field, int width) {
  const char* p = reinterpret_cast<const char*>(field);
  std::string_view text(p, strnlen(p, static_cast<size_t>(width)));
  for (size_t i = 0; i < text.size(); ++i) {
    if (platform::SjisCharLength(text, i) == 2) {  // a second byte may be "\"
      out.append(text.substr(i, 2));
      ++i;
      continue;
    }
    switch (p[i]) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += p[i];
    }
  }
}

void AppendHex(std::string& out, const uint8_t* field, int width) {
  static const char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < width; ++i) {
    out += kDigits[field[i] >> 4];
    out += kDigits[field[i] & 15];
  }
}

void AppendField(std::string& out, int16_t type, const uint8_t* field, int width) {
  if (type == kChar) AppendText(out, field, width);
  else AppendHex(out, field, width);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseText(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (platform::SjisCharLength(text, i) == 2) {
      out->append(text.substr(i, 2));
      ++i;
      continue;
    }
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case 't': *out += '\t'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case '\\': *out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

std::string FormatRecord(const DbSchema& schema, const uint8_t* record) {
  std::string out;
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    const ColumnDesc& c = schema.columns[i];
    if (i > 0) out += '\t';
    AppendField(out, c.type, record + c.offset, c.width);
  }
  return out;
}

std::string FormatRow(const std::vector<ResultColumn>& columns, const uint8_t* row) {
  std::string out;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out += '\t';
    AppendField(out, columns[i].type, row + columns[i].offset, columns[i].width);
  }
  return out;
}

int ParseRecord(const DbSchema& schema, std::string_view line, uint8_t* record, std::string* problem) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (fields.size() != schema.columns.size()) {
    *problem = std::to_string(fields.size()) + " columns, the table has " + std::to_string(schema.columns.size());
    return kInvalid;
  }
  std::memset(record, 0, static_cast<size_t>(schema.RecordLength()));
  for (size_t i = 0; i < fields.size(); ++i) {
    const ColumnDesc& c = schema.columns[i];
    uint8_t* field = record + c.offset;
    if (c.type == kChar) {
      std::string text;
      if (!ParseText(fields[i], &text)) {
        *problem = "column " + c.name + ": bad escape";
        return kInvalid;
      }
      if (text.size() > static_cast<size_t>(c.width) || text.find('\0') != std::string::npos) {
        *problem = "column " + c.name + ": text longer than " + std::to_string(c.width) + " bytes";
        return kInvalid;
      }
      std::memcpy(field, text.data(), text.size());
      continue;
    }
    std::string_view hex = fields[i];
    if (hex.size() % 2 != 0 || hex.size() > 2 * static_cast<size_t>(c.width)) {
      *problem = "column " + c.name + ": not " + std::to_string(c.width) + " bytes of hexadecimal";
      return kInvalid;
    }
    for (size_t k = 0; k < hex.size(); k += 2) {
      int hi = HexValue(hex[k]), lo = HexValue(hex[k + 1]);
      if (hi < 0 || lo < 0) {
        *problem = "column " + c.name + ": not hexadecimal";
        return kInvalid;
      }
      field[k / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
  }
  return kOk;
}

}  // namespace dbengine
