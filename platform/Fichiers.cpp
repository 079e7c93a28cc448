#include "Fichiers.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <sys/stat.h>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64))
#include <emmintrin.h>
#endif

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vek {

namespace {

#ifdef _WIN32
constexpr char Separateur = '\\';
#else
constexpr char Separateur = '/';
#endif

bool EstFinDeLigne(char c) {
    return c == '\n' || c == '\r';
}

// Première fin de ligne (CR ou LF) dans [p, fin), ou fin : un seul balayage pour les deux octets.
const char* ChercherFinDeLigne(const char* p, const char* fin) {
#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64))
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (fin - p >= 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int masque =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_cmpeq_epi8(bloc, cr)));
        if (masque != 0)
            return p + std::countr_zero(static_cast<unsigned>(masque));
        p += 16;
    }
#endif
    for (; p < fin; ++p)
        if (*p == '\n' || *p == '\r')
            return p;
    return fin;
}

// Marque les fins de ligne (CR ou LF) de [p, p + n) : le bit i du mot i / 64 dit si l'octet i
// en est une. Un seul balayage par remplissage du tampon ; chaque ligne n'a plus qu'à chercher le
// bit suivant.
void MarquerFinsDeLigne(const char* p, std::size_t n, std::uint64_t* marques) {
    std::size_t k = 0;
#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64))
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; k + 64 <= n; k += 64) {
        std::uint64_t m = 0;
        for (int j = 0; j < 4; ++j) {
            const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16 * j));
            const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_cmpeq_epi8(bloc, cr))));
            m |= static_cast<std::uint64_t>(bits) << (16 * j);
        }
        marques[k / 64] = m;
    }
#endif
    for (; k < n; k += 64) {
        std::uint64_t m = 0;
        const std::size_t bout = std::min<std::size_t>(64, n - k);
        for (std::size_t i = 0; i < bout; ++i)
            if (EstFinDeLigne(p[k + i]))
                m |= std::uint64_t{1} << i;
        marques[k / 64] = m;
    }
}

int DernierCode() {
    return errno != 0 ? errno : EIO;
}

// Nombre de fins de ligne dans [p, p + n) : les LF, plus les CR qui ne sont pas suivis d'un LF
// dans la zone (un CR en dernier octet compte).
std::uint64_t CompterFinsDeLigne(const char* p, std::size_t n) {
    std::uint64_t total = 0;
    std::size_t k = 0;
#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64))
    // Seize octets à la fois : un octet est une fin de ligne s'il est un LF, ou un CR que ne
    // suit pas un LF. Les compteurs par octet sont vidés toutes les 255 itérations.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (k + 17 <= n) {
        __m128i compteurs = zero;
        for (int tour = 0; tour < 255 && k + 17 <= n; ++tour, k += 16) {
            const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            const __m128i suivant = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
            const __m128i fin =
                _mm_or_si128(_mm_cmpeq_epi8(bloc, lf), _mm_andnot_si128(_mm_cmpeq_epi8(suivant, lf),
                                                                        _mm_cmpeq_epi8(bloc, cr)));
            compteurs = _mm_sub_epi8(compteurs, fin);
        }
        const __m128i sommes = _mm_sad_epu8(compteurs, zero);
        total += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sommes)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sommes, sommes)));
    }
#endif
    for (; k < n; ++k) {
        if (p[k] == '\n')
            ++total;
        else if (p[k] == '\r' && (k + 1 == n || p[k + 1] != '\n'))
            ++total;
    }
    return total;
}

