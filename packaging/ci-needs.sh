#!/usr/bin/env bash
# Installs, without questions, the Debian packages the build, the fuzz
# targets, the manual-page test and the package check need when any is missing.
set -euo pipefail
missing=()
need() { command -v "$1" >/dev/null 2>&1 || missing+=("$2"); }
need groff groff-base
need gzip gzip
need file file
need dpkg-shlibdeps dpkg-dev
need lintian lintian
# The endgame tables' probing library and Debian's 3-men tables.
[ -f /usr/include/gtb-probe.h ] || missing+=(libgaviotatb-dev)
[ -d /usr/share/gaviotatb/gtb4 ] || missing+=(gaviotatb)
# The fuzz targets: clang 14 and its libFuzzer runtime.
fuzz_probe=$(mktemp -d)
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$fuzz_probe/probe.cpp"
clang++-14 -fsanitize=fuzzer "$fuzz_probe/probe.cpp" -o "$fuzz_probe/probe" >/dev/null 2>&1 ||
  missing+=(clang-14 libclang-rt-14-dev)
rm -rf "$fuzz_probe"
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing ${missing[*]}"
bash "$(dirname "$0")/apt-install.sh" "${missing[@]}"
