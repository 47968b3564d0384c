# The Debian packages the build, the tests and the packaging need. Source it, then call
# mirufon_install_deps: it installs only what is missing (idempotent) and generates the
# Japanese locale. Never adds the i386 architecture: 32-bit programs cannot run on these
# machines.
mirufon_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
    binutils-mingw-w64-i686 wine64 wine xvfb x11-utils imagemagick fonts-ipafont-gothic
    locales python3
)

# Wine takes the ANSI code page (932) from the Japanese locale and encodes file names through
# it, so that locale must exist on the host, not just be named.
# The greps below read all their input (no -q), so that no pipe ends on SIGPIPE in a script
# that runs with pipefail.
mirufon_generate_locale() {
    if locale -a 2>/dev/null | grep -i '^ja_JP\.utf-\?8$' >/dev/null; then
        return 0
    fi
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen >/dev/null
}

# Installs the missing packages with apt-get (through sudo when not root), then the locale.
mirufon_install_deps() {
    local missing=()
    local package
    for package in "${mirufon_packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep 'install ok installed' >/dev/null; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        mirufon_generate_locale
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null || return 1
    mirufon_generate_locale
}
