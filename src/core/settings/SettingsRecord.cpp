// Reading the "Settings" section into the record, and the display-colour lookups.
#include "settings/SettingsRecord.h"

#include "settings/SettingsStore.h"

#include <cstdio>
#include <string>

namespace zk7 {

namespace {

const std::string SETTINGS_SECTION = "Settings";
constexpr int CURVE_COUNT = DISPLAY_COLOUR_BACKGROUND - DISPLAY_COLOUR_CURVE1;

uint32_t ReadColour(const ISettingsStore& store, const std::string& strKey, uint32_t nDefault) {
  return static_cast<uint32_t>(store.ReadInt(SETTINGS_SECTION, strKey, static_cast<int>(nDefault)));
}

std::string CurveKey(int nCurve) {
  char szKey[32];
  // Two digits, zero-padded: "ColorGraphCurve01" to "ColorGraphCurve15".
  std::snprintf(szKey, sizeof szKey, "ColorGraphCurve%.2d", nCurve);
  return szKey;
}

} // namespace

void ReadSettings(const ISettingsStore& store, sSettingsRecord& record, uint32_t nWindowBackground) {
  const sSettingsRecord defaults;
  auto& aColours = record.m_aDisplayColours;
  const auto& aDefaultColours = defaults.m_aDisplayColours;
  for (int i = 0; i < DISPLAY_COLOUR_FIXED; ++i)
    aColours[i] = ReadColour(store, "ColorAlarm" + std::to_string(i), aDefaultColours[i]);
  aColours[DISPLAY_COLOUR_FIXED] = 0;
  for (int i = 0; i < CURVE_COUNT; ++i) {
    const int nIndex = DISPLAY_COLOUR_CURVE1 + i;
    aColours[nIndex] = ReadColour(store, CurveKey(i + 1), aDefaultColours[nIndex]);
  }
  aColours[DISPLAY_COLOUR_BACKGROUND] = ReadColour(store, "ColorGraphBackgnd", nWindowBackground);
  aColours[DISPLAY_COLOUR_CURSOR1] =
      ReadColour(store, "ColorGraphCursor1", aDefaultColours[DISPLAY_COLOUR_CURSOR1]);
  aColours[DISPLAY_COLOUR_CURSOR2] =
      ReadColour(store, "ColorGraphCursor2", aDefaultColours[DISPLAY_COLOUR_CURSOR2]);

  auto read = [&store](const char* pszKey, int nDefault) {
    return store.ReadInt(SETTINGS_SECTION, pszKey, nDefault);
  };
  record.m_nFileAcqRun = read("FILEACQRUN", defaults.m_nFileAcqRun);
  record.m_nInstrAcqRun = read("INSTRACQRUN", defaults.m_nInstrAcqRun);
  record.m_nInstrAcqStop = read("INSTRACQSTOP", defaults.m_nInstrAcqStop);
  record.m_nCxGrid = read("CXGRID", defaults.m_nCxGrid);
  record.m_nCyGrid = read("CYGRID", defaults.m_nCyGrid);
  record.m_nChanNameLen = read("CHANNAMELEN", defaults.m_nChanNameLen);
  record.m_nChanValLen = read("CHANVALLEN", defaults.m_nChanValLen);
  record.m_nChanUnitLen = read("CHANUNITLEN", defaults.m_nChanUnitLen);
  record.m_nAlarmMsgLen = read("ALARMMSGLEN", defaults.m_nAlarmMsgLen);
  record.m_nChartLen = read("CHARTLEN", defaults.m_nChartLen);
  record.m_nMaxHistFileLenKo = read("MAXHISTFILELEN(Ko)", defaults.m_nMaxHistFileLenKo);
  record.m_nMinHistDurationS = read("MINHISTDURATION(s)", defaults.m_nMinHistDurationS);
  // Stored in kilobytes, kept in bytes; an absurd value wraps as the 32-bit product would
  // rather than overflowing, since no function consults it.
  const int nRwBufferKo = read("RWBUFFERLEN(Ko)", defaults.m_nRwBufferLen / 1024);
  record.m_nRwBufferLen = static_cast<int>(static_cast<uint32_t>(nRwBufferKo) * 1024u);
  record.m_nMaxFlushDelayS = read("MAXFLUSHDELAY(s)", defaults.m_nMaxFlushDelayS);
  record.m_bDisplayDeleted = read("DISPLAYDELETED", defaults.m_bDisplayDeleted);
  record.m_bIncrIndexOnAcqRun = read("INCRINDEXONACQRUN", defaults.m_bIncrIndexOnAcqRun);
  record.m_bIncrIndexOnFileRun = read("INCRINDEXONFILERUN", defaults.m_bIncrIndexOnFileRun);
  record.m_bCalcStatWithMesErr = read("CALCSTATWITHMESERR", defaults.m_bCalcStatWithMesErr);
  record.m_bDispFullResultFile = read("DispFullResultFile", defaults.m_bDispFullResultFile);
  record.m_bDispPolyModeCalcul = read("DispPolyModeCalcul", defaults.m_bDispPolyModeCalcul);
}

sSettingsRecord& GetAppSettings() {
  static sSettingsRecord s_record;
  return s_record;
}

uint32_t GetDisplayColour(const sSettingsRecord& record, int nIndex) {
  if (nIndex < 0)
    nIndex = 0;
  else if (nIndex >= DISPLAY_COLOUR_COUNT)
    nIndex = DISPLAY_COLOUR_COUNT - 1;
  return record.m_aDisplayColours[static_cast<size_t>(nIndex)];
}

uint32_t GetDisplayColour(int nIndex) { return GetDisplayColour(GetAppSettings(), nIndex); }

int GetChannelColourIndex(int nChannel) {
  // A negative channel number never reaches here from a results file; keep it in the curve range anyway.
  const int nCurve = ((nChannel % CURVE_COUNT) + CURVE_COUNT) % CURVE_COUNT;
  return DISPLAY_COLOUR_CURVE1 + nCurve;
}

} // namespace zk7
