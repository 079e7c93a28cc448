#include "Lecture.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "Octets.h"
#include "Systeme.h"

namespace vek {

using systeme::AllerA;
using systeme::Position;
using systeme::PositionActuelle;
using systeme::TailleOuverte;

LecteurTexte::LecteurTexte(std::size_t tailleTampon)
    : tampon_(std::max<std::size_t>(tailleTampon, 1)), marques_(tampon_.size() / 64 + 1) {}

std::size_t LecteurTexte::ProchaineFin(std::size_t depuis) const {
    if (depuis >= fin_)
        return fin_;
    if (fin_ > marquesValides_) {
        const char* base = tampon_.data();
        return static_cast<std::size_t>(ChercherFinDeLigne(base + depuis, base + fin_) - base);
    }
    std::size_t w = depuis / 64;
    const std::size_t dernier = (fin_ - 1) / 64;
    std::uint64_t m = marques_[w] & (~std::uint64_t{0} << (depuis % 64));
    while (m == 0) {
        if (w == dernier)
            return fin_;
        m = marques_[++w];
    }
    return w * 64 + static_cast<std::size_t>(std::countr_zero(m));
}

LecteurTexte::~LecteurTexte() {
    Fermer();
}

bool LecteurTexte::Ouvrir(const std::string& chemin, std::uint64_t depuis) {
    Fermer();
    codeErreur_ = 0;
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0) {
        codeErreur_ = DernierCode();
        return false;
    }
    if ((info.st_mode & S_IFMT) == S_IFDIR) {
        codeErreur_ = EISDIR;
        return false;
    }
    // Un tube ou un périphérique n'est pas un journal : l'ouvrir ferait attendre sans fin.
    if ((info.st_mode & S_IFMT) != S_IFREG) {
        codeErreur_ = CodePasFichierOrdinaire;
        return false;
    }
    errno = 0;
    fichier_ = std::fopen(chemin.c_str(), "rb");
    if (!fichier_) {
        codeErreur_ = DernierCode();
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0); // notre tampon suffit
    tailleOuverture_ = TailleOuverte(fichier_);
    ouverture_ = systeme::EmpreinteOuverte(fichier_);
    debut_ = fin_ = apresDerniereFin_ = 0;
    finAtteinte_ = false;
    crEnAttente_ = false;
    auBout_ = false;
    sortFinale_ = -1;
    laisses_ = 0;
    lu_ = 0;
    if (depuis > 0) {
        if (AllerA(fichier_, static_cast<Position>(depuis), SEEK_SET) != 0) {
            codeErreur_ = DernierCode();
            Fermer();
            return false;
        }
        lu_ = depuis;
    }
    auBout_ = tailleOuverture_ >= 0 && lu_ >= static_cast<std::uint64_t>(tailleOuverture_);
    return true;
}

void LecteurTexte::Fermer() {
    if (fichier_) {
        std::fclose(fichier_);
        fichier_ = nullptr;
    }
    debut_ = fin_ = 0;
    apresDerniereFin_ = 0;
    finAtteinte_ = true;
    crEnAttente_ = false;
    std::string().swap(longue_);
    ligneLongue_ = false;
    tailleOuverture_ = -1;
    ouverture_.reset();
}

std::optional<EmpreinteFichier> LecteurTexte::EmpreinteActuelle() const {
    if (!fichier_)
        return std::nullopt;
    return systeme::EmpreinteOuverte(fichier_);
}

bool LecteurTexte::Remplir(bool marquer) {
    if (finAtteinte_ || !fichier_)
        return false;
    // Conserve les octets non consommés en tête de tampon.
    if (debut_ > 0) {
        std::memmove(tampon_.data(), tampon_.data() + debut_, fin_ - debut_);
        fin_ -= debut_;
        debut_ = 0;
        NoterDerniereFin();
    }
    if (fin_ == tampon_.size())
        return true; // plein : l'appelant consomme d'abord
    // Un fichier ordinaire s'arrête à sa taille d'ouverture : ce qui s'y ajoute ensuite attend
    // la lecture suivante.
    std::size_t place = tampon_.size() - fin_;
    if (tailleOuverture_ >= 0) {
        const auto taille = static_cast<std::uint64_t>(tailleOuverture_);
        place = static_cast<std::size_t>(
            std::min<std::uint64_t>(place, taille - std::min(lu_, taille)));
    }
    errno = 0;
    const std::size_t lus = place == 0 ? 0 : std::fread(tampon_.data() + fin_, 1, place, fichier_);
    fin_ += lus;
    lu_ += lus;
    auBout_ = tailleOuverture_ >= 0 && lu_ >= static_cast<std::uint64_t>(tailleOuverture_);
    marquesValides_ = 0;
    NoterDerniereFin();
    if (lus == 0) {
        if (std::ferror(fichier_))
            codeErreur_ = DernierCode();
        finAtteinte_ = true;
        return false;
    }
    if (marquer) {
        MarquerFinsDeLigne(tampon_.data(), fin_, marques_.data());
        marquesValides_ = fin_;
    }
    return true;
}

