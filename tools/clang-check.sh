#!/bin/sh
# Builds with Clang what GCC builds, so portability problems show before a
# Windows user meets them: the portable rules and their tests natively (and
# runs them), and every Win32 source compiled for x86_64 Windows against the
# MinGW-w64 headers (warnings are errors in both).
# Usage: tools/clang-check.sh BUILD_DIR
set -eu
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$root" -B "$build/clang" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/clang" -j "$jobs" --target quorlax_native_tests >/dev/null
"$build/clang/tests/quorlax_native_tests" --gtest_brief=1 | tail -n 1 | sed 's/^/clang native: /'

# The headers the build generates (the version) come from Clang's own build.
generated=$(cd "$build/clang/generated" && pwd)

# Clang takes the C++ library of the MinGW-w64 GCC that links the program.
cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | tail -n 1)

cd "$root"
files=$(git ls-files --cached --others --exclude-standard '*_win.cpp' 'tests/win/*.cpp' 'tests/e2e/*.cpp')
printf '%s\n' $files | xargs -P "$jobs" -n 1 clang++ --target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only \
  -Wall -Wextra -Werror -Wno-missing-field-initializers \
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 \
  -isystem "$cxx" -isystem "$cxx/x86_64-w64-mingw32" -isystem "$cxx/backward" \
  -I"$root" -I"$root/tests" -I"$generated" -I/usr/src/googletest/googletest/include
echo "clang win32: $(printf '%s\n' $files | wc -l) sources compiled without warnings"
