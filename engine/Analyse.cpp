// Analyse d'un journal : nombre de lignes, dates de la première et de la dernière ligne.

#include "ModuleVEK.h"

#include "Fichiers.h"

namespace vek {

namespace {

constexpr std::size_t LongueurLigneAnalysee = 4096;

} // namespace

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

    // Un seul balayage : la première ligne donne la date de début et la marque, chaque ligne
    // passe par le détecteur de séances, la dernière donne la date de fin.
    DetecteurSessions sessions(PauseSessions);
    std::string derniere;
    constexpr std::uint64_t Intervalle = 1u << 16; // lignes entre deux regards sur l'arrêt
    while (!fichier.FinFichier()) {
        // Une ligne démesurée n'entre pas en mémoire : son début suffit (date, heure, nom).
        const std::string_view ligne = fichier.LireLigneBornee(LongueurLigneAnalysee);
        if (resume.lignes == 0) {
            const std::string_view tete = ligne.substr(0, 3);
            resume.debut = DateDeLigne(ligne);
            if (tete == "\xEF\xBB\xBF")
                resume.marque = ResumeJournal::Marque::Utf8;
            else if (tete.substr(0, 2) == "\xFF\xFE")
                resume.marque = ResumeJournal::Marque::Utf16PetitBoutiste;
            else if (tete.substr(0, 2) == "\xFE\xFF")
                resume.marque = ResumeJournal::Marque::Utf16GrandBoutiste;
        }
        sessions.Ajouter(ligne);
        if (++resume.lignes % Intervalle == 0 && arret.stop_requested())
            return Resultat::Interruption();
        derniere.assign(ligne.substr(0, LongueurEnTete)); // la vue ne survit pas à la lecture
    }
    if (arret.stop_requested())
        return Resultat::Interruption();
    const bool erreur = fichier.ErreurLecture();
    const std::string raison = fichier.Raison();
    const bool raccourci = fichier.Raccourci();
    fichier.Fermer();
    if (erreur)
        return Resultat::Echec(lecture, chemin, raison);
    if (raccourci)
        return Resultat::Echec(lecture, chemin,
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; choisissez-le de nouveau");
    if (resume.lignes > 0)
        resume.fin = DateDeLigne(derniere);
    resume.sessions = sessions.Terminer(resume.sessionsOubliees);
    MemoriserLignes(chemin, empreinte, resume.lignes);
    return resume;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible d'analyser le journal", chemin);
}

} // namespace vek
