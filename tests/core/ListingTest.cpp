// The CSV and HTML listings: bytes, group and row selection, quoting and
// escaping, and the reporting of failed writes and closes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FileIo.h"
#include "FileTestSupport.h"
#include "UCore.h"

namespace {

constexpr int kEmpty = 32767;
constexpr const char* kCode = "Q41A0D0AS000**";

// A value row as both listings hold it: the values of segments 1.. followed
// by "----" up to the given number of columns.
struct Row {
  std::string name;
  std::vector<std::string> values;
};

std::vector<std::string> Padded(const std::vector<std::string>& values, size_t columns) {
  std::vector<std::string> all = values;
  all.resize(columns, "----");
  return all;
}

std::string CsvRow(const Row& r, size_t columns = 30) {
  std::string line = r.name + ",";
  for (const std::string& v : Padded(r.values, columns)) line += v + ",";
  return line + "\r\n";
}

std::string HtmlRow(const Row& r, size_t columns = 30) {
  std::string text = "<tr><td>" + r.name + "</td>\r\n";
  for (const std::string& v : Padded(r.values, columns)) text += "<td align=\"right\">" + v + "</td>\r\n";
  return text + "</tr>\r\n";
}

// The rows of pattern 1 of the image below, with the names of one language
// (CP932 bytes). The other items do not apply to a single-loop model without
// time events (event types 0, so no OFF times).
struct Names {
  const char* sp1;
  const char* time;
  const char* ev1;
  const char* ev2;
  const char* ev3;
  const char* pid1;
  const char* gs;
  const char* gsTimeOut;
  const char* pvStart;
  const char* cycle;
  const char* link;
};

constexpr Names kEnglish{"SP1   :SP1",
                         "TIME  :Time",
                         "EV1   :event1 Operating point",
                         "EV2   :event2 Operating point",
                         "EV3   :event3 Operating point",
                         "PID1  :PID set No.(CH1)",
                         "G.S.  :G.Soak(CH1)",
                         "G.S.TO:GS time-out",
                         "P.STA :PV start",
                         "CYCL  :Cycle",
                         "P.LIN :Pattern link"};

constexpr Names kJapanese{"SP1   :SP1",
                          "TIME  :\x8e\x9e\x8a\xd4",
                          "EV1   :\xb2\xcd\xde\xdd\xc4" "1 \x93\xae\x8d\xec\x93\x5f",
                          "EV2   :\xb2\xcd\xde\xdd\xc4" "2 \x93\xae\x8d\xec\x93\x5f",
                          "EV3   :\xb2\xcd\xde\xdd\xc4" "3 \x93\xae\x8d\xec\x93\x5f",
                          "PID1  :PID\x91\x67\x94\xd4\x8d\x86(CH1)",
                          "G.S.  :G\xbf\xb0\xb8(CH1)",
                          "G.S.TO:GS\xc0\xb2\xd1\xb1\xb3\xc4\x8e\x9e\x8a\xd4",
                          "P.STA :PV\xbd\xc0\xb0\xc4",
                          "CYCL  :\xbb\xb2\xb8\xd9",
                          "P.LIN :\xca\xdf\xc0\xb0\xdd\xd8\xdd\xb8"};

std::vector<Row> Pattern1Rows(const Names& n) {
  return {
      {n.sp1, {"10.0", "-2.5"}},  {n.time, {"1:05", "99:59"}}, {n.ev1, {"5.0"}},   {n.ev2, {}},
      {n.ev3, {}},                {n.pid1, {"1", "0"}},        {n.gs, {"0.5"}},    {n.gsTimeOut, {"1:30"}},
      {n.pvStart, {"1"}},         {n.cycle, {"2"}},            {n.link, {"0"}},
  };
}

class ListingTest : public ::testing::Test {
 protected:
  // Ample free space wherever a test writes (/tmp, /dev/full); the test of
  // the drive checks puts its own drive in front.
  FakeDrive drive{kvl::DriveKind::Fixed, uint64_t{1} << 30};
  std::unique_ptr<TCore> core;
  std::string path;

