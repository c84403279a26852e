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
    JournalRecord::Folder("C:\\Program Files (x86)\\Quendra Soft"),
    JournalRecord::File("C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\Help.CHM"),
    JournalRecord::MovedAside("\\\\server\\share\\Q\\Stampwell.exe", "\\\\server\\share\\Q\\Stampwell.exe.setup-old"),
    JournalRecord::RegistryKey("Software\\Q\\Uninstall\\QuendraStampwell"),
    JournalRecord::RegistryValue("Software\\Q\\Uninstall\\QuendraStampwell", "DisplayName", std::nullopt),
    // Bytes of every value, a tab, CR LF and NUL among them, come back exactly.
    JournalRecord::RegistryValue("Software\\Q\\Uninstall\\QuendraStampwell", "",
                                 RegistryData{1, std::string("a\tb\r\n\0\xff", 7)}),
    JournalRecord::RegistryValue("Software\\Q\\Uninstall\\QuendraStampwell", "Empty", RegistryData{3, ""}),
    JournalRecord::FolderMovedAside("C:\\Q\\Example", "C:\\Q\\Example.setup-old"),
    JournalRecord::Returned("C:\\Q\\Example\\User", "C:\\Q\\Example.setup-old\\User"),
    JournalRecord::Discard("C:\\Q\\Example.setup-new"),
    JournalRecord::Undone(),
    JournalRecord::Committed(),
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
            (std::vector<JournalRecord>(kRecords.begin(), kRecords.end() - 1)));
  EXPECT_TRUE(ReadJournal(whole.substr(1)).empty());  // no header
  EXPECT_TRUE(ReadJournal("").empty());
  for (const char* line : {"folder\tQuendra Soft\r\n", "file\tC:rel\r\n", "file\tC:\\a\\..\\Windows\r\n",
                           "moved\tC:\\a\r\n", "moved\tC:\\a\tb\r\n", "erase\tC:\\a\r\n", "file C:\\a\r\n",
                           "file\tC:\\a\x01" "b\r\n", "key\t\\Software\r\n", "key\tA\\\\B\r\n",
                           "value\tA\tN\r\n", "value\tA\tN\t1\t0g\r\n", "value\tA\tN\t1\t123\r\n",
                           "value\tA\tN\tx\t00\r\n", "value\tA\tN\t\t00\r\n", "committed\tC:\\a\r\n",
                           "folder-moved\tC:\\a\r\n", "returned\tC:\\a\trel\r\n", "discard\trel\r\n"}) {
    EXPECT_EQ(ReadJournal(Journal({kRecords[0]}) + line + JournalLine(kRecords[1])),
              std::vector<JournalRecord>{kRecords[0]})
        << line;
  }
}

// A journal is undone with the setup's rights: only records that a run could have written
// within its scope are taken back.
TEST(JournalRecords, OnlyRecordsWithinTheScopeBelongToIt) {
  const JournalScope scope{"C:\\Program Files (x86)\\Quendra Soft",
                           {"C:\\users\\u\\Desktop", "C:\\users\\u\\Start Menu\\Programs"},
                           "Software\\Q\\QuendraStampwell"};
  const JournalRecord belong[] = {
      JournalRecord::Folder("c:\\program files (x86)\\quendra soft\\Q"),
      JournalRecord::File("C:\\Program Files (x86)\\Quendra Soft\\Q\\a.dll"),
      JournalRecord::MovedAside("C:\\Program Files (x86)\\Quendra Soft\\a",
                                "C:\\Program Files (x86)\\Quendra Soft\\a.setup-old12"),
      JournalRecord::File("C:\\users\\u\\Desktop\\Quendra Stampwell.LNK"),
      JournalRecord::MovedAside("C:\\users\\u\\Desktop\\Q.lnk", "C:\\users\\u\\Desktop\\Q.lnk.setup-old"),
      JournalRecord::Folder("C:\\users\\u\\Start Menu\\Programs\\Quendra Soft"),
      JournalRecord::RegistryKey("software\\q\\QuendraStampwell"),
      JournalRecord::RegistryValue("Software\\Q\\QuendraStampwell", "DisplayName", std::nullopt),
      JournalRecord::FolderMovedAside("C:\\Program Files (x86)\\Quendra Soft\\Q\\Data",
                                      "C:\\Program Files (x86)\\Quendra Soft\\Q\\Data.setup-old2"),
      JournalRecord::Returned("C:\\Program Files (x86)\\Quendra Soft\\Q\\Data\\mine",
                              "C:\\Program Files (x86)\\Quendra Soft\\Q\\Data.setup-old2\\mine"),
      JournalRecord::Discard("C:\\Program Files (x86)\\Quendra Soft\\Q\\Data.setup-new3"),
      JournalRecord::Committed(),
  };
  for (const JournalRecord& record : belong) EXPECT_TRUE(RecordBelongsTo(record, scope)) << JournalLine(record);
  const JournalRecord foreign[] = {
      JournalRecord::File("C:\\Windows\\System32\\kernel32.dll"),
      JournalRecord::File("C:\\Program Files (x86)\\Quendra Software\\a"),
      JournalRecord::Folder("C:\\Program Files (x86)\\Quendra Soft\\"),
      JournalRecord::MovedAside("C:\\Program Files (x86)\\Quendra Soft\\a", "C:\\Windows\\win.ini"),
      JournalRecord::MovedAside("C:\\Program Files (x86)\\Quendra Soft\\a",
                                "C:\\Program Files (x86)\\Quendra Soft\\a.setup-oldx"),
      JournalRecord::File("C:\\users\\u\\Desktop\\report.docx"),  // only shortcuts among the user's files
      JournalRecord::RegistryKey("Software\\Q"),
      JournalRecord::RegistryValue("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Q", std::nullopt),
      // Whole folders are moved, returned and removed only below the journal's own folder,
      // and a folder is removed only by a name that the run gives.
      JournalRecord::FolderMovedAside("C:\\users\\u\\Desktop\\Q", "C:\\users\\u\\Desktop\\Q.setup-old"),
      JournalRecord::FolderMovedAside("C:\\Program Files (x86)\\Quendra Soft\\Q", "C:\\Windows"),
      JournalRecord::Returned("C:\\Program Files (x86)\\Quendra Soft\\Q\\a", "C:\\Windows\\a"),
      JournalRecord::Returned("C:\\users\\u\\Desktop\\a", "C:\\Program Files (x86)\\Quendra Soft\\a"),
      JournalRecord::Discard("C:\\Program Files (x86)\\Quendra Soft\\Q"),
      JournalRecord::Discard("C:\\Program Files (x86)\\Quendra Soft\\Q.setup-new\\..x"),
      JournalRecord::Discard("C:\\users\\u\\Desktop\\Q.setup-new"),
  };
  for (const JournalRecord& record : foreign) EXPECT_FALSE(RecordBelongsTo(record, scope)) << JournalLine(record);
  EXPECT_FALSE(RecordBelongsTo(JournalRecord::File("C:\\a"), JournalScope{}));
  EXPECT_FALSE(RecordBelongsTo(JournalRecord::RegistryKey("Software\\Q"), JournalScope{}));
}

}  // namespace
}  // namespace stampwell
