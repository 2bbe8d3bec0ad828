#include "ui/logic/reminder/select_action_dlg_logic.h"

#include "resources/string_ids.h"

namespace velmora {

Text SelectActionDlgLogic::title() const { return strings_.load(ids::kSelectActionTitle); }

Text SelectActionDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdMessage: return strings_.load(ids::kNoUserForReminder);
        case kIdCreateOrChoose: return strings_.load(ids::kCreateOrChooseForReminder);
        case kIdProgramWithoutUser: return strings_.load(ids::kProgramWithoutUser);
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

}  // namespace velmora
