#include "ui/qt/main_dlg.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>
#include <QPointer>
#include <QStyle>
#include <QHelpEvent>
#include <algorithm>
#include <QVBoxLayout>

#include "resources/resource_module.h"
#include "ui/logic/window_placement.h"
#include "ui/qt/elided_label.h"
#include "ui/qt/logo.h"
#include "ui/qt/calendar/month_view.h"
#include "ui/qt/calendar/planner_view.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/resource_menu.h"

namespace velmora {

namespace {

QColor toColor(MainDlgLogic::Rgb c) { return QColor(c.r, c.g, c.b); }

// The tooltips of the two radio buttons wrap at about 200 pixels.
QString wrappedTooltip(const Text& text) {
    return QString("<table width=\"200\"><tr><td>%1</td></tr></table>").arg(toQ(text).toHtmlEscaped());
}

// A page of the tab control that shows nothing of its own yet.
QWidget* emptyPage(const char* objectName, QWidget* parent) {
    auto* page = new QFrame(parent);
    page->setObjectName(objectName);
    page->setAutoFillBackground(true);
    QPalette pal = page->palette();
    pal.setColor(QPalette::Window, Qt::white);
    page->setPalette(pal);
    return page;
}

// Tabs at least 60 pixels wide.
class MinWidthTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        return QTabBar::tabSizeHint(index).expandedTo(QSize(60, 0));
    }
};

// The tab control that hosts the views and the comments page.
class DialogTabCtrl : public QTabWidget {
public:
    explicit DialogTabCtrl(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new MinWidthTabBar(this));
    }
};

// How much larger than usual the desktop's text is (a line of the usual
// 9 points is 14 pixels), at least 1.
double textGrowth(const QWidget* w) { return std::max(1.0, w->fontMetrics().height() / 14.0); }

// The radio buttons' tooltips: shown after the mouse rests 2 s, for 7 s.
constexpr int kTooltipDelayMs = 2000;
constexpr int kTooltipVisibleMs = 7000;

}  // namespace

MainDlg::MainDlg(MainDlgLogic& logic, const ResourceModule& resources, QWidget* parent)
    : QMainWindow(parent), logic_(logic), resources_(resources), calendarRequests_(logic) {
    setObjectName("MainDlg");
    logic_.setView(this);

    // White dialog: window and labels paint on white.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    setWindowTitle(toQ(logic_.title()));
    setWindowIcon(QIcon(velmoraLogo(64)));
    buildMenu(logic_.menuId());

    auto* central = new QWidget(this);
    central->setObjectName("central");
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(10, 8, 10, 6);
    columns->setSpacing(12);
    columns->addWidget(buildLeft(), 1);
    columns->addWidget(buildPanel(), 0);
    setCentralWidget(central);

    statusBarText_ = new QLabel(this);
    statusBarText_->setObjectName("statusText");
    statusBar()->setSizeGripEnabled(true);
    statusBarText_->setContentsMargins(6, 0, 0, 0);
    statusBar()->addWidget(statusBarText_, 1);

    logic_.initialise();
    syncNavigationTips();

    // The client area starts at 900 x 500; the layout's minimum is the
    // smallest size. Larger desktop text makes both larger.
    setMinimumSize(minimumSizeHint().expandedTo(QSize(760, 470) * textGrowth(this)));
    resize(QSize(900, 500) * textGrowth(this) + QSize(0, menuBar()->sizeHint().height()));

    // 32884: handled as the first event once the loop runs.
    QMetaObject::invokeMethod(this, "startup", Qt::QueuedConnection);
}

MainDlg::~MainDlg() {
    logic_.setView(nullptr);
    busyChanged(false);  // a wait cursor of this window never outlives it
}

void MainDlg::buildMenu(int menuId) {
    menuBar()->clear();
    actions_.clear();
    const Menu* menu = resources_.menu(menuId);
    if (!menu) return;
    // Every command, in a popup or on the bar itself, routes its id.
    auto bind = [this](QAction* a, int id) {
        a->setObjectName(commandObjectName(id));
        a->setShortcut(commandShortcut(id));
        connect(a, &QAction::triggered, this, [this, id] { logic_.command(id); });
        actions_[id] = a;
    };
    for (const MenuItem& top : menu->items) {
        if (top.kind == MenuItem::Kind::Popup) addMenuItems(menuBar()->addMenu(toQ(top.text)), top.children, bind);
        else if (top.kind == MenuItem::Kind::Command) bind(menuBar()->addAction(toQ(top.text)), top.id);
    }
}

