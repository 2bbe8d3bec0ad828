// The history as PDF: a real PDF file whose title metadata names the person.
#include <gtest/gtest.h>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/qt/log_dlg.h"

namespace velmora {
namespace {

// How a PDF string spells a text: Qt writes the document information as
// UTF-16 big-endian, the XMP metadata as UTF-8; either will do.
bool pdfHolds(const QByteArray& pdf, const QString& text) {
    QByteArray utf16;
    for (QChar c : text) {
        utf16 += static_cast<char>(c.unicode() >> 8);
        utf16 += static_cast<char>(c.unicode() & 0xFF);
    }
    return pdf.contains(text.toUtf8()) || pdf.contains(utf16);
}

TEST(HistoryPdf, IsAPdfThatNamesThePerson) {
    CurrentUser user;
    user.name = "Äino Virtanen";
    const TimeValue t = toTimeValue(makeTime(2026, 3, 4, 8, 0));
    for (int d = 0; d < 60; ++d)
        user.history[t - d * 86400] = LogEntry{t - d * 86400, t - d * 86400 + 300, kStatusAcknowledged};
    LogDlgLogic model(user, ResourceModule::builtIn(), t + 3600);
    model.setPeriod(AdherencePeriod::Last90Days);
    LogDlg dlg(model);
    const PrintableDocument doc = dlg.document();
    ASSERT_EQ(doc.images.size(), 2u);  // 90 days in two shares
    const QByteArray pdf = pdfBytes(doc);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdfHolds(pdf, "Äino Virtanen"));
    EXPECT_FALSE(pdfHolds(pdf, "Bertta Korhonen"));
}

}  // namespace
}  // namespace velmora
