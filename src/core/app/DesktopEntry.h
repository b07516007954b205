// Texts of the file-type registration of this platform: the desktop entry that
// starts the application on a document, pointed at the installed program.
#pragma once
#include <string>

namespace zk7 {

// The MIME types the application registers for its two document types.
inline constexpr const char* RESULTS_MIME_TYPE = "application/x-zk7-results";
inline constexpr const char* LOG_MIME_TYPE = "text/x-zk7-log";

// One argument of a desktop entry's Exec line: in double quotes, with the quote,
// backquote, dollar and backslash characters escaped, when it holds a blank or
// another reserved character; then with the escapes of the entry's string values
// (percent and backslash doubled).
std::string QuoteExecArgument(const std::string& strArg);

// strTemplate with its "Exec=" line replaced by the program followed by " %f";
// the other lines unchanged.
std::string MakeDesktopEntry(const std::string& strTemplate, const std::string& strProgram);

} // namespace zk7
