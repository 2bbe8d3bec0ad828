#pragma once
// Windows of the web account's dialogs: the account dialog, the start-up
// sign-in, the legacy password prompt and the password change. Each shows
// its model and hands typing and clicks back; after a service reply (run
// on this thread by the client's notice) it shows the model again.
#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/qt/device_dialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class AccountDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit AccountDlg(AccountDlgLogic& model, QWidget* parent = nullptr);
    ~AccountDlg() override;
    void reject() override { model_.cancel(); }

private:
    void sync();
    AccountDlgLogic& model_;
    QLabel* state_ = nullptr;
    QLineEdit* userName_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* close_ = nullptr;
};

class LoginDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit LoginDlg(LoginDlgLogic& model, QWidget* parent = nullptr);
    ~LoginDlg() override;
    void reject() override { model_.cancel(); }

private:
    void sync();
    LoginDlgLogic& model_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

class LoginPwDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit LoginPwDlg(LoginPwDlgLogic& model, QWidget* parent = nullptr);
};

class ChangePasswordDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit ChangePasswordDlg(ChangePasswordDlgLogic& model, QWidget* parent = nullptr);
    ~ChangePasswordDlg() override;

private:
    void sync();
    ChangePasswordDlgLogic& model_;
    QPushButton* ok_ = nullptr;
};

}  // namespace velmora
