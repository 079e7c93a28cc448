#pragma once
// Le relevé des appels système d'un programme tracé : chaque appel qui touche le dossier
// observé, vu à son entrée (ce qu'il va toucher, la position d'une écriture) puis à sa sortie
// (s'il a réussi, ce qu'il a écrit), devient une opération de la trace.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>

#include "Traceur.h"

namespace vek::coupure {

class Releveur {
public:
    Releveur(std::string racine, Trace& trace);
    // L'état de départ du dossier observé (ses nœuds reçoivent leurs numéros).
    void ReleverDepart();
    void Entree(pid_t fil, std::uint64_t numero, const std::uint64_t (&args)[6]);
    void Sortie(pid_t fil, std::int64_t retour);

private:
    using Cle = std::pair<std::uint64_t, std::uint64_t>; // volume, numéro de nœud
    struct EnCours {
        std::uint64_t numero = 0;
        std::uint64_t args[6] = {};
        bool suivi = false; // l'appel touche le dossier observé
        std::string chemin, chemin2;
        coupure::Entree a, b;
        Noeud noeudA = 0, noeudB = 0;
        bool existait = false;
        std::uint64_t drapeaux = 0;
        std::uint64_t position = 0;
    };

    void EntreeOuverture(pid_t fil, EnCours& e, std::uint64_t dossier, std::uint64_t chemin,
                         std::uint64_t drapeaux);
    void EntreeNom(pid_t fil, EnCours& e, std::uint64_t dossier, std::uint64_t chemin);
    void EntreeRenommage(pid_t fil, EnCours& e, std::uint64_t d1, std::uint64_t c1,
                         std::uint64_t d2, std::uint64_t c2, std::uint64_t drapeaux);
    void EntreeEcriture(pid_t fil, EnCours& e, int fd, std::optional<std::uint64_t> position);
    void EntreeDescripteur(pid_t fil, EnCours& e, int fd);
    void SurveillerAutres(pid_t fil, std::uint64_t numero, const std::uint64_t (&args)[6]);
    void SortieOuverture(pid_t fil, EnCours& e, int fd);
    void SortieNom(EnCours& e); // création de dossier, suppression, renommage, échange
    void SortieEcriture(pid_t fil, EnCours& e, std::uint64_t ecrits);
    void SortieSynchronisation(pid_t fil, EnCours& e);

    std::string CheminAbsolu(pid_t fil, std::uint64_t dossier, std::uint64_t adresse) const;
    std::optional<std::string> Relatif(const std::string& absolu) const;
    std::optional<coupure::Entree> EntreeDe(const std::string& absolu);
    Noeud NoeudDuChemin(const std::string& absolu) const;
    Noeud NoeudDuDescripteur(pid_t fil, int fd) const;
    std::string NomDuDescripteur(pid_t fil, int fd) const;
    Noeud Nouveau(Cle cle);
    void Noter(Operation op) { trace_.operations.push_back(std::move(op)); }
    void HorsModele(const std::string& quoi) { trace_.horsModele.push_back(quoi); }
    void Parcourir(const std::string& dossier, Noeud noeud);

    std::string racine_;
    std::uint64_t volume_ = 0;
    bool depart_ = false; // le relevé du départ est en cours
    Trace& trace_;
    std::map<Cle, Noeud> noeuds_;
    Noeud dernier_ = 0;
    std::map<pid_t, EnCours> enCours_;
};

} // namespace vek::coupure
