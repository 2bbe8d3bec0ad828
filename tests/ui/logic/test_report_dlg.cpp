// Report dialog: the text table built from real users and reminders in a
// database file, and the "report.txt" it hands to the text viewer.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/cp1252.h"
#include "dialog_test_support.h"
#include "resources/resource_module.h"
#include "ui/logic/report_dlg_logic.h"

namespace velmora {
namespace {

using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;

const StringSource& fi() { return ResourceModule::builtIn(); }

const Text kHeader =
    "Nimi                               Henkilötunnus       Viimeinen hälytys   Ohjelmointiaika          \r\n"
    "                                                       laitteessa                                   \r\n" +
    Text(100, '-') + "\r\n";

TimeValue at(int y, int mo, int d, int h, int mi) { return toTimeValue(makeTime(y, mo, d, h, mi)); }

void giveReminder(TempDatabase& db, int owner, std::uint32_t sn, int type, TimeValue programmed,
                  TimeValue last) {
    DeviceRecord d;
    d.sn = sn;
    d.device_type = type;
    d.programming_time = programmed;
    d.last_alarm = last;
    d.alarm_amount = 40;
    ASSERT_TRUE(db.store().saveDevice(d, owner));
}

TEST(ReportDlgLogic, TextsComeFromTheStringTable) {
    TempDatabase db;
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);
    EXPECT_EQ(dlg.templateId(), 171);
    EXPECT_EQ(dlg.title(), "Raportti");
    EXPECT_EQ(dlg.controlText(ReportDlgLogic::kIdShowAll), "Näytä kaikki");
    EXPECT_EQ(dlg.controlText(ReportDlgLogic::kIdShowNeedingProgramming),
              "Näytä ohjelmointia\nvaativat laitteet");
    EXPECT_EQ(dlg.controlText(ReportDlgLogic::kIdOpenInViewer), "Avaa Notepad");
    EXPECT_EQ(dlg.controlText(kIdOk), "OK");
}

TEST(ReportDlgLogic, WithoutUsersOnlyTheHeaderIsShown) {
    TempDatabase db;
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);
    EXPECT_EQ(dlg.reportText(), kHeader);
    dlg.showNeedingProgramming();
    EXPECT_EQ(dlg.reportText(), kHeader);
}

TEST(ReportDlgLogic, RowsShowTheOwnReminderOrDashes) {
    TempDatabase db;
    const int aino = db.addUser("Aino", "010101-123A");
    const int bertta = db.addUser("Bertta", "020202-234B", true);
    const int cecilia = db.addUser("Cecilia", "-");
    giveReminder(db, aino, 1001, DeviceRecord::kOwn, at(2026, 3, 1, 10, 5), at(2026, 4, 12, 20, 0));
    // A spare reminder is not the user's own: Bertta has none.
    giveReminder(db, bertta, 1002, DeviceRecord::kSpare, at(2026, 3, 1, 10, 9), at(2026, 4, 1, 8, 0));
    // Tied but never programmed: both times are 0.
    giveReminder(db, cecilia, 1003, DeviceRecord::kOwn, 0, 0);

    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);
    EXPECT_EQ(dlg.reportText(),
              kHeader +
                  "Aino                               010101-123A         12.04.2026 20:00    01.03.2026 10:05         \r\n"
                  "Bertta                             020202-234B         -                   -                        \r\n"
                  "Cecilia                            -                   -                   -                        \r\n");

    dlg.showNeedingProgramming();
    EXPECT_TRUE(dlg.showsOnlyNeedingProgramming());
    EXPECT_EQ(dlg.reportText(),
              kHeader +
                  "Bertta                             020202-234B         -                   -                        \r\n");
    dlg.showAll();
    EXPECT_FALSE(dlg.showsOnlyNeedingProgramming());
    EXPECT_NE(dlg.reportText().find("Aino"), Text::npos);
}

TEST(ReportDlgLogic, LongValuesPushTheFollowingColumnsRight) {
    const Text name(40, 'N');
    const Text row = ReportDlgLogic::formatRow(name, "123", "-", "-");
    EXPECT_EQ(row, name + "123" + Text(17, ' ') + "-" + Text(19, ' ') + "-" + Text(24, ' ') + "\r\n");
    // Exactly 35 characters leave no gap at all.
    const Text exact(35, 'x');
    EXPECT_EQ(ReportDlgLogic::formatRow(exact, "s", "", "").substr(0, 36), exact + "s");
    // A long ssn pushes the two time columns.
    const Text ssn(25, '9');
    EXPECT_EQ(ReportDlgLogic::formatRow("A", ssn, "L", "P"),
              "A" + Text(34, ' ') + ssn + "L" + Text(19, ' ') + "P" + Text(24, ' ') + "\r\n");
}

