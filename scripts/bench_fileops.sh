#!/bin/sh
# Times the tree removal and the wildcard deletion under Wine beside the
# system's own "rd /s /q" and "del /q" on identical trees, at two sizes.
#
#   scripts/bench_fileops.sh [win64 build dir]
#
# The build dir must hold tests/e2e/tools/bench_fileops.exe (x86_64 build).
# A private Wine prefix (BENCH_WINEPREFIX, default /tmp/seldunax-bench-prefix)
# is created on first use. BENCH_RESTART=0 leaves out the yardstick that
# searches afresh after every removal (it is slow on big directories: run
# once, at the first size only; BENCH_RESTART=2 at both sizes).
# BENCH_DIRS and BENCH_MATCHES change the first size (100 and 5000);
# BENCH_REPEAT (3) is how many runs of each measure give the fastest.
#
# Every figure is one Wine process in milliseconds, process start included:
# its wall time, and the processor time it and the wineserver spent; "net"
# subtracts an empty run of the same program (its start-up). Each is the
# fastest of BENCH_REPEAT runs on a freshly made tree. Processor time is the
# fairer figure on a machine that is busy with other work.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/win64}
exe=$build/tests/e2e/tools/bench_fileops.exe
[ -f "$exe" ] || { echo "no $exe: build the x86_64 tree first" >&2; exit 1; }

