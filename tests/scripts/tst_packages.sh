#!/usr/bin/env bash
# shellcheck disable=SC2016  # the stubs' own variables expand when the stubs run
# The package step of run.sh and test.sh on a simulated machine: dpkg-query knows only some of
# packages.txt (and, like the real one, complains on stderr and exits 1 about the rest); apt-get,
# sudo, cmake and ctest only record how they were called. The real entry scripts run, with their
# own shell options, from a copy of the tree. Usage: tst_packages.sh <project root>
set -u
src=$1
T=$(mktemp -d -t quorvel-packages.XXXXXX); trap 'rm -rf "$T"' EXIT
mkdir -p "$T/root/scripts" "$T/root/build" "$T/bin"
cp "$src/run.sh" "$src/test.sh" "$src/packages.txt" "$T/root/"
cp "$src/scripts/common.sh" "$T/root/scripts/"
for tool in bash env dirname awk grep nproc; do ln -s "$(command -v "$tool")" "$T/bin/$tool"; done
cat > "$T/bin/dpkg-query" <<'SH'
#!/bin/sh
rc=0
for arg in "$@"; do
    case "$arg" in -*) continue ;; esac
    if grep -qxF "$arg" "$FAKE_INSTALLED"; then echo "$arg install ok installed"
    else echo "dpkg-query: no packages found matching $arg" >&2; rc=1; fi
done
exit $rc
SH
for tool in apt-get cmake ctest sudo; do
    printf '#!/bin/sh\necho "%s $*" >> "$FAKE_LOG"\n' "$tool" > "$T/bin/$tool"
done
echo '[ "$1" = --build ] && [ -n "${FAKE_CMAKE_FAILS:-}" ] && exit 3; exit 0' >> "$T/bin/cmake"
echo 'exec "$@"' >> "$T/bin/sudo"
printf '#!/bin/sh\necho "${FAKE_UID:-0}"\n' > "$T/bin/id"
chmod +x "$T/bin/"*

all=$(grep -vE '^\s*(#|$)' "$src/packages.txt")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run <script> <uid> <missing packages...>: runs the script with those packages missing.
run() {
    local script=$1 uid=$2; shift 2
    grep -vxF -f <(printf '%s\n' "$@" "") <<< "$all" > "$T/installed"
    : > "$T/log"
    out=$(cd "$T/root" && env -i PATH="$T/bin" HOME="$T" FAKE_INSTALLED="$T/installed" \
        FAKE_LOG="$T/log" FAKE_UID="$uid" FAKE_CMAKE_FAILS="${cmake_fails:-}" "./$script" 2>&1)
    rc=$?
}

second=$(sed -n 2p <<< "$all"); last=$(tail -1 <<< "$all")
for script in run.sh test.sh; do
    # Root on a machine missing two packages: exactly those are installed, then the build goes on.
    run "$script" 0 "$second" "$last"
    grep -q "Installing missing Debian packages: $second $last\$" <<< "$out" \
        || fail "$script does not name the missing packages: $out"
    grep -qx "apt-get install -y -qq --no-install-recommends $second $last" "$T/log" \
        || fail "$script did not install exactly the missing packages: $(cat "$T/log")"
    grep -q '^cmake --build' "$T/log" || fail "$script stopped after installing (exit $rc): $out"
    if [ "$script" = test.sh ]; then
        grep -q '^ctest' "$T/log" || fail "test.sh did not run the tests (exit $rc): $out"
    else
        grep -qi 'no display' <<< "$out" || fail "run.sh did not reach the display check: $out"
    fi

    # A user with sudo installs through it.
    run "$script" 1000 "$last"
    grep -q "^sudo .*apt-get install -y -qq --no-install-recommends $last\$" "$T/log" \
        || fail "$script as a user did not install through sudo: $(cat "$T/log")"

    # A user without sudo is told which packages to install, and nothing else happens.
    mv "$T/bin/sudo" "$T/sudo"
    run "$script" 1000 "$second"
    mv "$T/sudo" "$T/bin/sudo"
    [ "$rc" -ne 0 ] || fail "$script without sudo exited 0"
    if ! grep -q "neither root nor have sudo" <<< "$out" || ! grep -q "apt-get install $second" <<< "$out"; then
        fail "$script without sudo does not name the package: $out"
    fi
    [ ! -s "$T/log" ] || fail "$script without sudo went on: $(cat "$T/log")"

    # Every package present: nothing is installed.
    run "$script" 0
    ! grep -q apt-get "$T/log" || fail "$script installed with every package present: $(cat "$T/log")"
    grep -q '^cmake --build' "$T/log" || fail "$script with every package did not build (exit $rc): $out"

    # A failing step says which command failed.
    cmake_fails=1 run "$script" 0
    if [ "$rc" -eq 0 ] || ! grep -q "error: common.sh, line [0-9]*: 'cmake --build" <<< "$out"; then
        fail "$script hid a failed build (exit $rc): $out"
    fi
done
[ "$failures" -eq 0 ] && echo "package step: all cases pass"
exit "$failures"
