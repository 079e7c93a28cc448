#pragma once
// Le découpage d'un extrait en parties qui se collent une à une (un message Discord, un message
// de forum) : au plus une limite de caractères (points de code Unicode) chacune, ouverte par une
// ligne « Partie N/M » quand il y en a plusieurs (une partie seule n'a pas d'en-tête). Les coupures
// tombent entre les entrées ; une entrée plus longue qu'une partie est coupée à une espace, ou
// entre deux caractères si elle n'en a pas (jamais juste après une barre oblique inverse, qui
// perdrait le signe qu'elle échappe).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Ecriture.h"

namespace vek {

// Le nombre de caractères (points de code) d'un texte UTF-8.
std::size_t CompterCaracteres(std::string_view utf8);

// Les parties d'une sortie écrite par parties (séparées par une ligne vide), chacune avec sa
// ligne d'en-tête s'il y en a plusieurs.
std::vector<std::string_view> DecouperParties(std::string_view contenu);

// Les parties s'accumulent en mémoire tant qu'elles tiennent dans un plafond, puis dans un
// fichier de travail : un extrait ordinaire s'écrit d'un seul jet, un très grand passe une fois
// de plus par le disque (le nombre de parties, dans chaque en-tête, n'est connu qu'à la fin).
class Empaqueteur {
public:
    static constexpr std::size_t PlafondParDefaut = std::size_t{16} << 20; // octets
    // En-tête de chaque partie : avant, « N/M », apres.
    Empaqueteur(std::size_t limite, std::string_view avant, std::string_view apres,
                std::size_t plafondMemoire = PlafondParDefaut);
    // La sortie d'après laquelle se nomme le fichier de travail (ouvert seulement si le
    // plafond est dépassé).
    void Nommer(const std::string& cible) { cible_ = cible; }
    // Des entrées UTF-8, chacune finie par « \n », reçues par morceaux quelconques.
    void Recevoir(std::string_view octets);
    // Écrit les parties, en-têtes compris, et supprime le fichier de travail ; faux (raison) si
    // celui-ci n'a pas pu s'écrire ou se relire.
    bool Terminer(EcrivainTexte& sortie, std::string& raison);

private:
    void Couper();
    void FinirEntree();
    void Placer(std::string_view entree, std::size_t caracteres);
    void Ecrire(std::string_view octets);
    void Deverser(std::string_view octets); // au-delà du plafond : dans le fichier de travail
    bool Recopier(EcrivainTexte& sortie, std::FILE* f, std::vector<char>& tampon,
                  std::uint64_t debut, std::uint64_t fin);

    std::size_t capacite_;
    std::string avant_;
    std::string apres_;
    std::string entree_; // l'entrée en cours de réception
    std::size_t caracteresEntree_ = 0;
    std::size_t caracteresPartie_ = 0;
    bool partieOuverte_ = false;
    std::vector<std::uint64_t> debuts_; // début de chaque partie dans ce qui s'accumule
    std::uint64_t ecrits_ = 0;
    std::size_t plafond_;
    std::string memoire_; // les premiers octets, tant qu'ils tiennent sous le plafond
    std::string cible_;
    bool deverse_ = false; // le fichier de travail a pris la suite de la mémoire
    std::string raison_;   // pourquoi le fichier de travail a fait défaut
    EcritureAtomique travail_;
};

} // namespace vek