  void SetUp() override {
    char name[] = "/tmp/kvl-listing-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    path = name;
    MakeImage(1);
  }
  void TearDown() override {
    if (core && core->ExportFile) core->CloseExportFile();
    std::remove(path.c_str());
  }

  // A single-loop relay model at revision 1 with one decimal on input 1 and
  // h:min times; pattern 1 uses two segments.
  void MakeImage(int language) {
    core = std::make_unique<TCore>(language);
    core->Model.HardwareType1 = 0x01;
    core->Model.HardwareType2 = 0x00;
    core->Model.Loop1OutputWord = 0x01;
    core->Model.Loop2OutputWord = 0x00;
    core->DataRevision = 1;
    core->ModelCode = kCode;
    SetParam(8, 4, 1);   // C04 input 1 decimals
    SetParam(8, 64, 0);  // C64 time unit h:min
    SetCell(1, 1, 1, 100);
    SetCell(1, 2, 1, 65);
    SetCell(1, 4, 1, 50);
    SetCell(1, 20, 1, 1);
    SetCell(1, 22, 1, 5);
    SetCell(1, 23, 1, 90);
    SetCell(1, 1, 2, -25);
    SetCell(1, 2, 2, 6000);
    SetCell(1, 24, 1, 1);
    SetCell(1, 25, 1, 2);
    SetCell(1, 26, 1, 0);
  }
  void SetParam(int bank, int item, int value, int sub = 1) {
    ParamDescriptor* d = core->GetParam(bank, item, sub, 0);
    ASSERT_NE(d, nullptr);
    d->Value = static_cast<int16_t>(value);
  }
  void SetCell(int pattern, int item, int segment, int value) {
    PatternSlot* s = core->GetPatternValue(pattern, item, segment);
    ASSERT_NE(s, nullptr);
    s->Value = static_cast<int16_t>(value);
  }
  void SetTag(int pattern, const char* tag8) {
    char buffer[10] = {};
    std::memcpy(buffer, tag8, 8);
    ASSERT_TRUE(core->SetTag(pattern, buffer));
  }

