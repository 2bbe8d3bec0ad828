#include "ui/qt/reminder_progress.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <thread>

#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

// The step and its percentage; the person cannot close it (the job ends it).
class ReminderProgressDlg : public QDialog {
public:
    ReminderProgressDlg(const ResourceModule& strings, QWidget* parent) : QDialog(parent), strings_(strings) {
        setObjectName("reminderProgress");
        setWindowTitle(toQ(strings.load(ids::kReminderWorkTitle)));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(this);
        step_ = new QLabel(this);
        step_->setMinimumWidth(320);
        bar_ = new QProgressBar(this);
        bar_->setRange(0, 100);
        layout->addWidget(step_);
        layout->addWidget(bar_);
    }
    void showStep(LinkStep step, int percent) {
        QString text = toQ(strings_.load(linkStepTextId(step)));
        if (!text.isEmpty()) text[0] = text[0].toUpper();
        step_->setText(text);
        bar_->setValue(percent);
    }
    void reject() override {}

private:
    const ResourceModule& strings_;
    QLabel* step_;
    QProgressBar* bar_;
};

}  // namespace

void QtReminderRunner::run(LinkStep first, const Job& job) {
    host_.runAsModal([&] {
        ReminderProgressDlg dlg(host_.resources(), host_.parentWindow());
        dlg.showStep(first, 0);
        QEventLoop loop;
        bool done = false;
        // Everything the worker posts goes to `loop`'s thread, in order; the
        // end comes last, and nothing is posted after it.
        std::thread worker([&] {
            job([&](LinkStep step, int percent) {
                QMetaObject::invokeMethod(&dlg, [&dlg, step, percent] { dlg.showStep(step, percent); },
                                          Qt::QueuedConnection);
            });
            QMetaObject::invokeMethod(&loop, [&] {
                done = true;
                loop.quit();
            }, Qt::QueuedConnection);
        });
        QTimer::singleShot(kShowAfterMs, &loop, [&] { loop.quit(); });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!done) {
            dlg.show();
            loop.exec();
        }
        worker.join();
    });
}

}  // namespace velmora
