// The module's error numbers and their meanings, as the module's firmware defines them.
#include "errors/ErrorCatalogue.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace zk7 {

namespace {

// The texts are the module's own, typing errors included: users compare them
// with what the module's web pages and log files show.
// Measuring boards: numbers 0 to 47.
constexpr std::array<const char*, 48> s_aszBoardErrors = {
    /* 0 */ "OK",
    /* 1 */ "Wrong frame length",
    /* 2 */ "Wrong frame CRC",
    /* 3 */ "Unknown function number",
    /* 4 */ "Erroneous received configuration (channel or function)",
    /* 5 */ "Channel is not configured",
    /* 6 */ "Overload (too low)",
    /* 7 */ "Overload (too high)",
    /* 8 */ "Measurement time exceeded",
    /* 9 */ "Overload (ADC -)",
    /* 10 */ "Overload (ADC +)",
    /* 11 */ "Error executing function StartRawMeas",
    /* 12 */ "Broken wire (voltage)",
    /* 13 */ "Broken wire (current)",
    /* 14 */ "SetTask: Wrong board count",
    /* 15 */ "Wrong channel acquisition rate value",
    /* 16 */ "SetCnfMeas: Wrong channel number",
    /* 17 */ "SetCnfMeas: unknown measurement function",
    /* 18 */ "SetCnfMeas: unknown acquisition rate",
    /* 19 */ "Acquisition is already running",
    /* 20 */ "Not allowed while acquisition is running",
    /* 21 */ "Unknown command",
    /* 22 */ "Invalid command parameters",
    /* 23 */ "Reference junction measurement error",
    /* 24 */ "Board has not received PRERUN command",
    /* 25 */ "PRERUN received while acquisition is running",
    /* 26 */ "Incompatibles CONTINUOUS and TRIGGERED modes!",
    /* 27 */ "In CONTINUOUS mode, all chans must have same ADC Rate",
    /* 28 */ "In CONTINUOUS mode, 3-WIRES measurements are not allowed",
    /* 29 */ "In CONTINUOUS mode, Thermocouple measurement with internal RJ is not allowed",
    /* 30 */ "Acquisition periodicity is incompatible with the required accuracy",
    /* 31 */ "Chan 3 Acquisition periodicity is incompatible with RJ temperature measurement",
    /* 32 */ "Acquisition is running. You must first stop it(dwMeasToDo = 0)",
    /* 33 */ "Wrong channel number",
    /* 34 */ "Wrong ADC rate",
    /* 35 */ "Unknown measurement function",
    /* 36 */ "Function is not implemented!",
    /* 37 */ "No RJ temperature measurement available",
    /* 38 */ "Error while reading eeprom",
    /* 39 */ "Error while writing eeprom",
    /* 40 */ "ERR_EEPNOTADJUSTED,",
    /* 41 */ "Out of limits measurement for this sensor (too low)",
    /* 42 */ "Out of limits measurement for this sensor (too high)",
    /* 43 */ "No measurement available",
    /* 44 */ "Frequency too low",
    /* 45 */ "Data access out of permitted space",
    /* 46 */ "TC measurement with RJ compensation on another channel is not supported",
    /* 47 */ "Wrong frame size (insufficient number of parameters)",
};

// Module system: numbers 100 to 313.
constexpr std::array<const char*, 214> s_aszSystemErrors = {
    /* 100 */ "",
    /* 101 */ "Can not create results file '%1'- Error:%2",
    /* 102 */ "Can not run acquisition - Error: %1",
    /* 103 */ "Can not read configuration file '%1' - Error:",
    /* 104 */ "Command processing error:",
    /* 105 */ "Measurement range must be specified",
    /* 106 */ "No range for this measurement function",
    /* 107 */ "Invalid range for this measurement function",
    /* 108 */ "Error in the formula",
    /* 109 */ "Measurements counter is nul or statistics are not programmed on this channel.",
    /* 110 */ "Acquisition must be stopped.",
    /* 111 */ "RJ measurement accuracy: incorrect value",
    /* 112 */ "Incorrect setting of measurement scaling",
    /* 113 */ "Wrong password",
    /* 114 */ "These commands can not be send through Modbus Interface",
    /* 115 */ "Channel measurement Time Out",
    /* 116 */ "Measurements FIFO is full",
    /* 117 */ "No answer",
    /* 118 */ "Response is too large",
    /* 119 */ "Acquisition is already running",
    /* 120 */ "Error on sending configuration.",
    /* 121 */ "Error on sending command.",
    /* 122 */ "This channel name does not exist",
    /* 123 */ "Incorrect parameters size",
    /* 124 */ "Unrecognized Modbus command",
    /* 125 */ "This name is already in use by channel '%1'",
    /* 126 */ "Invalid measurement function",
    /* 127 */ "Limit number must be between 1 and 4",
    /* 128 */ "Invalid operator",
    /* 129 */ "Operand expected",
    /* 130 */ "closing brace expected",
    /* 131 */ "Unknown calculation function",
    /* 132 */ "Channel reference expected('CH(<name>)'",
    /* 133 */ "Opening brace expected",
    /* 134 */ "Arguments separator expected (';')",
    /* 135 */ "This channel name does not exist",
    /* 136 */ "Expression too much complex (too much braces)",
    /* 137 */ "Error:Circular referencing",
    /* 138 */ "Error in the formula",
    /* 139 */ "0 divide",
    /* 140 */ "Power raising error",
    /* 141 */ "Square root of negative number",
    /* 142 */ "Logarithm of negative number",
    /* 143 */ "Referenced channel does not exist",
    /* 144 */ "Task '%1' is already running.",
    /* 145 */ "Task '%1' is not running.",
    /* 146 */ "Task '%1' can not be started. Reason: %2.",
    /* 147 */ "Task '%1' is running. can not change its settings.",
    /* 148 */ "This name can not be given to task %1, it's already the name of task %2.",
    /* 149 */ "Task '%1' can not process this channels list in 'continuous' mode.",
    /* 150 */ "Task '%1' must have a minimum acquisition period of %2 ms.",
    /* 151 */ "Error: Rack %1 does not respond",
    /* 152 */ "Error: Board %1 of rack %2 does not respond",
    /* 153 */ "Rack %1, board %2. Error: '%3'.",
    /* 154 */ "Error when sending task %1 configuration: %2.",
    /* 155 */ "Error starting task '%1': Channel '%2' is already used by task '%3'",
    /* 156 */ "Task '%1' can not be stopped. Reason: %2.",
    /* 157 */ "Task '%1'. Error in the evaluation of the stop storage condition: '%2'",
    /* 158 */ "T\xE2" "che '%1'. Error in the evaluation of the start storage condition: '%2'",
    /* 159 */ "Can not close results file '%1'- Error:%2",
    /* 160 */ "Can not write results file '%1'- Error:%2",
    /* 161 */ "Not enough memory for task '%1' buffers allocation",
    /* 162 */ "Task '%1': Unknown request",
    /* 163 */ "Can not access USB key",
    /* 164 */ "Can not access SDCard",
    /* 165 */ "Can not access the storage device.",
    /* 166 */ "Insufficient space on storage device. Available space: %1 bytes",
    /* 167 */ "This name is already the name of task %1",
    /* 168 */ "'Continuous' mode is incompatible with some channels setting (measurement function or accuracy).",
    /* 169 */ "'Continuous' mode can not be set because other tasks are programmed.",
    /* 170 */ "Minimimum periodicity is  %1 ms.",
    /* 171 */ "In order to be recorded, channel '%1' must be added to the list of channels to acquire",
    /* 172 */ "Start condition: IONUM '%1' must be defined as an input channel",
    /* 173 */ "Start recording condition. Error at position %1.: ",
    /* 174 */ "Stop recording condition. Error at position %1.: ",
    /* 175 */ "Insufficient memory for allocating recording buffers.",
    /* 176 */ "PreTrigger value is too high (insufficient memory). Maximum value is %1s %2 ms",
    /* 177 */ "PreTrigger value is too high (insufficient memory). Maximum value is %1 cycles",
    /* 178 */ "Task '%1': this settings change can not be done while acquisition is running.",
    /* 179 */ "Task '%1': %2.",
    /* 180 */ "Missing task number",
    /* 181 */ "Invalid element name",
    /* 182 */ "Element '%1': Invalid name",
    /* 183 */ "Element '%1' must have associated text",
    /* 184 */ "Invalid attribute name",
    /* 185 */ "'%1' is not a valid attribute for element '%2'",
    /* 186 */ "Invalid attribute value",
    /* 187 */ "'%1' is not a valid value for attribute '%2' of element '%3'",
    /* 188 */ "Line %1, column %2, Error: %3",
    /* 189 */ "Attribute '%1' value must be specified for element '%2'",
    /* 190 */ "This configuration is not valid for this instrument",
    /* 191 */ "Error in the formula at position %1: '%2'",
    /* 192 */ "Channel settings error.",
    /* 193 */ "Scaling: Minimum 2 points..",
    /* 194 */ "Scaling: from 2 to 11 points.",
    /* 195 */ "Scaling: 'X' values must all be different",
    /* 196 */ "Default value setting error",
    /* 197 */ "Initial value setting error",
    /* 198 */ "Digital input reading error",
    /* 199 */ "Digital output setting error",
    /* 200 */ "Analog output setting error",
    /* 201 */ "Session identifier has expired. Please reconnect",
    /* 202 */ "Wrong encryption key",
    /* 203 */ "Unknown user name, or wrong password",
    /* 204 */ "Relay setting error",
    /* 205 */ "Help is not available",
    /* 206 */ "Error in the formula",
    /* 207 */ "No task with this name",
    /* 208 */ "No task with this number",
    /* 209 */ "'%1': File does not exist.",
    /* 210 */ "File '%1' already exists.",
    /* 211 */ "Can not open file '%1'. Error: ",
    /* 212 */ "Can not read file '%1'. Error: ",
    /* 213 */ "Insufficient memory!",
    /* 214 */ "Error reading XML configurztion",
    /* 215 */ "No alarme group with this name",
    /* 216 */ "Alarm group '%1' has already ths name",
    /* 217 */ "Name or group number must be specified",
    /* 218 */ "No such user",
    /* 219 */ "Error in alarms group setting",
    /* 220 */ "This channel is not a relay output or digital output",
    /* 221 */ "This channel name does not exist",
    /* 222 */ "This channel is already used by task %1",
    /* 223 */ "This channel is already used by alarm group %1",
    /* 224 */ "You do not have the rights for this action.",
    /* 225 */ "One of fields 'user','password' or 'usergroup' is missing",
    /* 226 */ "The minimum size of the name is %1 characters.",
    /* 227 */ "The minimum size of the password is %1 characters.",
    /* 228 */ "This user name already exists",
    /* 229 */ "This user name does not exist",
    /* 230 */ "Acquisition must be running",
    /* 231 */ "In order to execute this command, device must be under your sole control (REMOTE)",
    /* 232 */ "Operation impossible changes locked by another user",
    /* 233 */ "Object names (channels, tasks...) are limited to 50 characters  and must not contain the following characters: \\/\"'()-,;}*?<>:",
    /* 234 */ "Write error in file '%1':",
    /* 235 */ "Alarm group %1 is not programmed",
    /* 236 */ "Alarm can not be aknowledged: user '%1' is not a member of this alarm group",
    /* 237 */ "No unacknowledged alarm for limit '%1' of channel '%2'",
    /* 238 */ "Can not create directory '%1'. Error: ",
    /* 239 */ "Can not delete file '%1'. Error: ",
    /* 240 */ "Can not close file '%1'. Error : ",
    /* 241 */ "Descriptor does not match the file being read.",
    /* 242 */ "Wrong date",
    /* 243 */ "Can not set time. Error: ",
    /* 244 */ "Date and time setting",
    /* 245 */ "Some connections of this session are not closed.",
    /* 246 */ "Invalid request identifier",
    /* 247 */ "Incorrect parameters for this request",
    /* 248 */ "Incorrect session identifier",
    /* 249 */ "Incorrect file identifier",
    /* 250 */ "Can not read file. Error: ",
    /* 251 */ "Attempt to read beyond end of file",
    /* 252 */ "Insufficient memory!",
    /* 253 */ "Can not save the users file",
    /* 254 */ "No users file!",
    /* 255 */ "Can not read the users file",
    /* 256 */ "Error reading the users file: Wrong format",
    /* 257 */ "Rack %1, Board %2, Error: '%3'",
    /* 258 */ "Alarm group '%1', Error:'%2'",
    /* 259 */ "No chan to process",
    /* 260 */ "No task programmed",
    /* 261 */ "Can not record configuration '%1'. Error: '%2'",
    /* 262 */ "Rack is not connected",
    /* 263 */ "Board is not connected",
    /* 264 */ "Can not read the eeprom settings",
    /* 265 */ "Can not read the eeprom",
    /* 266 */ "Can not write the eeprom",
    /* 267 */ "Incorrect channel number",
    /* 268 */ "Application %1 version %2",
    /* 269 */ "Failed to update software",
    /* 270 */ "The storage unit contains no file '. hex' valid for the update",
    /* 271 */ "The storage unit contains several file '. hex'. Please indicate the one to use",
    /* 272 */ "The linearization number must be between 1 and 100",
    /* 273 */ "linearisation table not programmed",
    /* 274 */ "This channel does not exist",
    /* 275 */ "Can not set value to this channel",
    /* 276 */ "Error when flushing buffers",
    /* 277 */ "Error when reading adjusment settings for analog output channels.",
    /* 278 */ "Incorrect text value",
    /* 279 */ "Invalid MAC address. Tessor addresses must begin with '0A:0B:0C",
    /* 280 */ "Can not remove directories 'Configs' and 'Logs'",
    /* 281 */ "Can not remove directory '%1'. Error: ",
    /* 282 */ "Insufficient disk space on '%1' (Needed: %2 - Available: %3)",
    /* 283 */ "Too high value of the parameter 'maximum file size' (programmed: %1 - Maximum: %2)",
    /* 284 */ "*** %1 : Signaling an alarm ***",
    /* 285 */ "Date and Time: %1",
    /* 286 */ "Device name: %1",
    /* 287 */ "Channel name: %1",
    /* 288 */ "Channel value: %1 %2",
    /* 289 */ "Limit %1 value: %2 %3",
    /* 290 */ "Can not communicate with ZK7Emailer",
    /* 291 */ "Can not set RTC date and time. Error %1",
    /* 292 */ "The acquisition configuration countains errors",
    /* 293 */ "Acquisition periodicity must be an integer multiple of 10 ms",
    /* 294 */ "Can not delete file partially",
    /* 295 */ "The maximum number of HTTP clients must be between %1 and %2",
    /* 296 */ "The maximum number of MODBUS clients must be between %1 and %2",
    /* 297 */ "The maximum size of log files should be between %1 and %2 bytes",
    /* 298 */ "The FIFO size should be between %1 et %2 measurement results",
    /* 299 */ "The buffers size, expressed in ms of acquisition, should be between %1 and %2 ms",
    /* 300 */ "Updating the firmware of board %1 requires a return factory",
    /* 301 */ "Can't set board %1 in UPG Mode",
    /* 302 */ "Unable to update. The file has no compatibility list",
    /* 303 */ "Device '%1' is not mounted",
    /* 304 */ "Can't mount device '%1'",
    /* 305 */ "Set Date-Time: Acquisition must be stopped!",
    /* 306 */ "You can not change the setting of this channel because measures are already recorded.",
    /* 307 */ "No file update is present on the USB",
    /* 308 */ "The USB key must contain only one file update",
    /* 309 */ "Update %1 is already done",
    /* 310 */ "The contents of the update '%1'is not valid",
    /* 311 */ "The control chain of update '%1' is incorrect.",
    /* 312 */ "Fails to force the update. Verify that the USB key is not write-protected.",
    /* 313 */ "Comment can not be logged: user '%1' is not a member of this alarm group",
};

constexpr int BOARD_FIRST = 0;
constexpr int SYSTEM_FIRST = 100;
constexpr int BOARD_END = BOARD_FIRST + static_cast<int>(s_aszBoardErrors.size());
constexpr int SYSTEM_END = SYSTEM_FIRST + static_cast<int>(s_aszSystemErrors.size());
static_assert(BOARD_END == 48 && SYSTEM_END == 314);

const char* FindErrorText(int nCode) {
  if (nCode >= BOARD_FIRST && nCode < BOARD_END)
    return s_aszBoardErrors[static_cast<size_t>(nCode - BOARD_FIRST)];
  if (nCode >= SYSTEM_FIRST && nCode < SYSTEM_END)
    return s_aszSystemErrors[static_cast<size_t>(nCode - SYSTEM_FIRST)];
  return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::string GetErrorText(int nCode) {
  const char* pszText = FindErrorText(nCode);
  return pszText != nullptr ? std::string(pszText) : std::string("???");
}

bool HasErrorText(int nCode) { return FindErrorText(nCode) != nullptr; }

std::string FormatErrorMeaning(int nCode) {
  return "Err. " + std::to_string(nCode) + ":\r\n\r\n" + GetErrorText(nCode);
}

sErrorLookup LookupErrorNumber(const std::string& strTyped) {
  size_t nBegin = 0;
  size_t nEnd = strTyped.size();
  while (nBegin < nEnd && IsBlank(strTyped[nBegin]))
    ++nBegin;
  while (nEnd > nBegin && IsBlank(strTyped[nEnd - 1]))
    --nEnd;
  const char* pBegin = strTyped.data() + nBegin;
  const char* pEnd = strTyped.data() + nEnd;
  bool bNegative = false;
  if (pBegin < pEnd && (*pBegin == '+' || *pBegin == '-')) {
    bNegative = *pBegin == '-';
    ++pBegin;
  }

  sErrorLookup lookup;
  // from_chars takes no sign of its own, so "+-5" or "--5" cannot slip through.
  if (pBegin == pEnd || *pBegin < '0' || *pBegin > '9') {
    lookup.m_strText = ERROR_LOOKUP_NOT_A_NUMBER;
    return lookup;
  }
  uint64_t nMagnitude = 0;
  const auto [pStop, ec] = std::from_chars(pBegin, pEnd, nMagnitude);
  if (pStop != pEnd) {
    lookup.m_strText = ERROR_LOOKUP_NOT_A_NUMBER;
    return lookup;
  }
  // A run of digits too long for any integer is still a whole number, only far out of range.
  if (ec == std::errc::result_out_of_range || nMagnitude > static_cast<uint64_t>(ERROR_LOOKUP_MAX) ||
      (bNegative && nMagnitude != 0)) {
    lookup.m_strText = ERROR_LOOKUP_OUT_OF_RANGE;
    return lookup;
  }
  lookup.m_bAccepted = true;
  lookup.m_nCode = static_cast<int>(nMagnitude);
  lookup.m_strText = FormatErrorMeaning(lookup.m_nCode);
  return lookup;
}

} // namespace zk7
