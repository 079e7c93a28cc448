#!/usr/bin/env bash
# Construit le projet et passe tous les tests (preset dev). Usage : ./test.sh [preset]
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-dev}"
./scripts/dependances.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j"$(nproc)"
