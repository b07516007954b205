#include "history/PageHeader.h"

#include <QDateTime>

#include <algorithm>

#include "format/Formatting.h"
#include "format/RegionalSettings.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

struct sPageState {
  bool bInitialised = false;
  sPageTemplates templates;
  std::string strProductVersion;
};

sPageState& State() {
  static sPageState state;
  return state;
}

} // namespace

void InitPageTemplates(const std::string& strProductName, const std::string& strVersion) {
  sPageState& state = State();
  state.templates = sPageTemplates();
  state.templates.aHeader[PAGE_CENTRE] = LoadString(IDS_HEADER_CENTRE);
  state.templates.aFooter[PAGE_LEFT] = LoadString(IDS_FOOTER_LEFT);
  state.templates.aFooter[PAGE_CENTRE] = LoadString(IDS_FOOTER_CENTRE);
  state.templates.aFooter[PAGE_RIGHT] = LoadString(IDS_FOOTER_RIGHT);
  state.strProductVersion = strProductName + "-" + strVersion;
  state.bInitialised = true;
}

const sPageTemplates& GetPageTemplates() {
  if (!State().bInitialised) InitPageTemplates();
  return State().templates;
}

const std::string& GetProductVersionText() {
  if (!State().bInitialised) InitPageTemplates();
  return State().strProductVersion;
}

int TemplateLineCount(const std::string& strTemplate) {
  if (strTemplate.empty()) return 0;
  return 1 + static_cast<int>(std::count(strTemplate.begin(), strTemplate.end(), '\n'));
}

void GetHeaderFooterLines(const sPageTemplates& templates, int& nHeaderLines, int& nFooterLines) {
  nHeaderLines = nFooterLines = 0;
  for (int i = 0; i < 3; ++i) {
    nHeaderLines = std::max(nHeaderLines, TemplateLineCount(templates.aHeader[i]));
    nFooterLines = std::max(nFooterLines, TemplateLineCount(templates.aFooter[i]));
  }
  if (nHeaderLines) ++nHeaderLines;
  if (nFooterLines) ++nFooterLines;
}

void GetHeaderFooterLines(int& nHeaderLines, int& nFooterLines) {
  GetHeaderFooterLines(GetPageTemplates(), nHeaderLines, nFooterLines);
}

std::vector<std::string> ExpandPageTemplate(const std::string& strTemplate, const sPageFields& fields) {
  std::vector<std::string> aLines;
  if (strTemplate.empty()) return aLines;
  std::string s = strTemplate;
  ReplaceAll(s, LoadString(IDS_TOKEN_PAGE), std::to_string(fields.nPage));
  ReplaceAll(s, LoadString(IDS_TOKEN_PAGES), std::to_string(fields.nPages));
  ReplaceAll(s, LoadString(IDS_TOKEN_DATE), fields.strDate);
  ReplaceAll(s, LoadString(IDS_TOKEN_TIME), fields.strTime);
  ReplaceAll(s, LoadString(IDS_TOKEN_USER), "???");
  ReplaceAll(s, LoadString(IDS_TOKEN_PRODUCT_VERSION), fields.strProductVersion);
  ReplaceAll(s, LoadString(IDS_TOKEN_ELEMENT), fields.strElement);
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  size_t i = 0;
  for (size_t j; (j = s.find('\n', i)) != std::string::npos; i = j + 1) aLines.push_back(s.substr(i, j - i));
  aLines.push_back(s.substr(i));
  return aLines;
}

sPageTexts ExpandPageTexts(const sPageTemplates& templates, const sPageFields& fields) {
  sPageTexts texts;
  for (int i = 0; i < 3; ++i) {
    texts.aHeader[i] = ExpandPageTemplate(templates.aHeader[i], fields);
    texts.aFooter[i] = ExpandPageTemplate(templates.aFooter[i], fields);
  }
  return texts;
}

void CurrentPrintDateTime(std::string& strDate, std::string& strTime) {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  strDate = GetRegionalSettings().FormatShortDate(d.year(), d.month(), d.day());
  strTime = FormatDateTime(DayNumberFromCalendar(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()),
                           false, false, 0);
}

sPageFields MakePageFields(const std::string& strElement, int nPage, int nPages) {
  sPageFields fields;
  fields.strElement = strElement;
  fields.nPage = nPage;
  fields.nPages = nPages;
  CurrentPrintDateTime(fields.strDate, fields.strTime);
  fields.strProductVersion = GetProductVersionText();
  return fields;
}

} // namespace zk7