QWidget* MainDlg::buildLeft() {
    auto* left = new QWidget(this);
    auto* layout = new QVBoxLayout(left);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    // Navigation row: "<" ">" the date, "Tänään", and a header label that grows.
    auto* nav = new QHBoxLayout;
    nav->setSpacing(4);
    previous_ = new QPushButton(toQ(resources_.dialogCaption(MainDlgLogic::kTemplateId, MainDlgLogic::kIdPrevious)), left);
    next_ = new QPushButton(toQ(resources_.dialogCaption(MainDlgLogic::kTemplateId, MainDlgLogic::kIdNext)), left);
    for (QPushButton* b : {previous_, next_}) b->setFixedWidth(std::max(34, 2 * fontMetrics().height()));
    previous_->setObjectName("previousButton");
    next_->setObjectName("nextButton");
    dateLabel_ = new QLabel(left);
    dateLabel_->setObjectName("dateLabel");
    QFont bold = font();
    bold.setBold(true);
    dateLabel_->setFont(bold);
    dateLabel_->setMinimumWidth(std::max(90, QFontMetrics(bold).horizontalAdvance("30.12.2026") + 12));
    dateLabel_->setAlignment(Qt::AlignCenter);
    today_ = new QPushButton(toQ(logic_.controlText(MainDlgLogic::kIdToday)), left);
    today_->setObjectName("todayButton");
    auto* header = new QLabel(left);
    header->setObjectName("headerLabel");
    nav->addWidget(previous_);
    nav->addWidget(dateLabel_);
    nav->addWidget(next_);
    nav->addSpacing(6);
    nav->addWidget(today_);
    nav->addWidget(header, 1);
    layout->addLayout(nav);
    connect(previous_, &QPushButton::clicked, this, [this] { logic_.command(MainDlgLogic::kIdPrevious); });
    connect(next_, &QPushButton::clicked, this, [this] { logic_.command(MainDlgLogic::kIdNext); });
    connect(today_, &QPushButton::clicked, this, [this] { logic_.command(MainDlgLogic::kIdToday); });

    // The four pages: the day, week and month views and the comments.
    tabs_ = new DialogTabCtrl(left);
    tabs_->setObjectName("viewTabs");
    dayView_ = new PlannerView(ViewKind::Day, calendarRequests_, resources_, logic_.clock());
    weekView_ = new PlannerView(ViewKind::Week, calendarRequests_, resources_, logic_.clock());
    monthView_ = new MonthView(calendarRequests_, resources_, logic_.clock());
    tabs_->addTab(viewPage("CDayView", dayView_), toQ(logic_.tabText(0)));
    tabs_->addTab(viewPage("CWeekView", weekView_), toQ(logic_.tabText(1)));
    tabs_->addTab(viewPage("CMonthView", monthView_), toQ(logic_.tabText(2)));
    for (PlannerView* v : {dayView_, weekView_}) {
        connect(this, &MainDlg::viewsSetDate, v, &PlannerView::setDate);
        connect(this, &MainDlg::viewsRefresh, v, [v](bool) { v->refresh(); });
    }
    connect(this, &MainDlg::viewsSetDate, monthView_, &MonthView::setDate);
    connect(this, &MainDlg::viewsRefresh, monthView_, [this](bool includeMonth) {
        if (includeMonth) monthView_->refresh();
    });
    auto* commentsPage = emptyPage("AlarmComment", tabs_);
    comment_ = new QPlainTextEdit(commentsPage);
    comment_->setObjectName("commentEdit");
    auto* commentLayout = new QVBoxLayout(commentsPage);
    commentLayout->setContentsMargins(10, 10, 10, 10);
    commentLayout->addWidget(comment_);
    tabs_->addTab(commentsPage, toQ(logic_.tabText(3)));
    comment_->setAccessibleName(tabs_->tabText(MainDlgLogic::kTabComments).trimmed());
    tabs_->setCurrentIndex(MainDlgLogic::kTabWeek);
    layout->addWidget(tabs_, 1);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        logic_.tabChanged(index);
        syncNavigationTips();
    });
    connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncing_ || logic_.setCommentText(fromQ(comment_->toPlainText()))) return;
        // Refused: the page shows the comment as it is kept.
        const int at = comment_->textCursor().position();
        syncing_ = true;
        comment_->setPlainText(toQ(logic_.panel().comment));
        syncing_ = false;
        QTextCursor cursor = comment_->textCursor();
        cursor.setPosition(std::min(at, static_cast<int>(comment_->toPlainText().size())));
        comment_->setTextCursor(cursor);
    });

    // The word mark keeps its distance to the bottom edge.
    auto* logo = new QLabel(left);
    logo->setObjectName("wordmark");
    logo->setPixmap(velmoraWordmark(22));
    layout->addWidget(logo, 0, Qt::AlignLeft | Qt::AlignBottom);
    return left;
}

