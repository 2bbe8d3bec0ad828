// Report dialog: the text table built from real users and reminders in a
// database file, and the "report.txt" it hands to the text viewer.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/cp1252.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/logic/history/history_export.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {
namespace {

const Text kHeader =
    "Nimi                               Henkilötunnus       Viimeinen hälytys   Ohjelmointiaika          \r\n"
    "                                                       laitteessa                                   \r\n" +
    Text(100, '-') + "\r\n";

TimeValue at(int y, int mo, int d, int h, int mi) { return toTimeValue(makeTime(y, mo, d, h, mi)); }
const StringSource& fi() { return ResourceModule::builtIn(); }

class ReportDlgTest : public ::testing::Test {
protected:
    ReportDlgLogic open(const StringSource& strings = ResourceModule::builtIn()) {
        return ReportDlgLogic(db.user, db.store(), strings, host, at(2026, 3, 2, 9, 0));
    }
    void giveReminder(int owner, std::uint32_t sn, int type, TimeValue programmed, TimeValue last) {
        ASSERT_TRUE(db.store().saveDevice({sn, type, programmed, last, 40}, owner));
    }
    std::filesystem::path reportFile() const { return db.dir() / "report.txt"; }

    dialogtest::TempDatabase db;
    dialogtest::ScriptedHost host;
};

TEST_F(ReportDlgTest, RowsShowTheOwnReminderOrDashes) {
    const int aino = db.addUser("Aino", "010101-123A");
    const int bertta = db.addUser("Bertta", "020202-234B", true);
    const int cecilia = db.addUser("Cecilia", "-");
    const int daavid = db.addUser("Daavid", "030303-345C");
    db.addUser(Text(40, 'E'), "040404-456D");  // pushes its row's columns right
    giveReminder(aino, 1001, DeviceRecord::kOwn, at(2026, 3, 1, 10, 5), at(2026, 4, 12, 20, 0));
    // A spare reminder is not the user's own: Bertta has none.
    giveReminder(bertta, 1002, DeviceRecord::kSpare, at(2026, 3, 1, 10, 9), at(2026, 4, 1, 8, 0));
    // Tied but never programmed: both times are 0.
    giveReminder(cecilia, 1003, DeviceRecord::kOwn, 0, 0);
    // Stored as not needing programming, but the reminder runs out in five days.
    giveReminder(daavid, 1004, DeviceRecord::kOwn, at(2026, 2, 1, 9, 0), at(2026, 3, 7, 9, 0));

    const Text others =
        "Bertta                             020202-234B         -                   -                        \r\n"
        "Cecilia                            -                   -                   -                        \r\n"
        "Daavid                             030303-345C         07.03.2026 09:00    01.02.2026 09:00         \r\n" +
        Text(40, 'E') + "040404-456D         -                   -                        \r\n";
    auto dlg = open();
    EXPECT_EQ(dlg.reportText(),
              kHeader +
                  "Aino                               010101-123A         12.04.2026 20:00    01.03.2026 10:05         \r\n" +
                  others);
    EXPECT_EQ(dlg.listCaption(), fi().load(ids::kReportListAll));
    // Aino's reminder lasts beyond 21 days; everyone else must be programmed.
    dlg.showNeedingProgramming();
    EXPECT_EQ(dlg.reportText(), kHeader + others);
    EXPECT_EQ(dlg.listCaption(), fi().load(ids::kReportListNeedingProgramming));
    dlg.showAll();
    EXPECT_EQ(dlg.listCaption(), fi().load(ids::kReportListAll));
}

// Long values push the following columns right; widths count characters
// ("Äänisö" is 9 bytes of UTF-8), so in the file the columns line up.
TEST(ReportRow, LongValuesPushTheFollowingColumnsRight) {
    const Text name(40, 'N'), exact(35, 'x'), ssn(25, '9');
    struct Case {
        Text name, ssn, row;
    } cases[] = {
        {name, "123", name + "123" + Text(17, ' ') + "-" + Text(19, ' ') + "-" + Text(24, ' ') + "\r\n"},
        {exact, "s", exact + "s" + Text(19, ' ') + "-" + Text(19, ' ') + "-" + Text(24, ' ') + "\r\n"},
        {"A", ssn, "A" + Text(34, ' ') + ssn + "-" + Text(19, ' ') + "-" + Text(24, ' ') + "\r\n"},
        {"Äänisö", "s", "Äänisö" + Text(29, ' ') + "s" + Text(19, ' ') + "-" + Text(19, ' ') + "-" + Text(24, ' ') + "\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReportDlgLogic::formatRow(c.name, c.ssn, "-", "-"), c.row) << c.name;
    EXPECT_EQ(toCp1252(cases[3].row).size(), 35u + 20u + 20u + 25u + 2u);
}

TEST_F(ReportDlgTest, ReportFileIsWindows1252WithCrLfBesideTheDatabase) {
    const int id = db.addUser("Järvinen Sälli", "311299-999X");
    giveReminder(id, 77, DeviceRecord::kOwn, at(2026, 2, 27, 9, 15), at(2026, 3, 20, 21, 0));
    auto dlg = open();
    ASSERT_TRUE(dlg.openInViewer());
    EXPECT_EQ(host.opened, std::vector<Text>{reportFile().string()});
    EXPECT_TRUE(host.messages.empty());

    EXPECT_EQ(dialogtest::readBytes(reportFile()), toCp1252(dlg.reportText()));
    EXPECT_FALSE(std::filesystem::exists(db.dir() / "report.txt.tmp"));
}

TEST_F(ReportDlgTest, TranslatedHeadingsWithLineBreaksStillGiveCrLfLines) {
    std::string error;
    auto module = ResourceModule::parse(
        "[strings]\n40040 \"Name\"\n40144 \"Id\"\n40142 \"Last\\nalarm\"\n40043 \"Programmed\"\n",
        &error);
    ASSERT_TRUE(module) << error;
    auto dlg = open(*module);
    EXPECT_EQ(dlg.reportText().substr(0, 40), "Name" + Text(31, ' ') + "Id   ");
    ASSERT_TRUE(dlg.writeReportFile());
    const std::string bytes = dialogtest::readBytes(reportFile());
    EXPECT_NE(bytes.find("Last\r\nalarm"), std::string::npos);
    for (std::size_t lf = bytes.find('\n'); lf != std::string::npos; lf = bytes.find('\n', lf + 1))
        EXPECT_EQ(bytes[lf - 1], '\r') << "bare LF at " << lf;
}

TEST_F(ReportDlgTest, AFileThatCannotBeWrittenIsNotOpened) {
    db.addUser("Aino", "1");
    db.writeFile("report.txt", "stale report");
    // Something in the way of the new file.
    std::filesystem::create_directory(db.dir() / "report.txt.tmp");
    auto dlg = open();
    EXPECT_FALSE(dlg.openInViewer());
    EXPECT_TRUE(host.opened.empty());
    EXPECT_EQ(host.messages.at(0).icon, MessageIcon::Error);
    EXPECT_EQ(host.takeMessageTexts(), std::vector<Text>{fi().load(ids::kReportFileWriteFailed) + "\n" + reportFile().string()});
    EXPECT_EQ(dialogtest::readBytes(reportFile()), "stale report");
}

// The programming report: written to its file in Windows-1252 with CR LF
// and a closing line end, shown in the program's own window (no outside
// viewer); a file that cannot be written is named, and the window still
// shows the report just built. An older, longer file is replaced whole.
TEST_F(ReportDlgTest, ProgrammingReportIsWrittenAndShownInTheProgram) {
    const auto file = db.dir() / "raportti.txt";
    db.writeFile("raportti.txt", "an older report that others could read");
    std::filesystem::permissions(file, std::filesystem::perms(0644));
    Text shown;
    host.onDialog = [&](DialogModel& d) {
        shown = dynamic_cast<AlarmReportDlgLogic&>(d).reportText();
        return kIdOk;
    };
    ASSERT_TRUE(openProgrammingReport(host, ResourceModule::builtIn(), "Äino €\n", db.dir()));
    EXPECT_EQ(shown, "Äino €\n");
    EXPECT_EQ(dialogtest::readBytes(file), "\xC4ino \x80\r\n\r\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0600)) << "health data";
    std::filesystem::remove(file);
    std::filesystem::create_directories(file / "in-the-way");
    EXPECT_FALSE(openProgrammingReport(host, ResourceModule::builtIn(), "Bertta\n", db.dir()));
    EXPECT_EQ(shown, "Bertta\n");
    EXPECT_TRUE(host.opened.empty()) << "no outside text viewer";
    EXPECT_EQ(host.takeMessageTexts(), std::vector<Text>{fi().load(ids::kReportFileWriteFailed) + "\n" + file.string()});
}

// The users' report as CSV, both lists, and a file that cannot be written.
TEST_F(ReportDlgTest, CsvHasARowPerListedUserAndTellsWhyItWasNotWritten) {
    const int cissi = db.addUser("Mäkinen, \"Cissi\"", "010101-123A");
    db.addUser("Bertta", "020202-234B", true);
    giveReminder(cissi, 1001, DeviceRecord::kOwn, at(2026, 3, 1, 10, 5), at(2026, 4, 12, 20, 0));
    auto dlg = open();
    const Text heading = Text(kUtf8Bom) +
                         "Nimi,Henkilötunnus,Laitteen sarjanumero,Ohjelmointiaika,Viimeinen hälytys laitteessa,"
                         "Ohjelmoitava\r\n";
    const Text bertta = "Bertta,020202-234B,,,,Kyllä\r\n";
    EXPECT_EQ(dlg.csvText(),
              heading + bertta +
                  "\"Mäkinen, \"\"Cissi\"\"\",010101-123A,1001,2026-03-01 10:05,2026-04-12 20:00,Ei\r\n");
    dlg.showNeedingProgramming();
    EXPECT_EQ(dlg.csvText(), heading + bertta);

    EXPECT_FALSE(dlg.saveCsv(db.dir()));  // a folder is there
    ASSERT_EQ(host.messages.size(), 1u);
    const Text said = fi().load(ids::kFileNotWritten) + "\n" + db.dir().string() + "\n";
    EXPECT_EQ(host.messages[0].text.rfind(said, 0), 0u);
    EXPECT_GT(host.messages[0].text.size(), said.size()) << "no reason given";
}

}  // namespace
}  // namespace velmora
