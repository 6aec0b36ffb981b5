# Sourced by run.sh and test.sh: installs the Debian packages the build needs when missing.
vexa_packages=(cmake g++ make ninja-build libgtest-dev libgmock-dev libbenchmark-dev clang
  clang-format libclang-rt-14-dev qt6-base-dev qt6-translations-l10n libqscintilla2-qt6-dev
  fonts-liberation locales ccache mold)
vexa_missing=()
for p in "${vexa_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || vexa_missing+=("$p")
done
if [ ${#vexa_missing[@]} -gt 0 ]; then
  echo "Installing: ${vexa_missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q
  $sudo_cmd apt-get install -y -q "${vexa_missing[@]}"
fi

# The IDE's tests run once under a German locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the locale de_DE.UTF-8"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi

# Ninja keeps all cores busy where make's recursion leaves some idle. A build folder keeps
# the generator it was made with: CMake reads this only for a new one.
if [ -z "${CMAKE_GENERATOR:-}" ] && command -v ninja >/dev/null 2>&1; then
  export CMAKE_GENERATOR=Ninja
fi
