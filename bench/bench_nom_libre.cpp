// Combien de temps le nom d'une sortie reste sans fichier pendant qu'elle est remplacée. Un
// lecteur ouvre le nom en boucle (partage complet sous Windows : il n'empêche ni renommage ni
// suppression) pendant que la sortie est remplacée encore et encore, de chacune des façons dont la
// validation met un fichier à la place d'un autre : celle du système (échange de deux noms sous
// Linux), un lien physique suivi d'un seul renommage (Windows), trois renommages (un dossier, un
// système de fichiers sans liens physiques). Rapporte pour chacune les ouvertures réussies, celles
// qui ont trouvé le nom libre, la durée de ces instants (totale et la plus longue), et les
// remplacements par lien qui, la cible tenue ouverte à cet instant, sont passés par les trois
// renommages.
//
//   vek-bench-nom-libre [DOSSIER] [REMPLACEMENTS]   (dossier temporaire du système, 500)

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "Ecriture.h"
#include "Erreurs.h"
#include "Validation.h"

namespace {

using Horloge = std::chrono::steady_clock;

enum class Facon { Systeme, Lien, TroisRenommages };

// Le vrai système, moins ce que la façon mesurée n'a pas ; compte les remplacements par lien
// qui ont échoué (et sont passés par les trois renommages).
class SystemeMesure : public vek::SystemeValidation {
public:
    explicit SystemeMesure(Facon f) : facon_(f) {}
    int EchangerNoms(const vek::NomFichier& a, const vek::NomFichier& b) override {
        return facon_ == Facon::Systeme ? SystemeValidation::EchangerNoms(a, b) : ENOSYS;
    }
    int Remplacer(const vek::NomFichier& s, const vek::NomFichier& c,
                  const vek::NomFichier& g) override {
        if (facon_ == Facon::TroisRenommages)
            return ENOSYS;
        const int code = SystemeValidation::Remplacer(s, c, g);
        replis += code != 0;
        return code;
    }
    long replis = 0;

private:
    Facon facon_;
};

// Vrai si le nom désigne un fichier à cet instant ; faux s'il est libre.
bool Ouvrir(const std::string& chemin, bool& libre) {
#ifdef _WIN32
    HANDLE h = CreateFileA(chemin.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        libre = GetLastError() == ERROR_FILE_NOT_FOUND;
        return false;
    }
    CloseHandle(h);
#else
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        libre = errno == ENOENT;
        return false;
    }
    ::close(fd);
#endif
    return true;
}

struct Mesure {
    long ouvertures = 0;
    long libres = 0; // ouvertures qui ont trouvé le nom libre
    long instants = 0;
    double totalUs = 0;
    double maxUs = 0;
    long refuses = 0; // remplacements qui ont échoué
    long replis = 0;
};

Mesure Mesurer(const std::string& dossier, Facon facon, int remplacements) {
    const std::string cible = dossier + "/LogFinal.txt";
    std::FILE* f = std::fopen(cible.c_str(), "wb");
    if (f)
        std::fclose(f);
    Mesure m;
    std::atomic<bool> fini{false};
    std::thread lecteur([&] {
        Horloge::time_point debut;
        bool absent = false;
        while (!fini.load(std::memory_order_relaxed)) {
            bool libre = false;
            const bool ouvert = Ouvrir(cible, libre);
            const auto maintenant = Horloge::now();
            ++m.ouvertures;
            m.libres += libre;
            if (libre && !absent) {
                absent = true;
                debut = maintenant;
            } else if (ouvert && absent) {
                absent = false;
                const double us =
                    std::chrono::duration<double, std::micro>(maintenant - debut).count();
                ++m.instants;
                m.totalUs += us;
                m.maxUs = std::max(m.maxUs, us);
            }
        }
    });
    SystemeMesure systeme(facon);
    const std::string contenu(64 * 1024, 'x');
    for (int i = 0; i < remplacements; ++i) {
        vek::EcritureAtomique e;
        if (!e.Ouvrir(cible)) {
            ++m.refuses;
            continue;
        }
        e.Flux().Ecrire(contenu);
        m.refuses += vek::ValiderEnsemble({vek::SortieAValider{&e, {}, {}}}, systeme).has_value();
    }
    fini = true;
    lecteur.join();
    m.replis = systeme.replis;
    return m;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dossier =
        argc > 1 ? argv[1]
                 : (std::filesystem::temp_directory_path() / "vek-bench-nom-libre").string();
    const int remplacements = argc > 2 ? std::atoi(argv[2]) : 500;
    std::filesystem::create_directories(dossier);
    const struct {
        Facon facon;
        const char* nom;
    } facons[] = {{Facon::Systeme, "système"},
                  {Facon::Lien, "lien physique + renommage"},
                  {Facon::TroisRenommages, "trois renommages"}};
    std::printf("%d remplacements de 64 Kio par façon, un lecteur qui ouvre le nom en boucle\n",
                remplacements);
    std::printf("%-26s %10s %8s %8s %12s %10s %8s %7s\n", "façon", "ouvertures", "libres",
                "instants", "total (µs)", "max (µs)", "refusés", "replis");
    for (const auto& f : facons) {
        const Mesure m = Mesurer(dossier, f.facon, remplacements);
        std::printf("%-26s %10ld %8ld %8ld %12.0f %10.0f %8ld %7ld\n", f.nom, m.ouvertures,
                    m.libres, m.instants, m.totalUs, m.maxUs, m.refuses, m.replis);
    }
    std::error_code e;
    std::filesystem::remove_all(dossier, e);
    return 0;
}
