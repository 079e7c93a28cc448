#pragma once
// Le numéro de séance de chaque ligne, celui que --sessions donne (DetecteurSessions, même règle
// des pauses) sans compter les locuteurs : une recherche lit ainsi toutes les lignes du journal
// pour quelques nanosecondes chacune. Garde aussi l'étendue et le nombre de résultats des seules
// séances où la recherche trouve quelque chose.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "Date.h"
#include "Ligne.h"

namespace vek {

// Une séance où la recherche a trouvé des lignes : ses bornes sont celles que --sessions donne.
struct SeanceTrouvee {
    std::uint64_t numero = 0;
    Instant debut;
    Instant fin;
    std::uint64_t resultats = 0;
    friend bool operator==(const SeanceTrouvee&, const SeanceTrouvee&) = default;
};

class NumerotationSeances {
public:
    explicit NumerotationSeances(int pauseMinutes);

    // La ligne suivante du journal ; rend le numéro de sa séance, 0 quand elle n'appartient à
    // aucune (non datée, ou heure illisible : --sessions ne la compte pas non plus).
    std::uint64_t Ajouter(std::string_view ligne) {
        // Une ligne dont les 22 premiers octets (date et heure) sont ceux de la dernière ligne
        // placée est au même instant : rien ne change. Sinon, les lignes se suivent par jour : le
        // jour des dix premiers octets est gardé, et l'heure de la forme du jeu se lit d'un coup.
        if (ligne.size() >= LongueurEnTete && MemeEnTete(ligne.data()))
            return numero_;
        if (ligne.size() < LongueurEnTete || std::memcmp(ligne.data(), tete_, 10) != 0 ||
            !teteConnue_)
            return AjouterLentement(ligne);
        if (!datee_)
            return 0;
        const int s = HeureDuJeu(ligne.data());
        if (s < 0)
            return AjouterLentement(ligne);
        NoterEnTete(ligne.data());
        return Placer(jourSecondes_ + s);
    }
    // La ligne qui vient d'être ajoutée est un résultat de la recherche (dans sa séance).
    void CompterResultat() { ++resultats_; }

    // Le second morceau d'un journal lu en deux à la fois : prévenu avant sa première ligne, il
    // garde l'étendue de sa première séance, que Fusionner raccorde à la dernière du premier.
    void RecevoirUneSuite() { suite_ = true; }
    // Le numéro réel d'une séance de suite, qui a reçu les lignes venant juste après celles-ci
    // (son numéro 0 reste 0). Valable dès que la suite a vu sa première ligne à l'heure lisible.
    std::uint64_t Decaler(std::uint64_t numeroDeLaSuite, std::int64_t premiereDeLaSuite) const {
        return numeroDeLaSuite == 0 ? 0 : numeroDeLaSuite + Decalage(premiereDeLaSuite);
    }
    // La première ligne à l'heure lisible (secondes depuis 1970), une fois vue.
    std::int64_t Premiere() const { return premiere_; }
    // Reprend une suite : le résultat est celui d'une seule numérotation qui aurait reçu les
    // lignes de l'une puis celles de l'autre.
    void Fusionner(NumerotationSeances&& suite);
    // Les séances qui ont des résultats, de la plus ancienne à la plus récente.
    std::vector<SeanceTrouvee> Terminer();

private:
    // hh:mm:ss aux positions 12 à 19, entre un séparateur et un autre qui n'est pas « : » ; -1
    // pour toute autre forme (SecondesDeLigne la lit alors). La ligne a au moins 22 octets.
    static int HeureDuJeu(const char* l) {
        const auto chiffre = [](char c) { return c >= '0' && c <= '9'; };
        if (chiffre(l[10]) || !chiffre(l[11]) || !chiffre(l[12]) || l[13] != ':' ||
            !chiffre(l[14]) || !chiffre(l[15]) || l[16] != ':' || !chiffre(l[17]) ||
            !chiffre(l[18]) || chiffre(l[19]) || l[19] == ':')
            return -1;
        const int h = (l[11] - '0') * 10 + (l[12] - '0');
        const int m = (l[14] - '0') * 10 + (l[15] - '0');
        const int s = (l[17] - '0') * 10 + (l[18] - '0');
        if (h > 23 || m > 59 || s > 59)
            return -1;
        return h * 3600 + m * 60 + s;
    }
    bool MemeEnTete(const char* l) const {
        std::uint64_t a, b, c;
        std::memcpy(&a, l, 8);
        std::memcpy(&b, l + 8, 8);
        std::memcpy(&c, l + LongueurEnTete - 8, 8);
        return enTeteConnue_ && a == enTete_[0] && b == enTete_[1] && c == enTete_[2];
    }
    void NoterEnTete(const char* l) {
        std::memcpy(&enTete_[0], l, 8);
        std::memcpy(&enTete_[1], l + 8, 8);
        std::memcpy(&enTete_[2], l + LongueurEnTete - 8, 8);
        enTeteConnue_ = true;
    }
    std::uint64_t AjouterLentement(std::string_view ligne);
    std::uint64_t Placer(std::int64_t t) {
        if (ouverte_ && (t - derniere_ > pause_ || derniere_ - t > pause_))
            Clore();
        if (!ouverte_)
            Ouvrir(t);
        else if (t < min_)
            min_ = t;
        else if (t > max_)
            max_ = t;
        derniere_ = t;
        return numero_;
    }
    void Ouvrir(std::int64_t t);
    void Clore();
    std::uint64_t Decalage(std::int64_t premiereDeLaSuite) const;

    std::int64_t pause_;
    // Les 22 premiers octets de la dernière ligne placée, lus par blocs de huit.
    std::uint64_t enTete_[3] = {};
    bool enTeteConnue_ = false;
    char tete_[10] = {};
    bool teteConnue_ = false;
    bool datee_ = false;
    std::int64_t jourSecondes_ = 0; // le jour de tete_, en secondes depuis 1970
    bool ouverte_ = false;
    std::uint64_t numero_ = 0;
    std::int64_t derniere_ = 0, min_ = 0, max_ = 0;
    std::uint64_t resultats_ = 0;
    std::int64_t premiere_ = 0;
    std::vector<SeanceTrouvee> trouvees_;
    // Avec suite_ : la première séance, une fois close (ses résultats comptés même s'il n'y en a
    // aucun).
    bool suite_ = false;
    bool premiereClose_ = false;
    std::int64_t premiereMin_ = 0, premiereMax_ = 0;
    std::uint64_t premiereResultats_ = 0;
};

} // namespace vek
