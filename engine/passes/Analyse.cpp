// Analyse d'un journal : nombre de lignes, dates de la première et de la dernière ligne.

#include "Moteur.h"

#include "Memoire.h"

#include "Fichiers.h"
#include "Lecture.h"

#include <exception>
#include <thread>

namespace vek {

namespace {

constexpr std::size_t LongueurLigneAnalysee = 4096;

// Ce qu'un lecteur trouve dans un morceau du journal.
struct Morceau {
    std::uint64_t lignes = 0;
    std::string premiere, derniere; // leurs débuts (date et heure, marque éventuelle)
    DetecteurSessions sessions;
    bool erreur = false, raccourci = false, interrompu = false;
    std::string raison;

    explicit Morceau(int pause) : sessions(pause) {}
};

// Lit les lignes du fichier ouvert jusqu'au début de ligne jusqua (0 : jusqu'au bout). Le fichier a
// raccourci s'il n'atteint pas jusqua, s'il est plus court que taille à l'ouverture, ou s'il a
// raccourci pendant la lecture.
void Balayer(LecteurTexte& fichier, std::uint64_t jusqua, std::uint64_t taille, Morceau& m,
             const std::stop_token& arret) {
    const auto& ouverture = fichier.EmpreinteOuverture();
    if (ouverture && ouverture->taille < taille) {
        m.raccourci = true;
        return;
    }
    constexpr std::uint64_t Intervalle = 1u << 16; // lignes entre deux regards sur l'arrêt
    while (!fichier.FinFichier() && (jusqua == 0 || fichier.DebutLigneSuivante() < jusqua)) {
        // Une ligne démesurée n'entre pas en mémoire : son début suffit (date, heure, nom).
        const std::string_view ligne = fichier.LireLigneBornee(LongueurLigneAnalysee);
        if (m.lignes == 0)
            m.premiere.assign(ligne.substr(0, LongueurEnTete));
        m.sessions.Ajouter(ligne);
        if (++m.lignes % Intervalle == 0 && arret.stop_requested()) {
            m.interrompu = true;
            return;
        }
        m.derniere.assign(ligne.substr(0, LongueurEnTete)); // la vue ne survit pas à la lecture
    }
    m.erreur = fichier.ErreurLecture();
    m.raison = fichier.Raison();
    m.raccourci = jusqua == 0 ? fichier.Raccourci() : fichier.DebutLigneSuivante() < jusqua;
}

// Le début de ligne le plus proche après le milieu du journal, ou 0 quand il n'y en a pas : la
// ligne où tombe le milieu y est lue jusqu'à sa fin (la lecture commence en pleine ligne).
std::uint64_t PointDeCoupe(const NomFichier& chemin, std::uint64_t taille) {
    LecteurTexte fichier;
    if (!fichier.Ouvrir(chemin, taille / 2) || fichier.FinFichier())
        return 0;
    fichier.LireDebutDeLigne(0);
    if (fichier.FinFichier())
        return 0;
    return fichier.DebutLigneSuivante();
}

// Lit le journal, en deux morceaux à la fois quand coupe n'est pas nul, et rend ce qu'un seul
// lecteur aurait trouvé.
Morceau LireJournal(LecteurTexte& fichier, const NomFichier& chemin, std::uint64_t taille,
                    std::uint64_t coupe, int pause, const std::stop_token& arret) {
    Morceau tete(pause);
    if (coupe == 0) {
        Balayer(fichier, 0, 0, tete, arret);
        return tete;
    }
    Morceau suite(pause);
    suite.sessions.RecevoirUneSuite();
    std::exception_ptr probleme;
    std::thread fil([&] {
        try {
            LecteurTexte deuxieme;
            if (deuxieme.Ouvrir(chemin, coupe)) {
                Balayer(deuxieme, 0, taille, suite, arret);
            } else {
                suite.erreur = true;
                suite.raison = deuxieme.Raison();
            }
        } catch (...) {
            probleme = std::current_exception();
        }
    });
    try {
        Balayer(fichier, coupe, 0, tete, arret);
    } catch (...) {
        fil.join();
        throw;
    }
    fil.join();
    if (probleme)
        std::rethrow_exception(probleme);
    tete.interrompu = tete.interrompu || suite.interrompu;
    if (!tete.erreur && suite.erreur) {
        tete.erreur = true;
        tete.raison = suite.raison;
    }
    tete.raccourci = tete.raccourci || suite.raccourci;
    if (suite.lignes > 0) {
        if (tete.lignes == 0)
            tete.premiere = suite.premiere;
        tete.derniere = std::move(suite.derniere);
    }
    tete.lignes += suite.lignes;
    tete.sessions.Fusionner(std::move(suite.sessions));
    return tete;
}

ResumeJournal::Marque MarqueDe(std::string_view premiere) {
    const std::string_view tete = premiere.substr(0, 3);
    if (tete == "\xEF\xBB\xBF")
        return ResumeJournal::Marque::Utf8;
    if (tete.substr(0, 2) == "\xFF\xFE")
        return ResumeJournal::Marque::Utf16PetitBoutiste;
    if (tete.substr(0, 2) == "\xFE\xFF")
        return ResumeJournal::Marque::Utf16GrandBoutiste;
    return ResumeJournal::Marque::Aucune;
}

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

Issue<ResumeJournal> Moteur::Analyser(const DemandeAnalyse& demande, Progression& progression,
                                      std::stop_token arret) try {
    if (demande.journaux.chemins.size() > 1)
        return AnalyserFusion(demande, progression, arret);
    const NomFichier& chemin = demande.journaux.Premier();
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

    // Un seul balayage, en deux moitiés à la fois pour un grand journal : la première ligne
    // donne la date de début et la marque, chaque ligne passe par le détecteur de séances, la
    // dernière donne la date de fin.
    const bool enDeux = empreinte && empreinte->taille >= reglages_.seuilAnalyseEnDeux &&
                        std::thread::hardware_concurrency() > 1;
    const std::uint64_t coupe = enDeux ? PointDeCoupe(chemin, empreinte->taille) : 0;
    Morceau lu = LireJournal(fichier, chemin, enDeux ? empreinte->taille : 0, coupe,
                             demande.pauseSessions, arret);
    if (lu.interrompu || arret.stop_requested())
        return Resultat::Interruption();
    if (lu.erreur)
        return Resultat::Echec(lecture, chemin, lu.raison);
    if (lu.raccourci)
        return Resultat::Echec(lecture, chemin,
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; choisissez-le de nouveau");
    resume.lignes = lu.lignes;
    if (resume.lignes > 0) {
        resume.debut = DateDeLigne(lu.premiere);
        resume.marque = MarqueDe(lu.premiere);
        resume.fin = DateDeLigne(lu.derniere);
    }
    resume.sessions = lu.sessions.Terminer(resume.sessionsOubliees);
    memoire_->MemoriserLignes(chemin, empreinte, resume.lignes);
    return resume;
} catch (...) {
    // Mémoire épuisée, ici ou dans un fil de travail : les fichiers entamés sont déjà
    // supprimés, et l'échec est dit comme les autres.
    return Resultat::Exception("Impossible d'analyser le journal", demande.journaux.Premier());
}

Issue<ResumeJournal> Moteur::AnalyserFusion(const DemandeAnalyse& demande, Progression& progression,
                                            std::stop_token arret) try {
    const auto source =
        SourceDesJournaux(demande.journaux, *reglages_.horloge, reglages_.delaiLigneInachevee);
    if (Resultat r = source->Ouvrir(); !r.ok)
        return r;
    progression.Debut();
    ResumeJournal resume;
    DetecteurSessions sessions(demande.pauseSessions);
    std::string premiere, derniere;
    while (!source->FinFichier()) {
        const std::string_view ligne = source->LireLigne();
        if (resume.lignes == 0)
            premiere.assign(ligne.substr(0, LongueurEnTete));
        derniere.assign(ligne.substr(0, LongueurEnTete));
        sessions.Ajouter(ligne);
        if (++resume.lignes % 65536 == 0 && arret.stop_requested())
            return Resultat::Interruption();
    }
    if (arret.stop_requested())
        return Resultat::Interruption();
    if (Resultat r = source->Verifier(); !r.ok)
        return r;
    if (resume.lignes > 0) {
        resume.debut = DateDeLigne(premiere);
        resume.marque = MarqueDe(premiere);
        resume.fin = DateDeLigne(derniere);
    }
    resume.sessions = sessions.Terminer(resume.sessionsOubliees);
    resume.journaux = source->JournauxLus();
    resume.avisJournaux = source->Avis();
    return resume;
} catch (...) {
    return Resultat::Exception("Impossible d'analyser le journal", demande.journaux.Premier());
}

} // namespace vek
