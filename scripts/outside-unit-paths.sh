# Sourced by the scripts that run the simulated unit. The unit mounts its own
# folders over the host's device paths (SIM_COVERED_PATHS), hiding a checkout
# that lies below one of them; such a checkout is copied to a folder under
# $HOME and the calling script runs again from there.
source "$(dirname "${BASH_SOURCE[0]}")/../sim/sim-lib.sh"

# True when $1 lies below a path the unit covers.
under_covered_path() {
    local covered
    for covered in $SIM_COVERED_PATHS; do
        case "$1/" in "$covered"/*) return 0 ;; esac
    done
    return 1
}

relocate_outside_unit_paths() {
    local here script home dest
    here=$(pwd -P)
    script=$1
    shift
    under_covered_path "$here" || return 0
    home=$(cd "${HOME:-/root}" && pwd -P)
    if under_covered_path "$home"; then
        echo "$script: $here and \$HOME both lie under paths the simulated unit covers;" \
            "move the checkout elsewhere" >&2
        exit 1
    fi
    dest="$home/.cache/onu-mgmt/checkout-$(printf '%s' "$here" | md5sum | cut -c1-8)"
    echo "$script: $here lies under a path the simulated unit covers; running from $dest"
    rm -rf "$dest"
    mkdir -p "$dest"
    tar -C "$here" --exclude='./build*' --exclude='./sim/state' -cf - . | tar -C "$dest" -xf -
    exec "$dest/scripts/$script" "$@"
}
