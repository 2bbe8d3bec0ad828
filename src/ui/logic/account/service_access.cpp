#include "ui/logic/account/service_access.h"

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

Text serviceFailureText(const StringSource& strings, ServiceFailure failure) {
    switch (failure) {
        case ServiceFailure::None: return {};
        case ServiceFailure::Unreachable: return strings.load(ids::kServiceUnreachable);
        case ServiceFailure::TimedOut: return strings.load(ids::kServiceTimedOut);
        case ServiceFailure::BrokeOff: return strings.load(ids::kServiceBrokeOff);
        case ServiceFailure::NotSecure: return strings.load(ids::kServiceNotSecure);
        case ServiceFailure::BadAddress: return strings.load(ids::kServiceAddressInvalid);
        case ServiceFailure::TooLarge: return strings.load(ids::kServiceReplyTooLarge);
        case ServiceFailure::Refused: return strings.load(ids::kServiceRefused);
        case ServiceFailure::Other: break;
    }
    return strings.load(ids::kServiceTransferFailed);
}

Text serviceFailedText(const StringSource& strings, ServiceFailure failure) {
    const Text failed = strings.load(ids::kOperationFailed);
    const Text why = serviceFailureText(strings, failure);
    return why.empty() ? failed : failed + "\n\n" + why;
}

Text pouchReplyMessage(int code, ServiceFailure failure, const StringSource& strings, bool nameLookup) {
    switch (code) {
        case kResultNoData:
            return strings.load(nameLookup ? ids::kPersonNotFound : ids::kPouchDataNotFound);
        case kResultPersonNotFound: return strings.load(ids::kPersonNotFound);
        case kResultWrongCredentials: return strings.load(ids::kWrongCredentials);
        default: return serviceFailedText(strings, failure);
    }
}

}  // namespace velmora
