#pragma once
// A person in front of the dialogs who answers nothing: messages are
// dropped, questions answered No, dialogs cancelled.
#include "ui/logic/ui_host.h"

namespace velmora::bench {

class SilentHost : public UiHost {
public:
    void showMessage(const Text&, const Text&, MessageIcon) override {}
    bool askYesNo(const Text&, const Text&) override { return false; }
    int runDialog(DialogModel&) override { return kIdCancel; }
    void openTextFile(const Text&) override {}
    void openUrl(const Text&) override {}
};

}  // namespace velmora::bench
