// The page header and footer of every printout: the six templates, their tokens
// and the lines they give for one page. The drawing is in gui/history/PagePrinter.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

enum ePagePosition { PAGE_LEFT = 0, PAGE_CENTRE = 1, PAGE_RIGHT = 2 };

struct sPageTemplates {
  std::string aHeader[3];  // by ePagePosition
  std::string aFooter[3];
};

// What replaces the tokens on one page.
struct sPageFields {
  std::string strElement;   // title of what is printed (a document's file name)
  int nPage = 1;
  int nPages = 1;           // last page of the job
  std::string strDate;      // print date, the user's short date
  std::string strTime;      // print time
  std::string strProductVersion;  // product name, "-", version
};

// Fills the application's templates from the string table; called once at
// start-up. The product name and version replace "&[ProductVersion]".
void InitPageTemplates(const std::string& strProductName = "ZK7 Desktop", const std::string& strVersion = ZK7_VERSION);
// The application's templates (filled on first use if start-up has not done it).
const sPageTemplates& GetPageTemplates();
const std::string& GetProductVersionText();

// Lines of a template before expansion: 0 when empty, else 1 + its LF count.
int TemplateLineCount(const std::string& strTemplate);
// Lines a printout reserves at the top and the bottom of its printable area:
// the largest template of each row plus a blank separating line.
void GetHeaderFooterLines(const sPageTemplates& templates, int& nHeaderLines, int& nFooterLines);
void GetHeaderFooterLines(int& nHeaderLines, int& nFooterLines);

// Replaces every token (the element title last, so that a title holding a token
// keeps it as text), removes CR, and splits at LF.
std::vector<std::string> ExpandPageTemplate(const std::string& strTemplate, const sPageFields& fields);

// The expanded lines of one page, by position.
struct sPageTexts {
  std::vector<std::string> aHeader[3];
  std::vector<std::string> aFooter[3];
};
sPageTexts ExpandPageTexts(const sPageTemplates& templates, const sPageFields& fields);

// The current date and time in the user's conventions, for "&[Date]" and "&[Heure]".
void CurrentPrintDateTime(std::string& strDate, std::string& strTime);
// The fields of a page printed now with the application's product version.
sPageFields MakePageFields(const std::string& strElement, int nPage, int nPages);

} // namespace zk7
