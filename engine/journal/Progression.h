#pragma once
// Le petit contrat par lequel une passe du moteur rend compte de son avancement.

#include <cstdint>

namespace vek {

// La progression d'une passe, telle que l'appelant la montre : une barre de 0 au maximum (le
// nombre de lignes plus un, dès qu'il est connu) et le compteur des lignes lues. Appelée sur le
// fil de la passe ; rien n'y est obligatoire.
class Progression {
public:
    virtual ~Progression() = default;
    // Le fichier est ouvert, la lecture commence (l'analyse : sa fenêtre de résumé s'ouvre).
    virtual void Debut() {}
    virtual void Maximum(std::uint64_t /*maximum*/) {}
    virtual void Valeur(std::uint64_t /*valeur*/) {}
    virtual void Compteur(std::uint64_t /*lignes*/) {}
    // Faux quand personne ne voit la barre : la passe de comptage, qui ne sert qu'à elle, est
    // alors sautée.
    virtual bool Affichee() const { return true; }
};

} // namespace vek
