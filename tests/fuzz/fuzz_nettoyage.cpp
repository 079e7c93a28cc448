// Nettoyage role-play d'octets quelconques, dans les huit jeux de modes : jamais d'accès hors des
// bornes ; une ligne gardée n'a plus de « (( », sa ligne de LogFinal.txt finit toujours par son
// message, et un nom remplacé ne reste nulle part en mot entier dans le message.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Enregistrement.h"
#include "Ligne.h"
#include "Nettoyage.h"
#include "Selection.h"
#include "Verifier.h"

namespace {

// Le nom apparaît-il en mot entier dans le texte ?
bool MotEntier(std::string_view texte, std::string_view nom) {
    for (std::size_t p = texte.find(nom); p != std::string_view::npos; p = texte.find(nom, p + 1)) {
        const std::size_t fin = p + nom.size();
        const bool avant =
            p == 0 || !vek::LettreOuChiffre(static_cast<unsigned char>(texte[p - 1]));
        const bool apres =
            fin == texte.size() || !vek::LettreOuChiffre(static_cast<unsigned char>(texte[fin]));
        if (avant && apres)
            return true;
    }
    return false;
}

// Les lettres et chiffres de tête d'un nom. Un nom qui commence comme la fin d'un remplaçant
// (« 1\0\0 ») se reforme en mot entier quand ce remplaçant touche ce qui suivait le nom
// (« Personne 1 » puis « \0\0 ») : le texte ne le contient pas, il l'écrit.
std::string_view Tete(std::string_view nom) {
    std::size_t n = 0;
    while (n < nom.size() && vek::LettreOuChiffre(static_cast<unsigned char>(nom[n])))
        ++n;
    return nom.substr(0, n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace vek;
    const std::string ligne(reinterpret_cast<const char*>(donnees), taille);
    std::string tampon;
    const std::string_view corps = CorpsDeLigne(ligne);
    const Extraction e = AnalyserCorps(corps, tampon);
    if (e.genre == GenreCorps::Autre && !ContientVousAppelle(corps))
        return 0; // jamais retenue
    Selection selection;
    selection.AjouterNom(e.nom);
    ReglagesNettoyage reglages;
    reglages.sansHrp = true;
    reglages.anonymiser = true;
    reglages.renommages = {{"Aldric", "Aldo"}};
    const Nettoyeur nettoyeur(reglages, nullptr, selection);
    const std::string nom(e.nom);
    for (int m = 0; m < 8; ++m) {
        const Modes modes{(m & 1) != 0, (m & 2) != 0, (m & 4) != 0};
        TravailReecriture travail;
        bool reguliere = false;
        const std::string_view reecrite = Reecrire(ligne, e, modes, travail, &reguliere);
        Enregistrement r = ConstruireEnregistrement(ligne, e, reecrite, modes, reguliere, travail);
        const bool finitParLeMessage = r.ligne.ends_with(r.texte);
        TravailNettoyage t;
        if (!nettoyeur.Nettoyer(r, t))
            continue;
        VERIFIER(r.texte.find("((") == std::string_view::npos);
        VERIFIER(!finitParLeMessage || r.ligne.ends_with(r.texte));
        VERIFIER(!r.hrpRetire || !r.texte.empty());
        const bool remplace =
            !nom.empty() && LettreOuChiffre(static_cast<unsigned char>(nom[0])) &&
            RognerEspaces(nom) != RognerEspaces(NomVous) &&
            RognerEspaces(nom) != RognerEspaces(NomWhisps) &&
            std::string_view("Personne 1 Aldo").find(Tete(nom)) == std::string::npos;
        if (remplace)
            VERIFIER(!MotEntier(r.texte, nom));
    }
    return 0;
}