// A calendar page: the view fills it, inset by 8 pixels.
QWidget* MainDlg::viewPage(const char* objectName, QWidget* view) {
    QWidget* page = emptyPage(objectName, tabs_);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(view);
    return page;
}

QLabel* MainDlg::valueLabel(const char* name, QLabel* given) {
    QLabel* l = given;
    if (!l) {
        l = new QLabel("-", userFrame_);
        l->setWordWrap(true);
    }
    l->setObjectName(name);
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 2);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, toColor(MainDlgLogic::kValueColour));
    l->setPalette(pal);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

ElidedLabel* MainDlg::elidedValueLabel(const char* name) {
    // A long name or ssn is cut with "…" (whole in the tooltip) so that the
    // panel keeps its layout at every window size.
    auto* l = new ElidedLabel(userFrame_);
    l->setFullText("-");
    valueLabel(name, l);
    return l;
}

QWidget* MainDlg::buildPanel() {
    auto* column = new QWidget(this);
    column->setFixedWidth(static_cast<int>(270 * textGrowth(this)));
    auto* outer = new QVBoxLayout(column);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);

    userFrame_ = new QGroupBox(toQ(logic_.controlText(MainDlgLogic::kIdUserFrame)), column);
    userFrame_->setObjectName("userPanel");
    // The panel paints on white like the rest of the window.
    userFrame_->setStyleSheet(
        "QGroupBox#userPanel { background: white; border: 1px solid #c9ccd1; border-radius: 4px;"
        " margin-top: 0.8em; padding-top: 4px; }"
        "QGroupBox#userPanel::title { subcontrol-origin: margin; left: 9px; padding: 0 4px; }");
    auto* v = new QVBoxLayout(userFrame_);
    v->setContentsMargins(10, 8, 10, 10);
    v->setSpacing(3);

    auto caption = [this](int id, const char* name) {
        auto* l = new QLabel(toQ(logic_.controlText(id)), userFrame_);
        l->setObjectName(name);
        return l;
    };

    chooseUser_ = new QPushButton(toQ(logic_.controlText(MainDlgLogic::kIdChooseUser)), userFrame_);
    chooseUser_->setObjectName("chooseUserButton");
    connect(chooseUser_, &QPushButton::clicked, this, [this] { logic_.command(MainDlgLogic::kIdChooseUser); });
    v->addWidget(chooseUser_);
    v->addSpacing(6);

    v->addWidget(caption(MainDlgLogic::kIdNameCaption, "nameCaption"));
    name_ = elidedValueLabel("userName");
    v->addWidget(name_);
    v->addSpacing(4);
    v->addWidget(caption(MainDlgLogic::kIdSsnCaption, "ssnCaption"));
    ssn_ = elidedValueLabel("userSsn");
    v->addWidget(ssn_);
    v->addSpacing(8);

    v->addWidget(caption(MainDlgLogic::kIdTypeCaption, "programTypeCaption"));
    typeIntake_ = new QRadioButton(toQ(logic_.controlText(MainDlgLogic::kIdTypeIntake)), userFrame_);
    typeForgotten_ = new QRadioButton(toQ(logic_.controlText(MainDlgLogic::kIdTypeForgotten)), userFrame_);
    typeIntake_->setObjectName("alarmAtIntakeRadio");
    typeForgotten_->setObjectName("alarmIfForgottenRadio");
    typeIntake_->setToolTip(wrappedTooltip(logic_.tooltipText(MainDlgLogic::kIdTypeIntake)));
    typeForgotten_->setToolTip(wrappedTooltip(logic_.tooltipText(MainDlgLogic::kIdTypeForgotten)));
    for (QRadioButton* r : {typeIntake_, typeForgotten_}) {
        r->setToolTipDuration(kTooltipVisibleMs);
        r->installEventFilter(this);
    }
    auto* group = new QButtonGroup(this);
    group->addButton(typeIntake_);
    group->addButton(typeForgotten_);
    typeIntake_->setChecked(true);
    v->addWidget(typeIntake_);
    v->addWidget(typeForgotten_);
    connect(typeIntake_, &QRadioButton::clicked, this,
            [this](bool checked) { logic_.programTypeClicked(MainDlgLogic::kIdTypeIntake, checked); });
    connect(typeForgotten_, &QRadioButton::clicked, this,
            [this](bool checked) { logic_.programTypeClicked(MainDlgLogic::kIdTypeForgotten, checked); });
    v->addSpacing(4);

    v->addWidget(caption(MainDlgLogic::kIdWindowCaption, "windowCaption"));
    window_ = new QComboBox(userFrame_);
    window_->setObjectName("windowList");
    for (int i = 0; i < static_cast<int>(MainDlgLogic::windowChoices().size()); ++i)
        window_->addItem(toQ(logic_.windowChoiceText(i)), MainDlgLogic::windowSecondsAt(i));
    window_->setCurrentIndex(0);
    window_->setEnabled(false);
    v->addWidget(window_);
    connect(window_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && index != logic_.panel().windowIndex) logic_.windowSelected(index);
    });
    v->addSpacing(8);

    v->addWidget(caption(MainDlgLogic::kIdLastAlarmCaption, "lastAlarmCaption"));
    lastAlarm_ = valueLabel("lastAlarm");
    v->addWidget(lastAlarm_);
    v->addSpacing(6);
    status_ = valueLabel("programmingStatus");
    status_->setText(QString());
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 2 + 2);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    v->addWidget(status_);
    v->addSpacing(4);
    program_ = new QPushButton(toQ(logic_.controlText(MainDlgLogic::kIdProgram)), userFrame_);
    program_->setObjectName("programButton");
    program_->setMinimumHeight(std::max(30, fontMetrics().height() + 14));
    program_->setEnabled(false);
    connect(program_, &QPushButton::clicked, this, [this] { logic_.command(MainDlgLogic::kIdProgram); });
    v->addWidget(program_);

    outer->addWidget(userFrame_);
    outer->addStretch(1);
    // The logo keeps its place in the bottom-right corner.
    auto* logo = new QLabel(column);
    logo->setObjectName("logo");
    logo->setPixmap(velmoraLogo(36));
    outer->addWidget(logo, 0, Qt::AlignRight | Qt::AlignBottom);
    return column;
}

