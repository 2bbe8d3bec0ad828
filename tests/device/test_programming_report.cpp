// The programming report text and its file.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "device/programming_report.h"
#include "device_test_util.h"
#include "resources/resource_module.h"

using namespace velmora;
using namespace velmora::devtest;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);
const std::string kSep(80, '-');

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Report : ::testing::Test {
    Database db{kNow};
    RecordStore& store = db.store;
    CurrentUser& user = db.user;
    const StringSource& strings = ResourceModule::builtIn();
    const Text closing = ResourceModule::builtIn().load(40184);
    int maija = 0;

    void SetUp() override {
        maija = store.insertProfile(false, "Maija", "", "040 765 4321", "");
        Profile p;
        ASSERT_TRUE(store.loadProfile(maija, p));
        user.setProfile(p);
        user.connected_sn = 31337;
        DeviceRecord d;
        d.sn = 31337;
        d.programming_time = toTimeValue(makeTime(2026, 3, 10, 11, 58));
        d.last_alarm = toTimeValue(makeTime(2026, 6, 1, 20, 0));
        d.alarm_amount = 166;
        ASSERT_TRUE(store.saveDevice(d, maija));
    }
};

}  // namespace

TEST_F(Report, WholeTextWithGroupsInTheirOrder) {
    Alarm once = single(makeTime(2026, 3, 20, 9, 30));
    Alarm morning = daily(makeTime(2026, 3, 1, 8, 0));  // forever
    Alarm evening = daily(makeTime(2026, 3, 1, 20, 0), false, makeTime(2026, 5, 31, 20, 0));
    Alarm weekly = daily(makeTime(2026, 3, 2, 7, 15), false, makeTime(2026, 4, 27, 7, 15));
    weekly.repeat_pattern = 6;
    Alarm pouch = daily(makeTime(2026, 3, 3, 12, 0), false, makeTime(2026, 4, 3, 12, 0));
    pouch.repeat_pattern = 7;
    user.alarms = {once, weekly, morning, pouch, evening};

    const Text expected =
        "\n" + kSep + "\n" +
        "Nimi:\t\tMaija\t\t\n"
        "Puhelinnumero:\t040 765 4321" +
        "\n" + kSep + "\n\n" +
        "Hälytykset\n\n"
        "Ohjelmointiaika:              \t10.03.2026 11:58\n"
        "Viimeinen hälytys laitteessa: \t01.06.2026 20:00\n"
        "\n\n"
        "Joka päivä:\n\n"
        "08:00\t01.03.2026 - 01.06.2026\n"
        "20:00\t01.03.2026 - 31.05.2026\n"
        "\n\n"
        "Joka viikko:\n\n"
        "07:15\t02.03.2026 - 27.04.2026\n"
        "\n\n"
        "Yksittäinen:\n\n"
        "09:30\t20.03.2026\n"
        "\n\n" +
        kSep + "\n" + closing;
    EXPECT_EQ(buildReport(store, user, strings), expected);
    EXPECT_EQ(closing.rfind("TÄRKEÄÄ TIETOA", 0), 0u);
    EXPECT_EQ(reportDirectory(store), db.dir.path());
}

TEST_F(Report, NoPhoneNoAlarmsAndUnknownReminder) {
    user.phone.clear();
    user.connected_sn = 0;  // no record: the programming time is instant 0
    const Text r = buildReport(store, user, strings);
    EXPECT_NE(r.find("Puhelinnumero:\t\n" + kSep), Text::npos);
    EXPECT_NE(r.find("Ohjelmointiaika:              \t01.01.1970 02:00\n"), Text::npos);
    EXPECT_NE(r.find("laitteessa: \t01.06.2026 20:00\n\n\n" + kSep + "\n"), Text::npos)
        << "no groups at all";
}

TEST_F(Report, LongLabelIsWrittenInFullBeforeTheTab) {
    struct LongLabels : StringSource {
        Text load(int id) const override {
            return id == 40043 ? "Ohjelmointiaika, päivämäärä ja kellonaika"
                               : ResourceModule::builtIn().load(id);
        }
    } longLabels;
    const Text r = buildReport(store, user, longLabels);
    EXPECT_NE(r.find("\nOhjelmointiaika, päivämäärä ja kellonaika:\t10.03.2026 11:58\n"), Text::npos);
}

TEST(ReportFile, Cp1252WithCrLfAndAClosingLineEnd) {
    TempDir dir;
    const auto file = dir.path() / kReportFileName;
    ASSERT_TRUE(writeReportFile(file, "Hälytykset\n\nÄÖ €\n"));
    EXPECT_EQ(readFile(file), "H\xE4lytykset\r\n\r\n\xC4\xD6 \x80\r\n\r\n");
    ASSERT_TRUE(writeReportFile(file, "x"));
    EXPECT_EQ(readFile(file), "x\r\n") << "a second report replaces the first";
    EXPECT_FALSE(writeReportFile(dir.path() / "missing" / "dir" / kReportFileName, "x"));
}

TEST(ReportFile, OpensTheViewerWithoutWaiting) {
    TempDir dir;
    const auto viewer = dir.path() / "viewer.sh";
    const auto marker = dir.path() / "seen.txt";
    {
        std::ofstream s(viewer);
        s << "#!/bin/sh\ncp \"$1\" '" << marker.string() << "'\n";
    }
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    setenv(kTextViewerVariable, viewer.c_str(), 1);
    const auto reports = dir.path() / "reports";
    EXPECT_TRUE(openInNotepad("Raportti\n", reports));
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    unsetenv(kTextViewerVariable);
    ASSERT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(readFile(reports / kReportFileName), "Raportti\r\n\r\n");
}