  // Writes one listing into the temporary file and gives its bytes.
  std::string Listing(bool html) {
    EXPECT_EQ(core->OpenExportFile(path), 0);
    EXPECT_TRUE(html ? core->WriteHtml() : core->WriteCsv());
    EXPECT_FALSE(core->CloseExportFile());
    EXPECT_EQ(core->ExportFile, nullptr);
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string Csv() { return Listing(false); }
  std::string Html() { return Listing(true); }
};

// The text from `from` up to (not including) `to`; empty when either is missing.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const size_t a = text.find(from);
  if (a == std::string::npos) return std::string();
  const size_t b = text.find(to, a + from.size());
  if (b == std::string::npos) return std::string();
  return text.substr(a, b - a);
}

struct LanguageCase {
  int language;
  const Names* names;
  std::string csvHead;
  std::string programName;  // the program group's name
  std::string htmlHead;
};

const std::vector<LanguageCase>& LanguageCases() {
  static const std::vector<LanguageCase> cases = {
      {1, &kEnglish, std::string("[Option:") + kCode + "]\r\n", "Program",
       "<HTML><HEAD><!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso8859-1\">\r\n"
       "<TITLE>MXQ41/42 Parameter</TITLE></HEAD><BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\">\r\n"
       "<center>Orvex CORPORATION <br>MXQ41/42 Parameters<br></center><br>[Option:Q41A0D0AS000**]<br>\r\n"},
      {0, &kJapanese, std::string("[\x8c\x60\x94\xd4:") + kCode + "]\r\n", "\xcc\xdf\xdb\xb8\xde\xd7\xd1",
       "<HTML><HEAD><!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n"
       "<TITLE>MXQ41/42 Parameter</TITLE></HEAD><BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\">\r\n"
       "<center>Orvex CORPORATION <br>MXQ41/42 \x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e\x88\xea\x97\x97<br>"
       "</center><br>[\x8c\x60\x94\xd4:Q41A0D0AS000**]<br>\r\n"},
  };
  return cases;
}

TEST_F(ListingTest, CsvHeadAndProgramBlockInBothLanguages) {
  for (const LanguageCase& c : LanguageCases()) {
    SCOPED_TRACE(c.language);
    MakeImage(c.language);
    const std::string csv = Csv();

    // The model line, node 1's separating line feed, the group name, pattern 1.
    const std::string head = c.csvHead + "\r\n" + c.programName + "\r\n" + "1 Tag:PROG01  \r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);

    std::string block = "1 Tag:PROG01  \r\n";
    for (const Row& r : Pattern1Rows(*c.names)) block += CsvRow(r);
    block += "\r\n";
    EXPECT_EQ(Between(csv, "1 Tag:", "2 Tag:"), block);

    // An unused pattern lists its rows with every value blanked; the cells
    // hold their start-up values.
    std::string unused = "2 Tag:PROG02  \r\n";
    for (Row r : Pattern1Rows(*c.names)) unused += CsvRow({r.name, {}});
    unused += "\r\n";
    EXPECT_EQ(Between(csv, "2 Tag:", "3 Tag:"), unused);
  }
}

TEST_F(ListingTest, HtmlHeadProgramBlockAndFootInBothLanguages) {
  for (const LanguageCase& c : LanguageCases()) {
    SCOPED_TRACE(c.language);
    MakeImage(c.language);
    const std::string html = Html();

    EXPECT_EQ(html.substr(0, c.htmlHead.size() + 2), c.htmlHead + "\r\n");  // then node 1's line feed

    std::string block = "1 Tag:PROG01  <BR>\r\n"
                        "<table BORDER COLS=31 WIDTH=\"100%\" >\r\n"
                        "<tr bgcolor=\"#CCCCCC\">\r\n"
                        "<th width=\"10%\">" +
                        c.programName + "</th>\r\n";
    for (int k = 0; k < 30; ++k) block += "<th width=3%>" + std::to_string(k) + "</th>\r\n";
    block += "</tr>\r\n";
    for (const Row& r : Pattern1Rows(*c.names)) block += HtmlRow(r);
    block += "</table>\r\n<p><br></p>\r\n";
    EXPECT_EQ(Between(html, "1 Tag:", "2 Tag:"), block);

    const std::string foot = "</table>\r\n<p><br></p>\r\n<br><hr>\r\nKVL-Q70 loader\r\n</BODY>\r\n</HTML>\r\n";
    ASSERT_GE(html.size(), foot.size());
    EXPECT_EQ(html.substr(html.size() - foot.size()), foot);
  }
}

// Which groups a listing holds for a model and its settings.
struct GroupCase {
  const char* label;
  uint16_t h1, h2, l1, l2;
  int operationMode;  // 1001
  int c08;            // input 1 table in use
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

TEST_F(ListingTest, GroupsFollowModelAndSettings) {
  const std::vector<GroupCase> cases = {
      {"single loop", 0x01, 0, 0x01, 0, 0, 0,
       {"Program\r\n", "Variable parameter\r\n", "Event configuration data", "PID parameter\r\n", "Setup data",
        "Constant-value operation data"},
       {"Variable parameter 2", "PID parameter 2", "Table data"}},
      {"two loops", 0x841, 0x01, 0x01, 0x40, 0, 0,
       {"Program\r\n", "Variable parameter 2", "PID parameter\r\n", "PID parameter 2"},
       {"Table data"}},
      {"constant-value operation", 0x841, 0x01, 0x01, 0x40, 1, 0,
       {"Variable parameter 2", "Setup data"},
       {"Program\r\n", "Tag:", "PID parameter"}},
      {"loop 1 without PID", 0x841, 0x01, 0xA001, 0x40, 0, 0,
       {"Program\r\n", "PID parameter 2"},
       {"PID parameter\r\n"}},
      {"table in use", 0x01, 0, 0x01, 0, 0, 1, {"Table data"}, {}},
  };
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.label);
    MakeImage(1);
    core->Model.HardwareType1 = c.h1;
    core->Model.HardwareType2 = c.h2;
    core->Model.Loop1OutputWord = c.l1;
    core->Model.Loop2OutputWord = c.l2;
    SetParam(10, 1, c.operationMode);
    SetParam(8, 8, c.c08);
    const std::string csv = Csv();
    const std::string html = Html();
    for (const std::string& name : c.present) {
      EXPECT_NE(csv.find(name), std::string::npos) << name;
      const std::string heading = name.substr(0, name.find('\r')) + "</th>";
      if (name != "Tag:") {
        EXPECT_NE(html.find(heading), std::string::npos) << heading;
      }
    }
    for (const std::string& name : c.absent) {
      EXPECT_EQ(csv.find(name), std::string::npos) << name;
      const std::string heading = name == "Tag:" ? name : name.substr(0, name.find('\r')) + "</th>";
      EXPECT_EQ(html.find(heading), std::string::npos) << heading;
    }
  }
}

