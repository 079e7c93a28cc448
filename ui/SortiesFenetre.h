#pragma once
// Les sorties de la fenêtre principale : « Créer le fichier log » et les entrées d'export de
// « Menu » (page web, forum, Discord). La sélection est prise au clic dans les arbres (des coches
// qui ne peuvent retenir aucune ligne sont refusées, avec la raison), l'écriture part sur le fil
// de travail, puis la fenêtre dit ce qu'elle a écrit : dans la barre d'état,
// toujours, avec son chemin complet et si un programme du bureau a été chargé de l'ouvrir ; dans
// une boîte, où elle est quand aucun programme ne l'a ouverte ou qu'elle est allée dans le dossier
// personnel de secours. Au-delà de EntreesPageUniqueMax entrées, la page unique (LogFinal.html)
// est trop longue pour un navigateur : la barre le dit, avec sa taille, et conseille le dossier par
// jour, écrit avec elle et ouvert à sa place.

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Formats.h"
#include "Lanceur.h"
#include "PilotePasses.h"

class ArbresSelection;
class BarreEtat;
class EntreesExport;
class QAction;
class QMenu;

class SortiesFenetre {
public:
    struct Liens {
        QMenu* menu; // les entrées d'export y vont, avant avant
        QAction* avant;
        BarreEtat* barre;
        vek::LanceurDocument& lanceur;
        PilotePasses& passes;
        const ArbresSelection& arbres;
        const vek::ModesPartages& modes;
        const vek::ReglagesNettoyage& nettoyage;
        PilotePasses::Message message;
        // Une recherche a trouvé des lignes (la règle de « Créer le fichier log »).
        std::function<bool()> permise;
        // Juste avant d'écrire : faux si l'écriture n'a pas lieu (la recherche est relancée).
        std::function<bool()> avantEcriture;
    };

    explicit SortiesFenetre(const Liens& liens);

    // Les entrées d'export, qui suivent la règle de « Créer le fichier log ».
    const std::vector<QAction*>& Actions() const;
    // « Créer le fichier log » : LogFinal.txt, ouvert dans le visualiseur du bureau.
    void CreerLogFinal();
    // Le dossier de travail est le dossier personnel de secours : après chaque sortie, la fenêtre
    // dit où elle est allée.
    void DefinirDossierDeSecours(bool secours) { secours_ = secours; }

private:
    enum class Sortie { LogFinal, PageWeb };
    // Les coches peuvent retenir une ligne ; sinon la fenêtre dit pourquoi.
    bool Cochee() const;
    void Ecrire(vek::FormatsSortie formats, std::function<void(const std::string&)> suite);
    void Signaler(Sortie sortie, const std::string& chemin, bool ouvert,
                  std::uint64_t entreesPage = 0) const;

    Liens l_;
    EntreesExport* exports_;
    bool secours_ = false;
};
