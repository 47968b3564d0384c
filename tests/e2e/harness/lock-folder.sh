#!/bin/sh
# lock-folder.sh lock|unlock FOLDER: makes a folder unwritable for the programs the end-to-end
# driver starts under Wine, as a folder under Program Files is for a user, or writable again.
# Root writes wherever permissions forbid it: as root the folder is made immutable (or, where
# that is refused, bound read-only onto itself); anyone else takes the write permission away.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
action=$1
folder=$2
if [ "$(id -u)" -ne 0 ]; then
    case $action in
    lock) chmod a-w "$folder" ;;
    unlock) chmod u+w "$folder" ;;
    esac
    exit
fi
case $action in
lock)
    chattr +i "$folder" 2>/dev/null ||
        { mount --bind "$folder" "$folder" && mount -o remount,bind,ro "$folder"; }
    ;;
unlock)
    chattr -i "$folder" 2>/dev/null
    if mountpoint -q "$folder"; then umount "$folder"; fi
    ;;
esac
