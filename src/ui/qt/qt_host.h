#pragma once
// The program's UiHost on Qt: message boxes, Yes/No questions, the modal
// dialogs of the logic (found by template id) and the desktop's openers.
// Dialogs of later parts register a runner for their template id.
#include <QObject>
#include <QString>
#include <functional>
#include <map>

#include "core/types.h"
#include "online/service_client.h"
#include "ui/logic/desktop_open.h"
#include "ui/logic/ui_host.h"

class QObject;
class QWidget;

namespace velmora {

class ResourceModule;

inline QString toQ(const Text& t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())); }
inline Text fromQ(const QString& s) { return s.toUtf8().toStdString(); }

// The "post to owner" of the program's service clients: a finished
// request is queued to the event loop of `context`'s thread. `context`
// must outlive the clients; a task still queued when it goes goes with it.
ServiceClient::PostToOwner postToEventLoop(QObject* context);

class QtHost : public UiHost {
public:
    // Shows `dialog` modally over `parent`; returns the closing command.
    using DialogRunner = std::function<int(DialogModel& dialog, QWidget* parent)>;

    // Files and pages are opened with `programs`, started without waiting;
    // when one cannot be started or ends with an error the person is told
    // (from the event loop), with the file's path or the page's address.
    explicit QtHost(const ResourceModule& resources, DesktopPrograms programs = {});

    // The window that owns message boxes and dialogs (the main window).
    void setParentWindow(QWidget* w) { parent_ = w; }
    QWidget* parentWindow() const { return parent_; }
    const ResourceModule& resources() const { return resources_; }

    // Adds or replaces the runner of a dialog template.
    void registerDialog(int templateId, DialogRunner runner);
    bool hasDialog(int templateId) const { return runners_.count(templateId) != 0; }
    // Called from the event loop after the last open modal dialog or
    // message box closed (held-back reminder events wait for it).
    void setModalsClosedListener(std::function<void()> listener) { modalsClosed_ = std::move(listener); }

    void showMessage(const Text& text, const Text& caption, MessageIcon icon) override;
    bool askYesNo(const Text& text, const Text& caption) override;
    bool askDestructive(const Text& text, const Text& caption) override;
    // A template without a runner ends at once with 2 (cancel).
    int runDialog(DialogModel& dialog) override;
    // With the text viewer.
    void openTextFile(const Text& path) override;
    void printTextReport(const Text& title, const Text& text, bool asPdf) override;
    // With the desktop's opener: the browser, or the viewer of a local file.
    void openUrl(const Text& address) override;
    int modalDepth() const override { return depth_; }
    // Runs `body` (which shows a dialog of its own) as one open modal.
    void runAsModal(const std::function<void()>& body);
    void bringToFront() override;

private:
    bool ask(const Text& text, const Text& caption, bool defaultNo);
    void open(const std::string& program, const Text& target);

    const ResourceModule& resources_;
    QWidget* parent_ = nullptr;
    std::map<int, DialogRunner> runners_;
    DesktopPrograms programs_;
    // Parent of the watches of openers still running; they go with the host.
    QObject openers_;
    std::function<void()> modalsClosed_;
    int depth_ = 0;

    // Counts one open modal for its lifetime.
    class ModalScope;
};

}  // namespace velmora