TEST_F(ListingTest, SkippedGroupsKeepTheirLineFeeds) {
  // Single loop: node 4 (variable parameter 2) is skipped but its line feed
  // stands between variable parameter and event configuration data.
  std::string csv = Csv();
  EXPECT_NE(csv.find("33:M.-T :Motor valve opening adjustment fully open/closed time,----,\r\n\r\n\r\n"
                     "Event configuration data\r\n"),
            std::string::npos);
  // After pattern 19: its closing line feed, then those of nodes 2 and 3.
  EXPECT_NE(csv.find(",\r\n\r\n\r\n\r\nVariable parameter\r\n"), std::string::npos);

  // Constant-value operation: node 1 gives only its line feed.
  SetParam(10, 1, 1);
  csv = Csv();
  const std::string head = std::string("[Option:") + kCode + "]\r\n\r\n\r\n\r\nVariable parameter\r\n";
  EXPECT_EQ(csv.substr(0, head.size()), head);
  const std::string html = Html();
  EXPECT_NE(html.find("[Option:Q41A0D0AS000**]<br>\r\n\r\n\r\n\r\n<table BORDER COLS=2 WIDTH=\"45%\" >\r\n"
                      "<tr bgcolor=\"#CCCCCC\">\r\n<th width=\"40%\">Variable parameter</th>\r\n"
                      "<th width=5%>1</th>\r\n</tr>\r\n<tr><td> 1:LOC  :Key lock</td>\r\n"),
            std::string::npos);
}

