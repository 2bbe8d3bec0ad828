#include "ui/logic/service_access.h"

#include "online/service_protocol.h"
#include "resources/string_ids.h"

namespace velmora {

bool signedInForService(const CurrentUser& user, Interaction& person, const StringSource& strings,
                        const ServiceAccess& access) {
    if (user.logged_in) return true;
    person.showMessage(strings.load(ids::kSignInFirst), strings.load(ids::kCaptionConfirmation),
                       MessageIcon::Information);
    return access.signIn && access.signIn();
}

bool hasIdentityCode(const Text& ssn) {
    return ssn.find_first_not_of(" -") != Text::npos;
}

Text serviceFailedText(const StringSource& strings, const Text& errorText) {
    const Text failed = strings.load(ids::kOperationFailed);
    return errorText.empty() ? failed : failed + "\n\n" + errorText;
}

Text pouchReplyMessage(int code, const Text& errorText, const StringSource& strings, bool nameLookup) {
    switch (code) {
        case kResultNoData:
            return strings.load(nameLookup ? ids::kPersonNotFound : ids::kPouchDataNotFound);
        case kResultPersonNotFound: return strings.load(ids::kPersonNotFound);
        case kResultWrongCredentials: return strings.load(ids::kWrongCredentials);
        default: return serviceFailedText(strings, errorText);
    }
}

}  // namespace velmora
