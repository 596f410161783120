#!/usr/bin/env bash
# NOTICE names every package whose code or data went into Quorvane.exe: each library
# and start-up object that the link took in (from the linker's map) and each file
# the resources embed (the OCR-A font), traced to its Debian package. A library
# added to the link without its notice fails here.
# usage: notice-names-linked-parts.sh LINK_MAP RESOURCE_SCRIPT NOTICE
set -euo pipefail
map=$1 rc=$2 notice=$3

mapfile -t parts < <( { grep -oE '/usr/[^ ()]+\.(a|o)' "$map"
                        sed -n 's/.*RCDATA *"\([^"]*\)".*/\1/p' "$rc"; } | xargs -r realpath | sort -u)
[ "${#parts[@]}" -gt 0 ] || { echo "no third-party parts found in $map and $rc: the map is not the linker's"; exit 1; }

# One query for all: "package[, package...]: path" for each part that a package owns.
owners=$(dpkg -S "${parts[@]}" 2>/dev/null || true)
faults=0
for part in "${parts[@]}"; do
  package=$(awk -v path="$part" '{ file = $0; sub(/^[^:]*: /, "", file) } file == path { sub(/[:,].*/, ""); print; exit }' <<<"$owners")
  if [ -z "$package" ]; then
    echo "$part went into Quorvane.exe but belongs to no package: where are its terms?"
    faults=1
    continue
  fi
  # Named as a whole word of its own: "gcc-mingw-w64-x86-64-posix-runtime" does not
  # name "gcc-mingw-w64-x86-64-posix".
  quoted=$(sed 's/[.+]/\\&/g' <<<"$package")
  if ! grep -qE -- "(^|[[:space:],(])$quoted([[:space:],.)]|\$)" "$notice"; then
    echo "$part (package $package) went into Quorvane.exe, but NOTICE does not name $package"
    faults=1
  fi
done
[ "$faults" -eq 0 ] && echo "NOTICE names the packages of all ${#parts[@]} parts linked or embedded"
exit "$faults"
