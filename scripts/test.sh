#!/usr/bin/env bash
# Installs what is missing, builds qZ and runs every test headlessly: first the Release build
# (tests, end-to-end tests), then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the run, and last the fuzz targets (built with
# clang), each for a bounded time (QZ_FUZZ_SECONDS, 60 by default), where any crash, report,
# hang or runaway memory fails the run.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/headless.sh"

"$root/scripts/install-deps.sh" run test || exit 1
trap qz_headless_stop EXIT
qz_headless_start || exit 1
qz_jack_running && export QZ_AUDIO_DEVICE_EXPECTED=1

jobs="$(nproc)"
status=0
started=$SECONDS

echo "== Release build"
"$root/scripts/build.sh" release Release -DQZ_BUILD_TESTS=ON -DQZ_BUILD_BENCH=ON || exit 1
echo "   built in $((SECONDS - started)) s"
(cd "$root/build/release" && ctest --output-on-failure --parallel "$jobs" --repeat until-pass:2) || status=1
echo "   release tests done at $((SECONDS - started)) s"

echo "== Sanitizer build"
"$root/scripts/build.sh" asan RelWithDebInfo -DQZ_SANITIZE=ON -DQZ_BUILD_BENCH=OFF || exit 1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:suppressions=$root/tests/sanitizers/asan.supp"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$root/build/asan" && ctest --output-on-failure --parallel "$jobs" --repeat until-pass:2 -LE no-sanitizer) || status=1
echo "   sanitizer tests done at $((SECONDS - started)) s"

echo "== Fuzz build"
"$root/scripts/build.sh" fuzz RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQZ_FUZZ=ON || exit 1
echo "   built at $((SECONDS - started)) s"
"$root/scripts/fuzz.sh" "$root/build/fuzz" "${QZ_FUZZ_SECONDS:-60}" || status=1
echo "   fuzzing done at $((SECONDS - started)) s"

exit $status
