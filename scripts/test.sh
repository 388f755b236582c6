#!/usr/bin/env bash
# Builds Lumivane and runs every test: a format check, an optimised build with warnings as
# errors, and the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

jobs=$(nproc)

echo "== format check"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tools tests bench -name '*.cpp' -o -name '*.h')
if [ ${#sources[@]} -gt 0 ]; then
  clang-format --dry-run -Werror "${sources[@]}"
fi

# Warnings are errors here (not for packagers). The main build is optimised (-O3), where
# compilers warn about the most, and the sanitizer build uses the default build type.
echo "== build (Release, warnings as errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIVANE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"

# The sanitizer build uses Clang, so that both compilers' warnings stop the test command.
echo "== sanitizer build (core, Clang, warnings as errors)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVANE_SANITIZE=ON \
  -DLUMIVANE_CORE_ONLY=ON -DLUMIVANE_WERROR=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-asan -j "$jobs"

echo "== tests (sanitizers)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 300

echo "== tests"
ctest --test-dir build -j "$jobs" --output-on-failure --timeout 300
