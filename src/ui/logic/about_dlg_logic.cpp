#include "ui/logic/about_dlg_logic.h"

#include "core/text.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"

namespace velmora {

Text AboutDlgLogic::title() const { return strings_.load(ids::kAboutTitle); }
Text AboutDlgLogic::programName() const { return strings_.load(currentEdition().titleId); }
Text AboutDlgLogic::description() const { return strings_.load(ids::kAboutDescription); }
Text AboutDlgLogic::versionText() const { return kVersionText; }
Text AboutDlgLogic::linkText() const { return strings_.load(ids::kAboutLinkText); }
Text AboutDlgLogic::copyright() const { return strings_.load(ids::kAboutCopyright); }
Text AboutDlgLogic::okText() const { return strings_.load(ids::kOk); }
Text AboutDlgLogic::databaseText() const {
    return database_.empty() ? Text() : fillPlaceholder(strings_.load(ids::kDatabaseInUse), database_.string());
}

}  // namespace velmora
