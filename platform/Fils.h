#pragma once
// Fils de travail du moteur : ils cèdent le pas au fil des fenêtres, qui doit traiter ses
// événements à intervalles courts même quand tous les cœurs sont occupés.

namespace vek {

// Baisse un peu la priorité du fil appelant (un fil de travail, jamais celui des fenêtres).
void PrioriteDeFond();

} // namespace vek
