// Login sessions of the web pages. A session is an ID from the kernel's random
// source, the account's role and a CSRF token, kept as one small root-only
// file per session in the unit's RAM file system, named by its ID. The file's
// modification time is the session's last use, so a request that extends the
// session only touches the file. Creating and ending sessions happens under
// one lock; looking one up needs none, as files are replaced by rename.
#ifndef ONU_WEB_SESSION_STORE_H
#define ONU_WEB_SESSION_STORE_H

#include <string>

struct Session {
    std::string id;         // 32 lowercase hexadecimal digits
    std::string account;    // "admin" or "user"
    std::string csrfToken;  // 32 hexadecimal digits, sent back by the page on writes
};

class SessionStore {
public:
    static constexpr long IDLE_SECONDS = 10 * 60;
    static constexpr long LIFETIME_SECONDS = 12 * 60 * 60;
    static constexpr int MAX_SESSIONS = 8;

    // `folder` is created root-only when missing; production uses SESSION_DIR.
    explicit SessionStore(std::string folder);

    // Creates the folder when missing; false unless it is a folder of ours
    // that nobody else may read or enter.
    bool ready();

    // A new session for `account`; expired sessions go, and the oldest while
    // MAX_SESSIONS would be passed. -1 without a random source or folder.
    int create(const std::string &account, Session &session);
    // The live session with this ID; `extend` restarts its idle time. An
    // expired session is removed. -1 when there is none.
    int find(const std::string &id, bool extend, Session &session);
    // Ends one session, or every session of `account` but the one kept.
    void remove(const std::string &id);
    void removeAccount(const std::string &account, const std::string &keptId);

private:
    std::string pathOf(const std::string &id) const;

    std::string folder;
};

// The value of cookie `name` in a Cookie header ("a=1; b=2"); empty when absent.
std::string cookieValue(const std::string &header, const std::string &name);
// True for 32 lowercase hexadecimal digits, the only form an ID takes.
bool isSessionId(const std::string &id);
// `count` random bytes from the kernel as lowercase hexadecimal; empty when
// the kernel gives none.
std::string randomHex(std::size_t count);

#endif
