#pragma once
// Le suivi d'un journal pour la vue « En direct », autour du suivi du moteur (vek::Suiveur, le
// même que celui de vek-extraire --suivre) : un fil qui attend que le journal change et le dit, et
// le regard, sur le fil de travail, qui rend les nouvelles lignes retenues avec les teintes de
// leurs noms. Rien ici ne touche une fenêtre.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include "Nettoyage.h"
#include "Publication.h"
#include "Suiveur.h"

// Ce qu'un regard du suivi a trouvé : la recherche (qui n'a lu que la suite du journal, ou tout
// s'il a été remplacé), les lignes retenues qu'elle a ajoutées, la correction d'une ligne montrée
// avant que le jeu l'ait achevée, et les teintes des noms de la sélection du regard, comme sur la
// page.
struct LotDirect {
    vek::RegardSuivi regard;
    std::shared_ptr<const vek::TeintesDesNoms> teintes;
};

// Ce que demande un regard : la sélection, les modes et le nettoyage de l'instant, et combien des
// dernières lignes retenues rendre.
struct Regard {
    vek::SelectionSuivie selection;
    vek::Modes modes;
    vek::ReglagesNettoyage nettoyage;
    std::size_t maximum = 0;
};

// Le regard, sur le fil de travail : le suivi du moteur lit ce que le journal a gagné.
vek::Issue<LotDirect> RegarderJournal(vek::Suiveur& suiveur, const Regard& regard,
                                      std::stop_token arret);

// Le fil qui attend les changements du journal (vek::Suiveur::Attendre) et appelle changement
// (sur ce fil) pour chacun. Il attend ensuite que le regard qui en suit soit fini (Regarde) avant
// d'attendre le changement suivant : le suivi voit ce que le regard a laissé pour plus tard (une
// dernière ligne sans fin de ligne, à revoir une fois le journal tu).
class SuiviJournal {
public:
    SuiviJournal(std::shared_ptr<vek::Suiveur> suiveur, std::function<void()> changement);
    ~SuiviJournal();
    SuiviJournal(const SuiviJournal&) = delete;
    SuiviJournal& operator=(const SuiviJournal&) = delete;

    const std::shared_ptr<vek::Suiveur>& Suiveur() const { return suiveur_; }
    // Un regard est fini : le fil attend de nouveau le journal.
    void Regarde();

private:
    void Veiller(std::stop_token arret);

    std::shared_ptr<vek::Suiveur> suiveur_;
    std::function<void()> changement_;
    std::mutex m_;
    std::condition_variable_any cv_;
    bool regarde_ = true;
    std::jthread fil_; // en dernier : il part avant le reste
};
