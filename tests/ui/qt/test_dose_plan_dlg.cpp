// Dose plan window on the offscreen platform: the note's bound as typed,
// and the plan of the weeks chosen on A4 pages.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QSpinBox>

#include "../logic/dialog_test_support.h"
#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/qt/dose_plan_dlg.h"

namespace velmora {
namespace {

TEST(DosePlanDlgWidget, NoteStopsAtItsBoundAndTheWeeksChosenArePrinted) {
    dialogtest::ScriptedHost host;
    CurrentUser user;
    for (int hour : {8, 14, 20}) user.alarms.push_back(dialogtest::dailyAlarm(makeTime(2027, 3, 1, hour, 0)));
    user.daylight = buildDaylightTable(makeTime(2027, 3, 22));
    DosePlanDlgLogic model(user, ResourceModule::builtIn(), host, makeTime(2027, 3, 22, 9, 0), "");
    DosePlanDlg dlg(model);

    auto* note = dlg.findChild<QPlainTextEdit*>("note");
    note->setPlainText(QString(700, 'a'));
    EXPECT_EQ(note->toPlainText(), QString(600, 'a'));
    for (const auto& [weeks, pages] : {std::pair{1, 2}, {4, 6}}) {
        dlg.findChild<QSpinBox*>("weeks")->setValue(weeks);
        const QByteArray pdf = pdfBytes(dlg.document());
        EXPECT_NE(pdf.indexOf("/Count " + QByteArray::number(pages) + "\n"), -1) << weeks;
    }
}

}  // namespace
}  // namespace velmora
