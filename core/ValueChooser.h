// The value chooser's lists: which list an enumerated setting or program cell
// is chosen from, the model-dependent rewrite of the event-type and
// auxiliary-output tables, the entry preselected for a value, and the list of
// all setup parameters that the "PARA assignment item" settings choose from.
//
// The main window owns the drop-down control; it passes its view state (group
// kind, item of the row, sub-index or segment of the column, pattern, UI
// language) in and shows the plain data that comes back. Nothing is cached:
// every call reads the model words, the data revision and the values afresh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TCore;

// The texts of a drop-down list in list order and the entry preselected for
// the current value (-1 when no entry carries it).
struct TChoiceList {
  std::vector<std::string> Texts;
  int Selected = -1;
};

// What the chooser does for the current cell.
enum class TChooserAction {
  Keep,  // no such cell: leave the chooser as it is
  Hide,  // the cell takes no list
  Show,  // fill the chooser with List and show it at Left
};

struct TChooserView {
  TChooserAction Action = TChooserAction::Keep;
  TChoiceList List;
  int Left = 0;  // left edge in pixels: 210 over a program cell, 10 otherwise

  // The chooser's width in a main window of the given width.
  int Width(int windowWidth) const { return windowWidth - Left - 10; }
};

// Choice-table ids of the catalogue with a meaning of their own here.
inline constexpr int kChoiceIdEventType = 12;       // table 52, rewritten before showing
inline constexpr int kChoiceIdAuxOutputType = 29;   // table 53, rewritten before showing
inline constexpr int kChoiceIdParameterList = 48;   // the list of all setup parameters

class TValueChooser {
 public:
  explicit TValueChooser(TCore& core) : Core(core) {}

  // The list for the cell (group, item, sub, pattern): sub is the sub-index of
  // a setup parameter or the segment of a program cell; pattern matters only
  // for the program group (1). Rewrites tables 52 and 53 when they are the
  // cell's list. Language selects the row: 0 Japanese, 1 English, any other
  // value the bare-label row.
  TChooserView ShowChoiceCombo(int group, int item, int sub, int pattern, int language);

  // The choice table 1..57 that a choice-table id names for the current model
  // words and data revision; 0 for id 0, the parameter list (48) and any id
  // above it.
  int ChoiceTableOf(int choiceTableId) const;

  // Re-point the entries of table 53 (auxiliary output types) and table 52
  // (event types) in the row of language to the texts of the current model
  // (Japanese for language 0, English otherwise). Every reader of the tables
  // sees the rewritten entries until the next rewrite.
  void RewriteAuxOutputTable(int language);
  void RewriteEventTypeTable(int language);

  // The row of language from table, the first of its 3 * count texts (count
  // Japanese, count English, count labels), with the first entry whose leading
  // number equals value preselected. A null table or a count below 1 gives an
  // empty list.
  static TChoiceList SetChoiceList(const char* const* table, int count, int16_t value, int language);

  // Every setup parameter that applies to the model, as "address:name", in
  // the order constant-value operation data, PID parameters, PID parameters 2,
  // variable parameters, variable parameters 2, event configuration data,
  // table data, setup data; the entry whose address equals value preselected.
  TChoiceList SetParameterList(int16_t value, int language);

 private:
  bool TwoLoop() const;

  TCore& Core;
};
