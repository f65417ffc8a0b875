// The token that lets a monitoring server scrape /cgi-bin/metrics without a
// login (Authorization: Bearer <token>). It is kept in one root-only file on
// the unit's persistent storage, replaced whole by rename; without the file
// bearer access is off.
#ifndef ONU_WEB_METRICS_TOKEN_STORE_H
#define ONU_WEB_METRICS_TOKEN_STORE_H

#include <string>

#include "config/paths.h"

class MetricsTokenStore {
public:
    explicit MetricsTokenStore(std::string path = METRICS_TOKEN_PATH);

    // The stored token; empty when none is stored.
    std::string get() const;
    // Stores `token`, which must pass isToken; -1 when it does not or the file
    // could not be written (the old token then stays).
    int set(const std::string &token);
    // Stores a new random token (64 hexadecimal digits) and returns it in
    // `token`; -1 without a random source or when it could not be stored.
    int renew(std::string &token);
    // Removes the token, switching bearer access off; -1 when it stays.
    int clear();

    // 16 to 256 characters of a bearer token: letters, digits, "-._~+/=".
    static bool isToken(const std::string &text);

private:
    std::string path;
};

#endif
