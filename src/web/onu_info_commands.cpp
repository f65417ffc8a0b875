// ONU information command (2): identity, addresses, PON state and
// capabilities in one reply. Every request gets the full answer; reads that
// fail leave their values empty.
#include "config/mac_address.h"
#include "web/request_process.h"

void RequestProcess::processOnuInfo()
{
    // All reads first, then the reply map: the map's nodes then reuse the
    // memory that the parsed documents have given back.
    CommInfo comm;
    facade.getCommInfo(comm);
    IpInfo ip;
    facade.getIpInfo(ip);
    EponInfo epon;
    facade.getEponInfo(epon);
    ChipInfo chip;
    facade.getChipInfo(chip);
    // The ONU identity shown is the factory one, whatever the live profile says.
    OnuVendorInfo vendor;
    facade.getDefaultVendorInfo(vendor);
    std::string firmware;
    facade.getFirmwareVersion(firmware);
    OnuCapability capability;
    facade.getCapability(capability);
    FecInfo fec;
    facade.getFecInfo(fec);

    ReplyFields fields;
    fields["type"] = comm.model;
    fields["app_ver"] = comm.softwareVersion;
    fields["capabi_service_supported"] = "GE";
    fields["onu_ip"] = ip.ipAddress;
    fields["onu_netmask"] = ip.netMask;
    fields["onu_mac"] = ip.onuMac;
    fields["onu_id"] = macDigits(ip.onuMac);
    fields["llid"] = epon.txLLId1;
    fields["reg_st"] = epon.state == "Active" ? "1" : "0";
    fields["chipset_vendor_id"] = chip.chipId;
    fields["chipset_ic_ver"] = chip.chipIcData;
    fields["chipset_chip_model"] = chip.chipModel;
    fields["chipset_rev"] = chip.chipRevision;
    fields["onu_vendor_id"] = vendor.vendor;
    fields["onu_model"] = vendor.model;
    fields["onu_hw_ver"] = vendor.hardwareVersion;
    fields["onu_soft_ver"] = vendor.softwareVersion;
    fields["onu_fm_ver"] = firmware;
    fields["capabi_ge_num"] = capability.geNumber;
    fields["capabi_ge_bitmap"] = capability.geBitmap;
    fields["capabi_fe_num"] = capability.feNumber;
    fields["capabi_fe_bitmap"] = capability.feBitmapLsb;
    fields["capabi_pots_num"] = capability.potsNumber;
    fields["capabi_us_que_num"] = capability.usqNumber;
    fields["capabi_max_us_queue"] = capability.maxUsqNumber;
    fields["capabi_ds_que_num"] = capability.dsqNumber;
    fields["capabi_max_ds_queue"] = capability.maxDsqNumber;
    fields["capabi_battery_backup"] = capability.batteryBackup;
    fields["afec_ability"] = fec.fecAbility;
    fields["fec_mode"] = fec.fecMode;

    reply.sendReply(HttpReply::toJson(fields));
}
