#pragma once
// How dialog and flow logic reaches the web service, and the messages that
// pouch-data replies other than success give.
#include <functional>
#include <memory>

#include "core/interaction.h"
#include "core/records.h"
#include "online/service_client.h"

namespace velmora {

// Where the web service is, how a finished request is handed to the
// user-interface thread (the event loop's queue in the program, the test's
// queue in tests), and the sign-in that a request needs first.
struct ServiceAccess {
    ServiceSettings settings = ServiceSettings::fromEnvironment();
    ServiceClient::PostToOwner post;
    // Offers the account dialog; true when signed in afterwards.
    std::function<bool()> signIn;

    explicit operator bool() const { return static_cast<bool>(post); }
    // A client whose `notice` runs on the user-interface thread after each reply.
    std::unique_ptr<ServiceClient> makeClient(ServiceClient::ReplyNotice notice) const {
        return std::make_unique<ServiceClient>(settings, post, std::move(notice));
    }
};

// True when the account is signed in. Otherwise tells the person to sign
// in first, offers the account dialog and answers whether that signed in.
bool signedInForService(const CurrentUser& user, Interaction& person, const StringSource& strings,
                        const ServiceAccess& access);

// A person's identity code that the service can look up: neither empty
// nor the "-" of a user created without one.
bool hasIdentityCode(const Text& ssn);

// Why a request failed, in the language in use ("Could not reach the
// service...", "The service did not answer in time." ...); empty for
// ServiceFailure::None.
Text serviceFailureText(const StringSource& strings, ServiceFailure failure);

// "Toiminto epäonnistui!", then an empty line and why the request failed
// when the client knows (serviceFailureText).
Text serviceFailedText(const StringSource& strings, ServiceFailure failure);

// The message of a pouch-data reply code other than success: 0 no pouch
// data (for the name lookup: person not found), -6 person not found, -2
// wrong credentials, anything else "failed" with why under it.
Text pouchReplyMessage(int code, ServiceFailure failure, const StringSource& strings, bool nameLookup = false);

}  // namespace velmora
