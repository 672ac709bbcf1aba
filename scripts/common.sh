# Shared by run.sh, test.sh and .ci/run: install what is missing, then configure and build.

quorvel_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the Debian packages of packages.txt that are not installed yet.
quorvel_install_packages() {
    local wanted=() missing=() installed pkg
    while read -r pkg; do
        case "$pkg" in ''|'#'*) continue ;; esac
        wanted+=("$pkg")
    done < "$quorvel_root/packages.txt"
    # One query for all of them: dpkg-query lists the ones it knows (and complains about the
    # rest on stderr), so a package is missing unless it is listed as installed.
    installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null \
        | awk '$NF == "installed" && $(NF-1) == "ok" {print $1}')
    for pkg in "${wanted[@]}"; do
        grep -qxF "$pkg" <<< "$installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "error: these Debian packages are missing and you are neither root nor have sudo:" >&2
            echo "  ${missing[*]}" >&2
            echo "Install them as root (apt-get install ${missing[*]}) and run this again." >&2
            exit 1
        fi
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
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
