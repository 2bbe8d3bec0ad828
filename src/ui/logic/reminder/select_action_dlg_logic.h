#pragma once
// The small question shown when an attached reminder belongs to nobody:
// create or choose a user for it (kIdCreateOrChoose), program it without a
// user (kIdProgramWithoutUser), or leave it (cancel). Like the reminder
// flows' dialogs it can be ended from outside: the main window ends it when
// the reminder is removed.
#include "core/interaction.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {

class SelectActionDlgLogic : public EndableDialogModel {
public:
    static constexpr int kTemplateId = 199;

    static constexpr int kIdMessage = 1001;
    static constexpr int kIdCreateOrChoose = kIdOk;  // result 1
    static constexpr int kIdProgramWithoutUser = 1000;  // result 1000

    explicit SelectActionDlgLogic(const StringSource& strings) : strings_(strings) {}

    int templateId() const override { return kTemplateId; }

    Text title() const;
    // Texts of the message label and the two buttons; empty for other ids.
    Text controlText(int controlId) const;

    // The result of a button press: the button's id for the two choices,
    // 2 for Esc; any other id is not a way out of this dialog (-1).
    static int resultOf(int controlId);

private:
    const StringSource& strings_;
};

}  // namespace velmora
