#include "ui/qt/account_dialogs.h"

#include <functional>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {
namespace {

QPushButton* button(QWidget* parent, const Text& text, const char* name) {
    auto* b = new QPushButton(toQ(text), parent);
    b->setObjectName(name);
    b->setMinimumWidth(96);
    return b;
}

QLineEdit* edit(QWidget* parent, const char* name, bool secret, const std::function<void(const Text&)>& typed) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMinimumWidth(220);
    if (secret) e->setEchoMode(QLineEdit::Password);
    QObject::connect(e, &QLineEdit::textChanged, parent, [typed](const QString& t) { typed(fromQ(t)); });
    return e;
}

// A field's caption; screen readers name the field by it.
QLabel* caption(QWidget* parent, const Text& text, QWidget* field) {
    auto* l = new QLabel(toQ(text), parent);
    l->setBuddy(field);
    return l;
}

// Rows of captions and their fields.
void addFields(QGridLayout* form, QWidget* parent, std::initializer_list<std::pair<Text, QWidget*>> rows) {
    int row = 0;
    for (const auto& [text, field] : rows) {
        form->addWidget(caption(parent, text, field), row, 0);
        form->addWidget(field, row++, 1);
    }
}

// A hyperlink control: its caption as the link text; a click hands the
// control id to `clicked`, which opens the address.
QLabel* linkLabel(QWidget* parent, int id, const char* name, const Text& caption, const Text& address,
                  const std::function<void(int)>& clicked) {
    auto* l = new QLabel(QString("<a href=\"%1\">%2</a>").arg(toQ(address).toHtmlEscaped(), toQ(caption).toHtmlEscaped()),
                         parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::RichText);
    l->setToolTip(toQ(address));
    QObject::connect(l, &QLabel::linkActivated, parent, [clicked, id] { clicked(id); });
    return l;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons) row->addWidget(b);
    return row;
}

QVBoxLayout* outerLayout(QWidget* dialog) {
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(16, 16, 16, 12);
    return layout;
}

void showBusy(QWidget* dialog, bool busy) {
    if (busy) dialog->setCursor(Qt::WaitCursor);
    else dialog->unsetCursor();
}

}  // namespace

// ---- AccountDlg ----

AccountDlg::AccountDlg(AccountDlgLogic& model, QWidget* parent) : EndableDialog(model, parent), model_(model) {
    using M = AccountDlgLogic;
    setObjectName("AccountDlg");
    setWindowTitle(toQ(model_.title()));

    state_ = new QLabel(this);
    state_->setObjectName("signInState");
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() + 2);
    state_->setFont(bold);

    userName_ = edit(this, "userName", false, [this](const Text& t) { model_.setUserName(t); });
    password_ = edit(this, "password", true, [this](const Text& t) { model_.setPassword(t); });
    userName_->setText(toQ(model_.userName()));
    password_->setText(toQ(model_.password()));
    auto* form = new QGridLayout;
    addFields(form, this,
              {{model_.controlText(M::kIdUserNameLabel), userName_}, {model_.controlText(M::kIdPasswordLabel), password_}});

    const auto open = [this](int id) { model_.openLink(id); };
    auto* links = new QVBoxLayout;
    links->addWidget(linkLabel(this, M::kIdForgotLink, "forgotPasswordLink", model_.controlText(M::kIdForgotLink),
                               model_.linkAddress(M::kIdForgotLink), open));
    links->addWidget(linkLabel(this, M::kIdRegisterLink, "registerLink", model_.controlText(M::kIdRegisterLink),
                               model_.linkAddress(M::kIdRegisterLink), open));

    ok_ = button(this, {}, "ok");
    ok_->setDefault(true);
    change_ = button(this, model_.controlText(M::kIdChangePassword), "changePassword");
    close_ = button(this, model_.controlText(kIdCancel), "close");
    connect(ok_, &QPushButton::clicked, this, [this] {
        model_.ok();
        sync();
    });
    connect(change_, &QPushButton::clicked, this, [this] {
        model_.changePassword();
        sync();
    });
    connect(close_, &QPushButton::clicked, this, [this] { model_.cancel(); });

    auto* layout = outerLayout(this);
    layout->addWidget(state_);
    layout->addSpacing(10);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(links);
    layout->addSpacing(12);
    layout->addLayout(buttonRow({ok_, change_, close_}));

    model_.setChangeListener([this] { sync(); });
    sync();
    userName_->setFocus();
}

AccountDlg::~AccountDlg() { model_.setChangeListener({}); }

