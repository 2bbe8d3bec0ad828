#pragma once
// The main window: date navigation and the calendar tabs on the left, the
// user panel on the right, menu bar and status bar. It shows what
// MainDlgLogic holds and hands clicks, keys and typing back to it.
#include <QDate>
#include <QMainWindow>
#include <QTimer>
#include <filesystem>
#include <map>

#include "ui/logic/calendar/calendar_requests.h"
#include "ui/logic/main_dlg_logic.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace velmora {

class ElidedLabel;

class ResourceModule;
class MonthView;
class PlannerView;

class MainDlg : public QMainWindow, public MainDlgView {
    Q_OBJECT
public:
    // Builds every control, runs the logic's initialisation and posts the
    // start-up message (handled once the event loop runs).
    MainDlg(MainDlgLogic& logic, const ResourceModule& resources, QWidget* parent = nullptr);
    ~MainDlg() override;

    MainDlgLogic& logic() { return logic_; }
    // The menu action of a command id, nullptr when the menu has none.
    QAction* action(int commandId) const;
    // The tab pages: day, week, month and comments.
    QWidget* page(int index) const;
    // The calendar views of the first three pages.
    PlannerView* dayView() const { return dayView_; }
    PlannerView* weekView() const { return weekView_; }
    MonthView* monthView() const { return monthView_; }
    // The exit code the window closed with; 0 while open.
    int exitCode() const { return exitCode_; }
    // Takes the size and place the window had when it last closed from
    // `file`, and stores them there when it closes.
    void usePlacementFile(const std::filesystem::path& file);

    // MainDlgView
    void panelChanged() override;
    void dateChanged(const SYSTEMTIME& date) override;
    void refreshViews(bool includeMonth) override;
    void selectTab(int index) override;
    void focusCalendar(int tab) override;
    void busyChanged(bool busy) override;
    void closeRequested(int exitCode) override;

signals:
    // 32872 to the day, week and month views.
    void viewsSetDate(const QDate& date);
    // 32873 to the day and week views, and to the month view when stale.
    void viewsRefresh(bool includeMonth);
    // The window has closed; the program ends with `exitCode`.
    void finished(int exitCode);

public slots:
    // 32884.
    void startup();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu(int menuId);
    QWidget* buildPanel();
    QWidget* buildLeft();
    // `label` (a new word-wrapping label when null) in the value style.
    QLabel* valueLabel(const char* name, QLabel* label = nullptr);
    ElidedLabel* elidedValueLabel(const char* name);
    QWidget* viewPage(const char* objectName, QWidget* view);
    void syncPanel();
    void syncNavigationTips();
    void savePlacement() const;

    MainDlgLogic& logic_;
    const ResourceModule& resources_;
    std::map<int, QAction*> actions_;
    MainDlgCalendarRequests calendarRequests_;
    PlannerView* dayView_ = nullptr;
    PlannerView* weekView_ = nullptr;
    MonthView* monthView_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* dateLabel_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* today_ = nullptr;
    QGroupBox* userFrame_ = nullptr;
    QPushButton* chooseUser_ = nullptr;
    ElidedLabel* name_ = nullptr;
    ElidedLabel* ssn_ = nullptr;
    QRadioButton* typeIntake_ = nullptr;
    QRadioButton* typeForgotten_ = nullptr;
    QComboBox* window_ = nullptr;
    QLabel* lastAlarm_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* program_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QLabel* statusBarText_ = nullptr;
    QTimer tooltipTimer_;
    bool syncing_ = false;
    bool closing_ = false;
    int busyDepth_ = 0;
    int exitCode_ = 0;
    std::filesystem::path placementFile_;
};

}  // namespace velmora