QAction* MainDlg::action(int commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

QWidget* MainDlg::page(int index) const { return tabs_->widget(index); }

void MainDlg::startup() { logic_.startup(); }

// ---- MainDlgView ----

void MainDlg::panelChanged() { syncPanel(); }

void MainDlg::syncPanel() {
    if (!name_) return;
    const UserPanel& p = logic_.panel();
    const CommandStates& c = logic_.commands();
    syncing_ = true;
    name_->setFullText(toQ(p.name));
    ssn_->setFullText(toQ(p.ssn));
    lastAlarm_->setText(toQ(p.lastAlarm));
    status_->setText(toQ(p.status));
    QPalette pal = status_->palette();
    pal.setColor(QPalette::WindowText, p.statusColour == UserPanel::StatusColour::Green
                                           ? toColor(MainDlgLogic::kStatusGreen)
                                           : toColor(MainDlgLogic::kStatusRed));
    status_->setPalette(pal);
    typeIntake_->setChecked(p.intakeChecked);
    typeForgotten_->setChecked(p.forgottenChecked);
    window_->setCurrentIndex(p.windowIndex);
    window_->setEnabled(p.windowListEnabled);
    if (comment_->toPlainText() != toQ(p.comment)) comment_->setPlainText(toQ(p.comment));
    program_->setEnabled(c.program);
    for (QWidget* edit : std::initializer_list<QWidget*>{typeIntake_, typeForgotten_, comment_})
        edit->setEnabled(c.userEdits);
    const std::pair<int, bool> states[] = {{cmd::kEmptyReminder, c.emptyReminder},
                                           {cmd::kCloseUser, c.closeUser},
                                           {cmd::kShowHistory, c.showHistory},
                                           {cmd::kPrintAlarmReport, c.alarmReport},
                                           {cmd::kPrintAlarmReportOnPaper, c.alarmReportStored},
                                           {cmd::kSaveAlarmReportAsPdf, c.alarmReportStored},
                                           {cmd::kClearCalendar, c.userEdits}};
    // The others by the logic's routing: an item without a command is off.
    for (const auto& [id, a] : actions_) {
        const auto* state = std::find_if(std::begin(states), std::end(states),
                                         [id = id](const auto& s) { return s.first == id; });
        a->setEnabled(state != std::end(states) ? state->second : logic_.commandEnabled(id));
    }
    statusBarText_->setText(toQ(logic_.statusText()));
    syncing_ = false;
}

void MainDlg::syncNavigationTips() {
    for (const auto& [button, id] : {std::pair{previous_, MainDlgLogic::kIdPrevious}, {next_, MainDlgLogic::kIdNext}}) {
        const QString tip = toQ(logic_.tooltipText(id));
        button->setToolTip(tip);
        // "<" and ">" tell a screen reader nothing: the tip's first line names them.
        button->setAccessibleName(tip.section('\n', 0, 0));
    }
}

void MainDlg::usePlacementFile(const std::filesystem::path& file) {
    placementFile_ = file;
    const std::optional<WindowPlacement> p = readWindowPlacement(file);
    if (!p) return;
    const QRect frame(p->x, p->y, p->width, p->height);
    QSize size(p->width, p->height);
    // No larger than the screen is now.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size.expandedTo(minimumSize()));
    // Only where a screen still shows it (a monitor may have gone).
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersected(frame).width() >= 100) {
            move(frame.topLeft());
            break;
        }
    }
    if (p->maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainDlg::savePlacement() const {
    if (placementFile_.empty()) return;
    const QRect normal = isMaximized() ? normalGeometry() : QRect(pos(), size());
    saveWindowPlacement(placementFile_, {normal.x(), normal.y(), normal.width(), normal.height(), isMaximized()});
}

void MainDlg::dateChanged(const SYSTEMTIME& date) {
    dateLabel_->setText(toQ(logic_.dateText()));
    emit viewsSetDate(QDate(date.wYear, date.wMonth, date.wDay));
}

void MainDlg::refreshViews(bool includeMonth) {
    dateLabel_->update();
    previous_->update();
    next_->update();
    emit viewsRefresh(includeMonth);
}

void MainDlg::selectTab(int index) { tabs_->setCurrentIndex(index); }

void MainDlg::focusCalendar(int tab) {
    CalendarViewBase* views[] = {dayView_, weekView_, monthView_};
    if (tab >= 0 && tab < 3) views[tab]->setFocus(Qt::ShortcutFocusReason);
}

void MainDlg::busyChanged(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else {
        while (busyDepth_ > 0) {
            QApplication::restoreOverrideCursor();
            --busyDepth_;
        }
    }
}

void MainDlg::closeRequested(int exitCode) {
    exitCode_ = exitCode;
    closing_ = true;
    savePlacement();
    close();
    emit finished(exitCode);
}

// ---- Window events ----

void MainDlg::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The window's close button acts as Esc: command 2, which closes the
    // window from inside this event when it ends the program.
    logic_.command(cmd::kCancel);
    event->setAccepted(closing_);
}

void MainDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        logic_.command(cmd::kCancel);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter presses the focused button; elsewhere it is the dialog's OK.
        if (auto* b = qobject_cast<QAbstractButton*>(QApplication::focusWidget())) {
            b->click();
        } else {
            logic_.command(cmd::kOk);
        }
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MainDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && (widget == typeIntake_ || widget == typeForgotten_)) {
        if (event->type() == QEvent::ToolTip) {
            // Qt asks early; the tooltip waits until the mouse has rested
            // for the whole delay.
            const QPoint at = static_cast<QHelpEvent*>(event)->globalPos();
            tooltipTimer_.stop();
            tooltipTimer_.disconnect();
            QPointer<QWidget> target(widget);
            connect(&tooltipTimer_, &QTimer::timeout, this, [target, at] {
                if (target && target->underMouse())
                    QToolTip::showText(at, target->toolTip(), target, {}, kTooltipVisibleMs);
            });
            const int alreadyWaited = style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, widget);
            tooltipTimer_.setSingleShot(true);
            tooltipTimer_.start(std::max(0, kTooltipDelayMs - alreadyWaited));
            return true;
        }
        if (event->type() == QEvent::Leave) tooltipTimer_.stop();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainDlg::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The texts are cut again to the new widths; nothing is read again.
    syncPanel();
}

}  // namespace velmora
