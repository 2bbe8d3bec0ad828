#include "ui/logic/user_manual.h"

#include "resources/string_ids.h"
#include "ui/logic/desktop_open.h"

namespace velmora {

std::filesystem::path userManualFile(const std::filesystem::path& programDir, const Text& languageCode) {
    const Text language = languageCode == "no" || languageCode == "dk" || languageCode == "de" ? "en" : languageCode;
    const std::filesystem::path name = std::filesystem::path("manuals") / ("Velmora_manual_" + language + ".pdf");
    const std::filesystem::path beside = programDir / name;
    const std::filesystem::path installed = programDir.parent_path() / "share" / "velmora" / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(beside, ec) && std::filesystem::is_regular_file(installed, ec))
        return installed;
    return beside;
}

void openUserManual(UiHost& host, const StringSource& strings, const std::filesystem::path& programDir) {
    const std::filesystem::path file = userManualFile(programDir, strings.load(ids::kLanguageCode));
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) return host.openUrl(std::filesystem::absolute(file, ec).string());
    host.showMessage(notOpenedText(strings, file.string()), strings.load(ids::kCaptionError), MessageIcon::Error);
}

}  // namespace velmora
