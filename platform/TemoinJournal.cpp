#include "TemoinJournal.h"

#include <algorithm>
#include <cstdio>

#include "Chemins.h"
#include "Systeme.h"

namespace vek {

namespace {

bool MemeFichier(const EmpreinteFichier& a, const EmpreinteFichier& b) {
    return a.noeud == b.noeud && a.volume == b.volume;
}

} // namespace

std::optional<std::string> LireOctetsSiMeme(const NomFichier& chemin,
                                            const EmpreinteFichier& identite, std::uint64_t debut,
                                            std::size_t maximum) {
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::optional<std::string> lus;
    if (const auto e = systeme::EmpreinteOuverte(f);
        e && MemeFichier(*e, identite) &&
        systeme::AllerA(f, static_cast<systeme::Position>(debut), SEEK_SET) == 0) {
        std::string octets(maximum, '\0');
        octets.resize(std::fread(octets.data(), 1, maximum, f));
        if (!std::ferror(f))
            lus = std::move(octets);
    }
    std::fclose(f);
    return lus;
}

const std::string& TemoinJournal::RaisonSupprime() {
    static const std::string raison =
        "le journal a été supprimé pendant la lecture ; rien n'a été gardé de cette passe et les "
        "fichiers de sortie précédents restent tels quels";
    return raison;
}

const std::string& TemoinJournal::Raison() {
    static const std::string raison =
        "le journal a été remplacé ou réécrit pendant la lecture ; rien n'a été gardé de cette "
        "passe et les fichiers de sortie précédents restent tels quels : relancez-la";
    return raison;
}

bool TemoinJournal::Noter(const NomFichier& chemin, const LecteurTexte& lecteur) {
    identite_ = lecteur.EmpreinteOuverture();
    debut_.clear();
    if (!identite_)
        return true; // un tube : rien à comparer
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(identite_->taille, TailleDebut));
    auto debut = LireOctetsSiMeme(chemin, *identite_, 0, n);
    if (!debut || debut->size() != n)
        return false;
    debut_ = std::move(*debut);
    return true;
}

std::optional<std::string> TemoinJournal::Changement(const NomFichier& chemin,
                                                     const LecteurTexte& lecteur) const {
    if (!identite_)
        return std::nullopt;
    // Le nom désigne toujours le fichier lu, qui n'a pas raccourci en deçà de ce qui a été lu et
    // dont les premiers octets sont ceux de l'ouverture.
    if (!FichierExiste(chemin))
        return RaisonSupprime();
    const auto actuel = lecteur.EmpreinteActuelle();
    const auto debut = LireOctetsSiMeme(chemin, *identite_, 0, debut_.size());
    if (!actuel || actuel->taille < lecteur.FinDeLecture() || !debut || *debut != debut_)
        return Raison();
    return std::nullopt;
}

} // namespace vek
