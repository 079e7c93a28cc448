// La passe de recherche d'une requête dans un journal : une moitié lue sur le fil de l'appel,
// l'autre sur un second fil, dont les lignes trouvées attendent dans une file bornée ; ou dans la
// fusion de plusieurs journaux, ligne à ligne.

#include "TrouverScene.h"

#include "Horloge.h"
#include "Ligne.h"
#include "Morceau.h"
#include "TemoinJournal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace vek {

namespace {

constexpr std::size_t TailleTampon = std::size_t{1} << 19;
constexpr std::size_t TailleEchantillon = std::size_t{1} << 20;
// Les lignes trouvées de la seconde moitié qui peuvent attendre la fin de la première : au-delà,
// son lecteur attend qu'on les vide (la mémoire reste bornée quand tout est trouvé).
constexpr std::size_t OctetsEnAttente = std::size_t{4} << 20;

// Les lignes de la fusion entre deux regards sur l'arrêt et la progression, moins une.
constexpr std::uint64_t LignesEntreDeuxRegards = 4096 - 1;

// Le début du journal, dont les fréquences décident des octets candidats ; vide s'il ne se lit
// pas (le journal ouvert n'est plus sous ce nom, par exemple).
std::string Echantillon(const NomFichier& chemin, const std::optional<EmpreinteFichier>& journal) {
    if (!journal)
        return {};
    const auto n = std::min<std::uint64_t>(journal->taille, TailleEchantillon);
    return LireOctetsSiMeme(chemin, *journal, 0, static_cast<std::size_t>(n))
        .value_or(std::string());
}

// La file des lignes trouvées par le second lecteur.
class FileSuite {
public:
    // Faux si la file est abandonnée (la passe s'arrête).
    bool Deposer(LigneTrouvee& l) {
        std::unique_lock verrou(mutex_);
        place_.wait(verrou, [this] { return octets_ < OctetsEnAttente || abandon_; });
        if (abandon_)
            return false;
        octets_ += Poids(l);
        lignes_.push_back(std::move(l));
        arrivee_.notify_one();
        return true;
    }
    void Finir() {
        std::lock_guard verrou(mutex_);
        fini_ = true;
        arrivee_.notify_one();
    }
    void Abandonner() {
        std::lock_guard verrou(mutex_);
        abandon_ = true;
        place_.notify_one();
    }
    // Prend ce qui attend (au plus un court moment d'attente) ; faux quand tout a été pris et
    // que le lecteur a fini.
    bool Prendre(std::deque<LigneTrouvee>& sortie) {
        std::unique_lock verrou(mutex_);
        arrivee_.wait_for(verrou, std::chrono::milliseconds(50),
                          [this] { return !lignes_.empty() || fini_; });
        sortie.swap(lignes_);
        octets_ = 0;
        place_.notify_one();
        return !(fini_ && sortie.empty());
    }

private:
    static std::size_t Poids(const LigneTrouvee& l) {
        return sizeof l + l.ligne.size() + l.passages.size() * sizeof(Passage);
    }
    std::mutex mutex_;
    std::condition_variable place_, arrivee_;
    std::deque<LigneTrouvee> lignes_;
    std::size_t octets_ = 0;
    bool fini_ = false, abandon_ = false;
};

// Range les lignes trouvées dans le résultat, ou les passe au receveur.
struct Livreur {
    const DemandeScene& demande;
    const ReceveurLignes& receveur;
    ResultatScene& r;
    void operator()(LigneTrouvee& l) {
        ++r.trouvees;
        if (receveur)
            receveur(l);
        else if (r.lignes.size() < demande.maximumGardees)
            r.lignes.push_back(std::move(l));
    }
};

struct Lecture {
    const DemandeScene& demande;
    const NomFichier& chemin;
    const OctetsCandidats& candidats;
    Progression& progression;
    const std::stop_token& arret;
    std::uint64_t taille;
};

// La seconde moitié, une fois la première lue : ses lignes trouvées prennent leurs vrais numéros
// (de ligne et de séance) et partent dans l'ordre, jusqu'à ce que son lecteur ait fini.
void ViderSuite(FileSuite& file, Morceau& tete, Morceau& suite, const Lecture& l, Livreur& livrer) {
    std::deque<LigneTrouvee> prises;
    while (file.Prendre(prises)) {
        for (LigneTrouvee& t : prises) {
            t.numero += tete.lignes;
            // La première heure de la suite est notée avant qu'elle dépose une ligne de séance.
            if (t.seance != 0)
                t.seance =
                    tete.parcours.Seances().Decaler(t.seance, suite.parcours.Seances().Premiere());
            livrer(t);
        }
        prises.clear();
        l.progression.Valeur(tete.octetsLus + suite.octetsLus.load(std::memory_order_relaxed));
        l.progression.Compteur(tete.lignes + suite.lignesLues.load(std::memory_order_relaxed));
        if (l.arret.stop_requested())
            file.Abandonner();
    }
}

// Lit le journal, en deux moitiés à la fois quand coupe n'est pas nul ; rend le lecteur qui a lu
// la fin du journal (pour le témoin) et ce qu'un seul lecteur aurait trouvé dans tete.
LecteurTexte& LireJournal(LecteurTexte& premier, LecteurTexte& second, std::uint64_t coupe,
                          Morceau& tete, Morceau& suite, const Lecture& l, Livreur& livrer) {
    const Emetteur direct = [&livrer](LigneTrouvee& t) { livrer(t); };
    const auto regard = [&] {
        l.progression.Valeur(tete.octetsLus.load(std::memory_order_relaxed) +
                             suite.octetsLus.load(std::memory_order_relaxed));
        l.progression.Compteur(tete.lignes + suite.lignesLues.load(std::memory_order_relaxed));
    };
    if (coupe == 0) {
        LireMorceau(premier, 0, 0, l.candidats, tete, l.arret, direct, regard);
        return premier;
    }
    suite.parcours.Seances().RecevoirUneSuite();
    // L'arrêt demandé arrête les deux lecteurs ; l'échec de la première moitié, la seconde.
    std::stop_source abandon;
    const std::stop_callback relais(l.arret, [&abandon] { abandon.request_stop(); });
    const std::stop_token jeton = abandon.get_token();
    FileSuite file;
    std::exception_ptr probleme;
    std::thread fil([&] {
        try {
            if (second.Ouvrir(l.chemin, coupe)) {
                const Emetteur deposer = [&file](LigneTrouvee& t) { file.Deposer(t); };
                LireMorceau(second, 0, l.taille, l.candidats, suite, jeton, deposer, [] {});
            } else {
                suite.erreur = true;
                suite.raison = second.Raison();
            }
        } catch (...) {
            probleme = std::current_exception();
        }
        file.Finir();
    });
    try {
        LireMorceau(premier, coupe, 0, l.candidats, tete, jeton, direct, regard);
        if (tete.interrompu || tete.erreur || tete.raccourci) {
            abandon.request_stop();
            file.Abandonner();
        }
        ViderSuite(file, tete, suite, l, livrer);
    } catch (...) {
        abandon.request_stop();
        file.Abandonner();
        fil.join();
        throw;
    }
    fil.join();
    if (probleme)
        std::rethrow_exception(probleme);
    return second;
}

// Un seul journal, lu par blocs, en deux moitiés à la fois s'il est grand.
Issue<ResultatScene> TrouverDansLeJournal(const NomFichier& chemin, const DemandeScene& demande,
                                          Progression& progression, const std::stop_token& arret,
                                          const ReceveurLignes& receveur) {
    const std::string lecture = "Impossible de lire le journal";
    LecteurTexte premier(TailleTampon), second(TailleTampon);
    if (!premier.Ouvrir(chemin))
        return Resultat::Echec(lecture, chemin, premier.Raison());
    TemoinJournal temoin;
    if (!temoin.Noter(chemin, premier))
        return Resultat::Echec(lecture, chemin, TemoinJournal::Raison());
    const auto ouverture = premier.EmpreinteOuverture();
    const std::uint64_t taille = ouverture ? ouverture->taille : 0;
    const OctetsCandidats candidats(demande.requete, Echantillon(chemin, ouverture));
    progression.Maximum(taille + 1);

    const bool enDeux = taille >= demande.seuilEnDeux && std::thread::hardware_concurrency() > 1;
    const std::uint64_t coupe = enDeux ? PointDeCoupe(chemin, taille) : 0;
    ResultatScene r;
    Livreur livrer{demande, receveur, r};
    Morceau tete(demande.requete, demande.periode, demande.pauseSessions);
    Morceau suite(demande.requete, demande.periode, demande.pauseSessions);
    const Lecture l{demande, chemin, candidats, progression, arret, taille};
    const LecteurTexte& dernier = LireJournal(premier, second, coupe, tete, suite, l, livrer);
    if (arret.stop_requested())
        return Resultat::Interruption();
    for (const Morceau* m : {&tete, &suite})
        if (m->erreur)
            return Resultat::Echec(lecture, chemin, m->raison);
    if (tete.raccourci || suite.raccourci)
        return Resultat::Echec(lecture, chemin,
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; relancez la recherche");
    if (tete.interrompu || suite.interrompu)
        return Resultat::Interruption();
    if (const auto changement = temoin.Changement(chemin, dernier))
        return Resultat::Echec(lecture, chemin, *changement);
    tete.parcours.Seances().Fusionner(std::move(suite.parcours.Seances()));
    r.seances = tete.parcours.Seances().Terminer();
    r.lignesLues = tete.lignes + suite.lignes;
    r.journaux = {chemin};
    progression.Valeur(taille);
    progression.Compteur(r.lignesLues);
    return r;
}

// Plusieurs journaux : leur fusion, une ligne après l'autre, par la boucle de correspondance ;
// une ligne où ne se trouve aucun candidat de la requête ne fait que passer. Les candidats sont
// choisis sur le début du premier journal.
Issue<ResultatScene> TrouverDansLaFusion(SourceLignes& source, const DemandeScene& demande,
                                         Progression& progression, const std::stop_token& arret,
                                         const ReceveurLignes& receveur) {
    const NomFichier& reference = source.Journaux().front();
    const OctetsCandidats candidats(demande.requete,
                                    Echantillon(reference, LireEmpreinte(reference)));
    if (Resultat ouverture = source.Ouvrir(); !ouverture.ok)
        return ouverture;
    ResultatScene r;
    Livreur livrer{demande, receveur, r};
    ParcoursRecherche parcours(demande.requete, demande.periode, demande.pauseSessions);
    LigneTrouvee trouvee;
    while (!source.FinFichier()) {
        const std::string_view ligne = source.LireLigne();
        const char* const fin = ligne.data() + ligne.size();
        if (candidats.Suivant(ligne.data(), fin) == fin) {
            parcours.Passer(ligne);
        } else if (parcours.Examiner(ligne, trouvee)) {
            trouvee.numero = source.NumeroDeLaLigne();
            trouvee.position = 0;
            trouvee.source = source.SourceDeLaLigne();
            livrer(trouvee);
        }
        if ((++r.lignesLues & LignesEntreDeuxRegards) == 0) {
            progression.Compteur(r.lignesLues);
            if (arret.stop_requested())
                return Resultat::Interruption();
        }
    }
    if (arret.stop_requested())
        return Resultat::Interruption();
    if (Resultat verification = source.Verifier(); !verification.ok)
        return verification;
    r.seances = parcours.Seances().Terminer();
    r.journaux = source.Journaux();
    r.avisJournaux = source.Avis();
    progression.Compteur(r.lignesLues);
    return r;
}

} // namespace

Issue<ResultatScene> TrouverScene(const DemandeScene& demande, Progression& progression,
                                  std::stop_token arret, const ReceveurLignes& receveur) try {
    if (demande.journaux.chemins.empty())
        return Resultat::Echec("Impossible de lire le journal", {}, "aucun journal n'est donné");
    NomFichier chemin(RognerEspaces(demande.journaux.Premier()));
    if (demande.journaux.chemins.size() > 1) {
        // Le même fichier donné deux fois n'est qu'un journal : il est alors lu seul.
        const auto source =
            SourceDesJournaux(demande.journaux, HorlogeMachine(), std::chrono::milliseconds(0));
        if (source->Journaux().size() > 1)
            return TrouverDansLaFusion(*source, demande, progression, arret, receveur);
        chemin = source->Journaux().front();
    }
    return TrouverDansLeJournal(chemin, demande, progression, arret, receveur);
} catch (...) {
    // Mémoire épuisée, ici ou dans le second fil : l'échec est dit comme les autres.
    return Resultat::Exception("Impossible de chercher dans le journal",
                               demande.journaux.chemins.empty() ? NomFichier()
                                                                : demande.journaux.Premier());
}

} // namespace vek
