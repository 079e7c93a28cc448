#pragma once
// Le fil d'écriture de la page web : les entrées, mises en forme par les fils de travail, y
// arrivent dans l'ordre de l'extrait. Il pose autour d'elles ce qui dépend de ce qui précède :
// l'ancre de chaque entrée, les jours (leur titre et leur ancre), les séries de 500 entrées, et,
// découpée, les pages (une par jour ou par mois, continuée au-delà de 5 000 entrées) dans un
// dossier temporaire qui ne prend la place de LogFinal/ qu'une fois complet, sommaire compris.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Ecriture.h"
#include "PageWeb.h"
#include "Puits.h"
#include "Validation.h"

namespace vek {

// Ce que le fil d'écriture sait d'une entrée.
struct InfosEntree {
    std::optional<Date> date;
    std::string_view heure; // « hh:mm:ss », vide sans heure
    bool montrerHeure = false;
    bool jours = true; // les modes montrent les dates (titres des jours, heures)
    int channel = -1, nom = -1, genre = -1;
};

class PagesEnCours {
public:
    explicit PagesEnCours(const ContexteSortie& contexte);
    ~PagesEnCours(); // un dossier temporaire jamais validé est supprimé
    PagesEnCours(const PagesEnCours&) = delete;
    PagesEnCours& operator=(const PagesEnCours&) = delete;

    // La page unique s'écrit dans fichier ; découpée, dans un dossier temporaire.
    void Commencer(EcrivainTexte& fichier);
    // Avant chaque entrée : sa page, son jour, sa série.
    void Entree(const InfosEntree& e);
    // L'ancre de l'entrée, entre son ouverture et son texte.
    void Ancre(const InfosEntree& e);
    void Sortir(std::string_view octets) {
        if (enTeteEnAttente_)
            Attendre(octets);
        else
            Courant().Ecrire(octets);
    }
    EcrivainTexte& Courant() { return decoupee_ ? page_ : *unique_; }
    // Après la dernière entrée : la fin de la page, ou la dernière page et le sommaire.
    bool Finir(std::string& raison);
    // Découpée et finie sans échec : le dossier complet, à valider avec les autres sorties, qui
    // n'est plus supprimé ici.
    std::optional<SortieAValider> Confier();
    std::uint64_t Entrees() const { return entrees_; }

private:
    void OuvrirPage(const std::string& cle, const std::optional<Date>& date);
    void FermerPage(const std::string& suivante);
    void FermerBlocs();
    void OuvrirJour(Date jour);
    // Une page découpée attend en mémoire son en-tête, qui ne pose que les cases des filtres de
    // ses entrées ; au-delà de TailleAttenteMax (une ligne démesurée), l'en-tête part avec
    // toutes les cases et la suite est écrite au fur et à mesure.
    void Attendre(std::string_view octets);
    void LacherAttente(const BilanPage* presentes);
    BilanPage BilanVide() const;
    void Echec(const std::string& raison) {
        if (raison_.empty())
            raison_ = raison;
    }

    ContexteSortie contexte_;
    bool decoupee_;
    EcrivainTexte* unique_ = nullptr;
    EcrivainTexte page_;
    std::string dossier_; // le dossier temporaire
    bool confie_ = false;
    bool pageOuverte_ = false;
    std::optional<EnTetePage> enTeteEnAttente_;
    std::string attente_;
    std::string cle_, fichier_, titre_, precedente_;
    std::map<std::string, int> suites_; // par clé, le dernier numéro de page pris
    std::set<std::string> fichiersPris_;
    std::vector<PageDuDossier> pages_;
    BilanPage bilan_, total_;
    std::optional<Date> jour_;
    std::map<Date, int> ancresDuJour_; // un jour revenu plus loin reçoit une ancre à lui
    bool sectionOuverte_ = false, serieOuverte_ = false;
    std::uint64_t dansLaSerie_ = 0;
    std::string derniere_, plusHaute_; // les bases d'ancre (« 20011224-210405 »)
    std::string base_, id_, ancre_;    // gardés d'une ancre à la suivante
    // La case de parHeure de la dernière entrée datée, et son heure.
    std::uint64_t* compteHeure_ = nullptr;
    std::pair<Date, int> cleHeure_;
    int suite_ = 1;
    std::uint64_t entrees_ = 0;
    std::string raison_;
};

} // namespace vek
