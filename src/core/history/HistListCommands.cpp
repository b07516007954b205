#include "history/HistListCommands.h"

#include <cstdio>

#include "app/CommandIds.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

sMenuItem Cmd(unsigned nId, const char* pszText) { return {sMenuItem::COMMAND, nId, pszText, {}}; }
sMenuItem Sep() { return {sMenuItem::SEPARATOR, 0, "", {}}; }
sMenuItem Popup(const char* pszText, std::vector<sMenuItem> aItems) {
  return {sMenuItem::POPUP, 0, pszText, std::move(aItems)};
}

} // namespace

const std::vector<sMenuItem>& GetListContextMenu() {
  static const std::vector<sMenuItem> s_aItems = {
      Cmd(ID_LIST_PANE_ONLY, "Full Window"),
      Cmd(ID_ALL_PANES, "All Panes"),
      Sep(),
      Cmd(ID_GOTO_DATE, "Go to Date..."),
      Sep(),
      Cmd(ID_SELECT_BETWEEN_CURSORS, "Select List between Cursors 1 and 2"),
      Cmd(ID_CURSOR1_FROM_LIST, "Define Cursor 1 according to list"),
      Cmd(ID_CURSOR2_FROM_LIST, "Define Cursor 2 according to list"),
      Sep(),
      Cmd(ID_LIST_PRINT_PREVIEW, "Print Pre&view of Selected lines"),
      Cmd(ID_LIST_PRINT, "Print selected &lines..."),
      Sep(),
      Cmd(ID_LIST_EXPORT, "&Export selected lines..."),
      Sep(),
      Popup("Time format", {Cmd(ID_TIME_FORMAT_DATE_TIME, "Date and time"), Cmd(ID_TIME_FORMAT_TIME, "Time")}),
      Popup("Time Display Resolution", {Cmd(ID_RESOLUTION_1S, "1 s"), Cmd(ID_RESOLUTION_100MS, "100 ms"),
                                        Cmd(ID_RESOLUTION_10MS, "10 ms"), Cmd(ID_RESOLUTION_1MS, "1 ms")}),
      Popup("Errors display format",
            {Cmd(ID_ERRORS_NUMBER_ONLY, "Number only"), Cmd(ID_ERRORS_NUMBER_AND_MEANING, "Number and meaning")}),
      Cmd(ID_MS_OFFSET_COLUMNS, "Display ms time offset from date/time column"),
      Sep(),
      Cmd(ID_EDIT_COPY, "&Copy\tCtrl+C"),
      Cmd(ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A"),
  };
  return s_aItems;
}

const std::vector<sMenuItem>& GetKeyContextMenu() {
  static const std::vector<sMenuItem> s_aItems = {
      Cmd(ID_KEY_PANE_ONLY, "Full Window"),
      Cmd(ID_ALL_PANES, "All Panes"),
      Sep(),
      Cmd(ID_HIDE_UNCHECKED_CHANNELS, "Do not display unchecked channels"),
      Sep(),
      Cmd(ID_EDIT_COPY, "&Copy\tCtrl+C"),
  };
  return s_aItems;
}

std::string ExportFileExistsText(const std::string& strFileName) {
  return FormatMessage("File \"%1\" already exists", {strFileName});
}

std::string ExportProgressText(int64_t nWritten, int64_t nTotal) {
  return FormatMessage("%1 records from %2 exported", {std::to_string(nWritten), std::to_string(nTotal)});
}

bool PrintNeedsConfirmation(int nPages) { return nPages > 3; }

std::string PrintRecordsQuestion(int nFirstNumber, int nLastNumber, int nPages) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Printing Records list\nfrom n\xB0%d to n\xB0%d,\n (%d pages) ?", nFirstNumber,
                nLastNumber, nPages);
  return buf;
}

eCopyChoice PresetCopyChoice(eHistPane eActive, bool bListHasSelection) {
  switch (eActive) {
    case PANE_KEY: return COPY_KEY;
    case PANE_LIST: return bListHasSelection ? COPY_SELECTED_RECORDS : COPY_ALL_RECORDS;
    default: return COPY_GRAPH;
  }
}

} // namespace zk7
