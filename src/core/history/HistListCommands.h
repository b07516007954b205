// The record list's and the key's context menus, and the texts and choices of
// the export, print and copy commands of the history window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/MenuLayout.h"

namespace zk7 {

// The pop-up of the record list (right click or the context-menu key).
const std::vector<sMenuItem>& GetListContextMenu();
// The pop-up of the key pane.
const std::vector<sMenuItem>& GetKeyContextMenu();

// Texts of the export, print and copy commands.
inline constexpr const char* LIST_SELECT_TO_EXPORT = "Select records to export";
inline constexpr const char* LIST_EXPORT_TITLE = "Export to file";
inline constexpr const char* LIST_EXPORT_FILTER = "Text in columns (*.txt)";
inline constexpr const char* LIST_EXPORT_APPEND = "&APPEND data at the end of file";
inline constexpr const char* LIST_EXPORT_REPLACE = "&REPLACE existing data";
inline constexpr const char* LIST_EXPORT_OTHER_FILE = "Select an other &FILE name";
inline constexpr const char* LIST_CANNOT_CREATE_FILE = "Cannot create file";
inline constexpr const char* LIST_UNABLE_TO_COPY = "Unable to copy data";

// "File "%1" already exists" with the file's name.
std::string ExportFileExistsText(const std::string& strFileName);
// "%1 records from %2 exported".
std::string ExportProgressText(int64_t nWritten, int64_t nTotal);

// A print run of more than three pages asks first.
bool PrintNeedsConfirmation(int nPages);
// "Printing Records list\nfrom n°%d to n°%d,\n (%d pages) ?" with record numbers from 1.
std::string PrintRecordsQuestion(int nFirstNumber, int nLastNumber, int nPages);

// The copy dialog's items, in the order of its radio buttons.
enum eCopyChoice { COPY_GRAPH = 0, COPY_KEY = 1, COPY_SELECTED_RECORDS = 2, COPY_ALL_RECORDS = 3 };
enum eHistPane { PANE_NONE, PANE_KEY, PANE_GRAPH, PANE_LIST };
// The dialog's first choice, from the pane that was active.
eCopyChoice PresetCopyChoice(eHistPane eActive, bool bListHasSelection);

} // namespace zk7