export WINEPREFIX=${BENCH_WINEPREFIX:-/tmp/seldunax-bench-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
restart=${BENCH_RESTART:-1}
repeat=${BENCH_REPEAT:-3}
# The first size: BENCH_DIRS directories of 100 files, BENCH_MATCHES matches.
base_dirs=${BENCH_DIRS:-100}
base_matches=${BENCH_MATCHES:-5000}

if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
root=$WINEPREFIX/drive_c/bench
store=
# One server for the whole run, so that every process starts warm.
wineserver -p
trap 'wineserver -k 2>/dev/null || true; rm -rf "$root" ${store:+"$store"}' \
  EXIT

# The trees live in memory (BENCH_TMPFS, default /dev/shm, "" for the
# prefix's own disk), so that the figures show the programs' work rather
# than the disk's, which other work on the machine shares.
tmpfs=${BENCH_TMPFS-/dev/shm}
rm -rf "$root"
if [ -n "$tmpfs" ] && [ -d "$tmpfs" ]; then
  store=$(mktemp -d "$tmpfs/seldunax-bench.XXXXXX")
  ln -s "$store" "$root"
else
  store=
  mkdir -p "$root"
fi
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

# measure NAME SETUP CHECK command...: REPEAT runs, each after SETUP (and
# a sync) and checked by CHECK; NAME_wall and NAME_cpu become the fastest.
measure() {
  mname=$1 msetup=$2 mcheck=$3; shift 3
  best_wall= best_cpu=
  i=0
  while [ $i -lt "$repeat" ]; do
    i=$((i + 1))
    eval "$msetup"
    sync
    timed one "$@"
    eval "$mcheck"
    if [ -z "$best_wall" ] || [ "$one_wall" -lt "$best_wall" ]; then
      best_wall=$one_wall
    fi
    if [ -z "$best_cpu" ] || [ "$one_cpu" -lt "$best_cpu" ]; then
      best_cpu=$one_cpu
    fi
  done
  eval "${mname}_wall=$best_wall ${mname}_cpu=$best_cpu"
}

report() {  # report LABEL RUN BASE: one line, start-up subtracted for "net"
  eval "w=\$${2}_wall c=\$${2}_cpu bw=\$${3}_wall bc=\$${3}_cpu"
  printf '%-34s %8d %8d %8d %8d\n' "$1" "$w" "$((w - bw))" "$c" "$((c - bc))"
}
ratio() {  # ratio A B BASE_A BASE_B KIND: net KIND (wall, cpu) of A over B
  eval "a=\$${1}_$5 b=\$${2}_$5 ba=\$${3}_$5 bb=\$${4}_$5"
  awk -v a="$((a - ba))" -v b="$((b - bb))" \
      'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'
}

cd "$root"
wine cmd /c rem >/dev/null 2>&1
server=$(server_pid)
[ -n "$server" ] || { echo "wineserver of $WINEPREFIX not found" >&2; exit 1; }
measure base_ours : : wine bench_fileops.exe none
measure base_cmd : : wine cmd /c rem
echo "best of $repeat runs; ms; start-up (wall/cpu): bench_fileops" \
     "$base_ours_wall/$base_ours_cpu, cmd $base_cmd_wall/$base_cmd_cpu"
printf '%-34s %8s %8s %8s %8s\n' "run" "wall" "net wall" "cpu" "net cpu"

control tree deltree 'C:\bench\tree'
control mult multdel 'C:\bench\flat\*.TMP'
for scale in 1 2; do
  dirs=$((base_dirs * scale)); files=100; matches=$((base_matches * scale))
  tree_setup="rm -rf '$root/tree'; make_tree '$root/tree' $dirs $files"
  flat_setup="rm -rf '$root/flat'; make_flat '$root/flat' $matches"
  tree_check="check_gone '$root/tree'"
  flat_check="check_kept '$root/flat' $((matches / 10))"

  label="$((dirs * files)) files, $dirs dirs"
  measure t_ours "$tree_setup" "$tree_check" \
    wine bench_fileops.exe deltree 'C:\bench\tree.ini'
  measure t_cmd "$tree_setup" "$tree_check" \
    wine cmd /c rd /s /q 'C:\bench\tree'
  report "deltree  $label" t_ours base_ours
  report "rd /s /q $label" t_cmd base_cmd
  if [ "$restart" -ge "$scale" ]; then
    repeat_saved=$repeat repeat=1
    measure t_re "$tree_setup" "$tree_check" \
      wine bench_fileops.exe restart-tree 'C:\bench\tree'
    repeat=$repeat_saved
    report "(restarting, 1 run) $label" t_re base_ours
  fi
  echo "  deltree / rd (net): wall $(ratio t_ours t_cmd base_ours base_cmd \
wall), cpu $(ratio t_ours t_cmd base_ours base_cmd cpu)"

  label="$matches matches"
  measure m_ours "$flat_setup" "$flat_check" \
    wine bench_fileops.exe multdel 'C:\bench\mult.ini'
  measure m_cmd "$flat_setup" "$flat_check" \
    wine cmd /c del /q 'C:\bench\flat\*.TMP'
  report "multdel  $label" m_ours base_ours
  report "del /q   $label" m_cmd base_cmd
  if [ "$restart" -ge "$scale" ]; then
    repeat_saved=$repeat repeat=1
    measure m_re "$flat_setup" "$flat_check" \
      wine bench_fileops.exe restart-multdel 'C:\bench\flat\*.TMP'
    repeat=$repeat_saved
    report "(restarting, 1 run) $label" m_re base_ours
  fi
  echo "  multdel / del (net): wall $(ratio m_ours m_cmd base_ours base_cmd \
wall), cpu $(ratio m_ours m_cmd base_ours base_cmd cpu)"
  eval "t_ours_wall_$scale=$t_ours_wall t_ours_cpu_$scale=$t_ours_cpu"
  eval "m_ours_wall_$scale=$m_ours_wall m_ours_cpu_$scale=$m_ours_cpu"
done

growth() {  # growth NAME KIND: net KIND at 2x over net KIND at 1x
  eval "one=\$${1}_${2}_1 two=\$${1}_${2}_2 base=\$base_ours_$2"
  awk -v a="$((two - base))" -v b="$((one - base))" \
      'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'
}
echo "2x work / 1x work (net): deltree wall $(growth t_ours wall)," \
     "cpu $(growth t_ours cpu); multdel wall $(growth m_ours wall)," \
     "cpu $(growth m_ours cpu)"
