#pragma once
// Ce que partagent la validation, son enregistrement et sa reprise. Réservé à platform/.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Empreinte.h"
#include "Validation.h"

namespace vek::validation {

using Description = DescriptionSortie;

struct Entree {
    std::string cible; // chemins complets
    std::string temporaire;
    Description neuf;
    Description ancien;
};

// Ce que porte un nom, au moment où la reprise le regarde.
struct Vu {
    std::uint64_t volume = 0;
    std::uint64_t noeud = 0;
    std::optional<ContenuSortie> contenu;
};

// Ce que porte le nom : rien s'il est libre ; lireContenu : lire aussi son contenu.
std::optional<Vu> Voir(const std::string& chemin, bool lireContenu);
// Vrai si ce que porte un nom est la sortie décrite : même contenu (même identité, pour une
// sortie décrite sans contenu).
bool Correspond(const Description& d, const Vu& v);
// Même identité, contenu différent : la sortie a été modifiée depuis.
bool Modifiee(const Description& d, const Vu& v);

std::string Garage(const std::string& temporaire);
std::string NomSeul(const std::string& chemin);
bool Existe(const std::string& chemin);
// Supprime ce que porte le nom : un fichier, ou un dossier avec ce qu'il contient.
void SupprimerNom(const std::string& chemin);
// Met la sortie du temporaire à la place de la cible ; l'ancienne, s'il y en a une, prend le nom
// temporaire. Appelé une seconde fois, il défait la première. 0 ou un code errno.
int Basculer(SystemeValidation& systeme, const std::string& temporaire, const std::string& cible);

// L'enregistrement : son texte, sa lecture (rien s'il est illisible ou cite un nom qui n'est pas
// une sortie permise et son temporaire exact).
std::string TexteEnregistrement(const std::vector<Entree>& entrees);
std::optional<std::vector<Entree>> LireEnregistrement(const std::string& chemin,
                                                      const std::string& dossier,
                                                      const std::vector<std::string_view>& permis);
// Met l'enregistrement de côté sous NomValidationMiseDeCote (ou le suivant libre) ; rend ce
// nom, vide s'il est resté sous son nom.
std::string MettreDeCote(const std::string& dossier);
// Vrai si un enregistrement du dossier (en cours ou mis de côté) nomme ce temporaire.
bool NommeParUnEnregistrement(const std::string& dossier, std::string_view nom);

} // namespace vek::validation