void AccountDlg::sync() {
    using M = AccountDlgLogic;
    state_->setText(toQ(model_.controlText(M::kIdState)));
    ok_->setText(toQ(model_.controlText(kIdOk)));
    if (password_->text() != toQ(model_.password())) password_->setText(toQ(model_.password()));
    userName_->setEnabled(model_.enabled(M::kIdUserName));
    password_->setEnabled(model_.enabled(M::kIdPassword));
    ok_->setEnabled(model_.enabled(kIdOk));
    change_->setEnabled(model_.enabled(M::kIdChangePassword));
    close_->setEnabled(model_.enabled(kIdCancel));
    showBusy(this, model_.busy());
}

// ---- LoginDlg ----

LoginDlg::LoginDlg(LoginDlgLogic& model, QWidget* parent) : EndableDialog(model, parent), model_(model) {
    using M = LoginDlgLogic;
    setObjectName("LoginDlg");
    setWindowTitle(toQ(model_.title()));

    auto* userName = edit(this, "userName", false, [this](const Text& t) { model_.setUserName(t); });
    auto* password = edit(this, "password", true, [this](const Text& t) { model_.setPassword(t); });
    auto* form = new QGridLayout;
    addFields(form, this,
              {{model_.controlText(M::kIdUserNameLabel), userName}, {model_.controlText(M::kIdPasswordLabel), password}});

    ok_ = button(this, model_.controlText(kIdOk), "ok");
    ok_->setDefault(true);
    cancel_ = button(this, model_.controlText(kIdCancel), "cancel");
    connect(ok_, &QPushButton::clicked, this, [this] {
        model_.ok();
        sync();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { model_.cancel(); });

    auto* layout = outerLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(linkLabel(this, M::kIdForgotLink, "forgotPasswordLink", model_.controlText(M::kIdForgotLink),
                                model_.linkAddress(M::kIdForgotLink), [this](int id) { model_.openLink(id); }));
    layout->addSpacing(12);
    layout->addLayout(buttonRow({ok_, cancel_}));

    model_.setChangeListener([this] { sync(); });
    userName->setText(toQ(model_.userName()));
    (model_.userName().empty() ? userName : password)->setFocus();
}

LoginDlg::~LoginDlg() { model_.setChangeListener({}); }

void LoginDlg::sync() {
    ok_->setEnabled(model_.enabled(kIdOk));
    cancel_->setEnabled(model_.enabled(kIdCancel));
    showBusy(this, model_.busy());
}

// ---- LoginPwDlg ----

LoginPwDlg::LoginPwDlg(LoginPwDlgLogic& model, QWidget* parent) : EndableDialog(model, parent) {
    using M = LoginPwDlgLogic;
    setObjectName("LoginPwDlg");
    setWindowTitle(toQ(model.title()));
    auto* password = edit(this, "password", true, [&model](const Text& t) { model.setPassword(t); });
    auto* form = new QHBoxLayout;
    form->addWidget(caption(this, model.controlText(M::kIdPasswordLabel), password));
    form->addWidget(password, 1);

    auto* ok = button(this, model.controlText(kIdOk), "ok");
    ok->setDefault(true);
    auto* cancel = button(this, model.controlText(kIdCancel), "cancel");
    connect(ok, &QPushButton::clicked, this, [&model] { model.ok(); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kIdCancel); });

    auto* layout = outerLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addLayout(buttonRow({ok, cancel}));
    password->setFocus();
}

// ---- ChangePasswordDlg ----

ChangePasswordDlg::ChangePasswordDlg(ChangePasswordDlgLogic& model, QWidget* parent)
    : EndableDialog(model, parent), model_(model) {
    using M = ChangePasswordDlgLogic;
    setObjectName("ChangePasswordDlg");
    setWindowTitle(toQ(model_.title()));

    auto* current = edit(this, "currentPassword", true, [this](const Text& t) { model_.setCurrent(t); });
    auto* form = new QGridLayout;
    addFields(form, this,
              {{model_.controlText(M::kIdCurrentLabel), current},
               {model_.controlText(M::kIdNewLabel),
                edit(this, "newPassword", true, [this](const Text& t) { model_.setNew(t); })},
               {model_.controlText(M::kIdAgainLabel),
                edit(this, "newPasswordAgain", true, [this](const Text& t) { model_.setAgain(t); })}});

    ok_ = button(this, model_.controlText(kIdOk), "ok");
    ok_->setDefault(true);
    auto* cancel = button(this, model_.controlText(kIdCancel), "cancel");
    connect(ok_, &QPushButton::clicked, this, [this] {
        model_.ok();
        sync();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kIdCancel); });

    auto* layout = outerLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addLayout(buttonRow({ok_, cancel}));

    model_.setChangeListener([this] { sync(); });
    current->setFocus();
}

ChangePasswordDlg::~ChangePasswordDlg() { model_.setChangeListener({}); }

void ChangePasswordDlg::sync() {
    ok_->setEnabled(model_.enabled(kIdOk));
    showBusy(this, model_.busy());
}

}  // namespace velmora
