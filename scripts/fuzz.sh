#!/usr/bin/env bash
# Construit les cibles libFuzzer (preset fuzz : clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# et lance chacune pour un temps borné, depuis le corpus de départ du dépôt (tests/fuzz/corpus).
# Les entrées nouvelles vont dans build/fuzz/corpus ; un plantage y laisse son entrée et fait
# échouer le script.
#
#   scripts/fuzz.sh [secondes par cible]   (par défaut : 30, ou VEK_DUREE_FUZZ)
set -euo pipefail
cd "$(dirname "$0")/.."
duree="${1:-${VEK_DUREE_FUZZ:-30}}"
./scripts/dependances.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
for cible in ligne reecriture nettoyage lecteur arguments requete; do
  corpus="build/fuzz/corpus/$cible"
  mkdir -p "$corpus"
  echo "fuzz_$cible : $duree s"
  (cd build/fuzz && "./tests/fuzz/fuzz_$cible" -max_total_time="$duree" -timeout=10 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="corpus/$cible-" \
     "corpus/$cible" "../../tests/fuzz/corpus/$cible") 2>&1 | grep -E "^(#|INFO: Running|stat::number_of_executed_units|==|SUMMARY|artifact)" | tail -n 6
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz_$cible : échec" >&2; exit 1; }
done
