// The application's string table: every numbered user-visible text, 8-bit (Latin-1).
#pragma once
#include <initializer_list>
#include <string>

namespace zk7 {

// The text of string id nId; an empty text for an id without an entry.
std::string LoadString(unsigned nId);

// Numbered placeholders: replaces %1 to %9 by the first to the ninth argument, in
// one pass (an argument holding "%2" is not expanded again). A placeholder without
// an argument, and any other "%", stays as it stands.
std::string FormatMessage(const std::string& strFormat, std::initializer_list<std::string> args);

// The ids of the table; the GUI may use the numbers directly.
enum : unsigned {
  IDS_APP_TITLE = 128,
  IDS_RESULTS_DOC_TYPE = 129,
  IDS_LOG_DOC_TYPE = 130,
  IDS_VERSION = 157,
  IDS_TOKEN_PAGE = 468,
  IDS_TOKEN_PAGES = 469,
  IDS_TOKEN_DATE = 470,
  IDS_TOKEN_TIME = 471,
  IDS_TOKEN_FILE = 472,
  IDS_TOKEN_USER = 473,
  IDS_TOKEN_PRODUCT_VERSION = 474,
  IDS_HEADER_CENTRE = 475,
  IDS_TOKEN_ELEMENT = 476,
  IDS_FOOTER_CENTRE = 477,
  IDS_FOOTER_LEFT = 478,
  IDS_FOOTER_RIGHT = 479,
  IDS_NOT_ZK7_FILE = 1152,
  IDS_NO_MEMORY_FOR_FILE = 1153,
  IDS_FILE_EMPTY = 1154,
  IDS_XML_ERRONEOUS = 1155,
  IDS_CHANNELS_NOT_FOUND = 1156,
  IDS_NO_SESSION_ELEMENT = 1157,
  IDS_COLUMN_MARK = 1158,
  IDS_COLUMN_NUMBER = 1159,
  IDS_COLUMN_DATE = 1160,
  IDS_COLUMN_HOUR = 1161,
  IDS_COLUMN_DELAY = 1162,
  IDS_STORAGE_INTERNAL = 1170,
  IDS_STORAGE_USB = 1171,
  IDS_STORAGE_SDCARD = 1172,
  IDS_STORAGE_CONFIGS = 1173,
  IDS_STORAGE_LOGS = 1174,
  IDS_GRAPH_NO_MEMORY = 1197,
  IDS_KEY_COLUMN_TITLES = 10002,
  IDS_CURSORS_TITLE = 10003,
  IDS_SCALES_TITLE = 10004,
  IDS_PLEASE_WAIT = 10005,
  IDS_PREPARING_GRAPH = 10006,
  IDS_RECORDS = 10007,
  IDS_DAYS_SUFFIX = 10008,
  IDS_WRONG_DATE_FORMAT = 10009,
  IDS_CANNOT_FIND_RECORD = 10010,
  IDS_EXPORTING_RECORDS = 10078,
};

// Texts of the instrument commands that have no number. %1: a local path.
constexpr const char* ZK7_MSG_REPLACE_OPEN_FILE =
    " '%1'\n\n This file is open in a window. Close the window and replace the file ?";
// %1: the field ("Device Address", "User Name", "Password").
constexpr const char* ZK7_MSG_NOT_LATIN1 =
    "%1: only characters of the Western European (Latin-1) set can be sent to the module.";

} // namespace zk7
