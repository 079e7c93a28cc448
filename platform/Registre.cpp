// Lecture d'une valeur du registre comme texte, vrai registre de Windows et substitut ailleurs.

#include "Registre.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vek {

namespace {

// Referme la clé à la sortie de LireCleRegistre, quelle qu'en soit la raison.
class FermetureCle {
public:
    FermetureCle(Registre& registre, CleRegistre cle) : registre_(registre), cle_(cle) {}
    ~FermetureCle() {
        try {
            registre_.FermerCle(cle_);
        } catch (...) {
            // Une fermeture qui échoue ne change rien à la lecture.
        }
    }
    FermetureCle(const FermetureCle&) = delete;
    FermetureCle& operator=(const FermetureCle&) = delete;

private:
    Registre& registre_;
    CleRegistre cle_;
};

bool EgauxSansCasse(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb))
            return false;
    }
    return true;
}

constexpr std::string_view SousCleOutil = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view ValeurOutil = "PATH";
constexpr CleRegistre CleOutilSubstitut = 0x5645u; // poignée unique de la seule clé connue

} // namespace

bool LireCleRegistre(Registre& registre, CleRegistre racine, const std::string& sousCle,
                     const std::string& nomValeur, std::string& sortie) {
    CleRegistre cle = 0;
    if (registre.OuvrirCle(racine, sousCle, 0, AccesCleDemande, cle) != RegistreSucces) {
        sortie.clear();
        return false;
    }
    FermetureCle fermeture(registre, cle);

    std::array<unsigned char, TailleTamponRegistre> tampon{}; // rempli de NUL
    std::uint32_t taille = static_cast<std::uint32_t>(tampon.size());
    std::uint32_t type = 0;
    if (registre.LireValeur(cle, nomValeur, type, tampon.data(), taille) != RegistreSucces ||
        taille > tampon.size()) {
        sortie.clear();
        return false;
    }

    // Coupe à la taille lue : un NUL en dernière position n'est pas gardé.
    if (taille == 0)
        throw ErreurRegistre("valeur de registre sans données : " + nomValeur);
    const std::size_t garde = tampon[taille - 1] == 0 ? taille - 1 : taille;

    switch (type) {
    case TypeChaine:
        sortie.assign(reinterpret_cast<const char*>(tampon.data()), garde);
        break;
    case TypeMot32: {
        // Petit-boutiste ; les octets au-delà de la taille lue sont des NUL.
        const std::uint32_t valeur = static_cast<std::uint32_t>(tampon[0]) |
                                     (static_cast<std::uint32_t>(tampon[1]) << 8) |
                                     (static_cast<std::uint32_t>(tampon[2]) << 16) |
                                     (static_cast<std::uint32_t>(tampon[3]) << 24);
        sortie = std::to_string(valeur);
        break;
    }
    default:
        break; // autre type : la sortie garde ce qu'elle contenait
    }
    return true;
}

// --- Substitut hors de Windows ---

RegistreSubstitut::RegistreSubstitut(std::string cheminRecherche,
                                     std::vector<std::string> candidats)
    : cheminRecherche_(std::move(cheminRecherche)), candidats_(std::move(candidats)) {}

RegistreSubstitut::RegistreSubstitut()
    : RegistreSubstitut(std::getenv("PATH") ? std::getenv("PATH") : "", CandidatsUsuels()) {}

std::vector<std::string> RegistreSubstitut::CandidatsUsuels() {
    return {"hardinfo2",
            "hardinfo",
            "kinfocenter",
            "gnome-system-monitor",
            "plasma-systemmonitor",
            "ksysguard",
            "mate-system-monitor",
            "xfce4-taskmanager",
            "lxtask",
            "lshw-gtk"};
}

