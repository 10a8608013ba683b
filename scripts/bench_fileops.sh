#!/bin/sh
# Times the tree removal and the wildcard deletion under Wine beside the
# system's own "rd /s /q" and "del /q" on identical trees, at two sizes.
#
#   scripts/bench_fileops.sh [win64 build dir]
#
# The build dir must hold tests/e2e/tools/bench_fileops.exe (x86_64 build).
# A private Wine prefix (BENCH_WINEPREFIX, default /tmp/seldunax-bench-prefix)
# is created on first use. BENCH_RESTART=0 leaves out the yardstick that
# searches afresh after every removal (it is slow on big directories);
# BENCH_DIRS and BENCH_MATCHES change the first size (100 and 5000).
#
# Every figure is one Wine process in milliseconds, process start included:
# its wall time, and the processor time it and the wineserver spent; "net"
# subtracts an empty run of the same program (its start-up). Processor time
# is the fairer figure on a machine that is busy with other work.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/win64}
exe=$build/tests/e2e/tools/bench_fileops.exe
[ -f "$exe" ] || { echo "no $exe: build the x86_64 tree first" >&2; exit 1; }

export WINEPREFIX=${BENCH_WINEPREFIX:-/tmp/seldunax-bench-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
restart=${BENCH_RESTART:-1}
# The first size: BENCH_DIRS directories of 100 files, BENCH_MATCHES matches.
base_dirs=${BENCH_DIRS:-100}
base_matches=${BENCH_MATCHES:-5000}

if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One server for the whole run, so that every process starts warm.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

root=$WINEPREFIX/drive_c/bench
rm -rf "$root"
mkdir -p "$root"
cp "$exe" "$root/bench_fileops.exe"

# make_tree DIR DIRS FILES: DIRS subdirectories of FILES files each.
make_tree() {
  python3 - "$1" "$2" "$3" <<'PY'
import os, sys
top, dirs, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for d in range(dirs):
    sub = os.path.join(top, "DIR%04d" % d)
    os.makedirs(sub)
    for f in range(files):
        with open(os.path.join(sub, "FILE%05d.DAT" % f), "w") as out:
            out.write("bench data\r\n")
PY
}

# make_flat DIR MATCHES: MATCHES .TMP files and a tenth as many .KEP files
# that the pattern must leave alone.
make_flat() {
  python3 - "$1" "$2" <<'PY'
import os, sys
top, matches = sys.argv[1], int(sys.argv[2])
os.makedirs(top)
for f in range(matches):
    with open(os.path.join(top, "F%06d.TMP" % f), "w") as out:
        out.write("bench data\r\n")
for f in range(matches // 10):
    with open(os.path.join(top, "K%06d.KEP" % f), "w") as out:
        out.write("keep\r\n")
PY
}

now_ms() { date +%s%N | cut -c1-13; }

# The prefix's wineserver: the process whose working directory is the
# prefix's server directory. Much of a file operation's work is done there.
server_pid() {
  want=$(stat -c 'server-%d-%i' "$WINEPREFIX" |
         awk -F- '{ printf "server-%x-%x", $2, $3 }')
  for link in /proc/[0-9]*/cwd; do
    case $(readlink "$link" 2>/dev/null) in
      */$want) pid=${link#/proc/}; echo "${pid%/cwd}"; return ;;
    esac
  done
}
server_ticks() { awk '{ print $14 + $15 }' "/proc/$server/stat"; }
hz=$(getconf CLK_TCK)

# timed NAME command...: runs the command; sets NAME_wall to its wall time
# and NAME_cpu to the processor time of the program and of the wineserver
# (user and system), both in ms. The machine may be busy with other work;
# processor time is the steadier figure then.
timed() {
  name=$1; shift
  s0=$(server_ticks)
  t0=$(now_ms)
  /usr/bin/time -f '%U %S' -o "$root/last.time" "$@" >"$root/last.out" \
    2>&1 || true
  t1=$(now_ms)
  s1=$(server_ticks)
  cpu=$(awk -v s="$((s1 - s0))" -v hz="$hz" \
        '{ printf "%d", ($1 + $2) * 1000 + s * 1000 / hz }' "$root/last.time")
  eval "${name}_wall=$((t1 - t0)) ${name}_cpu=$cpu"
}

control() {  # control NAME SECTION VALUE: a one-entry control file
  printf '[%s]\r\n1=%s\r\n' "$2" "$3" >"$root/$1.ini"
}

check_gone() {  # the tree must be gone
  if [ -e "$1" ]; then echo "FAILED: $1 still there" >&2; exit 1; fi
}
check_kept() {  # only the .KEP files may be left
  left=$(find "$1" -name '*.TMP' | wc -l)
  kept=$(find "$1" -name '*.KEP' | wc -l)
  if [ "$left" -ne 0 ] || [ "$kept" -ne "$2" ]; then
    echo "FAILED: $1 holds $left .TMP and $kept .KEP files" >&2; exit 1
  fi
}

cd "$root"
wine cmd /c rem >/dev/null 2>&1
server=$(server_pid)
[ -n "$server" ] || { echo "wineserver of $WINEPREFIX not found" >&2; exit 1; }
timed base_ours wine bench_fileops.exe none
timed base_cmd wine cmd /c rem
echo "start-up (wall/cpu ms): bench_fileops $base_ours_wall/$base_ours_cpu," \
     "cmd $base_cmd_wall/$base_cmd_cpu"
printf '%-36s %8s %8s %8s %8s\n' "run" "wall" "net wall" "cpu" "net cpu"

report() {  # report LABEL RUN BASE: one line, start-up subtracted for "net"
  eval "w=\$${2}_wall c=\$${2}_cpu bw=\$${3}_wall bc=\$${3}_cpu"
  printf '%-36s %8d %8d %8d %8d\n' "$1" "$w" "$((w - bw))" "$c" "$((c - bc))"
}
ratio() {  # ratio A B BASE_A BASE_B: net cpu of A over net cpu of B
  eval "a=\$${1}_cpu b=\$${2}_cpu ba=\$${3}_cpu bb=\$${4}_cpu"
  awk -v a="$((a - ba))" -v b="$((b - bb))" \
      'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'
}

for scale in 1 2; do
  dirs=$((base_dirs * scale)); files=100; matches=$((base_matches * scale))
  label="$((dirs * files)) files, $dirs dirs"

  rm -rf "$root"/tree_* "$root"/m_*
  make_tree "$root/tree_ours" $dirs $files
  make_tree "$root/tree_cmd" $dirs $files
  control tree deltree 'C:\bench\tree_ours'
  timed t_ours wine bench_fileops.exe deltree 'C:\bench\tree.ini'
  check_gone "$root/tree_ours"
  timed t_cmd wine cmd /c rd /s /q 'C:\bench\tree_cmd'
  check_gone "$root/tree_cmd"
  report "deltree  $label" t_ours base_ours
  report "rd /s /q $label" t_cmd base_cmd
  if [ "$restart" = 1 ]; then
    make_tree "$root/tree_re" $dirs $files
    timed t_re wine bench_fileops.exe restart-tree 'C:\bench\tree_re'
    check_gone "$root/tree_re"
    report "(restarting) $label" t_re base_ours
  fi
  echo "  deltree / rd, net cpu: $(ratio t_ours t_cmd base_ours base_cmd)"

  label="$matches matches"
  make_flat "$root/m_ours" $matches
  make_flat "$root/m_cmd" $matches
  control mult multdel 'C:\bench\m_ours\*.TMP'
  timed m_ours wine bench_fileops.exe multdel 'C:\bench\mult.ini'
  check_kept "$root/m_ours" $((matches / 10))
  timed m_cmd wine cmd /c del /q 'C:\bench\m_cmd\*.TMP'
  check_kept "$root/m_cmd" $((matches / 10))
  report "multdel  $label" m_ours base_ours
  report "del /q   $label" m_cmd base_cmd
  if [ "$restart" = 1 ]; then
    make_flat "$root/m_re" $matches
    timed m_re wine bench_fileops.exe restart-multdel 'C:\bench\m_re\*.TMP'
    check_kept "$root/m_re" $((matches / 10))
    report "(restarting) $label" m_re base_ours
  fi
  echo "  multdel / del, net cpu: $(ratio m_ours m_cmd base_ours base_cmd)"
done
rm -rf "$root"
