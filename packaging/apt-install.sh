#!/usr/bin/env bash
# Installs Debian packages without questions. A mirror in the middle of a
# sync makes `apt-get update` fail on one index now and then: it is tried
# again a few times, and an install that succeeds on the indexes it did get
# is good enough; only an install that keeps failing (APT_TRIES times, 4
# unless said) fails the caller.
set -uo pipefail
[ $# -gt 0 ] || exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
for try in $(seq "${APT_TRIES:-4}"); do
  for update in 1 2 3; do
    $sudo apt-get update -q </dev/null && break
    [ $update = 3 ] && break
    echo "apt-get update failed (try $update): again in $((update * 10)) s"
    sleep $((update * 10))
  done
  $sudo apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "$@" </dev/null && exit 0
  [ "$try" = "${APT_TRIES:-4}" ] && break
  echo "apt-get install failed (try $try): again in $((try * 30)) s"
  sleep $((try * 30))
done
echo "could not install: $*"
exit 1
