#pragma once
// Pouch data in the main window: the Tools commands that fetch the current
// user's pouch data from the service and turn it into the user's pouch
// alarms (cmd::kFetchPouchData), and that update the pouch alarms of every
// user in one run (cmd::kUpdateAllPouchData).
#include <functional>
#include <memory>
#include <optional>

#include "ui/logic/account/service_command.h"

namespace velmora {

using PouchContext = ServiceCommandContext;

class FetchPouchCommand final : public Command {
public:
    // `reminderConnected` tells whether a reminder is attached; `program`
    // programs the current user's reminder as its button does.
    FetchPouchCommand(PouchContext context, std::function<bool()> reminderConnected,
                      std::function<void()> program)
        : c_(context), reminderConnected_(std::move(reminderConnected)), program_(std::move(program)) {}

    // Asks for the current user's pouch data by identity code; only when
    // signed in. The reply comes to reply() on the user-interface thread.
    void start() override;
    // Drops the request and the client: no notice comes any more.
    void cancel() override;
    // The reply. It is applied only to the user it was asked for; while a
    // dialog is open it waits for modalsClosed().
    void reply();
    void modalsClosed();
    bool awaitingReply() const { return request_.has_value(); }

private:
    void apply(int code, const Text& payload, ServiceFailure failure);
    void error(const Text& text);
    // False when no request went out (the person was told why, if anything).
    bool send();

    PouchContext c_;
    std::function<bool()> reminderConnected_;
    std::function<void()> program_;
    std::unique_ptr<ServiceClient> client_;
    struct Request {
        int userId;
        Text name;
    };
    std::optional<Request> request_;  // the request out, if any
    bool heldBack_ = false;           // its reply waits for the dialogs to close
};

// Every user with an identity code, one request at a time (the bulk
// dialog). Not while `fetchAwaitingReply` says a single fetch is out.
class UpdateAllPouchCommand final : public Command {
public:
    UpdateAllPouchCommand(PouchContext context, std::function<bool()> fetchAwaitingReply)
        : c_(context), fetchAwaitingReply_(std::move(fetchAwaitingReply)) {}
    void start() override;

private:
    void run();

    PouchContext c_;
    std::function<bool()> fetchAwaitingReply_;
};

}  // namespace velmora
