#pragma once
// Les séances de jeu d'un journal : des suites de lignes datées sans pause de plus d'une durée
// donnée (30 minutes par défaut), trouvées pendant l'analyse, ligne à ligne.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Date.h"

namespace vek {

inline constexpr int PauseSessionsParDefaut = 30; // minutes

struct Session {
    std::uint64_t numero = 0; // depuis 1, dans l'ordre du journal
    Instant debut;            // la plus ancienne de ses lignes
    Instant fin;              // la plus récente
    std::uint64_t lignes = 0;
    // Les trois locuteurs les plus actifs (au plus), du plus bavard au moins bavard.
    std::vector<std::string> locuteurs;
    // La période qui la couvre, à la minute : de la minute de sa première ligne à la fin de la
    // minute de sa dernière. Une pause de plus d'une minute la sépare des autres séances.
    Periode ALaMinute() const {
        return {{debut.date, debut.seconde - debut.seconde % 60},
                {fin.date, fin.seconde - fin.seconde % 60 + 59}};
    }
};

// Reçoit les lignes du journal dans l'ordre. Une ligne datée dont l'heure se lit appartient à la
// séance en cours si elle est à moins de la pause (ou exactement à la pause) de la précédente,
// dans un sens ou dans l'autre ; sinon elle en ouvre une nouvelle. Les autres lignes ne comptent
// pas. La mémoire ne dépend que du nombre de locuteurs d'une séance et du nombre de séances
// gardées (les MaxSessions plus récentes).
class DetecteurSessions {
public:
    static constexpr std::size_t MaxSessions = 100000;
    // Au-delà, un nom n'est distingué que par ses premiers octets.
    static constexpr std::size_t LongueurNom = 120;

    explicit DetecteurSessions(int pauseMinutes = PauseSessionsParDefaut);

    void Ajouter(std::string_view ligne);
    // Un journal lu en deux morceaux à la fois : le détecteur du second morceau est prévenu
    // avant sa première ligne. Il garde alors les comptes entiers de sa première séance, que
    // Fusionner raccorde à la dernière séance du premier morceau.
    void RecevoirUneSuite() { suite_ = true; }
    // Reprend un détecteur prévenu par RecevoirUneSuite et qui a reçu les lignes venant juste
    // après celles de celui-ci : le résultat est celui d'un seul détecteur qui aurait reçu les
    // unes puis les autres.
    void Fusionner(DetecteurSessions&& suite);
    // Les séances, de la plus ancienne à la plus récente, et le nombre des plus anciennes
    // oubliées au-delà de MaxSessions.
    std::vector<Session> Terminer(std::uint64_t& oubliees);

private:
    void Clore();
    void Garder(Session&& session);
    // Ajoute à la séance en cours une séance de la suite (de ses bornes à ses lignes).
    void Etendre(const Session& s, std::int64_t min, std::int64_t max);

    std::int64_t pause_;
    char tete_[10] = {};
    bool teteConnue_ = false;
    std::int64_t jour_ = 0; // jours depuis 1970 du jour de tete_ ; sans objet si non datée
    bool datee_ = false;
    Date date_;
    bool ouverte_ = false;
    std::int64_t derniere_ = 0; // secondes depuis 1970 de la ligne précédente
    std::int64_t min_ = 0, max_ = 0;
    Session courante_;
    std::uint64_t numero_ = 0;
    std::uint64_t oubliees_ = 0;
    std::vector<Session> sessions_;
    std::string tampon_;
    bool suite_ = false;
    std::int64_t premiere_ = 0; // secondes depuis 1970 de la première ligne d'une séance
    // Avec suite_ : la première séance une fois close, et les paroles de chacun de ses locuteurs.
    Session premiereSeance_;
    std::int64_t premiereMin_ = 0, premiereMax_ = 0;
    std::vector<std::pair<std::string, std::uint64_t>> comptesPremiere_;
    // Les paroles de chaque locuteur de la séance en cours : table à adressage ouvert, cherchée
    // sans copie du nom ; vidée en ne touchant que les cases occupées. Deux noms y sont le même
    // quand leurs empreintes de 64 bits le sont (une collision entre les quelques milliers de
    // noms d'une séance a moins d'une chance sur mille milliards).
    struct Compte {
        std::size_t debut, longueur; // du nom dans noms_
        std::uint64_t paroles;       // recopié de sa case quand la séance se clôt
        std::size_t cas;             // sa case dans cases_
    };
    struct Case {
        std::uint64_t empreinte = 0;
        std::uint64_t paroles = 0;
        std::uint32_t compte = 0; // rang dans comptes_ plus un ; 0 : libre
    };
    void Compter(std::string_view nom, std::uint64_t empreinte, std::uint64_t paroles = 1);
    void Agrandir();
    std::vector<Case> cases_;
    std::vector<Compte> comptes_;
    std::string noms_;
};

} // namespace vek
