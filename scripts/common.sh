# Shared by run.sh, test.sh and .ci/run: install what is missing, then configure and build.
# shellcheck shell=bash

quorvel_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# No step may end the script without a word: whatever fails says what it was and where.
set -o errtrace
trap 'quorvel_step_failed $? "${BASH_SOURCE[0]##*/}" "$LINENO" "$BASH_COMMAND"' ERR
quorvel_step_failed() {
    echo "error: $2, line $3: '$4' failed (exit status $1)" >&2
}

# Installs the Debian packages of packages.txt that are not installed yet.
quorvel_install_packages() {
    local wanted=() pkg
    while read -r pkg; do
        case "$pkg" in ''|'#'*) continue ;; esac
        wanted+=("$pkg")
    done < "$quorvel_root/packages.txt"
    quorvel_install_missing "${wanted[@]}"
}

# quorvel_install_missing <package>...: installs those of the named packages that are missing.
quorvel_install_missing() {
    local wanted=("$@") missing=() installed pkg
    # One query for all of them: dpkg-query lists the ones it knows, complains about the rest on
    # stderr and then exits 1, which is expected here; a package is missing unless it is listed
    # as installed.
    installed=$( { dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null || true; } \
        | awk '$NF == "installed" && $(NF-1) == "ok" {print $1}')
    for pkg in "${wanted[@]}"; do
        grep -qxF "$pkg" <<< "$installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "error: these Debian packages are missing and you are neither root nor have sudo:" >&2
            echo "  ${missing[*]}" >&2
            echo "Install them as root (apt-get install ${missing[*]}) and run this again." >&2
            exit 1
        fi
    fi
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# quorvel_build <build dir> [cmake options...]: configures once, then builds incrementally.
quorvel_build() {
    local dir="$1"; shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$quorvel_root" -B "$dir" -G Ninja "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}

# quorvel_build_program <build dir>: configures once, then builds only the program and the
# files it reads at run time (no tests, no benchmarks).
quorvel_build_program() {
    local dir="$1"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$quorvel_root" -B "$dir" -G Ninja
    fi
    cmake --build "$dir" --parallel "$(nproc)" --target quorvel
}
