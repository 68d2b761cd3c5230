#!/usr/bin/env bash
# Fails when a folder of src/ includes a layer above it, or anything but
# src/gui includes Qt: the layers stay as the house design draws them.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A below=(
  [common]=""
  [platform]="common"
  [lang]="common platform"
  [monitor]="common platform lang"
  [addondb]="common platform lang"
  [autoaddon]="common platform lang addondb"
  [servers]="common platform lang monitor addondb autoaddon"
  [app]="common platform lang monitor addondb autoaddon servers"
  [cli]="common platform lang monitor addondb autoaddon servers app"
  [gui]="common platform lang monitor addondb autoaddon servers app"
  [aaserver]="common platform lang monitor addondb servers"
  [central]="common platform lang monitor servers"
  [setup]="common platform lang monitor addondb autoaddon servers app"
)
problems=0
for folder in src/*/; do
  layer=$(basename "$folder")
  if [ -z "${below[$layer]+known}" ]; then
    echo "check-layers: src/$layer is no known layer: add it to scripts/check-layers.sh" >&2
    problems=$((problems + 1))
    continue
  fi
  while IFS=: read -r file line text; do
    used=$(sed -E 's|.*#include "([a-z]+)/.*|\1|' <<< "$text")
    [ "$used" = "$layer" ] && continue
    if ! grep -qw -- "$used" <<< "${below[$layer]}"; then
      echo "$file:$line: $layer may not include $used: $text" >&2
      problems=$((problems + 1))
    fi
  done < <(grep -rnE '^#include "[a-z]+/' "$folder" || true)
  if [ "$layer" != gui ]; then
    while IFS= read -r hit; do
      echo "$hit: only src/gui may include Qt" >&2
      problems=$((problems + 1))
    done < <(grep -rnE '^#include <Q[A-Za-z]*(/|>)|^#include <qt' "$folder" || true)
  fi
done
[ "$problems" -eq 0 ] || { echo "check-layers: $problems include(s) out of their layer" >&2; exit 1; }
