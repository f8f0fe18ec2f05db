// The CSV and HTML listings of the whole data image: every group that applies
// to the current model and settings, every row and cell that its display rule
// does not blank, with the texts the grid shows.
//
// A listing is built in memory as CP932 bytes with CR LF line ends (so that a
// file is the same on every system) and then written to ExportFile in one go;
// every write and the close are checked, so that a listing cut short by a
// full disk is reported rather than taken for a success.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Cp932.h"
#include "FileIo.h"
#include "FileTarget.h"
#include "UCore.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A listing is smaller than a data file; it needs less free space.
constexpr uint64_t kExportMinFreeBytes = 100000;

// Node kinds the group selection looks at.
constexpr int kProgramKind = 1;
constexpr int kVariable2Kind = 4;
constexpr int kPidKind = 6;
constexpr int kPid2Kind = 7;
constexpr int kTableKind = 9;

bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A text of the sources (UTF-8) in CP932; plain ASCII needs no conversion.
std::string ToListingBytes(std::string_view utf8) {
  return IsAscii(utf8) ? std::string(utf8) : kvl::ToCp932(utf8);
}

// CP932 bytes as HTML text. A CP932 trail byte is 0x40 or above, so these
// three ASCII characters never stand inside a double-byte character.
std::string HtmlEscaped(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

// CP932 bytes as one CSV field: a field holding a comma, a double quote or a
// line break is enclosed in double quotes with its quotes doubled; any other
// field is written as it is.
std::string CsvField(std::string_view bytes) {
  if (bytes.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(bytes);
  std::string out = "\"";
  for (const char c : bytes) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

int ParamValue(TCore& core, int bank, int item) {
  const ParamDescriptor* d = core.GetParam(bank, item, 1, 0);
  return d ? d->Value : 0;
}

// Whether a group of the tree is left out of the listings: the conditions of
// the tree's availability that follow from the model and the settings (the
// program heading, node 0, is always kept; visibility mode and access level
// play no part).
bool SkippedInListing(TCore& core, int kind) {
  const uint16_t h1 = core.Model.HardwareType1;
  const uint16_t h2 = core.Model.HardwareType2;
  const bool twoLoop = (h1 & 0x800) != 0;
  const bool constantValue = ParamValue(core, 10, 1) == 1;  // 1001 operation mode
  switch (kind) {
    case kProgramKind:
      return constantValue;
    case kVariable2Kind:
      return !twoLoop;
    case kPidKind:
      return constantValue || (core.Model.Loop1OutputWord & 0xA000) != 0;
    case kPid2Kind:
      return !twoLoop || constantValue || (core.Model.Loop2OutputWord & 0xA000) != 0;
    case kTableKind: {
      const bool input1 = ParamValue(core, 8, 8) != 0;    // C08
      const bool input2 = ParamValue(core, 8, 28) != 0;   // C28
      const bool carbon = ParamValue(core, 8, 29) != 0;   // C29
      if (!twoLoop) return !input1;
      if (h2 & 4) return !input1 && !input2 && !carbon;
      return !input1 && !input2;
    }
    default:
      return false;
  }
}

// One group of the tree as the listings walk it.
struct ListedNode {
  int Kind = -1;
  std::string Name;  // CP932
  int Rows = 0;
  int Columns = 0;
};

ListedNode NodeAt(TCore& core, int node) {
  ListedNode n;
  const char* name = nullptr;
  uint32_t rows = 0;
  uint32_t columns = 0;
  core.GetTreeNode(node, &n.Kind, nullptr, nullptr, &name, &rows, &columns);
  n.Name = ToListingBytes(name ? name : "");
  n.Rows = static_cast<int>(rows);
  n.Columns = static_cast<int>(columns);
  return n;
}

// One listed row: its name and the values of its listed cells (CP932).
struct ListedRow {
  std::string Name;
  std::vector<std::string> Values;
};

// The row of a group (pattern 0 for setup groups, the columns being subs; the
// program pattern for the program group, the columns being segments). False
// when the row does not apply (its name is "----") or does not exist.
bool RowAt(TCore& core, int group, int item, int columns, int pattern, ListedRow& row) {
  std::string value;
  std::string name;
  if (!core.GetParamText(group, item, 1, pattern, value, name) || name == "----") return false;
  row.Name = ToListingBytes(name);
  row.Values.clear();
  for (int c = 1; c <= columns; ++c) {
    if (!core.GetParamText(group, item, c, pattern, value, name) || name.empty()) continue;
    row.Values.push_back(ToListingBytes(value));
  }
  return true;
}

// The tag of a pattern, its 8 bytes as they are stored.
std::string TagOf(TCore& core, int pattern) {
  char tag[9] = {};
  if (!core.GetTag(pattern, tag)) return std::string();
  return std::string(tag, 8);
}

// ---- CSV ----

void CsvRows(TCore& core, const ListedNode& node, int group, int pattern, std::string& out) {
  ListedRow row;
  for (int item = 1; item <= node.Rows; ++item) {
    if (!RowAt(core, group, item, node.Columns, pattern, row)) continue;
    out += CsvField(row.Name);
    out += ',';
    for (const std::string& v : row.Values) {
      out += CsvField(v);
      out += ',';
    }
    out += kLineEnd;
  }
}

std::string CsvListing(TCore& core) {
  std::string out;
  const bool english = core.Language != 0;
  out += CsvField(ToListingBytes(std::string(english ? "[Option:" : "[形番:") + core.ModelCode + "]"));
  out += kLineEnd;
  for (int node = 0; node < core.GetTreeNodeCount(); ++node) {
    if (node > 0) out += kLineEnd;
    const ListedNode n = NodeAt(core, node);
    if (node > 0 && SkippedInListing(core, n.Kind)) continue;
    if (n.Columns != 0) {
      out += CsvField(n.Name);
      out += kLineEnd;
    }
    if (n.Kind == kProgramKind) {
      for (int p = 1; p <= core.GetPatternCount(); ++p) {
        out += CsvField(std::to_string(p) + " Tag:" + TagOf(core, p));
        out += kLineEnd;
        CsvRows(core, n, n.Kind, p, out);
        out += kLineEnd;
      }
    } else {
      CsvRows(core, n, n.Kind, 0, out);
    }
  }
  return out;
}

// ---- HTML ----

// One table: a pattern of the program group (name column 10%, value columns
// 3% each) or a setup group (40% and 5%).
void HtmlTable(TCore& core, const ListedNode& node, int pattern, std::string& out) {
  const bool program = node.Kind == kProgramKind;
  const int c = node.Columns;
  const int width = program ? 3 * c + 10 : 5 * c + 40;
  out += "<table BORDER COLS=" + std::to_string(c + 1) + " WIDTH=\"" + std::to_string(width) + "%\" >";
  out += kLineEnd;
  out += "<tr bgcolor=\"#CCCCCC\">";
  out += kLineEnd;
  out += program ? "<th width=\"10%\">" : "<th width=\"40%\">";
  out += HtmlEscaped(node.Name);
  out += "</th>";
  out += kLineEnd;
  const char* head = program ? "<th width=3%>" : "<th width=5%>";
  if (c == 1) {
    out += head;
    out += "1";
    out += "</th>";
    out += kLineEnd;
  } else {
    for (int col = 1; col <= c; ++col) {
      out += head;
      out += std::to_string(col - 1);
      out += "</th>";
      out += kLineEnd;
    }
  }
  out += "</tr>";
  out += kLineEnd;

  ListedRow row;
  for (int item = 1; item <= node.Rows; ++item) {
    if (!RowAt(core, node.Kind, item, c, pattern, row)) continue;
    out += "<tr><td>";
    out += HtmlEscaped(row.Name);
    out += "</td>";
    out += kLineEnd;
    for (const std::string& v : row.Values) {
      out += "<td align=\"right\">";
      out += HtmlEscaped(v);
      out += "</td>";
      out += kLineEnd;
    }
    out += "</tr>";
    out += kLineEnd;
  }
  out += "</table>";
  out += kLineEnd;
  out += "<p><br></p>";
  out += kLineEnd;
}

std::string HtmlListing(TCore& core) {
  std::string out;
  const bool english = core.Language != 0;
  out += "<HTML><HEAD><!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">";
  out += kLineEnd;
  out += english ? "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso8859-1\">"
                 : "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">";
  out += kLineEnd;
  out += "<TITLE>MXQ41/42 Parameter</TITLE></HEAD><BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\">";
  out += kLineEnd;
  out += "<center>Orvex CORPORATION <br>";
  out += english ? "MXQ41/42 Parameters<br>" : ToListingBytes("MXQ41/42 パラメータ一覧<br>");
  out += "</center><br>";
  out += ToListingBytes(english ? "[Option:" : "[形番:");
  out += HtmlEscaped(ToListingBytes(core.ModelCode));
  out += "]<br>";
  out += kLineEnd;

  for (int node = 0; node < core.GetTreeNodeCount(); ++node) {
    if (node > 0) out += kLineEnd;
    const ListedNode n = NodeAt(core, node);
    if (node > 0 && SkippedInListing(core, n.Kind)) continue;
    if (n.Kind == kProgramKind) {
      for (int p = 1; p <= core.GetPatternCount(); ++p) {
        out += std::to_string(p) + " Tag:" + HtmlEscaped(TagOf(core, p)) + "<BR>";
        out += kLineEnd;
        HtmlTable(core, n, p, out);
      }
    } else if (n.Columns != 0) {
      HtmlTable(core, n, 0, out);
    }
  }

  out += "<br><hr>";
  out += kLineEnd;
  out += "KVL-Q70 loader";
  out += kLineEnd;
  out += "</BODY>";
  out += kLineEnd;
  out += "</HTML>";
  out += kLineEnd;
  return out;
}

// Writes the whole listing and pushes it out of the stream's buffer; false
// when any part of it could not be written.
bool WriteListing(FILE* file, const std::string& bytes) {
  if (!file) return false;
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  const bool flushed = std::fflush(file) == 0;
  return written == bytes.size() && flushed && !std::ferror(file);
}

}  // namespace

int TCore::OpenExportFile(const std::string& path) {
  if (ExportFile) CloseExportFile();  // a listing left open is finished first
  if (const int check = CheckFileTarget(path, kExportMinFreeBytes); check != 0) return check;
  ExportFile = std::fopen(path.c_str(), "wb");
  return ExportFile ? 0 : 1;
}

bool TCore::WriteCsv() { return WriteListing(ExportFile, CsvListing(*this)); }

bool TCore::WriteHtml() { return WriteListing(ExportFile, HtmlListing(*this)); }

bool TCore::CloseExportFile() {
  if (!ExportFile) return false;
  FILE* file = ExportFile;
  ExportFile = nullptr;
  return !kvl::FinishWrittenStream(file);
}
