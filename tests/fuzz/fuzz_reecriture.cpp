// Réécriture d'une ligne retenue, dans les huit jeux de modes : le raccourci des formes
// régulières, la voie générale (remplacements sur place) et un modèle naïf, fait de copies,
// donnent le même texte ; le message de l'enregistrement est le même par l'une et l'autre voie.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Enregistrement.h"
#include "Ligne.h"
#include "Selection.h"
#include "Verifier.h"

namespace {

// Chaque occurrence de cherche, de gauche à droite, sans chevauchement ; rien si cherche est vide.
std::string RemplacerNaif(const std::string& texte, const std::string& cherche,
                          const std::string& remplace) {
    if (cherche.empty())
        return texte;
    std::string sortie;
    std::size_t depuis = 0;
    for (std::size_t pos = texte.find(cherche); pos != std::string::npos;
         pos = texte.find(cherche, depuis)) {
        sortie += texte.substr(depuis, pos - depuis) + remplace;
        depuis = pos + cherche.size();
    }
    return sortie + texte.substr(depuis);
}

std::string Modele(const std::string& ligne, const vek::Extraction& e, const vek::Modes& m) {
    std::string s = ligne;
    const std::string nom(e.nom);
    if (m.ModeUnlessChannel && e.genre == vek::GenreCorps::Channel)
        s = RemplacerNaif(s, std::string(e.tag), "");
    if (m.ModeUnlessDate)
        s.erase(0, std::min(s.size(), vek::LongueurEnTete));
    if (m.ModeRPName) {
        s = RemplacerNaif(s, "\"" + nom + "\"", nom);
        s = RemplacerNaif(s, "{" + nom + "}\":\"", nom + " : ");
    }
    const auto debut = s.find_first_not_of(' ');
    if (debut == std::string::npos)
        return {};
    return s.substr(debut, s.find_last_not_of(' ') - debut + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace vek;
    const std::string ligne(reinterpret_cast<const char*>(donnees), taille);
    std::string tampon;
    const Extraction e = AnalyserCorps(CorpsDeLigne(ligne), tampon);
    for (int m = 0; m < 8; ++m) {
        const Modes modes{(m & 1) != 0, (m & 2) != 0, (m & 4) != 0};
        TravailReecriture rapide, generale;
        const std::string attendu = Modele(ligne, e, modes);
        VERIFIER(std::string(Reecrire(ligne, e, modes, rapide)) == attendu);
        VERIFIER(std::string(ReecrireGenerique(ligne, e, modes, generale)) == attendu);
        // Des tampons déjà servis ne changent rien.
        VERIFIER(std::string(ReecrireGenerique(ligne, e, modes, generale)) == attendu);
        // L'enregistrement : le message que le raccourci laisse tel quel est celui que les
        // remplacements un à un donnent sur le message seul.
        bool reguliere = false;
        const std::string_view reecrite = Reecrire(ligne, e, modes, rapide, &reguliere);
        if (e.genre != GenreCorps::Autre || ContientVousAppelle(CorpsDeLigne(ligne))) {
            const std::string viaRaccourci(
                ConstruireEnregistrement(ligne, e, reecrite, modes, reguliere, rapide).texte);
            const std::string unAUn(
                ConstruireEnregistrement(ligne, e, attendu, modes, false, generale).texte);
            VERIFIER(viaRaccourci == unAUn);
        }
    }
    return 0;
}
