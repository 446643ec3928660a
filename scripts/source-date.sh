# Sourced by the scripts that write what ships: exports SOURCE_DATE_EPOCH, the one time the
# disk images carry (file, folder and volume dates), so that the same commit gives the same
# bytes on every machine at any hour. Given, it is kept; otherwise it is the date of the last
# commit, and outside git a fixed date.
kit_source_date_epoch() {  # $1: the source root
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH="$(git -C "$1" log -1 --format=%ct 2>/dev/null || true)"
        [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=946684800   # 2000-01-01 00:00:00 UTC
    fi
    export SOURCE_DATE_EPOCH
}
