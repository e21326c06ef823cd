# Timing helpers shared by the comparison scripts (sourced, not run). The caller sets $work
# to a scratch directory.
#   measure NAME COMMAND...   runs COMMAND once and appends its wall and CPU (user + system)
#                             milliseconds to wall[NAME] and cpu[NAME]; stops the script with
#                             the command's error output when it fails
#   median                    the median of the numbers on standard input (spaces or lines)
# SYNC_BEFORE=1 (the default) syncs before each run, so that no command pays for another's
# dirty data.
declare -A wall cpu
measure() {
    local name=$1 start end
    shift
    [[ ${SYNC_BEFORE:-1} == 1 ]] && sync
    start=$(date +%s%N)
    /usr/bin/time -f "%U %S" -o "$work/cpu" "$@" >/dev/null 2>"$work/err" ||
        { echo "failed: $*" >&2; cat "$work/err" >&2; exit 1; }
    end=$(date +%s%N)
    wall[$name]+="$(((end - start) / 1000000)) "
    cpu[$name]+="$(awk '{printf "%d", ($1 + $2) * 1000}' "$work/cpu") "
}
median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