// Positionnement sur 64 bits : les journaux dépassent souvent 2 Go.
#ifdef _WIN32
using Position = long long;
int AllerA(std::FILE* f, Position p, int origine) {
    return _fseeki64(f, p, origine);
}
Position PositionActuelle(std::FILE* f) {
    return _ftelli64(f);
}
Position TailleOuverte(std::FILE* f) {
    return _filelengthi64(_fileno(f));
}
#else
using Position = off_t;
int AllerA(std::FILE* f, Position p, int origine) {
    return ::fseeko(f, p, origine);
}
Position PositionActuelle(std::FILE* f) {
    return ::ftello(f);
}
// Taille d'un fichier ordinaire ouvert ; -1 pour un tube ou un périphérique.
Position TailleOuverte(std::FILE* f) {
    struct stat info {};
    if (::fstat(::fileno(f), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return info.st_size;
}
#endif

} // namespace

std::string RaisonSysteme(int code) {
    switch (code) {
    case 0:
        return "aucune erreur";
    case ENOENT:
        return "fichier ou dossier introuvable";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case EISDIR:
        return "c'est un dossier, pas un fichier";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case ENOSPC:
        return "plus de place sur le disque";
    case EROFS:
        return "système de fichiers en lecture seule";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    case ENAMETOOLONG:
        return "nom de fichier trop long";
    case EIO:
        return "erreur d'entrée-sortie";
    case EBUSY:
        return "fichier occupé par un autre programme";
    case EEXIST:
        return "le fichier existe déjà";
#ifdef EDQUOT
    case EDQUOT:
        return "quota de disque dépassé";
#endif
    default:
        return std::strerror(code);
    }
}

#ifdef _WIN32
std::string RaisonWindows(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return RaisonSysteme(ENOENT);
    case ERROR_ACCESS_DENIED:
        return RaisonSysteme(EACCES);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "fichier ouvert par un autre programme (fermez-le, puis recommencez)";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return RaisonSysteme(ENOSPC);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return RaisonSysteme(EEXIST);
    case ERROR_WRITE_PROTECT:
        return RaisonSysteme(EROFS);
    case ERROR_FILENAME_EXCED_RANGE:
        return RaisonSysteme(ENAMETOOLONG);
    case ERROR_DIRECTORY:
        return RaisonSysteme(ENOTDIR);
    default:
        return "erreur Windows " + std::to_string(code);
    }
}

