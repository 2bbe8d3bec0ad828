#include "core/records.h"

#include <algorithm>
#include <utility>

#include "core/datetime.h"

namespace velmora {

bool alarmStartsBefore(const Alarm& a, const Alarm& b) {
    return toTimeValue64(a.alarm_start) < toTimeValue64(b.alarm_start);
}

Text withoutLineFeeds(Text v) {
    v.erase(std::remove(v.begin(), v.end(), '\n'), v.end());
    return v;
}

void Profile::setName(Text v) { name = withoutLineFeeds(std::move(v)); }
void Profile::setSsn(Text v) { ssn = withoutLineFeeds(std::move(v)); }
void Profile::setPhone(Text v) { phone = withoutLineFeeds(std::move(v)); }

UserList::UserList(UserList&& other) noexcept
    : profiles_(std::move(other.profiles_)),
      sealed_(std::exchange(other.sealed_, nullptr)),
      sealedCount_(std::exchange(other.sealedCount_, 0)) {}

UserList& UserList::operator=(const UserList& other) {
    if (this != &other) {
        std::vector<Profile> copied = other.all();
        clear();
        profiles_ = std::move(copied);
    }
    return *this;
}

UserList& UserList::operator=(UserList&& other) noexcept {
    if (this != &other) {
        profiles_ = std::move(other.profiles_);
        sealed_ = std::exchange(other.sealed_, nullptr);
        sealedCount_ = std::exchange(other.sealedCount_, 0);
    }
    return *this;
}

const std::vector<Profile>& UserList::all() const {
    open();
    return profiles_;
}

std::vector<Profile>& UserList::all() {
    open();
    return profiles_;
}

void UserList::clear() {
    profiles_.clear();
    sealed_ = nullptr;
    sealedCount_ = 0;
}

void UserList::appendSealed(std::size_t count, Opener open) {
    this->open();  // one opener at a time, the earlier users first
    sealed_ = std::move(open);
    sealedCount_ = count;
}

void UserList::open() const {
    if (!sealed_) return;
    const Opener opening = std::exchange(sealed_, nullptr);
    sealedCount_ = 0;
    opening(profiles_);
}

}  // namespace velmora
