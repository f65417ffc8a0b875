// Slows password guessing. After FREE_FAILURES failed logins from one client
// address, each further attempt from it is answered only after a delay that
// doubles from a base up to MAX_DELAY_MS. Attempts from one address take
// turns (a lock on its count file, held from before the delay until the
// verdict is recorded), so guesses sent in parallel wait as well. A success,
// or FORGET_SECONDS without a failure, clears the count.
#ifndef ONU_WEB_LOGIN_THROTTLE_H
#define ONU_WEB_LOGIN_THROTTLE_H

#include <string>

class LoginThrottle {
public:
    static constexpr int FREE_FAILURES = 5;
    static constexpr long MAX_DELAY_MS = 30000;
    static constexpr long FORGET_SECONDS = 15 * 60;

    // Takes the address's turn; the count lives in `folder`.
    LoginThrottle(const std::string &folder, const std::string &address, long baseDelayMs);
    ~LoginThrottle();
    LoginThrottle(const LoginThrottle &) = delete;
    LoginThrottle &operator=(const LoginThrottle &) = delete;

    // Sleeps for the delay this address has earned (none within its free failures).
    void wait() const;
    void record(bool accepted);

private:
    int fd;
    int failures = 0;
    long baseDelayMs;
};

#endif
