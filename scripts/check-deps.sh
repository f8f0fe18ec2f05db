#!/usr/bin/env bash
# Checks a configured build against the install step: the CMake config file
# found for each <Name>_DIR entry under /usr in BUILD_DIR/CMakeCache.txt must
# belong to a Debian package that scripts/install-deps.sh installs, or to one
# those reach through Depends and Pre-Depends. A package that is on this
# machine only because someone installed it by hand fails here, named, rather
# than at configure time on a fresh machine.
#   check-deps.sh [--packages 'P1 P2 ...'] BUILD_DIR
# --packages replaces the install step's list (for the check's own test).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=()
if [ "${1:-}" = --packages ]; then
  read -r -a packages <<<"${2:?--packages needs a list}"
  shift 2
else
  mapfile -t packages < <("$top/scripts/install-deps.sh" --list)
fi
build=${1:?usage: check-deps.sh [--packages LIST] BUILD_DIR}
cache="$build/CMakeCache.txt"
if [ ! -f "$cache" ]; then
  echo "check-deps: $cache not found; configure the build first" >&2
  exit 2
fi

# The config files, with the cache entry that found each. An entry with no
# config file beside it (a FindXXX include folder, say) is no package's.
configs=()
declare -A entry_of=()
while IFS= read -r line; do
  name=${line%%_DIR:*}
  dir=${line#*=}
  for f in "$dir/${name}Config.cmake" "$dir/${name,,}-config.cmake"; do
    if [ -f "$f" ]; then
      configs+=("$f")
      entry_of[$f]=${name}_DIR
      break
    fi
  done
done < <(grep -E '^[A-Za-z0-9_.+-]+_DIR:[A-Z]+=/usr/' "$cache")

if [ ${#configs[@]} -eq 0 ]; then
  echo "check-deps: no CMake packages under /usr in $cache"
  exit 0
fi

# Owners of each config file, one dpkg call for all; a file reached through a
# symbolic link is looked up again under its real path.
declare -A owners_of=()
parse_owners() {
  local l
  while IFS= read -r l; do
    case $l in diversion\ *) continue ;; esac
    owners_of[/${l#*: /}]=${l%%: /*}
  done
}
parse_owners < <(dpkg -S "${configs[@]}" 2>/dev/null || true)
for f in "${configs[@]}"; do
  if [ -z "${owners_of[$f]:-}" ]; then
    real=$(readlink -f "$f")
    if [ "$real" != "$f" ]; then
      o=$(dpkg -S "$real" 2>/dev/null | grep -v '^diversion ' | head -n1 || true)
      [ -n "$o" ] && owners_of[$f]=${o%%: /*}
    fi
  fi
done

# Everything the install step's packages reach through Depends and
# Pre-Depends, in one call: the packages themselves (unindented lines) and the
# providers listed under a virtual dependency (lines indented by four).
if ! deps=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
              --no-breaks --no-replaces --no-enhances "${packages[@]}" 2>&1); then
  echo "check-deps: apt-cache depends failed:" >&2
  echo "$deps" >&2
  exit 2
fi
declare -A reached=()
while IFS= read -r p; do
  p=${p%:amd64}; p=${p%:any}
  reached[$p]=1
done < <(printf '%s\n' "$deps" | awk '/^[^ <]/ { print $1 } /^    [^ ]/ { print $1 }')

status=0
missing=()
for f in "${configs[@]}"; do
  owners=${owners_of[$f]:-}
  if [ -z "$owners" ]; then
    echo "check-deps: ${entry_of[$f]}: $f belongs to no Debian package" >&2
    status=1
    continue
  fi
  ok=0
  names=()
  IFS=', ' read -r -a list <<<"$owners"
  for o in "${list[@]}"; do
    o=${o%:amd64}
    names+=("$o")
    [ -n "${reached[$o]:-}" ] && ok=1
  done
  if [ $ok -eq 0 ]; then
    echo "check-deps: ${entry_of[$f]}: $f comes from ${names[*]}," \
         "which scripts/install-deps.sh neither installs nor depends on" >&2
    missing+=("${names[0]}")
    status=1
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "check-deps: missing from scripts/install-deps.sh: $(printf '%s\n' "${missing[@]}" | sort -u | paste -sd' ')" >&2
fi
if [ $status -eq 0 ]; then
  echo "check-deps: the ${#configs[@]} CMake packages of $build come from the install step's packages"
fi
exit $status
