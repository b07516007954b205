// The string table's texts, addressed by the numbers the rest of the application uses.
#include "strings/StringTable.h"

#include <algorithm>
#include <iterator>

namespace zk7 {

namespace {

struct sStringEntry {
  unsigned m_nId;
  const char* m_pszText;
};

// Sorted by id for the binary search. Some texts carry the typing errors and
// French words the users know from earlier versions: they stay as they are.
constexpr sStringEntry s_aStrings[] = {
    {IDS_APP_TITLE, "ZK7"},
    {IDS_RESULTS_DOC_TYPE, "\nZK7Res \n\nZK7 results files (*.zk)\n.zk\nZK7.ResultFile\nZK7 Result File"},
    {IDS_LOG_DOC_TYPE, "\nZK7Log\n\nZK7 log files (*.log)\n.log\nZK7.LogFile\nZK7 Log File"},
    {IDS_VERSION, "Version:"},
    {IDS_TOKEN_PAGE, "&[Page]"},
    {IDS_TOKEN_PAGES, "&[Pages]"},
    {IDS_TOKEN_DATE, "&[Date]"},
    {IDS_TOKEN_TIME, "&[Heure]"},
    {IDS_TOKEN_FILE, "&[Fichier]"},
    {IDS_TOKEN_USER, "&[Utilisateur]"},
    {IDS_TOKEN_PRODUCT_VERSION, "&[ProductVersion]"},
    {IDS_HEADER_CENTRE, "&[Element]\r\n"},
    {IDS_TOKEN_ELEMENT, "&[Element]"},
    {IDS_FOOTER_CENTRE, "\r\nPrinted &[Date] at &[Heure]"},
    {IDS_FOOTER_LEFT, "  "},
    {IDS_FOOTER_RIGHT, "Page &[Page] from &[Pages]"},
    {IDS_NOT_ZK7_FILE, "This file is not a valid ZK7 results file"},
    {IDS_NO_MEMORY_FOR_FILE, "Cannot allocate enough memory for reading this file"},
    {IDS_FILE_EMPTY, "This file is empty (not any result)."},
    {IDS_XML_ERRONEOUS, "The XML configuration contained in this file is erroneous."},
    {IDS_CHANNELS_NOT_FOUND, "Error: Some channels cannot be fount into the XML configuration contained in this file."},
    {IDS_NO_SESSION_ELEMENT, "Erreur: The XML configuration contained in this file has no 'session' element."},
    {IDS_COLUMN_MARK, "M"},
    {IDS_COLUMN_NUMBER, "N\xB0"},
    {IDS_COLUMN_DATE, "Date"},
    {IDS_COLUMN_HOUR, "Hour"},
    {IDS_COLUMN_DELAY, "Delay"},
    {IDS_STORAGE_INTERNAL, "internal flash"},
    {IDS_STORAGE_USB, "USB key"},
    {IDS_STORAGE_SDCARD, "SD Card"},
    {IDS_STORAGE_CONFIGS, "Configurations"},
    {IDS_STORAGE_LOGS, "Glogal Logs"},
    {IDS_GRAPH_NO_MEMORY, "The system does not have enough memory available to display the results in graphic form.\nUse the \"Scales\" tool to reduce the duration displayed in the graph."},
    {IDS_KEY_COLUMN_TITLES, "N\xB0\tChannel\tUnit\tScale\t"},
    {IDS_CURSORS_TITLE, "Cursors"},
    {IDS_SCALES_TITLE, "Scales"},
    {IDS_PLEASE_WAIT, "Please wait..."},
    {IDS_PREPARING_GRAPH, "Preparing graph"},
    {IDS_RECORDS, "Records"},
    {IDS_DAYS_SUFFIX, "j"},
    {IDS_WRONG_DATE_FORMAT, "Wrong date format"},
    {IDS_CANNOT_FIND_RECORD, "Cannot find Record"},
    {IDS_EXPORTING_RECORDS, "Exporting records"},
};

static_assert(std::is_sorted(std::begin(s_aStrings), std::end(s_aStrings),
                             [](const sStringEntry& a, const sStringEntry& b) { return a.m_nId < b.m_nId; }));

} // namespace

std::string LoadString(unsigned nId) {
  const auto it = std::lower_bound(std::begin(s_aStrings), std::end(s_aStrings), nId,
                                   [](const sStringEntry& entry, unsigned n) { return entry.m_nId < n; });
  if (it == std::end(s_aStrings) || it->m_nId != nId)
    return std::string();
  return std::string(it->m_pszText);
}

std::string FormatMessage(const std::string& strFormat, std::initializer_list<std::string> args) {
  std::string strResult;
  strResult.reserve(strFormat.size());
  for (size_t i = 0; i < strFormat.size(); ++i) {
    const char c = strFormat[i];
    if (c == '%' && i + 1 < strFormat.size() && strFormat[i + 1] >= '1' && strFormat[i + 1] <= '9') {
      const size_t nArg = static_cast<size_t>(strFormat[i + 1] - '1');
      if (nArg < args.size()) {
        strResult += *(args.begin() + nArg);
        ++i;
        continue;
      }
    }
    strResult += c;
  }
  return strResult;
}

} // namespace zk7
