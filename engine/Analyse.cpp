// Analyse d'un journal : nombre de lignes, dates de la première et de la dernière ligne.

#include "ModuleVEK.h"

#include "Fichiers.h"

namespace vek {

std::string ResumeAnalyse(const std::optional<Date>& debut, const std::optional<Date>& fin,
                          double lignes) {
    std::string texte = "Date de d\xE9"
                        "but du traitement : ";
    texte += debut ? DateLongue(*debut)
                   : std::string("Non d\xE9"
                                 "fini. ");
    texte += "\r\nDate de fin de traitement : ";
    texte += fin ? DateLongue(*fin)
                 : std::string("Non d\xE9"
                               "fini.");
    texte += "\r\nNombre de lignes \xE0 analyser : ";
    texte += std::to_string(static_cast<unsigned long long>(lignes));
    return texte;
}

Resultat ModuleVEK::AnalyserFichierLog(const std::string& chemin) {
    if (!FichierExiste(chemin)) {
        fenetre_.Message("Fichier introuvable !", TitreMessages, Icone::Stop);
        fenetre_.EcrireTexte(ChampTexte::CheminLog, "");
        return Resultat::Succes();
    }
    // Un fichier présent mais illisible est signalé avant d'ouvrir la fenêtre de résumé.
    const auto empreinte = LireEmpreinte(chemin);
    LecteurTexte fichier;
    if (!fichier.Ouvrir(chemin))
        return Resultat::Echec("Impossible de lire le journal", chemin, fichier.Raison());

    fenetre_.DefinirPointeur(Pointeur::Sablier);
    fenetre_.OuvrirFenetreAnalyse();

    // Comptage : la première ligne est gardée, les autres seulement comptées.
    std::optional<Date> debut;
    double lignes = 0;
    if (!fichier.FinFichier()) {
        debut = DateDeLigne(fichier.LireLigne());
        lignes = 1.0 + static_cast<double>(fichier.CompterLignes(fenetre_.DrapeauArret()));
    }
    if (const std::atomic<bool>* arret = fenetre_.DrapeauArret();
        arret && arret->load(std::memory_order_relaxed)) {
        fenetre_.DefinirPointeur(Pointeur::Fleche);
        return Resultat::Interruption();
    }
    const bool erreur = fichier.ErreurLecture();
    const std::string raison = fichier.Raison();
    fichier.Fermer();

    // La dernière ligne se lit depuis la fin du fichier : même ligne que celle dont le numéro
    // égale le nombre de lignes.
    std::optional<Date> fin;
    std::string derniere;
    std::string raisonFin;
    if (!erreur && lignes > 0) {
        if (!LireDerniereLigne(chemin, derniere, &raisonFin)) {
            fenetre_.DefinirPointeur(Pointeur::Fleche);
            return Resultat::Echec("Impossible de lire le journal", chemin, raisonFin);
        }
        fin = DateDeLigne(derniere);
    }
    if (erreur) {
        fenetre_.DefinirPointeur(Pointeur::Fleche);
        return Resultat::Echec("Impossible de lire le journal", chemin, raison);
    }
    MemoriserLignes(chemin, empreinte, static_cast<std::uint64_t>(lignes));

    if (debut)
        fenetre_.EcrireTexte(ChampTexte::DateDebut, DateCourte(*debut));
    if (fin)
        fenetre_.EcrireTexte(ChampTexte::DateFin, DateCourte(*fin));
    fenetre_.DefinirResumeAnalyse(ResumeAnalyse(debut, fin, lignes));
    fenetre_.DefinirPointeur(Pointeur::Fleche);
    return Resultat::Succes();
}

} // namespace vek
