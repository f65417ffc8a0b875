# Sourced by the scripts that run the simulated unit. The unit mounts its own
# /tmp, /var, /etc, /dev, /sys and /usr/sbin over the host's, hiding a checkout
# that lies below one of them; such a checkout is copied to a folder under
# $HOME and the calling script runs again from there.
relocate_outside_unit_paths() {
    local here script covered home dest
    here=$(pwd -P)
    script=$1
    shift
    for covered in /var /tmp /dev /etc /usr/sbin /sbin /sys; do
        case "$here/" in
        "$covered"/*)
            home=$(cd "${HOME:-/root}" && pwd -P)
            case "$home/" in
            "$covered"/* | /var/* | /tmp/* | /dev/* | /etc/* | /sys/*)
                echo "$script: $here and \$HOME both lie under paths the simulated unit covers;" \
                    "move the checkout elsewhere" >&2
                exit 1 ;;
            esac
            dest="$home/.cache/onu-mgmt/checkout-$(printf '%s' "$here" | md5sum | cut -c1-8)"
            echo "$script: $here lies under $covered, which the simulated unit covers; running from $dest"
            rm -rf "$dest"
            mkdir -p "$dest"
            tar -C "$here" --exclude='./build*' --exclude='./sim/state' -cf - . | tar -C "$dest" -xf -
            exec "$dest/scripts/$script" "$@"
            ;;
        esac
    done
}