void LecteurTexte::PasserLF() {
    if (!crEnAttente_)
        return;
    if (debut_ == fin_ && !Remplir())
        return; // fin du fichier : rien à avaler
    crEnAttente_ = false;
    if (debut_ < fin_ && tampon_[debut_] == '\n')
        ++debut_;
}

bool LecteurTexte::FinFichier() {
    PasserLF();
    if (debut_ == fin_ && (!Remplir() || debut_ == fin_))
        return true;
    if (!horloge_ || debut_ < apresDerniereFin_)
        return false; // une fin de ligne attend dans le tampon
    // Plus aucune fin de ligne dans le tampon : la suite du fichier dit si la ligne s'achève.
    while (!auBout_ && fin_ - debut_ < tampon_.size() && Remplir())
        if (debut_ < apresDerniereFin_)
            return false;
    // Au bout du fichier, une ligne sans fin de ligne peut être en cours d'écriture.
    if (auBout_ && debut_ >= apresDerniereFin_ && !LigneFinaleAchevee()) {
        laisses_ = fin_ - debut_;
        debut_ = fin_;
        return true;
    }
    return false;
}

void LecteurTexte::NoterDerniereFin() {
    std::size_t k = fin_;
    while (k > 0 && !EstFinDeLigne(tampon_[k - 1]))
        --k;
    apresDerniereFin_ = k;
}

bool LecteurTexte::LigneFinaleAchevee() {
    if (sortFinale_ < 0) {
        // Achevée si le fichier n'a ni grandi depuis l'ouverture ni changé depuis delai.
        const auto avant = EmpreinteActuelle();
        bool achevee = avant && static_cast<long long>(avant->taille) == tailleOuverture_;
        // L'attente se fait à petits pas : dès que le fichier change, la ligne est laissée
        // pour la lecture suivante (un suivi la montre alors sans attendre le délai entier).
        constexpr std::chrono::milliseconds Pas{10};
        const auto ageDe = [this](const std::optional<EmpreinteFichier>& e) {
            return e ? horloge_->Maintenant() - DateDeModification(*e) : delai_;
        };
        auto age = ageDe(avant);
        for (long long n = 0; achevee && age < delai_ && n <= delai_ / Pas; ++n) {
            horloge_->Attendre(
                std::min(Pas, std::chrono::ceil<std::chrono::milliseconds>(delai_ - age)));
            const auto apres = EmpreinteActuelle();
            achevee = apres && apres->taille == avant->taille &&
                      apres->modification == avant->modification;
            age = ageDe(avant);
        }
        sortFinale_ = achevee ? 1 : 0;
    }
    return sortFinale_ == 1;
}

std::string_view LecteurTexte::LireLigne() {
    PasserLF();
    // Une ligne démesurée rend sa mémoire dès la suivante.
    if (longue_.capacity() > 4 * tampon_.size())
        std::string().swap(longue_);
    longue_.clear();
    ligneLongue_ = false;
    bool dansLongue = false;
    for (;;) {
        if (debut_ == fin_ && !Remplir())
            break; // dernière ligne sans fin de ligne (ou rien du tout)
        const char* base = tampon_.data();
        const char* p = base + debut_;
        const char* finLigne = base + ProchaineFin(debut_);
        if (finLigne != base + fin_) {
            const std::size_t n = static_cast<std::size_t>(finLigne - p);
            crEnAttente_ = (*finLigne == '\r');
            debut_ = static_cast<std::size_t>(finLigne - base) + 1;
            if (!dansLongue)
                return {p, n};
            longue_.append(p, n);
            break;
        }
        // Pas de fin de ligne dans le tampon.
        if (debut_ > 0 && !dansLongue) {
            if (Remplir())
                continue; // le reste a été ramené en tête, on relit
            break;
        }
        // La ligne ne tient pas dans le tampon : on l'accumule, dans une place mesurée d'avance
        // (plus ses CR LF, que la chaîne de lots lui ajoute) pour ne pas la recopier en
        // grandissant.
        if (!dansLongue)
            longue_.reserve(static_cast<std::size_t>(base + fin_ - p) + MesurerSuiteDeLigne() + 2);
        longue_.append(p, static_cast<std::size_t>(base + fin_ - p));
        dansLongue = true;
        ligneLongue_ = true;
        debut_ = fin_ = 0;
        if (!Remplir())
            break;
    }
    if (!dansLongue) {
        // Fin de fichier : la dernière ligne sans fin de ligne est ce qui reste.
        std::string_view reste(tampon_.data() + debut_, fin_ - debut_);
        debut_ = fin_;
        return reste;
    }
    return longue_;
}