TEST(ReportDlgLogic, ColumnWidthsCountCharactersNotBytes) {
    // "Äänisö" is 6 characters but 9 bytes of UTF-8.
    const Text row = ReportDlgLogic::formatRow("Äänisö", "-", "-", "-");
    EXPECT_EQ(row.substr(0, row.find('-')), "Äänisö" + Text(29, ' '));
    // In the file each character is one byte, so the columns line up there.
    const std::string bytes = toCp1252(row);
    EXPECT_EQ(bytes.size(), 35u + 20u + 20u + 25u + 2u);
}

TEST(ReportDlgLogic, ReportFileIsWindows1252WithCrLfBesideTheDatabase) {
    TempDatabase db;
    const int id = db.addUser("Järvinen Sälli", "311299-999X");
    giveReminder(db, id, 77, DeviceRecord::kOwn, at(2026, 2, 27, 9, 15), at(2026, 3, 20, 21, 0));
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);

    ASSERT_TRUE(dlg.openInViewer());
    const auto file = db.dir() / "report.txt";
    EXPECT_EQ(dlg.reportFilePath(), file);
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened[0], file.string());
    EXPECT_TRUE(host.messages.empty());

    const std::string bytes = dialogtest::readBytes(file);
    EXPECT_EQ(bytes, toCp1252(dlg.reportText()));
    EXPECT_NE(bytes.find("J\xE4rvinen S\xE4lli"), std::string::npos);  // ä is one byte
    EXPECT_EQ(bytes.find("\xC3"), std::string::npos);                  // no UTF-8 left
    // Every line ends in CR LF; no bare LF.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(bytes[i - 1], '\r');
            ++lines;
        }
    }
    EXPECT_EQ(lines, 4u);
    EXPECT_FALSE(std::filesystem::exists(db.dir() / "report.txt.tmp"));
}

TEST(ReportDlgLogic, TranslatedHeadingsWithLineBreaksStillGiveCrLfLines) {
    std::string error;
    auto module = ResourceModule::parse(
        "[strings]\n40040 \"Name\"\n40144 \"Id\"\n40142 \"Last\\nalarm\"\n40043 \"Programmed\"\n",
        &error);
    ASSERT_TRUE(module) << error;
    TempDatabase db;
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), *module, host);
    EXPECT_EQ(dlg.reportText().substr(0, 40), "Name" + Text(31, ' ') + "Id   ");
    ASSERT_TRUE(dlg.writeReportFile());
    const std::string bytes = dialogtest::readBytes(db.dir() / "report.txt");
    EXPECT_NE(bytes.find("Last\r\nalarm"), std::string::npos);
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_EQ(bytes[i - 1], '\r') << i;
        }
    }
}

TEST(ReportDlgLogic, ReportFileReplacesAnOlderOneWhole) {
    TempDatabase db;
    db.addUser("Aino", "1");
    const auto file = db.dir() / "report.txt";
    {
        std::ofstream old(file, std::ios::binary);
        old << std::string(20000, 'Z');
    }
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);
    dlg.showNeedingProgramming();  // header only: shorter than the old file
    ASSERT_TRUE(dlg.openInViewer());
    EXPECT_EQ(dialogtest::readBytes(file), toCp1252(kHeader));
}

TEST(ReportDlgLogic, AFileThatCannotBeWrittenIsNotOpened) {
    TempDatabase db;
    db.addUser("Aino", "1");
    const auto file = db.dir() / "report.txt";
    {
        std::ofstream old(file, std::ios::binary);
        old << "stale report";
    }
    // Something in the way of the new file.
    std::filesystem::create_directory(db.dir() / "report.txt.tmp");
    ScriptedHost host;
    ReportDlgLogic dlg(db.user, db.store(), fi(), host);
    EXPECT_FALSE(dlg.openInViewer());
    EXPECT_TRUE(host.opened.empty());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Toiminto epäonnistui!");
    EXPECT_EQ(host.messages[0].caption, "Virhe");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dialogtest::readBytes(file), "stale report");
}

}  // namespace
}  // namespace velmora
