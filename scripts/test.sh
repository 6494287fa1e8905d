#!/usr/bin/env bash
# Checks that every include keeps to the layer order and that every source file is as
# clang-format writes it (the tree's .clang-format); builds every layer and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole test suite; compiles
# everything again with clang; both compilers with warnings as errors. Then builds the fuzz
# targets with clang and runs each for a few seconds (docs/fuzzing.md), or says why it cannot.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-layering.sh
./scripts/check-format.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DDORVIX_SANITIZE=ON -DDORVIX_TESTS=ON -DDORVIX_WERROR=ON
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs" --timeout 300

# The second compiler finds what the first lets pass. Compiled and linked only, unoptimised:
# the tests ran above. The benchmarks are built here, as no other pass builds them.
if command -v clang++ >/dev/null 2>&1; then
  cmake -S . -B build-clang -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0" -DDORVIX_WERROR=ON -DDORVIX_TESTS=ON -DDORVIX_BENCH=ON
  cmake --build build-clang -j "$jobs"
else
  echo "note: clang++ (package clang) was not found: the second compiler's build skipped"
fi

# clang links a program with libFuzzer only when its runtime (libclang-rt-*-dev) is installed.
have_libfuzzer() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local probe
  probe=$(mktemp -d)
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
  clang++ -fsanitize=fuzzer "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1
  local status=$?
  rm -rf "$probe"
  return $status
}
if have_libfuzzer; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DDORVIX_FUZZ=ON -DDORVIX_TESTS=OFF
  cmake --build build-fuzz --target dorvix_fuzz -j "$jobs"
  # Each CI run starts from the seeds alone, so that what it finds depends on the code only.
  rm -rf build-fuzz/fuzz-corpus
  ./fuzz/run.sh build-fuzz 5
else
  echo "note: clang++ with its libFuzzer runtime (libclang-rt-14-dev) was not found: fuzz targets skipped"
fi
