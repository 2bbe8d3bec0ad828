#include "ui/logic/select_action_dlg_logic.h"

#include <utility>

namespace velmora {

namespace {
constexpr int kTextTitle = 40014;            // "Valitse"
constexpr int kTextMessage = 40161;          // "Laitteelle ei löytynyt käyttäjätietoja. ..."
constexpr int kTextCreateOrChoose = 40160;   // "Luo tai valitse laitteelle käyttäjä"
constexpr int kTextWithoutUser = 40159;      // "Ohjelmoi ilman käyttäjää"
}  // namespace

Text SelectActionDlgLogic::title() const { return strings_.load(kTextTitle); }

Text SelectActionDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdMessage: return strings_.load(kTextMessage);
        case kIdCreateOrChoose: return strings_.load(kTextCreateOrChoose);
        case kIdProgramWithoutUser: return strings_.load(kTextWithoutUser);
        default: return {};
    }
}

int SelectActionDlgLogic::resultOf(int controlId) {
    switch (controlId) {
        case kIdCreateOrChoose: return kIdCreateOrChoose;
        case kIdProgramWithoutUser: return kIdProgramWithoutUser;
        case kIdCancel: return kIdCancel;
        default: return -1;
    }
}

void SelectActionDlgLogic::end(int result) {
    if (endListener_) {
        endListener_(result);
    } else {
        pendingEnd_ = result;
    }
}

void SelectActionDlgLogic::setEndListener(std::function<void(int)> listener) {
    endListener_ = std::move(listener);
}

}  // namespace velmora
