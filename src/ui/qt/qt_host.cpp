#include "ui/qt/qt_host.h"

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QSocketNotifier>
#include <QWidget>

#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/about_dlg_logic.h"
#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/logic/calendar/alarm_dlg_logic.h"
#include "ui/logic/account/backup_dlg_logic.h"
#include "ui/logic/calendar/delete_dose_dlg_logic.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/history/log_dlg_logic.h"
#include "ui/logic/plan/dose_plan_dlg_logic.h"
#include "ui/logic/pouch/pouch_bulk_dlg_logic.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/account_dialogs.h"
#include "ui/qt/alarm_dlg.h"
#include "ui/qt/backup_dlg.h"
#include "ui/logic/history/history_export.h"
#include "ui/qt/delete_dose_dlg.h"
#include "ui/qt/device_dialogs.h"
#include "ui/qt/document_output.h"
#include "ui/qt/dose_plan_dlg.h"
#include "ui/qt/log_dlg.h"
#include "ui/qt/pouch_bulk_dlg.h"
#include "ui/qt/profile_dlg.h"
#include "ui/qt/report_dlg.h"
#include "ui/qt/select_action_dlg.h"

namespace velmora {

namespace {

template <class Widget, class Model>
QtHost::DialogRunner runnerFor() {
    return [](DialogModel& dialog, QWidget* parent) {
        auto* model = dynamic_cast<Model*>(&dialog);
        if (!model) return kIdCancel;
        Widget w(*model, parent);
        return w.exec();
    };
}

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Watches the pipe of one opener (startOpener) and closes it when it goes.
class OpenerWatch : public QSocketNotifier {
public:
    OpenerWatch(int fd, QObject* parent) : QSocketNotifier(fd, QSocketNotifier::Read, parent) {}
    ~OpenerWatch() override { ::close(static_cast<int>(socket())); }
    OpenerWatch(const OpenerWatch&) = delete;
    OpenerWatch& operator=(const OpenerWatch&) = delete;
};

}  // namespace

class QtHost::ModalScope {
public:
    explicit ModalScope(QtHost& host) : host_(host), focus_(QApplication::focusWidget()) { ++host_.depth_; }
    ~ModalScope() {
        // The keys go back where they were (a calendar view keeps its
        // cursor in sight), also when the window was not reactivated.
        if (focus_ && focus_->isVisible()) focus_->setFocus(Qt::OtherFocusReason);
        if (--host_.depth_ == 0 && host_.modalsClosed_) {
            // Later, from the event loop: the caller of the dialog finishes
            // first. Dropped when the window goes before it runs.
            QObject* context = host_.parent_;
            if (!context) context = QCoreApplication::instance();
            QMetaObject::invokeMethod(context, host_.modalsClosed_, Qt::QueuedConnection);
        }
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    QtHost& host_;
    QPointer<QWidget> focus_;
};

QtHost::QtHost(const ResourceModule& resources, DesktopPrograms programs)
    : resources_(resources), programs_(std::move(programs)) {
    registerDialog(ProfileDlgLogic::kTemplateId, runnerFor<ProfileDlg, ProfileDlgLogic>());
    registerDialog(LogDlgLogic::kTemplateId, runnerFor<LogDlg, LogDlgLogic>());
    registerDialog(ReportDlgLogic::kTemplateId, runnerFor<ReportDlg, ReportDlgLogic>());
    registerDialog(AlarmReportDlgLogic::kTemplateId, runnerFor<AlarmReportDlg, AlarmReportDlgLogic>());
    registerDialog(SelectActionDlgLogic::kTemplateId, runnerFor<SelectActionDlg, SelectActionDlgLogic>());
    registerDialog(AboutDlgLogic::kTemplateId, runnerFor<AboutDlg, AboutDlgLogic>());
    registerDialog(AlarmDlgLogic::kTemplateId, runnerFor<AlarmDlg, AlarmDlgLogic>());
    registerDialog(DeleteDoseDlgLogic::kTemplateId, runnerFor<DeleteDoseDlg, DeleteDoseDlgLogic>());
    registerDialog(ProgramDlgLogic::kTemplateId, runnerFor<ProgramDlg, ProgramDlgLogic>());
    registerDialog(ProgrammingFinishedDlgLogic::kTemplateId,
                   runnerFor<ProgrammingFinishedDlg, ProgrammingFinishedDlgLogic>());
    registerDialog(WaitProgramDlgLogic::kTemplateId, runnerFor<WaitProgramDlg, WaitProgramDlgLogic>());
    registerDialog(BackupDlgLogic::kTemplateId, runnerFor<BackupDlg, BackupDlgLogic>());
    registerDialog(PouchBulkDlgLogic::kTemplateId, runnerFor<PouchBulkDlg, PouchBulkDlgLogic>());
    registerDialog(AccountDlgLogic::kTemplateId, runnerFor<AccountDlg, AccountDlgLogic>());
    registerDialog(LoginDlgLogic::kTemplateId, runnerFor<LoginDlg, LoginDlgLogic>());
    registerDialog(LoginPwDlgLogic::kTemplateId, runnerFor<LoginPwDlg, LoginPwDlgLogic>());
    registerDialog(ChangePasswordDlgLogic::kTemplateId, runnerFor<ChangePasswordDlg, ChangePasswordDlgLogic>());
    registerDialog(DosePlanDlgLogic::kTemplateId, runnerFor<DosePlanDlg, DosePlanDlgLogic>());
}

void QtHost::printTextReport(const Text& title, const Text& text, bool asPdf) {
    PrintableDocument doc;
    doc.title = toQ(title);
    doc.html = toQ(textReportHtml(title, text));
    ModalScope modal(*this);
    if (asPdf)
        savePdfWithDialog(doc, parent_, *this, resources_);
    else
        printWithDialog(doc, parent_);
}

void QtHost::runAsModal(const std::function<void()>& body) {
    ModalScope modal(*this);
    body();
}

void QtHost::registerDialog(int templateId, DialogRunner runner) { runners_[templateId] = std::move(runner); }

void QtHost::showMessage(const Text& text, const Text& caption, MessageIcon icon) {
    QMessageBox box(iconOf(icon), toQ(caption), toQ(text), QMessageBox::Ok, parent_);
    ModalScope modal(*this);
    box.setObjectName("message");
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(toQ(resources_.load(ids::kOk)));
    box.exec();
}

bool QtHost::askYesNo(const Text& text, const Text& caption) { return ask(text, caption, false); }

bool QtHost::askDestructive(const Text& text, const Text& caption) { return ask(text, caption, true); }

bool QtHost::ask(const Text& text, const Text& caption, bool defaultNo) {
    QMessageBox box(QMessageBox::Question, toQ(caption), toQ(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    ModalScope modal(*this);
    box.setObjectName("question");
    box.button(QMessageBox::Yes)->setText(toQ(resources_.load(ids::kYes)));
    box.button(QMessageBox::No)->setText(toQ(resources_.load(ids::kNo)));
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtHost::runDialog(DialogModel& dialog) {
    auto it = runners_.find(dialog.templateId());
    if (it == runners_.end()) return kIdCancel;
    ModalScope modal(*this);
    return it->second(dialog, parent_);
}

void QtHost::bringToFront() {
    if (!parent_) return;
    parent_->raise();
    parent_->activateWindow();
}

void QtHost::openTextFile(const Text& path) { open(programs_.textViewer, path); }

void QtHost::openUrl(const Text& address) { open(programs_.opener, address); }

// The opener's end is heard from the event loop; one that failed is named
// to the person with what it should have opened, so they can open it
// themselves.
void QtHost::open(const std::string& program, const Text& target) {
    const auto tell = [this, target] {
        showMessage(notOpenedText(resources_, target), resources_.load(ids::kCaptionError), MessageIcon::Error);
    };
    const int fd = startOpener(program, target);
    if (fd < 0) return tell();
    auto* watch = new OpenerWatch(fd, &openers_);
    QObject::connect(watch, &QSocketNotifier::activated, watch, [watch, tell] {
        watch->setEnabled(false);
        const bool opened = openerSucceeded(static_cast<int>(watch->socket()));
        watch->deleteLater();
        if (!opened) tell();
    });
}

ServiceClient::PostToOwner postToEventLoop(QObject* context) {
    return [context](ServiceClient::Task task) {
        QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
    };
}

}  // namespace velmora
