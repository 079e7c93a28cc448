#include "SourceFichier.h"

#include <algorithm>

#include "Ligne.h"

namespace vek {

namespace {

const std::string ActionLecture = "Impossible de lire le journal";

} // namespace

SourceFichier::SourceFichier(NomFichier chemin, Horloge& horloge,
                             std::chrono::milliseconds delaiInachevee)
    : journaux_{std::move(chemin)}, horloge_(horloge), delai_(delaiInachevee) {}

Resultat SourceFichier::Ouvrir(const LectureLue* precedente) {
    return OuvrirDepuis(precedente && !precedente->Vide() ? &precedente->journaux.front()
                                                          : nullptr);
}

Resultat SourceFichier::OuvrirDepuis(const LuDUnJournal* precedente) {
    std::uint64_t depuis = 0;
    if (precedente) {
        const LuDUnJournal& l = *precedente;
        depuis = l.fin;
        // Un CR LF coupé entre deux lectures : le LF appartient à la ligne déjà lue.
        if (!l.queue.empty() && l.queue.back() == '\r' &&
            LireOctetsSiMeme(Chemin(), l.identite, depuis, 1) == std::optional<std::string>("\n"))
            ++depuis;
    }
    lues_ = 0;
    derniere_ = 0;
    if (!lecteur_.Ouvrir(Chemin(), depuis))
        return Resultat::Echec(ActionLecture, Chemin(), lecteur_.Raison());
    lecteur_.AttendreLignesAchevees(horloge_, delai_);
    if (!temoin_.Noter(Chemin(), lecteur_))
        return Resultat::Echec(ActionLecture, Chemin(), TemoinJournal::Raison());
    return Resultat::Succes();
}

std::optional<std::string> SourceFichier::RaisonDeToutRelire(const LectureLue& precedente) const {
    if (precedente.journaux.size() != 1 || precedente.fusion)
        return "un autre journal : recherche complète";
    return RaisonDeToutRelire(precedente.journaux.front());
}

std::optional<std::string> SourceFichier::RaisonDeToutRelire(const LuDUnJournal& l) const {
    if (l.chemin != Chemin())
        return "un autre journal : recherche complète";
    const auto e = LireEmpreinte(Chemin());
    if (!e || e->noeud != l.identite.noeud || e->volume != l.identite.volume)
        return "le journal a été remplacé : recherche complète";
    if (e->taille < l.fin)
        return "le journal a raccourci : recherche complète";
    // Une dernière ligne prise sans fin de ligne (le journal ne grandissait plus) que le jeu a
    // prolongée depuis : elle n'est plus celle de l'extrait.
    if (e->taille > l.fin && !l.queue.empty() && l.queue.back() != '\n' && l.queue.back() != '\r')
        return "la dernière ligne lue a été prolongée : recherche complète";
    const auto queue =
        LireOctetsSiMeme(Chemin(), l.identite, l.fin - l.queue.size(), l.queue.size());
    if (!queue || *queue != l.queue)
        return "le journal a changé avant son ancienne fin : recherche complète";
    return std::nullopt;
}

Resultat SourceFichier::Verifier() {
    if (lecteur_.ErreurLecture())
        return Resultat::Echec(ActionLecture, Chemin(), lecteur_.Raison());
    if (lecteur_.Raccourci())
        return Resultat::Echec(ActionLecture, Chemin(),
                               "le fichier a raccourci pendant la lecture (un autre programme "
                               "l'a tronqué ou remplacé) ; rien n'a été gardé de cette passe, "
                               "relancez-la");
    // Avant d'annoncer le succès : le journal lu est toujours celui du début de la passe.
    if (const auto changement = temoin_.Changement(Chemin(), lecteur_))
        return Resultat::Echec(ActionLecture, Chemin(), *changement);
    return Resultat::Succes();
}

LectureLue SourceFichier::Lu() const {
    LectureLue lue;
    if (auto l = LuDuJournal())
        lue.journaux.push_back(std::move(*l));
    return lue;
}

std::optional<LuDUnJournal> SourceFichier::LuDuJournal() const {
    const auto& identite = lecteur_.EmpreinteOuverture();
    if (!identite)
        return std::nullopt;
    LuDUnJournal l{Chemin(), *identite, lecteur_.FinDeLecture(), {}, std::nullopt};
    // La queue est relue du fichier même qui a été lu : la suite devra la retrouver intacte.
    const std::uint64_t n = std::min<std::uint64_t>(l.fin, TemoinJournal::TailleDebut);
    auto queue = LireOctetsSiMeme(Chemin(), l.identite, l.fin - n, static_cast<std::size_t>(n));
    if (!queue || queue->size() != n)
        return std::nullopt;
    l.queue = std::move(*queue);
    if (lues_ > 0 && l.fin > 0 && l.queue.back() != '\n' && l.queue.back() != '\r' &&
        derniere_ <= l.fin)
        l.debutProvisoire = l.fin - derniere_;
    return l;
}

} // namespace vek
