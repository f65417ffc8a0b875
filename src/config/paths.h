// Paths of the unit's configuration files and driver nodes, shared by every module.
#ifndef ONU_CONFIG_PATHS_H
#define ONU_CONFIG_PATHS_H

inline constexpr char EOAM_XML_PATH[] = "/etc/xml_params/eoam_xml_cfg_file.xml";
inline constexpr char TPM_XML_PATH[] = "/etc/xml_params/tpm_xml_cfg_file.xml";
inline constexpr char WEB_XML_PATH[] = "/var/vesk/website/www/xml/vesk_xml_cfg_file.xml";
inline constexpr char OMCI_XML_PATH[] = "/etc/xml_params/omci_xml_cfg_file.xml";
inline constexpr char GPON_XML_PATH[] = "/etc/xml_params/gpon_xml_cfg_file.xml";
inline constexpr char EPON_INFO_PATH[] = "/sys/devices/platform/epon/info/infoEpon";
inline constexpr char EPON_COUNTERS_PATH[] = "/sys/devices/platform/epon/pm/allCnt";
inline constexpr char LOG_PATH[] = "/var/cgi.log";
inline constexpr char INFO_FILE_PATH[] = "/tmp/info_file";
// i2c-dev bus of the optical transceiver.
inline constexpr char I2C_BUS_PATH[] = "/dev/i2c-0";
// Folders of the configuration: the stacks' live files, the factory copies
// of every file, the live web configuration.
inline constexpr char XML_PARAMS_DIR[] = "/etc/xml_params/";
inline constexpr char XML_DEFAULT_DIR[] = "/var/vesk/xml_default/";
inline constexpr char WEB_XML_DIR[] = "/var/vesk/website/www/xml/";
// Present once the unit has been set up.
inline constexpr char NEW_ONU_FLAG_PATH[] = "/var/vesk/newOnu.ini";
// fw_printenv's output while the boot environment is read.
inline constexpr char MAC_SCRATCH_PATH[] = "/tmp/mac.txt";
// Where the CGI host stores an upload; configuration import and firmware
// upgrade take their input from here.
inline constexpr char UPLOAD_SAVE_PATH[] = "/tmp/recFile";
// Driver nodes: storm suppression and WAN rate limit of the traffic
// processor, and the network switch's register writes.
inline constexpr char SUPPRESSION_NODE_PATH[] = "/sys/devices/platform/tpm/cfg_mngt/vesk_cmd";
inline constexpr char RATE_LIMIT_NODE_PATH[] = "/sys/devices/platform/tpm/cfg_traffic/rate_limit_if_set";
inline constexpr char SWITCH_REGISTER_PATH[] = "/sys/devices/platform/neta/switch/reg_w";
// The flash partitions' sizes, as the kernel reports them (mtdN/size).
inline constexpr char MTD_SYSFS_DIR[] = "/sys/class/mtd/";
// Factory-default copy of the web configuration.
inline constexpr char DEFAULT_WEB_XML_PATH[] = "/var/vesk/xml_default/vesk_xml_cfg_file.xml";
// ONU profile (identity and capabilities) and its factory-default copy.
inline constexpr char ONU_PROFILE_XML_PATH[] = "/etc/xml_params/onu_profile_xml_cfg_file.xml";
inline constexpr char DEFAULT_ONU_PROFILE_XML_PATH[] = "/var/vesk/xml_default/onu_profile_xml_cfg_file.xml";
// Lock files of the resources that requests share (ResourceLock); /tmp is RAM.
inline constexpr char LOCK_DIR[] = "/tmp/onu-locks";
// Where the export script leaves the configuration archive for download.
inline constexpr char EXPORT_ARCHIVE_PATH[] = "/var/vesk/website/www/xml_config.tar";
// Login sessions of the web pages and the login failure counts (root only).
inline constexpr char SESSION_DIR[] = "/tmp/onu-sessions";
// The token that lets a monitoring server scrape the metrics (root only).
inline constexpr char METRICS_TOKEN_PATH[] = "/var/vesk/metrics_token";
// Restarts the unit; run after the boot environment or configuration is replaced.
inline constexpr char REBOOT_PATH[] = "/sbin/reboot";

#endif
