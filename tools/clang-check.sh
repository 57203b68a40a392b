#!/bin/sh
# Builds with Clang what GCC builds, so portability problems show before a
# Windows user meets them: the portable rules and their tests natively (and
# runs them), and every Win32 source compiled for x86_64 Windows against the
# MinGW-w64 headers (warnings are errors in both).
# Incremental: the tests run again only when their program was rebuilt, and a
# Win32 source is compiled again only when it, a header it includes or this
# script changed since it last compiled cleanly.
# Usage: tools/clang-check.sh BUILD_DIR
set -eu
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
clang=$build/clang

[ -f "$clang/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$clang" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$clang" -j "$jobs" --target quorlax_native_tests >/dev/null
clang=$(cd "$clang" && pwd)
tests=$clang/tests/quorlax_native_tests
if [ "$clang/native-tests.passed" -nt "$tests" ]; then
  echo "clang native: passed, and not rebuilt since"
else
  rm -f "$clang/native-tests.passed"
  if ! "$tests" --gtest_brief=1 >"$clang/native-tests.log" 2>&1; then
    cat "$clang/native-tests.log"
    exit 1
  fi
  tail -n 1 "$clang/native-tests.log" | sed 's/^/clang native: /'
  touch "$clang/native-tests.passed"
fi

# The headers the build generates (the version) come from Clang's own build.
generated=$clang/generated

# Clang takes the C++ library of the MinGW-w64 GCC that links the program.
cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | tail -n 1)

# One stamp per source, remade by make when the source or anything its
# dependency file names is newer.
check=$clang/win32-check
mkdir -p "$check"
cd "$root"
files=$(git ls-files --cached --others --exclude-standard '*_win.cpp' 'tests/win/*.cpp' 'tests/e2e/*.cpp')
{
  printf 'CHECK = clang++ --target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only'
  printf ' -Wall -Wextra -Werror -Wno-missing-field-initializers'
  printf ' -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601'
  printf ' -isystem %s -isystem %s/x86_64-w64-mingw32 -isystem %s/backward' "$cxx" "$cxx" "$cxx"
  printf ' -I%s -I%s/tests -I%s -I/usr/src/googletest/googletest/include\n' "$root" "$root" "$generated"
  printf 'all:\n'
  for f in $files; do
    stamp=$check/$(printf '%s' "$f" | tr / _).ok
    printf 'all: %s\n%s: %s %s\n' "$stamp" "$stamp" "$root/$f" "$root/tools/clang-check.sh"
    printf '\t@$(CHECK) -MD -MP -MF $@.d -MT $@ %s && touch $@\n' "$root/$f"
  done
  printf -- '-include %s/*.d\n' "$check"
} >"$check/Makefile.new"
mv "$check/Makefile.new" "$check/Makefile"
make -s -f "$check/Makefile" -j "$jobs" all
echo "clang win32: $(printf '%s\n' $files | wc -l) sources compiled without warnings"