std::size_t LecteurTexte::MesurerSuiteDeLigne() {
    // Lit la suite du fichier jusqu'à la prochaine fin de ligne, puis revient où l'on était ;
    // 0 si le fichier ne se relit pas (un tube).
    const Position ici = PositionActuelle(fichier_);
    if (ici < 0)
        return 0;
    std::vector<char> bloc(tampon_.size());
    std::size_t n = 0;
    for (;;) {
        const std::size_t lus = std::fread(bloc.data(), 1, bloc.size(), fichier_);
        const char* fin = ChercherFinDeLigne(bloc.data(), bloc.data() + lus);
        n += static_cast<std::size_t>(fin - bloc.data());
        if (fin != bloc.data() + lus || lus < bloc.size())
            break;
    }
    std::clearerr(fichier_);
    if (AllerA(fichier_, ici, SEEK_SET) != 0) {
        codeErreur_ = DernierCode();
        return 0;
    }
    return n;
}

bool LecteurTexte::Raccourci() {
    if (!fichier_ || tailleOuverture_ <= 0)
        return false;
    return lu_ < static_cast<std::uint64_t>(tailleOuverture_);
}

std::string LecteurTexte::LireDebutDeLigne(std::size_t maximum) {
    PasserLF();
    std::string debut;
    while (debut.size() < maximum) {
        if (debut_ == fin_ && !Remplir())
            break;
        const std::size_t finLigne = ProchaineFin(debut_);
        const std::size_t pris = std::min(finLigne - debut_, maximum - debut.size());
        debut.append(tampon_.data() + debut_, pris);
        if (finLigne != fin_)
            break; // la fin de ligne est dans le tampon : SauterLigne la passera
        debut_ += pris;
    }
    SauterLigne();
    return debut;
}

std::string_view LecteurTexte::LireLigneBornee(std::size_t maximum) {
    PasserLF();
    ligneLongue_ = false;
    if (debut_ < fin_ || Remplir()) {
        const std::size_t finLigne = ProchaineFin(debut_);
        if (finLigne != fin_) {
            const std::string_view ligne(tampon_.data() + debut_, finLigne - debut_);
            crEnAttente_ = (tampon_[finLigne] == '\r');
            debut_ = finLigne + 1;
            return ligne;
        }
    }
    // À cheval sur deux remplissages, ou démesurée, ou la dernière sans fin de ligne.
    longue_ = LireDebutDeLigne(maximum);
    return longue_;
}

std::string_view LecteurTexte::LireLignesEntieres() {
    PasserLF();
    ligneLongue_ = false;
    // Sans fin de ligne devant elle dans le tampon, la suite est ramenée en tête et complétée.
    if (debut_ >= apresDerniereFin_ && (!Remplir(false) || debut_ >= apresDerniereFin_))
        return {};
    const std::string_view lignes(tampon_.data() + debut_, apresDerniereFin_ - debut_);
    crEnAttente_ = lignes.back() == '\r';
    debut_ = apresDerniereFin_;
    return lignes;
}

void LecteurTexte::SauterLigne() {
    PasserLF();
    for (;;) {
        if (debut_ == fin_) {
            debut_ = fin_ = 0;
            if (!Remplir())
                return;
        }
        const char* base = tampon_.data();
        const char* finLigne = base + ProchaineFin(debut_);
        if (finLigne != base + fin_) {
            crEnAttente_ = (*finLigne == '\r');
            debut_ = static_cast<std::size_t>(finLigne - base) + 1;
            return;
        }
        debut_ = fin_; // tout le tampon appartient à la ligne
    }
}

std::uint64_t LecteurTexte::CompterLignes(const std::atomic<bool>* arret) {
    // Compte chaque LF, chaque CR qui n'est pas suivi d'un LF, et une dernière ligne sans fin
    // de ligne : même résultat que des appels répétés à SauterLigne, en un seul balayage.
    PasserLF();
    std::uint64_t n = 0;
    bool crPrecedent = false;  // le dernier octet vu est un CR
    bool ligneOuverte = false; // des octets depuis la dernière fin de ligne
    for (;;) {
        if (debut_ == fin_) {
            debut_ = fin_ = 0;
            if ((arret && arret->load(std::memory_order_relaxed)) || !Remplir(false))
                break;
        }
        const char* p = tampon_.data() + debut_;
        const std::size_t taille = fin_ - debut_;
        // Un CR LF coupé entre deux remplissages : le CR a déjà compté, le LF est ignoré.
        std::size_t i = (crPrecedent && p[0] == '\n') ? 1 : 0;
        if (i < taille) {
            n += CompterFinsDeLigne(p + i, taille - i);
            const char dernier = p[taille - 1];
            crPrecedent = dernier == '\r';
            ligneOuverte = !EstFinDeLigne(dernier);
        } else {
            crPrecedent = false;
            ligneOuverte = false;
        }
        debut_ = fin_;
    }
    if (ligneOuverte)
        ++n;
    crEnAttente_ = false;
    return n;
}

} // namespace vek
