# The package's own installed-package test (debian/tests/saver-draws, as autopkgtest runs it) on
# the package that e2e_host_package built, installed in /usr, as an ordinary user.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb, as root (skipped otherwise).
set -u
# shellcheck source=../support/host-session.bash
source "$2"/tests/support/host-session.bash
host_session "$1" velmora-autopkg
tmp=$work/autopkgtest
mkdir -m 0777 "$tmp"
# A copy the user can read: the checkout may sit in a folder only its owner can enter.
install -m 0755 "$2/debian/tests/saver-draws" "$work/saver-draws"
as_user env AUTOPKGTEST_TMP="$tmp" "$work/saver-draws"