std::string RegistreSubstitut::OutilTrouve() const {
#ifdef _WIN32
    constexpr char separateur = ';';
#else
    constexpr char separateur = ':';
#endif
    std::vector<std::string> dossiers;
    std::size_t debut = 0;
    while (debut <= cheminRecherche_.size()) {
        std::size_t fin = cheminRecherche_.find(separateur, debut);
        if (fin == std::string::npos)
            fin = cheminRecherche_.size();
        // Un élément vide désignerait le dossier courant, qui ne joue aucun rôle ici.
        if (fin > debut)
            dossiers.push_back(cheminRecherche_.substr(debut, fin - debut));
        debut = fin + 1;
    }
    for (const std::string& candidat : candidats_) {
        for (const std::string& dossier : dossiers) {
            std::string chemin = dossier;
            if (chemin.back() != '/')
                chemin += '/';
            chemin += candidat;
#ifdef _WIN32
            const DWORD attributs = GetFileAttributesA(chemin.c_str());
            if (attributs != INVALID_FILE_ATTRIBUTES && !(attributs & FILE_ATTRIBUTE_DIRECTORY))
                return chemin;
#else
            struct stat etat {};
            if (::stat(chemin.c_str(), &etat) == 0 && S_ISREG(etat.st_mode) &&
                ::access(chemin.c_str(), X_OK) == 0)
                return chemin;
#endif
        }
    }
    return {};
}

std::int32_t RegistreSubstitut::OuvrirCle(CleRegistre racine, const std::string& sousCle,
                                          std::uint32_t /*options*/, std::uint32_t /*masque*/,
                                          CleRegistre& cle) {
    if (racine != CleMachineLocale || !EgauxSansCasse(sousCle, SousCleOutil))
        return RegistreIntrouvable;
    cle = CleOutilSubstitut;
    return RegistreSucces;
}

std::int32_t RegistreSubstitut::LireValeur(CleRegistre cle, const std::string& nomValeur,
                                           std::uint32_t& type, unsigned char* tampon,
                                           std::uint32_t& taille) {
    if (cle != CleOutilSubstitut || !EgauxSansCasse(nomValeur, ValeurOutil))
        return RegistreIntrouvable;
    const std::string outil = OutilTrouve();
    if (outil.empty())
        return RegistreIntrouvable;
    const std::size_t necessaire = outil.size() + 1; // avec le NUL final, comme une chaîne
    if (necessaire > taille) {
        taille = static_cast<std::uint32_t>(necessaire);
        return RegistreDonneesTropLongues;
    }
    std::memcpy(tampon, outil.c_str(), necessaire);
    taille = static_cast<std::uint32_t>(necessaire);
    type = TypeChaine;
    return RegistreSucces;
}

std::int32_t RegistreSubstitut::FermerCle(CleRegistre /*cle*/) {
    return RegistreSucces;
}

// --- Registre du système ---

#ifdef _WIN32

namespace {

HKEY VersHkey(CleRegistre cle) {
    // Les racines prédéfinies sont des valeurs 32 bits signées, étendues à la taille d'un
    // pointeur.
    if (cle == CleMachineLocale)
        return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(cle);
}

class RegistreWindows final : public Registre {
public:
    std::int32_t OuvrirCle(CleRegistre racine, const std::string& sousCle, std::uint32_t options,
                           std::uint32_t masque, CleRegistre& cle) override {
        HKEY ouverte = nullptr;
        const LONG code = RegOpenKeyExA(VersHkey(racine), sousCle.c_str(), options,
                                        static_cast<REGSAM>(masque), &ouverte);
        if (code == ERROR_SUCCESS)
            cle = reinterpret_cast<CleRegistre>(ouverte);
        return static_cast<std::int32_t>(code);
    }

    std::int32_t LireValeur(CleRegistre cle, const std::string& nomValeur, std::uint32_t& type,
                            unsigned char* tampon, std::uint32_t& taille) override {
        DWORD typeLu = 0;
        DWORD tailleLue = taille;
        const LONG code = RegQueryValueExA(VersHkey(cle), nomValeur.c_str(), nullptr, &typeLu,
                                           tampon, &tailleLue);
        type = typeLu;
        taille = tailleLue;
        return static_cast<std::int32_t>(code);
    }

    std::int32_t FermerCle(CleRegistre cle) override {
        return static_cast<std::int32_t>(RegCloseKey(VersHkey(cle)));
    }
};

} // namespace

Registre& RegistreSysteme() {
    static RegistreWindows registre;
    return registre;
}

#else

Registre& RegistreSysteme() {
    static RegistreSubstitut registre;
    return registre;
}

#endif

} // namespace vek
