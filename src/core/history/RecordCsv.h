// Records as CSV for spreadsheets and data tools: RFC 4180, UTF-8, ISO 8601
// times and point decimals whatever the user's regional settings. The values
// are the texts the record list shows, without padding.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/RecordExport.h"

namespace zk7 {

class CHistRowText;

// What a sample with an error code gives: an empty cell (nothing to compute
// with), or the list's error text ("Err. 7" or with its meaning) in quotes.
enum eCsvErrors { CSV_ERRORS_EMPTY = 0, CSV_ERRORS_TEXT = 1 };

// The file type the export dialog offers beside the text in columns.
inline constexpr const char* CSV_EXPORT_FILTER = "CSV (comma-separated, UTF-8) (*.csv)";

// The header line `time,<name> [<unit>],...` for the channels the rows show
// (unless !bHeader: rows appended to a CSV file that has one), then one line
// per row of the blocks, CR LF after each. Progress and the result as
// WriteRecordLines.
unsigned WriteCsvLines(const CHistRowText& rows, const std::vector<sRowBlock>& aBlocks, eCsvErrors eErrors,
                       bool bHeader, IRecordSink& sink, const ExportProgress& progress = {},
                       int64_t* pnWritten = nullptr);
unsigned WriteCsvLines(const CHistRowText& rows, int nFirst, int nCount, eCsvErrors eErrors, IRecordSink& sink,
                       const ExportProgress& progress = {}, int64_t* pnWritten = nullptr);

// "name [unit]", or the name alone when the unit is empty (8-bit texts).
std::string ChannelColumnTitle(const std::string& strName, const std::string& strUnit);
// The file's 8-bit texts (Latin-1) as UTF-8.
void AppendLatin1AsUtf8(std::string& strOut, std::string_view str);
// A field as RFC 4180 wants it: quoted when it holds a comma, a quote, CR or
// LF, or when bQuote; quotes inside doubled.
void AppendCsvField(std::string& strOut, std::string_view strField, bool bQuote = false);

// The file name proposed for a CSV export: as for the text export, with ".csv".
std::string ProposeCsvFileName(const std::string& strDocTitle);

} // namespace zk7
