// Analyse d'un journal : nombre de lignes, dates de la première et de la dernière ligne.

#include "ModuleVEK.h"

#include "Fichiers.h"

#include <atomic>

namespace vek {

std::string ResumeAnalyse(const std::optional<Date>& debut, const std::optional<Date>& fin,
                          std::uint64_t lignes) {
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
    texte += std::to_string(lignes);
    return texte;
}

std::string ResumeJournal::Texte() const {
    return ResumeAnalyse(debut, fin, lignes);
}

std::string ResumeJournal::Conseil() const {
    switch (marque) {
    case Marque::Utf16PetitBoutiste:
    case Marque::Utf16GrandBoutiste:
        return std::string("Ce journal est enregistré en UTF-16 (") +
               (marque == Marque::Utf16PetitBoutiste ? "petit-boutiste" : "grand-boutiste") +
               ") : le programme lit les journaux en Windows-1252, comme le jeu les écrit, et n'y "
               "trouvera ni date ni ligne. Enregistrez-le en Windows-1252 (ANSI) avec votre "
               "éditeur de texte, puis choisissez-le de nouveau.";
    case Marque::Utf8:
        return "Ce journal commence par la marque d'un texte UTF-8 : sa première ligne n'est pas "
               "datée, et les lettres accentuées seront mal lues (le jeu écrit ses journaux en "
               "Windows-1252). Enregistrez-le en Windows-1252 (ANSI) avec votre éditeur de texte "
               "pour un résultat exact.";
    case Marque::Aucune:
        break;
    }
    if (lignes == 0)
        return "Le journal est vide : il n'y a rien à extraire.";
    return {};
}

Issue<ResumeJournal> ModuleVEK::Analyser(const std::string& chemin, Progression& progression,
                                         std::stop_token arret) try {
    ResumeJournal resume;
    const std::string lecture = "Impossible de lire le journal";
    if (!FichierExiste(chemin)) {
        // Un dossier, un périphérique ou un tube existe bien : il n'est pas introuvable, il
        // n'est pas un journal (et un tube ferait attendre la lecture sans fin).
        if (const auto genre = GenreDuFichier(chemin))
            return Resultat::Echec(lecture, chemin,
                                   "ce n'est pas un fichier ordinaire (" +
                                       DescriptionGenre(*genre) + ")");
        resume.existe = false; // l'appelant dit « Fichier introuvable ! »
        return resume;
    }
    // Un fichier présent mais illisible est signalé avant d'ouvrir la fenêtre de résumé.
    const auto empreinte = LireEmpreinte(chemin);
    LecteurTexte fichier;
    if (!fichier.Ouvrir(chemin))
        return Resultat::Echec(lecture, chemin, fichier.Raison());
    progression.Debut();

    // Comptage : la première ligne est gardée, les autres seulement comptées, d'un seul
    // balayage que le jeton d'arrêt interrompt.
    std::atomic<bool> arrete{false};
    const std::stop_callback surArret(arret, [&arrete] { arrete.store(true); });
    if (!fichier.FinFichier()) {
        const std::string premiere = fichier.LireDebutDeLigne(LongueurEnTete);
        resume.debut = DateDeLigne(premiere);
        if (premiere.substr(0, 3) == "\xEF\xBB\xBF")
            resume.marque = ResumeJournal::Marque::Utf8;
        else if (premiere.substr(0, 2) == "\xFF\xFE")
            resume.marque = ResumeJournal::Marque::Utf16PetitBoutiste;
        else if (premiere.substr(0, 2) == "\xFE\xFF")
            resume.marque = ResumeJournal::Marque::Utf16GrandBoutiste;
        resume.lignes = 1 + fichier.CompterLignes(&arrete);
    }
    if (arrete.load())
        return Resultat::Interruption();
    const bool erreur = fichier.ErreurLecture();
    const std::string raison = fichier.Raison();
    fichier.Fermer();
    if (erreur)
        return Resultat::Echec(lecture, chemin, raison);

    // La dernière ligne se lit depuis la fin du fichier : même ligne que celle dont le numéro
    // égale le nombre de lignes.
    if (resume.lignes > 0) {
        std::string derniere;
        std::string raisonFin;
        if (!LireDerniereLigne(chemin, derniere, LongueurEnTete, &raisonFin))
            return Resultat::Echec(lecture, chemin, raisonFin);
        resume.fin = DateDeLigne(derniere);
    }
    MemoriserLignes(chemin, empreinte, resume.lignes);
    return resume;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible d'analyser le journal", chemin);
}

} // namespace vek
