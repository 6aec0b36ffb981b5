# Sourced by run.sh and test.sh: installs the Debian packages the build needs when missing.
vexa_packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev)
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
