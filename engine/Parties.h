#pragma once
// Le découpage d'un extrait en parties qui se collent une à une (un message Discord, un message
// de forum) : au plus une limite de caractères (points de code Unicode) chacune, ouverte par une
// ligne « Partie N/M ». Les coupures tombent entre les entrées ; une entrée plus longue qu'une
// partie est coupée à une espace, ou entre deux caractères si elle n'en a pas (jamais juste
// après une barre oblique inverse, qui perdrait le signe qu'elle échappe).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Ecriture.h"

namespace vek {

// Le nombre de caractères (points de code) d'un texte UTF-8.
std::size_t CompterCaracteres(std::string_view utf8);

// Les parties d'une sortie écrite par parties (séparées par une ligne vide), chacune avec sa
// ligne d'en-tête.
std::vector<std::string_view> DecouperParties(std::string_view contenu);

class Empaqueteur {
public:
    // En-tête de chaque partie : avant, « N/M », apres.
    Empaqueteur(std::size_t limite, std::string_view avant, std::string_view apres);
    // Le fichier de travail où les parties s'accumulent, nommé d'après la sortie ; faux (raison)
    // s'il ne s'ouvre pas.
    bool Ouvrir(const std::string& cible, std::string& raison);
    // Des entrées UTF-8, chacune finie par « \n », reçues par morceaux quelconques.
    void Recevoir(std::string_view octets);
    // Écrit les parties, en-têtes compris, et supprime le fichier de travail.
    bool Terminer(EcrivainTexte& sortie, std::string& raison);

private:
    void Couper();
    void FinirEntree();
    void Placer(std::string_view entree, std::size_t caracteres);
    void Ecrire(std::string_view octets);

    std::size_t capacite_;
    std::string avant_;
    std::string apres_;
    std::string entree_; // l'entrée en cours de réception
    std::size_t caracteresEntree_ = 0;
    std::size_t caracteresPartie_ = 0;
    bool partieOuverte_ = false;
    std::vector<std::uint64_t> debuts_; // début de chaque partie dans le fichier de travail
    std::uint64_t ecrits_ = 0;
    EcritureAtomique travail_;
};

} // namespace vek
