#pragma once
// Un journal d'une fusion lu d'avance par son propre fil : ses lignes arrivent par paquets, déjà
// analysées (heure corrigée, clé de message) et réécrites (heure ramenée à l'horloge de la
// référence, « Vous avez dit » d'un autre joueur mis à son nom), pendant que la fusion apparie
// celles des paquets précédents. Chaque journal a son fil : les cœurs lisent les journaux en
// même temps.
//
// Les paquets servent et resservent : la fusion rend chacun quand toutes ses lignes ont quitté
// sa fenêtre. Le fil ne prend jamais plus de quelques paquets d'avance ; il en crée un de plus
// quand tous les autres sont encore dans la fenêtre (beaucoup de lignes à la même heure), pour
// ne jamais attendre la fusion qui l'attend.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "LigneFusion.h"
#include "SourceFichier.h"
#include "SourceLignes.h"

namespace vek {

struct LignePreparee {
    std::int64_t instant = INT64_MIN;
    std::uint64_t numero = 0; // sa ligne dans son journal (SourceLignes::NumeroDeLaLigne)
    std::uint64_t empreinte = 0;
    std::uint64_t taille = 0;    // ses octets, dans ceux du paquet, depuis debut
    std::uint64_t tailleCle = 0; // sa clé, juste après ; aucune pour une ligne privée
    // Gardée : les journaux (les 64 premiers) dont une copie lui a été appariée.
    std::uint64_t appariees = 0;
    std::uint32_t debut = 0; // un paquet s'arrête avant un demi-mégaoctet
    bool aCle = false;
    bool appariee = false;  // membre d'un groupe de copies d'un même message
    bool supprimee = false; // une copie gardée ailleurs
};

struct PaquetDeLignes {
    std::string octets;
    std::vector<LignePreparee> lignes;
    std::size_t dansLaFenetre = 0; // du côté de la fusion : ses lignes pas encore rendues
    std::string_view Ligne(const LignePreparee& l) const {
        return std::string_view(octets).substr(l.debut, l.taille);
    }
    std::string_view Cle(const LignePreparee& l) const {
        return std::string_view(octets).substr(l.debut + l.taille, l.tailleCle);
    }
};

class JournalPrepare {
public:
    // lecture : ouverte ; rang 0 : la référence (ses lignes privées sont gardées).
    JournalPrepare(std::unique_ptr<SourceFichier> lecture, std::size_t rang,
                   JournalDeSource journal);
    ~JournalPrepare(); // arrête le fil et l'attend
    JournalPrepare(const JournalPrepare&) = delete;
    JournalPrepare& operator=(const JournalPrepare&) = delete;

    std::size_t Rang() const { return rang_; }
    // La ligne de tête et son paquet (nul : plus de ligne) ; la ligne reste valable jusqu'à ce
    // que la fusion rende son paquet.
    LignePreparee* Tete() {
        return courant_ && position_ < courant_->lignes.size() ? &courant_->lignes[position_]
                                                               : PaquetSuivant();
    }
    PaquetDeLignes* PaquetDeTete() { return courant_; }
    void Avancer() { ++position_; }
    // Une ligne du paquet a quitté la fenêtre de la fusion.
    void Rendre(PaquetDeLignes* paquet);
    // La lecture, une fois le fil terminé (attendu ici).
    SourceFichier& Lecture();

private:
    LignePreparee* PaquetSuivant();
    void Produire(std::stop_token arret);
    void Preparer(std::stop_token arret);
    void Remplir(PaquetDeLignes& p);

    std::unique_ptr<SourceFichier> lecture_;
    std::size_t rang_;
    JournalDeSource journal_;
    // Du côté du fil.
    std::string tampon_;
    JourEcrit jour_;
    std::int64_t dernierInstant_ = INT64_MIN;
    // Partagé.
    std::mutex garde_;
    std::condition_variable_any signal_;
    std::vector<std::unique_ptr<PaquetDeLignes>> paquets_;
    std::vector<PaquetDeLignes*> libres_;
    std::deque<PaquetDeLignes*> pleins_;
    bool fini_ = false;
    std::exception_ptr erreur_; // ce qui a arrêté le fil avant la fin du journal
    // Du côté de la fusion.
    PaquetDeLignes* courant_ = nullptr;
    std::size_t position_ = 0;
    bool epuise_ = false;
    std::jthread fil_; // en dernier : arrêté et attendu avant tout le reste
};

} // namespace vek
