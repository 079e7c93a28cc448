#include "Ecriture.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

#include "Chemins.h"
#include "Systeme.h"
#include "Validation.h"

namespace vek {

EcrivainTexte::EcrivainTexte() : tampon_(std::size_t{1} << 18) {}

EcrivainTexte::~EcrivainTexte() {
    if (fichier_)
        Fermer();
}

void EcrivainTexte::Repartir() {
    if (fichier_)
        Fermer();
    codeErreur_ = 0;
    rempli_ = 0;
    ecrits_ = 0;
    depart_ = 0;
    pousses_ = 0;
    repris_ = false;
    neuf_ = false;
    depuisLeDebut_ = false;
    empreinte_ = CalculEmpreinte();
}

void EcrivainTexte::Remis(std::string_view octets) {
    if (depuisLeDebut_)
        empreinte_.Ajouter(octets);
}

std::optional<ContenuSortie> EcrivainTexte::Contenu() const {
    if (!depuisLeDebut_ || codeErreur_ != 0 || empreinte_.Taille() != ecrits_)
        return std::nullopt;
    return ContenuSortie{false, empreinte_.Taille(), empreinte_.Valeur()};
}

bool EcrivainTexte::OuvrirFichier(const std::string& chemin, const char* mode) {
    errno = 0;
    fichier_ = std::fopen(chemin.c_str(), mode);
    if (!fichier_) {
        codeErreur_ = DernierCode();
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0); // notre tampon suffit
    return true;
}

bool EcrivainTexte::Creer(const std::string& chemin) {
    Repartir();
    return OuvrirFichier(chemin, "wb");
}

bool EcrivainTexte::CreerNeuf(const std::string& chemin) {
    Repartir();
    // Jamais un fichier déjà là, jamais à travers un lien : un lien planté sous ce nom fait
    // échouer l'ouverture au lieu de faire écrire ailleurs.
    errno = 0;
    fichier_ = systeme::CreerExclusif(chemin);
    if (!fichier_) {
        codeErreur_ = DernierCode();
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0);
    neuf_ = true;
    depuisLeDebut_ = true;
    return true;
}

bool EcrivainTexte::Reprendre(const std::string& chemin) {
    Repartir();
    // Seul un fichier ordinaire qui n'a pas d'autre nom (lien physique) est réécrit sur place.
    // Un lien symbolique, un tube ou un fichier partagé prend le chemin du fichier temporaire, et
    // le nom est remplacé sans que rien ne soit écrit à travers lui.
    fichier_ = systeme::OuvrirSiSeulNom(chemin);
    if (!fichier_)
        return false;
    std::setvbuf(fichier_, nullptr, _IONBF, 0);
    repris_ = true;
    return true;
}

bool EcrivainTexte::Prolonger(const std::string& chemin, std::uint64_t taille) {
    if (!Reprendre(chemin))
        return false;
    if (systeme::AllerA(fichier_, static_cast<systeme::Position>(taille), SEEK_SET) != 0) {
        codeErreur_ = DernierCode();
        return false;
    }
    ecrits_ = depart_ = taille;
    return true;
}

bool EcrivainTexte::Ramener() {
    if (!fichier_)
        return false;
    rempli_ = 0; // le tampon n'est pas écrit
    ecrits_ = depart_;
    codeErreur_ = 0;
    return Fermer();
}

void EcrivainTexte::PousserVersLeDisque() {
    // Seulement pour un fichier neuf (temporaire d'une sortie) : chaque tranche de 16 Mio écrite
    // part vers le disque sans attendre, pendant que la passe continue ; l'attente finale n'a
    // plus que la dernière à faire.
    constexpr std::uint64_t Tranche = std::uint64_t{16} << 20;
    if (!neuf_ || ecrits_ - pousses_ < Tranche)
        return;
    systeme::LancerEcriture(fichier_, pousses_, ecrits_ - pousses_);
    pousses_ = ecrits_;
}

void EcrivainTexte::RemettreAuSysteme() {
    Vider();
    errno = 0;
    if (std::fflush(fichier_) != 0 && codeErreur_ == 0)
        codeErreur_ = DernierCode();
}

bool EcrivainTexte::Synchroniser() {
    if (!fichier_)
        return codeErreur_ == 0;
    RemettreAuSysteme();
    if (codeErreur_ == 0)
        codeErreur_ = systeme::AttendreDisque(fichier_);
    return codeErreur_ == 0;
}

void EcrivainTexte::Vider() {
    if (rempli_ == 0 || !fichier_)
        return;
    if (codeErreur_ == 0) {
        errno = 0;
        if (std::fwrite(tampon_.data(), 1, rempli_, fichier_) != rempli_)
            codeErreur_ = DernierCode();
        Remis({tampon_.data(), rempli_});
        ecrits_ += rempli_;
        PousserVersLeDisque();
    }
    rempli_ = 0;
}

void EcrivainTexte::Ecrire(std::string_view texte) {
    if (!fichier_ || codeErreur_ != 0 || texte.empty()) // une vue vide peut n'avoir aucune adresse
        return;
    if (texte.size() > tampon_.size() - rempli_) {
        Vider();
        if (texte.size() >= tampon_.size()) {
            errno = 0;
            if (std::fwrite(texte.data(), 1, texte.size(), fichier_) != texte.size())
                codeErreur_ = DernierCode();
            Remis(texte);
            ecrits_ += texte.size();
            PousserVersLeDisque();
            return;
        }
    }
    std::memcpy(tampon_.data() + rempli_, texte.data(), texte.size());
    rempli_ += texte.size();
}

void EcrivainTexte::EcrireLigne(std::string_view texte) {
    Ecrire(texte);
    Ecrire("\r\n");
}

void EcrivainTexte::ReprendreDroitsDe(const std::string& ancien) {
    if (fichier_)
        systeme::DroitsAvantFermeture(fichier_, ancien);
}

bool EcrivainTexte::Fermer() {
    if (!fichier_)
        return codeErreur_ == 0;
    RemettreAuSysteme();
    if (repris_ && codeErreur_ == 0) {
        // La fin de l'ancien contenu, au-delà du nouveau, disparaît.
        codeErreur_ = systeme::Tronquer(fichier_, ecrits_);
    }
    repris_ = false;
    if (std::fclose(fichier_) != 0 && codeErreur_ == 0)
        codeErreur_ = DernierCode();
    fichier_ = nullptr;
    return codeErreur_ == 0;
}

namespace {

// 64 bits au hasard en hexadécimal : les noms temporaires ne se devinent pas.
std::string NombreAuHasard() {
    static std::mt19937_64 generateur{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    static std::mutex verrou;
    std::uint64_t n = 0;
    {
        const std::lock_guard<std::mutex> garde(verrou);
        n = generateur();
    }
    char texte[17];
    std::snprintf(texte, sizeof texte, "%016llx", static_cast<unsigned long long>(n));
    return texte;
}

} // namespace

std::string NomTemporaire(const std::string& cible) {
    return cible + std::string(SuffixeTemporaire) + std::to_string(systeme::NumeroProcessus()) +
           "-" + NombreAuHasard();
}

bool EstTemporaireDe(std::string_view nom, std::string_view base, unsigned long* numero) {
    if (nom.size() <= base.size() || nom.substr(0, base.size()) != base)
        return false;
    nom.remove_prefix(base.size());
    if (nom.substr(0, SuffixeTemporaire.size()) != SuffixeTemporaire)
        return false;
    nom.remove_prefix(SuffixeTemporaire.size());
    if (nom.size() > SuffixeAncien.size() &&
        nom.substr(nom.size() - SuffixeAncien.size()) == SuffixeAncien)
        nom.remove_suffix(SuffixeAncien.size());
    // <processus>-<16 chiffres hexadécimaux minuscules>, rien d'autre.
    const auto tiret = nom.find('-');
    if (tiret == 0 || tiret == std::string_view::npos || tiret > 10 || nom.size() != tiret + 1 + 16)
        return false;
    unsigned long n = 0;
    for (const char c : nom.substr(0, tiret)) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned long>(c - '0');
    }
    for (const char c : nom.substr(tiret + 1))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    if (numero)
        *numero = n;
    return true;
}

EcritureAtomique::~EcritureAtomique() {
    if (ouvert_ || prepare_)
        Abandonner();
}

bool EcritureAtomique::Ouvrir(const std::string& cible) {
    if (ouvert_ || prepare_)
        Abandonner();
    cible_ = cible;
    raison_.clear();
    fichierEnCause_.clear();
    // La sortie ne s'écrit que comme fichier ordinaire : un tube, un périphérique ou un
    // dossier qui porte son nom est refusé avant toute écriture (un tube ferait attendre sans
    // fin). Un lien symbolique, lui, sera remplacé par le nouveau fichier.
    if (const auto genre = GenreDuNom(cible)) {
        if (*genre != GenreFichier::Ordinaire && *genre != GenreFichier::Lien) {
            raison_ =
                DescriptionGenre(*genre) + ", pas un fichier ordinaire : il n'est pas remplacé";
            fichierEnCause_ = cible_;
            return false;
        }
    }
    // Nom temporaire imprévisible dans le même dossier (le renommage reste sur le même disque),
    // créé en exclusivité : un nom déjà pris, ou un lien planté d'avance, est écarté.
    for (int essai = 0; essai < 16; ++essai) {
        temporaire_ = NomTemporaire(cible);
        if (ecrivain_.CreerNeuf(temporaire_)) {
            ouvert_ = true;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    raison_ = ecrivain_.Raison();
    fichierEnCause_ = cible_;
    return false;
}

bool EcritureAtomique::Preparer() {
    if (!ouvert_)
        return false;
    // Le nouveau fichier est sur le disque avant de prendre le nom de l'ancien : une coupure de
    // courant laisse l'un ou l'autre, jamais un fichier vide sous le bon nom.
    ecrivain_.ReprendreDroitsDe(cible_);
    const bool ecrit = ecrivain_.Synchroniser() && ecrivain_.Fermer();
    ouvert_ = false;
    if (!ecrit) {
        raison_ = ecrivain_.Raison();
        fichierEnCause_ = cible_;
        ecrivain_.Fermer();
        SupprimerFichier(temporaire_);
        return false;
    }
    systeme::DroitsApresFermeture(temporaire_, cible_);
    contenu_ = ecrivain_.Contenu();
    prepare_ = true;
    return true;
}

bool EcritureAtomique::Valider() {
    if (!ouvert_)
        return false;
    if (const auto echec = ValiderEnsemble({this})) {
        raison_ = echec->raison;
        fichierEnCause_ = cible_;
        return false;
    }
    return true;
}

bool EcritureAtomique::ValiderTravail() {
    if (!ouvert_)
        return Valider();
    ouvert_ = false;
    ecrivain_.ReprendreDroitsDe(cible_);
    int code = ecrivain_.Fermer() ? 0 : -1;
    if (code == 0) {
        systeme::DroitsApresFermeture(temporaire_, cible_);
        code = systeme::Renommer(temporaire_, cible_);
    }
    if (code == 0)
        return true;
    raison_ = code < 0 ? ecrivain_.Raison() : RaisonSysteme(code);
    fichierEnCause_ = cible_;
    SupprimerFichier(temporaire_);
    return false;
}

void EcritureAtomique::Abandonner() {
    if (prepare_) {
        prepare_ = false;
        SupprimerFichier(temporaire_);
        return;
    }
    if (!ouvert_)
        return;
    ouvert_ = false;
    ecrivain_.Fermer();
    SupprimerFichier(temporaire_);
}

} // namespace vek
