// The journal's text: what a run writes reads back the same, and a journal that the end of a
// run cut short, or that someone edited, gives only whole records of full paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/journal_records.h"

namespace stampwell {
namespace {

using Kind = JournalRecord::Kind;

const std::vector<JournalRecord> kRecords = {
    {Kind::kFolder, "C:\\Program Files (x86)\\Quendra Soft", {}},
    {Kind::kFile, "C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\Help.CHM", {}},
    {Kind::kMovedAside, "\\\\server\\share\\Q\\Stampwell.exe", "\\\\server\\share\\Q\\Stampwell.exe.setup-old"},
};

std::string Journal(const std::vector<JournalRecord>& records) {
  std::string text = std::string(kJournalHeader) + "\r\n";
  for (const JournalRecord& record : records) text += JournalLine(record);
  return text;
}

TEST(JournalRecords, ReadBackAsWritten) {
  EXPECT_EQ(JournalLine(kRecords[2]),
            "moved\t\\\\server\\share\\Q\\Stampwell.exe\t\\\\server\\share\\Q\\Stampwell.exe.setup-old\r\n");
  EXPECT_EQ(ReadJournal(Journal(kRecords)), kRecords);
}

TEST(JournalRecords, ACutOrForeignLineEndsTheReading) {
  const std::string whole = Journal(kRecords);
  // Cut inside the last record: the records before it.
  EXPECT_EQ(ReadJournal(whole.substr(0, whole.size() - 5)),
            (std::vector<JournalRecord>{kRecords[0], kRecords[1]}));
  EXPECT_TRUE(ReadJournal(whole.substr(1)).empty());  // no header
  EXPECT_TRUE(ReadJournal("").empty());
  for (const char* line : {"folder\tQuendra Soft\r\n", "file\tC:rel\r\n", "file\tC:\\a\\..\\Windows\r\n",
                           "moved\tC:\\a\r\n", "moved\tC:\\a\tb\r\n", "erase\tC:\\a\r\n", "file C:\\a\r\n",
                           "file\tC:\\a\x01" "b\r\n"}) {
    EXPECT_EQ(ReadJournal(Journal({kRecords[0]}) + line + JournalLine(kRecords[1])),
              std::vector<JournalRecord>{kRecords[0]})
        << line;
  }
}

// A journal is undone with the setup's rights: only records that a run in the journal's
// folder could have written are taken back.
TEST(JournalRecords, OnlyRecordsBelowTheJournalsFolderBelongToIt) {
  const char* folder = "C:\\Program Files (x86)\\Quendra Soft";
  EXPECT_TRUE(RecordBelongsTo({Kind::kFolder, "c:\\program files (x86)\\quendra soft\\Q", {}}, folder));
  EXPECT_TRUE(RecordBelongsTo({Kind::kFile, "C:\\Program Files (x86)\\Quendra Soft\\Q\\a.dll", {}}, folder));
  EXPECT_TRUE(RecordBelongsTo(
      {Kind::kMovedAside, "C:\\Program Files (x86)\\Quendra Soft\\a", "C:\\Program Files (x86)\\Quendra Soft\\a.setup-old12"},
      folder));
  EXPECT_FALSE(RecordBelongsTo({Kind::kFile, "C:\\Windows\\System32\\kernel32.dll", {}}, folder));
  EXPECT_FALSE(RecordBelongsTo({Kind::kFile, "C:\\Program Files (x86)\\Quendra Software\\a", {}}, folder));
  EXPECT_FALSE(RecordBelongsTo({Kind::kFolder, "C:\\Program Files (x86)\\Quendra Soft\\", {}}, folder));
  EXPECT_FALSE(RecordBelongsTo(
      {Kind::kMovedAside, "C:\\Program Files (x86)\\Quendra Soft\\a", "C:\\Windows\\win.ini"}, folder));
  EXPECT_FALSE(RecordBelongsTo(
      {Kind::kMovedAside, "C:\\Program Files (x86)\\Quendra Soft\\a", "C:\\Program Files (x86)\\Quendra Soft\\a.setup-oldx"},
      folder));
  EXPECT_FALSE(RecordBelongsTo({Kind::kFile, "C:\\a", {}}, ""));
}

}  // namespace
}  // namespace stampwell
