#include "ui/logic/plan/dose_plan_dlg_logic.h"

#include <algorithm>

#include "resources/string_ids.h"

namespace velmora {

void DosePlanDlgLogic::setWeeks(int weeks) { weeks_ = std::clamp(weeks, kMinPlanWeeks, kMaxPlanWeeks); }

Text DosePlanDlgLogic::documentTitle() const { return strings_.load(ids::kDosePlanTitle) + " - " + user_.name; }

void DosePlanCommand::start() {
    DosePlanDlgLogic dlg(user_, strings_, host_, clock_.localNow(), note_, weeks_);
    host_.runDialog(dlg);
    note_ = dlg.note();
    weeks_ = dlg.weeks();
    finish();
}

}  // namespace velmora
