# Shared by the launcher, reset and boot of the simulated unit (sourced, bash).

SIM_HOME=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
SIM_IMAGE="$SIM_HOME/image"
# The unit's own files outside its programs (default configuration, the web
# server's setup), as installed: the image lays them down with its own parts.
SIM_ROOTFS=$(cd "$SIM_HOME/../rootfs" && pwd -P)

# The host paths the unit covers: bound to folders of its state, or overlaid
# with the stand-ins and the unit's changes. The unit's own folders (state,
# build, sim/) must lie outside every one of them.
SIM_BOUND_PATHS="/var /tmp /dev /sys/devices/platform /sys/class"
SIM_OVERLAID_PATHS="/etc /usr/sbin /sbin"
SIM_COVERED_PATHS="$SIM_BOUND_PATHS $SIM_OVERLAID_PATHS"

# Driver command nodes: write-only like their sysfs originals, which is how the
# preloaded model (i2c_model.c) knows to keep every text written to them.
SIM_COMMAND_NODES="tpm/cfg_mngt/vesk_cmd tpm/cfg_traffic/rate_limit_if_set neta/switch/reg_w"
SIM_FLASH_PARTITIONS="mtd1 mtd2 mtd3"
# Parts of the state that no device path shows: boot environment,
# transceiver memory, the PON state that clish keeps.
SIM_PRIVATE_PARTS="u-boot i2c-0 clish"

sim_die() {
    echo "onu-sim: $*" >&2
    exit 1
}

sim_clear_dir() {
    find "${1:?}" -mindepth 1 -delete
}

# Brings a state folder back to the image. The targets are the folders that
# stand for /var, /tmp, /etc, /sys/devices/platform and /dev: inside the unit
# the device paths themselves, so that every mount stays in place. The flash
# partitions' sysfs folder (/sys/class) is refilled in place too.
sim_restore() {
    local state=${1:?} var=${2:?} tmp=${3:?} etc=${4:?} platform=${5:?} dev=${6:?}
    local name names=() nodes=() partitions=() parts=()
    sim_clear_dir "$var"
    sim_clear_dir "$tmp"
    sim_clear_dir "$platform"
    sim_clear_dir "$state/log"
    for name in "$SIM_ROOTFS/etc/"*; do
        names+=("$etc/${name##*/}")
    done
    for name in $SIM_PRIVATE_PARTS; do
        parts+=("$state/$name")
    done
    rm -rf "${names[@]}" "${parts[@]}"
    cp -R "$SIM_ROOTFS/var/." "$SIM_IMAGE/var/." "$var/"
    cp -R "$SIM_ROOTFS/etc/." "$etc/"
    cp -R "$SIM_IMAGE/sys/devices/platform/." "$platform/"
    mkdir -p "$state/sys/class"
    sim_clear_dir "$state/sys/class"
    cp -R "$SIM_IMAGE/sys/class/." "$state/sys/class/"
    for name in $SIM_PRIVATE_PARTS; do
        cp -R "$SIM_IMAGE/$name" "$state/"
    done
    for name in $SIM_COMMAND_NODES; do
        nodes+=("$platform/$name")
    done
    chmod 0200 "${nodes[@]}"
    for name in $SIM_FLASH_PARTITIONS; do
        : >"$dev/$name"
    done
}

sim_overlay_at() {
    awk -v at="$1" '$5 == at { for (i = 6; i < NF; ++i) if ($i == "-") { found = $(i + 1) == "overlay"; break } }
                    END { exit !found }' /proc/self/mountinfo
}

# True only inside the unit whose state folder is $1: every device path is
# backed by it, so nothing done there can reach the host's files.
sim_inside_unit() {
    local state=$1 path
    [ -n "$state" ] || return 1
    for path in $SIM_BOUND_PATHS; do
        [ "$path" -ef "$state$path" ] || return 1
    done
    for path in $SIM_OVERLAID_PATHS; do
        # /sbin may be the host's link to /usr/sbin, covered with it.
        sim_overlay_at "$path" || { [ "$path" = /sbin ] && [ /sbin -ef /usr/sbin ]; } || return 1
    done
}
