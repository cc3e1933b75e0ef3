#!/usr/bin/env bash
# Regenerates docs/screenshots/: plays docs/screenshots/tour.scn with the
# replay driver (headless, virtual time) and keeps one picture per screen.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
replay="$build/tools/replay/quorvel-replay"
[ -x "$replay" ] || { echo "screenshots: build quorvel-replay first ($replay)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp docs/screenshots/tour.scn "$work/"
QT_QPA_PLATFORM=offscreen "$replay" "$work/tour.scn" "$work/out"

keep() { cp "$work/out/$1.png" "docs/screenshots/$2.png"; }
keep title-frmTitle title
keep menu-frmMenu menu
keep records-frmRecord records
keep options-frmOption options
keep zone-frmZone zone
keep stage-frmStage stage
keep stage2x-frmStage stage-2x
keep results-frmResults results
keep nentry-frmNentry name-entry
keep certificate-frmCertif certificate
echo "screenshots: written to docs/screenshots/"
