// The u-boot environment, reached only through the fw_printenv and fw_setenv
// tools: the PON MAC (mv_pon_addr) and the LAN MAC (ethaddr).
#ifndef ONU_INIT_BOOT_ENV_H
#define ONU_INIT_BOOT_ENV_H

#include <string>

// Reads mv_pon_addr through a scratch file: 0 with the value (at most 17
// characters) in `mac`, -1 with `mac` unchanged when no value was found.
int readBootEnvMac(std::string &mac);

// Scans fw_printenv output (lines ended by line feeds) for the first line that begins with mv_pon_addr and
// holds "="; `mac` becomes the (at most 17) characters after the first "=".
// 0 when such a line was found, -1 with `mac` unchanged otherwise.
int findBootEnvMac(const std::string &lines, std::string &mac);

// Set mv_pon_addr and ethaddr through the shell; the tool's result is not
// examined. A text that is not a MAC address (isMacAddress) never reaches the
// shell: -1, traced, nothing run; otherwise 0.
int writeBootEnvPonMac(const std::string &mac);
int writeBootEnvLanMac(const std::string &mac);

#endif
