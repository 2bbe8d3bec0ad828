#pragma once
// The flows the program installs into its main window: one plain object per
// flow (alarm editing, the reminder, ...), each receiving only what it
// needs; this class routes the main window's requests to them.
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

class ProgramFlows : public MainDlgFlows {
public:
    ProgramFlows() = default;
    ProgramFlows(const ProgramFlows&) = delete;
    ProgramFlows& operator=(const ProgramFlows&) = delete;
};

}  // namespace velmora