namespace {

// Identité d'un fichier ordinaire ouvert : volume, index, taille, date, nombre de noms.
bool IdentiteParPoignee(HANDLE h, EmpreinteFichier& e, unsigned long* noms = nullptr) {
    BY_HANDLE_FILE_INFORMATION i{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &i) ||
        (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    const auto mot = [](DWORD haut, DWORD bas) {
        return (static_cast<std::uint64_t>(haut) << 32) | bas;
    };
    e.taille = mot(i.nFileSizeHigh, i.nFileSizeLow);
    // Intervalles de 100 ns, en nanosecondes comme ailleurs.
    e.modification = mot(i.ftLastWriteTime.dwHighDateTime, i.ftLastWriteTime.dwLowDateTime) * 100;
    e.noeud = mot(i.nFileIndexHigh, i.nFileIndexLow);
    e.volume = i.dwVolumeSerialNumber;
    if (noms)
        *noms = i.nNumberOfLinks;
    return true;
}

} // namespace
#endif

// ---------------------------------------------------------------- lecture

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

bool LecteurTexte::Ouvrir(const std::string& chemin) {
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
    errno = 0;
    fichier_ = std::fopen(chemin.c_str(), "rb");
    if (!fichier_) {
        codeErreur_ = DernierCode();
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0); // notre tampon suffit
    tailleOuverture_ = TailleOuverte(fichier_);
    debut_ = fin_ = 0;
    finAtteinte_ = false;
    crEnAttente_ = false;
    return true;
}

void LecteurTexte::Fermer() {
    if (fichier_) {
        std::fclose(fichier_);
        fichier_ = nullptr;
    }
    debut_ = fin_ = 0;
    finAtteinte_ = true;
    crEnAttente_ = false;
    std::string().swap(longue_);
    ligneLongue_ = false;
    tailleOuverture_ = -1;
}

bool LecteurTexte::Remplir(bool marquer) {
    if (finAtteinte_ || !fichier_)
        return false;
    // Conserve les octets non consommés en tête de tampon.
    if (debut_ > 0) {
        std::memmove(tampon_.data(), tampon_.data() + debut_, fin_ - debut_);
        fin_ -= debut_;
        debut_ = 0;
    }
    if (fin_ == tampon_.size())
        return true; // plein : l'appelant consomme d'abord
    errno = 0;
    const std::size_t lus = std::fread(tampon_.data() + fin_, 1, tampon_.size() - fin_, fichier_);
    fin_ += lus;
    marquesValides_ = 0;
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
    if (debut_ < fin_)
        return false;
    return !Remplir() || debut_ == fin_;
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
    const Position lus = PositionActuelle(fichier_);
    return lus >= 0 && lus < tailleOuverture_;
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

// ---------------------------------------------------------------- écriture

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
    pousses_ = 0;
    repris_ = false;
    neuf_ = false;
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
    errno = 0;
#ifdef _WIN32
    const int fd =
        ::_open(chemin.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    // Jamais un fichier déjà là, jamais à travers un lien : un lien planté sous ce nom fait
    // échouer l'ouverture au lieu de faire écrire ailleurs.
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
#endif
    if (fd < 0) {
        codeErreur_ = DernierCode();
        return false;
    }
#ifdef _WIN32
    fichier_ = ::_fdopen(fd, "wb");
#else
    fichier_ = ::fdopen(fd, "wb");
#endif
    if (!fichier_) {
        codeErreur_ = DernierCode();
#ifdef _WIN32
        ::_close(fd);
#else
        ::close(fd);
#endif
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0);
    neuf_ = true;
    return true;
}

bool EcrivainTexte::Reprendre(const std::string& chemin) {
    Repartir();
#ifdef _WIN32
    // Un lien symbolique (point d'analyse) n'est pas suivi ; un fichier qui a d'autres noms
    // (liens physiques) garde son contenu pour eux : ni l'un ni l'autre n'est repris.
    const DWORD attributs = GetFileAttributesA(chemin.c_str());
    if (attributs == INVALID_FILE_ATTRIBUTES ||
        (attributs & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    if (!OuvrirFichier(chemin, "r+b")) {
        codeErreur_ = 0; // l'écriture passera par un fichier temporaire
        return false;
    }
    EmpreinteFichier e;
    unsigned long noms = 0;
    if (!IdentiteParPoignee(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(fichier_))), e,
                            &noms) ||
        noms != 1) {
        std::fclose(fichier_);
        fichier_ = nullptr;
        return false;
    }
    repris_ = true;
#else
    // Ouvert sans suivre de lien, puis examiné par le descripteur même : seul un fichier
    // ordinaire qui n'a pas d'autre nom (lien physique) est réécrit sur place. Un lien
    // symbolique, un tube ou un fichier partagé prend le chemin du fichier temporaire, et le nom
    // est remplacé sans que rien ne soit écrit à travers lui.
    const int fd = ::open(chemin.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        ::close(fd);
        return false;
    }
    fichier_ = ::fdopen(fd, "r+b");
    if (!fichier_) {
        ::close(fd);
        return false;
    }
    std::setvbuf(fichier_, nullptr, _IONBF, 0);
    repris_ = true;
#endif
    return repris_;
}

void EcrivainTexte::PousserVersLeDisque() {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
    // Seulement pour un fichier neuf (temporaire d'une sortie) : chaque tranche de 16 Mio écrite
    // part vers le disque sans attendre, pendant que la passe continue ; le fsync final n'attend
    // plus que la dernière.
    constexpr std::uint64_t Tranche = std::uint64_t{16} << 20;
    if (!neuf_ || ecrits_ - pousses_ < Tranche)
        return;
    ::sync_file_range(::fileno(fichier_), static_cast<off_t>(pousses_),
                      static_cast<off_t>(ecrits_ - pousses_), SYNC_FILE_RANGE_WRITE);
    pousses_ = ecrits_;
#endif
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
#ifdef _WIN32
    if (codeErreur_ == 0 && ::_commit(::_fileno(fichier_)) != 0)
        codeErreur_ = DernierCode();
#else
    if (codeErreur_ == 0 && ::fsync(::fileno(fichier_)) != 0)
        codeErreur_ = DernierCode();
#endif
    return codeErreur_ == 0;
}

void EcrivainTexte::Vider() {
    if (rempli_ == 0 || !fichier_)
        return;
    if (codeErreur_ == 0) {
        errno = 0;
        if (std::fwrite(tampon_.data(), 1, rempli_, fichier_) != rempli_)
            codeErreur_ = DernierCode();
        ecrits_ += rempli_;
        PousserVersLeDisque();
    }
    rempli_ = 0;
}

void EcrivainTexte::Ecrire(std::string_view texte) {
    if (!fichier_ || codeErreur_ != 0)
        return;
    if (texte.size() > tampon_.size() - rempli_) {
        Vider();
        if (texte.size() >= tampon_.size()) {
            errno = 0;
            if (std::fwrite(texte.data(), 1, texte.size(), fichier_) != texte.size())
                codeErreur_ = DernierCode();
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

bool EcrivainTexte::Fermer() {
    if (!fichier_)
        return codeErreur_ == 0;
    RemettreAuSysteme();
    if (repris_ && codeErreur_ == 0) {
        // La fin de l'ancien contenu, au-delà du nouveau, disparaît.
#ifdef _WIN32
        const int coupe = _chsize_s(_fileno(fichier_), static_cast<long long>(ecrits_));
#else
        const int coupe = ::ftruncate(::fileno(fichier_), static_cast<off_t>(ecrits_));
#endif
        if (coupe != 0)
            codeErreur_ = coupe > 0 ? coupe : DernierCode();
    }
    repris_ = false;
    if (std::fclose(fichier_) != 0 && codeErreur_ == 0)
        codeErreur_ = DernierCode();
    fichier_ = nullptr;
    return codeErreur_ == 0;
}

// ---------------------------------------------------------------- écriture atomique

std::optional<GenreFichier> GenreDuNom(const std::string& chemin) {
    struct stat info {};
#ifdef _WIN32
    if (::stat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    return (info.st_mode & S_IFMT) == S_IFDIR   ? GenreFichier::Dossier
           : (info.st_mode & S_IFMT) == S_IFREG ? GenreFichier::Ordinaire
                                                : GenreFichier::Autre;
#else
    if (::lstat(chemin.c_str(), &info) != 0)
        return std::nullopt;
    switch (info.st_mode & S_IFMT) {
    case S_IFREG:
        return GenreFichier::Ordinaire;
    case S_IFLNK:
        return GenreFichier::Lien;
    case S_IFDIR:
        return GenreFichier::Dossier;
    case S_IFIFO:
        return GenreFichier::Tube;
    case S_IFCHR:
    case S_IFBLK:
        return GenreFichier::Peripherique;
    default:
        return GenreFichier::Autre;
    }
#endif
}

std::string DescriptionGenre(GenreFichier genre) {
    switch (genre) {
    case GenreFichier::Ordinaire:
        return "c'est un fichier ordinaire";
    case GenreFichier::Lien:
        return "c'est un lien symbolique";
    case GenreFichier::Dossier:
        return "c'est un dossier";
    case GenreFichier::Tube:
        return "c'est un tube nommé";
    case GenreFichier::Peripherique:
        return "c'est un périphérique";
    case GenreFichier::Autre:
        break;
    }
    return "c'est un fichier spécial";
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

EcritureAtomique::~EcritureAtomique() {
    if (ouvert_)
        Abandonner();
}

bool EcritureAtomique::Ouvrir(const std::string& cible) {
    if (ouvert_)
        Abandonner();
    cible_ = cible;
    raison_.clear();
    fichierEnCause_.clear();
    enPlace_ = false;
    // La sortie ne s'écrit que comme fichier ordinaire : un tube, un périphérique ou un
    // dossier qui porte son nom est refusé avant toute écriture (un tube ferait attendre sans
    // fin). Un lien symbolique, lui, sera remplacé par le nouveau fichier.
    cibleExistait_ = false;
    if (const auto genre = GenreDuNom(cible)) {
        if (*genre != GenreFichier::Ordinaire && *genre != GenreFichier::Lien) {
            raison_ =
                DescriptionGenre(*genre) + ", pas un fichier ordinaire : il n'est pas remplacé";
            fichierEnCause_ = cible_;
            return false;
        }
        cibleExistait_ = true;
    }
    // Nom temporaire imprévisible dans le même dossier (le renommage reste sur le même disque),
    // créé en exclusivité : un nom déjà pris, ou un lien planté d'avance, est écarté.
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    for (int essai = 0; essai < 16; ++essai) {
        temporaire_ =
            cible + std::string(SuffixeTemporaire) + std::to_string(pid) + "-" + NombreAuHasard();
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

bool EcritureAtomique::OuvrirEnPlace(const std::string& cible) {
    if (ouvert_)
        Abandonner();
    if (!ecrivain_.Reprendre(cible))
        return Ouvrir(cible);
    cible_ = cible;
    raison_.clear();
    fichierEnCause_.clear();
    temporaire_.clear();
    ouvert_ = true;
    enPlace_ = true;
    return true;
}

bool EcritureAtomique::Valider() {
    if (!ouvert_)
        return false;
    ouvert_ = false;
    if (enPlace_) {
        enPlace_ = false;
        if (ecrivain_.Fermer())
            return true;
        raison_ = ecrivain_.Raison();
        fichierEnCause_ = cible_;
        SupprimerFichier(cible_);
        return false;
    }
    // Le nouveau fichier est sur le disque avant de prendre le nom de l'ancien : une coupure de
    // courant laisse l'un ou l'autre, jamais un fichier vide sous le bon nom.
    const std::string ancienGarde =
        cibleExistait_ ? " ; l'ancien fichier est resté tel quel" : std::string();
    if (!ecrivain_.Synchroniser() || !ecrivain_.Fermer()) {
        raison_ = ecrivain_.Raison() + ancienGarde;
        fichierEnCause_ = cible_;
        ecrivain_.Fermer();
        std::remove(temporaire_.c_str());
        return false;
    }
    std::string raison;
    if (!RemplacerFichier(temporaire_, cible_, &raison)) {
        raison_ = raison + ancienGarde;
        fichierEnCause_ = cible_;
        std::remove(temporaire_.c_str());
        return false;
    }
    return true;
}

void EcritureAtomique::Abandonner() {
    if (!ouvert_)
        return;
    ouvert_ = false;
    ecrivain_.Fermer();
    if (enPlace_) {
        enPlace_ = false;
        SupprimerFichier(cible_);
        return;
    }
    std::remove(temporaire_.c_str());
}

// ---------------------------------------------------------------- opérations sur les fichiers

std::optional<EmpreinteFichier> LireEmpreinte(const std::string& chemin) {
#ifdef _WIN32
    // Sans droit de lecture demandé : un fichier ouvert ailleurs, même en écriture, se décrit.
    HANDLE h = CreateFileA(chemin.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    EmpreinteFichier e;
    const bool ok = IdentiteParPoignee(h, e);
    CloseHandle(h);
    if (!ok)
        return std::nullopt;
    return e;
#else
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG)
        return std::nullopt;
    EmpreinteFichier e;
    e.taille = static_cast<std::uint64_t>(info.st_size);
    e.modification = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    e.noeud = static_cast<std::uint64_t>(info.st_ino);
    e.volume = static_cast<std::uint64_t>(info.st_dev);
    return e;
#endif
}

void OublierPagesEnMemoire(const std::string& chemin) {
#if defined(POSIX_FADV_DONTNEED)
    // Sans attendre ni suivre de lien : un tube nommé sous ce nom ferait attendre sans fin.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
#else
    (void)chemin;
#endif
}

bool FichierExiste(const std::string& chemin) {
    struct stat info {};
    return ::stat(chemin.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

bool SupprimerFichier(const std::string& chemin, std::string* raison) {
#ifdef _WIN32
    // Un fichier en lecture seule ne peut pas être supprimé tel quel sous Windows.
    _chmod(chemin.c_str(), _S_IREAD | _S_IWRITE);
#endif
    errno = 0;
    if (std::remove(chemin.c_str()) == 0 || errno == ENOENT)
        return true;
    if (raison)
        *raison = RaisonSysteme(DernierCode());
    return false;
}

bool RemplacerFichier(const std::string& source, const std::string& cible, std::string* raison) {
#ifdef _WIN32
    if (essai::EchecRemplacement != 0) {
        if (raison)
            *raison = RaisonSysteme(essai::EchecRemplacement);
        return false;
    }
    // Un ancien en lecture seule perd cet attribut pour être remplacé ; il le retrouve si le
    // remplacement échoue (ouvert par un autre programme, par exemple).
    const DWORD attributs = GetFileAttributesA(cible.c_str());
    const bool lectureSeule =
        attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_READONLY) != 0;
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (MoveFileExA(source.c_str(), cible.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD code = GetLastError();
    if (lectureSeule)
        SetFileAttributesA(cible.c_str(), attributs);
    if (raison)
        *raison = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                      ? "le fichier est ouvert dans un autre programme, ou protégé : fermez-le, "
                        "puis recommencez"
                      : RaisonWindows(code);
    return false;
#else
    // Le nouveau prend le nom de l'ancien d'un seul renommage : à tout instant le nom désigne
    // l'ancien fichier ou le nouveau, et un renommage qui échoue laisse l'ancien en place. Un
    // lien symbolique sous ce nom est remplacé, pas suivi. Le dossier est ensuite écrit sur le
    // disque, pour que le nouveau nom survive à une coupure.
    if (essai::EchecRemplacement != 0) {
        if (raison)
            *raison = RaisonSysteme(essai::EchecRemplacement);
        return false;
    }
    errno = 0;
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    // Par-dessus un fichier ordinaire, ext4 écrit tout le nouveau sur le disque au moment d'un
    // renommage qui remplace (il le ferait attendre une seconde de plus pour 500 Mo) ; un
    // échange des deux noms, lui, est aussi atomique et ne le fait pas. L'ancien, qui porte alors
    // le nom temporaire, est supprimé ensuite. Un système qui ne sait pas échanger renomme.
    if (GenreDuNom(cible) == GenreFichier::Ordinaire &&
        ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, cible.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(source.c_str());
    } else
#endif
        if (std::rename(source.c_str(), cible.c_str()) != 0) {
        if (raison)
            *raison = RaisonSysteme(DernierCode());
        return false;
    }
    const std::size_t barre = cible.find_last_of('/');
    const std::string dossier = barre == std::string::npos ? std::string(".")
                                : barre == 0               ? std::string("/")
                                                           : cible.substr(0, barre);
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
#endif
}

bool LireDerniereLigne(const std::string& chemin, std::string& ligne, std::size_t maximum,
                       std::string* raison) {
    ligne.clear();
    struct stat info {};
    if (::stat(chemin.c_str(), &info) != 0 || (info.st_mode & S_IFMT) == S_IFDIR) {
        if (raison)
            *raison = RaisonSysteme((info.st_mode & S_IFMT) == S_IFDIR ? EISDIR : DernierCode());
        return false;
    }
    errno = 0;
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f) {
        if (raison)
            *raison = RaisonSysteme(DernierCode());
        return false;
    }
    auto echec = [&](int code) {
        if (raison)
            *raison = RaisonSysteme(code);
        std::fclose(f);
        return false;
    };
    if (AllerA(f, 0, SEEK_END) != 0)
        return echec(DernierCode());
    const Position taille = PositionActuelle(f);
    if (taille < 0)
        return echec(DernierCode());
    if (taille == 0) {
        std::fclose(f);
        return false;
    }
    // La fin de ligne finale (LF, CR LF ou CR) n'appartient pas à la ligne.
    Position fin = taille;
    char c = 0;
    auto lireOctet = [&](Position p) {
        return AllerA(f, p, SEEK_SET) == 0 && std::fread(&c, 1, 1, f) == 1;
    };
    if (!lireOctet(fin - 1))
        return echec(DernierCode());
    if (c == '\n' || c == '\r') {
        --fin;
        if (c == '\n' && fin > 0) {
            if (!lireOctet(fin - 1))
                return echec(DernierCode());
            if (c == '\r')
                --fin;
        }
    }
    // Le début de la ligne : après la fin de ligne précédente, cherchée par blocs depuis la fin.
    constexpr Position Bloc = 1 << 16;
    std::vector<char> tampon(static_cast<std::size_t>(Bloc));
    Position debut = 0;
    for (Position position = fin; position > 0;) {
        const Position n = std::min(Bloc, position);
        position -= n;
        if (AllerA(f, position, SEEK_SET) != 0 ||
            std::fread(tampon.data(), 1, static_cast<std::size_t>(n), f) !=
                static_cast<std::size_t>(n))
            return echec(DernierCode());
        Position k = n - 1;
        while (k >= 0 && !EstFinDeLigne(tampon[static_cast<std::size_t>(k)]))
            --k;
        if (k >= 0) {
            debut = position + k + 1;
            break;
        }
    }
    // Seul le début de la ligne est lu : une ligne démesurée ne passe pas en mémoire.
    const std::size_t longueur = std::min(static_cast<std::size_t>(fin - debut), maximum);
    ligne.resize(longueur);
    if (longueur > 0 &&
        (AllerA(f, debut, SEEK_SET) != 0 || std::fread(ligne.data(), 1, longueur, f) != longueur)) {
        ligne.clear();
        return echec(DernierCode());
    }
    std::fclose(f);
    return true;
}

std::string JoindreChemin(const std::string& dossier, std::string_view nom) {
    std::string chemin = dossier;
    if (!chemin.empty() && chemin.back() != '/' && chemin.back() != '\\')
        chemin.push_back(Separateur);
    chemin.append(nom);
    return chemin;
}

std::string RepertoireExecutable() {
#ifdef _WIN32
    char chemin[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, chemin, MAX_PATH);
    std::string s(chemin, n);
#else
    char chemin[PATH_MAX + 1] = {};
    const ssize_t n = ::readlink("/proc/self/exe", chemin, PATH_MAX);
    std::string s = n > 0 ? std::string(chemin, static_cast<std::size_t>(n)) : std::string(".");
#endif
    const auto pos = s.find_last_of("/\\");
    if (pos == std::string::npos)
        return ".";
    if (pos == 0)
        return s.substr(0, 1);
    return s.substr(0, pos);
}

bool DossierAccessibleEnEcriture(const std::string& dossier) {
#ifdef _WIN32
    // Essai réel : les droits Windows ne se lisent pas simplement.
    const std::string essai = JoindreChemin(dossier, ".vek-essai-ecriture");
    std::FILE* f = std::fopen(essai.c_str(), "wb");
    if (!f)
        return false;
    std::fclose(f);
    std::remove(essai.c_str());
    return true;
#else
    return ::access(dossier.c_str(), W_OK | X_OK) == 0;
#endif
}

namespace {

bool CreerDossiers(const std::string& chemin) {
    std::string partiel;
    for (std::size_t i = 0; i <= chemin.size(); ++i) {
        if (i == chemin.size() || ((chemin[i] == '/' || chemin[i] == '\\') && i > 0)) {
            partiel = chemin.substr(0, i);
            struct stat info {};
            if (::stat(partiel.c_str(), &info) == 0)
                continue;
#ifdef _WIN32
            if (_mkdir(partiel.c_str()) != 0 && errno != EEXIST)
                return false;
#else
            if (::mkdir(partiel.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
#endif
        }
    }
    return true;
}

} // namespace

std::string RepertoireProgramme() {
    const std::string exe = RepertoireExecutable();
    if (DossierAccessibleEnEcriture(exe))
        return exe;
    std::string donnees;
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
        donnees = JoindreChemin(local, "VEK_Log");
#else
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        donnees = JoindreChemin(xdg, "vek-log");
    else if (const char* home = std::getenv("HOME"); home && *home)
        donnees = JoindreChemin(JoindreChemin(home, ".local/share"), "vek-log");
#endif
    if (donnees.empty() || !CreerDossiers(donnees))
        return exe;
    return donnees;
}

} // namespace vek
