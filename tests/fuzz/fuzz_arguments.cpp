// La ligne de commande : des arguments quelconques (séparés par des NUL dans l'entrée) donnent
// toujours un code documenté, et un message sur la sortie d'erreur pour tout échec (une
// recherche sans résultat n'en est pas un). Les chemins sont tous ramenés dans un dossier
// temporaire, qui contient un petit journal « j.txt » ; le lanceur de --ouvrir est factice.
// --suivre, qui attend Ctrl+C, reçoit une horloge dont la première attente demande l'arrêt : un
// tour de suivi, puis les sorties, comme après Ctrl+C.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stop_token>
#include <string>
#include <vector>

#include <unistd.h>

#include "Extraire.h"
#include "Verifier.h"

namespace {

std::string dossier;

// Tout chemin devient un nom du dossier temporaire (sans « / » : rien n'en sort).
std::string Ramener(const std::string& chemin) {
    std::string nom = chemin;
    for (char& c : nom)
        if (c == '/' || c == '\\')
            c = '_';
    if (nom.empty() || nom == "." || nom == "..")
        nom = "_" + nom;
    return dossier + "/" + nom;
}

class LanceurFactice final : public vek::LanceurDocument {
public:
    bool OuvrirDocument(const std::string&) override { return true; }
};

// L'horloge de --suivre : sa première attente fait l'effet de Ctrl+C.
class HorlogeCtrlC final : public vek::Horloge {
public:
    std::stop_source arret;
    Instant Maintenant() override { return vek::HorlogeMachine().Maintenant(); }
    void Attendre(std::chrono::milliseconds) override { arret.request_stop(); }
};

void Preparer() {
    dossier = "/tmp/vek-fuzz-arguments-" + std::to_string(::getpid());
    std::filesystem::create_directories(dossier + "/sortie");
    std::ofstream j(dossier + "/j.txt", std::ios::binary);
    j << "12/24/2001 00:12:47 - [Commerce] \"C\xE9lio\": pas de souci\r\n"
         "12/24/2001 00:29:26 - Vous avez dit : fa\xE7on de parler\r\n"
         "12/25/2001 01:04:41 - {Aldric}\":\"bonjour\r\n"
         "12/25/2001 02:00:00 - Aldric vous appelle : viens\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (dossier.empty())
        Preparer();
    std::vector<std::string> args{"--dossier", "sortie"};
    std::string courant;
    for (std::size_t i = 0; i < taille && args.size() < 18; ++i) {
        if (donnees[i] == 0) {
            args.push_back(courant);
            courant.clear();
        } else {
            courant += static_cast<char>(donnees[i]);
        }
    }
    args.push_back(courant);

    LanceurFactice lanceur;
    HorlogeCtrlC horloge;
    vek::ContexteExtraire contexte;
    contexte.lanceur = &lanceur;
    contexte.arret = horloge.arret.get_token();
    contexte.horloge = &horloge;
    contexte.cheminSysteme = &Ramener;
    std::ostringstream out, err;
    const int code = vek::ExecuterExtraire(args, out, err, contexte);
    VERIFIER(code == vek::SortieSucces || code == vek::SortieEchecFichier ||
             code == vek::SortieErreurUsage || code == vek::SortieRienTrouve);
    // Rien trouvé n'est pas un échec : avec -q, rien n'est dit.
    VERIFIER(code == vek::SortieSucces || code == vek::SortieRienTrouve ||
             err.str().rfind("vek-extraire : ", 0) == 0);
    return 0;
}
