#pragma once
// La correspondance d'une ligne du journal à une requête : retenue ou non (le filtre d'une
// extraction), et où sont les mots trouvés (pour les mettre en valeur). Ne lit que la ligne
// qu'on lui donne, d'où qu'elle vienne.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Requete.h"

namespace vek {

// Les mots d'un terme trouvés dans une ligne : du début du premier à la fin du dernier, en
// octets de la ligne (le mot entier, quand le terme n'en donnait que le début).
struct Passage {
    std::size_t debut = 0;
    std::size_t longueur = 0;
    friend bool operator==(const Passage&, const Passage&) = default;
};

// Garde ses tampons d'une ligne à l'autre : un correspondeur par fil.
class Correspondeur {
public:
    explicit Correspondeur(Requete requete);

    const Requete& LaRequete() const { return requete_; }

    // Vrai si la ligne (une ligne du journal, sans sa fin de ligne) correspond : datée (une
    // ligne non datée n'a pas de message), de l'un des locuteurs et channels demandés, d'aucun
    // des écartés, et son message contient chaque terme retenu et aucun terme écarté. passages,
    // s'il est donné, reçoit alors chaque endroit où un terme retenu se trouve, dans l'ordre de
    // la ligne, sans chevauchement (deux passages qui se touchent n'en font qu'un).
    bool Correspond(std::string_view ligne, std::vector<Passage>* passages = nullptr);

private:
    struct Mot {
        std::size_t debut, fin;             // dans le message
        std::size_t debutReplie, finReplie; // dans replie_
    };
    bool ChampsRetenus(std::string_view tag, bool channel, std::string_view nom);
    void Decouper(std::string_view message);
    std::string_view Replie(const Mot& m) const {
        return std::string_view(replie_).substr(m.debutReplie, m.finReplie - m.debutReplie);
    }
    // Le terme commence-t-il au mot k ?
    bool CommenceA(const Terme& terme, std::size_t k) const;
    // Vrai si le terme est dans le message ; avec passages, y ajoute chacune de ses places
    // (décalées de decalage, la place du message dans la ligne).
    bool Trouver(const Terme& terme, std::vector<Passage>* passages, std::size_t decalage) const;

    Requete requete_;
    std::string tampon_;        // l'analyse du corps
    std::string nomReplie_;     // le locuteur replié
    std::string tagMajuscules_; // le tag, sans crochets, en majuscules
    std::string replie_;        // les mots du message, repliés bout à bout
    std::vector<Mot> mots_;
};

} // namespace vek
