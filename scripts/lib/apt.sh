# Sourced by the scripts that install Debian packages: apt_get runs apt-get as root (through sudo
# when needed), without questions and quietly, waiting up to 10 minutes for another apt to finish.
apt_get() {
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@" >/dev/null
}
