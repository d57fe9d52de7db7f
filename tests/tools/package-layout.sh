#!/usr/bin/env bash
# The distributable package: cmake/MakePackage.cmake run on stand-in deliverables in chosen
# situations, then the package of each build tree given (package/Corvina next to bin/) as
# a user unpacks it. No Wine needed.
#
#   tests/tools/package-layout.sh [--required] [BUILD_DIR ...]
# A build tree without a package is skipped, unless --required came before it (a Windows
# tree checking its own package, which its default build makes).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source_readme=$root/setup/Readme.txt.in
version=2.03
files=(Readme.txt Corvset.exe Corvina.dll CorvinaBar.dll CorvinaPlus.exe Uninstall.exe)
programs=("${files[@]:1}")

passed=0
failed=0
problems=()
problem() { problems+=("$*"); }

# Readme.txt as the user's Notepad sees it: code page 932, CR LF at every line end and
# nowhere else, the source's text with the version filled in.
check_readme() { # readme source
    local readme=$1 source=$2 decoded lines crlf
    if ! decoded=$(iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null | tr -d '\r'); then
        problem "Readme.txt does not decode as code page 932"
        return
    fi
    lines=$(tr -cd '\n' <"$readme" | wc -c)
    crlf=$(grep -c $'\r$' "$readme")
    [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] || problem "Readme.txt: $crlf of $lines line ends are CR LF"
    [ "$(tr -cd '\r' <"$readme" | wc -c)" -eq "$lines" ] || problem "Readme.txt has a CR that ends no line"
    [ "$decoded" = "$(tr -d '\r' <"$source" | sed "s/@CORVINA_PRODUCT_VERSION@/$version/g")" ] ||
        problem "Readme.txt does not read back as its source"
    grep -q 'アンインストール' <<<"$decoded" || problem "Readme.txt lost its Japanese text"
}

# The folder holds exactly the six files, the programs byte for byte as built, and the zip
# lists them under Corvina/ in the installer's order.
check_package() { # package_dir zip bin_dir readme_source
    local dir=$1 zip=$2 bin=$3 name listing
    [ "$(ls -A "$dir" 2>/dev/null | sort)" = "$(printf '%s\n' "${files[@]}" | sort)" ] ||
        problem "package folder holds: $(ls -A "$dir" 2>/dev/null | tr '\n' ' ')"
    for name in "${programs[@]}"; do
        cmp -s "$bin/$name" "$dir/$name" || problem "$name differs from the built one"
    done
    [ -f "$dir/Readme.txt" ] && check_readme "$dir/Readme.txt" "$4"
    listing=$(cmake -E tar tf "$zip" 2>/dev/null)
    [ "$listing" = "$(printf 'Corvina/%s\n' "${files[@]}")" ] ||
        problem "zip lists: $(tr '\n' ' ' <<<"$listing")"
    mkdir -p "$work/unzipped"
    rm -rf "$work/unzipped"/*
    (cd "$work/unzipped" && cmake -E tar xf "$zip" >/dev/null 2>&1)
    for name in "${files[@]}"; do
        cmp -s "$dir/$name" "$work/unzipped/Corvina/$name" || problem "$name in the zip differs"
    done
}

verdict() { # name
    if [ ${#problems[@]} -eq 0 ]; then
        passed=$((passed + 1))
    else
        echo "FAILED: $1"
        printf '    %s\n' "${problems[@]}"
        failed=$((failed + 1))
    fi
    problems=()
}

# Stand-ins of the five programs, each with contents of its own.
mkdir -p "$work/bin"
for name in "${programs[@]}"; do
    printf 'stand-in %s\n' "$name" >"$work/bin/$name"
done

# Readme sources: as committed, with CR LF ends (a Windows checkout), and with a character
# code page 932 has no place for.
tr -d '\r' <"$source_readme" | sed 's/$/\r/' >"$work/crlf.in"
{ cat "$source_readme"; printf 'smile \xf0\x9f\x98\x80\n'; } >"$work/nocp932.in"

# case | readme source | deliverables given | left over from an earlier build | wanted: ok or fails
cases=(
    "as-committed|$source_readme|all|none|ok"
    "crlf-source|$work/crlf.in|all|none|ok"
    "stale-files-go|$source_readme|all|stale|ok"
    "not-in-cp932|$work/nocp932.in|all|none|fails"
    "program-missing|$source_readme|no-uninstall|none|fails"
    "foreign-program|$source_readme|foreign|none|fails"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name readme given leftover want <<<"$entry"
    out=$work/$name
    dir=$out/package/Corvina
    zip=$out/Corvina-$version-x86_64.zip
    mkdir -p "$dir"
    deliverables=$(printf "$work/bin/%s|" "${programs[@]}")
    case $given in
    no-uninstall) deliverables=${deliverables//"$work/bin/Uninstall.exe|"/} ;;
    foreign)
        printf 'other\n' >"$work/bin/Other.dll"
        deliverables+="$work/bin/Other.dll|"
        ;;
    esac
    if [ "$leftover" = stale ]; then
        printf 'old\n' >"$dir/Old.txt"
        printf 'old\n' >"$dir/Readme.txt"
        printf 'old\n' >"$zip"
    fi
    cmake -DREADME_SOURCE="$readme" -DCORVINA_PRODUCT_VERSION=$version \
        -DDELIVERABLES="${deliverables%|}" -DPACKAGE_DIR="$dir" -DZIP="$zip" \
        -P "$root/cmake/MakePackage.cmake" >"$out.log" 2>&1
    rc=$?
    if [ "$want" = ok ]; then
        [ $rc -eq 0 ] || problem "packaging failed: $(tail -n 3 "$out.log")"
        check_package "$dir" "$zip" "$work/bin" "$readme"
    else
        [ $rc -ne 0 ] || problem "packaging succeeded"
        [ ! -e "$zip" ] || problem "a zip was left"
        [ ! -e "$dir/Readme.txt" ] || [ "$given" != all ] || problem "a Readme.txt was left"
    fi
    verdict "$name"
done

required=no
for build in "$@"; do
    if [ "$build" = --required ]; then
        required=yes
        continue
    fi
    if [ ! -d "$build/package/Corvina" ]; then
        if [ $required = yes ]; then
            problem "no package/Corvina"
            verdict "built package in $build"
        else
            echo "no package in $build: not built yet"
        fi
        continue
    fi
    build=$(cd "$build" && pwd)
    zips=("$build"/Corvina-$version-*.zip)
    [ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || problem "zips in $build: ${zips[*]}"
    check_package "$build/package/Corvina" "${zips[0]}" "$build/bin" "$source_readme"
    verdict "built package in $build"
done

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
