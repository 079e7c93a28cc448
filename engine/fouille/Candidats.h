#pragma once
// Les octets candidats d'une recherche : deux lettres voisines d'un mot replié de la requête (une
// seule pour un mot sans telle paire : une lettre, ou des digrammes comme « oe »), choisies les
// plus rares dans un échantillon du journal.
// Toute ligne trouvée contient, côte à côte, un octet qui se replie en la première et un octet
// qui se replie en la seconde (leurs deux casses, leurs accents, les ligatures qui les portent).
// La paire est cherchée seize octets à la fois, puis le mot entier est vérifié autour d'elle :
// seules les lignes où il se trouve sont examinées, les autres ne sont que comptées.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Repli.h"
#include "Requete.h"

namespace vek {

class OctetsCandidats {
public:
    // echantillon : le début du journal, dont les fréquences des paires d'octets décident.
    OctetsCandidats(const Requete& requete, std::string_view echantillon);

    // Vrai quand la requête ne donne aucune lettre que toute ligne trouvée contient (un channel
    // seul, plusieurs locuteurs au choix) : chaque ligne est alors candidate.
    bool Tous() const { return longueur_ == 0; }
    // Les lettres repliées choisies (une ou deux ; aucune avec Tous).
    std::string_view Choix() const { return {choix_, longueur_}; }

    // Le premier candidat de [p, fin) : un octet de la première lettre suivi d'un octet de la
    // seconde, autour desquels le mot se lit tout entier sans sortir de [p, fin) ; fin s'il n'y
    // en a pas. p est un début de ligne (un mot trouvé ne commence pas avant). Avec Tous, p.
    const char* Suivant(const char* p, const char* fin) const;

private:
    // Le balayage, déplié pour le nombre de comparaisons de chaque lettre (N2 = 0 : une seule).
    template <int N1, int N2>
    static const char* Balayer(const OctetsCandidats& c, const char* p, const char* fin);
    using Balayage = const char* (*)(const OctetsCandidats&, const char*, const char*);
    void ChoisirBalayage();
    // Le mot de la paire se lit-il tout entier, replié, autour de q, entre debut et fin ?
    bool Confirme(const char* q, const char* debut, const char* fin) const;
    bool Candidat(const char* q) const {
        return Contient(premier_, static_cast<unsigned char>(q[0])) &&
               (longueur_ == 1 || Contient(second_, static_cast<unsigned char>(q[1])));
    }

    char choix_[2] = {};
    std::size_t longueur_ = 0;
    std::string mot_;      // le mot (ou le nom) replié d'où vient le choix
    std::size_t rang_ = 0; // la place de la première lettre choisie dans mot_
    // Les octets qui finissent la première lettre (leur repli s'y termine), ceux qui commencent
    // la seconde ; pour une seule lettre, ceux dont le repli la contient.
    EnsembleOctets premier_{}, second_{};
    // Les mêmes, leur bit 0x20 mis (une lettre et sa majuscule s'y confondent), sans doublon :
    // ce que le balayage compare, complété jusqu'à une puissance de deux par répétition.
    std::vector<unsigned char> comparesPremier_, comparesSecond_;
    Balayage balayage_ = nullptr;
};

} // namespace vek