TEST_F(ListingTest, MultiColumnGroupsAndBlankedCells) {
  SetParam(8, 8, 1);  // input 1 table in use: table data listed
  const std::string csv = Csv();
  const std::string html = Html();

  // PID parameter: eight sets headed 0..7 in HTML, all eight values in CSV.
  std::string pidHead = "<table BORDER COLS=9 WIDTH=\"80%\" >\r\n<tr bgcolor=\"#CCCCCC\">\r\n"
                        "<th width=\"40%\">PID parameter</th>\r\n";
  for (int k = 0; k < 8; ++k) pidHead += "<th width=5%>" + std::to_string(k) + "</th>\r\n";
  pidHead += "</tr>\r\n";
  EXPECT_NE(html.find(pidHead), std::string::npos);
  EXPECT_NE(csv.find("PID parameter\r\n 1:P :Proportional band(PID set 1),"), std::string::npos);

  // Table data on a single-loop model: the input-2 and carbon-potential
  // columns (subs 3..6) lose their names and are missing from every row.
  const std::string table = Between(csv, "Table data\r\n", "Constant-value");
  ASSERT_FALSE(table.empty());
  size_t lines = 0;
  for (size_t at = 0; (at = table.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 1u + 11u + 1u);  // name, 11 rows, the next node's line feed
  std::string tableHead = "<table BORDER COLS=7 WIDTH=\"70%\" >\r\n<tr bgcolor=\"#CCCCCC\">\r\n"
                          "<th width=\"40%\">Table data</th>\r\n";
  for (int k = 0; k < 6; ++k) tableHead += "<th width=5%>" + std::to_string(k) + "</th>\r\n";
  EXPECT_NE(html.find(tableHead), std::string::npos);
  const size_t firstRow = table.find("\r\n") + 2;
  const std::string row = table.substr(firstRow, table.find("\r\n", firstRow) - firstRow);
  EXPECT_EQ(std::count(row.begin(), row.end(), ','), 3) << row;  // name and two values
}

TEST_F(ListingTest, CsvQuotesFieldsWithCommasOrQuotes) {
  struct Case {
    const char* label;
    std::string tag;
    std::string expected;  // a line of the listing
  } cases[] = {
      {"comma in a name", "PROG01  ", "\"C16:MV in READY mode (MV1, MV1 heat cool output)\",0,\r\n"},
      {"second name", "PROG01  ", "\"C70:Programming item: PID set, G.Soak\",0,\r\n"},
      {"third name", "PROG01  ", "\"C71:Programming item: PV start, cycle, pattern link\",0,\r\n"},
      {"plain name stays bare", "PROG01  ", "\r\nC02:Input 1 temperature unit,0,\r\n"},
      {"comma in a tag", "A,B     ", "\r\n\"1 Tag:A,B     \"\r\n"},
      {"quotes in a tag", "say \"hi\"", "\r\n\"1 Tag:say \"\"hi\"\"\"\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MakeImage(1);
    SetTag(1, c.tag.c_str());
    EXPECT_NE(Csv().find(c.expected), std::string::npos);
  }

  // On a two-loop model the fourth such name is listed too.
  core->Model.HardwareType1 = 0x841;
  core->Model.HardwareType2 = 0x01;
  EXPECT_NE(Csv().find("\r\n\"C39:MV in READY mode (MV2, MV2 heat output)\",0,\r\n"), std::string::npos);

  // The Japanese name writes a full-width comma, which needs no quotes.
  MakeImage(0);
  EXPECT_NE(Csv().find("\r\nC16:READY\x8e\x9e\x91\x80\x8d\xec\x97\xca(MV1\x81\x43MV1\xcb\xb0\xc4\x8f\x6f\x97\xcd),0,\r\n"),
            std::string::npos);
}

TEST_F(ListingTest, TagsAreEscapedInHtmlAndWrittenByteForByteInCsv) {
  struct Case {
    const char* label;
    const char* tag;
    std::string csv;
    std::string html;
  } cases[] = {
      {"markup characters", "<&>x    ", "\r\n1 Tag:<&>x    \r\n", "\r\n1 Tag:&lt;&amp;&gt;x    <BR>\r\n"},
      {"half-width katakana bytes", "\xb1\xb2\xb3     ", "\r\n1 Tag:\xb1\xb2\xb3     \r\n",
       "\r\n1 Tag:\xb1\xb2\xb3     <BR>\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MakeImage(1);
    SetTag(1, c.tag);
    EXPECT_NE(Csv().find(c.csv), std::string::npos);
    const std::string html = Html();
    EXPECT_NE(html.find(c.html), std::string::npos);
    EXPECT_EQ(html.find("<&>"), std::string::npos);
  }
}

bool HaveDevFull() {
  FILE* f = std::fopen("/dev/full", "wb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

TEST_F(ListingTest, FailedWritesAreReported) {
  if (!HaveDevFull()) GTEST_SKIP() << "no /dev/full";
  for (const bool html : {false, true}) {
    SCOPED_TRACE(html ? "html" : "csv");
    ASSERT_EQ(core->OpenExportFile("/dev/full"), 0);
    EXPECT_FALSE(html ? core->WriteHtml() : core->WriteCsv());
    EXPECT_TRUE(core->CloseExportFile());  // the listing is not complete
    EXPECT_EQ(core->ExportFile, nullptr);
  }
  // Nothing open: nothing can be written.
  EXPECT_FALSE(core->WriteCsv());
  EXPECT_FALSE(core->WriteHtml());
  EXPECT_FALSE(core->CloseExportFile());
}

TEST_F(ListingTest, FailedCloseIsReported) {
  if (!HaveDevFull()) GTEST_SKIP() << "no /dev/full";
  // Bytes still in the stream's buffer meet the full device only at the close.
  ASSERT_EQ(core->OpenExportFile("/dev/full"), 0);
  ASSERT_NE(core->ExportFile, nullptr);
  ASSERT_GT(std::fputs("x", core->ExportFile), 0);
  EXPECT_TRUE(core->CloseExportFile());
  EXPECT_EQ(core->ExportFile, nullptr);

  // A clean close of an ordinary file.
  ASSERT_EQ(core->OpenExportFile(path), 0);
  ASSERT_GT(std::fputs("x", core->ExportFile), 0);
  EXPECT_FALSE(core->CloseExportFile());
}

// A listing synced to disk is complete whatever its close reports then (the
// descriptor taken away under the stream, so that the close fails); a sync
// that fails reports the listing as not written.
struct SyncThen : kvl::TFileCalls {
  bool SyncFails = false;
  int Sync(int fd) override {
    if (SyncFails) return (errno = EIO, -1);
    const int rc = kvl::TFileCalls::Sync(fd);
    ::close(fd);
    return rc;
  }
};

TEST_F(ListingTest, ACompleteListingIsNotReportedByALateCloseError) {
  const std::string complete = Csv();
  for (const bool syncFails : {false, true}) {
    SCOPED_TRACE(syncFails ? "sync fails" : "close fails after the sync");
    SyncThen calls;
    calls.SyncFails = syncFails;
    ASSERT_EQ(core->OpenExportFile(path), 0);
    ASSERT_TRUE(core->WriteCsv());
    kvl::SetFileCalls(&calls);
    EXPECT_EQ(core->CloseExportFile(), syncFails);
    kvl::SetFileCalls(nullptr);
    EXPECT_EQ(core->ExportFile, nullptr);
    const Bytes bytes = ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), complete);
  }
}

TEST_F(ListingTest, OpenFailuresAndReopening) {
  EXPECT_EQ(core->OpenExportFile("/nonexistent-dir-kvl/list.csv"), 1);
  EXPECT_EQ(core->ExportFile, nullptr);
  EXPECT_FALSE(core->WriteCsv());

  // Opening again finishes the listing left open and truncates the file.
  ASSERT_EQ(core->OpenExportFile(path), 0);
  ASSERT_TRUE(core->WriteHtml());
  ASSERT_EQ(core->OpenExportFile(path), 0);
  ASSERT_TRUE(core->WriteCsv());
  EXPECT_FALSE(core->CloseExportFile());
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.rfind("[Option:", 0), 0u);
  EXPECT_EQ(bytes.find("<HTML>"), std::string::npos);

  // A data image destroyed with a listing still open closes it (no leaked
  // stream; the sanitized build's leak check sees it otherwise).
  ASSERT_EQ(core->OpenExportFile(path), 0);
  core.reset();
}

TEST_F(ListingTest, OpenChecksTheTargetDrive) {
  struct Case {
    const char* label;
    size_t pathLength;  // 0: the fixture's file
    kvl::DriveKind kind;
    std::optional<uint64_t> free;
    int expected;
  } cases[] = {
      {"path of 255 bytes", 255, kvl::DriveKind::Fixed, uint64_t{1} << 30, 4},
      {"path of 254 bytes", 254, kvl::DriveKind::Fixed, uint64_t{1} << 30, 1},  // no such folder
      {"CD-ROM", 0, kvl::DriveKind::CdRom, uint64_t{1} << 30, 3},
      {"too little free space", 0, kvl::DriveKind::Fixed, 99999, 2},
      {"just enough free space", 0, kvl::DriveKind::Fixed, 100000, 0},
      {"network drive: free space not asked", 0, kvl::DriveKind::Network, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeDrive fake(c.kind, c.free);
    const std::string folder = "/nonexistent-kvl-folder/";
    const std::string target =
        c.pathLength == 0 ? path : folder + std::string(c.pathLength - folder.size(), 'x');
    ASSERT_EQ(c.pathLength == 0 ? path.size() : c.pathLength, target.size());
    std::remove(path.c_str());
    EXPECT_EQ(core->OpenExportFile(target), c.expected);
    EXPECT_EQ(core->ExportFile != nullptr, c.expected == 0);
    if (c.pathLength == 255) {
      EXPECT_EQ(fake.Queries, 0);  // refused before any drive query
    }
    if (c.expected != 0 && c.pathLength == 0) {
      EXPECT_FALSE(std::ifstream(path).good()) << "a refused target is not created";
    }
    core->CloseExportFile();
  }
}

}  // namespace
