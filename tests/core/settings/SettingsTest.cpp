#include <gtest/gtest.h>
#include "settings/ConnectionSettings.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"

#include "ResultsFileBuilder.h"
#include "SimProcess.h"

namespace zk7 {

struct SettingsIniTest : ::testing::Test {
  CTempDir m_dir{"zk7-settings"};
  std::string IniPath() const { return m_dir.Path() + "/zk7.ini"; }
  sSettingsRecord ReadRecord(uint32_t nBackground = 0xFFFFFF) const {
    sSettingsRecord record;
    record.m_aDisplayColours.fill(0xDEADBE);  // so that an entry the reader forgets shows
    ReadSettings(*CreateIniSettingsStore(IniPath()), record, nBackground);
    return record;
  }
  sConnectionSettings ReadConnection() const { return ReadConnectionSettings(*CreateIniSettingsStore(IniPath())); }
};

TEST_F(SettingsIniTest, StoredValuesReplaceTheDefaults) {
  WriteFileText(IniPath(), "[Settings]\n"
                           "ColorAlarm0=1\nColorAlarm4=0x00ABCD\n"
                           "ColorGraphCurve01=111\nColorGraphCurve15=1515\nColorGraphCurve1=999\nColorGraphCurve16=999\n"
                           "ColorGraphBackgnd=0x123456\nColorGraphCursor2=42\n"
                           "FILEACQRUN=7\nDispPolyModeCalcul=1\nMINHISTDURATION(s)=60\n"
                           "MAXHISTFILELEN(Ko)=5\nRWBUFFERLEN(Ko)=4\nCHARTLEN=not a number\n");
  const sSettingsRecord r = ReadRecord();
  // Only the two-digit keys count: "ColorGraphCurve1" is not curve 1.
  const std::pair<int, uint32_t> aColours[] = {
      {0, 1u}, {4, 0x00ABCDu}, {DISPLAY_COLOUR_FIXED, 0u}, {DISPLAY_COLOUR_CURVE1, 111u},
      {DISPLAY_COLOUR_CURVE1 + 1, 0x800000u}, {20, 1515u}, {DISPLAY_COLOUR_BACKGROUND, 0x123456u},
      {DISPLAY_COLOUR_CURSOR1, 0xFF0000u}, {DISPLAY_COLOUR_CURSOR2, 42u}};
  for (const auto& [nIndex, nColour] : aColours) EXPECT_EQ(r.m_aDisplayColours[nIndex], nColour) << nIndex;
  EXPECT_EQ((std::vector<int>{r.m_nFileAcqRun, r.m_bDispPolyModeCalcul, r.m_nMinHistDurationS, r.m_nMaxHistFileLenKo,
                              r.m_nRwBufferLen, r.m_nChartLen}),
            (std::vector<int>{7, 1, 60, 5, 4096, 1024}));

  // Keys with special characters written through the store read back.
  CreateIniSettingsStore(IniPath())->WriteInt("Settings", "MAXFLUSHDELAY(s)", 10);
  CreateIniSettingsStore(IniPath())->WriteInt("Settings", "RWBUFFERLEN(Ko)", 2);
  EXPECT_EQ(std::pair(ReadRecord().m_nRwBufferLen, ReadRecord().m_nMaxFlushDelayS), std::pair(2048, 10));

  // A curve colour follows the channel every fifteen.
  WriteFileText(IniPath(), "[Settings]\nColorGraphCurve03=0x00C0FF\n");
  const sSettingsRecord record = ReadRecord();
  for (int nChannel : {1, 2, 3, 16, 17, 18, 32, 47})
    EXPECT_EQ(GetDisplayColour(record, GetChannelColourIndex(nChannel)) == 0x00C0FFu, nChannel % 15 == 2) << nChannel;
  const std::pair<int, int> aIndexes[] = {{0, 6}, {1, 7}, {14, 20}, {15, 6}, {17, 8}, {29, 20}, {30, 6}, {-1, 20}};
  for (const auto& [nChannel, nIndex] : aIndexes) EXPECT_EQ(GetChannelColourIndex(nChannel), nIndex) << nChannel;

  // Without a settings section every value is its default.
  // The reader and a record nobody has read agree on every default; only the
  // background follows the window's own colour.
  WriteFileText(IniPath(), "[Connection]\nPort=81\n");
  const sSettingsRecord fresh = ReadRecord(0xF0F0F0);
  sSettingsRecord unread;
  unread.m_aDisplayColours[DISPLAY_COLOUR_BACKGROUND] = 0xF0F0F0;
  EXPECT_EQ(fresh.m_aDisplayColours, unread.m_aDisplayColours);
  auto fieldsOf = [](const sSettingsRecord& r) {
    return std::tuple(r.m_nFileAcqRun, r.m_nChartLen, r.m_nRwBufferLen, r.m_nMinHistDurationS, r.m_bDispPolyModeCalcul);
  };
  EXPECT_EQ(fieldsOf(fresh), fieldsOf(unread));
}

TEST(SettingsRecord, DisplayColourIndexIsClamped) {
  sSettingsRecord record;
  for (int i = 0; i < DISPLAY_COLOUR_COUNT; ++i) record.m_aDisplayColours[i] = 0x1000u + static_cast<uint32_t>(i);
  const std::pair<int, uint32_t> aCases[] = {
      {-1, 0x1000}, {-1000, 0x1000}, {0, 0x1000}, {5, 0x1005}, {23, 0x1017}, {24, 0x1017}, {99, 0x1017}};
  for (const auto& [nIndex, nColour] : aCases) EXPECT_EQ(GetDisplayColour(record, nIndex), nColour) << nIndex;
  // The one-argument form answers from the application's record.
  const sSettingsRecord saved = GetAppSettings();
  GetAppSettings() = record;
  EXPECT_EQ((std::vector<uint32_t>{GetDisplayColour(-1), GetDisplayColour(99), GetDisplayColour(7)}),
            (std::vector<uint32_t>{0x1000u, 0x1017u, 0x1007u}));
  GetAppSettings() = saved;

  // The port range of the connection dialog.
  for (int nPort : {1, 80, 3001, 8081, 65535}) EXPECT_TRUE(IsConnectionPortAccepted(nPort)) << nPort;
  for (int nPort : {-80, 0, 65536, 100000}) EXPECT_FALSE(IsConnectionPortAccepted(nPort)) << nPort;
}

TEST_F(SettingsIniTest, ConnectionDefaultsHandWrittenKeysAndRoundTrip) {
  WriteFileText(IniPath(), "[Settings]\nColorAlarm0=1\n");
  auto fields = [](const sConnectionSettings& c) { return std::tuple(c.m_strAddress, c.m_nPort, c.m_strUser); };
  EXPECT_EQ(fields(ReadConnection()), std::tuple(std::string(), 80, std::string()));
  WriteFileText(IniPath(), "[Connection]\nIP Address=192.168.1.20\nPort=8080\nUser ID=operator\n");
  EXPECT_EQ(fields(ReadConnection()), std::tuple(std::string("192.168.1.20"), 8080, std::string("operator")));

  sConnectionSettings written;
  written.m_strAddress = "zk7-1234.example", written.m_nPort = 2999, written.m_strUser = "J\xE9r\xF4me, admin";
  auto pWriter = CreateIniSettingsStore(IniPath());
  WriteConnectionSettings(*pWriter, written);
  // Read while the writer still exists: the values must already be on disk.
  EXPECT_EQ(fields(ReadConnection()), fields(written));
  // A second write replaces the values; an empty user is stored as empty, not as absent.
  written.m_strAddress = "10.0.0.2";
  written.m_strUser.clear();
  WriteConnectionSettings(*pWriter, written);
  EXPECT_EQ(fields(ReadConnection()), std::tuple(std::string("10.0.0.2"), 2999, std::string()));
}

} // namespace zk7
