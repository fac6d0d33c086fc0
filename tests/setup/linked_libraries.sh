#!/usr/bin/env bash
# Every library that the built program links, and every one the framework loads at run time,
# must come from a package of the [run] section of scripts/packages.txt (or from a package those
# depend on): the run command installs that section only, so a library from [test] alone would
# build here and fail on a learner's machine. Read from the build's own link line.
#   linked_libraries.sh BUILD_DIR PACKAGES_TXT
set -uo pipefail
build="$1"
list="$2"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

section() { # the packages of one section of the list
    awk -v wanted="$1" '
        /^[[:space:]]*(#|$)/ { next }
        /^\[[a-z]+\]$/ { current = substr($0, 2, length($0) - 2); next }
        current == wanted { print $1 }
    ' "$list"
}

# Installed packages that provide a virtual package name, as "virtual package" lines.
provides="$(dpkg-query -W -f='${Package} ${Provides}\n' 2>/dev/null | awk '{
    for (i = 2; i <= NF; i++) { name = $i; sub(/[(,].*/, "", name); if (name != "") print name, $1 } }')"

# The dependency closure of the given packages among the installed ones, one a line.
closure() {
    declare -A seen=()
    local queue=("$@") package depends name
    while [ ${#queue[@]} -gt 0 ]; do
        package="${queue[0]}"; queue=("${queue[@]:1}")
        [ -n "${seen[$package]:-}" ] && continue
        seen[$package]=1
        depends="$(dpkg-query -W -f='${Depends}, ${Pre-Depends}' "$package" 2>/dev/null)" || {
            # A virtual package: follow whatever provides it.
            for name in $(awk -v v="$package" '$1 == v { print $2 }' <<<"$provides"); do queue+=("$name"); done
            continue
        }
        for name in $(tr ',|' '\n\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/:any//' -e 's/[[:space:]]//g'); do
            [ -n "$name" ] && [ -z "${seen[$name]:-}" ] && queue+=("$name")
        done
    done
    printf '%s\n' "${!seen[@]}"
}

# The package that owns a library file (its development link first, then the file it names).
owner() {
    local file="$1" candidate
    for candidate in "$file" "${file/#\/usr\/lib\//\/lib\/}" "$(readlink -f "$file")"; do
        dpkg-query -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 && return 0
    done
    return 1
}

search_dirs=(/usr/lib/x86_64-linux-gnu /usr/lib /lib/x86_64-linux-gnu)
find_library() { # -lNAME or a soname loaded at run time
    local name="$1" dir
    for dir in "${search_dirs[@]}"; do
        for file in "$dir/lib$name.so" "$dir/lib$name.a" "$dir/$name"; do
            [ -e "$file" ] && { echo "$file"; return 0; }
        done
    done
    return 1
}

# The libraries of one target's link line, as files.
linked_files() {
    local target="$1" token
    for token in $(ninja -C "$build" -t commands "$target" | tail -n 1); do
        case "$token" in
            -l*) find_library "${token#-l}" || echo "missing:$token" ;;
            /*.so | /*.so.* | /*.a) echo "$token" ;;
        esac
    done | sort -u
}

# Sonames the framework and qZ open at run time instead of linking them.
loaded_at_run_time=(libX11.so.6 libXext.so.6 libXcursor.so.1 libXinerama.so.1 libXrandr.so.2
                    libXrender.so.1 libjack.so.0)

mapfile -t run_packages < <(section run)
[ ${#run_packages[@]} -gt 0 ] || fail "the list has no [run] section"
declare -A allowed=()
while read -r package; do allowed[$package]=1; done < <(closure "${run_packages[@]}")

# Checks the files given on standard input; prints the ones whose package is not allowed.
not_from_run_list() {
    local file package
    while read -r file; do
        case "$file" in
            missing:*) echo "$file (not found)"; continue ;;
        esac
        package="$(owner "$file")" || { echo "$file (owned by no package)"; continue; }
        [ -n "${allowed[$package]:-}" ] || echo "$file (from $package)"
    done
}

program_libraries="$(linked_files qZ; for soname in "${loaded_at_run_time[@]}"; do
    find_library "$soname" || echo "missing:$soname"; done)"
checked="$(grep -c . <<<"$program_libraries")"
[ "$checked" -ge 10 ] || fail "only $checked libraries found on the program's link line"
bad="$(not_from_run_list <<<"$program_libraries")"
[ -z "$bad" ] || fail "libraries of the program that the run command would not install: $bad"

# The check is not vacuous: the test program links GoogleTest, which only [test] installs.
if ninja -C "$build" -t query tests/qz_tests >/dev/null 2>&1; then
    test_only="$(linked_files tests/qz_tests | grep -i gtest | not_from_run_list)"
    [ -n "$test_only" ] || fail "GoogleTest, linked by the tests, passed as a [run] library"
fi
echo "PASS: $checked libraries of the program all come from the run packages"
