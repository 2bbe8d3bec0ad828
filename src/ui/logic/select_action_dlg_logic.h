#pragma once
// The small question shown when an attached reminder belongs to nobody:
// create or choose a user for it (1), program it without a user (1000),
// or leave it (2). The main window ends it itself when the reminder is
// removed.
#include <functional>

#include "core/interaction.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class SelectActionDlgLogic : public DialogModel {
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

    // Ends the open dialog from outside (the reminder was removed). The
    // widget that shows the dialog installs the listener while it is open;
    // without one the request is remembered and the dialog ends as soon
    // as it is shown.
    void end(int result);
    void setEndListener(std::function<void(int)> listener);
    // The result requested by end() before a listener existed, or 0.
    int pendingEnd() const { return pendingEnd_; }
    // Hands out the pending result once.
    int takePendingEnd() {
        const int r = pendingEnd_;
        pendingEnd_ = 0;
        return r;
    }

private:
    const StringSource& strings_;
    std::function<void(int)> endListener_;
    int pendingEnd_ = 0;
};

}  // namespace velmora
